#pragma once

#include <map>
#include <string>

namespace std_midi::sb {

// Display names of the MIDI status kinds that a remote-control command can be learned from, by status
// byte without its channel (0x80 "Note Off" ... 0xE0 "Pitch Bend"). The table is const: a lookup never
// inserts, so any thread may read it.
extern const std::map<int, std::string> status_names;

// The name of a status kind. Throws std::out_of_range("invalid map<K, T> key") for a status the table
// does not hold.
const std::string& StatusName(int status);

}  // namespace std_midi::sb
