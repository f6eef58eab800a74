#pragma once

#include "MidiClockChrono.h"
#include "StandardMidiClock.h"

#include <mmsystem.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

// StandardMidiClockImpl: the engine's MIDI clock driven by one-shot multimedia timers. StartClock()
// (from ContinuousMode) makes the clock thread fire the first MIDI clock at once; every firing that
// goes on arms a one-shot timer for the next one (SetClockTimer), whose callback fires it on the
// timer thread. Each firing measures the previous period with MidiClockChrono and shortens the next
// delay by the learned average error and by the time already spent in the firing.
// Stalls: the delays run on the chrono's grid, so a late firing does not shift the song. When the
// next clock is already due as a firing ends (the machine stalled, or the send step took longer than
// a clock), it fires at once in the same firing, and so on until the clock is back on its grid: the
// clocks that fell due go out at once, in order. A stall beyond MidiClockChrono::kStallLimitSeconds
// is not caught up; the chrono starts its grid anew with a warning.
//
// Owner: the MIDI player.
// Threads: the clock thread (started by the constructor) waits for start requests and fires the first
// clock of each chain; the multimedia timer thread fires the others; the player's threads call
// StartClock and the StandardMidiClock operations.
// Locks: the start lock (startMutex_) guards the start and stop requests, the live chain (its arming
// generation), the pending timer id and the count of firings running on the timer thread. It is never
// held while a firing runs or while a timer is killed. Lock order: start lock, then the clock lock.
// Chains: one chain runs at a time. StartClock does nothing while a chain begun under the current
// arming generation is live or requested; a chain of an older generation is ended (its pending timer
// killed, its running firing waited out) before the next one begins. Every chain requests the 1 ms
// timer period when it begins and releases it exactly once when it ends: its firing returns false, its
// timer is killed, or arming the next timer fails (logged; the clock is disarmed).
// Stop guarantee: when the destructor returns, no firing runs and no timer of this clock is pending.
// Final: the destructor stops the threads that call its virtual functions, so no subclass may be
// destroyed before it.
class StandardMidiClockImpl final : public StandardMidiClock {
public:
    StandardMidiClockImpl();
    ~StandardMidiClockImpl() override;

    // The whole milliseconds to arm for a period of `period` seconds of which `secondsSpent` have
    // passed already: truncated toward zero, at least 1.
    static UINT TimerDelayMilliseconds(double period, double secondsSpent);

private:
    void SetClockTimer(double clockTime) override;
    void StartClock() override;

    static void CALLBACK TimerCallback(UINT timerId, UINT message, DWORD_PTR user, DWORD_PTR, DWORD_PTR);

    void RunLoop();
    // One firing of the chain begun under armGeneration, with the clocks that fell due meanwhile;
    // ends the chain when the firing goes no further.
    void DoTimerCallback(std::uint64_t armGeneration);
    void DoTimerCallbackFromThread(UINT timerId);
    // Releases the timer period of the chain begun under armGeneration, once.
    void EndChain(std::uint64_t armGeneration);
    // Ends the live chain's pending timer: kills it (ending the chain) or waits it out, and waits for
    // the firings running on the timer thread.
    void EndPendingTimer();

    std::mutex startMutex_;
    std::condition_variable startCondition_;
    std::condition_variable firingEnded_;
    bool run_ = true;
    bool startRequested_ = false;
    std::uint64_t requestedGeneration_ = 0;
    bool chainLive_ = false;
    std::uint64_t chainGeneration_ = 0;
    UINT timerId_ = 0;
    unsigned int firingsInFlight_ = 0;
    static constexpr unsigned int kChronoReportInterval = 100;
    MidiClockChrono chrono_{kChronoReportInterval};
    std::thread clockThread_;  // last: starts once the members above exist
};
