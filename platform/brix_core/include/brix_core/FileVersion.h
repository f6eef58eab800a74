#pragma once

#include <compare>
#include <cstdint>

namespace cmn {

// The version of a change-log file, ordered by major then minor number.
struct FileVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;

    friend auto operator<=>(const FileVersion&, const FileVersion&) = default;
};

}  // namespace cmn
