#include "MidiCommandSettings.h"

#include "BrixMidiError.h"
#include "MidiStatus.h"
#include "SettingsFileReader.h"
#include "SettingsFileWriter.h"

#include <fennic/CoutBuffer.h>
#include <fennic/Format.h>

#include <optional>
#include <string>
#include <vector>

namespace midi_commands {

namespace {

constexpr std::uint8_t kNoSource = 0;
constexpr std::uint8_t kConnectedSource = 1;
// MIDI inputs are chosen by an 8-bit index.
constexpr std::uint32_t kLastSourceIndex = 255;

// Why no learned command can be this record, or nothing when one can: commands are learned from
// note-ons, control changes and program changes, stored with their channel apart.
std::optional<std::string> FaultOf(const LearnedCommand& record) {
    const std::string id = std::to_string(record.commandId);
    if (!IsCommandId(record.commandId)) {
        return "the unknown command id " + id;
    }
    if (record.status != midi_status::kNoteOn && record.status != midi_status::kControlChange &&
        record.status != midi_status::kProgramChange) {
        return fennic::format("command id %s with status 0x%02X", id.c_str(), record.status);
    }
    if (record.channel > 15) {
        return "command id " + id + " with channel " + std::to_string(record.channel);
    }
    if (record.data > 127) {
        return "command id " + id + " with data " + std::to_string(record.data);
    }
    return std::nullopt;
}

}  // namespace

MidiCommandSettings MidiCommandSettings::ReadFromFile(const std::string& path) {
    SettingsFileReader reader(path);
    if (reader.ReadString() != kHeader) {
        throw BrixMidiError("Unrecognized command settings file.");
    }
    const std::uint8_t sourceKind = reader.ReadU8();
    const std::uint32_t sourceIndex = reader.ReadU32();
    const std::uint16_t count = reader.ReadU16();

    // All records are read before any is kept, so a file that ends early gives nothing.
    std::vector<LearnedCommand> records;
    for (std::uint16_t i = 0; i < count; ++i) {
        LearnedCommand record;
        record.commandId = reader.ReadU8();
        record.status = reader.ReadU8();
        record.channel = reader.ReadU8();
        record.data = reader.ReadU8();
        records.push_back(record);
    }

    MidiCommandSettings settings;
    if (sourceKind == kConnectedSource) {
        if (sourceIndex <= kLastSourceIndex) {
            settings.sourceIndex = sourceIndex;
        } else {
            fennic::CoutBuffer() << "WARNING: LoadFromFile skipped the source index " << sourceIndex << fennic::endl;
        }
    }
    for (const LearnedCommand& record : records) {
        if (const std::optional<std::string> fault = FaultOf(record)) {
            fennic::CoutBuffer() << "WARNING: LoadFromFile skipped a record of " << *fault << fennic::endl;
            continue;
        }
        settings.learnedCommands[record.commandId] = record;
    }
    return settings;
}

void MidiCommandSettings::WriteToFile(const std::string& path) const {
    SettingsFileWriter writer;
    writer.WriteString(kHeader);
    writer.WriteU8(sourceIndex ? kConnectedSource : kNoSource);
    writer.WriteU32(sourceIndex.value_or(0));
    writer.WriteU16(static_cast<std::uint16_t>(learnedCommands.size()));
    for (const auto& [commandId, command] : learnedCommands) {
        writer.WriteU8(commandId);
        writer.WriteU8(command.status);
        writer.WriteU8(command.channel);
        writer.WriteU8(command.data);
    }
    writer.Commit(path);
}

}  // namespace midi_commands
