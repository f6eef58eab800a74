// Fuzzes the reader of the MIDI command settings file: any file gives settings that a learned
// command can have, a BrixMidiError (wrong header) or a stream failure (file cut short); settings
// that were read are written and read back unchanged.

#include "FuzzSupport.h"

#include "BrixMidiError.h"
#include "MidiCommandSettings.h"

#include <cstddef>
#include <cstdint>
#include <ios>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::ScratchFolder folder("commands");
    using midi_commands::MidiCommandSettings;
    std::optional<MidiCommandSettings> settings;
    try {
        settings = MidiCommandSettings::ReadFromFile(folder.Write("midicommands", data, size));
    } catch (const BrixMidiError&) {
        return 0;
    } catch (const std::ios_base::failure&) {
        return 0;
    }
    fuzz::Require(!settings->sourceIndex || *settings->sourceIndex <= 255, "an 8-bit source index");
    for (const auto& [commandId, command] : settings->learnedCommands) {
        fuzz::Require(commandId == command.commandId && midi_commands::IsCommandId(commandId), "a known command id");
        fuzz::Require(command.status == 0x90 || command.status == 0xB0 || command.status == 0xC0,
                      "a note-on, control change or program change");
        fuzz::Require(command.channel <= 15 && command.data <= 127, "a channel and a data byte");
    }
    const std::string copy = folder.Path("copy");
    settings->WriteToFile(copy);
    fuzz::Require(MidiCommandSettings::ReadFromFile(copy) == *settings, "written settings read back unchanged");
    return 0;
}
