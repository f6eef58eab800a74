// Saving, sharing, fetching and loading change-log versions with the demo show's engine against the
// in-process show server, each success and failure with the one message it ends in; the change-log
// manager's lists and window; the export's messages.

#include "DemoShow.h"
#include "FakeInterface.h"
#include "QmlTest.h"
#include "ShowServer.h"

#include "changelog_files_controller.h"
#include "changelog_manager_controller.h"

#include <brix_core/Editor.h>
#include <brix_core/LogDataFile.h>

#include <QDateTime>
#include <QDir>
#include <QMetaObject>
#include <QQuickWindow>
#include <QUrl>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using brix::networking::ServerRoute;
using brix::networking::ServerSettings;
using brix::qt::ChangelogFilesController;
using brix::qt::WindowOf;
using changelog_test::DemoShow;
using nettest::ShowServer;
using testing::HasSubstr;
using testing::StartsWith;

constexpr auto kJson = "application/json";
const std::string kShowRoute = "/api/shows/Quay";
const std::string kPortalRoute = "/portal/shows/Quay";

struct Message {
    std::string kind;  // "information" or "error"
    std::string title;
    std::string text;
};

// A change-log file's bytes of a version, with one marker so that loading it shows.
std::string LogBytes(std::uint16_t major, std::uint16_t minor)
{
    CL::ChangeLog log;
    log.SetVersion({major, minor});
    CL::SongLog song("1", "Overture");
    song.AddMarker(CL::Marker(0, "Downloaded", "E1"));
    log.AddSongLog(song);
    return CL::WriteLogData(log);
}

std::string FileName(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

class ChangelogFilesTest : public musical_test::QmlTest {
protected:
    void SetUp() override
    {
        QmlTest::SetUp();
        files = std::make_unique<ChangelogFilesController>(
            Engine(), demo.showManager, [this] { return Record(); }, [] { return 53535; }, "Tarn|Wick");
        QObject::connect(files.get(), &ChangelogFilesController::information, files.get(),
                         [this](std::string text, std::string title) { messages.push_back({"information", title, text}); });
        QObject::connect(files.get(), &ChangelogFilesController::error, files.get(),
                         [this](std::string text, std::string title) { messages.push_back({"error", title, text}); });
        for (auto signal : {&ChangelogFilesController::ChangeLogSaved, &ChangelogFilesController::ChangeLogShared,
                            &ChangelogFilesController::SaveCompleted, &ChangelogFilesController::SignalAttaccaUpdate}) {
            QObject::connect(files.get(), signal, files.get(), [this, signal] { emitted.push_back(signal); });
        }
    }
    void TearDown() override
    {
        files.reset();
        musical_test::RunDeferredDeletes();
        QmlTest::TearDown();
    }

    std::optional<brix::networking::ShowRecord> Record() const
    {
        brix::networking::ShowRecord record;
        record.id = "quay";
        record.name = "Lanterns on the Quay";
        record.customer = "Brix Demo Company";
        record.folder = demo.Folder().string();
        record.server = server;
        return record;
    }
    void UseServer(const std::string& address, ServerRoute route = ServerRoute::Request)
    {
        server = ServerSettings{address, route, {"Quay", "token"}, {std::chrono::milliseconds(1000), std::chrono::milliseconds(2000)}};
    }
    bool Emitted(void (ChangelogFilesController::*signal)()) const
    {
        return std::find(emitted.begin(), emitted.end(), signal) != emitted.end();
    }
    // The one message the action ended in.
    Message OnlyMessage() const
    {
        EXPECT_EQ(messages.size(), 1u);
        return messages.empty() ? Message{} : messages.back();
    }
    std::string LoadedFile() const { return FileName(demo.engine->GetChangelogFilename()); }
    // The portal functions read the server from the show folder's "show.json".
    void WritePortalServer(const std::string& address) const
    {
        const std::filesystem::path file = demo.Folder() / "show.json";
        std::ifstream in(file);
        std::string json{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const std::size_t previous = json.find("\"server\"");
        if (previous != std::string::npos)
            json.erase(1, json.find("}},", previous) + 3 - 1);
        json.insert(1, R"("server": {"address": ")" + address +
                           R"(", "route": "portal", "credentials": {"show": "Quay", "token": "token"}},)");
        std::ofstream(file, std::ios::trunc) << json;
    }

    DemoShow demo;
    std::optional<ServerSettings> server;
    std::unique_ptr<ChangelogFilesController> files;
    std::vector<Message> messages;
    std::vector<void (ChangelogFilesController::*)()> emitted;
};

TEST_F(ChangelogFilesTest, ASaveWritesTheNextLocalVersionAndNeverOverwritesAnOlderOne)
{
    struct Case {
        std::vector<std::string> extraFiles;
        std::string written;
    };
    const std::vector<Case> cases{
        {{}, "demo-1.1.logdata"},
        {{"demo-1.1.logdata"}, "demo-1.2.logdata"},
        {{"demo-1.255.logdata"}, "demo-2.0.logdata"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        for (const std::string& name : c.extraFiles)
            std::filesystem::copy_file(demo.Folder() / "lanterns_on_the_quay-1.0.logdata", demo.Folder() / name,
                                       std::filesystem::copy_options::overwrite_existing);
        const auto before = std::filesystem::last_write_time(demo.Folder() / "lanterns_on_the_quay-1.0.logdata");
        messages.clear();
        emitted.clear();

        files->onSaveButton();

        EXPECT_TRUE(std::filesystem::exists(demo.Folder() / c.written));
        EXPECT_EQ(LoadedFile(), c.written);
        EXPECT_EQ(std::filesystem::last_write_time(demo.Folder() / "lanterns_on_the_quay-1.0.logdata"), before);
        const Message message = OnlyMessage();
        EXPECT_EQ(message.title, "Save Complete");
        EXPECT_THAT(message.text, StartsWith("These changes are only saved locally"));
        EXPECT_TRUE(Emitted(&ChangelogFilesController::ChangeLogSaved));
        EXPECT_TRUE(Emitted(&ChangelogFilesController::SaveCompleted));
        std::filesystem::remove(demo.Folder() / c.written);
    }
}

TEST_F(ChangelogFilesTest, SaveAndShareSavesTheNextMajorAfterTheServersAndUploadsIt)
{
    struct Case {
        std::string logs;
        std::string version;
    };
    const std::vector<Case> cases{
        {R"({"logs": []})", "1.0"},
        {R"({"logs": [{"id": "a", "major": 3, "minor": 2, "modified": 1700000000},
                      {"id": "b", "major": 1, "minor": 0, "modified": 1600000000}]})",
         "4.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        ShowServer show;
        show.Routes().Get(kShowRoute + "/logs", [&](const httplib::Request&, httplib::Response& res) {
            res.set_content(c.logs, kJson);
        });
        show.Routes().Post(kShowRoute + "/logs/" + c.version, [&](const httplib::Request& req, httplib::Response& res) {
            show.KeepBody(req.body);
            res.status = 201;
        });
        show.Start();
        UseServer(show.Address());
        messages.clear();
        emitted.clear();

        files->onSaveAndUploadButton();

        const std::string written = "demo-" + c.version + ".logdata";
        EXPECT_EQ(LoadedFile(), written);
        ASSERT_EQ(show.Bodies().size(), 1u);
        EXPECT_EQ(show.Bodies().front(), CL::WriteLogData(CL::ReadLogDataFile(demo.Folder() / written)))
            << "the saved file's bytes are uploaded";
        const Message message = OnlyMessage();
        EXPECT_EQ(message.kind, "information");
        EXPECT_EQ(message.title, "Share Complete");
        EXPECT_EQ(message.text, "Your edits are now available in Tarn|Wick and Vell|Stroud.");
        EXPECT_TRUE(Emitted(&ChangelogFilesController::ChangeLogShared));
    }
}

// Every failure of a server request, each ending in its own error message.
struct ServerFailure {
    const char* name;
    int status;  // of the failing route; 0: the server refuses connections
    const char* title;
    const char* text;  // the message starts with it
};

TEST_F(ChangelogFilesTest, AFailedShareSaysSoAndNeverCompletes)
{
    const std::vector<ServerFailure> logsFail{
        {"logs unauthorised", 401, "Server Error on Save", "Failed to get current log on server. Check internet connectivity?"},
        {"logs bad request", 400, "Server Error on Save", "Failed to get current log on server. Check internet connectivity?"},
        {"server refuses", 0, "Server Error on Save", "Failed to get current log on server. Check internet connectivity?"},
    };
    const std::vector<ServerFailure> uploadFail{
        {"upload bad request", 400, "Save and Share Failed", "The edits failed to upload. Upload returned an error."},
        {"upload unauthorised", 401, "Save and Share Failed", "The edits failed to upload. Upload returned an error."},
    };
    const auto check = [&](const ServerFailure& failure) {
        SCOPED_TRACE(failure.name);
        const Message message = OnlyMessage();
        EXPECT_EQ(message.kind, "error");
        EXPECT_EQ(message.title, failure.title);
        EXPECT_THAT(message.text, StartsWith(failure.text));
        EXPECT_FALSE(Emitted(&ChangelogFilesController::ChangeLogShared));
        messages.clear();
        emitted.clear();
    };
    for (const ServerFailure& failure : logsFail) {
        ShowServer show;
        show.Routes().Get(kShowRoute + "/logs", [&](const httplib::Request&, httplib::Response& res) {
            res.status = failure.status;
        });
        show.Start();
        UseServer(failure.status == 0 ? nettest::RefusingAddress() : show.Address());
        files->onSaveAndUploadButton();
        EXPECT_EQ(LoadedFile(), "lanterns_on_the_quay-1.0.logdata") << "nothing saved";
        check(failure);
    }
    for (const ServerFailure& failure : uploadFail) {
        ShowServer show;
        show.Routes().Get(kShowRoute + "/logs", [&](const httplib::Request&, httplib::Response& res) {
            res.set_content(R"({"logs": []})", kJson);
        });
        show.Routes().Post(kShowRoute + "/logs/1.0", [&](const httplib::Request&, httplib::Response& res) {
            res.status = failure.status;
        });
        show.Start();
        UseServer(show.Address());
        files->onSaveAndUploadButton();
        check(failure);
    }
}

TEST_F(ChangelogFilesTest, ThePortalShareSendsTheLoadedFileAndReportsEitherWay)
{
    struct Case {
        int status;
        const char* title;
    };
    for (const Case& c : {Case{200, "Share Complete"}, Case{401, "Save and Share Failed"}, Case{400, "Save and Share Failed"}}) {
        SCOPED_TRACE(c.status);
        ShowServer show;
        show.Routes().Post(kPortalRoute + "/share", [&](const httplib::Request& req, httplib::Response& res) {
            show.KeepBody(req.get_param_value("name"));
            res.status = c.status;
        });
        show.Start();
        UseServer(show.Address(), ServerRoute::Portal);
        WritePortalServer(show.Address());
        messages.clear();
        emitted.clear();

        files->onSaveAndUploadButton();

        const Message message = OnlyMessage();
        EXPECT_EQ(message.title, c.title) << message.text;
        EXPECT_EQ(Emitted(&ChangelogFilesController::ChangeLogShared), c.status == 200);
        EXPECT_EQ(show.Bodies(), std::vector<std::string>{"lanterns_on_the_quay-1.0.logdata"});
    }
}

TEST_F(ChangelogFilesTest, ThePortalsNewestVersionIsFetchedOnlyWhenNewer)
{
    struct Case {
        const char* name;
        std::uint16_t major, minor;
        int logsStatus;
        std::vector<std::string> messages;  // title: text
        std::string loaded;
    };
    const std::vector<Case> cases{
        {"the same as the local one", 1, 0, 200, {}, "lanterns_on_the_quay-1.0.logdata"},
        {"list refused", 2, 1, 401, {"Portal Log Download Error: Unable to check or download portal changelog. "},
         "lanterns_on_the_quay-1.0.logdata"},
        {"newer", 2, 1, 200, {"Files Were Updated: The event log has been updated to version 2.1"}, "quay-2.1.logdata"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShowServer show;
        const std::string version = std::to_string(c.major) + "." + std::to_string(c.minor);
        show.Routes().Get(kPortalRoute + "/logs", [&](const httplib::Request&, httplib::Response& res) {
            res.set_content(R"({"logs": [{"fileUuid": "u0", "major": 0, "minor": 9, "modified": 1},
                                         {"fileUuid": "u1", "major": )" + std::to_string(c.major) +
                                R"(, "minor": )" + std::to_string(c.minor) + R"(, "modified": 2}]})",
                            kJson);
            res.status = c.logsStatus;
        });
        show.Routes().Get("/portal/files/u1", [&](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Disposition", "attachment; filename=\"quay-" + version + ".logdata\"");
            res.set_content(LogBytes(c.major, c.minor), "application/octet-stream");
        });
        show.Start();
        UseServer(show.Address(), ServerRoute::Portal);
        WritePortalServer(show.Address());
        messages.clear();

        files->GetLatestLogClicked_();

        std::vector<std::string> shown;
        for (const Message& m : messages)
            shown.push_back(m.title + ": " + m.text);
        ASSERT_EQ(shown.size(), c.messages.size());
        for (std::size_t i = 0; i < shown.size(); ++i)
            EXPECT_THAT(shown[i], StartsWith(c.messages[i]));
        EXPECT_EQ(LoadedFile(), c.loaded);
    }
}

TEST_F(ChangelogFilesTest, FetchingTheNewestVersionStoresAndLoadsIt)
{
    ShowServer show;
    show.Routes().Get(kShowRoute + "/logs/latest", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"({"major": 3, "minor": 1})", kJson);
    });
    show.Routes().Get(kShowRoute + "/logs/3.1/link", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"({"link": "/files/demo-3.1.logdata"})", kJson);
    });
    show.Routes().Get("/files/demo-3.1.logdata", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(LogBytes(3, 1), "application/octet-stream");
    });
    show.Start();
    UseServer(show.Address());

    files->GetLatestLogClicked_();

    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.front().title, "Download successful");
    EXPECT_EQ(messages.front().text, "Log version 3.1 has been downloaded.");
    EXPECT_EQ(messages.size(), 1u) << messages.back().title << ": " << messages.back().text;
    EXPECT_EQ(LoadedFile(), "demo-3.1.logdata");
    EXPECT_EQ(demo.engine->GetLogVersion(), "3.1");
    EXPECT_TRUE(Emitted(&ChangelogFilesController::SignalAttaccaUpdate));
}

TEST_F(ChangelogFilesTest, AFailedFetchIsShownAndKeepsTheLoadedLog)
{
    struct Case {
        const char* name;
        int latestStatus, linkStatus, fileStatus;
        const char* link;
        bool refused;
        const char* text;
    };
    const std::vector<Case> cases{
        {"latest unauthorised", 401, 200, 200, "/f/demo-3.1.logdata", false, "Get Latest Log Version Failed. "},
        {"latest bad request", 400, 200, 200, "/f/demo-3.1.logdata", false, "Get Latest Log Version Failed. "},
        {"server refuses", 200, 200, 200, "/f/demo-3.1.logdata", true, "Get Latest Log Version Failed. "},
        {"link unauthorised", 200, 401, 200, "/f/demo-3.1.logdata", false, "Latest Log Link Request Failed. "},
        {"empty link", 200, 200, 200, "", false, "Latest Log Link Request Failed. "},
        {"file missing", 200, 200, 404, "/f/demo-3.1.logdata", false, "Log failed to download. "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShowServer show;
        show.Routes().Get(kShowRoute + "/logs/latest", [&](const httplib::Request&, httplib::Response& res) {
            res.set_content(R"({"major": 3, "minor": 1})", kJson);
            res.status = c.latestStatus;
        });
        show.Routes().Get(kShowRoute + "/logs/3.1/link", [&](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(R"({"link": ")") + c.link + "\"}", kJson);
            res.status = c.linkStatus;
        });
        show.Routes().Get("/f/demo-3.1.logdata", [&](const httplib::Request&, httplib::Response& res) {
            res.set_content(LogBytes(3, 1), "application/octet-stream");
            res.status = c.fileStatus;
        });
        show.Start();
        UseServer(c.refused ? nettest::RefusingAddress() : show.Address());
        messages.clear();

        files->GetLatestLogClicked_();

        const Message message = OnlyMessage();
        EXPECT_EQ(message.kind, "error");
        EXPECT_EQ(message.title, "Download Error");
        EXPECT_THAT(message.text, StartsWith(c.text));
        EXPECT_EQ(LoadedFile(), "lanterns_on_the_quay-1.0.logdata");
        EXPECT_FALSE(std::filesystem::exists(demo.Folder() / "demo-3.1.logdata"));
    }
}

// The change-log manager opened from the files controller, on the request route.
class ChangelogManagerTest : public ChangelogFilesTest {
protected:
    void Serve(int linkStatus = 200)
    {
        show.Routes().Get(kShowRoute + "/logs", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(R"({"logs": [{"id": "b", "major": 2, "minor": 0, "modified": 1700000000},
                                         {"id": "a", "major": 1, "minor": 5, "modified": 1600000000}]})",
                            kJson);
        });
        show.Routes().Get(kShowRoute + "/logs/2.0/link", [linkStatus](const httplib::Request&, httplib::Response& res) {
            res.set_content(R"({"link": "/f/demo-2.0.logdata"})", kJson);
            res.status = linkStatus;
        });
        show.Routes().Get("/f/demo-2.0.logdata", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(LogBytes(2, 0), "application/octet-stream");
        });
        show.Start();
        UseServer(show.Address());
    }
    brix::qt::ChangelogManagerController& Manager()
    {
        files->ShowChangelogManager_();
        EXPECT_NE(files->GetChangelogManager(), nullptr);
        return *files->GetChangelogManager();
    }

    ShowServer show;
};

QStringList Versions(const brix::qt::ChangelogListModel& model)
{
    QStringList versions;
    for (int row = 0; row < model.rowCount(); ++row)
        versions << model.data(model.index(row), brix::qt::ChangelogListModel::VersionRole).toString();
    return versions;
}

TEST_F(ChangelogManagerTest, ListsLocalAndServerVersionsInAscendingOrder)
{
    for (const char* name : {"demo-10.0.logdata", "2.5.logdata", "demo-oops.logdata"})
        std::filesystem::copy_file(demo.Folder() / "lanterns_on_the_quay-1.0.logdata", demo.Folder() / name);
    Serve();
    brix::qt::ChangelogManagerController& manager = Manager();

    EXPECT_EQ(Versions(manager.LocalModel()), (QStringList{"1.0", "2.5", "10.0"}));
    EXPECT_EQ(Versions(manager.ServerModel()), (QStringList{"1.5", "2.0"}));
    EXPECT_EQ(manager.ServerModel().data(manager.ServerModel().index(1), brix::qt::ChangelogListModel::ModifiedRole),
              QDateTime::fromSecsSinceEpoch(1700000000).toString("MMM dd yyyy hh:mm AP"));
    EXPECT_TRUE(WindowOf(manager.GetQmlObject())->isVisible());
    EXPECT_TRUE(messages.empty());

    // A picture of the window with a local row chosen.
    FindByName(manager.GetQmlObject(), "localList")->setProperty("index", 1);
    auto* window = qobject_cast<QQuickWindow*>(WindowOf(manager.GetQmlObject()));
    ASSERT_NE(window, nullptr);
    QDir().mkpath(CHANGELOG_PICTURES_DIR);
    musical_test::WaitFor([] { return false; }, std::chrono::milliseconds(400));  // the highlight's move
    EXPECT_TRUE(window->grabWindow().save(QString(CHANGELOG_PICTURES_DIR) + "/changelog-manager.png"));
}

TEST(ChangelogListModel, KeepsOneRowPerEqualLogAndSortsByVersion)
{
    brix::qt::ChangelogListModel model;
    CL::ChangeLog a, b, c;
    a.SetVersion({2, 0});
    b.SetVersion({1, 3});
    c.SetVersion({2, 0});
    c.SetModificationTime(5);
    for (const CL::ChangeLog* log : {&a, &b, &a, &c})
        model.Add(*log);
    EXPECT_EQ(model.rowCount(), 3) << "the repeated log is not added again";
    model.Sort();
    EXPECT_EQ(Versions(model), (QStringList{"1.3", "2.0", "2.0"}));
    EXPECT_EQ(model.Rows()[1].GetModificationTime(), 0) << "equal versions keep their order";
    model.Clear();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(ChangelogManagerTest, LoadingAServerRowDownloadsAndLoadsIt)
{
    Serve();
    brix::qt::ChangelogManagerController& manager = Manager();
    QObject* window = manager.GetQmlObject();
    QObject* localList = FindByName(window, "localList");
    QObject* serverList = FindByName(window, "serverList");
    ASSERT_TRUE(localList && serverList);

    // Choosing in the server list clears the local one; "Load Selected" then loads the server row.
    localList->setProperty("index", 0);
    serverList->setProperty("index", 1);
    QMetaObject::invokeMethod(serverList, "listHasFocus", Q_ARG(bool, false));
    EXPECT_EQ(localList->property("index").toInt(), -1);
    QMetaObject::invokeMethod(FindByName(window, "loadSelected"), "clicked");

    EXPECT_EQ(LoadedFile(), "demo-2.0.logdata");
    EXPECT_EQ(demo.engine->GetLogVersion(), "2.0");
    EXPECT_TRUE(messages.empty()) << messages.front().title << ": " << messages.front().text;

    // A row that does not exist changes nothing.
    files->ChangelogServerSelected_(7);
    EXPECT_EQ(LoadedFile(), "demo-2.0.logdata");
    EXPECT_TRUE(messages.empty());

    // Closing the window lets the manager go.
    WindowOf(window)->close();
    EXPECT_TRUE(musical_test::WaitFor([&] { return files->GetChangelogManager() == nullptr; }));
}

TEST_F(ChangelogManagerTest, AServerRowThatCannotBeFetchedIsShown)
{
    Serve(401);
    Manager();
    files->ChangelogServerSelected_(1);
    const Message message = OnlyMessage();
    EXPECT_EQ(message.title, "Bad Changelog");
    EXPECT_THAT(message.text, StartsWith("Unable to load downloaded changelog 2.0: Link was not successfully received."));
    EXPECT_EQ(LoadedFile(), "lanterns_on_the_quay-1.0.logdata");
}

TEST_F(ChangelogManagerTest, ALocalRowLoadsItsFile)
{
    std::ofstream(demo.Folder() / "demo-4.2.logdata", std::ios::binary) << LogBytes(4, 2);
    brix::qt::ChangelogManagerController& manager = Manager();
    ASSERT_EQ(Versions(manager.LocalModel()), (QStringList{"1.0", "4.2"}));
    files->ChangelogLocalSelected_(1);
    EXPECT_EQ(LoadedFile(), "demo-4.2.logdata");
    EXPECT_TRUE(messages.empty());

    // A damaged file is refused and the loaded log stays.
    std::ofstream(demo.Folder() / "demo-5.0.logdata", std::ios::binary) << "damaged";
    manager.ReloadLocalList();
    files->ChangelogLocalSelected_(2);
    const Message message = OnlyMessage();
    EXPECT_EQ(message.title, "Bad Changelog");
    EXPECT_THAT(message.text, StartsWith("Unable to load changelog demo-5.0.logdata: "));
    EXPECT_EQ(LoadedFile(), "demo-4.2.logdata");
}

TEST_F(ChangelogManagerTest, AServerThatRefusesTheListIsShownAndTheListStaysEmpty)
{
    show.Routes().Get(kShowRoute + "/logs", [](const httplib::Request&, httplib::Response& res) { res.status = 401; });
    show.Start();
    UseServer(show.Address());
    EXPECT_TRUE(Manager().ServerModel().rowCount() == 0);
    const Message message = OnlyMessage();
    EXPECT_EQ(message.title, "Server Error");
}

TEST_F(ChangelogFilesTest, TheExportReportsSuccessAndFailure)
{
    const std::string pdf = (demo.Scratch() / "summary.pdf").string();
    files->ExportChangelogRequested_(QUrl::fromLocalFile(QString::fromStdString(pdf)));
    Message message = OnlyMessage();
    EXPECT_EQ(message.title, "Export Complete");
    EXPECT_TRUE(std::filesystem::exists(pdf));

    messages.clear();
    files->ExportChangelogRequested_(QUrl::fromLocalFile(QString::fromStdString((demo.Scratch() / "no" / "x.pdf").string())));
    message = OnlyMessage();
    EXPECT_EQ(message.kind, "error");
    EXPECT_EQ(message.title, "Export Failed");
}

// A reload that fails after the file was taken puts the file loaded before back.
class ChangelogFilesReload : public musical_test::QmlTest {};

TEST_F(ChangelogFilesReload, AFailedRefreshRestoresTheEarlierFile)
{
    changelog_test::ScratchFolder folder;
    folder.Write("quay-2.0.logdata", LogBytes(2, 0));
    auto engine = std::make_shared<testing::NiceMock<musical_test::FakeInterface>>(folder.Path().string(), "old.logdata");
    CL::Editor editor{brix_midi::ShowData(), CL::ChangeLog()};
    ON_CALL(*engine, GetShowDirectory()).WillByDefault(testing::Return(folder.Path().string()));
    ON_CALL(*engine, GetChangeLogEditor()).WillByDefault(testing::Return(&editor));
    ON_CALL(*engine, GetChangelogFilename()).WillByDefault(testing::Return("old.logdata"));
    ON_CALL(*engine, GetCurrentSongNumber()).WillByDefault(testing::Return("1"));
    ON_CALL(*engine, LoadSong(testing::_)).WillByDefault(testing::Throw(std::runtime_error("song 1 is gone")));
    const std::string chosen = (folder.Path() / "quay-2.0.logdata").string();
    {
        testing::InSequence order;
        EXPECT_CALL(*engine, SetChangelogFilename(chosen));
        EXPECT_CALL(*engine, SetChangelogFilename("old.logdata"));
    }
    auto showManager = std::make_shared<brix::ShowManager>(engine);
    brix::networking::ShowRecord record;
    record.folder = folder.Path().string();
    ChangelogFilesController files(Engine(), showManager, [record] { return std::optional(record); }, {}, "Tarn|Wick");
    std::vector<std::string> errors;
    QObject::connect(&files, &ChangelogFilesController::error,
                     [&](std::string text, std::string title) { errors.push_back(title + ": " + text); });

    files.ShowChangelogManager_();
    files.ChangelogLocalSelected_(0);

    EXPECT_EQ(errors, (std::vector<std::string>{
                          "Changelog Error: Changelog loaded, but the show could not be refreshed: song 1 is gone"}));
    files.ChangelogManagerClosing_();
    showManager->ReleasePlayer();
    musical_test::RunDeferredDeletes();
}

}  // namespace
