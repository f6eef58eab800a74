#pragma once

#include <string>
#include <utility>

namespace CL {

// An output path: a named place on the stage where a sound is played. The id and the name belong to
// the show's change log and are the same on every machine; the device id and device name say which
// audio device of this machine plays the path ("" for the default device).
class OutputPath {
public:
    OutputPath() = default;
    OutputPath(std::string id, std::string name, std::string deviceId, std::string deviceName)
        : id_(std::move(id)),
          name_(std::move(name)),
          deviceId_(std::move(deviceId)),
          deviceName_(std::move(deviceName)) {}

    const std::string& GetId() const { return id_; }
    const std::string& GetName() const { return name_; }
    const std::string& GetDeviceId() const { return deviceId_; }
    const std::string& GetDeviceName() const { return deviceName_; }

    friend bool operator==(const OutputPath&, const OutputPath&) = default;

private:
    std::string id_;
    std::string name_;
    std::string deviceId_;
    std::string deviceName_;
};

}  // namespace CL
