#pragma once

#include <brix_networking_http/DownloadCallbacks.h>
#include <brix_networking_http/NetworkTypes.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

// The show download and the portal route of the show server (routes in NetworkApiInterface.h).
// Synchronous; every failure throws brix::networking::NetworkError with its code and display message.
// The functions given only a show folder take the server from the folder's show.json
// (brix::networking::ReadServerSettings); without one they throw "No show server configured." at once.
namespace brix_download {

// download plan: asks the show's portal for the show's files and fills the plan with those that the
// folder lacks or holds with another content (ValidateDownloadPlan). The plan is replaced.
void GetPortalRepairPlan(brix::networking::DownloadPlan& plan, const std::string& showFolder,
                         const std::string& applicationId);

// The repair download of an existing show: fetches every file of the plan into the show folder (the
// record's server; the request route's file download or the portal file of type 1, by the record's
// route), reporting through the callbacks. Files already fetched stay when a later one fails.
// Returns the record with name and customer read again from the folder's show.json (kept when it
// cannot be read); returns a record with an empty id when *cancel turned true (the file being
// fetched is then removed, the files before it stay).
brix::networking::ShowRecord RepairExistingShow(
    const brix::networking::ShowRecord& record,
    const std::shared_ptr<brix::networking::DownloadCallbacks>& callbacks,
    const std::atomic<bool>* cancel, const std::string& showFolder,
    std::unique_ptr<brix::networking::DownloadPlan> plan);

// portal logs: the change-log versions the portal stores for the show, in the server's order; the
// given credentials replace those of show.json.
std::vector<ServerChangelogRow> PopulatePortalLogs(const std::string& showFolder,
                                                   const brix::networking::Credentials& credentials);

// portal file: fetches a file of the portal (type 2: a change log) into the show folder under the
// name the answer gives, and returns its path.
std::string DownloadServerChangelogFile(const std::string& fileUuid, int type,
                                        const std::string& showFolder);

// portal share: sends the change-log file (a path) to the portal under its file name.
void ShareLogfiles(const std::string& showFolder, const std::string& changelogFile);

}  // namespace brix_download
