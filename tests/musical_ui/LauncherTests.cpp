// The Launcher's roads with a fake main window: the show-file check against the in-process show
// server (nothing to fetch, a download, server failures), the notice after a download, a change log of
// a newer format, the store window when no show is current, and the close road with unsaved edits.

#include "Launcher.h"
#include "PlayerFactory.h"
#include "QmlTest.h"
#include "ScopedVariable.h"
#include "ShowFileCheck.h"
#include "LauncherTestSupport.h"
#include "ShowStore.h"
#include "dialog_controller.h"
#include "input_dialog_controller.h"
#include "show_downloader_controller.h"
#include "show_store_window_controller.h"

#include <brix_core/LogDataFile.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <optional>

namespace {

using brix::networking::DownloadPlan;
using brix::networking::ShowRecord;
using brix::qt::Launcher;
using brix::test::ScopedVariable;
using musical_test::QmlTest;
using musical_test::ServedShow;
using musical_test::WaitFor;
using namespace std::chrono_literals;

brix::PlayerFactory::Product TestProduct() {
    brix::PlayerFactory::Product product;
    product.displayName = "Launcher Test";
    product.shortName = "launcher-test";
    product.applicationId = 42;
    return product;
}

class TestFactory : public brix::PlayerFactory {
public:
    TestFactory() : PlayerFactory(TestProduct()) {}
    std::unique_ptr<Interface> CreatePlayer(const QString&, std::shared_ptr<brix::PlayerOscCallback>) override {
        throw std::logic_error("the fake main window makes no engine");
    }
};

}  // namespace

// The main window as the Launcher sees it.
class FakeMainWindow : public QObject, public brix::qt::LaunchedWindow {
    Q_OBJECT
public:
    QObject* Controller() override { return this; }
    bool HasUnsavedEdits() const override { return unsaved; }
    void ShowNotice(const QString& title, const QString& text) override { notices.append({title, text}); }

    bool unsaved = false;
    int saves = 0;
    QList<QPair<QString, QString>> notices;

signals:
    void Closing();
    void SaveCompleted();

public slots:
    void onSaveButton() { ++saves; }
};

namespace {

class LauncherTest : public QmlTest {
protected:
    void SetUp() override {
        QmlTest::SetUp();
        ASSERT_TRUE(data_.isValid());
        xdg_.emplace("XDG_DATA_HOME", data_.path().toUtf8().constData());
    }
    void TearDown() override {
        launcher_.reset();
        musical_test::RunDeferredDeletes();
        xdg_.reset();
        QmlTest::TearDown();
    }

    // Starts the Launcher with the show folder named by the variable (none: the store's choice).
    Launcher& Start(const std::optional<std::string>& showFolder) {
        const ScopedVariable named(brix::qt::kShowFolderVariable, showFolder ? showFolder->c_str() : nullptr);
        launcher_ = std::make_unique<Launcher>(
            Engine(), std::make_unique<TestFactory>(),
            [this](QQmlEngine*, brix::PlayerFactory& factory, const ShowRecord& show) -> std::unique_ptr<brix::qt::LaunchedWindow> {
                EXPECT_EQ(factory.GetApplicationId(), 42);
                ++made_;
                madeFor_ = show;
                if (versionError_) {
                    throw CL::ChangeLogVersionError("quay-9.0.logdata: change-log format 9 is newer than format 1");
                }
                auto window = std::make_unique<FakeMainWindow>();
                main_ = window.get();
                return window;
            });
        return *launcher_;
    }

    // Writes show.json (with the server's member when given) into the folder.
    static void WriteShow(const nettest::TempFolder& folder, const std::string& serverMember) {
        folder.Write("show.json", R"({"format": 1, "name": "Quay", "customer": "Quay Players")" + serverMember + "}");
    }

    // Runs the event loop around the action: 0 when the action ends it with status 0, -1 when it is
    // still running after `wait`.
    static int LoopStatusAfter(const std::function<void()>& action, std::chrono::milliseconds wait) {
        QTimer::singleShot(0, action);
        QTimer::singleShot(wait, [] { QCoreApplication::exit(-1); });
        return QCoreApplication::exec();
    }

    QTemporaryDir data_;
    std::optional<ScopedVariable> xdg_;
    std::unique_ptr<Launcher> launcher_;
    int made_ = 0;
    ShowRecord madeFor_;
    FakeMainWindow* main_ = nullptr;
    bool versionError_ = false;
};

TEST_F(LauncherTest, TheShowFileCheckOpensAtOnceOrDownloadsWhatIsMissing) {
    const std::string song = nettest::RandomBytes(300000, 1);
    const std::string log = nettest::RandomBytes(40000, 2);
    const char* const bothUpdated =
        "The event log has been updated to version 3.1 and the show files have been repaired or updated to the latest "
        "version.";
    const struct {
        const char* what;
        bool server;
        bool filesPresent;
        bool download;
    } table[] = {
        {"no server", false, false, false},
        {"current files", true, true, false},
        {"missing and outdated files", true, false, true},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        ServedShow show;
        show.Add("MIDI", {1, 0}, "songs/one.mid", song);
        show.Add("LOG", {3, 1}, "quay-3.1.logdata", log);
        nettest::ShowServer server;
        show.Serve(server.Routes());
        server.Start();
        nettest::TempFolder folder;
        WriteShow(folder, row.server ? musical_test::ServerMember(server.Address()) : "");
        if (row.filesPresent) {
            folder.Write("songs/one.mid", song);
            folder.Write("quay-3.1.logdata", log);
        } else {
            folder.Write("songs/one.mid", "outdated");
        }
        made_ = 0;
        main_ = nullptr;

        Launcher& launcher = Start(folder.String());
        EXPECT_EQ(launcher.Downloader() != nullptr, row.download);
        EXPECT_EQ(made_, row.download ? 0 : 1);
        ASSERT_TRUE(WaitFor([this] { return made_ == 1; }, 20s));
        EXPECT_EQ(madeFor_.folder, folder.String());
        EXPECT_EQ(madeFor_.name, "Quay");
        ASSERT_NE(main_, nullptr);
        if (row.download) {
            EXPECT_EQ(folder.Read("songs/one.mid"), song);
            EXPECT_EQ(folder.Read("quay-3.1.logdata"), log);
            EXPECT_EQ(launcher.Notice(), bothUpdated);
            ASSERT_EQ(main_->notices.size(), 1);
            EXPECT_EQ(main_->notices[0].first, "Files Were Updated");
            EXPECT_EQ(main_->notices[0].second, bothUpdated);
            EXPECT_EQ(launcher.Downloader(), nullptr);
        } else {
            EXPECT_TRUE(main_->notices.isEmpty());
        }
        // The main window is made once only, however often the road asks for it.
        launcher.LaunchVsMainController();
        EXPECT_EQ(made_, 1);
        launcher_.reset();
        musical_test::RunDeferredDeletes();
    }
}

TEST_F(LauncherTest, ServerFailuresAreReportedAndTheShowOpensWithoutADownload) {
    const std::vector<musical_test::ServerFailure> table = musical_test::ServerFailures("/api/shows/quay/files");
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        nettest::ShowServer server;
        row.setUp(server);
        server.Start();
        nettest::TempFolder folder;
        WriteShow(folder, musical_test::ServerMember(row.refuse ? nettest::RefusingAddress() : server.Address()));
        made_ = 0;

        testing::internal::CaptureStderr();
        const auto start = std::chrono::steady_clock::now();
        Launcher& launcher = Start(folder.String());
        const auto took = std::chrono::steady_clock::now() - start;
        const std::string said = testing::internal::GetCapturedStderr();

        // Within the show.json's default timeouts (2 s to connect, 4 s to read), with room to spare.
        EXPECT_LT(took, 15s);
        EXPECT_NE(said.find("Getting file list failed: "), std::string::npos) << said;
        EXPECT_EQ(launcher.Downloader(), nullptr);
        EXPECT_EQ(made_, 1);
        server.Release();
        launcher_.reset();
        musical_test::RunDeferredDeletes();
    }
}

TEST_F(LauncherTest, TheNoticeNamesWhatThePlanUpdated) {
    using File = brix::networking::ShowFile;
    const struct {
        std::vector<File> files;
        const char* notice;
    } table[] = {
        {{{"LOG", {3, 1}, "quay-3.1.logdata", 1, 0, "a"}}, "The event log has been updated to version 3.1."},
        {{{"LOG", {2, 0}, "a", 1, 0, "a"}, {"MIDI", {1, 0}, "b", 1, 0, "b"}, {"LOG", {12, 30}, "c", 1, 0, "c"}},
         "The event log has been updated to version 12.30 and the show files have been repaired or updated to the "
         "latest version."},
        {{{"MIDI", {1, 0}, "b", 1, 0, "b"}}, "The show files have been repaired or updated to the latest version."},
        {{}, ""},
    };
    for (const auto& row : table) {
        EXPECT_EQ(brix::UpdateNotice(DownloadPlan{row.files}).toStdString(), row.notice);
    }
}

TEST_F(LauncherTest, AChangeLogOfANewerFormatLeavesOnlyTheLoadingEditsFailedDialog) {
    nettest::TempFolder folder;
    WriteShow(folder, "");
    versionError_ = true;
    Launcher& launcher = Start(folder.String());

    EXPECT_EQ(made_, 1);
    EXPECT_EQ(launcher.MainWindow(), nullptr);
    ASSERT_NE(launcher.ErrorDialog(), nullptr);
    QObject* dialog = launcher.ErrorDialog()->GetQmlObject();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->property("title").toString(), "Loading Edits Failed");
    EXPECT_EQ(dialog->property("text").toString().toStdString(),
              "Loading show edits failed with the following error: quay-9.0.logdata: change-log format 9 is newer "
              "than format 1. \n\nBecause the error is related to log versioning, you may be able to fix this issue "
              "by downloading the latest version of the application from the BRIX website.");
    EXPECT_EQ(dialog->property("type").toString(), "error");
}

TEST_F(LauncherTest, ClosingAsksAboutUnsavedEditsAndEndsWithStatusZero) {
    enum class Answer { None, SaveAndClose, CloseWithoutSaving, Cancel };
    const struct {
        const char* what;
        bool unsaved;
        Answer answer;
        bool closeRequest;
        bool endsBeforeSave;
        int saves;
        bool endsAfterSave;
    } table[] = {
        {"nothing unsaved", false, Answer::None, true, true, 0, true},
        {"save and close", true, Answer::SaveAndClose, true, false, 1, true},
        {"close without saving", true, Answer::CloseWithoutSaving, true, true, 0, true},
        {"cancel", true, Answer::Cancel, true, false, 0, false},
        {"a save without a close request", true, Answer::None, false, false, 0, false},
    };
    nettest::TempFolder folder;
    WriteShow(folder, "");
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        Launcher& launcher = Start(folder.String());
        ASSERT_NE(main_, nullptr);
        main_->unsaved = row.unsaved;
        FakeMainWindow* main = main_;

        const int first = LoopStatusAfter([&] {
            if (row.closeRequest) emit main->Closing();
            if (launcher.SavePromptDialog() == nullptr) return;
            QObject* prompt = launcher.SavePromptDialog()->GetQmlObject();
            switch (row.answer) {
            case Answer::SaveAndClose: QMetaObject::invokeMethod(prompt, "accepted"); break;
            case Answer::CloseWithoutSaving: QMetaObject::invokeMethod(prompt, "cancelled"); break;
            case Answer::Cancel: QMetaObject::invokeMethod(prompt, "negated"); break;
            case Answer::None: break;
            }
        }, row.endsBeforeSave ? 20s : 300ms);
        EXPECT_EQ(first, row.endsBeforeSave ? 0 : -1);
        EXPECT_EQ(launcher.SavePromptDialog() != nullptr, row.unsaved && row.closeRequest);
        EXPECT_EQ(main->saves, row.saves);
        if (!row.endsBeforeSave) {
            const int second = LoopStatusAfter([main] { emit main->SaveCompleted(); }, row.endsAfterSave ? 20s : 300ms);
            EXPECT_EQ(second, row.endsAfterSave ? 0 : -1);
        }
        launcher_.reset();
        musical_test::RunDeferredDeletes();
        musical_test::TakeSizeHintWarnings();
    }
}

TEST_F(LauncherTest, TheUnsavedChangesDialogOffersSaveCloseAndCancel) {
    nettest::TempFolder folder;
    WriteShow(folder, "");
    Launcher& launcher = Start(folder.String());
    ASSERT_NE(main_, nullptr);
    main_->unsaved = true;
    emit main_->Closing();
    ASSERT_NE(launcher.SavePromptDialog(), nullptr);
    QObject* prompt = launcher.SavePromptDialog()->GetQmlObject();
    ASSERT_NE(prompt, nullptr);
    const struct {
        const char* property;
        QVariant value;
    } table[] = {
        {"title", "Unsaved Changes"},
        {"text", "You have unsaved changes.  If you quit now, they will be lost forever."},
        {"type", "warning"},
        {"acceptButtonText", "Save and Close"},
        {"cancelButtonText", "Close Without Saving"},
        {"negateButtonText", "Cancel"},
        {"showNegateButton", true},
        {"showInputField", false},
        {"escToNegate", true},
        {"visible", true},
    };
    for (const auto& row : table) {
        EXPECT_EQ(prompt->property(row.property), row.value) << row.property;
    }    musical_test::TakeSizeHintWarnings();
}

TEST_F(LauncherTest, ClosingTheDownloadWindowStopsTheDownloadAndOpensTheShowOnce) {
    ServedShow show;
    show.Add("MIDI", {1, 0}, "big.mid", nettest::RandomBytes(1024 * 1024, 9));
    nettest::ShowServer server;
    // big.mid: the first block, then nothing until the test releases the server. Added before the
    // served show's routes, so it answers first.
    server.Routes().Get("/api/shows/quay/files/id0", [&server, &show](const httplib::Request&, httplib::Response& res) {
        const std::string& bytes = show.contentById.at("id0");
        res.set_content_provider(bytes.size(), "application/octet-stream",
                                 [&server, &bytes](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                     if (offset > 0) server.Hold();
                                     return sink.write(bytes.data() + offset, std::min<std::size_t>(length, 64 * 1024));
                                 });
    });
    show.Serve(server.Routes());
    server.Start();
    nettest::TempFolder folder;
    WriteShow(folder, musical_test::ServerMember(server.Address()));

    Launcher& launcher = Start(folder.String());
    ASSERT_NE(launcher.Downloader(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return folder.Exists("big.mid.part"); }, 20s));
    QMetaObject::invokeMethod(launcher.Downloader()->GetQmlObject(), "close");
    EXPECT_EQ(made_, 1);
    server.Release();
    // The cancelled worker still reports its end (queued): no second main window.
    musical_test::RunDeferredDeletes();
    WaitFor([] { return false; }, 300ms);
    EXPECT_EQ(made_, 1);
    EXPECT_EQ(launcher.Downloader(), nullptr);
    EXPECT_FALSE(folder.Exists("big.mid"));
    EXPECT_FALSE(folder.Exists("big.mid.part"));
}

TEST_F(LauncherTest, WithoutACurrentShowTheStoreWindowOpensTheChosenShow) {
    nettest::TempFolder gone;
    WriteShow(gone, "");
    Start(gone.String());
    launcher_.reset();
    musical_test::RunDeferredDeletes();
    std::filesystem::remove_all(gone.Path());
    made_ = 0;

    Launcher& launcher = Start(std::nullopt);
    EXPECT_EQ(made_, 0);
    ASSERT_NE(launcher.StoreWindow(), nullptr);
    QObject* window = launcher.StoreWindow()->GetQmlObject();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->property("visible").toBool());
    EXPECT_EQ(window->property("title").toString(), "Choose a Show");
    // The demo (made current on the first start) and the show that went away.
    const QVariantList shows = window->property("shows").toList();
    ASSERT_EQ(shows.size(), 2);
    EXPECT_EQ(shows[0].toMap().value("name").toString(), "Lanterns on the Quay");
    EXPECT_EQ(shows[1].toMap().value("name").toString(), "Quay");

    // A show whose folder is gone cannot be opened: the error is shown and the list stays.
    QMetaObject::invokeMethod(window, "open", Q_ARG(int, 1));
    EXPECT_EQ(made_, 0);
    ASSERT_NE(launcher.StoreWindow()->ErrorDialog(), nullptr);
    EXPECT_TRUE(window->property("visible").toBool());

    QMetaObject::invokeMethod(window, "open", Q_ARG(int, 0));
    EXPECT_EQ(made_, 1);
    EXPECT_EQ(madeFor_.name, "Lanterns on the Quay");
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(madeFor_.folder) / "show.json"));
    EXPECT_EQ(launcher.StoreWindow(), nullptr);
}

TEST_F(LauncherTest, ClosingTheStoreWindowEndsTheProgramWithStatusZero) {
    nettest::TempFolder gone;
    WriteShow(gone, "");
    Start(gone.String());
    launcher_.reset();
    musical_test::RunDeferredDeletes();
    std::filesystem::remove_all(gone.Path());
    made_ = 0;

    Launcher& launcher = Start(std::nullopt);
    ASSERT_NE(launcher.StoreWindow(), nullptr);
    QObject* window = launcher.StoreWindow()->GetQmlObject();
    EXPECT_EQ(LoopStatusAfter([window] { QMetaObject::invokeMethod(window, "close"); }, 20s), 0);
    EXPECT_EQ(made_, 0);
}

}  // namespace

#include "LauncherTests.moc"
