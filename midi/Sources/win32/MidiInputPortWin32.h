#pragma once

#include "MidiPort.h"

#include <windows.h>
#include <mmsystem.h>

#include <mutex>
#include <string>

// MidiInputPortWin32: one Windows MIDI input device. A listing port only reads the device's
// capabilities; a receiving port opens the device with an input callback at construction, delivers
// from Start() and stops for good at KillIt() (or destruction).
//
// Owner: the input wrapper (MidiInputWin32) for a receiving port; the device lists for listing ports.
// Threads: the owner's thread constructs, starts and kills; the device's callback thread reads the
// running flag (GetIsRunning) before it delivers a message.
// Lock: mutex_ guards the running flag, so KillIt() stops delivery before the device is reset and
// closed. Stop guarantee: once KillIt() or the destructor returns, no callback of this port runs.
class MidiInputPortWin32 : public MidiInputPort {
public:
    using InputCallback = void (*)(HMIDIIN, unsigned int, unsigned long long, unsigned long long,
                                   unsigned long long);

    // A listing port: the device is not opened.
    explicit MidiInputPortWin32(unsigned char portIndex);
    // Opens the device with the callback, this port being the callback's instance value; MidiPortError
    // "midiInOpen: <code> <text>" when it cannot.
    MidiInputPortWin32(unsigned char portIndex, InputCallback callback, void* callbackTarget);
    ~MidiInputPortWin32() override;
    MidiInputPortWin32(const MidiInputPortWin32&) = delete;
    MidiInputPortWin32& operator=(const MidiInputPortWin32&) = delete;

    bool SetUniqueId(int) override { return true; }
    std::string GetDisplayName() override;
    int GetUniqueId() override { return 0; }
    // midiInStart, then running; MidiPortError "midiInStart: <code> <text>" when it fails.
    void Start() override;

    // Not running; then, when open, resets and closes the device (results ignored). Repeatable.
    void KillIt();

    void* GetCallbackTarget() const { return callbackTarget_; }
    bool GetIsRunning();

private:
    void ResetAndClose();

    std::recursive_mutex mutex_;
    bool capabilitiesValid_ = false;
    bool open_ = false;
    MIDIINCAPSW capabilities_{};
    HMIDIIN handle_ = nullptr;
    void* callbackTarget_ = nullptr;
    bool running_ = false;
};
