#pragma once

#include <map>
#include <string>

// Type codes of the timeline records and change-log events, one byte each, and their edit names.
// The change-log codes are the character codes the edit tools and the change-log files use:
// vamp '@' (64), repeat 'A' (65), cut 'B' (66), transposition 'C' (67), marker 'E' (69),
// tempo scale 'F' (70), click 'L' (76), fermata 'M' (77, the skip tool's event), caesura 'N' (78),
// OSC cue 'S' (83). The timeline records use lower-case letters.
namespace codes {

inline constexpr unsigned char vamp = '@';
inline constexpr unsigned char repeat = 'A';
inline constexpr unsigned char cut = 'B';
inline constexpr unsigned char transpose = 'C';
inline constexpr unsigned char marker = 'E';
inline constexpr unsigned char tempoScale = 'F';
inline constexpr unsigned char click = 'L';
inline constexpr unsigned char fermata = 'M';
inline constexpr unsigned char caesura = 'N';
inline constexpr unsigned char osc = 'S';

inline constexpr unsigned char barsBeats = 'b';
inline constexpr unsigned char key = 'k';
inline constexpr unsigned char meter = 'm';
inline constexpr unsigned char pageNum = 'p';
inline constexpr unsigned char tempo = 't';

// The change-log kinds' codes, in the order CL::SongLog keeps its kinds.
inline constexpr unsigned char changeLogCodes[] = {click, tempoScale, transpose, marker, cut,
                                                   repeat, vamp, fermata, caesura, osc};

// Whether a code is one of changeLogCodes.
bool IsChangeLogCode(int code);
// Whether events of a change-log code are regions (start to end) rather than single positions
// (marker, caesura, OSC cue). False for a code that is no change-log kind.
bool IsRegionCode(int code);

// Edit name of every code above ("Click", "Fermata", "Tempo" ...). The map is const, so no lookup can
// insert into it; use EditName for a lookup that tolerates unknown codes.
extern const std::map<unsigned char, std::string> editNameByBrixEventCode;

// The edit name of a code, or "" for a code without an entry. Never inserts.
std::string EditName(unsigned char code);

}  // namespace codes
