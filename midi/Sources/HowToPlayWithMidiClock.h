#pragma once

#include "HowToPlay.h"

#include <mutex>

class MidiClock;

// HowToPlayWithMidiClock: a position model that keeps a MIDI clock in step with the song. Whenever a
// step changes the duration of one MIDI clock (tempo, tempo scale) or the clocks per click (meter,
// click pattern), the new value goes to the clock, scheduled at the step's tick. It also computes the
// clock parameters with which playback resumes after a caesura.
//
// Owner: the show control, one per song; the clock is the player's and must outlive the model.
// Threads and lock: none of its own. Callers serialise the calls on one model; a caller that holds its
// lock in a std::unique_lock uses AdvanceToTickIndexWithLock, which computes everything under that
// lock and releases it only around each call into the clock.
class HowToPlayWithMidiClock : public HowToPlay {
public:
    HowToPlayWithMidiClock(UserControls& userControls, MidiClock& midiClock);
    HowToPlayWithMidiClock(HowToPlayWithMidiClock const& other) = default;
    HowToPlayWithMidiClock(HowToPlayWithMidiClock&& other) = default;

    void AdvanceToTickIndex(unsigned int tickIndex) override;
    // The same step for a caller holding `lock` (which must own its mutex on entry and owns it again
    // on return). Throws std::system_error (operation not permitted) when the lock is not owned.
    void AdvanceToTickIndexWithLock(unsigned int tickIndex, std::unique_lock<std::mutex>& lock);
    // The clock time and clocks per click in force at the first beat at or after the caesura tick,
    // without moving the position. Either pointer may be null; that value is then not computed.
    // Throws std::out_of_range when no beat lies at or after the tick.
    void GetCaesuraResumeParams(unsigned int caesuraTickIndex, double* clockTime, int* clocksPerClick) const;
    void SetHighSpeed() override;

private:
    MidiClock& midiClock_;
};
