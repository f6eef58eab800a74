#pragma once

#include "FrameRate.h"

#include <array>
#include <cstdint>

// The two MIDI time-code wire messages. Plain values; copies take all bytes.

// The 10-byte full-frame System Exclusive message:
// F0 7F 7F 01 01 (rate << 5 | hours) minutes seconds frames F7.
class FullFrameMessage {
public:
    FullFrameMessage(unsigned char hours, unsigned char minutes, unsigned char seconds,
                     unsigned char frames, FrameRate rate);

    unsigned char GetHours() const { return bytes[5] & 0x1F; }
    FrameRate GetFrameRate() const { return static_cast<FrameRate>((bytes[5] >> 5) & 3); }
    unsigned char GetMinutes() const { return bytes[6]; }
    unsigned char GetSeconds() const { return bytes[7]; }
    unsigned char GetFrames() const { return bytes[8]; }
    const unsigned char* Get() const { return bytes.data(); }

private:
    std::array<unsigned char, 10> bytes;
};

// The 2-byte quarter-frame message: F1, then the message index (0-7) in the high nibble and the message's
// value in the low nibble. Messages 0/1 carry the frames, 2/3 the seconds, 4/5 the minutes (low nibble,
// then high nibble), 6 the hours' low nibble, 7 is 0111 0rrh (rate, hours bit 4).
class QuarterFrameMessage {
public:
    // Message of a field: an odd index takes the value's high nibble, an even one its low nibble.
    QuarterFrameMessage(unsigned char index, unsigned char value);
    // Message 7: the rate and bit 4 of the hours.
    QuarterFrameMessage(unsigned char index, unsigned char hours, FrameRate rate);

    unsigned char GetIndex() const { return bytes[1] >> 4; }
    // The message's nibble where it belongs in its field: shifted to the high nibble for an odd index.
    unsigned char GetNibble() const;
    unsigned char GetDataByte() const { return bytes[1]; }
    const unsigned char* Get() const { return bytes.data(); }

    friend bool operator==(const QuarterFrameMessage&, const QuarterFrameMessage&) = default;

private:
    std::array<unsigned char, 2> bytes;
};
