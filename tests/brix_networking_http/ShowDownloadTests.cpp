// The show download, the plan check and the portal route against an in-process server, and the
// server settings of show.json.

#include "ShowServer.h"

#include <brix_networking_http/NetworkApiInterface.h>
#include <brix_networking_http/ShowDownload.h>

#include <gtest/gtest.h>

#include <zlib.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>

namespace {

using brix::networking::DownloadCallbacks;
using brix::networking::DownloadPlan;
using brix::networking::NetworkApiInterface;
using brix::networking::NetworkError;
using brix::networking::ServerRoute;
using brix::networking::ShowFile;
using brix::networking::ShowRecord;
using nettest::ShowServer;
using nettest::TempFolder;

constexpr auto kJson = "application/json";
constexpr auto kBytes = "application/octet-stream";

std::uint32_t Crc(const std::string& bytes) {
    return static_cast<std::uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

std::string ShowJson(const std::string& name, const std::string& serverObject) {
    return R"({"format": 1, "name": ")" + name + R"(", "customer": "Harbour Players", "songs": [])" +
           (serverObject.empty() ? "" : ", \"server\": " + serverObject) + "}";
}

std::string ServerObject(const std::string& address, const std::string& route) {
    return R"({"address": ")" + address + R"(", "route": ")" + route +
           R"(", "credentials": {"show": "quay", "token": "secret-token"}})";
}

// Runs fn, which must throw NetworkError, and gives the error.
NetworkError Failure(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const NetworkError& error) {
        return error;
    }
    ADD_FAILURE() << "no NetworkError";
    return NetworkError(-1, "");
}

// The files a show download fetches, served by the request route's file download and by the portal
// file route (type 1) from the same contents.
struct ServedShow {
    std::map<std::string, std::string> contentById;  // file id -> bytes
    DownloadPlan plan;

    void Add(const std::string& kind, cmn::BRIXVersion version, const std::string& name, std::string bytes) {
        const std::string id = "id" + std::to_string(contentById.size());
        plan.files.push_back({kind, version, name, bytes.size(), Crc(bytes), id});
        contentById[id] = std::move(bytes);
    }

    void Serve(httplib::Server& routes) const {
        const auto serve = [this](const std::string& id, httplib::Response& res) {
            const auto found = contentById.find(id);
            if (found == contentById.end()) {
                res.status = 404;
                return;
            }
            res.set_content(found->second, kBytes);
        };
        routes.Get(R"(/api/shows/quay/files/(\w+))",
                   [serve](const httplib::Request& req, httplib::Response& res) { serve(req.matches[1], res); });
        routes.Get(R"(/portal/files/(\w+))", [serve](const httplib::Request& req, httplib::Response& res) {
            if (req.get_param_value("type") != "1") {
                res.status = 400;
                return;
            }
            serve(req.matches[1], res);
        });
    }
};

ServedShow ThreeFiles(const std::string& showName) {
    ServedShow show;
    show.Add("SHOW", {1, 0}, "show.json", ShowJson(showName, ""));
    show.Add("MIDI", {1, 2}, "songs/one.mid", nettest::RandomBytes(300000, 1));
    show.Add("LOG", {3, 1}, "quay-3.1.logdata", nettest::RandomBytes(70000, 2));
    return show;
}

ShowRecord Record(const std::string& address, ServerRoute route, const std::string& folder) {
    ShowRecord record;
    record.id = "show-7";
    record.name = "Old Name";
    record.customer = "Old Customer";
    record.folder = folder;
    brix::networking::ServerSettings server;
    server.address = address;
    server.route = route;
    server.credentials = {"quay", "secret-token"};
    server.timeouts.read = std::chrono::milliseconds(500);
    record.server = server;
    return record;
}

// What the callbacks saw.
struct Reports {
    std::vector<std::string> statuses;
    std::vector<std::string> messages;
    std::map<std::string, std::pair<std::uint64_t, std::uint64_t>> lastProgress;
    std::vector<long> totals;

    std::shared_ptr<DownloadCallbacks> Callbacks() {
        auto callbacks = std::make_shared<DownloadCallbacks>();
        callbacks->status = [this](std::string text) { statuses.push_back(std::move(text)); };
        callbacks->progressMessage = [this](std::string text) { messages.push_back(std::move(text)); };
        callbacks->fileProgress = [this](std::string file, std::uint64_t received, std::uint64_t total) {
            lastProgress[file] = {received, total};
        };
        callbacks->totalSize = [this](long total) { totals.push_back(total); };
        callbacks->error = [](std::string text) { ADD_FAILURE() << "error callback: " << text; };
        return callbacks;
    }
};

TEST(ShowDownload, EveryFileOfThePlanLandsByteForByteOnEitherRoute) {
    for (const ServerRoute route : {ServerRoute::Request, ServerRoute::Portal}) {
        const ServedShow show = ThreeFiles("New Name");
        ShowServer server;
        show.Serve(server.Routes());
        server.Start();
        TempFolder folder;
        folder.Write("songs/one.mid", "an outdated song of another size");
        Reports reports;

        const ShowRecord updated = brix_download::RepairExistingShow(
            Record(server.Address(), route, folder.String()), reports.Callbacks(), nullptr, folder.String(),
            std::make_unique<DownloadPlan>(show.plan));

        EXPECT_EQ(folder.Files(), (std::vector<std::string>{"quay-3.1.logdata", "show.json", "songs/one.mid"}));
        for (const ShowFile& file : show.plan.files) {
            EXPECT_EQ(folder.Read(file.name), show.contentById.at(file.id)) << file.name;
            EXPECT_EQ(reports.lastProgress[file.name], std::make_pair(file.size, file.size)) << file.name;
        }
        EXPECT_EQ(reports.totals, std::vector<long>{static_cast<long>(show.plan.GetTotalSize())});
        EXPECT_EQ(reports.messages.size(), 3u);
        EXPECT_EQ(reports.statuses.back(), "Download complete.");
        EXPECT_EQ(updated.id, "show-7");
        EXPECT_EQ(updated.name, "New Name");
        EXPECT_EQ(updated.customer, "Harbour Players");
        EXPECT_TRUE(brix::networking::ValidateDownloadPlan(show.plan, folder.Path())->empty());
    }
}

TEST(ShowDownload, ThePlanCheckKeepsTheFilesThatAreMissingOrDiffer) {
    const ServedShow show = ThreeFiles("Quay");
    TempFolder folder;
    for (const ShowFile& file : show.plan.files) folder.Write(file.name, show.contentById.at(file.id));
    EXPECT_TRUE(brix::networking::ValidateDownloadPlan(show.plan, folder.Path())->empty());

    std::string changed = show.contentById.at("id1");
    changed[1000] ^= 1;  // same size, other content
    folder.Write("songs/one.mid", changed);
    std::filesystem::remove(folder.Path() / "quay-3.1.logdata");
    const auto needed = brix::networking::ValidateDownloadPlan(show.plan, folder.Path());
    EXPECT_EQ(needed->files, (std::vector<ShowFile>{show.plan.files[1], show.plan.files[2]}));
}

TEST(ShowDownload, CancelStopsTheDownloadAndRemovesThePartialFile) {
    ServedShow show;
    show.Add("MIDI", {1, 0}, "first.mid", nettest::RandomBytes(1000, 3));
    show.Add("MIDI", {1, 0}, "big.mid", nettest::RandomBytes(4 * 1024 * 1024, 4));
    show.Add("MIDI", {1, 0}, "last.mid", nettest::RandomBytes(1000, 5));
    ShowServer server;
    show.Serve(server.Routes());
    server.Start();
    TempFolder folder;
    folder.Write("big.mid", "the earlier version");
    Reports reports;
    std::atomic<bool> cancel{false};
    auto callbacks = reports.Callbacks();
    int reportsAfterCancel = 0;
    callbacks->fileProgress = [&](const std::string& file, std::uint64_t received, std::uint64_t) {
        if (cancel) ++reportsAfterCancel;
        if (file == "big.mid" && received > 0) cancel = true;
    };

    const ShowRecord record = brix_download::RepairExistingShow(
        Record(server.Address(), ServerRoute::Request, folder.String()), callbacks, &cancel, folder.String(),
        std::make_unique<DownloadPlan>(show.plan));

    EXPECT_EQ(record.id, "");
    EXPECT_EQ(reportsAfterCancel, 0) << "the download went on after the cancel";
    EXPECT_EQ(reports.statuses.back(), "Download cancelled.");
    EXPECT_EQ(folder.Files(), (std::vector<std::string>{"big.mid", "first.mid"}));
    EXPECT_EQ(folder.Read("big.mid"), "the earlier version");
    EXPECT_EQ(folder.Read("first.mid"), show.contentById.at("id0"));
}

TEST(ShowDownload, AFileThatArrivesShortOrOtherThanListedReplacesNothing) {
    const std::string good = nettest::RandomBytes(50000, 6);
    const struct {
        const char* what;
        std::function<void(httplib::Response&)> answer;
        int code;
    } cases[] = {
        {"other content", [&good](httplib::Response& res) { std::string bad = good; bad[10] ^= 1; res.set_content(bad, kBytes); },
         NetworkApiInterface::API_BAD_RESPONSE},
        {"other size", [&good](httplib::Response& res) { res.set_content(good + "x", kBytes); },
         NetworkApiInterface::API_BAD_RESPONSE},
        {"broken off",
         [&good](httplib::Response& res) {
             res.set_content_provider(good.size(), kBytes, [&good](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                 return offset == 0 && sink.write(good.data(), 20000);
             });
         },
         NetworkApiInterface::API_CONNECTION_FAILED},
        {"not found", [](httplib::Response& res) { res.status = 404; }, NetworkApiInterface::API_NOT_FOUND},
        {"unauthorized", [](httplib::Response& res) { res.status = 401; }, NetworkApiInterface::API_UNAUTHORIZED},
    };
    for (const auto& c : cases) {
        ShowServer server;
        server.Routes().Get("/api/shows/quay/files/f1", [&c](const httplib::Request&, httplib::Response& res) { c.answer(res); });
        server.Start();
        TempFolder folder;
        folder.Write("song.mid", "the earlier version");
        DownloadPlan plan{{{"MIDI", {1, 0}, "song.mid", good.size(), Crc(good), "f1"}}};
        const NetworkError error = Failure([&] {
            brix_download::RepairExistingShow(Record(server.Address(), ServerRoute::Request, folder.String()), nullptr,
                                              nullptr, folder.String(), std::make_unique<DownloadPlan>(plan));
        });
        EXPECT_EQ(error.code(), c.code) << c.what << ": " << error.what();
        EXPECT_EQ(folder.Files(), std::vector<std::string>{"song.mid"}) << c.what;
        EXPECT_EQ(folder.Read("song.mid"), "the earlier version") << c.what;
    }
}

TEST(ShowDownload, ASlowServerEndsTheDownloadWithinTheReadTimeout) {
    ShowServer server;
    server.Routes().Get("/api/shows/quay/files/f1", [&server](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(100000, kBytes, [&server](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            if (offset > 0) server.Hold();
            const std::string block(1000, 'x');
            return sink.write(block.data(), block.size());
        });
    });
    server.Start();
    TempFolder folder;
    DownloadPlan plan{{{"MIDI", {1, 0}, "song.mid", 100000, 0, "f1"}}};
    const auto start = std::chrono::steady_clock::now();
    const NetworkError error = Failure([&] {
        brix_download::RepairExistingShow(Record(server.Address(), ServerRoute::Request, folder.String()), nullptr,
                                          nullptr, folder.String(), std::make_unique<DownloadPlan>(plan));
    });
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(error.code(), NetworkApiInterface::API_CONNECTION_FAILED) << error.what();
    // The read timeout is 0.5 s; the rest is slack for a loaded machine.
    EXPECT_LT(elapsed, std::chrono::seconds(5));
    EXPECT_TRUE(folder.Files().empty());
}

TEST(ShowDownload, APlanEntryThatLeavesTheFolderIsRefusedBeforeAnyRequest) {
    ShowServer server;
    server.Start();
    TempFolder folder;
    DownloadPlan plan{{{"MIDI", {1, 0}, "ok.mid", 1, 0, "f0"}, {"MIDI", {1, 0}, "../outside.mid", 1, 0, "f1"}}};
    const NetworkError error = Failure([&] {
        brix_download::RepairExistingShow(Record(server.Address(), ServerRoute::Request, folder.String()), nullptr,
                                          nullptr, folder.String(), std::make_unique<DownloadPlan>(plan));
    });
    EXPECT_EQ(error.code(), NetworkApiInterface::API_BAD_RESPONSE);
    EXPECT_TRUE(server.Requests().empty());
}

TEST(PortalRoute, ThePlanListsOnlyTheFilesToFetch) {
    const ServedShow show = ThreeFiles("Quay");
    ShowServer server;
    const std::string body =
        R"({"files": [)" + [&] {
            std::string list;
            for (const ShowFile& f : show.plan.files) {
                list += (list.empty() ? "" : ",") + std::string(R"({"kind": ")") + f.kind + R"(", "name": ")" + f.name +
                        R"(", "major": )" + std::to_string(f.version.GetMajor()) + R"(, "minor": )" +
                        std::to_string(f.version.GetMinor()) + R"(, "size": )" + std::to_string(f.size) +
                        R"(, "crc32": )" + std::to_string(f.crc32) + R"(, "id": ")" + f.id + R"("})";
            }
            return list;
        }() + "]}";
    server.Routes().Get("/portal/shows/quay/plan", [&body](const httplib::Request&, httplib::Response& res) {
        res.set_content(body, kJson);
    });
    server.Start();
    TempFolder folder;
    folder.Write("show.json", ShowJson("Quay", ServerObject(server.Address(), "portal")));
    folder.Write("quay-3.1.logdata", show.contentById.at("id2"));

    DownloadPlan plan{{{"stale", {9, 9}, "x", 1, 1, "x"}}};
    brix_download::GetPortalRepairPlan(plan, folder.String(), "tarnwick2-test");
    // show.json differs (it holds the server object), the song is missing, the log is current.
    EXPECT_EQ(plan.files, (std::vector<ShowFile>{show.plan.files[0], show.plan.files[1]}));
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].authorization, "Bearer secret-token");
    EXPECT_EQ(server.Requests()[0].application, "tarnwick2-test");
}

TEST(PortalRoute, LogsFileAndShareTravelAsTheRoutesSay) {
    const std::string log = nettest::RandomBytes(30000, 8);
    ShowServer server;
    server.Routes().Get("/portal/shows/quay/logs", [](const httplib::Request& req, httplib::Response& res) {
        if (req.get_header_value("Authorization") != "Bearer other-token") {
            res.status = 401;
            return;
        }
        res.set_content(R"({"logs": [{"fileUuid": "u-2", "major": 2, "minor": 0, "modified": 1700000000},
                                     {"fileUuid": "u-1", "major": 1, "minor": 3, "modified": 1600000000}]})",
                        kJson);
    });
    server.Routes().Get("/portal/files/u-2", [&log](const httplib::Request& req, httplib::Response& res) {
        if (req.get_param_value("type") != "2") {
            res.status = 400;
            return;
        }
        res.set_header("Content-Disposition", R"(attachment; filename="quay-2.0.logdata")");
        res.set_content(log, kBytes);
    });
    server.Routes().Post("/portal/shows/quay/share", [&server](const httplib::Request& req, httplib::Response& res) {
        server.KeepBody(req.get_param_value("name") + ":" + req.body);
        res.status = 200;
    });
    server.Start();
    TempFolder folder;
    folder.Write("show.json", ShowJson("Quay", ServerObject(server.Address(), "portal")));

    const auto rows = brix_download::PopulatePortalLogs(folder.String(), {"quay", "other-token"});
    EXPECT_EQ(rows, (std::vector<brix_download::ServerChangelogRow>{{"u-2", 2, 0, 1700000000}, {"u-1", 1, 3, 1600000000}}));

    const std::string path = brix_download::DownloadServerChangelogFile("u-2", 2, folder.String());
    EXPECT_EQ(path, (folder.Path() / "quay-2.0.logdata").string());
    EXPECT_EQ(folder.Read("quay-2.0.logdata"), log);

    brix_download::ShareLogfiles(folder.String(), path);
    EXPECT_EQ(server.Bodies(), std::vector<std::string>{"quay-2.0.logdata:" + log});
}

TEST(PortalRoute, AFileNameFromTheServerThatLeavesTheFolderIsRefused) {
    for (const char* disposition : {R"(attachment; filename="../quay-2.0.logdata")", "attachment; filename=.x",
                                    "attachment", R"(attachment; filename="a/b.logdata")"}) {
        ShowServer server;
        server.Routes().Get("/portal/files/u-2", [disposition](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Disposition", disposition);
            res.set_content("bytes", kBytes);
        });
        server.Start();
        TempFolder folder;
        folder.Write("show.json", ShowJson("Quay", ServerObject(server.Address(), "portal")));
        const NetworkError error = Failure([&] { brix_download::DownloadServerChangelogFile("u-2", 2, folder.String()); });
        EXPECT_EQ(error.code(), NetworkApiInterface::API_BAD_RESPONSE) << disposition;
        EXPECT_EQ(folder.Files(), std::vector<std::string>{"show.json"}) << disposition;
        EXPECT_FALSE(std::filesystem::exists(folder.Path().parent_path() / "quay-2.0.logdata"));
    }
}

// Every call of the portal route and the show download, given the folder whose show.json names the
// server, each throwing its failure.
const std::vector<std::pair<const char*, std::function<void(const TempFolder&)>>>& PortalCalls() {
    static const std::vector<std::pair<const char*, std::function<void(const TempFolder&)>>> calls{
        {"download plan",
         [](const TempFolder& folder) {
             DownloadPlan plan;
             brix_download::GetPortalRepairPlan(plan, folder.String(), "app");
         }},
        {"portal logs", [](const TempFolder& folder) { brix_download::PopulatePortalLogs(folder.String(), {"quay", "t"}); }},
        {"portal file", [](const TempFolder& folder) { brix_download::DownloadServerChangelogFile("u-1", 2, folder.String()); }},
        {"portal share",
         [](const TempFolder& folder) { brix_download::ShareLogfiles(folder.String(), (folder.Path() / "show.json").string()); }},
    };
    return calls;
}

TEST(PortalRoute, EveryCallThrowsTheServersRefusalAndARefusedConnection) {
    const struct {
        int status;
        int code;
    } cases[] = {{400, NetworkApiInterface::API_BAD_REQUEST}, {401, NetworkApiInterface::API_UNAUTHORIZED}};
    for (const auto& c : cases) {
        ShowServer server;
        const auto answer = [status = c.status](const httplib::Request&, httplib::Response& res) { res.status = status; };
        server.Routes().Get(".*", answer);
        server.Routes().Post(".*", answer);
        server.Start();
        TempFolder folder;
        folder.Write("show.json", ShowJson("Quay", ServerObject(server.Address(), "portal")));
        for (const auto& [name, call] : PortalCalls()) {
            EXPECT_EQ(Failure([&] { call(folder); }).code(), c.code) << name << ", HTTP " << c.status;
        }
    }
    TempFolder folder;
    folder.Write("show.json", ShowJson("Quay", ServerObject(nettest::RefusingAddress(), "portal")));
    for (const auto& [name, call] : PortalCalls()) {
        EXPECT_EQ(Failure([&] { call(folder); }).code(), NetworkApiInterface::API_CONNECTION_FAILED) << name;
    }
}

TEST(PortalRoute, WithoutAServerEveryCallThrowsAtOnce) {
    TempFolder folder;
    folder.Write("show.json", ShowJson("Quay", ""));
    for (const auto& [name, call] : PortalCalls()) {
        const NetworkError error = Failure([&] { call(folder); });
        EXPECT_EQ(error.code(), NetworkApiInterface::API_NO_SERVER) << name;
        EXPECT_STREQ(error.what(), "No show server configured.") << name;
    }
    ShowRecord offline;
    offline.id = "show-1";
    const NetworkError error = Failure([&] {
        brix_download::RepairExistingShow(offline, nullptr, nullptr, folder.String(), std::make_unique<DownloadPlan>());
    });
    EXPECT_STREQ(error.what(), "No show server configured.");
}

TEST(ServerSettings, TheServerObjectOfShowJsonIsReadOrRefused) {
    TempFolder folder;
    EXPECT_FALSE(brix::networking::ReadServerSettings(folder.Path()));  // no show.json
    folder.Write("show.json", ShowJson("Quay", ""));
    EXPECT_FALSE(brix::networking::ReadServerSettings(folder.Path()));

    folder.Write("show.json", ShowJson("Quay", ServerObject("https://shows.example:8443", "portal")));
    auto settings = brix::networking::ReadServerSettings(folder.Path());
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->address, "https://shows.example:8443");
    EXPECT_EQ(settings->route, ServerRoute::Portal);
    EXPECT_EQ(settings->credentials, (brix::networking::Credentials{"quay", "secret-token"}));

    folder.Write("show.json", ShowJson("Quay", R"({"address": "http://127.0.0.1"})"));
    settings = brix::networking::ReadServerSettings(folder.Path());
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->route, ServerRoute::Request);
    EXPECT_EQ(settings->credentials, brix::networking::Credentials{});

    for (const std::string& bad : {std::string("3"), std::string("{}"), std::string(R"({"address": 1})"),
                                   std::string(R"({"address": "ftp://x"})"),
                                   std::string(R"({"address": "http://x/api"})"),
                                   std::string(R"({"address": "http://x", "route": "other"})"),
                                   std::string(R"({"address": "http://x", "credentials": "t"})"),
                                   std::string(R"({"address": "http://x", "credentials": {"token": 5}})")}) {
        folder.Write("show.json", ShowJson("Quay", bad));
        const NetworkError error = Failure([&] { brix::networking::ReadServerSettings(folder.Path()); });
        EXPECT_EQ(error.code(), NetworkApiInterface::API_BAD_SETTINGS) << bad;
        EXPECT_NE(std::string(error.what()).find("show.json"), std::string::npos) << error.what();
    }
    folder.Write("show.json", "{\"server\": ");
    EXPECT_EQ(Failure([&] { brix::networking::ReadServerSettings(folder.Path()); }).code(),
              NetworkApiInterface::API_BAD_SETTINGS);
}

}  // namespace
