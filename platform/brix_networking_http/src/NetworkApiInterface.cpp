#include <brix_networking_http/NetworkApiInterface.h>

#include "Http.h"
#include "Json.h"

#include <zlib.h>

#include <fstream>

namespace brix::networking {

namespace {

std::string ShowRoute(const Credentials& credentials) {
    return "/api/shows/" + detail::EncodeSegment(credentials.show);
}

std::string VersionSegment(std::uint16_t major, std::uint16_t minor) {
    return std::to_string(major) + "." + std::to_string(minor);
}

// GETs a JSON route and reads its answer with parse (which throws detail::BadAnswer).
template <class T, class Parse>
ApiResult<T> GetJson(const ServerSettings& settings, const std::string& applicationId, const std::string& route,
                     Parse parse) {
    ApiResult<T> result;
    std::string body;
    static_cast<ApiStatus&>(result) = detail::Send(settings, applicationId, "GET", route, {}, body);
    if (result.code != NetworkApiInterface::API_SUCCESS) return result;
    try {
        result.value = parse(body);
    } catch (const detail::BadAnswer& bad) {
        result.code = NetworkApiInterface::API_BAD_RESPONSE;
        result.displayMessage = detail::DefaultDisplayMessage(result.code) + " (GET " + route + ": " + bad.what() + ")";
    }
    return result;
}

// The size and CRC-32 of a file, or nothing when it cannot be read whole.
std::optional<std::pair<std::uint64_t, std::uint32_t>> SizeAndCrc(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) return std::nullopt;
    std::uint64_t size = 0;
    uLong crc = crc32(0L, Z_NULL, 0);
    char buffer[64 * 1024];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        crc = crc32(crc, reinterpret_cast<const Bytef*>(buffer), static_cast<uInt>(in.gcount()));
        size += static_cast<std::uint64_t>(in.gcount());
    }
    if (in.bad()) return std::nullopt;
    return std::make_pair(size, static_cast<std::uint32_t>(crc));
}

}  // namespace

std::uint64_t DownloadPlan::GetTotalSize() const {
    std::uint64_t total = 0;
    for (const ShowFile& file : files) total += file.size;
    return total;
}

std::optional<ServerSettings> ReadServerSettings(const std::filesystem::path& showFolder) {
    const std::optional<std::string> showJson = detail::ReadShowJson(showFolder);
    if (!showJson) return std::nullopt;
    try {
        return detail::ParseServerSettings(*showJson);
    } catch (const detail::BadAnswer& bad) {
        throw NetworkError(NetworkApiInterface::API_BAD_SETTINGS, (showFolder / "show.json").string() + ": " + bad.what());
    }
}

NetworkApiInterface::NetworkApiInterface(std::string baseAddress, Timeouts timeouts) {
    settings_.address = std::move(baseAddress);
    settings_.timeouts = timeouts;
}

void NetworkApiInterface::SetCredentials(Credentials credentials) { settings_.credentials = std::move(credentials); }

void NetworkApiInterface::SetApplicationId(std::string applicationId) { applicationId_ = std::move(applicationId); }

ApiResult<ShowFileList> NetworkApiInterface::GetAllShowFiles() const {
    // The answer may lack a file list: the parser's nothing is kept as a success without a value.
    ApiResult<std::optional<ShowFileList>> answer = GetJson<std::optional<ShowFileList>>(
        settings_, applicationId_, ShowRoute(settings_.credentials) + "/files", detail::ParseShowFiles);
    ApiResult<ShowFileList> result;
    static_cast<ApiStatus&>(result) = answer;
    if (answer.value) result.value = std::move(*answer.value);
    return result;
}

ApiResult<ChangelogFullInfoList> NetworkApiInterface::GetAvailableLogs() const {
    return GetJson<ChangelogFullInfoList>(settings_, applicationId_, ShowRoute(settings_.credentials) + "/logs",
                                          detail::ParseLogs);
}

ApiResult<cmn::BRIXVersion> NetworkApiInterface::GetLatestLog() const {
    return GetJson<cmn::BRIXVersion>(settings_, applicationId_, ShowRoute(settings_.credentials) + "/logs/latest",
                                     detail::ParseLatestLog);
}

ApiResult<std::string> NetworkApiInterface::GetChangelogLinkByVersion(std::uint16_t major, std::uint16_t minor) const {
    return GetJson<std::string>(settings_, applicationId_,
                                ShowRoute(settings_.credentials) + "/logs/" + VersionSegment(major, minor) + "/link",
                                detail::ParseLink);
}

ApiStatus UploadChangelog(const ServerSettings& server, const std::string& applicationId,
                          const cmn::BRIXVersion& version, const std::string& bytes) {
    std::string body;
    return detail::Send(server, applicationId, "POST",
                        ShowRoute(server.credentials) + "/logs/" + VersionSegment(version.GetMajor(), version.GetMinor()),
                        bytes, body);
}

std::unique_ptr<DownloadPlan> GetDownloadPlan(const ShowFileList& files) {
    return std::make_unique<DownloadPlan>(DownloadPlan{files});
}

std::unique_ptr<DownloadPlan> ValidateDownloadPlan(const DownloadPlan& plan, const std::filesystem::path& showFolder) {
    auto needed = std::make_unique<DownloadPlan>();
    for (const ShowFile& file : plan.files) {
        const auto local = SizeAndCrc(showFolder / file.name);
        if (!local || local->first != file.size || local->second != file.crc32) needed->files.push_back(file);
    }
    return needed;
}

}  // namespace brix::networking
