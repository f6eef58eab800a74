#include "changelog_files_controller.h"

#include "ChangelogVersions.h"
#include "ShowManager.h"
#include "changelog_manager_controller.h"
#include "export_manager.h"

#include <brix_core/Editor.h>
#include <brix_core/LogDataFile.h>
#include <brix_networking_http/BRIXDownloader.h>
#include <brix_networking_http/NetworkApiInterface.h>
#include <brix_networking_http/ShowDownload.h>
#include <brix_player_core/Interface.h>

#include <chrono>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>

namespace brix::qt {

namespace {

using networking::NetworkApiInterface;
using networking::NetworkError;

const std::string kShareComplete = "Your edits are now available in Tarn|Wick and Vell|Stroud.";

std::string ReadBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("Cannot read " + file.string() + ".");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Marks the file as changed now, so it counts as the newest copy of its version; a file that is gone
// is left alone.
void TouchNow(const std::filesystem::path& file)
{
    std::error_code ignored;
    if (!file.empty() && std::filesystem::exists(file, ignored))
        std::filesystem::last_write_time(file, std::filesystem::file_time_type::clock::now(), ignored);
}

}  // namespace

ChangelogFilesController::ChangelogFilesController(QQmlEngine* engine, std::shared_ptr<ShowManager> showManager,
                                                   CurrentShowSource showStore, std::function<int()> oscPort,
                                                   QString displayName, QObject* windowParent)
    : engine_(engine),
      showManager_(std::move(showManager)),
      showStore_(std::move(showStore)),
      oscPort_(std::move(oscPort)),
      displayName_(std::move(displayName)),
      windowParent_(windowParent)
{
}

ChangelogFilesController::~ChangelogFilesController() = default;

std::shared_ptr<Interface> ChangelogFilesController::Engine() const
{
    std::shared_ptr<Interface> engine = showManager_->GetInterface();
    if (!engine)
        throw std::runtime_error("No show is loaded.");
    return engine;
}

std::filesystem::path ChangelogFilesController::ShowFolder() const
{
    return Engine()->GetShowDirectory();
}

networking::ServerSettings ChangelogFilesController::Server() const
{
    const auto show = showStore_ ? showStore_() : std::nullopt;
    if (!show || !show->server)
        throw NetworkError(NetworkApiInterface::API_NO_SERVER, "No show server configured.");
    return *show->server;
}

bool ChangelogFilesController::UsesPortal() const
{
    const auto show = showStore_ ? showStore_() : std::nullopt;
    return show && show->server && show->server->route == networking::ServerRoute::Portal;
}

void ChangelogFilesController::LoadChangelogFile(const std::filesystem::path& file)
{
    const std::shared_ptr<Interface> engine = Engine();
    const std::string before = engine->GetChangelogFilename();
    showManager_->SetChangelogFilename(file.string());
    try {
        engine->LoadSong(engine->GetCurrentSongNumber());
    } catch (const std::exception& e) {
        if (!before.empty() && before != file.string()) {
            try {
                showManager_->SetChangelogFilename(before);
            } catch (const std::exception& restore) {
                std::cerr << "The change log " << before << " could not be loaded again: " << restore.what()
                          << std::endl;
            }
        }
        emit error(std::string("Changelog loaded, but the show could not be refreshed: ") + e.what(),
                   "Changelog Error");
        return;
    }
    emit SignalAttaccaUpdate();
}

void ChangelogFilesController::onSaveButton()
{
    try {
        const std::shared_ptr<Interface> engine = Engine();
        const auto latest = changelog::LatestLocalVersion(changelog::ListLocalVersions(ShowFolder()));
        const CL::Editor* editor = showManager_->GetEditor();
        const cmn::BRIXVersion base = latest ? latest->version : editor ? editor->GetVersion() : cmn::BRIXVersion(1, 0);
        const cmn::BRIXVersion next = changelog::NextLocalVersion(base);
        engine->SaveChangelog(next.GetMajor(), next.GetMinor());
        engine->LoadNewChangeLog();
    } catch (const std::exception& e) {
        emit error(std::string("The edits could not be saved. ") + e.what(), "Save Failed");
        return;
    }
    emit ChangeLogSaved();
    emit SaveCompleted();
    emit information("These changes are only saved locally and are NOT distributed to your cast. We always "
                     "recommend sharing changes when possible.",
                     "Save Complete");
}

void ChangelogFilesController::onSaveAndUploadButton()
{
    if (UsesPortal()) {
        onSaveAndUploadPortalButton();
        return;
    }
    networking::ServerSettings server;
    std::vector<cmn::BRIXVersion> stored;
    try {
        server = Server();
        NetworkApiInterface api(server.address, server.timeouts);
        api.SetCredentials(server.credentials);
        const auto logs = api.GetAvailableLogs();
        if (logs.code != NetworkApiInterface::API_SUCCESS)
            throw NetworkError(logs.code, logs.displayMessage);
        for (const networking::ChangelogFullInfo& log : logs.value.value_or(networking::ChangelogFullInfoList{}))
            stored.push_back(log.version);
    } catch (const std::exception&) {
        emit error("Failed to get current log on server. Check internet connectivity?", "Server Error on Save");
        return;
    }
    Share([&] {
        const std::shared_ptr<Interface> engine = Engine();
        const std::string written = engine->SaveChangelog(changelog::NextSharedMajor(stored), 0);
        engine->LoadNewChangeLog();
        const std::filesystem::path file = ShowFolder() / std::filesystem::path(written).filename();
        const CL::Editor* editor = engine->GetChangeLogEditor();
        if (editor == nullptr)
            throw std::runtime_error("The show has no change log.");
        const auto upload = networking::UploadChangelog(server, {}, editor->GetVersion(), ReadBytes(file));
        if (upload.code != NetworkApiInterface::API_SUCCESS) {
            std::cerr << "Upload failed: " << upload.displayMessage << std::endl;
            throw NetworkError(upload.code, "Upload returned an error.");
        }
        TouchNow(file);
    });
}

void ChangelogFilesController::onSaveAndUploadPortalButton()
{
    Share([this] {
        const std::string file = Engine()->GetChangelogFilename();
        brix_download::ShareLogfiles(ShowFolder().string(), file);
        TouchNow(file);
    });
}

void ChangelogFilesController::Share(const std::function<void()>& send)
{
    try {
        send();
    } catch (const std::exception& e) {
        emit error(std::string("The edits failed to upload. ") + e.what(), "Save and Share Failed");
        return;
    }
    emit ChangeLogShared();
    emit information(kShareComplete, "Share Complete");
}

void ChangelogFilesController::GetLatestLogClicked_()
{
    if (UsesPortal()) {
        GetLatestLogPortal_();
        return;
    }
    cmn::BRIXVersion version;
    try {
        const networking::ServerSettings server = Server();
        NetworkApiInterface api(server.address, server.timeouts);
        api.SetCredentials(server.credentials);
        const auto latest = api.GetLatestLog();
        if (latest.code != NetworkApiInterface::API_SUCCESS || !latest.value) {
            emit error("Get Latest Log Version Failed. " + latest.displayMessage, "Download Error");
            return;
        }
        version = *latest.value;
        const auto linked = api.GetChangelogLinkByVersion(version.GetMajor(), version.GetMinor());
        if (linked.code != NetworkApiInterface::API_SUCCESS || !linked.value || linked.value->empty()) {
            emit error("Latest Log Link Request Failed. " +
                           (linked.displayMessage.empty() ? std::string("The server gave no link.") : linked.displayMessage),
                       "Download Error");
            return;
        }
        networking::BRIXDownloader(server, {}).Download(*linked.value, ShowFolder());
    } catch (const std::exception& e) {
        emit error(std::string("Log failed to download. ") + e.what(), "Download Error");
        return;
    }
    emit information("Log version " + version.GetAsString() + " has been downloaded.", "Download successful");
    std::filesystem::path file;
    try {
        const auto newest = changelog::LatestLocalVersion(changelog::ListLocalVersions(ShowFolder()));
        if (!newest)
            throw std::runtime_error("no change-log file is in the show folder.");
        file = newest->path;
        LoadChangelogFile(file);
    } catch (const std::exception& e) {
        emit error("Unable to load changelog " + file.filename().string() + ": " + e.what(), "Bad Changelog");
    }
}

void ChangelogFilesController::GetLatestLogPortal_()
{
    try {
        const std::filesystem::path folder = ShowFolder();
        const auto local = changelog::LatestLocalVersion(changelog::ListLocalVersions(folder));
        const auto rows = brix_download::PopulatePortalLogs(folder.string(), Server().credentials);
        const brix_download::ServerChangelogRow* newest = nullptr;
        for (const auto& row : rows) {
            if (newest == nullptr || cmn::BRIXVersion(row.major, row.minor) > cmn::BRIXVersion(newest->major, newest->minor))
                newest = &row;
        }
        if (newest == nullptr || (local && cmn::BRIXVersion(newest->major, newest->minor) <= local->version))
            return;
        const std::string path = brix_download::DownloadServerChangelogFile(newest->fileUuid, 2, folder.string());
        LoadChangelogFile(path);
        emit information("The event log has been updated to version " +
                             cmn::BRIXVersion(newest->major, newest->minor).GetAsString(),
                         "Files Were Updated");
    } catch (const std::exception& e) {
        emit error(std::string("Unable to check or download portal changelog. ") + e.what(),
                   "Portal Log Download Error");
    }
}

void ChangelogFilesController::GetPortalLogs_()
{
    if (!manager_)
        return;
    try {
        manager_->SetServerLogs(brix_download::PopulatePortalLogs(ShowFolder().string(), Server().credentials));
    } catch (const std::exception& e) {
        emit error(std::string("The versions stored on the show server could not be listed. ") + e.what(),
                   "Server Error");
    }
}

void ChangelogFilesController::ChangelogLocalSelected_(int index)
{
    if (!manager_)
        return;
    const QString versionText = manager_->LocalModel().GetVersionText(index);
    if (versionText.isEmpty())
        return;
    std::string name = versionText.toStdString();
    try {
        std::vector<changelog::LocalVersion> matching;
        for (changelog::LocalVersion& file : changelog::ListLocalVersions(ShowFolder())) {
            if (file.version.GetAsString() == versionText.toStdString())
                matching.push_back(std::move(file));
        }
        const auto chosen = changelog::LatestLocalVersion(matching);
        if (!chosen)
            throw std::runtime_error("the show folder holds no file of that version any more.");
        name = chosen->path.filename().string();
        LoadChangelogFile(chosen->path);
    } catch (const std::exception& e) {
        emit error("Unable to load changelog " + name + ": " + e.what(), "Bad Changelog");
    }
}

void ChangelogFilesController::ChangelogServerSelected_(int index)
{
    if (!manager_ || index < 0 || index >= manager_->ServerModel().rowCount()) {
        std::cerr << "Server file does not exist." << std::endl;
        return;
    }
    std::string name = manager_->ServerModel().GetVersionText(index).toStdString();
    try {
        const std::filesystem::path path = manager_->DownloadServerChangelog(name);
        name = path.filename().string();
        manager_->PruneLocalVersions();
        LoadChangelogFile(path);
    } catch (const std::exception& e) {
        emit error("Unable to load downloaded changelog " + name + ": " + e.what(), "Bad Changelog");
    }
}

void ChangelogFilesController::ExportChangelogRequested_(QUrl path)
{
    try {
        const auto show = showStore_ ? showStore_() : std::nullopt;
        exportManager_.reset();
        exportManager_ = std::make_unique<ExportManager>(showStore_, showManager_, Engine(), oscPort_ ? oscPort_() : 0,
                                                         show ? QString::fromStdString(show->name) : QString(),
                                                         path, displayName_);
        exportManager_->ExportChangelog();
    } catch (const std::exception& e) {
        emit error(std::string("The event log could not be exported. ") + e.what(), "Export Failed");
        return;
    }
    emit information("The event log was exported to " + path.toLocalFile().toStdString() + ".", "Export Complete");
}

void ChangelogFilesController::ShowChangelogManager_()
{
    manager_.reset();
    manager_ = std::make_unique<ChangelogManagerController>(engine_, showStore_, windowParent_);
    connect(manager_.get(), &ChangelogManagerController::ChangelogLocalSelected, this,
            &ChangelogFilesController::ChangelogLocalSelected_);
    connect(manager_.get(), &ChangelogManagerController::ChangelogServerSelected, this,
            &ChangelogFilesController::ChangelogServerSelected_);
    connect(manager_.get(), &ChangelogManagerController::PortalLogsRequested, this,
            &ChangelogFilesController::GetPortalLogs_);
    // Queued: the manager is deleted in answer to its own signal.
    connect(manager_.get(), &ChangelogManagerController::Closing, this,
            &ChangelogFilesController::ChangelogManagerClosing_, Qt::QueuedConnection);
    connect(manager_.get(), &QmlController::error, this, &ChangelogFilesController::error);
    connect(manager_.get(), &QmlController::information, this, &ChangelogFilesController::information);
    emit controllerCreated("ChangelogManager", manager_.get());
    manager_->Show();
}

void ChangelogFilesController::ChangelogManagerClosing_()
{
    manager_.reset();
}

}  // namespace brix::qt
