#pragma once

#include <mutex>

// ClockState: where a MIDI clock stands and how fast it runs: the tick of the current MIDI clock, the
// clock's number within its click, ticks per clock, clocks per click and the clock time (seconds per
// MIDI clock). Each field carries a flag telling whether it has been set; a state with only some
// fields set is a partial change, and assigning it merges just those fields (operator=).
//
// Lock: every accessor takes the state's own recursive mutex (GetMutex()). StandardMidiClock takes it
// alone or inside its clock lock, never the reverse.
class ClockState {
public:
    // All five fields unset: their values mean nothing until set.
    ClockState() = default;
    // All five fields set.
    ClockState(unsigned int tickIndex, int clockNumber, unsigned int ticksPerClock, int clocksPerClick,
               double clockTime);
    ClockState(const ClockState& other);
    // Merge: copies the fields that are set in the source (and marks them set here); fields unset in
    // the source keep this state's value. Takes both mutexes together.
    ClockState& operator=(const ClockState& source);

    std::recursive_mutex& GetMutex() const { return mutex_; }

    unsigned int GetTickIndex() const;
    int GetClockNumber() const;
    unsigned int GetTicksPerClock() const;
    int GetClocksPerClick() const;
    double GetClockTime() const;

    void SetTickIndex(unsigned int tickIndex);
    void SetClockNumber(int clockNumber);
    void SetTicksPerClock(unsigned int ticksPerClock);
    void SetClocksPerClick(int clocksPerClick);
    void SetClockTime(double clockTime);


    // 60 / (clocks per click × clock time).
    double GetBeatsPerMinute() const;

    // One MIDI clock: the clock number counts up and wraps at the clocks per click; the tick index
    // moves on by the ticks per clock.
    void AdvanceClock();

private:
    void CopySetFieldsFrom(const ClockState& source);

    mutable std::recursive_mutex mutex_;
    unsigned int tickIndex_ = 0;
    int clockNumber_ = 0;
    unsigned int ticksPerClock_ = 0;
    int clocksPerClick_ = 0;
    double clockTime_ = 0.0;
    bool tickIndexSet_ = false;
    bool clockNumberSet_ = false;
    bool ticksPerClockSet_ = false;
    bool clocksPerClickSet_ = false;
    bool clockTimeSet_ = false;
};
