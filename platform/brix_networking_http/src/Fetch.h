#pragma once

#include <brix_networking_http/NetworkTypes.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

// The one download path of the library (see BRIXDownloader.h for what it guarantees). Internal.
namespace brix::networking::detail {

// (bytes received, Content-Length), after each block received.
using FetchProgress = std::function<void(std::uint64_t, std::uint64_t)>;
// Gives the target path from the value of the answer's Content-Disposition header ("" without one);
// throws NetworkError to refuse the answer.
using ChooseTarget = std::function<std::filesystem::path(const std::string& contentDisposition)>;

struct FetchExpected {
    std::optional<std::uint64_t> size;
    std::optional<std::uint32_t> crc32;
};

// GETs the route (a path with its query, already percent-encoded) into the chosen target through a
// ".part" file, creating the target's folder. Returns the target; nothing when *cancel is or turns true
// (then the partial file is removed). Throws NetworkError, or fennic::IoError when the file cannot be
// written; an exception of the progress function is passed on; each removes the partial file.
std::optional<std::filesystem::path> Fetch(const ServerSettings& server, const std::string& applicationId,
                                           const std::string& route, const ChooseTarget& chooseTarget,
                                           const FetchExpected& expected = {},
                                           const std::atomic<bool>* cancel = nullptr,
                                           const FetchProgress& progress = {});

// The file name of a Content-Disposition value (attachment; filename="name" or filename=name); ""
// without one.
std::string FileNameOfContentDisposition(const std::string& value);

}  // namespace brix::networking::detail
