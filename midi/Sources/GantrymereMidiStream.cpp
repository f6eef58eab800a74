#include "GantrymereMidiStream.h"
#include "MidiStatus.h"

namespace {

using namespace midi_status;

// The channel volume the track holds in the state, or null.
const brix_midi::VoiceEvent* HeldChannelVolume(const MidiStream::TrackStates& states, unsigned short trackId)
{
    const auto track = states.find(trackId);
    if (track == states.end()) {
        return nullptr;
    }
    const auto volume = track->second.GetCCs().find(kChannelVolume);
    return volume == track->second.GetCCs().end() ? nullptr : &volume->second;
}
}  // namespace

GantrymereMidiStream::GantrymereMidiStream(const brix_midi::SongData& song, MidiVolumeScaler& scaler)
    : MidiStream(song), volumeScaler(&scaler)
{
    for (const auto& [id, track] : song.GetVoiceData()) {
        SetTrackName(id, track->GetTrackName());
        SetCurrentProgram(id, 0);
    }
    InitializePersistenceData();
}

void GantrymereMidiStream::ScaleVolumeCc(unsigned short trackId, brix_midi::VoiceEvent* event)
{
    if ((event->message.status & 0xF0) == kControlChange && event->message.data1 == kChannelVolume) {
        event->message.data2 = volumeScaler->GetScaledMidiValue(trackId, event->message.data2);
    }
}

void GantrymereMidiStream::SendPersistentVolumeForScaledTracks_(MidiBuffer& buffer)
{
    if (!volumeScaler->GetHasRecentlyAffectedTrackIds()) {
        return;
    }
    for (unsigned short id : volumeScaler->GetRecentlyAffectedTrackIds()) {
        if (const brix_midi::VoiceEvent* held = HeldChannelVolume(GetCurrentState(), id)) {
            brix_midi::VoiceEvent scaled = *held;
            ScaleVolumeCc(id, &scaled);
            AddHeldEvent(id, scaled, buffer);
        } else {
            AddHeldEvent(id, brix_midi::VoiceEvent(0, kControlChange, id, kChannelVolume, volumeScaler->GetScale(id)),
                         buffer);
        }
    }
}
