#include "ChannelVolumeGain.h"

#include <algorithm>
#include <cmath>

void ChannelVolumeGain::SetGain(double gain)
{
    std::lock_guard lock(mutex_);
    gain_ = std::isnan(gain) ? 0.0 : std::clamp(gain, 0.0, 1.0);
}

double ChannelVolumeGain::GetGain() const
{
    std::lock_guard lock(mutex_);
    return gain_;
}

unsigned char ChannelVolumeGain::Scaled_(unsigned char level) const
{
    return static_cast<unsigned char>(std::min(127L, std::lround(level * gain_)));
}

unsigned char ChannelVolumeGain::Scale(unsigned short trackId, unsigned char level)
{
    std::lock_guard lock(mutex_);
    Track& track = tracks_[trackId];
    track.level = level;
    track.sent = Scaled_(level);
    return track.sent;
}

std::map<unsigned short, unsigned char> ChannelVolumeGain::TakeChangedVolumes(
    const std::vector<unsigned short>& trackIds)
{
    std::map<unsigned short, unsigned char> changed;
    std::lock_guard lock(mutex_);
    for (const unsigned short id : trackIds) {
        Track& track = tracks_[id];
        const unsigned char value = Scaled_(track.level);
        if (value != track.sent) {
            track.sent = value;
            changed.emplace(id, value);
        }
    }
    return changed;
}
