#pragma once

#include "MidiStream.h"

// TarnwickMidiStream: the song stream of the Tarnwick product. Every track is transposed over the
// full note range 0 to 127, except track number 9 (the drum channel of port 0), which has no range:
// its notes are switches and are never transposed. Tracks start on their default programs. No volume
// scaling. Threads and ownership: as MidiStream.
class TarnwickMidiStream : public MidiStream {
public:
    explicit TarnwickMidiStream(const brix_midi::SongData& song);

protected:
    void SetPersistentTrackRange(PersistentMIDI& state, const brix_midi::VoiceTrack& track) override;
};
