#pragma once

#include "qml_controller.h"

#include <QString>

class QQmlEngine;

namespace brix::qt {

// AcknowledgementsWindowController: the window that lists the software the program uses, with the
// whole text of a file (the product module's acknowledgements, held in the resources); a file that
// cannot be read shows an error line instead. Owned by the About window controller.
// Thread: GUI thread only.
class AcknowledgementsWindowController : public QmlController {
    Q_OBJECT

public:
    AcknowledgementsWindowController(QObject* parent, QQmlEngine* engine, const QString& textPath);
};

}  // namespace brix::qt
