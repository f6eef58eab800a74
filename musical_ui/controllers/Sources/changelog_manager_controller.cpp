#include "changelog_manager_controller.h"

#include "ChangelogVersions.h"

#include <brix_networking_http/BRIXDownloader.h>
#include <brix_networking_http/ShowDownload.h>

#include <QVariant>
#include <QWindow>

#include <iostream>

namespace brix::qt {

namespace {

const QUrl kWindowUrl("qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml/ChangelogManagerWindow.qml");

CL::ChangeLog Row(const cmn::BRIXVersion& version, std::int64_t modified)
{
    CL::ChangeLog row;
    row.SetVersion(version);
    row.SetModificationTime(modified);
    return row;
}

networking::NetworkError NoServer()
{
    return networking::NetworkError(networking::NetworkApiInterface::API_NO_SERVER, "No show server configured.");
}

}  // namespace

ChangelogManagerController::ChangelogManagerController(QQmlEngine* engine, CurrentShowSource showStore,
                                                       QObject* parent)
    : QmlController(engine, kWindowUrl, parent, true),
      showStore_(std::move(showStore)),
      localModel_(std::make_unique<ChangelogListModel>()),
      serverModel_(std::make_unique<ChangelogListModel>())
{
    QObject* window = GetQmlObject();
    if (window == nullptr)
        return;
    window->setProperty("localModel", QVariant::fromValue(static_cast<QObject*>(localModel_.get())));
    window->setProperty("serverModel", QVariant::fromValue(static_cast<QObject*>(serverModel_.get())));
    connect(window, SIGNAL(loadSelectedLocal(int)), this, SLOT(LoadSelectedLocal_(int)));
    connect(window, SIGNAL(loadSelectedServer(int)), this, SLOT(LoadSelectedServer_(int)));
    connect(window, SIGNAL(closing(QQuickCloseEvent*)), this, SIGNAL(Closing()));
}

ChangelogManagerController::~ChangelogManagerController()
{
    if (QObject* window = GetQmlObject()) {
        window->disconnect(this);
        if (QWindow* shown = WindowOf(window))
            shown->close();
    }
}

std::optional<networking::ShowRecord> ChangelogManagerController::CurrentShow() const
{
    return showStore_ ? showStore_() : std::nullopt;
}

std::filesystem::path ChangelogManagerController::ShowFolder() const
{
    const auto show = CurrentShow();
    return show ? std::filesystem::path(show->folder) : std::filesystem::path();
}

bool ChangelogManagerController::UsesPortal() const
{
    const auto show = CurrentShow();
    return show && show->server && show->server->route == networking::ServerRoute::Portal;
}

void ChangelogManagerController::Show()
{
    RefreshLocalList();
    RefreshServerList();
    SetVisible(true);
}

void ChangelogManagerController::LoadSelectedLocal_(int index)
{
    std::cout << "LoadSelectedLocal_(), index = " << index << std::endl;
    emit ChangelogLocalSelected(index);
}

void ChangelogManagerController::LoadSelectedServer_(int index)
{
    std::cout << "LoadSelectedServer_(), index = " << index << std::endl;
    emit ChangelogServerSelected(index);
}

void ChangelogManagerController::RefreshLocalList()
{
    localModel_->Clear();
    const std::filesystem::path folder = ShowFolder();
    std::error_code missing;
    if (folder.empty() || !std::filesystem::is_directory(folder, missing))
        return;
    for (const changelog::LocalVersion& file : changelog::ListLocalVersions(folder))
        localModel_->Add(Row(file.version, file.modified));
    localModel_->Sort();
}

void ChangelogManagerController::ReloadLocalList()
{
    RefreshLocalList();
}

void ChangelogManagerController::RefreshServerList()
{
    serverModel_->Clear();
    if (UsesPortal()) {
        emit PortalLogsRequested();
        return;
    }
    for (const networking::ChangelogFullInfo& entry : GetAvailableLogs_())
        serverModel_->Add(Row(entry.version, entry.modified));
    serverModel_->Sort();
}

networking::ChangelogFullInfoList ChangelogManagerController::GetAvailableLogs_()
{
    const auto show = CurrentShow();
    if (!show || !show->server)
        return {};
    networking::NetworkApiInterface api(show->server->address, show->server->timeouts);
    api.SetCredentials(show->server->credentials);
    const auto result = api.GetAvailableLogs();
    if (result.code == networking::NetworkApiInterface::API_SUCCESS)
        return result.value.value_or(networking::ChangelogFullInfoList{});
    std::cout << "Networking Issue: "
              << (result.code == networking::NetworkApiInterface::API_BAD_REQUEST    ? "API_BAD_REQUEST"
                  : result.code == networking::NetworkApiInterface::API_UNAUTHORIZED ? "API_UNAUTHORIZED"
                                                                                     : "")
              << std::endl;
    emit error("The versions stored on the show server could not be listed. " + result.displayMessage,
               "Server Error");
    return {};
}

void ChangelogManagerController::SetServerLogs(std::vector<brix_download::ServerChangelogRow> entries)
{
    serverEntries_ = std::move(entries);
    serverModel_->Clear();
    for (const brix_download::ServerChangelogRow& entry : serverEntries_)
        serverModel_->Add(Row({entry.major, entry.minor}, entry.modified));
    serverModel_->Sort();
}

std::string ChangelogManagerController::DownloadServerChangelog(const std::string& versionText)
{
    cmn::BRIXVersion version;
    if (!version.SetWithString(versionText))
        throw networking::NetworkError(networking::NetworkApiInterface::API_BAD_REQUEST,
                                       "\"" + versionText + "\" is no change-log version.");
    const auto show = CurrentShow();
    if (!show || !show->server)
        throw NoServer();
    if (show->server->route == networking::ServerRoute::Portal) {
        const auto entry = std::find_if(serverEntries_.begin(), serverEntries_.end(), [&](const auto& row) {
            return row.major == version.GetMajor() && row.minor == version.GetMinor();
        });
        if (entry == serverEntries_.end() || entry->fileUuid.empty()) {
            std::cout << "No portal fileUuid found for selected server row." << std::endl;
            throw networking::NetworkError(networking::NetworkApiInterface::API_NOT_FOUND,
                                           "No portal fileUuid found for selected server row.");
        }
        return brix_download::DownloadServerChangelogFile(entry->fileUuid, 2, show->folder);
    }
    networking::NetworkApiInterface api(show->server->address, show->server->timeouts);
    api.SetCredentials(show->server->credentials);
    const auto link = api.GetChangelogLinkByVersion(version.GetMajor(), version.GetMinor());
    if (link.code != networking::NetworkApiInterface::API_SUCCESS || !link.value || link.value->empty()) {
        std::cout << "Link was not successfully received." << std::endl;
        throw networking::NetworkError(link.code == networking::NetworkApiInterface::API_SUCCESS
                                           ? networking::NetworkApiInterface::API_BAD_RESPONSE
                                           : link.code,
                                       "Link was not successfully received. " + link.displayMessage);
    }
    return networking::BRIXDownloader(*show->server, {}).Download(*link.value, show->folder);
}

void ChangelogManagerController::PruneLocalVersions()
{
    changelog::PruneLocalVersions(ShowFolder());
    RefreshLocalList();
}

}  // namespace brix::qt
