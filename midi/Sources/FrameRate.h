#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The four SMPTE frame rates of MIDI time code. Only Fps2997Drop drops frame numbers.
enum class FrameRate : std::uint8_t {
    Fps24 = 0,
    Fps25 = 1,
    Fps2997Drop = 2,
    Fps30 = 3,
};

// True for the four values above; any other byte is not a frame rate.
bool IsFrameRate(unsigned int value);

// "24 fps", "25 fps", "29.97 fps drop", "30 fps". Throws std::logic_error "Unsupported frame rate"
// for a value above 3.
std::string ConvertFrameRateToString(FrameRate rate);

// The exact, case-sensitive inverse of ConvertFrameRateToString. Throws std::logic_error
// "Unsupported frame rate." for any other text.
FrameRate ConvertStringToFrameRate(const std::string& text);

// The four display names in rate order 0-3, built when the library loads.
extern const std::vector<std::string> frameRateStrings;
