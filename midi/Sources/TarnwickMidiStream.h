#pragma once

#include "MidiStream.h"

#include <vector>

class ChannelVolumeGain;

// TarnwickMidiStream: the song stream of the Tarnwick product. Every track is transposed over the
// full note range 0 to 127, except track number 9 (the drum channel of port 0), which has no range:
// its notes are switches and are never transposed. Tracks start on their default programs.
// With a gain, every channel volume (controller 7) it sends is scaled by the gain, and the regular
// fill first sends again the volume of every track whose scaled volume the gain changed; the held
// state keeps the unscaled values. Threads and ownership: as MidiStream; the gain (shared, locking
// itself) outlives the stream.
class TarnwickMidiStream : public MidiStream {
public:
    explicit TarnwickMidiStream(const brix_midi::SongData& song, ChannelVolumeGain* gain = nullptr);

protected:
    void SetPersistentTrackRange(PersistentMIDI& state, const brix_midi::VoiceTrack& track) override;
    void ScaleVolumeCc(unsigned short trackId, brix_midi::VoiceEvent* event) override;
    void SendPersistentVolumeForScaledTracks_(MidiBuffer& buffer) override;

private:
    ChannelVolumeGain* gain;
    std::vector<unsigned short> trackIds;
};
