#pragma once

#include <brix_networking_http/NetworkTypes.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

// The show server's client, synchronous: each call sends one HTTP request, waits for the answer
// (within the settings' connect and read timeouts) and returns. No call keeps a connection or a
// thread. Not thread-safe per object; separate objects may be used on separate threads.
//
// Every request carries "Authorization: Bearer <token>" and, where the caller gives one,
// "X-Brix-Application: <application identifier>". <show> below is the credentials' show, <id> and
// <fileUuid> a file's identifier, each percent-encoded. Bodies are JSON objects unless a route says
// otherwise; an error answer may carry {"message": "..."}, which is added to the display message. A
// JSON answer larger than 4 MiB is refused.
//
// Request route:
//   GET  /api/shows/<show>/files                 show files: {"files": [<file>...]}; an answer
//                                                without "files" has no file list
//   GET  /api/shows/<show>/files/<id>            file download: the bytes, with Content-Length
//   GET  /api/shows/<show>/logs                  logs: {"logs": [{"id": "...", "major": M, "minor": m,
//                                                "modified": seconds}...]}
//   GET  /api/shows/<show>/logs/latest           latest log: {"major": M, "minor": m}
//   GET  /api/shows/<show>/logs/<M>.<m>/link     log link: {"link": "/path"}: a path on this server
//                                                (or a URL that starts with its address) whose last
//                                                segment is the file name; fetched with GET, the
//                                                bytes with Content-Length
//   POST /api/shows/<show>/logs/<M>.<m>          log upload: the file's bytes
//                                                (application/octet-stream); answer 200 or 201
// Portal route (ShowDownload.h):
//   GET  /portal/shows/<show>/plan               download plan: {"files": [<file>...]}
//   GET  /portal/shows/<show>/logs               portal logs: {"logs": [{"fileUuid": "...", "major": M,
//                                                "minor": m, "modified": seconds}...]}
//   GET  /portal/files/<fileUuid>?type=<t>       portal file: the bytes, with Content-Length and
//                                                Content-Disposition: attachment; filename="<name>";
//                                                type 1 a show file, 2 a change-log file
//   POST /portal/shows/<show>/share?name=<file>  portal share: the change-log file's bytes
//                                                (application/octet-stream); answer 200 or 201
// <file> = {"kind": "...", "name": "dir/file", "major": M, "minor": m, "size": bytes,
//           "crc32": n, "id": "..."}  (see ShowFile; M and m at most 65535, crc32 below 2^32)
//
// Result codes: HTTP 200 and 201 give API_SUCCESS; 400 API_BAD_REQUEST; 401 and 403
// API_UNAUTHORIZED; 404 API_NOT_FOUND; any other status API_SERVER_ERROR. A connection that is refused,
// times out or breaks (a download that ends before its Content-Length included) gives
// API_CONNECTION_FAILED; an answer that is not what the route promises (malformed JSON, missing or
// mistyped members, an unsafe file name or link, a download without Content-Length or of another size
// or CRC-32 than listed) API_BAD_RESPONSE; no server configured API_NO_SERVER (at once, without any
// request); an address that is no base address, or a malformed "server" object in show.json,
// API_BAD_SETTINGS.
namespace brix::networking {

// Code and display message of a call; the message is empty on success.
struct ApiStatus {
    int code = 0;
    std::string displayMessage;
};

// A call's result: its status and, on success, its value (a show-file answer may succeed without a
// file list).
template <class T>
struct ApiResult : ApiStatus {
    std::optional<T> value;
};

class NetworkApiInterface {
public:
    static constexpr int API_SUCCESS = 0;
    static constexpr int API_BAD_REQUEST = 1;
    static constexpr int API_UNAUTHORIZED = 2;
    static constexpr int API_NOT_FOUND = 3;
    static constexpr int API_SERVER_ERROR = 4;
    static constexpr int API_CONNECTION_FAILED = 5;
    static constexpr int API_BAD_RESPONSE = 6;
    static constexpr int API_NO_SERVER = 7;
    static constexpr int API_BAD_SETTINGS = 8;

    // The server at the base address ("" for none), with the given timeouts.
    explicit NetworkApiInterface(std::string baseAddress, Timeouts timeouts = {});

    void SetCredentials(Credentials credentials);
    void SetApplicationId(std::string applicationId);

    // show files
    ApiResult<ShowFileList> GetAllShowFiles() const;
    // logs
    ApiResult<ChangelogFullInfoList> GetAvailableLogs() const;
    // latest log
    ApiResult<cmn::BRIXVersion> GetLatestLog() const;
    // log link: the link to give BRIXDownloader::Download
    ApiResult<std::string> GetChangelogLinkByVersion(std::uint16_t major, std::uint16_t minor) const;

private:
    ServerSettings settings_;
    std::string applicationId_;
};

// log upload: sends the bytes of a change-log file as the given version to the show's server.
ApiStatus UploadChangelog(const ServerSettings& server, const std::string& applicationId,
                          const cmn::BRIXVersion& version, const std::string& bytes);

// The plan that fetches every file of a server's list, in the list's order.
std::unique_ptr<DownloadPlan> GetDownloadPlan(const ShowFileList& files);

// The entries of the plan whose file the show folder lacks or holds with another size or CRC-32, in
// the plan's order. Never throws for a file it cannot read: that file is fetched.
std::unique_ptr<DownloadPlan> ValidateDownloadPlan(const DownloadPlan& plan,
                                                   const std::filesystem::path& showFolder);

}  // namespace brix::networking
