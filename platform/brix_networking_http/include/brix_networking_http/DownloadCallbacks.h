#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace brix::networking {

// What a show download reports while it runs. The library calls these on the thread that called the
// download, one at a time, never while holding a lock of its own; an empty member is skipped. A
// callback may throw: the download then removes its partial file and lets the exception through.
struct DownloadCallbacks {
    // A phase of the download ("Downloading 3 files...", "Download complete.").
    std::function<void(std::string)> status;
    // The file being fetched ("Downloading song1.mid (1 of 3)...").
    std::function<void(std::string)> progressMessage;
    // Bytes of one file received so far and its size (the answer's Content-Length), after each block.
    std::function<void(std::string file, std::uint64_t received, std::uint64_t total)> fileProgress;
    // The size in bytes of the whole download, announced once before the first file.
    std::function<void(long)> totalSize;
    // For the caller's own error reports: the library throws its failures (NetworkError) instead of
    // calling this, so that each failure is reported once.
    std::function<void(std::string)> error;
};

// The receiver of progress reports that a download window implements; it forwards the two reporting
// members of DownloadCallbacks to it. Called on the download's thread.
class IReportProgressCallback {
public:
    virtual ~IReportProgressCallback() = default;
    virtual void ReportStatus(const std::string& status) = 0;
    virtual void ReportFileProgress(const std::string& file, std::uint64_t received,
                                    std::uint64_t total) = 0;
};

}  // namespace brix::networking
