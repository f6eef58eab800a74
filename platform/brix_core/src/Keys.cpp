#include <brix_core/Keys.h>

#include <array>

namespace Keys {

std::string getTransposedName(short sharpsFlats, short minorMode, short semitones) {
    static constexpr std::array<const char*, 12> majorSharp{"C", "Db", "D", "Eb", "E",  "F",
                                                            "F#", "G", "Ab", "A", "Bb", "B"};
    static constexpr std::array<const char*, 12> minorSharp{"C", "C#", "D", "D#", "E",  "F",
                                                            "F#", "G", "G#", "A", "Bb", "B"};
    const bool minor = minorMode != 0;
    // Each sharp moves the major tonic a fifth (7 semitones) up; a minor tonic lies 9 above it.
    const int majorTonic = 7 * sharpsFlats;
    const int tonic = ((majorTonic + (minor ? 9 : 0) + semitones) % 12 + 12) % 12;
    std::string name = minor ? minorSharp[tonic] : majorSharp[tonic];
    if (sharpsFlats < 0 && !minor && tonic == 6) {
        name = "Gb";
    } else if (sharpsFlats < 0 && minor && tonic == 3) {
        name = "Eb";
    }
    return name + (minor ? " minor" : " major");
}

std::string keyNameFromSig(short sharpsFlats, short minorMode) {
    return getTransposedName(sharpsFlats, minorMode, 0);
}

}  // namespace Keys
