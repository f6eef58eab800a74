#pragma once

#include <functional>
#include <map>
#include <string>

namespace midi_commands {

// The fixed tables of the MIDI remote-control commands, built when the library loads and never
// changed afterwards, so any thread may read them without a lock.

// Command id (0-11) to its action: each posts the command's notify::names event with a null data
// pointer on notify::callbackDispatcher, on the calling thread (the MIDI input thread when fired).
extern const std::map<unsigned char, std::function<void()>> commandIds;

// Display names for the front end, which lists the commands it offers from one of these.
// Ids 2-9 ("Play" to "Continue"): without the two conductor commands.
extern const std::map<unsigned char, std::string> commandNames;
// Ids 0-9 ("Conduct Beat" to "Continue").
extern const std::map<unsigned char, std::string> gantrymereCommandNames;
// Ids 0-11 ("Conduct Beat" to "PreviousPatch").
extern const std::map<unsigned char, std::string> keysCommandNames;

}  // namespace midi_commands
