#include "show_downloader_controller.h"

#include <brix_networking_http/ShowDownload.h>

#include <QMetaObject>

#include <iostream>
#include <optional>

namespace brix::qt {

namespace {

const char* const kWindowUrl = "qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml/ShowDownloader.qml";
constexpr std::chrono::milliseconds kReportInterval{100};

}  // namespace

ShowDownloaderController::ShowDownloaderController(QQmlEngine* engine, QObject* parent, Clock clock)
    : QmlController(engine, QUrl(QString::fromLatin1(kWindowUrl)), parent, true), clock_(std::move(clock)),
      lastReport_(clock_())
{
    qRegisterMetaType<networking::ShowRecord>();
    PostVisible(true);
    QObject* window = GetQmlObject();
    if (window == nullptr) {
        return;
    }
    connect(window, SIGNAL(cancel()), this, SLOT(Cancel_()));
    connect(window, SIGNAL(downloadErrorAcknowledged()), this, SLOT(DownloadFinished_()));
    connect(window, SIGNAL(closing(QQuickCloseEvent*)), this, SIGNAL(Closing()));
    connect(this, SIGNAL(statusChanged(QString)), window, SIGNAL(statusChanged(QString)));
    connect(this, SIGNAL(downloadError(QString)), window, SIGNAL(downloadError(QString)), Qt::QueuedConnection);
    connect(this, SIGNAL(totalProgressChanged(double,double)), window, SIGNAL(totalProgressChanged(double,double)));
    connect(this, SIGNAL(progressChanged(double,double)), window, SIGNAL(progressChanged(double,double)));
}

ShowDownloaderController::~ShowDownloaderController()
{
    if (worker_.joinable()) {
        cancel_ = true;
        worker_.join();
    }
}

void ShowDownloaderController::Download(const std::filesystem::path& showFolder, const networking::ShowRecord& show,
                                        std::unique_ptr<networking::DownloadPlan> plan)
{
    if (worker_.joinable()) {
        worker_.join();
    }
    {
        std::lock_guard lock(recordMutex_);
        show_ = show;
    }
    worker_ = std::thread(&ShowDownloaderController::Work, this, showFolder, show, std::move(plan));
}

void ShowDownloaderController::Work(std::filesystem::path showFolder, networking::ShowRecord show,
                                    std::unique_ptr<networking::DownloadPlan> plan)
{
    auto callbacks = std::make_shared<networking::DownloadCallbacks>();
    callbacks->status = [this](std::string status) { ReportStatus(status); };
    callbacks->progressMessage = [this](std::string status) { ReportStatus(status); };
    callbacks->fileProgress = [this](std::string file, std::uint64_t received, std::uint64_t total) {
        ReportFileProgress(file, received, total);
    };
    callbacks->totalSize = [this](long size) { ReportTotalSize(size); };
    callbacks->error = [this](std::string message) { ReportError(message); };
    try {
        networking::ShowRecord result =
            brix_download::RepairExistingShow(show, callbacks, &cancel_, showFolder.string(), std::move(plan));
        if (result.id.empty()) {
            Cancel_();
            // The files fetched before the cancel stay; the show opens as it is on disk.
            emit DownloadFinishedSignal(show);
            return;
        }
        {
            std::lock_guard lock(recordMutex_);
            show_ = result;
        }
        emit DownloadFinishedSignal(result);
    } catch (const std::exception& e) {
        std::cerr << "An error occured: " << e.what() << std::endl;
        ReportError(e.what());
        ReportStatus("Error!");
    }
}

void ShowDownloaderController::ReportStatus(const std::string& status)
{
    {
        std::lock_guard lock(statusMutex_);
        status_ = status;
    }
    emit statusChanged(QString::fromStdString(status));
}

std::string ShowDownloaderController::GetStatus() const
{
    std::lock_guard lock(statusMutex_);
    return status_;
}

void ShowDownloaderController::ReportTotalSize(long size)
{
    std::lock_guard lock(progressMutex_);
    totalSize_ = size > 0 ? static_cast<std::uint64_t>(size) : 0;
}

void ShowDownloaderController::ReportFileProgress(const std::string& file, std::uint64_t received,
                                                  std::uint64_t total)
{
    if (total == 0) {
        return;
    }
    std::unique_lock lock(progressMutex_);
    const auto now = clock_();
    if (now - lastReport_ < kReportInterval) {
        return;
    }
    lastReport_ = now;
    std::optional<std::pair<std::uint64_t, std::uint64_t>> overall;
    if (totalSize_ != 0) {
        auto& stored = fileProgress_[file];
        // A file fetched again after a failure starts from 0: count only what grew.
        bytesReceived_ += received > stored.first ? received - stored.first : 0;
        stored = {received, total};
        overall = std::make_pair(bytesReceived_, totalSize_);
    }
    lock.unlock();
    emit progressChanged(static_cast<double>(received), static_cast<double>(total));
    if (overall) {
        emit totalProgressChanged(static_cast<double>(overall->first), static_cast<double>(overall->second));
    }
}

void ShowDownloaderController::ReportError(const std::string& message)
{
    emit downloadError(QString::fromStdString(message));
    PostVisible(false);
}

void ShowDownloaderController::PostVisible(bool visible)
{
    // Any thread: the window is reached on the GUI thread, queued after what was emitted before; the
    // call is dropped with the controller.
    QMetaObject::invokeMethod(
        this,
        [this, visible] {
            if (QObject* window = GetQmlObject()) {
                window->setProperty("visible", visible);
            }
        },
        Qt::QueuedConnection);
}

void ShowDownloaderController::Cancel_()
{
    PostVisible(false);
    cancel_ = true;
    emit Cancelled();
}

void ShowDownloaderController::DownloadFinished_()
{
    networking::ShowRecord show;
    {
        std::lock_guard lock(recordMutex_);
        show = show_;
    }
    emit DownloadFinishedSignal(show);
}

}  // namespace brix::qt
