#pragma once

#include "MidiPlayer.h"

#include <memory>
#include <string>

class StandardMidiClockImpl;

// StandardMidiPlayer: the MIDI player with its own timer-driven MIDI clock. It builds the clock, then
// the output on it for the given number of output ports.
// Owner: the product's player class derives from it. Shutdown and the destructor end the output's
// threads (which use the clock) before they destroy the clock.
class StandardMidiPlayer : public MidiPlayer {
public:
    StandardMidiPlayer(unsigned char portCount, const std::string& name);
    ~StandardMidiPlayer() override;

    // The output first, then the clock.
    void Shutdown() override;
    // Throws std::logic_error after Shutdown.
    MidiClock& GetMidiClock() override;

protected:
    // Replaces (destroying) an earlier clock.
    void CreateMidiClock();

private:
    std::unique_ptr<StandardMidiClockImpl> midiClock;
};
