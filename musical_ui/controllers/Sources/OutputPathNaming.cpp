#include "OutputPathNaming.h"

#include <QRegularExpression>
#include <QUuid>

namespace brix::qt {
namespace {

// Numbers are kept as their decimal digits without leading zeros ("" is 0), so any length compares
// and counts exactly.
QString Normalized(const QString& digits) {
    qsizetype first = 0;
    while (first < digits.size() && digits[first] == u'0') {
        ++first;
    }
    return digits.mid(first);
}

bool IsGreater(const QString& a, const QString& b) {
    return a.size() != b.size() ? a.size() > b.size() : a > b;
}

QString PlusOne(QString digits) {
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != u'9') {
            digits[i] = QChar(digits[i].unicode() + 1);
            return digits;
        }
        digits[i] = u'0';
    }
    return u'1' + digits;
}

}  // namespace

QString UniqueOutputPathName(const QString& pathName, const QStringList& existingNames) {
    const QRegularExpression form(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(pathName) + QStringLiteral("(?:\\s([0-9]+))?")));
    QString highest;
    for (const QString& name : existingNames) {
        const QRegularExpressionMatch match = form.match(name);
        if (!match.hasMatch()) {
            continue;
        }
        const QString number = match.hasCaptured(1) ? Normalized(match.captured(1)) : QStringLiteral("1");
        if (IsGreater(number, highest)) {
            highest = number;
        }
    }
    return highest.isEmpty() ? pathName : pathName + u' ' + PlusOne(highest);
}

QString NewOutputPathId() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

}  // namespace brix::qt
