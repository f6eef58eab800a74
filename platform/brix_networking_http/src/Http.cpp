#include "Http.h"

#include "Json.h"

#include <httplib.h>

#include <cctype>

namespace brix::networking::detail {

namespace {

// A JSON answer larger than this is refused: every answer of the protocol is a small object.
constexpr std::size_t kMaxJsonAnswer = 4u * 1024u * 1024u;
// The longest server message that is shown to the user.
constexpr std::size_t kMaxServerMessage = 300;

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

}  // namespace

std::string EncodeSegment(const std::string& segment) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : segment) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xf];
        }
    }
    return out;
}

bool IsBaseAddress(const std::string& address) {
    std::string rest;
    if (address.starts_with("http://")) {
        rest = address.substr(7);
    } else if (address.starts_with("https://")) {
        rest = address.substr(8);
    } else {
        return false;
    }
    if (rest.empty() || rest.front() == ':') return false;
    const std::size_t colon = rest.find(':');
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(rest[i]);
        const bool inPort = colon != std::string::npos && i > colon;
        if (inPort ? !std::isdigit(c) : !(std::isalnum(c) || c == '-' || c == '.' || (c == ':' && i == colon)))
            return false;
    }
    return colon == std::string::npos || (rest.size() > colon + 1 && rest.size() - colon - 1 <= 5);
}

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name.front() == '.') return false;
    for (const unsigned char c : name) {
        if (c == '/' || c == '\\' || IsControl(c)) return false;
    }
    return true;
}

bool IsSafeRelativePath(const std::string& path) {
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = path.find('/', start);
        if (!IsPlainFileName(path.substr(start, slash - start))) return false;
        if (slash == std::string::npos) return true;
        start = slash + 1;
    }
}

std::string DefaultDisplayMessage(int code) {
    switch (code) {
        case NetworkApiInterface::API_SUCCESS: return "";
        case NetworkApiInterface::API_BAD_REQUEST: return "The show server refused the request as malformed.";
        case NetworkApiInterface::API_UNAUTHORIZED: return "The show server did not accept this show's credentials.";
        case NetworkApiInterface::API_NOT_FOUND: return "The show server does not have what was asked for.";
        case NetworkApiInterface::API_SERVER_ERROR: return "The show server failed to answer the request.";
        case NetworkApiInterface::API_CONNECTION_FAILED: return "The show server could not be reached.";
        case NetworkApiInterface::API_BAD_RESPONSE: return "The show server's answer could not be read.";
        case NetworkApiInterface::API_NO_SERVER: return "No show server configured.";
        default: return "The show's server settings are not usable.";
    }
}

ApiStatus CheckSettings(const ServerSettings& server) {
    if (server.address.empty()) {
        return {NetworkApiInterface::API_NO_SERVER, DefaultDisplayMessage(NetworkApiInterface::API_NO_SERVER)};
    }
    if (!IsBaseAddress(server.address)) {
        return {NetworkApiInterface::API_BAD_SETTINGS,
                "The show server's address \"" + server.address + "\" is not an http or https base address."};
    }
    return {};
}

ApiStatus StatusOfAnswer(int httpStatus, const std::string& body, const std::string& what) {
    int code = NetworkApiInterface::API_SERVER_ERROR;
    switch (httpStatus) {
        case 200:
        case 201: return {};
        case 400: code = NetworkApiInterface::API_BAD_REQUEST; break;
        case 401:
        case 403: code = NetworkApiInterface::API_UNAUTHORIZED; break;
        case 404: code = NetworkApiInterface::API_NOT_FOUND; break;
        default: break;
    }
    std::string message = DefaultDisplayMessage(code) + " (" + what + ": HTTP " + std::to_string(httpStatus) + ")";
    std::string serverMessage = ParseErrorMessage(body);
    if (!serverMessage.empty()) {
        if (serverMessage.size() > kMaxServerMessage) serverMessage = serverMessage.substr(0, kMaxServerMessage) + "...";
        message += " " + serverMessage;
    }
    return {code, message};
}

ApiStatus Send(const ServerSettings& server, const std::string& applicationId, const std::string& method,
               const std::string& route, const std::string& uploadBody, std::string& body) {
    if (ApiStatus settings = CheckSettings(server); settings.code != NetworkApiInterface::API_SUCCESS) {
        return settings;
    }
    httplib::Client client(server.address);
    client.set_connection_timeout(server.timeouts.connect);
    client.set_read_timeout(server.timeouts.read);
    client.set_write_timeout(server.timeouts.read);
    httplib::Headers headers{{"Authorization", "Bearer " + server.credentials.token}, {"Accept", "application/json"}};
    if (!applicationId.empty()) headers.emplace("X-Brix-Application", applicationId);
    body.clear();
    bool tooLarge = false;
    httplib::Result result = [&] {
        if (method == "POST") {
            return client.Post(route, headers, uploadBody, "application/octet-stream");
        }
        return client.Get(route, headers, [&](const char* data, std::size_t size) {
            if (body.size() + size > kMaxJsonAnswer) {
                tooLarge = true;
                return false;
            }
            body.append(data, size);
            return true;
        });
    }();
    const std::string what = method + " " + route;
    if (tooLarge) {
        return {NetworkApiInterface::API_BAD_RESPONSE,
                DefaultDisplayMessage(NetworkApiInterface::API_BAD_RESPONSE) + " (" + what + ": larger than 4 MiB)"};
    }
    if (!result) {
        return {NetworkApiInterface::API_CONNECTION_FAILED,
                DefaultDisplayMessage(NetworkApiInterface::API_CONNECTION_FAILED) + " (" + what + " at " +
                    server.address + ": " + httplib::to_string(result.error()) + ")"};
    }
    if (method == "POST") body = result->body;
    return StatusOfAnswer(result->status, body, what);
}

void Throw(const ApiStatus& status) { throw NetworkError(status.code, status.displayMessage); }

}  // namespace brix::networking::detail
