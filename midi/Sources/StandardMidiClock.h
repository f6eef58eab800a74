#pragma once

#include "ClockState.h"
#include "MidiClock.h"

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

// StandardMidiClock: the engine's MIDI clock in continuous mode. It holds where the clock stands
// (ClockState), a schedule of state changes that take effect when the clock reaches a tick (tempo and
// meter changes, jumps), and a caesura at which the clock stops. Each firing (AdvanceClock) calls the
// MIDI clock callback with the tempo, steps one MIDI clock and asks the subclass for the next firing;
// the subclass supplies the timing (SetClockTimer, StartClock).
//
// Owner: the MIDI player.
// Threads: AdvanceClock runs on the subclass's timer thread; every other operation on the player's
// and the show control's threads.
// Lock: the clock lock (MidiClock::mutex_, recursive) guards armed_, the pending states, the caesura,
// the deferred changes, the arming generation and the firing-in-progress flag; a firing steps
// clockState_ under it. clockState_ has its own mutex, taken alone or inside the clock lock, never the
// reverse. The clock callback is called without the clock lock, so the output may disarm the clock
// from inside it.
//
// Timer chains: every ArmPlayback and DisarmPlayback starts a new arming generation. The subclass
// reads GetArmGeneration() when StartClock() begins a chain and passes that value to every
// AdvanceClock of the chain; a firing of an older chain does nothing, so a quick disarm and re-arm
// never leaves two chains running. The generation is checked again after the callback: a firing whose
// arming ended while its callback ran (the callback waited for a lock while the player disarmed and
// re-armed) steps nothing and arms no timer, and the callback itself learns through FiringIsCurrent()
// that its firing is stale, so it sends nothing.
class StandardMidiClock : public MidiClock {
public:
    StandardMidiClock() = default;
    ~StandardMidiClock() override;

    void SetTicksPerClock(unsigned int ticksPerClock) override;
    void SetClocksPerClick(int clocksPerClick, unsigned int validAt) override;
    void SetClockTime(double secondsPerClock, unsigned int validAt) override;
    void SetTickIndex(unsigned int tickIndex, int clockNumber, unsigned int ticksPerClock,
                      int clocksPerClick, double clockTime, unsigned int validAt) override;
    void SetCaesura(unsigned int caesuraTickIndex, double resumeClockTime,
                    int resumeClocksPerClick) override;
    void ArmPlayback(unsigned int ticksPerClock, int clocksPerClick, double clockTime,
                     unsigned int tickIndex, int clockNumber) override;
    void DisarmPlayback() override;
    // Starts the subclass's timer, which fires the first clock at once.
    void ContinuousMode() override;
    // Conducted beats do not exist: these throw std::logic_error.
    void ConductBeat() override;
    void SetConductorClickTimerCallback(void (*callback)(void*), void* context) override;
    void SetDownbeatTimerCallback(void (*callback)(void*), void* context) override;
    bool GetPlaybackIsArmed() override;
    // Called from the MIDI clock callback: whether the firing running on this thread still belongs
    // to the current arming. True on any thread that is not inside a firing of this clock.
    bool FiringIsCurrent() override;

protected:
    // Fire AdvanceClock once, after the given delay.
    virtual void SetClockTimer(double seconds) = 0;
    // Fire AdvanceClock at once, beginning a new timer chain.
    virtual void StartClock() = 0;

    // One firing of the chain begun under the given arming generation. Returns true when the next
    // timer was set, false when the chain ends (disarmed or re-armed, before or during the callback,
    // or stopped at the caesura). Exceptions of the callback or of SetClockTimer pass out to the timer
    // driver.
    bool AdvanceClock(std::uint64_t armGeneration);
    std::uint64_t GetArmGeneration();

    // The current state, for the subclass and for tests.
    const ClockState& GetClockState() const { return clockState_; }

private:
    enum class Change { ClocksPerClick, ClockTime, TickIndex };
    static const char* ChangeName(Change change);
    // Applies, schedules, defers or refuses one change (the rules shared by the three setters).
    void ScheduleChange(Change change, const ClockState& state, unsigned int validAt);
    // Merges every pending entry whose tick the clock has reached, in tick order. Clock lock held.
    void ApplyReachedPendingStates(unsigned int tickIndex);

    std::map<unsigned int, ClockState> pendingStates_;
    bool armed_ = false;
    ClockState clockState_{0, 0, 0, 0, 0.0};
    bool caesuraPending_ = false;
    unsigned int caesuraTickIndex_ = 0;
    double caesuraResumeClockTime_ = 0.0;
    int caesuraResumeClocksPerClick_ = 0;
    std::vector<std::pair<int, unsigned int>> deferredClocksPerClick_;
    std::vector<std::pair<double, unsigned int>> deferredClockTimes_;
    std::uint64_t armGeneration_ = 0;
    // A firing of the current arming is between its armed check and its step: the current tick is
    // being sent, so a change scheduled at it waits for the step.
    bool firingInProgress_ = false;
};
