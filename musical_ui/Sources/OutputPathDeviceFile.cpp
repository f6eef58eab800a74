#include "OutputPathDeviceFile.h"

#include <fennic/Exceptions.h>
#include <fennic/Path.h>
#include <fennic/ReplaceFile.h>

// RapidJSON's own checks stay on in every build: an access of the wrong type stops the program at once
// (and the fuzzer with it) instead of reading memory as the wrong kind of value. Defined before the
// first RapidJSON header, since a function-like macro cannot come from the command line.
#include <cstdlib>
#define RAPIDJSON_ASSERT(x) ((x) ? (void)0 : std::abort())
#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

namespace brix {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The value as a text, or nothing when it is not a string of valid UTF-8. Parsing validates the bytes
// of strings, but a "\u" escape of a lone surrogate still yields bytes that are not UTF-8.
std::optional<std::string> TextOf(const rapidjson::Value& value) {
    if (!value.IsString()) {
        return std::nullopt;
    }
    rapidjson::StringStream in(value.GetString());
    rapidjson::StringBuffer checked;
    while (in.Tell() < value.GetStringLength()) {
        if (!rapidjson::UTF8<>::Validate(in, checked)) {
            return std::nullopt;
        }
    }
    return std::string(value.GetString(), value.GetStringLength());
}

// Keeps the first failure as the result's error.
void Note(OutputPathDevices& result, std::string failure) {
    if (result.error.empty()) {
        result.error = std::move(failure);
    }
}

// The text of the element's member key, or nothing, with the failure noted after the element's
// description, when the member is missing or not a valid string. noun names the member in the texts.
std::optional<std::string> MemberText(const rapidjson::Value& element, const char* key, const char* noun,
                                      const std::string& described, OutputPathDevices& result) {
    const auto member = element.FindMember(key);
    if (member == element.MemberEnd()) {
        Note(result, described + " does not have " + noun + ". Failing.");
        return std::nullopt;
    }
    std::optional<std::string> text = TextOf(member->value);
    if (!text) {
        Note(result, described + "has " + noun + " that is not a valid string. Failing.");
    }
    return text;
}

// Reads one element of "outputpaths" into the result. lastId is the id of the last element whose id
// was read ("" before the first).
void ReadElement(const rapidjson::Value& element, std::string& lastId, OutputPathDevices& result) {
    const std::string where =
        lastId.empty() ? "The first outputpath found " : "The outputpath after the outputpath with id " + lastId + " ";
    if (!element.IsObject()) {
        Note(result, where + "is not an object. Failing.");
        return;
    }
    std::optional<std::string> id = MemberText(element, "id", "an id", where, result);
    if (!id) {
        return;
    }
    lastId = std::move(*id);
    const std::string owner =
        lastId.empty() ? "The first outputpath found " : "The outputpath with id " + lastId + " ";
    std::optional<std::string> hwid = MemberText(element, "hwid", "a hwid", owner, result);
    if (hwid) {
        result.hwids[lastId] = std::move(*hwid);
    }
}

std::filesystem::path FileSystemPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

OutputPathDevices ParseOutputPathDevices(std::string_view text) {
    OutputPathDevices result;
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    rapidjson::Document document;
    // Iterative parsing keeps deep nesting off the call stack; strings must be valid UTF-8.
    document.Parse<rapidjson::kParseIterativeFlag | rapidjson::kParseValidateEncodingFlag>(text.data(), text.size());
    if (document.HasParseError()) {
        const rapidjson::ParseErrorCode code = document.GetParseError();
        result.error = "The output path config file has a parse error: " + std::to_string(static_cast<int>(code)) +
                       " " + rapidjson::GetParseError_En(code);
        result.unreadable = code != rapidjson::kParseErrorDocumentEmpty;
        return result;
    }
    const auto unreadable = [&result](std::string failure) {
        result.error = std::move(failure);
        result.unreadable = true;
        return result;
    };
    if (!document.IsObject() || !document.HasMember("outputpaths")) {
        return unreadable("The output path config file does not contain a field called \"outputpaths\" and cannot be read.");
    }
    const rapidjson::Value& paths = document["outputpaths"];
    if (!paths.IsArray()) {
        return unreadable("The output path config file's field \"outputpaths\" is not an array and cannot be read.");
    }
    std::string lastId;
    for (const rapidjson::Value& element : paths.GetArray()) {
        ReadElement(element, lastId, result);
    }
    return result;
}

std::string FormatOutputPathDevices(const std::map<std::string, std::string>& hwids) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.StartObject();
    writer.Key("outputpaths");
    writer.StartArray();
    for (const auto& [id, hwid] : hwids) {
        writer.StartObject();
        writer.Key("id");
        writer.String(id.data(), static_cast<rapidjson::SizeType>(id.size()));
        writer.Key("hwid");
        writer.String(hwid.data(), static_cast<rapidjson::SizeType>(hwid.size()));
        writer.EndObject();
    }
    writer.EndArray();
    writer.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize());
}

OutputPathDeviceFile::OutputPathDeviceFile(const std::string& showDirectory)
    : path_(fennic::path::Join(showDirectory, "outputpathdevices.json")) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(FileSystemPath(path_), error);
    if (status.type() == std::filesystem::file_type::not_found) {
        read_.error = "The Output path config file " + path_ + " does not exist.";
        return;
    }
    std::ifstream in;
    // Anything but a regular file (a folder, a pipe) is not read: reading a pipe could block for good.
    if (!error && status.type() == std::filesystem::file_type::regular) {
        in.open(FileSystemPath(path_), std::ios::binary);
    }
    std::string text;
    char chunk[4096];
    while (in.is_open() && (in.read(chunk, sizeof chunk) || in.gcount() > 0)) {
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    if (!in.is_open() || in.bad()) {
        read_.error = "The Output path config file " + path_ + " cannot be read.";
        read_.unreadable = true;
        return;
    }
    read_ = ParseOutputPathDevices(text);
}

void OutputPathDeviceFile::Write(const std::vector<CL::OutputPath>& paths) {
    if (read_.unreadable) {
        throw fennic::IoError("The output path config file " + path_ +
                              " is not overwritten, since it could not be read (" + read_.error +
                              "). Correct or remove it, then open the show again.");
    }
    std::map<std::string, std::string> hwids;
    for (const CL::OutputPath& path : paths) {
        hwids[path.GetId()] = path.GetDeviceId();
    }
    fennic::ReplaceFileContents(FileSystemPath(path_), FormatOutputPathDevices(hwids));
}

}  // namespace brix
