#include "DeviceHints.h"

#include <map>
#include <set>
#include <sstream>

namespace sfx_impl {
namespace {

// The description's lines, without empty ones, joined by " - "; the device name when there are none.
std::string DisplayNameOf(const DeviceHint& hint) {
    std::istringstream lines(hint.description);
    std::string line;
    std::string joined;
    while (std::getline(lines, line)) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) {
            continue;
        }
        joined += joined.empty() ? line : " - " + line;
    }
    return joined.empty() ? hint.name : joined;
}

bool IsListed(const DeviceHint& hint) {
    return !hint.name.empty() && hint.name != "null" && hint.name != "default" &&
           (hint.direction.empty() || hint.direction == "Output");
}

}  // namespace

std::vector<brix::audio::AudioDevice> OutputDevicesFromHints(const std::vector<DeviceHint>& hints) {
    std::vector<const DeviceHint*> listed;
    std::set<std::string> ids;
    std::map<std::string, int> nameCounts;
    for (const DeviceHint& hint : hints) {
        if (IsListed(hint) && ids.insert(hint.name).second) {
            listed.push_back(&hint);
            ++nameCounts[DisplayNameOf(hint)];
        }
    }
    std::vector<brix::audio::AudioDevice> devices;
    devices.reserve(listed.size());
    for (const DeviceHint* hint : listed) {
        std::string displayName = DisplayNameOf(*hint);
        if (nameCounts[displayName] > 1) {
            displayName += " (" + hint->name + ")";
        }
        devices.emplace_back(hint->name, std::move(displayName));
    }
    return devices;
}

}  // namespace sfx_impl
