#include "OscDatagram.h"

#include "OscMessage.h"

#include <cmath>
#include <string>
#include <vector>

namespace brix::osc {

namespace {

struct Argument {
    OscParamType type;
    std::string encoded;
};

Argument StringArgument(const QString& token)
{
    return {OscParamType::String, EncodeOscString(token.toUtf8().toStdString())};
}

// An integer, else a finite float, else a string.
Argument TokenArgument(const QString& token)
{
    bool ok = false;
    const int integer = token.toInt(&ok, 10);
    if (ok) {
        return {OscParamType::Int32, EncodeOscInt32(integer)};
    }
    const float number = token.toFloat(&ok);
    if (ok && std::isfinite(number)) {
        return {OscParamType::Float32, EncodeOscFloat32(number)};
    }
    return StringArgument(token);
}

std::vector<Argument> ScanArguments(const QString& text)
{
    std::vector<Argument> arguments;
    bool inQuotes = false;
    bool atSeparator = true;
    QString token;
    for (const QChar c : text) {
        if (c == u' ' && atSeparator) {
            if (inQuotes) {
                token += c;
                atSeparator = false;
            }
        } else if (c == u'"' && !inQuotes) {
            inQuotes = true;
            atSeparator = false;
        } else if (c == u'"') {
            arguments.push_back(StringArgument(token));
            token.clear();
            inQuotes = false;
            atSeparator = true;
        } else if (c == u' ' && !inQuotes) {
            arguments.push_back(TokenArgument(token));
            token.clear();
            atSeparator = true;
        } else {
            token += c;
            atSeparator = false;
        }
    }
    if (!token.isEmpty()) {
        arguments.push_back(inQuotes ? StringArgument(token) : TokenArgument(token));
    }
    return arguments;
}

}  // namespace

QByteArray BuildOscDatagram(const QString& text)
{
    if (text.isEmpty()) {
        return {};
    }
    const qsizetype space = text.indexOf(u' ');
    const QString address = space < 0 ? text : text.left(space);
    const std::vector<Argument> arguments = space < 0 ? std::vector<Argument>{} : ScanArguments(text.mid(space + 1));
    std::vector<OscParamType> types;
    for (const Argument& argument : arguments) {
        types.push_back(argument.type);
    }
    // The type-tag string is there even without arguments (","), as OSC 1.0 asks and receivers expect.
    std::string datagram = EncodeOscString(address.toUtf8().toStdString()) + EncodeOscString(OscTypeTagText(types));
    for (const Argument& argument : arguments) {
        datagram += argument.encoded;
    }
    return QByteArray(datagram.data(), static_cast<qsizetype>(datagram.size()));
}

}  // namespace brix::osc
