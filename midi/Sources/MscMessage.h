#pragma once

#include <cstdint>
#include <string>

// MIDI Show Control: the GO message addressed to a music or audio-effects device, parsed from the
// bytes of a universal real-time System Exclusive message. Plain values, copyable and movable.

// The command-format codes this library accepts.
enum class MscCommandFormat : std::uint8_t {
    Music = 0x11,
    AudioEffects = 0x17,
};

// The command codes this library accepts.
enum class MscCommand : std::uint8_t {
    Go = 0x01,
};

// A cue: its number, and the cue list and cue path when given (empty otherwise); each holds ASCII
// digits and points only.
struct MscCueNumber {
    std::string number;
    std::string list;
    std::string path;

    friend bool operator==(const MscCueNumber&, const MscCueNumber&) = default;
};

class MscMessage {
public:
    // bytes: the System Exclusive message after its opening 0xF0 0x7F, that is device id, 0x02,
    // command format, command, cue data ended by 0xF7; length counts them from the device id on.
    // Throws std::runtime_error, with no message built, on:
    //   "Insufficient bytes to be a valid MSC message"  fewer than 4 bytes
    //   "The SysEx code is not for MSC"                   byte 1 is not 0x02
    //   "Invalid MSC command format type"                 format other than 0x11 and 0x17
    //   "Invalid Msc command"                             command other than GO
    //   "MSC Message Cue Overflow"                        a cue value runs past the bytes given, the
//                                                     cue data has no closing 0xF7, or a cue value
//                                                     holds a byte other than a digit or a point
    MscMessage(const unsigned char* bytes, unsigned long long length);

    unsigned char DeviceId() const { return deviceId; }
    MscCommandFormat Format() const { return format; }
    MscCommand Command() const { return command; }
    MscCueNumber EventId() const { return cue; }

private:
    // Reads the cue number, then the cue list and the cue path when each is introduced by 0x00.
    static MscCueNumber ReadMscCueNumber_(const unsigned char* data, unsigned long long remaining);
    // Takes bytes up to a 0x00 or 0xF7, leaving the cursor on that byte; every byte taken must be a
    // digit or a point.
    static std::string ReadMscCueValue_(const unsigned char*& cursor, unsigned long long remaining);

    std::uint8_t deviceId = 0;
    MscCommandFormat format = MscCommandFormat::Music;
    MscCommand command = MscCommand::Go;
    MscCueNumber cue;
};
