#pragma once

#include <brix_core/BRIXVersion.h>

#include <fennic/Exceptions.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The values that travel between the program and the show server. The protocol itself (routes,
// bodies, result codes) is documented in NetworkApiInterface.h.
namespace brix::networking {

// The two ways a show exchanges its change logs with the server: the request route (version
// requests and uploads, NetworkApiInterface) or the portal route (the server's list of stored
// versions and its share request, the portal functions of ShowDownload.h).
enum class ServerRoute { Request, Portal };

// What a show's requests carry: the show's identity on the server (a path segment of every show
// route) and its access token (sent as "Authorization: Bearer <token>").
struct Credentials {
    std::string show;
    std::string token;

    friend bool operator==(const Credentials&, const Credentials&) = default;
};

// Every request is synchronous and bounded by these: the time to connect, and the longest wait for
// the next bytes of an answer (a download that keeps sending may last longer).
struct Timeouts {
    std::chrono::milliseconds connect{2000};
    std::chrono::milliseconds read{4000};
};

// A show's server: the base address ("http://host:port" or "https://host:port", nothing after the
// port), its route and the show's credentials. An empty address means no server is configured:
// every call then fails at once with "No show server configured.".
struct ServerSettings {
    std::string address;
    ServerRoute route = ServerRoute::Request;
    Credentials credentials;
    Timeouts timeouts;
};

// The optional "server" object of a show's "show.json":
//   "server": {"address": "http://host:port", "route": "request" | "portal",
//              "credentials": {"show": "...", "token": "..."}}
// "route" defaults to "request" and "credentials" to empty texts. Returns nothing when the folder has
// no show.json or its show.json has no "server" object. Throws NetworkError (code API_BAD_SETTINGS)
// naming show.json and the fault when show.json cannot be read or is not JSON, or the object is
// malformed (a member of the wrong type, an unknown route, an address that is not an http or https
// base address).
std::optional<ServerSettings> ReadServerSettings(const std::filesystem::path& showFolder);

// A show as the show store keeps it: identity on this computer, display and customer names, its
// folder and its server (none: the show works offline).
struct ShowRecord {
    std::string id;
    std::string name;
    std::string customer;
    std::string folder;
    std::optional<ServerSettings> server;
};

// One file of a show as the server lists it. "kind" is free text; "LOG" marks the show's event log
// (a ".logdata" file). "name" is the file's path inside the show folder ("/"-separated, relative,
// without "." or ".." parts; the server's list is refused otherwise). "size" and "crc32" (zlib's
// CRC-32) describe the server's current content; "id" names the file in the server's file routes.
struct ShowFile {
    std::string kind;
    cmn::BRIXVersion version;
    std::string name;
    std::uint64_t size = 0;
    std::uint32_t crc32 = 0;
    std::string id;

    friend bool operator==(const ShowFile&, const ShowFile&) = default;
};
using ShowFileList = std::vector<ShowFile>;

// The files a download fetches, in order.
struct DownloadPlan {
    std::vector<ShowFile> files;

    bool empty() const { return files.empty(); }
    std::uint64_t GetTotalSize() const;
};

// One change-log version stored on the server (request route): its file identifier, version and
// modification time in seconds since the Unix epoch.
struct ChangelogFullInfo {
    std::string id;
    cmn::BRIXVersion version;
    std::int64_t modified = 0;

    friend bool operator==(const ChangelogFullInfo&, const ChangelogFullInfo&) = default;
};
using ChangelogFullInfoList = std::vector<ChangelogFullInfo>;

// A failure of a call that throws: its result code (NetworkApiInterface's API_ codes) and the display
// message as what().
class NetworkError : public fennic::RuntimeError {
public:
    NetworkError(int code, const std::string& message) : fennic::RuntimeError(message), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

}  // namespace brix::networking

namespace brix_download {

// One change-log version stored on the server (portal route): the portal's file identifier, the
// version and the modification time in seconds since the Unix epoch.
struct ServerChangelogRow {
    std::string fileUuid;
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::int64_t modified = 0;

    friend bool operator==(const ServerChangelogRow&, const ServerChangelogRow&) = default;
};

}  // namespace brix_download
