#include "fennic/MidiNames.h"

namespace fennic::midi {

std::string GetNoteName(unsigned char note) {
    static const char* const kNames[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                           "F#", "G",  "G#", "A",  "A#", "B"};
    const int octave = note / 12 - 1;
    return std::string(kNames[note % 12]) + std::to_string(octave);
}

}  // namespace fennic::midi
