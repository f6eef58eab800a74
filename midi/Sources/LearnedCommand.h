#pragma once

#include <cstdint>

namespace midi_commands {

// The number of remote-control commands: ids 0 to 11 have an action.
inline constexpr unsigned int kCommandCount = 12;

inline constexpr bool IsCommandId(unsigned int commandId) {
    return commandId < kCommandCount;
}

// One command bound to one MIDI message. The message's key is (status | channel, data); the second
// data byte (velocity, controller value) plays no part in it.
struct LearnedCommand {
    std::uint8_t commandId = 0;
    std::uint8_t status = 0;   // status nibble, channel bits clear: 0x90, 0xB0 or 0xC0
    std::uint8_t channel = 0;  // 0-15
    std::uint8_t data = 0;     // note, controller or program number

    friend bool operator==(const LearnedCommand&, const LearnedCommand&) = default;
};
static_assert(sizeof(LearnedCommand) == 4);

}  // namespace midi_commands
