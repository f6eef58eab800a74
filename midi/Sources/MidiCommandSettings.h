#pragma once

#include "LearnedCommand.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace midi_commands {

// MidiCommandSettings: what the MIDI command settings file keeps between runs: the learned commands
// and the MIDI input that was connected, if any. A plain value; the owner of the learned commands
// loads it once at start-up and saves it once at the end.
//
// File layout (little-endian, no alignment): the string "MidiCommandsSettings" (one length byte and
// 20 bytes), the source kind (u8: 1 when a source is recorded, else 0), the source index (u32, 0
// without a source), the count of records (u16), then one 4-byte record per learned command in
// ascending command id: command id, status, channel, data. Bytes after the last record are not read.
struct MidiCommandSettings {
    static constexpr const char* kHeader = "MidiCommandsSettings";

    // The recorded MIDI input, when the file names one (source kind 1).
    std::optional<std::uint32_t> sourceIndex;
    // The learned commands by command id.
    std::map<std::uint8_t, LearnedCommand> learnedCommands;

    // Reads the file at path (UTF-8). Records of a later command id replace earlier ones of the same
    // id. A record that no learned command can have (an id without a command, a status other than
    // 0x90, 0xB0 and 0xC0, a channel above 15, data above 127) is skipped with a "WARNING: " line on
    // the console buffer, and so is a source index above 255 (inputs have 8-bit indexes). A source
    // kind other than 1 records no source.
    // Throws fennic::IoError when the file cannot be opened, BrixMidiError "Unrecognized command
    // settings file." when the header differs, std::ios_base::failure when the file ends early;
    // nothing is returned then.
    static MidiCommandSettings ReadFromFile(const std::string& path);

    // Replaces the file at path (UTF-8) through a temporary file. Throws fennic::IoError with the path
    // followed by " is not writable." when it cannot be written; the old file is then kept.
    void WriteToFile(const std::string& path) const;

    friend bool operator==(const MidiCommandSettings&, const MidiCommandSettings&) = default;
};

}  // namespace midi_commands
