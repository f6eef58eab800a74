#pragma once

// What the Launcher's and the download window's tests share: shows served by the in-process show
// server (ShowServer.h) through the request route's file list and file download, and the treatment of
// one warning of the offscreen platform.

#include "QmlTest.h"
#include "ShowServer.h"

#include <brix_networking_http/NetworkTypes.h>

#include <zlib.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace musical_test {

inline std::uint32_t Crc(const std::string& bytes) {
    return static_cast<std::uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

struct ServedShow {
    std::map<std::string, std::string> contentById;
    brix::networking::DownloadPlan plan;

    void Add(const std::string& kind, cmn::BRIXVersion version, const std::string& name, std::string bytes) {
        const std::string id = "id" + std::to_string(contentById.size());
        plan.files.push_back({kind, version, name, bytes.size(), Crc(bytes), id});
        contentById[id] = std::move(bytes);
    }

    // The file list of show "quay" and its file downloads.
    void Serve(httplib::Server& routes) const {
        routes.Get("/api/shows/quay/files", [this](const httplib::Request&, httplib::Response& res) {
            std::string body = R"({"files": [)";
            for (std::size_t i = 0; i < plan.files.size(); ++i) {
                const auto& file = plan.files[i];
                body += (i ? "," : "") + std::string(R"({"kind": ")") + file.kind + R"(", "name": ")" + file.name +
                        R"(", "major": )" + std::to_string(file.version.GetMajor()) + R"(, "minor": )" +
                        std::to_string(file.version.GetMinor()) + R"(, "size": )" + std::to_string(file.size) +
                        R"(, "crc32": )" + std::to_string(file.crc32) + R"(, "id": ")" + file.id + R"("})";
            }
            res.set_content(body + "]}", "application/json");
        });
        routes.Get(R"(/api/shows/quay/files/(\w+))", [this](const httplib::Request& req, httplib::Response& res) {
            const auto found = contentById.find(req.matches[1]);
            if (found == contentById.end()) {
                res.status = 404;
                return;
            }
            res.set_content(found->second, "application/octet-stream");
        });
    }
};

// The "server" member of a show.json for show "quay" at the address.
inline std::string ServerMember(const std::string& address) {
    return R"(, "server": {"address": ")" + address +
           R"(", "route": "request", "credentials": {"show": "quay", "token": "secret-token"}})";
}

// A show record of the folder with the server at the address and a short read timeout.
inline brix::networking::ShowRecord QuayRecord(const std::string& address, const std::string& folder) {
    brix::networking::ShowRecord record;
    record.id = folder;
    record.name = "Quay";
    record.folder = folder;
    brix::networking::ServerSettings server;
    server.address = address;
    server.credentials = {"quay", "secret-token"};
    server.timeouts.read = std::chrono::milliseconds(500);
    record.server = server;
    return record;
}

// One way a show server fails a request: 401, 400, an answer that never comes, or no server at all
// (`refuse`: the show names an address where nothing listens).
struct ServerFailure {
    const char* what;
    std::function<void(nettest::ShowServer&)> setUp;
    bool refuse;
};

// The failures of the GET route `route`.
inline std::vector<ServerFailure> ServerFailures(const std::string& route) {
    const auto status = [route](int code) {
        return [route, code](nettest::ShowServer& s) {
            s.Routes().Get(route, [code](const httplib::Request&, httplib::Response& res) { res.status = code; });
        };
    };
    return {
        {"unauthorized", status(401), false},
        {"bad request", status(400), false},
        {"slow server", [route](nettest::ShowServer& s) {
             s.Routes().Get(route, [&s](const httplib::Request&, httplib::Response&) { s.Hold(); });
         }, false},
        {"refused connection", [](nettest::ShowServer&) {}, true},
    };
}

}  // namespace musical_test
