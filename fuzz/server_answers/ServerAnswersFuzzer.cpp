// Fuzzes the readers of the show server's JSON answers and of show.json's "server" object: the first
// byte picks the reader, the rest is the text. Any text gives a value or BadAnswer; every file name
// read is a safe path inside the show folder, named once, and every address read is a base address.

#include "FuzzSupport.h"

#include "Http.h"
#include "Json.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

namespace detail = brix::networking::detail;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    try {
        switch (data[0] % 6) {
            case 0:
                if (const auto files = detail::ParseShowFiles(text)) {
                    std::set<std::string> names;
                    for (const auto& file : *files) {
                        fuzz::Require(detail::IsSafeRelativePath(file.name), "file names stay inside the folder");
                        fuzz::Require(names.insert(file.name).second, "each file is named once");
                        fuzz::Require(!file.id.empty(), "each file has an id");
                    }
                }
                break;
            case 1: detail::ParseLogs(text); break;
            case 2: detail::ParseLatestLog(text); break;
            case 3: fuzz::Require(!detail::ParseLink(text).empty(), "a link is not empty"); break;
            case 4: detail::ParsePortalLogs(text); break;
            default:
                detail::ParseErrorMessage(text);
                if (const auto server = detail::ParseServerSettings(text)) {
                    fuzz::Require(detail::IsBaseAddress(server->address), "the address is a base address");
                }
                break;
        }
    } catch (const detail::BadAnswer&) {
    }
    return 0;
}
