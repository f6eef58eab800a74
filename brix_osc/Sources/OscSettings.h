#pragma once

#include <cstdint>
#include <string>

namespace brix::osc {

// The application's OSC settings: whether incoming OSC control is on and its UDP listening port. The
// file "osc_settings.brix" in the user-data folder holds them as indented JSON:
//   {"oscEnabled": true, "oscListenPort": 55037, "version": "1.0"}
// A port outside 1-65535 (from the file or the constructor) is refused and the default 55037 taken
// instead, so the server never binds a port it was not meant to.
//
// A plain value; Read and Write run on the caller's thread (the GUI thread).
class OscSettings {
public:
    static constexpr const char* kFileName = "osc_settings.brix";
    static constexpr std::uint32_t kDefaultListenPort = 55037;

    OscSettings() = default;
    OscSettings(bool oscEnabled, std::uint32_t oscListenPort);

    bool GetOscEnabled() const { return oscEnabled_; }
    std::uint32_t GetOscListenPort() const { return oscListenPort_; }

    // Takes the values of the file at path (UTF-8) when its "version" is "1.0" (a missing
    // "oscEnabled" reads as false, a missing or invalid port as the default). A file that cannot be
    // opened leaves the settings as they are, with the warning "Failed to open osc settings file.";
    // a file of another version or one that is no JSON object leaves them too.
    void Read(const std::string& path);
    // Writes the file at path, creating its folder when missing. The text goes to a temporary file
    // that replaces the old one only when complete, so a failure leaves the previous file whole.
    // Throws std::runtime_error "Failed to save osc settings file <path>: <reason>" on failure.
    void Write(const std::string& path) const;

    friend bool operator==(const OscSettings&, const OscSettings&) = default;

private:
    static std::uint32_t ValidPort(std::int64_t port);

    bool oscEnabled_ = true;
    std::uint32_t oscListenPort_ = kDefaultListenPort;
};

}  // namespace brix::osc
