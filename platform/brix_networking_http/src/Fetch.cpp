#include "Fetch.h"

#include "Http.h"

#include <brix_networking_http/NetworkApiInterface.h>

#include <httplib.h>
#include <zlib.h>

#include <exception>
#include <fstream>

namespace brix::networking::detail {

namespace {

// A file being received: "<target>.part", removed unless Commit renamed it over the target.
class PartFile {
public:
    explicit PartFile(std::filesystem::path target) : target_(std::move(target)) {
        part_ = target_;
        part_ += ".part";
        std::filesystem::create_directories(target_.parent_path());
        out_.open(part_, std::ios::binary | std::ios::trunc);
        if (!out_.is_open()) throw fennic::IoError(part_.string() + ": cannot be created");
    }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;
    ~PartFile() {
        if (committed_) return;
        out_.close();
        std::error_code ignored;
        std::filesystem::remove(part_, ignored);
    }

    void Write(const char* data, std::size_t size) {
        out_.write(data, static_cast<std::streamsize>(size));
        if (!out_) throw fennic::IoError(part_.string() + ": cannot be written");
    }

    void Commit() {
        out_.close();
        if (!out_) throw fennic::IoError(part_.string() + ": cannot be written");
        std::error_code error;
        std::filesystem::rename(part_, target_, error);
        if (error) throw fennic::IoError(target_.string() + ": cannot be replaced: " + error.message());
        committed_ = true;
    }

private:
    std::filesystem::path target_;
    std::filesystem::path part_;
    std::ofstream out_;
    bool committed_ = false;
};

NetworkError BadDownload(const std::string& route, const std::string& fault) {
    return NetworkError(NetworkApiInterface::API_BAD_RESPONSE,
                        DefaultDisplayMessage(NetworkApiInterface::API_BAD_RESPONSE) + " (GET " + route + ": " + fault + ")");
}

}  // namespace

std::string FileNameOfContentDisposition(const std::string& value) {
    const std::size_t key = value.find("filename=");
    if (key == std::string::npos) return "";
    std::size_t start = key + 9;
    if (start < value.size() && value[start] == '"') {
        const std::size_t end = value.find('"', start + 1);
        if (end == std::string::npos) return "";
        return value.substr(start + 1, end - start - 1);
    }
    const std::size_t end = value.find(';', start);
    std::string name = value.substr(start, end == std::string::npos ? std::string::npos : end - start);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

std::optional<std::filesystem::path> Fetch(const ServerSettings& server, const std::string& applicationId,
                                           const std::string& route, const ChooseTarget& chooseTarget,
                                           const FetchExpected& expected, const std::atomic<bool>* cancel,
                                           const FetchProgress& progress) {
    if (ApiStatus settings = CheckSettings(server); settings.code != NetworkApiInterface::API_SUCCESS) {
        Throw(settings);
    }
    if (cancel != nullptr && cancel->load()) return std::nullopt;
    httplib::Client client(server.address);
    client.set_connection_timeout(server.timeouts.connect);
    client.set_read_timeout(server.timeouts.read);
    httplib::Headers headers{{"Authorization", "Bearer " + server.credentials.token}};
    if (!applicationId.empty()) headers.emplace("X-Brix-Application", applicationId);

    // Set by the handlers below, which must not throw through the HTTP library: a fault is kept and
    // thrown once the request has returned.
    std::exception_ptr fault;
    std::optional<std::filesystem::path> target;
    std::optional<PartFile> part;
    std::string errorBody;
    std::uint64_t length = 0;
    std::uint64_t received = 0;
    uLong crc = crc32(0L, Z_NULL, 0);

    const auto onAnswer = [&](const httplib::Response& answer) {
        if (answer.status != 200) return true;  // the error body is collected for its message
        try {
            if (!answer.has_header("Content-Length")) throw BadDownload(route, "no Content-Length");
            const std::string value = answer.get_header_value("Content-Length");
            if (value.empty() || value.size() > 19 || value.find_first_not_of("0123456789") != std::string::npos) {
                throw BadDownload(route, "bad Content-Length \"" + value + "\"");
            }
            length = std::stoull(value);
            if (expected.size && *expected.size != length) {
                throw BadDownload(route, "Content-Length " + value + " where " + std::to_string(*expected.size) +
                                             " bytes were listed");
            }
            target = chooseTarget(answer.get_header_value("Content-Disposition"));
            part.emplace(*target);
        } catch (...) {
            fault = std::current_exception();
            return false;
        }
        return true;
    };
    const auto onBlock = [&](const char* data, std::size_t size) {
        if (!part) {
            if (errorBody.size() < 64 * 1024) errorBody.append(data, size);
            return true;
        }
        try {
            if (received + size > length) throw BadDownload(route, "more bytes than its Content-Length");
            part->Write(data, size);
            crc = crc32(crc, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(size));
            received += size;
            if (progress) progress(received, length);
        } catch (...) {
            fault = std::current_exception();
            return false;
        }
        return !(cancel != nullptr && cancel->load());
    };

    httplib::Result result = client.Get(route, headers, onAnswer, onBlock);
    if (fault) std::rethrow_exception(fault);
    if (cancel != nullptr && cancel->load()) return std::nullopt;
    if (!result) {
        Throw({NetworkApiInterface::API_CONNECTION_FAILED,
               DefaultDisplayMessage(NetworkApiInterface::API_CONNECTION_FAILED) + " (GET " + route + " at " +
                   server.address + ": " + httplib::to_string(result.error()) + " after " + std::to_string(received) +
                   " bytes)"});
    }
    if (result->status != 200) Throw(StatusOfAnswer(result->status, errorBody, "GET " + route));
    if (received != length) {
        throw BadDownload(route, std::to_string(received) + " of " + std::to_string(length) + " bytes received");
    }
    if (expected.crc32 && *expected.crc32 != static_cast<std::uint32_t>(crc)) {
        throw BadDownload(route, "the content does not match its listed CRC-32");
    }
    part->Commit();
    return target;
}

}  // namespace brix::networking::detail
