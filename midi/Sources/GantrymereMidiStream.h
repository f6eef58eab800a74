#pragma once

#include "MidiStream.h"
#include "MidiVolumeScaler.h"

// GantrymereMidiStream: the song stream of the Gantrymere product. Tracks use their own note ranges;
// every channel-volume controller (CC 7) the stream sends is scaled by the track's trim in the
// collection's MidiVolumeScaler, and the regular fill re-sends the volume of tracks whose trim changed.
// Tracks start on program 0 and have no default programs.
//
// Owner: the Gantrymere stream collection; the scaler is the collection's and outlives the stream.
// Threads: as MidiStream; the scaler locks itself.
class GantrymereMidiStream : public MidiStream {
public:
    GantrymereMidiStream(const brix_midi::SongData& song, MidiVolumeScaler& scaler);

protected:
    void ScaleVolumeCc(unsigned short trackId, brix_midi::VoiceEvent* event) override;
    // For each re-trimmed track: its held channel volume scaled anew, or, when it holds none, a
    // channel volume equal to the trim.
    void SendPersistentVolumeForScaledTracks_(MidiBuffer& buffer) override;

private:
    MidiVolumeScaler* volumeScaler;
};
