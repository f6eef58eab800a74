#include "FrameRate.h"

#include <array>
#include <stdexcept>

namespace {

constexpr std::array<const char*, 4> kFrameRateNames = {"24 fps", "25 fps", "29.97 fps drop", "30 fps"};

}  // namespace

bool IsFrameRate(unsigned int value) {
    return value < kFrameRateNames.size();
}

std::string ConvertFrameRateToString(FrameRate rate) {
    const auto value = static_cast<unsigned int>(rate);
    if (!IsFrameRate(value)) {
        throw std::logic_error("Unsupported frame rate");
    }
    return kFrameRateNames[value];
}

FrameRate ConvertStringToFrameRate(const std::string& text) {
    for (unsigned int value = 0; value < kFrameRateNames.size(); ++value) {
        if (text == kFrameRateNames[value]) {
            return static_cast<FrameRate>(value);
        }
    }
    throw std::logic_error("Unsupported frame rate.");
}

const std::vector<std::string> frameRateStrings = {
    ConvertFrameRateToString(FrameRate::Fps24),
    ConvertFrameRateToString(FrameRate::Fps25),
    ConvertFrameRateToString(FrameRate::Fps2997Drop),
    ConvertFrameRateToString(FrameRate::Fps30),
};
