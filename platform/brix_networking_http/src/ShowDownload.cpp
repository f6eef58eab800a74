#include <brix_networking_http/ShowDownload.h>

#include "Fetch.h"
#include "Http.h"
#include "Json.h"

#include <brix_networking_http/NetworkApiInterface.h>

#include <fstream>
#include <iterator>

namespace brix_download {

using brix::networking::NetworkApiInterface;
using brix::networking::NetworkError;
using brix::networking::ServerSettings;
namespace detail = brix::networking::detail;

namespace {

// The server of the folder's show.json; throws "No show server configured." without one.
ServerSettings ServerOfFolder(const std::string& showFolder) {
    std::optional<ServerSettings> server = brix::networking::ReadServerSettings(showFolder);
    if (!server) detail::Throw({NetworkApiInterface::API_NO_SERVER, detail::DefaultDisplayMessage(NetworkApiInterface::API_NO_SERVER)});
    return *server;
}

std::string PortalShowRoute(const ServerSettings& server) {
    return "/portal/shows/" + detail::EncodeSegment(server.credentials.show);
}

// GETs a JSON route of the portal and reads it with parse; throws NetworkError.
template <class Parse>
auto GetPortalJson(const ServerSettings& server, const std::string& applicationId, const std::string& route,
                   Parse parse) {
    std::string body;
    const brix::networking::ApiStatus status = detail::Send(server, applicationId, "GET", route, {}, body);
    if (status.code != NetworkApiInterface::API_SUCCESS) detail::Throw(status);
    try {
        return parse(body);
    } catch (const detail::BadAnswer& bad) {
        detail::Throw({NetworkApiInterface::API_BAD_RESPONSE,
                       detail::DefaultDisplayMessage(NetworkApiInterface::API_BAD_RESPONSE) + " (GET " + route + ": " +
                           bad.what() + ")"});
    }
}

std::string PortalFileRoute(const std::string& fileUuid, int type) {
    return "/portal/files/" + detail::EncodeSegment(fileUuid) + "?type=" + std::to_string(type);
}

}  // namespace

void GetPortalRepairPlan(brix::networking::DownloadPlan& plan, const std::string& showFolder,
                         const std::string& applicationId) {
    const ServerSettings server = ServerOfFolder(showFolder);
    const std::optional<brix::networking::ShowFileList> files =
        GetPortalJson(server, applicationId, PortalShowRoute(server) + "/plan", detail::ParseShowFiles);
    plan = *brix::networking::ValidateDownloadPlan(
        *brix::networking::GetDownloadPlan(files.value_or(brix::networking::ShowFileList{})), showFolder);
}

brix::networking::ShowRecord RepairExistingShow(const brix::networking::ShowRecord& record,
                                                const std::shared_ptr<brix::networking::DownloadCallbacks>& callbacks,
                                                const std::atomic<bool>* cancel, const std::string& showFolder,
                                                std::unique_ptr<brix::networking::DownloadPlan> plan) {
    if (!record.server || record.server->address.empty()) {
        detail::Throw({NetworkApiInterface::API_NO_SERVER, detail::DefaultDisplayMessage(NetworkApiInterface::API_NO_SERVER)});
    }
    const ServerSettings& server = *record.server;
    const brix::networking::DownloadCallbacks none;
    const brix::networking::DownloadCallbacks& report = callbacks ? *callbacks : none;
    const std::vector<brix::networking::ShowFile> files = plan ? plan->files : std::vector<brix::networking::ShowFile>{};
    for (const brix::networking::ShowFile& file : files) {
        if (!detail::IsSafeRelativePath(file.name)) {
            detail::Throw({NetworkApiInterface::API_BAD_RESPONSE,
                           detail::DefaultDisplayMessage(NetworkApiInterface::API_BAD_RESPONSE) + " (unsafe file name \"" +
                               file.name + "\")"});
        }
    }

    if (report.totalSize) report.totalSize(static_cast<long>(plan ? plan->GetTotalSize() : 0));
    if (report.status) report.status("Downloading " + std::to_string(files.size()) + " files...");
    const std::string showRoute = "/api/shows/" + detail::EncodeSegment(server.credentials.show) + "/files/";
    for (std::size_t i = 0; i < files.size(); ++i) {
        const brix::networking::ShowFile& file = files[i];
        if (report.progressMessage) {
            report.progressMessage("Downloading " + file.name + " (" + std::to_string(i + 1) + " of " +
                                   std::to_string(files.size()) + ")...");
        }
        const std::string route = server.route == brix::networking::ServerRoute::Portal
                                      ? PortalFileRoute(file.id, 1)
                                      : showRoute + detail::EncodeSegment(file.id);
        const auto target = detail::Fetch(
            server, {}, route, [&](const std::string&) { return std::filesystem::path(showFolder) / file.name; },
            {file.size, file.crc32}, cancel,
            [&](std::uint64_t received, std::uint64_t total) {
                if (report.fileProgress) report.fileProgress(file.name, received, total);
            });
        if (!target) {
            if (report.status) report.status("Download cancelled.");
            return {};
        }
    }
    if (report.status) report.status("Download complete.");

    brix::networking::ShowRecord updated = record;
    try {
        if (const std::optional<std::string> showJson = detail::ReadShowJson(showFolder)) {
            detail::ReadShowNames(*showJson, updated);
        }
    } catch (const NetworkError&) {
        // The names stay as they were: an unreadable show.json is the show loader's to report.
    }
    return updated;
}

std::vector<ServerChangelogRow> PopulatePortalLogs(const std::string& showFolder,
                                                   const brix::networking::Credentials& credentials) {
    ServerSettings server = ServerOfFolder(showFolder);
    server.credentials = credentials;
    return GetPortalJson(server, {}, PortalShowRoute(server) + "/logs", detail::ParsePortalLogs);
}

std::string DownloadServerChangelogFile(const std::string& fileUuid, int type, const std::string& showFolder) {
    const ServerSettings server = ServerOfFolder(showFolder);
    const std::string route = PortalFileRoute(fileUuid, type);
    const auto target = detail::Fetch(server, {}, route, [&](const std::string& contentDisposition) {
        const std::string name = detail::FileNameOfContentDisposition(contentDisposition);
        if (!detail::IsPlainFileName(name)) {
            detail::Throw({NetworkApiInterface::API_BAD_RESPONSE,
                           detail::DefaultDisplayMessage(NetworkApiInterface::API_BAD_RESPONSE) + " (GET " + route +
                               ": no plain file name in Content-Disposition \"" + contentDisposition + "\")"});
        }
        return std::filesystem::path(showFolder) / name;
    });
    return target->string();
}

void ShareLogfiles(const std::string& showFolder, const std::string& changelogFile) {
    const ServerSettings server = ServerOfFolder(showFolder);
    std::ifstream in(changelogFile, std::ios::binary);
    if (!in.is_open()) throw fennic::IoError(changelogFile + ": cannot be opened");
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw fennic::IoError(changelogFile + ": cannot be read");
    std::string body;
    const brix::networking::ApiStatus status = detail::Send(
        server, {}, "POST",
        PortalShowRoute(server) + "/share?name=" + detail::EncodeSegment(std::filesystem::path(changelogFile).filename().string()),
        bytes, body);
    if (status.code != NetworkApiInterface::API_SUCCESS) detail::Throw(status);
}

}  // namespace brix_download
