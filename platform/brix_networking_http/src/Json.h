#pragma once

#include <brix_networking_http/NetworkTypes.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

// Readers of the server's JSON answers and of show.json. Internal.
namespace brix::networking::detail {

// What is wrong with an answer; the caller turns it into API_BAD_RESPONSE.
class BadAnswer : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// {"files": [...]}: nothing when "files" is absent. Names must be safe relative paths, given once.
std::optional<ShowFileList> ParseShowFiles(const std::string& body);
// {"logs": [{"id", "major", "minor", "modified"}...]}
ChangelogFullInfoList ParseLogs(const std::string& body);
// {"major", "minor"}
cmn::BRIXVersion ParseLatestLog(const std::string& body);
// {"link": "..."}: a non-empty string.
std::string ParseLink(const std::string& body);
// {"logs": [{"fileUuid", "major", "minor", "modified"}...]}
std::vector<brix_download::ServerChangelogRow> ParsePortalLogs(const std::string& body);
// {"message": "..."}: the message, or "" for any other body.
std::string ParseErrorMessage(const std::string& body);

// The show.json of a folder, read whole; throws NetworkError (API_BAD_SETTINGS) when it cannot be
// read, nothing when the file does not exist.
std::optional<std::string> ReadShowJson(const std::filesystem::path& showFolder);
// The "server" object of a show.json text; throws BadAnswer for malformed JSON or a malformed object.
std::optional<ServerSettings> ParseServerSettings(const std::string& showJson);
// The "name" and "customer" strings of a show.json text into the record (each only when present as a
// string); false for a text that is no JSON object.
bool ReadShowNames(const std::string& showJson, ShowRecord& record);

}  // namespace brix::networking::detail
