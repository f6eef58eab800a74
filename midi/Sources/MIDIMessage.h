#pragma once

#include <cstdint>

// One short MIDI message as it arrives from a MIDI input: status (with the channel in the low four
// bits for channel messages), data 1, data 2. A plain value: copies take all three bytes.
struct MIDIMessage {
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;

    // The message kind without its channel (status & 0xF0).
    std::uint8_t GetStatus() const noexcept { return status & 0xF0; }
    // The channel of a channel message (status & 0x0F).
    std::uint8_t GetChannel() const noexcept { return status & 0x0F; }
};
