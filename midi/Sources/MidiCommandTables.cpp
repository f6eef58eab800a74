#include "MidiCommandTables.h"

#include "LearnedCommand.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/NotifyNames.h>

#include <iterator>

namespace midi_commands {

namespace {

struct Command {
    unsigned char id;
    const char* displayName;
    const char* eventName;
};

const Command kCommands[] = {
    {0, "Conduct Beat", notify::names::midiCommandConductBeat},
    {1, "Continuous Mode", notify::names::midiCommandContinuousMode},
    {2, "Play", notify::names::midiCommandPlay},
    {3, "Pause", notify::names::midiCommandPause},
    {4, "Stop", notify::names::midiCommandStop},
    {5, "Next Song", notify::names::midiCommandNextSong},
    {6, "Previous Song", notify::names::midiCommandPreviousSong},
    {7, "Next Marker", notify::names::midiCommandNextMarker},
    {8, "Previous Marker", notify::names::midiCommandPreviousMarker},
    {9, "Continue", notify::names::midiCommandContinue},
    {10, "NextPatch", notify::names::midiCommandNextPatch},
    {11, "PreviousPatch", notify::names::midiCommandPreviousPatch},
};
static_assert(std::size(kCommands) == kCommandCount);

std::map<unsigned char, std::function<void()>> BuildActions() {
    std::map<unsigned char, std::function<void()>> actions;
    for (const Command& command : kCommands) {
        const char* eventName = command.eventName;
        actions.emplace(command.id, [eventName] { notify::callbackDispatcher.Notify(eventName, nullptr); });
    }
    return actions;
}

// The display names of the commands first to last, both included.
std::map<unsigned char, std::string> BuildNames(unsigned char first, unsigned char last) {
    std::map<unsigned char, std::string> names;
    for (const Command& command : kCommands) {
        if (command.id >= first && command.id <= last) {
            names.emplace(command.id, command.displayName);
        }
    }
    return names;
}

}  // namespace

const std::map<unsigned char, std::function<void()>> commandIds = BuildActions();
const std::map<unsigned char, std::string> commandNames = BuildNames(2, 9);
const std::map<unsigned char, std::string> gantrymereCommandNames = BuildNames(0, 9);
const std::map<unsigned char, std::string> keysCommandNames = BuildNames(0, kCommandCount - 1);

}  // namespace midi_commands
