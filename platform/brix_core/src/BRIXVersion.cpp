#include <brix_core/BRIXVersion.h>

#include <charconv>
#include <optional>
#include <string_view>

namespace cmn {

namespace {

// A whole decimal number of at most 65535, nothing else (no sign, no blanks).
std::optional<std::uint16_t> ParseNumber(std::string_view text) {
    std::uint16_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string BRIXVersion::GetAsString() const {
    return std::to_string(version_.major) + "." + std::to_string(version_.minor);
}

bool BRIXVersion::SetWithString(const std::string& text) {
    const std::size_t dot = text.find('.');
    if (dot == std::string::npos) {
        return false;
    }
    const std::string_view whole(text);
    const std::optional<std::uint16_t> major = ParseNumber(whole.substr(0, dot));
    const std::optional<std::uint16_t> minor = ParseNumber(whole.substr(dot + 1));
    if (!major || !minor) {
        return false;
    }
    version_ = FileVersion{*major, *minor};
    return true;
}

}  // namespace cmn
