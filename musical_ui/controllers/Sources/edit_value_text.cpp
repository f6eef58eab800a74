#include "edit_value_text.h"

#include <brix_core/EventCodes.h>

#include <cmath>
#include <exception>
#include <iostream>

namespace brix::qt {

namespace {

// The version targets a caesura can carry.
constexpr int kTarnwickOnly = 1;
constexpr int kVellStroudOnly = 2;

QString SfxActionText(const QString& action)
{
    const QString lower = action.toLower();
    if (lower == QLatin1String("play"))
        return QString(QChar(0x25B6));
    if (lower == QLatin1String("stop"))
        return QString(QChar(0x23F9));
    if (lower == QLatin1String("fadeto"))
        return QStringLiteral("Fade");
    return action.isEmpty() ? action : action.at(0).toUpper() + action.mid(1);
}

}  // namespace

long TempoScalePercent(double factor)
{
    return std::lround(factor * 100.0);
}

QString OscDisplayText(const std::string& rawMessage)
{
    const QString message = QString::fromStdString(rawMessage).trimmed();
    try {
        static const QString sfxPrefix = QStringLiteral("/brix/sfx/");
        if (message.startsWith(sfxPrefix)) {
            const qsizetype nameEnd = message.indexOf(QLatin1Char('/'), sfxPrefix.size());
            if (nameEnd < 0) {
                std::cerr << "Invalid format: Unable to find the ending '/'" << std::endl;
                return message;
            }
            const QString name = message.mid(sfxPrefix.size(), nameEnd - sfxPrefix.size());
            const qsizetype actionEnd = message.indexOf(QLatin1Char(' '), nameEnd + 1);
            const QString action = message.mid(nameEnd + 1, actionEnd < 0 ? -1 : actionEnd - nameEnd - 1);
            return SfxActionText(action) + QLatin1Char(' ') + name;
        }
        if (message.startsWith(QLatin1String("/brix/volume")))
            return QStringLiteral("Volume Change");
        if (message.startsWith(QLatin1String("/brix/fadeto")))
            return QStringLiteral("Fade To...");
        return message;
    } catch (const std::exception& e) {
        std::cerr << e.what() << std::endl;
    } catch (...) {
        std::cerr << "Unknown exception" << std::endl;
    }
    return message;
}

QString EventValueText(const cmn::BrixEvent& event)
{
    switch (event.code()) {
    case codes::vamp:
    case codes::repeat:
        return event.int_value() == 0 ? QString(QChar(0x221E)) : QString::number(event.int_value()) + QLatin1Char('x');
    case codes::transpose:
        return (event.int_value() >= 0 ? QStringLiteral("+") : QString()) + QString::number(event.int_value());
    case codes::tempoScale:
        return QString::number(TempoScalePercent(event.float_value())) + QLatin1Char('%');
    case codes::osc:
        return OscDisplayText(event.osc_properties().Message());
    case codes::caesura:
        if (event.VersionTarget() == kTarnwickOnly)
            return QStringLiteral("T|W Only");
        if (event.VersionTarget() == kVellStroudOnly)
            return QStringLiteral("V|S Only");
        return {};
    default:
        return {};
    }
}

}  // namespace brix::qt
