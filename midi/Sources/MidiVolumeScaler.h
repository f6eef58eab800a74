#pragma once

#include "MidiScaler.h"

#include <map>
#include <mutex>
#include <set>

// MidiVolumeScaler: the per-track volume trims of a show. Every channel-volume controller a
// Gantrymere stream sends is scaled by its track's trim; a track whose trim was set is remembered as
// recently affected until the playing stream reads the set and re-sends its volume.
//
// Owner: the Gantrymere stream collection, shared by reference with all its streams.
// Threads: trims are set from the engine's threads while the queue thread scales and reads.
// Lock: one recursive mutex guards the trims and the recently affected set; every operation holds it
// for its whole duration and calls nothing out.
class MidiVolumeScaler {
public:
    MidiVolumeScaler() = default;
    MidiVolumeScaler(const MidiVolumeScaler&) = delete;
    MidiVolumeScaler& operator=(const MidiVolumeScaler&) = delete;

    // Sets the track's trim (limited to 127) and marks the track recently affected.
    void SetTrackTrim(unsigned short trackId, unsigned char trim);
    // The same for every entry, under one hold of the lock.
    void SetAllTracksTrim(const std::map<unsigned short, unsigned char>& trims);
    // The track's trim; 100 for a track never trimmed.
    unsigned char GetScale(unsigned short trackId);
    unsigned char GetScaledMidiValue(unsigned short trackId, unsigned char value);
    bool GetHasRecentlyAffectedTrackIds();
    // The recently affected tracks; the set is emptied by the call.
    std::set<unsigned short> GetRecentlyAffectedTrackIds();

private:
    std::recursive_mutex mutex;
    std::map<unsigned short, MidiScaler> scales;
    std::set<unsigned short> recentlyAffected;
};
