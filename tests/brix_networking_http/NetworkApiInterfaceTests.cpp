// The request route of the show server's client against an in-process server: each route's answer,
// the result codes of failed requests, refused and slow servers, malformed answers, and the calls
// without a server.

#include "ShowServer.h"

#include <brix_networking_http/BRIXDownloader.h>
#include <brix_networking_http/NetworkApiInterface.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace {

using brix::networking::ApiStatus;
using brix::networking::Credentials;
using brix::networking::NetworkApiInterface;
using brix::networking::NetworkError;
using brix::networking::ServerSettings;
using brix::networking::Timeouts;
using nettest::ShowServer;

constexpr auto kJson = "application/json";
// The show's id holds a blank, which the routes carry percent-encoded (the server sees it decoded).
const Credentials kCredentials{"Quay Show", "secret-token"};
const std::string kShowRoute = "/api/shows/Quay Show";
const Timeouts kShort{std::chrono::milliseconds(1000), std::chrono::milliseconds(500)};

NetworkApiInterface Api(const std::string& address, Timeouts timeouts = {}) {
    NetworkApiInterface api(address, timeouts);
    api.SetCredentials(kCredentials);
    api.SetApplicationId("tarnwick2-test");
    return api;
}

ServerSettings Settings(const std::string& address, Timeouts timeouts = {}) {
    ServerSettings settings;
    settings.address = address;
    settings.credentials = kCredentials;
    settings.timeouts = timeouts;
    return settings;
}

// Every call of the request route, each giving its status.
struct Call {
    const char* name;
    std::function<ApiStatus(const std::string& address, Timeouts)> run;
};
const std::vector<Call>& AllCalls() {
    static const std::vector<Call> calls{
        {"show files", [](const std::string& a, Timeouts t) -> ApiStatus { return Api(a, t).GetAllShowFiles(); }},
        {"logs", [](const std::string& a, Timeouts t) -> ApiStatus { return Api(a, t).GetAvailableLogs(); }},
        {"latest log", [](const std::string& a, Timeouts t) -> ApiStatus { return Api(a, t).GetLatestLog(); }},
        {"log link",
         [](const std::string& a, Timeouts t) -> ApiStatus { return Api(a, t).GetChangelogLinkByVersion(3, 1); }},
        {"log upload",
         [](const std::string& a, Timeouts t) {
             return brix::networking::UploadChangelog(Settings(a, t), "tarnwick2-test", {3, 0}, "bytes");
         }},
    };
    return calls;
}

TEST(NetworkApiInterface, EachRouteAnswersItsValueAndCarriesTheCredentials) {
    ShowServer server;
    server.Routes().Get(kShowRoute + "/files", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"({"files": [{"kind": "LOG", "name": "quay-3.1.logdata", "major": 3, "minor": 1,
                            "size": 12, "crc32": 4294967295, "id": "f1"},
                           {"kind": "MIDI", "name": "songs/one.mid", "major": 1, "minor": 0,
                            "size": 0, "crc32": 0, "id": "f2"}]})",
                        kJson);
    });
    server.Routes().Get(kShowRoute + "/logs", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"({"logs": [{"id": "a", "major": 2, "minor": 0, "modified": 1700000000},
                                     {"id": "b", "major": 1, "minor": 4, "modified": -5}]})",
                        kJson);
    });
    server.Routes().Get(kShowRoute + "/logs/latest", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"({"major": 65535, "minor": 2})", kJson);
    });
    server.Routes().Get(kShowRoute + "/logs/3.1/link", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"({"link": "/store/quay-3.1.logdata"})", kJson);
    });
    server.Routes().Post(kShowRoute + "/logs/3.0", [&server](const httplib::Request& req, httplib::Response& res) {
        server.KeepBody(req.body);
        res.status = 201;
    });
    server.Start();
    const NetworkApiInterface api = Api(server.Address());

    const auto files = api.GetAllShowFiles();
    ASSERT_EQ(files.code, NetworkApiInterface::API_SUCCESS) << files.displayMessage;
    EXPECT_EQ(files.displayMessage, "");
    ASSERT_TRUE(files.value);
    EXPECT_EQ(*files.value, (brix::networking::ShowFileList{{"LOG", {3, 1}, "quay-3.1.logdata", 12, 0xffffffffu, "f1"},
                                                             {"MIDI", {1, 0}, "songs/one.mid", 0, 0, "f2"}}));

    const auto logs = api.GetAvailableLogs();
    ASSERT_EQ(logs.code, NetworkApiInterface::API_SUCCESS) << logs.displayMessage;
    EXPECT_EQ(*logs.value, (brix::networking::ChangelogFullInfoList{{"a", {2, 0}, 1700000000}, {"b", {1, 4}, -5}}));

    const auto latest = api.GetLatestLog();
    ASSERT_EQ(latest.code, NetworkApiInterface::API_SUCCESS) << latest.displayMessage;
    EXPECT_EQ(*latest.value, cmn::BRIXVersion(65535, 2));

    const auto link = api.GetChangelogLinkByVersion(3, 1);
    ASSERT_EQ(link.code, NetworkApiInterface::API_SUCCESS) << link.displayMessage;
    EXPECT_EQ(*link.value, "/store/quay-3.1.logdata");

    const std::string bytes("log\0bytes\xff", 10);
    const ApiStatus upload = brix::networking::UploadChangelog(Settings(server.Address()), "tarnwick2-test", {3, 0}, bytes);
    EXPECT_EQ(upload.code, NetworkApiInterface::API_SUCCESS) << upload.displayMessage;
    EXPECT_EQ(server.Bodies(), std::vector<std::string>{bytes});

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 5u);
    for (const auto& request : requests) {
        EXPECT_EQ(request.authorization, "Bearer secret-token") << request.path;
        EXPECT_EQ(request.application, "tarnwick2-test") << request.path;
    }
    EXPECT_EQ(requests[4].method, "POST");
    EXPECT_EQ(requests[4].contentType, "application/octet-stream");
}

TEST(NetworkApiInterface, AShowFilesAnswerWithoutAListSucceedsWithoutOne) {
    ShowServer server;
    server.Routes().Get(kShowRoute + "/files", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"({"note": "nothing to list"})", kJson);
    });
    server.Start();
    const auto files = Api(server.Address()).GetAllShowFiles();
    EXPECT_EQ(files.code, NetworkApiInterface::API_SUCCESS) << files.displayMessage;
    EXPECT_FALSE(files.value);
}

TEST(NetworkApiInterface, EveryRouteMapsTheServersErrorStatusToItsCode) {
    const struct {
        int status;
        int code;
    } cases[] = {
        {400, NetworkApiInterface::API_BAD_REQUEST},   {401, NetworkApiInterface::API_UNAUTHORIZED},
        {403, NetworkApiInterface::API_UNAUTHORIZED},  {404, NetworkApiInterface::API_NOT_FOUND},
        {500, NetworkApiInterface::API_SERVER_ERROR},  {302, NetworkApiInterface::API_SERVER_ERROR},
    };
    for (const auto& c : cases) {
        ShowServer server;
        const auto answer = [status = c.status](const httplib::Request&, httplib::Response& res) {
            res.status = status;
            res.set_content(R"({"message": "Token expired"})", kJson);
        };
        server.Routes().Get(".*", answer);
        server.Routes().Post(".*", answer);
        server.Start();
        for (const Call& call : AllCalls()) {
            const ApiStatus status = call.run(server.Address(), {});
            EXPECT_EQ(status.code, c.code) << call.name << ", HTTP " << c.status;
            EXPECT_NE(status.displayMessage.find("Token expired"), std::string::npos) << status.displayMessage;
        }
    }
}

TEST(NetworkApiInterface, ARefusedConnectionFailsEveryRoute) {
    const std::string address = nettest::RefusingAddress();
    for (const Call& call : AllCalls()) {
        const ApiStatus status = call.run(address, kShort);
        EXPECT_EQ(status.code, NetworkApiInterface::API_CONNECTION_FAILED) << call.name;
        EXPECT_NE(status.displayMessage.find(address), std::string::npos) << status.displayMessage;
    }
}

TEST(NetworkApiInterface, ASlowServerEndsTheCallWithinTheReadTimeout) {
    ShowServer server;
    server.Routes().Get(".*", [&server](const httplib::Request&, httplib::Response& res) {
        server.Hold();
        res.set_content(R"({"major": 1, "minor": 0})", kJson);
    });
    server.Start();
    const auto start = std::chrono::steady_clock::now();
    const auto latest = Api(server.Address(), kShort).GetLatestLog();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(latest.code, NetworkApiInterface::API_CONNECTION_FAILED) << latest.displayMessage;
    EXPECT_FALSE(latest.value);
    // The read timeout is 0.5 s; the rest is slack for a loaded machine.
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

TEST(NetworkApiInterface, MalformedAnswersAreBadResponsesWithoutAValue) {
    const struct {
        const char* route;
        std::string body;
    } cases[] = {
        {"/files", ""},
        {"/files", "{"},
        {"/files", "[]"},
        {"/files", R"({"files": 3})"},
        {"/files", R"({"files": [1]})"},
        {"/files", R"({"files": [{"kind": "MIDI", "name": "a.mid", "major": 1, "minor": 0, "size": 1, "crc32": 1}]})"},
        {"/files", R"({"files": [{"kind": "MIDI", "name": "a.mid", "major": 1, "minor": 0, "size": 1, "crc32": 1, "id": ""}]})"},
        {"/files", R"({"files": [{"kind": "MIDI", "name": "a.mid", "major": 70000, "minor": 0, "size": 1, "crc32": 1, "id": "x"}]})"},
        {"/files", R"({"files": [{"kind": "MIDI", "name": "a.mid", "major": 1, "minor": 0, "size": -1, "crc32": 1, "id": "x"}]})"},
        {"/files", R"({"files": [{"kind": "MIDI", "name": "a.mid", "major": 1, "minor": 0, "size": 1, "crc32": 4294967296, "id": "x"}]})"},
        {"/files", R"({"files": [{"kind": 5, "name": "a.mid", "major": 1, "minor": 0, "size": 1, "crc32": 1, "id": "x"}]})"},
        {"/files", R"({"files": [{"kind": "M", "name": "a.mid", "major": 1, "minor": 0, "size": 1, "crc32": 1, "id": "x"},
                                 {"kind": "M", "name": "a.mid", "major": 1, "minor": 0, "size": 1, "crc32": 1, "id": "y"}]})"},
        {"/logs", R"({"logs": {}})"},
        {"/logs", R"({"logs": [{"id": "a", "major": 1, "minor": 0, "modified": "yesterday"}]})"},
        {"/logs", R"({"logs": [{"major": 1, "minor": 0, "modified": 1}]})"},
        {"/logs/latest", R"({"major": 1})"},
        {"/logs/latest", R"({"major": 1.5, "minor": 0})"},
        {"/logs/latest", "null"},
        {"/logs/3.1/link", R"({"link": ""})"},
        {"/logs/3.1/link", R"({"link": 5})"},
        {"/logs", std::string(5 * 1024 * 1024, ' ')},
    };
    for (const auto& c : cases) {
        ShowServer server;
        server.Routes().Get(kShowRoute + c.route, [&c](const httplib::Request&, httplib::Response& res) {
            res.set_content(c.body, kJson);
        });
        server.Start();
        const NetworkApiInterface api = Api(server.Address());
        const std::string route = c.route;
        ApiStatus status;
        bool hasValue = false;
        if (route == "/files") {
            const auto result = api.GetAllShowFiles();
            status = result;
            hasValue = result.value.has_value();
        } else if (route == "/logs") {
            const auto result = api.GetAvailableLogs();
            status = result;
            hasValue = result.value.has_value();
        } else if (route == "/logs/latest") {
            const auto result = api.GetLatestLog();
            status = result;
            hasValue = result.value.has_value();
        } else {
            const auto result = api.GetChangelogLinkByVersion(3, 1);
            status = result;
            hasValue = result.value.has_value();
        }
        EXPECT_EQ(status.code, NetworkApiInterface::API_BAD_RESPONSE) << c.route << " " << c.body.substr(0, 200);
        EXPECT_FALSE(hasValue) << c.route << " " << c.body.substr(0, 200);
    }
}

TEST(NetworkApiInterface, UnsafeFileNamesInTheListAreRefused) {
    // Each name as a JSON string's content.
    for (const char* name : {"../show.json", "/etc/passwd", "a//b.mid", R"(a\\b.mid)", ".hidden", "songs/..",
                             "songs/", "", R"(a\nb)"}) {
        ShowServer server;
        const std::string body = std::string(R"({"files": [{"kind": "MIDI", "name": ")") + name +
                                 R"(", "major": 1, "minor": 0, "size": 1, "crc32": 1, "id": "x"}]})";
        server.Routes().Get(kShowRoute + "/files", [&body](const httplib::Request&, httplib::Response& res) {
            res.set_content(body, kJson);
        });
        server.Start();
        const auto files = Api(server.Address()).GetAllShowFiles();
        EXPECT_EQ(files.code, NetworkApiInterface::API_BAD_RESPONSE) << body;
        EXPECT_NE(files.displayMessage.find("unsafe file name"), std::string::npos) << files.displayMessage;
    }
}

TEST(NetworkApiInterface, WithoutAServerEveryCallFailsAtOnce) {
    for (const Call& call : AllCalls()) {
        const ApiStatus status = call.run("", {});
        EXPECT_EQ(status.code, NetworkApiInterface::API_NO_SERVER) << call.name;
        EXPECT_EQ(status.displayMessage, "No show server configured.") << call.name;
    }
    nettest::TempFolder folder;
    try {
        brix::networking::BRIXDownloader(ServerSettings{}, "app").Download("/store/a.logdata", folder.Path());
        ADD_FAILURE() << "no exception";
    } catch (const NetworkError& error) {
        EXPECT_EQ(error.code(), NetworkApiInterface::API_NO_SERVER);
        EXPECT_STREQ(error.what(), "No show server configured.");
    }
}

TEST(NetworkApiInterface, AnAddressThatIsNoBaseAddressSendsNothing) {
    for (const char* address : {"127.0.0.1:80", "ftp://127.0.0.1", "http://127.0.0.1/api", "http://user@127.0.0.1",
                                "http://", "http://127.0.0.1:", "http://127.0.0.1:123456"}) {
        const ApiStatus status = AllCalls().front().run(address, {});
        EXPECT_EQ(status.code, NetworkApiInterface::API_BAD_SETTINGS) << address;
    }
}

TEST(BRIXDownloader, ALogLinkLandsByteForByteUnderItsLastSegment) {
    const std::string bytes = nettest::RandomBytes(200000, 7);
    ShowServer server;
    server.Routes().Get("/store/quay-3.1.logdata", [&bytes](const httplib::Request&, httplib::Response& res) {
        res.set_content(bytes, "application/octet-stream");
    });
    server.Start();
    nettest::TempFolder folder;
    const brix::networking::BRIXDownloader downloader(Settings(server.Address()), "tarnwick2-test");

    for (const std::string& link : {std::string("/store/quay-3.1.logdata"),
                                   server.Address() + "/store/quay-3.1.logdata"}) {
        const std::string path = downloader.Download(link, folder.Path());
        EXPECT_EQ(path, (folder.Path() / "quay-3.1.logdata").string());
        EXPECT_EQ(folder.Read("quay-3.1.logdata"), bytes);
        EXPECT_EQ(folder.Files(), std::vector<std::string>{"quay-3.1.logdata"});
    }
}

TEST(BRIXDownloader, ALinkThatLeavesTheServerOrNamesNoFileIsRefusedWithoutARequest) {
    ShowServer server;
    server.Start();
    nettest::TempFolder folder;
    const brix::networking::BRIXDownloader downloader(Settings(server.Address()), "tarnwick2-test");
    for (const std::string& link : {std::string("http://elsewhere.example/quay-3.1.logdata"), std::string("//elsewhere/x.logdata"),
                                   std::string("store/x.logdata"), std::string("/store/"), std::string("/store/.."),
                                   std::string("/store/a b.logdata"), server.Address() + "x/a.logdata"}) {
        try {
            downloader.Download(link, folder.Path());
            ADD_FAILURE() << link << ": no exception";
        } catch (const NetworkError& error) {
            EXPECT_EQ(error.code(), NetworkApiInterface::API_BAD_RESPONSE) << link;
        }
    }
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(folder.Files().empty());
}

TEST(BRIXDownloader, AFailedLinkDownloadKeepsTheEarlierFile) {
    ShowServer server;
    server.Routes().Get("/store/missing.logdata", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
    server.Routes().Get("/store/short.logdata", [](const httplib::Request&, httplib::Response& res) {
        // Announces 100000 bytes, sends 1000, then breaks the connection.
        res.set_content_provider(100000, "application/octet-stream",
                                 [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                     if (offset > 0) return false;
                                     const std::string block(1000, 'x');
                                     return sink.write(block.data(), block.size());
                                 });
    });
    server.Start();
    nettest::TempFolder folder;
    folder.Write("missing.logdata", "earlier");
    folder.Write("short.logdata", "earlier");
    const brix::networking::BRIXDownloader downloader(Settings(server.Address(), kShort), "tarnwick2-test");
    const struct {
        const char* link;
        int code;
    } cases[] = {{"/store/missing.logdata", NetworkApiInterface::API_NOT_FOUND},
                 {"/store/short.logdata", NetworkApiInterface::API_CONNECTION_FAILED}};
    for (const auto& c : cases) {
        try {
            downloader.Download(c.link, folder.Path());
            ADD_FAILURE() << c.link << ": no exception";
        } catch (const NetworkError& error) {
            EXPECT_EQ(error.code(), c.code) << c.link << ": " << error.what();
        }
    }
    EXPECT_EQ(folder.Files(), (std::vector<std::string>{"missing.logdata", "short.logdata"}));
    EXPECT_EQ(folder.Read("missing.logdata"), "earlier");
    EXPECT_EQ(folder.Read("short.logdata"), "earlier");
}

}  // namespace
