#pragma once

#include <sfx/AudioDevice.h>

#include <string>
#include <vector>

namespace sfx_impl {

// One PCM device hint as ALSA gives it; a field ALSA leaves out is empty.
struct DeviceHint {
    std::string name;         // "NAME": the device name that opens the device
    std::string description;  // "DESC": one or more lines of description
    std::string direction;    // "IOID": "Output", "Input", or empty for both
};

// The output devices among the hints, in their order (see DeviceControlWin32 for the rules).
std::vector<brix::audio::AudioDevice> OutputDevicesFromHints(const std::vector<DeviceHint>& hints);

// ALSA's PCM device hints of every card and of the configuration. Throws std::runtime_error with
// ALSA's error text when the enumeration fails. Serialize calls: ALSA's configuration is global.
std::vector<DeviceHint> ReadAlsaPcmHints();

}  // namespace sfx_impl
