#pragma once

#include "DelayedGui.h"
#include "MidiOutput.h"
#include "MidiOutputPortsWin32.h"
#include "WinSynth.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>

class MidiClock;

// MidiOutputWin32: the Windows MidiOutput. It owns the output ports, the stream synth and the delayed
// GUI channel, and performs the per-clock step: on every MIDI clock it sends the ring's next buffer
// through the ports to the MIDI stream and hands the tick of every buffer that starts a click to the
// delayed GUI, which reports it through the downbeat callback after the GUI delay.
//
// Owner: the MIDI player, which builds it, calls Initialize(portCount), then CreateSynthOutput.
// Threads: ProcessMidiClock runs on the clock's timer thread (through the clock's MIDI clock callback);
// everything else on the player's threads. The clock must not fire once destruction has begun (the
// player disarms it first, PrepareForExit).
// Locks: ProcessMidiClock holds the player lock for the whole step, and the output lock together with
// the buffer's lock (all-or-nothing) while it sends; the caesura check and a disarm run with only the
// player lock held. Sending waits up to 3 seconds per port for the stream while holding all three.
// A firing whose arming was disarmed while it waited for the player lock sends nothing
// (MidiClock::FiringIsCurrent).
// Connecting a synth runs without a lock and only while no clock step runs.
class MidiOutputWin32 : public MidiOutput {
public:
    static constexpr double kInitialGuiDelaySeconds = 0.22;
    static constexpr double kGuiDelayStepSeconds = 0.01;
    static constexpr double kMaxGuiDelaySeconds = 0.25;

    // Sets the clock's MIDI clock callback to ProcessMidiClock.
    MidiOutputWin32(unsigned char portCount, FillCallback fill, DownbeatCallback downbeat, StoppedCallback stopped,
                    ClockIsActiveCallback clockIsActive, CheckCaesuraCallback checkCaesura, MidiClock& clock,
                    std::recursive_mutex* playerLock);
    ~MidiOutputWin32() override;

    // The per-clock step. Never throws: errors are logged and the next clock runs the step again.
    void ProcessMidiClock(double beatsPerMinute);

    // Opens the stream on output device 0 (the name is not used) and connects it in place of the
    // connected one. MidiDeviceUnavailable leaves the connected synth as it was; a failed connection
    // leaves no synth connected. Buffers must be registered (Initialize) first.
    void CreateSynthOutput(const std::string& deviceName) override;
    void CreateAudioUnitOutput(const fennic::ptr_map<unsigned short, brix_midi::VoiceTrack>&) override {}
    void CreateKeysOutput() override {}
    // The base's disarm, then the quarantine clean-up and the GUI ticks not yet reported are dropped.
    void DisarmPlayback() override;
    void ResetMidiOutput() override;
    void DecreaseGuiDelay() override;
    void IncreaseGuiDelay() override;
    MidiOutputPorts& GetPorts() override { return ports_; }

protected:
    std::unique_ptr<MidiBuffer> NewMidiBuffer(unsigned char portCount, unsigned short capacity,
                                              const std::string& name) override;

private:
    // Sends the play buffer; returns whether the step should check for a caesura at the tick.
    bool SendPlayBuffer(MidiBuffer& buffer, double beatsPerMinute, unsigned int* tick);
    void SetGuiDelay(double seconds);

    MidiOutputPortsWin32 ports_;
    std::unique_ptr<WinSynth> synth_;
    bool connected_ = false;
    std::unique_ptr<DelayedGui> delayedGui_;
};
