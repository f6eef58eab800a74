#include "PersistentMIDI.h"
#include "MidiStatus.h"

#include <fennic/CoutBuffer.h>
#include <fennic/MidiNames.h>

#include <algorithm>
#include <iomanip>

namespace {

using namespace midi_status;

// The value a controller rests at when nothing holds it (General MIDI defaults).
unsigned char DefaultControllerValue(unsigned char controller)
{
    switch (controller) {
    case 7: return 100;   // channel volume
    case 10: return 64;   // pan, centre
    case 11: return 127;  // expression
    default: return 0;
    }
}

bool IsRelease(const brix_midi::VoiceEvent& event)
{
    const unsigned char kind = event.message.status & 0xF0;
    return kind == kNoteOff || (kind == kNoteOn && event.message.data2 == 0);
}

void PrintEvents(fennic::CoutBuffer& out, const PersistentMIDI::EventMap& events, bool asNotes)
{
    for (const auto& [number, event] : events) {
        out << "    " << std::left << std::setw(8)
            << (asNotes ? fennic::midi::GetNoteName(number) : std::to_string(number));
        event.WriteString(out);
        out << fennic::endl;
    }
}

}  // namespace

PersistentMIDI::PersistentMIDI(NoteRange range)
{
    SetRange(range);
}

void PersistentMIDI::SetRange(NoteRange newRange)
{
    range = newRange;
    hasRange = newRange != kNoRange;
}

bool PersistentMIDI::IsWithinRange_(unsigned char note) const
{
    return hasRange && range.first <= note && note <= range.second;
}

void PersistentMIDI::Release_(unsigned char note)
{
    switches.erase(note);
    notes.erase(note);
}

void PersistentMIDI::AddEvent(const brix_midi::VoiceEvent& event)
{
    const unsigned char number = event.message.data1;
    if (IsRelease(event)) {
        Release_(number);
        return;
    }
    switch (event.message.status & 0xF0) {
    case kNoteOn:
        (IsWithinRange_(number) ? notes : switches)[number] = event;
        break;
    case kControlChange:
        ccs[number] = event;
        break;
    case kProgramChange:
        programChange = event;
        hasProgramChange = true;
        break;
    case kPitchBend:
        pitchBend = event;
        hasPitchBend = true;
        break;
    default:
        break;
    }
}

brix_midi::VoiceEvent PersistentMIDI::AddEvent(const brix_midi::VoiceEvent& event, signed char transposition)
{
    AddEvent(event);
    const unsigned char kind = event.message.status & 0xF0;
    const bool isNote = kind == kNoteOn || kind == kNoteOff;
    if (isNote && IsWithinRange_(event.message.data1)) {
        return GetTransposedEvent(event, transposition);
    }
    return event;
}

unsigned char PersistentMIDI::GetTransposedNote(unsigned char note, signed char transposition) const
{
    if (!hasRange || transposition == 0) {
        return note;
    }
    const int lowest = range.first;
    const int highest = range.second;
    int moved = note + transposition;
    if (moved < lowest) {
        moved += 12 * ((lowest - moved + 11) / 12);
    } else if (moved > highest) {
        moved -= 12 * ((moved - highest + 11) / 12);
    }
    return static_cast<unsigned char>(std::clamp(moved, 0, 127));
}

brix_midi::VoiceEvent PersistentMIDI::GetTransposedEvent(const brix_midi::VoiceEvent& event,
                                                         signed char transposition) const
{
    brix_midi::VoiceEvent transposed = event;
    transposed.message.data1 = GetTransposedNote(event.message.data1, transposition);
    return transposed;
}

PersistentMIDI::EventMap PersistentMIDI::GetInverse_(const EventMap& held, const EventMap& exclude)
{
    EventMap offs;
    for (const auto& [note, on] : held) {
        if (!exclude.contains(note)) {
            offs[note] = brix_midi::VoiceEvent(
                on.tick, static_cast<unsigned char>(kNoteOff | (on.message.status & 0x0F)), note, on.message.data2);
        }
    }
    return offs;
}

PersistentMIDI::EventMap PersistentMIDI::GetInverseNotes(const EventMap& exclude) const
{
    return GetInverse_(notes, exclude);
}

PersistentMIDI::EventMap PersistentMIDI::GetInverseSwitches(const EventMap& exclude) const
{
    return GetInverse_(switches, exclude);
}

PersistentMIDI::EventMap PersistentMIDI::GetInverseCCs(const EventMap& exclude) const
{
    EventMap resets;
    for (const auto& [controller, held] : ccs) {
        if (!exclude.contains(controller)) {
            brix_midi::VoiceEvent reset = held;
            reset.message.data2 = DefaultControllerValue(controller);
            resets[controller] = reset;
        }
    }
    return resets;
}

PersistentMIDI::EventMap PersistentMIDI::Filter_(EventMap& held, const EventMap& candidates)
{
    EventMap kept;
    for (const auto& [number, candidate] : candidates) {
        if (held.erase(number) > 0) {
            kept[number] = candidate;
        }
    }
    return kept;
}

PersistentMIDI::EventMap PersistentMIDI::FilterNotes(const EventMap& candidates)
{
    return Filter_(notes, candidates);
}

PersistentMIDI::EventMap PersistentMIDI::FilterSwitches(const EventMap& candidates)
{
    return Filter_(switches, candidates);
}

PersistentMIDI::EventMap PersistentMIDI::FilterCCs(const EventMap& candidates) const
{
    EventMap kept;
    for (const auto& [controller, candidate] : candidates) {
        if (ccs.contains(controller)) {
            kept[controller] = candidate;
        }
    }
    return kept;
}

void PersistentMIDI::PrintYourself() const
{
    fennic::CoutBuffer out;
    out << "PersistentMidi" << fennic::endl;
    out << "  Notes:" << fennic::endl;
    PrintEvents(out, notes, true);
    out << "  Switches:" << fennic::endl;
    PrintEvents(out, switches, true);
    out << "  CCs:" << fennic::endl;
    PrintEvents(out, ccs, false);
    out << fennic::endl;
}
