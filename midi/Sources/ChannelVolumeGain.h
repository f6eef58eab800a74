#pragma once

#include <map>
#include <mutex>
#include <vector>

// ChannelVolumeGain: the output's gain (the player's volumes and fade) applied to channel volume
// (controller 7). Each track's channel volume goes out as its level × the gain, rounded, at most 127.
// The unscaled level last given for each track and the value last sent are kept, so that after the
// gain changes every track whose scaled volume differs can be sent again. A track never given a
// channel volume counts as level 100, the value a MIDI device starts with.
//
// Owner: the show control; its streams and the player share it by reference.
// Threads: the queue thread (fills) and the engine's threads (the mixer's volumes). Lock: one mutex
// guards everything; nothing is called out while it is held.
class ChannelVolumeGain {
public:
    static constexpr unsigned char kDefaultLevel = 100;

    // The gain for what is scaled from now on, clamped to [0, 1] (not a number: 0).
    void SetGain(double gain);
    double GetGain() const;
    // Records level as the track's channel volume and returns the value to send for it.
    unsigned char Scale(unsigned short trackId, unsigned char level);
    // For each of the tracks whose level × gain differs from the value last sent for it: the value to
    // send now (recorded as sent).
    std::map<unsigned short, unsigned char> TakeChangedVolumes(const std::vector<unsigned short>& trackIds);

private:
    struct Track {
        unsigned char level = kDefaultLevel;
        unsigned char sent = kDefaultLevel;
    };

    unsigned char Scaled_(unsigned char level) const;

    mutable std::mutex mutex_;
    double gain_ = 1.0;
    std::map<unsigned short, Track> tracks_;
};
