#pragma once

#include <string>

namespace fennic {

// Orders song numbers as numbers: "2" < "10" < "10A" < "10B" < "11".
// - A string that begins with a digit sorts before every string that does not.
// - Leading digit runs are compared by value, of any length (no overflow: leading zeros are skipped,
//   then the shorter run is the smaller number, equal lengths compare digit by digit).
// - Equal values: the rest of the string after the digits decides, compared as text (bytes).
// - Strings without a leading number compare as text.
// - Last, when value and rest are equal but the strings are not ("01" and "1"), the strings themselves
//   compare as text, so only identical strings are equivalent: a strict weak (in fact total) ordering,
//   as std::map and std::sort need.
struct NumericStringCompare {
    bool operator()(const std::string& a, const std::string& b) const;
};

}  // namespace fennic
