#include "acknowledgements_window_controller.h"

#include <QFile>
#include <QUrl>

namespace brix::qt {

namespace {

const QUrl kWindowUrl(
    QStringLiteral("qrc:/qt/qml/com/fernwhistlestudios/brix_ui/qml/AcknowledgementsWindow.qml"));

QString ReadAcknowledgements(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QStringLiteral("Error: Unable to Load Acknowledgements.");
    return QString::fromUtf8(file.readAll());
}

}  // namespace

AcknowledgementsWindowController::AcknowledgementsWindowController(QObject* parent, QQmlEngine* engine,
                                                                   const QString& textPath)
    : QmlController(engine, kWindowUrl, parent, true)
{
    if (QObject* window = GetQmlObject()) {
        window->setProperty("acknowledgementText", ReadAcknowledgements(textPath));
        // Closing the window deletes it; the controller stays until it is replaced.
        connect(window, SIGNAL(closing(QQuickCloseEvent*)), this, SLOT(Closing_(QQuickCloseEvent*)));
    }
}

}  // namespace brix::qt
