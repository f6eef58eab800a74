#pragma once

#include <brix_networking_http/NetworkApiInterface.h>

#include <string>

// The library's HTTP transport and the checks of what the server sends. Internal.
namespace brix::networking::detail {

// A path segment percent-encoded: every byte but A-Z a-z 0-9 - . _ ~ becomes %XX.
std::string EncodeSegment(const std::string& segment);

// "http://host[:port]" or "https://host[:port]": nothing after the port, no user part.
bool IsBaseAddress(const std::string& address);

// A name of one file in a folder: not empty, not starting with ".", without "/", "\" or control
// characters.
bool IsPlainFileName(const std::string& name);

// A file's path inside a folder: plain file names joined by "/".
bool IsSafeRelativePath(const std::string& path);

// The display message of a code without the server's own message.
std::string DefaultDisplayMessage(int code);

// API_NO_SERVER or API_BAD_SETTINGS for settings no request can go out with; API_SUCCESS otherwise.
ApiStatus CheckSettings(const ServerSettings& server);

// The status of an answer's HTTP status; a failure's display message names what failed, with the
// server's own message (from a JSON error body) when it gave one.
ApiStatus StatusOfAnswer(int httpStatus, const std::string& body, const std::string& what);

// Sends one request and collects the answer's body (at most 4 MiB). method is "GET" or "POST" (the
// upload body as application/octet-stream). On failure the status says why and body is unspecified.
ApiStatus Send(const ServerSettings& server, const std::string& applicationId, const std::string& method,
               const std::string& route, const std::string& uploadBody, std::string& body);

[[noreturn]] void Throw(const ApiStatus& status);

}  // namespace brix::networking::detail
