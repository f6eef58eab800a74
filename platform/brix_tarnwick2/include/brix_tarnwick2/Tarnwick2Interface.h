#pragma once

#include <brix_tarnwick/TarnwickInterface.h>

#include <brix_player_core/PlayerOscCallback.h>

#include <memory>
#include <mutex>
#include <string>

namespace brix {

// Tarnwick2Interface: the engine of one show with OSC cue sending.
//
// When a cue is due: while OSC processing is on (DoOscProcessing(true)) and a callback was given, the
// engine looks at every MIDI buffer it fills (one MIDI clock of the song) for the cues of the current
// song's played change log whose tick lies in the buffer's ticks.
// - Playing: each such cue goes to ExecuteEvent with the delay from the buffer's first tick to the
//   cue's tick, in milliseconds at the tempo in force (tempo and tempo scale of the buffer), rounded
//   down. Buffers are filled ahead of what sounds, so a cue leaves at most the ring's lead early.
// - Not playing (the buffers primed at the position where playback will start, after a load, seek or
//   stop): each such cue goes to EnqueueEvent, with the delay from that start position to the cue;
//   the front end sends its queue when playback starts.
// Without a callback (OSC off) nothing is sent. The callback is dropped by Shutdown.
//
// Threads: the cues are sent on the filling thread (or the thread that primes). SetOscControlDefaultPort
// and DoOscProcessing on any thread. Lock: one mutex guards the callback, the switch and the priming
// start; it is not held while the callback runs.
class Tarnwick2Interface : public TarnwickInterface {
public:
    Tarnwick2Interface(const std::string& showDirectory, const std::string& dataFolder,
                       std::shared_ptr<PlayerOscCallback> oscCallback);
    ~Tarnwick2Interface() override;

    // Forwarded to the callback's SetDefaultPort; nothing without a callback.
    void SetOscControlDefaultPort(unsigned short port) override;
    void DoOscProcessing(bool on) override;
    void Shutdown() override;

private:
    // A filled buffer's ticks, [fromTick, toTick].
    void OnBufferFilled(unsigned int fromTick, unsigned int toTick);

    std::mutex mutex_;
    std::shared_ptr<PlayerOscCallback> oscCallback_;
    bool processing_ = false;
    unsigned int primeStartTick_ = 0;
    unsigned int lastToTick_ = 0;
    bool priming_ = false;
};

}  // namespace brix
