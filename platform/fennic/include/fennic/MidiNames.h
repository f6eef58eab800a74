#pragma once

#include <string>

namespace fennic::midi {

// The name of a MIDI note number, with sharps and the octave where middle C (60) is "C4":
// 0 = "C-1", 60 = "C4", 61 = "C#4", 69 = "A4", 127 = "G9". Numbers above 127 are not MIDI notes;
// they continue the same pattern (128 = "G#9", 132 = "C10") rather than throwing.
std::string GetNoteName(unsigned char note);

}  // namespace fennic::midi
