#include "TarnwickMidiStream.h"

namespace {
constexpr unsigned short kUnrangedTrackNumber = 9;
constexpr PersistentMIDI::NoteRange kFullRange{0, 127};
}

TarnwickMidiStream::TarnwickMidiStream(const brix_midi::SongData& song) : MidiStream(song)
{
    for (const auto& [id, track] : song.GetVoiceData()) {
        SetTrackName(id, track->GetTrackName());
        SetDefaultProgram(id, track->GetDefaultProgramChange());
    }
    SetCurrentProgramsToDefaults();
    InitializePersistenceData();
}

void TarnwickMidiStream::SetPersistentTrackRange(PersistentMIDI& state, const brix_midi::VoiceTrack& track)
{
    state.SetRange(track.GetTrackNumber() == kUnrangedTrackNumber ? PersistentMIDI::kNoRange : kFullRange);
}
