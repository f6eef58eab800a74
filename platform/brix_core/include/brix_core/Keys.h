#pragma once

#include <string>

namespace Keys {

// The name of a key signature moved by a number of semitones, e.g. "D major", "F# minor", "Bb major".
// sharpsFlats: sharps (> 0) or flats (< 0) of the signature; minorMode: 0 major, anything else minor.
// Major tonics: C Db D Eb E F F#|Gb G Ab A Bb B; minor tonics: C C# D D#|Eb E F F# G G# A Bb B, where
// the two spellings of the six-accidental keys follow the given signature (sharps when >= 0).
// Any number of semitones, either way, is accepted.
std::string getTransposedName(short sharpsFlats, short minorMode, short semitones);

// The name of a key signature as written (not transposed): getTransposedName(sharpsFlats, minorMode,
// 0). A TL::Key gives its fields second first: keyNameFromSig(key.sharpsFlats, key.mode).
std::string keyNameFromSig(short sharpsFlats, short minorMode);

}  // namespace Keys
