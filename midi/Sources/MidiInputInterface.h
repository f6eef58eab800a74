#pragma once

// MidiInputInterface: an open MIDI input that delivers its messages to a receiver once started.
// Destroying it stops delivery before it returns.
class MidiInputInterface {
public:
    MidiInputInterface() = default;
    MidiInputInterface(const MidiInputInterface&) = delete;
    MidiInputInterface& operator=(const MidiInputInterface&) = delete;
    virtual ~MidiInputInterface() = default;

    virtual void Start() = 0;
    virtual unsigned char GetPortIndex() = 0;
};
