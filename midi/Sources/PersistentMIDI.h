#pragma once

#include <brix_core/SongData.h>

#include <map>
#include <utility>

// PersistentMIDI: what one track holds in force at a position of its song: the notes sounding
// (pitched notes within the track's range, and key switches outside it), the last value of every
// controller, the last program change and the last pitch bend. A MidiStream keeps one per track to
// rebuild the output after a start in the middle of a song, a jump, a change of transposition or an
// unmute, and to release what is held.
//
// Events are stored as they came from the song (untransposed). A note-on with velocity 0 is a
// note-off. Transposition applies only to notes within the range; a record without a range (255/255,
// drum tracks) holds every note as a switch and never transposes.
//
// Owner: the MidiStream of the song. A value type without a lock: only the stream's serialised callers
// use it.
class PersistentMIDI {
public:
    using EventMap = std::map<unsigned char, brix_midi::VoiceEvent>;
    using NoteRange = std::pair<unsigned char, unsigned char>;

    static constexpr NoteRange kNoRange{255, 255};

    PersistentMIDI() = default;
    explicit PersistentMIDI(NoteRange range);

    // Records the event: note-on within the range into the notes, outside it into the switches; a
    // note-off (or note-on with velocity 0) removes its note from both; a control change replaces
    // its controller's value; program change and pitch bend replace the last one. Other events are
    // ignored.
    void AddEvent(const brix_midi::VoiceEvent& event);
    // Records the event as above and returns the event to send: note-ons held as notes and
    // releases of notes within the range come back transposed, everything else unchanged.
    brix_midi::VoiceEvent AddEvent(const brix_midi::VoiceEvent& event, signed char transposition);

    // The note moved by the transposition and folded by octaves into the range, then kept within
    // 0 to 127. Unchanged without a range or with transposition 0.
    unsigned char GetTransposedNote(unsigned char note, signed char transposition) const;
    // The event with its first data byte replaced by the transposed note.
    brix_midi::VoiceEvent GetTransposedEvent(const brix_midi::VoiceEvent& event, signed char transposition) const;

    // Note-offs for the held notes (or switches) whose number is not in exclude, with the held
    // note-on's velocity as release velocity.
    EventMap GetInverseNotes(const EventMap& exclude) const;
    EventMap GetInverseSwitches(const EventMap& exclude) const;
    // For every held controller not in exclude, the control change that returns it to its General
    // MIDI default: volume (7) 100, pan (10) 64, expression (11) 127, every other controller 0.
    EventMap GetInverseCCs(const EventMap& exclude) const;

    // The candidates whose note this record holds; those notes are removed from this record.
    EventMap FilterNotes(const EventMap& candidates);
    EventMap FilterSwitches(const EventMap& candidates);
    // The candidates whose controller this record holds; the record is not changed.
    EventMap FilterCCs(const EventMap& candidates) const;

    const EventMap& GetNotes() const { return notes; }
    const EventMap& GetSwitches() const { return switches; }
    const EventMap& GetCCs() const { return ccs; }
    const brix_midi::VoiceEvent& GetProgramChange() const { return programChange; }
    const brix_midi::VoiceEvent& GetPitchBend() const { return pitchBend; }
    bool HasProgramChange() const { return hasProgramChange; }
    bool GetHasPitchBend() const { return hasPitchBend; }
    void SetHasPitchBend(bool value) { hasPitchBend = value; }
    void SetRange(NoteRange newRange);

    // Writes the held notes, switches and controllers to the console, one line each.
    void PrintYourself() const;

private:
    static EventMap GetInverse_(const EventMap& held, const EventMap& exclude);
    static EventMap Filter_(EventMap& held, const EventMap& candidates);
    bool IsWithinRange_(unsigned char note) const;
    // Removes a released note from notes and switches.
    void Release_(unsigned char note);

    NoteRange range = kNoRange;
    bool hasRange = false;
    EventMap switches;
    EventMap ccs;
    EventMap notes;
    brix_midi::VoiceEvent programChange;
    brix_midi::VoiceEvent pitchBend;
    bool hasProgramChange = false;
    bool hasPitchBend = false;
};
