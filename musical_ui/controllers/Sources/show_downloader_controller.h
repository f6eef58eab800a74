#pragma once

#include "qml_controller.h"

#include <QString>

// moc reads no further: it cannot parse the C++20 standard headers these bring in.
#ifndef Q_MOC_RUN
#include <brix_networking_http/DownloadCallbacks.h>
#include <brix_networking_http/NetworkTypes.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

Q_DECLARE_METATYPE(brix::networking::ShowRecord)
#endif

namespace brix::qt {

// ShowDownloaderController: the modal window "Downloading Show" (ShowDownloader.qml) and the worker
// thread that fetches a show's missing and outdated files through the networking library's repair
// download. The window shows the status texts and the overall progress; "Cancel" stops the download
// (the file being fetched is removed, the files before it stay).
//
// The worker and the library's callbacks never touch the window: status and progress travel as
// signals (queued to the GUI thread), showing and hiding as queued calls. An error is queued to the
// window's error dialog without waiting for it, so a window that closes meanwhile cannot hold the
// worker (nor a destructor that joins it). Progress counters are 64-bit and kept under a lock, since
// the library may report from threads of its own; the window hears of progress at most once per
// 100 ms.
//
// The download always ends in DownloadFinishedSignal: with the record the download returned, or,
// after a cancel, an error the user acknowledged, with the record it started from, so the owner goes
// on with the show as it is on disk.
//
// Thread: constructed, driven and destroyed on the GUI thread; the reporting members run on any thread.
class ShowDownloaderController : public QmlController, public networking::IReportProgressCallback {
    Q_OBJECT

public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // Creates the window (a transient child of `parent` when given) and shows it once the event loop
    // runs. The clock times the progress throttle.
    ShowDownloaderController(QQmlEngine* engine, QObject* parent, Clock clock = &std::chrono::steady_clock::now);
    // Cancels a running download and waits for its worker.
    ~ShowDownloaderController() override;

    // Starts the worker on the show's folder with the plan. Joins an earlier worker first. Throws
    // std::system_error when the thread cannot be started.
    void Download(const std::filesystem::path& showFolder, const networking::ShowRecord& show,
                  std::unique_ptr<networking::DownloadPlan> plan);

    // IReportProgressCallback
    void ReportStatus(const std::string& status) override;
    void ReportFileProgress(const std::string& file, std::uint64_t received, std::uint64_t total) override;
    // The size of the whole download as the library announces it; the overall bar moves from then on.
    void ReportTotalSize(long size);

    std::string GetStatus() const;

signals:
    // Bytes as whole numbers in doubles: exact far beyond any download's size.
    void progressChanged(double bytesReceived, double total);
    void totalProgressChanged(double bytesReceived, double total);
    void downloadError(QString msg);
    void statusChanged(QString status);
    void DownloadFinishedSignal(brix::networking::ShowRecord show);
    void Closing();
    void Cancelled();

public slots:
    void Cancel_();
    void DownloadFinished_();

private:
    void Work(std::filesystem::path showFolder, networking::ShowRecord show,
              std::unique_ptr<networking::DownloadPlan> plan);
    void ReportError(const std::string& message);
    void PostVisible(bool visible);

    mutable std::mutex statusMutex_;
    std::string status_;
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    mutable std::mutex recordMutex_;
    networking::ShowRecord show_;

    // The progress path: any thread, under progressMutex_.
    std::mutex progressMutex_;
    Clock clock_;
    std::chrono::steady_clock::time_point lastReport_;
    std::map<std::string, std::pair<std::uint64_t, std::uint64_t>> fileProgress_;
    std::uint64_t bytesReceived_ = 0;
    std::uint64_t totalSize_ = 0;
};

}  // namespace brix::qt
