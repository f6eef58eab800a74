#pragma once

#include <brix_networking_http/NetworkTypes.h>

#include <filesystem>
#include <string>

namespace brix::networking {

// Fetches linked files of the show server into a folder, with the show's credentials.
//
// Every download of this library (this class, the show download and the portal file of
// ShowDownload.h) receives a file into "<name>.part" beside its target and renames it over the target
// only when it is whole: the answer's Content-Length arrived and, when the server listed them, the
// size and CRC-32 match. A failure or a cancel removes the partial file and leaves an earlier version
// of the target as it was. Synchronous; throws NetworkError (the codes of NetworkApiInterface.h).
class BRIXDownloader {
public:
    BRIXDownloader(ServerSettings server, std::string applicationId);

    // Fetches a log link (NetworkApiInterface::GetChangelogLinkByVersion) into the folder, under the
    // link's last path segment, and returns the file's path. A link that leaves the server or whose
    // last segment is no plain file name is refused (API_BAD_RESPONSE) without a request.
    std::string Download(const std::string& link, const std::filesystem::path& folder) const;

private:
    ServerSettings server_;
    std::string applicationId_;
};

}  // namespace brix::networking
