#include "MidiCommandSettings.h"

#include "BrixMidiError.h"
#include "SettingsFileReader.h"
#include "SettingsFileWriter.h"

#include <fennic/CoutBuffer.h>

#include <vector>

namespace midi_commands {

namespace {

constexpr std::uint8_t kNoSource = 0;
constexpr std::uint8_t kConnectedSource = 1;

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
        settings.sourceIndex = sourceIndex;
    }
    for (const LearnedCommand& record : records) {
        if (!IsCommandId(record.commandId)) {
            fennic::CoutBuffer() << "WARNING: LoadFromFile skipped a record of the unknown command id "
                                 << static_cast<unsigned int>(record.commandId) << fennic::endl;
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
