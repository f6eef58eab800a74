// The show download window and its worker: the progress throttle and counters, the size label, and
// whole downloads against the in-process show server (success, cancel, errors).

#include "QmlTest.h"
#include "LauncherTestSupport.h"
#include "show_downloader_controller.h"

#include <QQuickItem>
#include <QSignalSpy>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <thread>

namespace {

using brix::networking::DownloadPlan;
using brix::networking::ShowRecord;
using brix::qt::ShowDownloaderController;
using musical_test::QmlTest;
using musical_test::ServedShow;
using musical_test::WaitFor;
using namespace std::chrono_literals;

// A clock the test moves by hand.
struct ManualClock {
    std::atomic<std::chrono::steady_clock::time_point> now{std::chrono::steady_clock::time_point{} + 1h};
    ShowDownloaderController::Clock Get() {
        return [this] { return now.load(); };
    }
    void Advance(std::chrono::milliseconds by) { now = now.load() + by; }
};

class ShowDownloader : public QmlTest {
protected:
    QObject* Find(ShowDownloaderController& controller, const char* name) {
        QObject* found = FindByName(controller.GetQmlObject(), QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    bool Visible(ShowDownloaderController& controller) {
        return controller.GetQmlObject()->property("visible").toBool();
    }
};

TEST_F(ShowDownloader, ReportsReachTheWindowAtMostOncePer100MsAndOnlyWithATotal) {
    ManualClock clock;
    ShowDownloaderController controller(Engine(), nullptr, clock.Get());
    QSignalSpy progress(&controller, &ShowDownloaderController::progressChanged);
    QSignalSpy overall(&controller, &ShowDownloaderController::totalProgressChanged);

    // (advance before the report, file, received, total, reaches the window)
    const struct {
        std::chrono::milliseconds advance;
        std::uint64_t received;
        std::uint64_t total;
        bool passes;
    } table[] = {
        {50ms, 10, 1000, false},   // within 100 ms of the window's creation
        {60ms, 20, 1000, true},    // 110 ms after creation
        {50ms, 30, 1000, false},   // 50 ms after the last that got through
        {60ms, 40, 0, false},      // no total: dropped, and the time of the last report stays
        {0ms, 50, 1000, true},     // 110 ms after the last that got through
    };
    int expected = 0;
    for (const auto& row : table) {
        clock.Advance(row.advance);
        controller.ReportFileProgress("song.mid", row.received, row.total);
        expected += row.passes ? 1 : 0;
        ASSERT_EQ(progress.count(), expected) << "received " << row.received;
    }
    EXPECT_EQ(progress.last().at(0).toDouble(), 50.0);
    // The size of the whole download was never announced: the overall bar does not move.
    EXPECT_EQ(overall.count(), 0);
}

TEST_F(ShowDownloader, TheOverallCountAddsOnlyEachFilesIncreaseIn64Bits) {
    ManualClock clock;
    ShowDownloaderController controller(Engine(), nullptr, clock.Get());
    QSignalSpy overall(&controller, &ShowDownloaderController::totalProgressChanged);
    const std::uint64_t gib = 1024ull * 1024 * 1024;
    controller.ReportTotalSize(static_cast<long>(6 * gib));

    const struct {
        const char* file;
        std::uint64_t received;
        double overall;
    } table[] = {
        {"a.mid", 100, 100},
        {"a.mid", 300, 300},            // the same file again: only its increase counts
        {"b.mid", 200, 500},
        {"a.mid", 250, 500},            // the file restarted: nothing more counts until it passes 300
        {"big.tar", 5 * gib, 500 + 5.0 * gib},  // beyond 32 bits
    };
    for (const auto& row : table) {
        clock.Advance(150ms);
        controller.ReportFileProgress(row.file, row.received, 5 * gib);
    }
    ASSERT_EQ(overall.count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(overall.at(i).at(0).toDouble(), table[i].overall) << i;
        EXPECT_EQ(overall.at(i).at(1).toDouble(), 6.0 * gib) << i;
    }
}

TEST_F(ShowDownloader, TheWindowShowsTheOverallSizeInWholeMegabytesOrKilobytes) {
    ManualClock clock;
    ShowDownloaderController controller(Engine(), nullptr, clock.Get());
    ASSERT_NE(controller.GetQmlObject(), nullptr);
    QObject* label = Find(controller, "sizeLabel");
    QObject* bar = Find(controller, "totalProgress");
    const std::uint64_t gib = 1024ull * 1024 * 1024;
    const struct {
        double received;
        double total;
        const char* text;
        double value;
    } table[] = {
        {1500000, 3000000, "1/2 MB", 0.5},
        {250000, 500000, "244/488 kB", 0.5},
        {10, 100, "0/1 kB", 0.1},
        {1024 * 1024, 1024 * 1024, "1024/1024 kB", 1.0},
        {3.0 * gib, 5.0 * gib, "3072/5120 MB", 0.6},
    };
    for (const auto& row : table) {
        emit controller.totalProgressChanged(row.received, row.total);
        EXPECT_EQ(label->property("text").toString().toStdString(), row.text);
        EXPECT_DOUBLE_EQ(bar->property("value").toDouble(), row.value) << row.text;
    }
}

class ShowDownloadRun : public ShowDownloader {
protected:
    // Waits for the controller's end of download and gives the record it carried.
    static ShowRecord Finished(QSignalSpy& spy, std::chrono::milliseconds timeout = 20s) {
        EXPECT_TRUE(WaitFor([&spy] { return spy.count() > 0; }, timeout)) << "no end of download";
        return spy.isEmpty() ? ShowRecord{} : spy.first().at(0).value<ShowRecord>();
    }
};

TEST_F(ShowDownloadRun, MissingAndOutdatedFilesLandByteForByteAndTheDownloadFinishes) {
    ServedShow show;
    show.Add("SHOW", {1, 0}, "show.json", R"({"format": 1, "name": "New Name", "customer": "Quay Players"})");
    show.Add("MIDI", {1, 0}, "songs/one.mid", nettest::RandomBytes(400000, 1));
    show.Add("LOG", {3, 1}, "quay-3.1.logdata", nettest::RandomBytes(70000, 2));
    nettest::ShowServer server;
    show.Serve(server.Routes());
    server.Start();
    nettest::TempFolder folder;
    folder.Write("songs/one.mid", "an outdated song");

    ShowDownloaderController controller(Engine(), nullptr);
    QSignalSpy finished(&controller, &ShowDownloaderController::DownloadFinishedSignal);
    QSignalSpy errors(&controller, &ShowDownloaderController::downloadError);
    controller.Download(folder.Path(), musical_test::QuayRecord(server.Address(), folder.String()),
                        std::make_unique<DownloadPlan>(show.plan));
    const ShowRecord record = Finished(finished);

    EXPECT_EQ(errors.count(), 0);
    EXPECT_EQ(record.name, "New Name");
    EXPECT_EQ(record.id, folder.String());
    for (const auto& file : show.plan.files) {
        EXPECT_EQ(folder.Read(file.name), show.contentById.at(file.id)) << file.name;
    }
    EXPECT_EQ(controller.GetStatus(), "Download complete.");
    ASSERT_TRUE(WaitFor([&] { return Visible(controller); }));
    EXPECT_TRUE(WaitFor([&] {
        return Find(controller, "status")->property("text").toString() == "Status: Download complete.";
    }));
}

TEST_F(ShowDownloadRun, CancelHidesTheWindowAtOnceRemovesThePartialFileAndStillFinishes) {
    const std::string big = nettest::RandomBytes(2 * 1024 * 1024, 4);
    ServedShow show;
    show.Add("MIDI", {1, 0}, "first.mid", nettest::RandomBytes(1000, 3));
    show.Add("MIDI", {1, 0}, "big.mid", big);
    nettest::ShowServer server;
    server.Routes().Get("/api/shows/quay/files/id0", [&show](const httplib::Request&, httplib::Response& res) {
        res.set_content(show.contentById.at("id0"), "application/octet-stream");
    });
    // big.mid: the first block, then nothing until the test releases the server.
    server.Routes().Get("/api/shows/quay/files/id1", [&server, &big](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(big.size(), "application/octet-stream",
                                 [&server, &big](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                     if (offset > 0) server.Hold();
                                     return sink.write(big.data() + offset, std::min<std::size_t>(length, 64 * 1024));
                                 });
    });
    server.Start();
    nettest::TempFolder folder;
    folder.Write("big.mid", "the earlier version");

    ShowDownloaderController controller(Engine(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return Visible(controller); }));
    QSignalSpy finished(&controller, &ShowDownloaderController::DownloadFinishedSignal);
    QSignalSpy cancelled(&controller, &ShowDownloaderController::Cancelled);
    const ShowRecord started = musical_test::QuayRecord(server.Address(), folder.String());
    controller.Download(folder.Path(), started, std::make_unique<DownloadPlan>(show.plan));
    ASSERT_TRUE(WaitFor([&] { return folder.Exists("big.mid.part"); }, 20s)) << "big.mid never started";

    QMetaObject::invokeMethod(controller.GetQmlObject(), "cancel");
    QCoreApplication::processEvents();
    EXPECT_FALSE(Visible(controller));
    server.Release();

    const ShowRecord record = Finished(finished);
    EXPECT_EQ(record.id, started.id) << "the show opens as it is on disk";
    EXPECT_GE(cancelled.count(), 1);
    EXPECT_EQ(folder.Files(), (std::vector<std::string>{"big.mid", "first.mid"}));
    EXPECT_EQ(folder.Read("big.mid"), "the earlier version");
    EXPECT_EQ(folder.Read("first.mid"), show.contentById.at("id0"));
}

TEST_F(ShowDownloadRun, ServerFailuresEndInTheErrorDialogAndFinishOnceAcknowledged) {
    const std::string song = nettest::RandomBytes(50000, 7);
    const std::vector<musical_test::ServerFailure> table = musical_test::ServerFailures("/api/shows/quay/files/f1");
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        nettest::ShowServer server;
        row.setUp(server);
        server.Start();
        const std::string address = row.refuse ? nettest::RefusingAddress() : server.Address();
        nettest::TempFolder folder;
        DownloadPlan plan{{{"MIDI", {1, 0}, "song.mid", song.size(), musical_test::Crc(song), "f1"}}};

        ShowDownloaderController controller(Engine(), nullptr);
        QSignalSpy finished(&controller, &ShowDownloaderController::DownloadFinishedSignal);
        QSignalSpy errors(&controller, &ShowDownloaderController::downloadError);
        const auto start = std::chrono::steady_clock::now();
        controller.Download(folder.Path(), musical_test::QuayRecord(address, folder.String()),
                            std::make_unique<DownloadPlan>(plan));
        QObject* dialog = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            dialog = FindByName(controller.GetQmlObject(), "errorDialog");
            return dialog != nullptr && dialog->property("visible").toBool();
        }, 20s));
        // Within the connect and read timeouts (2 s and 0.5 s here), with room for a loaded machine.
        EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
        ASSERT_EQ(errors.count(), 1);
        EXPECT_FALSE(errors.first().at(0).toString().isEmpty());
        EXPECT_EQ(dialog->property("text").toString(), errors.first().at(0).toString());
        EXPECT_EQ(dialog->property("title").toString(), "Error");
        EXPECT_TRUE(WaitFor([&] { return !Visible(controller); }));
        EXPECT_EQ(controller.GetStatus(), "Error!");
        EXPECT_EQ(finished.count(), 0) << "the download ends only when the user acknowledges the error";

        QMetaObject::invokeMethod(dialog, "accept");
        ASSERT_EQ(finished.count(), 1);
        EXPECT_EQ(finished.first().at(0).value<ShowRecord>().id, folder.String());
        EXPECT_TRUE(folder.Files().empty());
        server.Release();
        musical_test::TakeSizeHintWarnings();
    }
}

TEST_F(ShowDownloadRun, AnErrorThatArrivesWhileTheWindowIsDestroyedDoesNotHoldEitherThread) {
    nettest::ShowServer server;
    server.Routes().Get("/api/shows/quay/files/f1", [&server](const httplib::Request&, httplib::Response& res) {
        server.Hold();
        res.status = 401;
    });
    server.Start();
    nettest::TempFolder folder;
    DownloadPlan plan{{{"MIDI", {1, 0}, "song.mid", 10, 0, "f1"}}};

    // Fails the run instead of hanging it when the destruction deadlocks.
    std::mutex mutex;
    std::condition_variable done;
    bool destroyed = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (!done.wait_for(lock, 60s, [&] { return destroyed; })) {
            std::cerr << "The download window's destruction hangs" << std::endl;
            std::_Exit(1);
        }
    });
    {
        ShowDownloaderController controller(Engine(), nullptr);
        // Told on the worker once the error has been handed to the window (this connection comes
        // after the window's).
        bool reported = false;
        QObject::connect(&controller, &ShowDownloaderController::downloadError, &controller, [&] {
            std::lock_guard lock(mutex);
            reported = true;
            done.notify_all();
        }, Qt::DirectConnection);
        controller.Download(folder.Path(), musical_test::QuayRecord(server.Address(), folder.String()),
                            std::make_unique<DownloadPlan>(plan));
        EXPECT_TRUE(WaitFor([&] { return !server.Requests().empty(); }, 20s));
        server.Release();
        // The GUI thread does not take events meanwhile: the worker must not wait for it.
        std::unique_lock lock(mutex);
        EXPECT_TRUE(done.wait_for(lock, 20s, [&] { return reported; })) << "the worker waits for the GUI thread";
    }
    {
        std::lock_guard lock(mutex);
        destroyed = true;
    }
    done.notify_all();
    watchdog.join();
    musical_test::RunDeferredDeletes();
}

}  // namespace
