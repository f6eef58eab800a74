#pragma once

#include <functional>
#include <mutex>

// MidiClock: the interface through which the player and the show control tell a MIDI clock how fast
// it runs (seconds per MIDI clock), how many clocks make a click, where it stands, where a caesura
// stops it, and whether it is armed. StandardMidiClock is the engine's own implementation.
//
// Owner: the MIDI player; the position model (HowToPlayWithMidiClock) and the output hold references.
// Lock: mutex_ (the clock lock, recursive) belongs to the concrete clock, which documents what it
// guards.
// Callback: the MIDI clock callback is called by the concrete clock on its timer thread, once per MIDI
// clock, with the tempo in beats per minute. Set it before the clock is armed; it is not guarded.
class MidiClock {
public:
    MidiClock() = default;
    MidiClock(const MidiClock&) = delete;
    MidiClock& operator=(const MidiClock&) = delete;
    virtual ~MidiClock();

    virtual void SetTicksPerClock(unsigned int ticksPerClock) = 0;
    virtual void SetClocksPerClick(int clocksPerClick, unsigned int validAt) = 0;
    virtual void SetClockTime(double secondsPerClock, unsigned int validAt) = 0;
    virtual void SetTickIndex(unsigned int tickIndex, int clockNumber, unsigned int ticksPerClock,
                              int clocksPerClick, double clockTime, unsigned int validAt) = 0;
    virtual void SetCaesura(unsigned int caesuraTickIndex, double resumeClockTime,
                            int resumeClocksPerClick) = 0;
    virtual void ArmPlayback(unsigned int ticksPerClock, int clocksPerClick, double clockTime,
                             unsigned int tickIndex, int clockNumber) = 0;
    virtual void DisarmPlayback() = 0;
    virtual void ContinuousMode() = 0;
    virtual void ConductBeat() = 0;
    virtual void SetConductorClickTimerCallback(void (*callback)(void*), void* context) = 0;
    virtual void SetDownbeatTimerCallback(void (*callback)(void*), void* context) = 0;
    virtual bool GetPlaybackIsArmed() = 0;

    // Asked by the MIDI clock callback once it holds the locks it needs: false when the firing that
    // called it belongs to an arming that was disarmed or replaced meanwhile, so that the callback
    // sends nothing for it. True when not called from a firing, and for clocks that do not tell
    // their armings apart.
    virtual bool FiringIsCurrent() { return true; }

    // Replaces the stored MIDI clock callback (the previous one is destroyed).
    void SetMidiClockCallback(std::function<void(double)> callback);
    // Calls the stored callback on the calling thread; throws std::bad_function_call when none is set.
    void DoMidiClockCallback(double beatsPerMinute);

protected:
    std::recursive_mutex mutex_;

private:
    std::function<void(double)> midiClockCallback_;
};
