#include "TarnwickMidiStream.h"

#include "ChannelVolumeGain.h"
#include "MidiStatus.h"

namespace {
constexpr unsigned short kUnrangedTrackNumber = 9;
constexpr PersistentMIDI::NoteRange kFullRange{0, 127};
}

TarnwickMidiStream::TarnwickMidiStream(const brix_midi::SongData& song, ChannelVolumeGain* gain)
    : MidiStream(song), gain(gain)
{
    for (const auto& [id, track] : song.GetVoiceData()) {
        SetTrackName(id, track->GetTrackName());
        SetDefaultProgram(id, track->GetDefaultProgramChange());
        trackIds.push_back(id);
    }
    SetCurrentProgramsToDefaults();
    InitializePersistenceData();
}

void TarnwickMidiStream::SetPersistentTrackRange(PersistentMIDI& state, const brix_midi::VoiceTrack& track)
{
    state.SetRange(track.GetTrackNumber() == kUnrangedTrackNumber ? PersistentMIDI::kNoRange : kFullRange);
}

void TarnwickMidiStream::ScaleVolumeCc(unsigned short trackId, brix_midi::VoiceEvent* event)
{
    using namespace midi_status;
    if (gain != nullptr && (event->message.status & 0xF0) == kControlChange && event->message.data1 == kChannelVolume) {
        event->message.data2 = gain->Scale(trackId, event->message.data2);
    }
}

void TarnwickMidiStream::SendPersistentVolumeForScaledTracks_(MidiBuffer& buffer)
{
    using namespace midi_status;
    if (gain == nullptr) {
        return;
    }
    for (const auto& [id, value] : gain->TakeChangedVolumes(trackIds)) {
        AddHeldEvent(id, brix_midi::VoiceEvent(0, kControlChange, id, kChannelVolume, value), buffer);
    }
}
