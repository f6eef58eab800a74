#pragma once

// moc cannot parse the standard library's concept headers that these bring in; it needs none of them.
#ifndef Q_MOC_RUN
#include "ChangelogListModel.h"
#include "CurrentShow.h"

#include <brix_networking_http/NetworkApiInterface.h>
#include <brix_networking_http/NetworkTypes.h>
#endif
#include "qml_controller.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QQmlEngine;

namespace brix::qt {

// ChangelogManagerController: the "Event Log Manager" window, which lists the change-log versions of
// the current show's folder ("Local Logs") and of the show server ("Server Logs") and tells which row
// the user chose to load. Loading is the caller's (the change-log files of the main window); the
// manager finds the local files, downloads a server version on request, and prunes duplicate copies.
//
// The server is the current show's: on the request route the manager asks it for the stored versions
// itself; on the portal route it emits PortalLogsRequested() and the caller hands the rows in with
// SetServerLogs. A server that cannot be reached leaves the server list empty and is reported through
// `error` (not for a show without a server). GUI thread only; network calls are synchronous.
class ChangelogManagerController : public QmlController {
    Q_OBJECT

public:
    ChangelogManagerController(QQmlEngine* engine, CurrentShowSource showStore, QObject* parent = nullptr);
    // Closes the window first (without reporting Closing()).
    ~ChangelogManagerController() override;

    // Refreshes both lists, then shows the window.
    void Show();
    void RefreshLocalList();
    void RefreshServerList();
    // Same as RefreshLocalList; the local model is reset.
    void ReloadLocalList();
    // The portal's versions, kept for downloads and listed.
    void SetServerLogs(std::vector<brix_download::ServerChangelogRow> entries);
    // Fetches the server's copy of the version ("3.1") into the show folder and returns its path.
    // Throws brix::networking::NetworkError with the reason when it cannot.
    std::string DownloadServerChangelog(const std::string& versionText);
    // See brix::changelog::PruneLocalVersions; the local list is refreshed afterwards.
    void PruneLocalVersions();

    const ChangelogListModel& LocalModel() const { return *localModel_; }
    const ChangelogListModel& ServerModel() const { return *serverModel_; }
    // Whether the current show exchanges its versions on the portal route.
    bool UsesPortal() const;

signals:
    void ChangelogLocalSelected(int index);
    void ChangelogServerSelected(int index);
    void PortalLogsRequested();
    void Closing();

public slots:
    void LoadSelectedLocal_(int index);
    void LoadSelectedServer_(int index);
    networking::ChangelogFullInfoList GetAvailableLogs_();

private:
    std::optional<networking::ShowRecord> CurrentShow() const;
    std::filesystem::path ShowFolder() const;

    CurrentShowSource showStore_;
    std::unique_ptr<ChangelogListModel> localModel_;
    std::unique_ptr<ChangelogListModel> serverModel_;
    std::vector<brix_download::ServerChangelogRow> serverEntries_;
};

}  // namespace brix::qt
