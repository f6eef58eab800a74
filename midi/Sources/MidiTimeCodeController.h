#pragma once

#include "FrameRate.h"
#include "MidiTimeCodeThread.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// MidiTimeCodeController: the user's MIDI time-code settings (active or not, frame rate, output port),
// kept in a small settings file, announced to the GUI on every change, and forwarded to a sender when
// one is present. This platform has no sender: ActivateMidiTimeCode does nothing and the forwarding
// callables do nothing.
//
// Settings file (little-endian, no alignment), 28 bytes: the tag "MidiTimeCodeSettings" (one length
// byte and 20 bytes), the active flag (u8), the has-output-port flag (u8), the output port index
// (u32), the frame rate (u8, 0-3).
//
// Owner: the player engine, which calls Shutdown before destroying it (the destructor does not save).
// Threads: one thread; the controller takes no lock. GUI notices may be delivered on another thread.
class MidiTimeCodeController {
public:
    static constexpr const char* kTag = "MidiTimeCodeSettings";

    // Loads the settings file. A file that cannot be opened gives the defaults silently (inactive, no
    // port, port 0, 30 fps); a short file, a wrong tag or a frame rate above 3 is reported on the
    // console as "MidiTimeCodeController::MidiTimeCodeController::LoadFromFile failed with " and the
    // error's text, and the fields read before the fault keep their file values. A controller always
    // starts inactive once the whole file was read.
    explicit MidiTimeCodeController(const std::string& settingsPath);
    ~MidiTimeCodeController();

    MidiTimeCodeController(const MidiTimeCodeController&) = delete;
    MidiTimeCodeController& operator=(const MidiTimeCodeController&) = delete;

    bool GetIsActive() const { return isActive; }
    bool GetHasOutputPortIndex() const { return hasOutputPort; }
    unsigned int GetOutputPortIndex() const { return outputPortIndex; }
    FrameRate GetFrameRate() const { return frameRate; }

    // Does nothing: this platform has no time-code sender.
    void ActivateMidiTimeCode();
    // Stores the rate, hands it to the sender and sends the rate's name to the GUI. Throws
    // std::logic_error "Unsupported frame rate", changing nothing, for a rate above 3.
    void SetFrameRate(FrameRate rate);
    // Stores the port and marks it chosen; a present sender switches to it (see below).
    void SetOutputPortIndex(unsigned int index);

    void SendMidiTimeCodeWithSeconds(double seconds);
    void SetMidiTimeCodeInterval(double startSeconds, double endSeconds, double durationSeconds);

    // Ends an active period: inactive, callables that do nothing, no sender.
    void PrepareForExit();
    // PrepareForExit, then tells the GUI the active state (false).
    void CancelMidiTimeCode();
    // Saves (a failure only writes "WARNING: Unable to save settings to " and the path on the
    // console), then CancelMidiTimeCode.
    void Shutdown();

private:
    void LoadFromFile();
    // Throws fennic::IoError with the path followed by " is not writable." when the file cannot be
    // written; the old file is then kept.
    void SaveToFile() const;
    // With a sender and a chosen port: switches the sender to it and tells the GUI. A BrixMidiError of
    // the sender clears hasOutputPort and goes on to the caller.
    void SetMtcThreadOutputPortIndex_();

    std::string settingsPath;
    bool isActive = false;
    std::unique_ptr<MidiTimeCodeThread> sender;
    std::function<void(double, double, double)> intervalFunction;
    std::function<void(double)> sendWithSecondsFunction;
    bool hasOutputPort = false;
    std::uint32_t outputPortIndex = 0;
    FrameRate frameRate = FrameRate::Fps30;
};
