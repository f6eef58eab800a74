#pragma once

#include <QString>

namespace brix::qt {

// The kinds of message a dialog shows; the numbers are those callers pass.
enum DialogKind : unsigned int {
    kDialogError = 0,
    kDialogWarning = 1,
    kDialogInfo = 2,
    kDialogLock = 3,
};

// The "type" text of a message dialog's window for a kind: "error", "warning", else "info".
QString MessageDialogType(unsigned int kind);
// The "type" text of an input dialog's window: as for a message dialog, but "lock" for kind 3.
QString InputDialogType(unsigned int kind);

}  // namespace brix::qt
