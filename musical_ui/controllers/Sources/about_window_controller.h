#pragma once

#include "acknowledgements_window_controller.h"
#include "qml_controller.h"

#include <QString>

#include <memory>

class QQmlEngine;

namespace brix::qt {

// AboutWindowController: wraps the About panel of the main window (not owned) and fills in the
// version, its identifier, the logo and the processor architecture; the panel's Acknowledgments button
// opens the acknowledgements window, replacing one opened before. Owned by the main window controller.
// Thread: GUI thread only.
class AboutWindowController : public QmlController {
    Q_OBJECT

public:
    AboutWindowController(QObject* aboutItem, QQmlEngine* engine, const QString& version,
                          const QString& logoSource, const QString& acknowledgementsPath,
                          const QString& versionIdentifier);
    ~AboutWindowController() override;

    AcknowledgementsWindowController* GetAcknowledgementsWindow() const { return acknowledgements_.get(); }

public slots:
    void AcknowledgementsClicked();

private:
    std::unique_ptr<AcknowledgementsWindowController> acknowledgements_;
    QString acknowledgementsPath_;
};

// The architecture text of the About panel for Qt's processor architecture name: "ARM 64-bit" for
// "arm64", otherwise "Intel/AMD 64-bit".
QString ArchitectureText(const QString& cpuArchitecture);

}  // namespace brix::qt
