#pragma once

#include "LaunchedWindow.h"

#include <QObject>
#include <QString>

#include <memory>
#include <string>

class QQmlEngine;

namespace brix {

class PlayerFactory;
class ShowStore;

namespace qt {

class DialogController;
class InputDialogController;
class ShowDownloaderController;
class ShowStoreWindowController;

// Launcher: takes over from the application object. It opens the show store of the product's
// user-data folder (making the folder of TARNWICK2_SHOW_FOLDER current when that is set), checks the
// current show's files against its show server, lets the download window fetch what is missing, then
// makes the main window (through the main-window maker). Without a current show the store's window
// lets the user choose one. At the end it answers the main window's close request: with unsaved edits
// it asks through "Unsaved Changes", otherwise it ends the event loop with status 0.
//
// The main window is made once only: a download that completes after its window closed, or reports
// both, does not make a second one. A change log of a newer format stops the road before the main
// window with the "Loading Edits Failed" dialog. GUI thread only.
class Launcher : public QObject {
    Q_OBJECT
public:
    // The program's main window (MakeMainWindow).
    Launcher(QQmlEngine* engine, std::unique_ptr<PlayerFactory> factory, QObject* parent = nullptr);
    Launcher(QQmlEngine* engine, std::unique_ptr<PlayerFactory> factory, MainWindowMaker makeMainWindow,
             QObject* parent = nullptr);
    ~Launcher() override;

    // For the owner and tests: what the Launcher holds now.
    LaunchedWindow* MainWindow() const { return mainWindow_.get(); }
    ShowDownloaderController* Downloader() const { return downloader_.get(); }
    ShowStoreWindowController* StoreWindow() const { return storeWindow_.get(); }
    DialogController* ErrorDialog() const { return errorDialog_.get(); }
    InputDialogController* SavePromptDialog() const { return savePrompt_.get(); }
    const QString& Notice() const { return notice_; }

signals:
    void saveRequested();

public slots:
    void LaunchVsMainController();
    void onShowDownloadComplete();
    void CancelDownload();
    void CloseApp();
    void ClosingSaveQuery();
    void CloseAfterSave();
    void NegateClose();
    void deleteSavePromptDialog();

private:
    void Start();
    void OpenStoreWindow();

    std::unique_ptr<InputDialogController> savePrompt_;
    bool closing_ = false;
    std::unique_ptr<DialogController> errorDialog_;
    QString notice_;
    std::string userDataBasePath_;
    std::unique_ptr<LaunchedWindow> mainWindow_;
    std::shared_ptr<ShowStore> store_;
    std::unique_ptr<ShowStoreWindowController> storeWindow_;
    std::unique_ptr<ShowDownloaderController> downloader_;
    std::unique_ptr<PlayerFactory> factory_;
    QQmlEngine* engine_;
    MainWindowMaker makeMainWindow_;
};

}  // namespace qt
}  // namespace brix
