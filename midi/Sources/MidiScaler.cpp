#include "MidiScaler.h"

#include <algorithm>

namespace {
constexpr unsigned short kMaxMidiValue = 127;
}

void MidiScaler::SetScale(unsigned char value)
{
    scale = std::min<unsigned short>(value, kMaxMidiValue);
}

unsigned char MidiScaler::GetScaledMidiValue(unsigned char value) const
{
    const auto product = static_cast<unsigned short>(value * scale);
    return static_cast<unsigned char>(std::min<unsigned short>(product / 100, kMaxMidiValue));
}
