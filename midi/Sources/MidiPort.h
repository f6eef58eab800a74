#pragma once

#include <string>

class MidiBuffer;

// MidiPort: one MIDI port of the platform, known by its index in the platform's device list.
// Copying a port copies its index. Platforms without unique ids answer GetUniqueId() with 0.
class MidiPort {
public:
    explicit MidiPort(unsigned char portIndex) : portIndex_(portIndex) {}
    MidiPort(const MidiPort&) = default;
    MidiPort& operator=(const MidiPort&) = default;
    virtual ~MidiPort();

    unsigned char GetPortIndex() const { return portIndex_; }

    virtual bool SetUniqueId(int uniqueId) = 0;
    virtual std::string GetDisplayName() = 0;
    virtual int GetUniqueId() = 0;

private:
    unsigned char portIndex_;
};

// A port MIDI comes in through.
class MidiInputPort : public MidiPort {
public:
    using MidiPort::MidiPort;
    // Starts delivering input; the default does nothing.
    virtual void Start() {}
};

// A port a buffer's lane goes out through.
class MidiOutputPort : public MidiPort {
public:
    using MidiPort::MidiPort;
    virtual void SendMidiBuffer(MidiBuffer& buffer) = 0;
    // Throws std::runtime_error: changing a channel to drums is left to ports that can.
    virtual void SetChannelDrumMode(unsigned char channel, bool on);
};
