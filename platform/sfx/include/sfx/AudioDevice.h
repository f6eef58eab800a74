#pragma once

#include <string>
#include <utility>

namespace brix::audio {

// One audio output device of this machine: the text a window shows for it and the identifier that
// settings and the player engine keep for it (Interface::GetOutputDeviceUid holds the same kind of
// identifier). The identifier stays the same across restarts of the program and of the machine as long
// as the device is present; the empty identifier means the system's default device and is never the
// identifier of a listed device.
class AudioDevice {
public:
    AudioDevice(std::string id, std::string displayName)
        : id_(std::move(id)), displayName_(std::move(displayName)) {}

    const std::string& GetId() const { return id_; }
    const std::string& GetDisplayName() const { return displayName_; }

    friend bool operator==(const AudioDevice&, const AudioDevice&) = default;

private:
    std::string id_;
    std::string displayName_;
};

}  // namespace brix::audio
