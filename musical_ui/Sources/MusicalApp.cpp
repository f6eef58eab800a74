#include "MusicalApp.h"

#include "ConsoleOption.h"
#include "ErrorLogWriter.h"
#include "GuardedApplication.h"
#include "Launcher.h"
#include "PlayerFactory.h"
#include "QmlModules.h"

#include <brix_paths/Paths.h>

#include <QFile>
#include <QQmlApplicationEngine>
#include <QQuickStyle>
#include <QQuickWindow>

#include <cstdio>
#include <filesystem>

namespace brix::qt {

namespace {

// The product's folder in the user-data base folder, created with its missing parents; throws
// std::filesystem::filesystem_error when it cannot be created.
std::string CreateUserDataFolder(const PlayerFactory& factory) {
    const std::filesystem::path folder =
        std::filesystem::path(QFile::encodeName(paths::UserDataBasePath()).toStdString()) /
        QFile::encodeName(factory.GetShortName()).toStdString();
    std::filesystem::create_directories(folder);
    return folder.string();
}

void ReportFirstFrame() {
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        auto* quickWindow = qobject_cast<QQuickWindow*>(window);
        if (quickWindow != nullptr && quickWindow->isVisible()) {
            // Direct: frameSwapped may come from the render thread, and the time is the swap's.
            QObject::connect(
                quickWindow, &QQuickWindow::frameSwapped, quickWindow,
                [] {
                    const std::string line = StampedLine("First frame of the first window");
                    std::fputs(line.c_str(), stdout);
                    std::fflush(stdout);
                },
                static_cast<Qt::ConnectionType>(Qt::DirectConnection | Qt::SingleShotConnection));
            return;
        }
    }
}

}  // namespace

MusicalApp::MusicalApp(int& argc, char** argv, std::unique_ptr<PlayerFactory> factory) : QObject(nullptr) {
    RegisterQmlModules();
    UseConsole(HasConsoleOption(argc, argv));
    try {
        Run(argc, argv, std::move(factory));
    } catch (const std::exception& error) {
        exitCode_ = 1;
        WriteErrorLog(userDataFolder_, displayName_, versionText_, error);
    }
}

MusicalApp::~MusicalApp() {
    launcher_.reset();
    engine_.reset();
    application_.reset();
}

void MusicalApp::Run(int& argc, char** argv, std::unique_ptr<PlayerFactory> factory) {
    versionText_ = factory->GetVersionString().toStdString() + " - " + factory->GetBuildText().toStdString();
    // Taken before the folder, so that a log written when the folder fails still names the program.
    displayName_ = factory->GetDisplayName().toLocal8Bit().toStdString();
    userDataFolder_ = CreateUserDataFolder(*factory);

    QQuickStyle::setStyle(QStringLiteral("Basic"));
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);

    application_ = std::make_unique<GuardedApplication>(argc, argv);
    engine_ = std::make_unique<QQmlApplicationEngine>();
    engine_->addImportPath(QStringLiteral("qrc:/qt/qml"));
    connect(engine_.get(), &QQmlEngine::quit, application_.get(), &QCoreApplication::quit);
    launcher_ = std::make_unique<Launcher>(engine_.get(), std::move(factory));

    ReportFirstFrame();
    application_->exec();
    application_->RethrowPending();
}

}  // namespace brix::qt
