#include <brix_networking_http/BRIXDownloader.h>

#include "Fetch.h"
#include "Http.h"

#include <brix_networking_http/NetworkApiInterface.h>

namespace brix::networking {

namespace {

[[noreturn]] void RefuseLink(const std::string& link, const std::string& fault) {
    throw NetworkError(NetworkApiInterface::API_BAD_RESPONSE,
                       detail::DefaultDisplayMessage(NetworkApiInterface::API_BAD_RESPONSE) + " (log link \"" + link +
                           "\": " + fault + ")");
}

}  // namespace

BRIXDownloader::BRIXDownloader(ServerSettings server, std::string applicationId)
    : server_(std::move(server)), applicationId_(std::move(applicationId)) {}

std::string BRIXDownloader::Download(const std::string& link, const std::filesystem::path& folder) const {
    if (const ApiStatus settings = detail::CheckSettings(server_); settings.code != NetworkApiInterface::API_SUCCESS) {
        detail::Throw(settings);
    }
    // The credentials go to this server only: a link is a path on it, or a URL under its address.
    std::string route = link;
    if (route.starts_with(server_.address + "/")) route.erase(0, server_.address.size());
    if (!route.starts_with("/") || route.starts_with("//")) RefuseLink(link, "not a path on the show server");
    for (const unsigned char c : route) {
        if (c <= 0x20 || c >= 0x7f || c == '#' || c == '\\') RefuseLink(link, "a character not allowed in a link");
    }
    const std::string path = route.substr(0, route.find('?'));
    const std::string name = path.substr(path.rfind('/') + 1);
    if (!detail::IsPlainFileName(name)) RefuseLink(link, "no file name at its end");
    const auto target = detail::Fetch(server_, applicationId_, route,
                                      [&](const std::string&) { return folder / name; });
    return target->string();
}

}  // namespace brix::networking
