#pragma once

#include <brix_networking_http/NetworkTypes.h>

#include <QString>

#include <memory>
#include <string>

namespace brix {

// The files of a show that must be fetched before it opens. On the portal route the portal's repair
// plan is asked first and, when that throws, the request route's file list checked against the folder
// instead. Never throws: a failure of the server (none configured included) is written to the standard
// error stream and gives an empty plan, so the show opens with the files it has.
std::unique_ptr<networking::DownloadPlan> CheckShowFiles(const networking::ShowRecord& show,
                                                         const std::string& applicationId);

// What the main window announces after a download of the plan: which of the event log (its version)
// and the show files were updated; empty when the plan is empty.
QString UpdateNotice(const networking::DownloadPlan& plan);

}  // namespace brix
