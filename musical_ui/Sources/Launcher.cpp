#include "Launcher.h"

#include "PlayerFactory.h"
#include "ShowFileCheck.h"
#include "ShowStore.h"
#include "dialog_controller.h"
#include "input_dialog_controller.h"
#include "show_downloader_controller.h"
#include "show_store_window_controller.h"

#include <brix_core/Directories.h>
#include <brix_core/LogDataFile.h>
#include <brix_paths/Paths.h>

#include <QCoreApplication>
#include <QFile>
#include <QQuickItem>

#include <filesystem>
#include <iostream>

namespace brix::qt {

namespace {

using networking::ShowRecord;

// Deletes a controller through the event loop: it may be the sender of the signal being handled.
template <class Controller>
void DeleteLater(std::unique_ptr<Controller>& controller) {
    if (controller) {
        controller.release()->deleteLater();
    }
}

std::string ApplicationId(const PlayerFactory& factory) { return std::to_string(factory.GetApplicationId()); }

}  // namespace

Launcher::Launcher(QQmlEngine* engine, std::unique_ptr<PlayerFactory> factory, QObject* parent)
    : Launcher(engine, std::move(factory), &MakeMainWindow, parent) {}

Launcher::Launcher(QQmlEngine* engine, std::unique_ptr<PlayerFactory> factory, MainWindowMaker makeMainWindow,
                   QObject* parent)
    : QObject(parent), factory_(std::move(factory)), engine_(engine), makeMainWindow_(std::move(makeMainWindow)) {
    Start();
}

Launcher::~Launcher() {
    // The main window reads the factory to its end: it goes first.
    downloader_.reset();
    storeWindow_.reset();
    store_.reset();
    mainWindow_.reset();
    factory_.reset();
    errorDialog_.reset();
    savePrompt_.reset();
}

void Launcher::Start() {
    userDataBasePath_ = QFile::encodeName(paths::UserDataBasePath()).toStdString();
    const std::filesystem::path dataFolder =
        std::filesystem::path(userDataBasePath_) / QFile::encodeName(factory_->GetShortName()).toStdString();
    MakeDirectoryIfNeeded(dataFolder);

    store_ = std::make_shared<ShowStore>(dataFolder);
    const QString named = qEnvironmentVariable(kShowFolderVariable);
    if (!named.isEmpty()) {
        store_->Choose(QFile::encodeName(named).toStdString());
    }
    const auto current = store_->Current();
    if (!current) {
        OpenStoreWindow();
        return;
    }

    auto plan = CheckShowFiles(*current, ApplicationId(*factory_));
    if (!plan->empty()) {
        downloader_ = std::make_unique<ShowDownloaderController>(engine_, nullptr);
        // The download read the show's names again: the store keeps them before the main window opens.
        connect(downloader_.get(), &ShowDownloaderController::DownloadFinishedSignal, this, [this](const ShowRecord& show) {
            try {
                store_->Update(show);
            } catch (const std::exception& e) {
                std::cerr << e.what() << std::endl;
            }
        }, Qt::QueuedConnection);
        connect(downloader_.get(), SIGNAL(DownloadFinishedSignal(brix::networking::ShowRecord)), this,
                SLOT(LaunchVsMainController()), Qt::QueuedConnection);
        connect(downloader_.get(), SIGNAL(Closing()), this, SLOT(LaunchVsMainController()));
        notice_ = UpdateNotice(*plan);
        downloader_->Download(current->folder, *current, std::move(plan));
        return;
    }
    LaunchVsMainController();
}

void Launcher::OpenStoreWindow() {
    storeWindow_ = std::make_unique<ShowStoreWindowController>(engine_, store_, ApplicationId(*factory_));
    connect(storeWindow_.get(), SIGNAL(ShowReady()), this, SLOT(LaunchVsMainController()));
    connect(storeWindow_.get(), SIGNAL(DownloadClosing()), this, SLOT(onShowDownloadComplete()));
    connect(storeWindow_.get(), SIGNAL(DownloadComplete()), this, SLOT(onShowDownloadComplete()));
    connect(storeWindow_.get(), SIGNAL(DownloadCancelled()), this, SLOT(CancelDownload()));
    connect(storeWindow_.get(), SIGNAL(Closing()), this, SLOT(ClosingSaveQuery()));
    storeWindow_->SetVisible(true);
}

void Launcher::LaunchVsMainController() {
    if (mainWindow_) {
        return;
    }
    DeleteLater(downloader_);
    const auto current = store_->Current();
    if (!current) {
        // The show's folder went away meanwhile: let the user choose again.
        if (!storeWindow_) {
            OpenStoreWindow();
        }
        return;
    }
    try {
        mainWindow_ = makeMainWindow_(engine_, *factory_, *current);
    } catch (const CL::ChangeLogVersionError& e) {
        errorDialog_.reset();
        errorDialog_ = std::make_unique<DialogController>(
            std::string("Loading show edits failed with the following error: ") + e.what() +
                ". \n\nBecause the error is related to log versioning, you may be able to fix this issue by "
                "downloading the latest version of the application from the BRIX website.",
            "Loading Edits Failed", kDialogError, nullptr, engine_, nullptr);
        return;
    }
    DeleteLater(storeWindow_);
    QObject* controller = mainWindow_->Controller();
    connect(controller, SIGNAL(Closing()), this, SLOT(ClosingSaveQuery()));
    connect(controller, SIGNAL(SaveCompleted()), this, SLOT(CloseAfterSave()));
    if (!notice_.isEmpty()) {
        mainWindow_->ShowNotice(QStringLiteral("Files Were Updated"), notice_);
    }
}

void Launcher::onShowDownloadComplete() {
    DeleteLater(storeWindow_);
    LaunchVsMainController();
}

void Launcher::CancelDownload() {
    DeleteLater(downloader_);
}

void Launcher::CloseApp() {
    QCoreApplication::exit(0);
}

void Launcher::ClosingSaveQuery() {
    if (!mainWindow_ || !mainWindow_->HasUnsavedEdits()) {
        CloseApp();
        return;
    }
    closing_ = true;
    savePrompt_.reset();
    savePrompt_ = std::make_unique<InputDialogController>(
        "You have unsaved changes.  If you quit now, they will be lost forever.", "Unsaved Changes", kDialogWarning,
        engine_, qobject_cast<QQuickItem*>(parent()), nullptr, false);
    savePrompt_->SetProperty("acceptButtonText", QStringLiteral("Save and Close"));
    savePrompt_->SetProperty("cancelButtonText", QStringLiteral("Close Without Saving"));
    savePrompt_->SetProperty("negateButtonText", QStringLiteral("Cancel"));
    savePrompt_->SetProperty("showNegateButton", true);
    savePrompt_->SetProperty("showInputField", false);
    savePrompt_->SetProperty("escToNegate", true);
    savePrompt_->SetProperty("visible", true);
    QObject* window = savePrompt_->GetQmlObject();
    if (window == nullptr) {
        return;
    }
    connect(window, SIGNAL(accepted()), mainWindow_->Controller(), SLOT(onSaveButton()));
    connect(window, SIGNAL(cancelled()), this, SLOT(CloseApp()));
    connect(window, SIGNAL(negated()), this, SLOT(NegateClose()));
    connect(window, SIGNAL(accepted()), this, SLOT(deleteSavePromptDialog()));
    connect(window, SIGNAL(cancelled()), this, SLOT(deleteSavePromptDialog()));
}

void Launcher::CloseAfterSave() {
    if (closing_) {
        CloseApp();
    }
}

void Launcher::NegateClose() {
    closing_ = false;
}

void Launcher::deleteSavePromptDialog() {
    if (QObject* window = sender()) {
        window->deleteLater();
    }
}

}  // namespace brix::qt
