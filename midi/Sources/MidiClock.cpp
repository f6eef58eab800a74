#include "MidiClock.h"

#include <utility>

MidiClock::~MidiClock() = default;

void MidiClock::SetMidiClockCallback(std::function<void(double)> callback)
{
    midiClockCallback_ = std::move(callback);
}

void MidiClock::DoMidiClockCallback(double beatsPerMinute)
{
    midiClockCallback_(beatsPerMinute);
}
