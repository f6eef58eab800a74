// The MIDI device lists and the interface every back end implements.
#pragma once

#include <mmsystem.h>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace winmm_impl {

// One open connection to an output device. Owned by one stream; Send runs on
// that stream's thread only.
class MidiOutConnection {
public:
    virtual ~MidiOutConnection() = default;
    // A short message packed as in MIM_DATA: status, data 1, data 2.
    virtual void Send(DWORD message) = 0;
    // True while the device keeps the headers it was sent (test hook).
    virtual bool WithholdsDone() const { return false; }
    // Called, on any thread, when the device stops withholding. The handler
    // must not call back into this connection.
    virtual void SetWithholdEndedHandler(std::function<void()>) {}
};

// Hands a received short message on; returns whether it was accepted. Called
// on the back end's thread; it must not block.
using MidiInSink = std::function<bool(DWORD message)>;

// One open connection to an input device. Once destroyed, its sink is not
// called any more.
class MidiInConnection {
public:
    virtual ~MidiInConnection() = default;
};

class MidiOutDevice {
public:
    virtual ~MidiOutDevice() = default;
    virtual MIDIOUTCAPSW GetCaps() const = 0;
    // Null when the device cannot be opened.
    virtual std::unique_ptr<MidiOutConnection> Open() = 0;
};

class MidiInDevice {
public:
    virtual ~MidiInDevice() = default;
    virtual MIDIINCAPSW GetCaps() const = 0;
    // Null when the device cannot be opened.
    virtual std::unique_ptr<MidiInConnection> Open(MidiInSink sink) = 0;
};

// The name of the output device that stands in for the sequencer's port on a
// machine without a working ALSA sequencer.
inline constexpr std::u16string_view kNullOutputDeviceName = u"No MIDI output (null device)";

// The current device lists: virtual devices first, then the back end of the
// machine: the sequencer's port, or the null output device (see MidiDevices.cpp).
std::vector<std::shared_ptr<MidiOutDevice>> GetOutputDevices();
std::vector<std::shared_ptr<MidiInDevice>> GetInputDevices();

// Copies a device name into a caps field, cut to fit with its zero.
void CopyDeviceName(std::u16string_view name, WCHAR (&field)[MAXPNAMELEN]);

}  // namespace winmm_impl
