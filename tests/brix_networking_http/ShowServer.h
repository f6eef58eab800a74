#pragma once

// An in-process show server for the tests: a cpp-httplib server on 127.0.0.1 with an ephemeral port,
// running from Start() until destruction. Routes are added before Start(). It records every request
// it answers and can hold answers back (a slow server) until Release() or destruction.

#include <httplib.h>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace nettest {

struct SeenRequest {
    std::string method;
    std::string path;
    std::string query;  // "type=2"; "" without parameters
    std::string authorization;
    std::string application;
    std::string contentType;
};

class ShowServer {
public:
    ShowServer() {
        port_ = server_.bind_to_any_port("127.0.0.1");
        // Recorded before routing, so before the client can see an answer. Bodies are read after
        // routing: a POST route keeps its body with KeepBody.
        server_.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
            Record(request);
            return httplib::Server::HandlerResponse::Unhandled;
        });
    }
    ShowServer(const ShowServer&) = delete;
    ShowServer& operator=(const ShowServer&) = delete;
    ~ShowServer() {
        Release();
        if (thread_.joinable()) {
            server_.stop();
            thread_.join();
        }
    }

    httplib::Server& Routes() { return server_; }

    // Serves until destruction; returns once the server accepts connections.
    void Start() {
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // listen_after_bind marks the server running first thing; stop() before that would be lost.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!server_.is_running() && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
        ASSERT_TRUE(server_.is_running());
    }

    std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_); }

    std::vector<SeenRequest> Requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    std::vector<std::string> Bodies() const {
        std::lock_guard lock(mutex_);
        return bodies_;
    }
    void KeepBody(const std::string& body) {
        std::lock_guard lock(mutex_);
        bodies_.push_back(body);
    }

    // Called by a route: waits until Release() (or 30 s, so that a forgotten release cannot hang).
    void Hold() {
        std::unique_lock lock(mutex_);
        released_.wait_for(lock, std::chrono::seconds(30), [this] { return release_; });
    }
    void Release() {
        {
            std::lock_guard lock(mutex_);
            release_ = true;
        }
        released_.notify_all();
    }

private:
    void Record(const httplib::Request& request) {
        SeenRequest seen{request.method, request.path, "", request.get_header_value("Authorization"),
                         request.get_header_value("X-Brix-Application"), request.get_header_value("Content-Type")};
        for (const auto& [key, value] : request.params) {
            seen.query += (seen.query.empty() ? "" : "&") + key + "=" + value;
        }
        std::lock_guard lock(mutex_);
        requests_.push_back(std::move(seen));
    }

    httplib::Server server_;
    int port_ = -1;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    bool release_ = false;
    std::vector<SeenRequest> requests_;
    std::vector<std::string> bodies_;
};

// An address where nothing listens: a port of 127.0.0.1 that was just bound and closed again.
inline std::string RefusingAddress() {
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool bound = probe >= 0 && ::bind(probe, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
                       ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    if (probe >= 0) ::close(probe);
    EXPECT_TRUE(bound) << "no probe port";
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
}

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder() {
        static std::mt19937_64 random{std::random_device{}()};
        path_ = std::filesystem::temp_directory_path() / ("brix_net_" + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }
    std::string String() const { return path_.string(); }

    void Write(const std::string& name, const std::string& bytes) const {
        std::filesystem::create_directories((path_ / name).parent_path());
        std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }
    // The names of every file under the folder, "/"-separated, sorted.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_)) {
            if (entry.is_regular_file()) names.push_back(entry.path().lexically_relative(path_).generic_string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

// size bytes of every value 0..255, in a pseudo-random order of the seed.
inline std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random() & 0xff);
    return bytes;
}

}  // namespace nettest
