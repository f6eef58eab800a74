#pragma once

// moc cannot parse the standard library's concept headers that these bring in; it needs none of them.
#ifndef Q_MOC_RUN
#include "CurrentShow.h"
#endif

#include <QObject>
#include <QString>
#include <QUrl>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class Interface;
class QQmlEngine;

namespace brix {
class ShowManager;
}

namespace brix::qt {

class ChangelogManagerController;
class ExportManager;

// ChangelogFilesController: the change-log versions of the main window. It saves the edited change
// log as a new local version, saves and shares it to the show server, shares the current version
// through the portal, fetches the newest version from the server, loads the version chosen in the
// change-log manager window (which it opens and owns), and exports the change log as a PDF.
//
// Every outcome ends in one message through `information` or `error` (message, title), which the
// main window shows as a dialog; a failure leaves the loaded change log as it was. What the edit
// controller must hear is signalled: ChangeLogSaved() after a local save, ChangeLogShared() after a
// share. GUI thread only; server requests are synchronous.
class ChangelogFilesController : public QObject {
    Q_OBJECT

public:
    // oscPort gives the OSC listening port the export prints; displayName is the product's display
    // name; windowParent (may be null) is the parent of the change-log manager's window.
    ChangelogFilesController(QQmlEngine* engine, std::shared_ptr<ShowManager> showManager,
                             CurrentShowSource showStore, std::function<int()> oscPort, QString displayName,
                             QObject* windowParent = nullptr);
    ~ChangelogFilesController() override;

    ChangelogManagerController* GetChangelogManager() const { return manager_.get(); }

signals:
    void information(std::string message, std::string title);
    void error(std::string message, std::string title);
    void SignalAttaccaUpdate();
    void SaveCompleted();
    void ChangeLogSaved();
    void ChangeLogShared();
    void controllerCreated(QString name, QObject* controller);

public slots:
    void onSaveButton();
    void onSaveAndUploadButton();
    void onSaveAndUploadPortalButton();
    void GetLatestLogClicked_();
    void GetLatestLogPortal_();
    void GetPortalLogs_();
    void ChangelogLocalSelected_(int index);
    void ChangelogServerSelected_(int index);
    void ExportChangelogRequested_(QUrl path);
    void ShowChangelogManager_();
    void ChangelogManagerClosing_();

private:
    std::shared_ptr<Interface> Engine() const;
    std::filesystem::path ShowFolder() const;
    // The current show's server; throws brix::networking::NetworkError without one.
    networking::ServerSettings Server() const;
    bool UsesPortal() const;
    // Loads a change-log file and refreshes the current song. When the refresh fails, the file loaded
    // before is loaded again and the failure is shown as "Changelog Error". Throws what loading the
    // file throws (the log loaded before stays).
    void LoadChangelogFile(const std::filesystem::path& file);
    // Runs a share; its failure ends in "Save and Share Failed", its success in "Share Complete".
    void Share(const std::function<void()>& send);

    QQmlEngine* engine_;
    std::shared_ptr<ShowManager> showManager_;
    CurrentShowSource showStore_;
    std::function<int()> oscPort_;
    QString displayName_;
    QObject* windowParent_;
    std::unique_ptr<ChangelogManagerController> manager_;
    std::unique_ptr<ExportManager> exportManager_;
};

}  // namespace brix::qt
