#pragma once

#include "MidiOutputPortWin32.h"
#include "MidiOutputPorts.h"

#include <mmsystem.h>

#include <memory>
#include <vector>

class WinSynth;

// MidiOutputPortsWin32: the output port set of one MidiOutputWin32. It knows every buffer of the output
// (registered once), connects and disconnects the stream synth (binding the ports, preparing and
// unpreparing every registered buffer for the stream) and sends a buffer through all its ports in index
// order.
//
// Owner: MidiOutputWin32. Threads: sends run on the clock path and the player's threads; connecting
// and disconnecting run on the thread that creates a synth or destroys the output, while no send runs.
// Lock: none of its own; its callers' locks (output lock, buffer lock) serialise the sends.
class MidiOutputPortsWin32 : public MidiOutputPorts {
public:
    explicit MidiOutputPortsWin32(unsigned char portCount);

    void SendMidiBuffer(MidiBuffer& buffer) override;
    // Every registered buffer must be a MidiBufferWin32.
    void RegisterMidiBuffer(std::shared_ptr<MidiBuffer> buffer) override;

    // Binds every port to the synth, prepares every registered buffer for its stream and restarts the
    // stream. When a step fails the steps done are undone (ports unbound, headers unprepared) and the
    // error passes on, so no port is left bound to a synth that is not connected.
    void ConnectSynth(WinSynth& synth);
    // Stops the stream, unprepares every registered buffer and cleans up its quarantine, warning about
    // data buffers the driver still holds. The ports keep their binding until the next ConnectSynth.
    void DisconnectSynth(WinSynth& synth);
    void CleanUpQuarantinedDataBuffers(HMIDIOUT handle);

    MidiOutputPortWin32& GetPort(unsigned char port) { return *ports_.at(port); }
    std::size_t GetPortCount() const { return ports_.size(); }

private:
    void UnbindPorts();
    // Best effort, after a failed connection: unprepares every data buffer prepared for handle.
    void UnprepareHeadersPreparedFor(HMIDIOUT handle);

    std::vector<std::shared_ptr<MidiOutputPortWin32>> ports_;
    std::vector<std::shared_ptr<MidiBuffer>> registeredBuffers_;
};

// The platform's output port set: a new MidiOutputPortsWin32 on the heap, owned by the caller.
MidiOutputPorts* CreateMidiPorts(unsigned char portCount);
