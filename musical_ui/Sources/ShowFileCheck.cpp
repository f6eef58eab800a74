#include "ShowFileCheck.h"

#include <brix_networking_http/NetworkApiInterface.h>
#include <brix_networking_http/ShowDownload.h>

#include <iostream>

namespace brix {

namespace {

using networking::DownloadPlan;
using networking::NetworkApiInterface;

// The request route: the server's file list checked against the show folder.
std::unique_ptr<DownloadPlan> CheckWithFileList(const networking::ShowRecord& show, const std::string& applicationId) {
    NetworkApiInterface api(show.server ? show.server->address : std::string(),
                            show.server ? show.server->timeouts : networking::Timeouts{});
    if (show.server) {
        api.SetCredentials(show.server->credentials);
    }
    api.SetApplicationId(applicationId);
    const auto result = api.GetAllShowFiles();
    if (result.code != NetworkApiInterface::API_SUCCESS) {
        std::cerr << "Getting file list failed: "
                  << (result.displayMessage.empty() ? "No error message. Possible network failure."
                                                    : result.displayMessage)
                  << std::endl;
        return std::make_unique<DownloadPlan>();
    }
    if (!result.value) {
        return std::make_unique<DownloadPlan>();
    }
    return networking::ValidateDownloadPlan(*networking::GetDownloadPlan(*result.value), show.folder);
}

}  // namespace

std::unique_ptr<DownloadPlan> CheckShowFiles(const networking::ShowRecord& show, const std::string& applicationId) {
    try {
        if (show.server && show.server->route == networking::ServerRoute::Portal) {
            try {
                auto plan = std::make_unique<DownloadPlan>();
                brix_download::GetPortalRepairPlan(*plan, show.folder, applicationId);
                return plan;
            } catch (const std::exception& e) {
                std::cerr << "Portal file validation failed: " << e.what() << "\nTrying legacy file validation..."
                          << std::endl;
            }
        }
        return CheckWithFileList(show, applicationId);
    } catch (const std::exception& e) {
        // The folder cannot be read or the list cannot be checked: open the show as it is.
        std::cerr << "Getting file list failed: " << e.what() << std::endl;
        return std::make_unique<DownloadPlan>();
    }
}

QString UpdateNotice(const DownloadPlan& plan) {
    bool logUpdated = false;
    bool filesUpdated = false;
    QString logVersion;
    for (const auto& file : plan.files) {
        if (file.kind == "LOG") {
            logUpdated = true;
            logVersion = QStringLiteral("%1.%2").arg(file.version.GetMajor()).arg(file.version.GetMinor());
        } else {
            filesUpdated = true;
        }
    }
    if (logUpdated && filesUpdated) {
        return QStringLiteral("The event log has been updated to version ") + logVersion +
               QStringLiteral(" and the show files have been repaired or updated to the latest version.");
    }
    if (logUpdated) {
        return QStringLiteral("The event log has been updated to version ") + logVersion + QStringLiteral(".");
    }
    if (filesUpdated) {
        return QStringLiteral("The show files have been repaired or updated to the latest version.");
    }
    return {};
}

}  // namespace brix
