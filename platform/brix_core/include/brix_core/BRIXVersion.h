#pragma once

#include <brix_core/FileVersion.h>

#include <compare>
#include <cstdint>
#include <string>

namespace cmn {

// The version of a change log: major and minor number, 16 bits each, ordered by major then minor and
// written "major.minor" ("3.12"). A minor number above 0 marks a local save that was not shared yet;
// sharing saves the next major number with minor 0.
class BRIXVersion {
public:
    BRIXVersion() = default;
    BRIXVersion(std::uint16_t major, std::uint16_t minor) : version_{major, minor} {}
    explicit BRIXVersion(const FileVersion& version) : version_(version) {}

    std::uint16_t GetMajor() const { return version_.major; }
    std::uint16_t GetMinor() const { return version_.minor; }
    const FileVersion& GetFileVersion() const { return version_; }

    // "major.minor" in decimal.
    std::string GetAsString() const;
    // Reads "major.minor": two decimal numbers of at most 65535 joined by one full stop, nothing
    // before, between or after them. Returns false and keeps the version for any other text.
    bool SetWithString(const std::string& text);

    friend auto operator<=>(const BRIXVersion&, const BRIXVersion&) = default;

private:
    FileVersion version_;
};

}  // namespace cmn
