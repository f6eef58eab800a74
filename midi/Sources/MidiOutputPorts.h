#pragma once

#include <memory>
#include <mutex>

class MidiBuffer;

// MidiOutputPorts: the set of MIDI output ports of an output, seen by the engine. A buffer is
// registered once (so the platform can prepare its storage for the device) and then sent as often as
// needed; a send hands the buffer's events of every port to that port.
//
// Owner: the platform output (MidiOutputWin32), which gives it out through MidiOutput::GetPorts().
// Threads: the player's threads (special and one-shot sends) and the clock path (per-clock sends);
// callers hold the buffer's lock while they send it.
// Lock: mutex_ is for the platform subclass's own state.
class MidiOutputPorts {
public:
    virtual ~MidiOutputPorts();
    MidiOutputPorts(const MidiOutputPorts&) = delete;
    MidiOutputPorts& operator=(const MidiOutputPorts&) = delete;

    // Throws std::runtime_error: changing a channel to drums is left to platforms that can.
    virtual void SetChannelDrumMode(unsigned char channel, bool on);
    virtual void SendMidiBuffer(MidiBuffer& buffer) = 0;
    virtual void RegisterMidiBuffer(std::shared_ptr<MidiBuffer> buffer) = 0;

protected:
    MidiOutputPorts() = default;

    std::mutex mutex_;
};
