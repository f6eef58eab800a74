#include "about_window_controller.h"

#include <QSysInfo>

namespace brix::qt {

QString ArchitectureText(const QString& cpuArchitecture)
{
    return cpuArchitecture == QLatin1String("arm64") ? QStringLiteral("ARM 64-bit")
                                                     : QStringLiteral("Intel/AMD 64-bit");
}

AboutWindowController::AboutWindowController(QObject* aboutItem, QQmlEngine* engine, const QString& version,
                                             const QString& logoSource, const QString& acknowledgementsPath,
                                             const QString& versionIdentifier)
    : QmlController(aboutItem, engine), acknowledgementsPath_(acknowledgementsPath)
{
    connect(aboutItem, SIGNAL(acknowledgementsClicked()), this, SLOT(AcknowledgementsClicked()));
    aboutItem->setProperty("version", version);
    aboutItem->setProperty("versionIdentifier", versionIdentifier);
    aboutItem->setProperty("logoSource", logoSource);
    aboutItem->setProperty("architecture", ArchitectureText(QSysInfo::currentCpuArchitecture()));
}

AboutWindowController::~AboutWindowController() = default;

void AboutWindowController::AcknowledgementsClicked()
{
    Guarded("Error Opening Acknowledgements", [this] {
        acknowledgements_.reset();
        acknowledgements_ = std::make_unique<AcknowledgementsWindowController>(GetQmlObject(), GetEngine(),
                                                                                acknowledgementsPath_);
    });
}

}  // namespace brix::qt
