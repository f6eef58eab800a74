#pragma once

#include <stdexcept>
#include <string>

// The MIDI engine's own failures. Callers catch the whole family through BrixMidiError or one kind
// through its class; every class carries only its message text.

class BrixMidiError : public std::runtime_error {
public:
    explicit BrixMidiError(const std::string& message) : std::runtime_error(message) {}
};

// Failures of the MIDI back end: device information calls, a data buffer taken while in use, stream
// set-up.
class MidiImplementationError : public BrixMidiError {
public:
    explicit MidiImplementationError(const std::string& message) : BrixMidiError(message) {}
};

// An output device that cannot be opened.
class MidiDeviceUnavailable : public MidiImplementationError {
public:
    explicit MidiDeviceUnavailable(const std::string& message) : MidiImplementationError(message) {}
};

// Offered to outside libraries; the engine itself does not raise it.
class SforzandoError : public MidiImplementationError {
public:
    explicit SforzandoError(const std::string& message) : MidiImplementationError(message) {}
};

// An invalid voice event met while a buffer is sent. The senders catch it, report it on the console
// and go on.
class InvalidVoiceEvent : public BrixMidiError {
public:
    explicit InvalidVoiceEvent(const std::string& message) : BrixMidiError(message) {}
};

// A failing port call.
class MidiPortError : public BrixMidiError {
public:
    explicit MidiPortError(const std::string& message) : BrixMidiError(message) {}
};

// Time-code errors; the time-code value classes derive their own kinds from it.
class MidiTimeCodeError : public BrixMidiError {
public:
    explicit MidiTimeCodeError(const std::string& message) : BrixMidiError(message) {}
};
