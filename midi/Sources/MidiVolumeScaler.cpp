#include "MidiVolumeScaler.h"

#include <utility>

namespace {
using Guard = std::lock_guard<std::recursive_mutex>;
}

void MidiVolumeScaler::SetTrackTrim(unsigned short trackId, unsigned char trim)
{
    Guard guard(mutex);
    recentlyAffected.insert(trackId);
    scales[trackId].SetScale(trim);
}

void MidiVolumeScaler::SetAllTracksTrim(const std::map<unsigned short, unsigned char>& trims)
{
    Guard guard(mutex);
    for (const auto& [trackId, trim] : trims) {
        SetTrackTrim(trackId, trim);
    }
}

unsigned char MidiVolumeScaler::GetScale(unsigned short trackId)
{
    Guard guard(mutex);
    return scales[trackId].GetScale();
}

unsigned char MidiVolumeScaler::GetScaledMidiValue(unsigned short trackId, unsigned char value)
{
    Guard guard(mutex);
    return scales[trackId].GetScaledMidiValue(value);
}

bool MidiVolumeScaler::GetHasRecentlyAffectedTrackIds()
{
    Guard guard(mutex);
    return !recentlyAffected.empty();
}

std::set<unsigned short> MidiVolumeScaler::GetRecentlyAffectedTrackIds()
{
    Guard guard(mutex);
    return std::exchange(recentlyAffected, {});
}
