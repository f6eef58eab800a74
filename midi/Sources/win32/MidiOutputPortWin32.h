#pragma once

#include "MidiPort.h"

#include <windows.h>
#include <mmsystem.h>

#include <functional>
#include <string>

class MidiBufferWin32;

// MidiOutputPortWin32: one lane of the output. It sends its lane of a buffer (the data buffer of its
// index) through the function bound to it, the connected synth's SendDataBuffer; without one a send
// does nothing.
//
// Owner: MidiOutputPortsWin32. Threads: the senders of the output, under the output lock and the
// buffer's lock; binding happens while no send runs (connecting a synth).
class MidiOutputPortWin32 : public MidiOutputPort {
public:
    using OutputCallback = std::function<void(MidiBufferWin32*, unsigned char)>;

    // Reads the capabilities of the output device with this index (only the display name needs them).
    explicit MidiOutputPortWin32(unsigned char portIndex);

    bool SetUniqueId(int) override { return true; }
    std::string GetDisplayName() override;
    int GetUniqueId() override { return 0; }
    // The buffer must be a MidiBufferWin32 (std::invalid_argument otherwise). An InvalidVoiceEvent from
    // the callback is reported on the console and passed on.
    void SendMidiBuffer(MidiBuffer& buffer) override;

    void SetMidiOutputCallback(OutputCallback callback);
    void ClearMidiOutputCallback();

private:
    bool capabilitiesValid_ = false;
    MIDIOUTCAPSW capabilities_{};
    bool hasOutputCallback_ = false;
    OutputCallback outputCallback_;
};
