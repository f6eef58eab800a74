#include "dialog_kinds.h"

namespace brix::qt {

QString MessageDialogType(unsigned int kind)
{
    switch (kind) {
    case kDialogError:
        return QStringLiteral("error");
    case kDialogWarning:
        return QStringLiteral("warning");
    default:
        return QStringLiteral("info");
    }
}

QString InputDialogType(unsigned int kind)
{
    return kind == kDialogLock ? QStringLiteral("lock") : MessageDialogType(kind);
}

}  // namespace brix::qt
