#include "MidiTimeCodeMessages.h"

FullFrameMessage::FullFrameMessage(unsigned char hours, unsigned char minutes, unsigned char seconds,
                                   unsigned char frames, FrameRate rate)
    : bytes{0xF0,
            0x7F,
            0x7F,
            0x01,
            0x01,
            static_cast<unsigned char>(((static_cast<unsigned int>(rate) & 7) << 5) | (hours & 0x1F)),
            minutes,
            seconds,
            frames,
            0xF7} {}

QuarterFrameMessage::QuarterFrameMessage(unsigned char index, unsigned char value)
    : bytes{0xF1, static_cast<unsigned char>((index << 4) | ((index & 1) ? (value >> 4) : (value & 0x0F)))} {}

QuarterFrameMessage::QuarterFrameMessage(unsigned char index, unsigned char hours, FrameRate rate)
    : bytes{0xF1, static_cast<unsigned char>((((index << 3) | static_cast<unsigned int>(rate)) << 1) |
                                             (hours >> 4))} {}

unsigned char QuarterFrameMessage::GetNibble() const {
    if (GetIndex() & 1) {
        return static_cast<unsigned char>((bytes[1] << 4) & 0xFF);
    }
    return bytes[1] & 0x0F;
}
