#include "Json.h"

#include "Http.h"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

#include <fstream>
#include <iterator>
#include <limits>
#include <set>

namespace brix::networking::detail {

namespace {

rapidjson::Document ParseObject(const std::string& text) {
    rapidjson::Document doc;
    doc.Parse(text.data(), text.size());
    if (doc.HasParseError()) {
        throw BadAnswer(std::string("malformed JSON: ") + rapidjson::GetParseError_En(doc.GetParseError()) +
                        " at offset " + std::to_string(doc.GetErrorOffset()));
    }
    if (!doc.IsObject()) throw BadAnswer("not a JSON object");
    return doc;
}

const rapidjson::Value* Find(const rapidjson::Value& object, const char* key) {
    const auto member = object.FindMember(key);
    return member == object.MemberEnd() ? nullptr : &member->value;
}

const rapidjson::Value& Require(const rapidjson::Value& object, const char* key) {
    const rapidjson::Value* value = Find(object, key);
    if (value == nullptr) throw BadAnswer(std::string("\"") + key + "\" is missing");
    return *value;
}

std::string RequireString(const rapidjson::Value& object, const char* key) {
    const rapidjson::Value& value = Require(object, key);
    if (!value.IsString()) throw BadAnswer(std::string("\"") + key + "\" is not a string");
    return {value.GetString(), value.GetStringLength()};
}

std::uint64_t RequireUnsigned(const rapidjson::Value& object, const char* key, std::uint64_t max) {
    const rapidjson::Value& value = Require(object, key);
    if (!value.IsUint64() || value.GetUint64() > max) {
        throw BadAnswer(std::string("\"") + key + "\" is not a whole number from 0 to " + std::to_string(max));
    }
    return value.GetUint64();
}

std::int64_t RequireInteger(const rapidjson::Value& object, const char* key) {
    const rapidjson::Value& value = Require(object, key);
    if (!value.IsInt64()) throw BadAnswer(std::string("\"") + key + "\" is not a whole number");
    return value.GetInt64();
}

cmn::BRIXVersion RequireVersion(const rapidjson::Value& object) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint16_t>::max();
    return {static_cast<std::uint16_t>(RequireUnsigned(object, "major", kMax)),
            static_cast<std::uint16_t>(RequireUnsigned(object, "minor", kMax))};
}

// The array member key of the answer's object, each element an object.
const rapidjson::Value& RequireObjects(const rapidjson::Value& object, const char* key) {
    const rapidjson::Value& array = Require(object, key);
    if (!array.IsArray()) throw BadAnswer(std::string("\"") + key + "\" is not an array");
    for (const auto& element : array.GetArray()) {
        if (!element.IsObject()) throw BadAnswer(std::string("an element of \"") + key + "\" is not an object");
    }
    return array;
}

}  // namespace

std::optional<ShowFileList> ParseShowFiles(const std::string& body) {
    const rapidjson::Document doc = ParseObject(body);
    if (Find(doc, "files") == nullptr) return std::nullopt;
    ShowFileList files;
    std::set<std::string> names;
    for (const auto& entry : RequireObjects(doc, "files").GetArray()) {
        ShowFile file;
        file.kind = RequireString(entry, "kind");
        file.version = RequireVersion(entry);
        file.name = RequireString(entry, "name");
        if (!IsSafeRelativePath(file.name)) throw BadAnswer("unsafe file name \"" + file.name + "\"");
        if (!names.insert(file.name).second) throw BadAnswer("file \"" + file.name + "\" listed twice");
        file.size = RequireUnsigned(entry, "size", std::numeric_limits<std::uint64_t>::max());
        file.crc32 = static_cast<std::uint32_t>(RequireUnsigned(entry, "crc32", std::numeric_limits<std::uint32_t>::max()));
        file.id = RequireString(entry, "id");
        if (file.id.empty()) throw BadAnswer("file \"" + file.name + "\" has an empty id");
        files.push_back(std::move(file));
    }
    return files;
}

ChangelogFullInfoList ParseLogs(const std::string& body) {
    const rapidjson::Document doc = ParseObject(body);
    ChangelogFullInfoList logs;
    for (const auto& entry : RequireObjects(doc, "logs").GetArray()) {
        logs.push_back({RequireString(entry, "id"), RequireVersion(entry), RequireInteger(entry, "modified")});
    }
    return logs;
}

cmn::BRIXVersion ParseLatestLog(const std::string& body) { return RequireVersion(ParseObject(body)); }

std::string ParseLink(const std::string& body) {
    std::string link = RequireString(ParseObject(body), "link");
    if (link.empty()) throw BadAnswer("\"link\" is empty");
    return link;
}

std::vector<brix_download::ServerChangelogRow> ParsePortalLogs(const std::string& body) {
    const rapidjson::Document doc = ParseObject(body);
    std::vector<brix_download::ServerChangelogRow> rows;
    for (const auto& entry : RequireObjects(doc, "logs").GetArray()) {
        const cmn::BRIXVersion version = RequireVersion(entry);
        rows.push_back({RequireString(entry, "fileUuid"), version.GetMajor(), version.GetMinor(),
                        RequireInteger(entry, "modified")});
    }
    return rows;
}

std::string ParseErrorMessage(const std::string& body) {
    rapidjson::Document doc;
    doc.Parse(body.data(), body.size());
    if (doc.HasParseError() || !doc.IsObject()) return "";
    const rapidjson::Value* message = Find(doc, "message");
    if (message == nullptr || !message->IsString()) return "";
    return {message->GetString(), message->GetStringLength()};
}

std::optional<std::string> ReadShowJson(const std::filesystem::path& showFolder) {
    const std::filesystem::path file = showFolder / "show.json";
    std::error_code error;
    if (!std::filesystem::exists(file, error)) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) throw NetworkError(NetworkApiInterface::API_BAD_SETTINGS, file.string() + ": cannot be opened");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw NetworkError(NetworkApiInterface::API_BAD_SETTINGS, file.string() + ": cannot be read");
    return text;
}

std::optional<ServerSettings> ParseServerSettings(const std::string& showJson) {
    const rapidjson::Document doc = ParseObject(showJson);
    const rapidjson::Value* object = Find(doc, "server");
    if (object == nullptr) return std::nullopt;
    if (!object->IsObject()) throw BadAnswer("\"server\" is not an object");
    ServerSettings settings;
    settings.address = RequireString(*object, "address");
    if (!IsBaseAddress(settings.address)) {
        throw BadAnswer("\"server\": address \"" + settings.address + "\" is not an http or https base address");
    }
    if (Find(*object, "route") != nullptr) {
        const std::string route = RequireString(*object, "route");
        if (route == "portal") {
            settings.route = ServerRoute::Portal;
        } else if (route != "request") {
            throw BadAnswer("\"server\": unknown route \"" + route + "\" (request or portal)");
        }
    }
    if (const rapidjson::Value* credentials = Find(*object, "credentials")) {
        if (!credentials->IsObject()) throw BadAnswer("\"server\": \"credentials\" is not an object");
        if (Find(*credentials, "show") != nullptr) settings.credentials.show = RequireString(*credentials, "show");
        if (Find(*credentials, "token") != nullptr) settings.credentials.token = RequireString(*credentials, "token");
    }
    return settings;
}

bool ReadShowNames(const std::string& showJson, ShowRecord& record) {
    rapidjson::Document doc;
    doc.Parse(showJson.data(), showJson.size());
    if (doc.HasParseError() || !doc.IsObject()) return false;
    if (const rapidjson::Value* name = Find(doc, "name"); name != nullptr && name->IsString()) {
        record.name.assign(name->GetString(), name->GetStringLength());
    }
    if (const rapidjson::Value* customer = Find(doc, "customer"); customer != nullptr && customer->IsString()) {
        record.customer.assign(customer->GetString(), customer->GetStringLength());
    }
    return true;
}

}  // namespace brix::networking::detail
