#include "fennic/NumericStringCompare.h"

#include <string_view>
#include <tuple>

namespace fennic {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A string split into its leading number (digits without leading zeros) and the rest.
struct SongNumberKey {
    bool hasNumber;
    std::string_view digits;  // significant digits, "" for the value 0
    std::string_view rest;
};

SongNumberKey MakeKey(const std::string& s) {
    std::size_t end = 0;
    while (end < s.size() && IsDigit(s[end])) {
        ++end;
    }
    if (end == 0) {
        return {false, {}, s};
    }
    std::size_t start = 0;
    while (start < end && s[start] == '0') {
        ++start;
    }
    const std::string_view view(s);
    return {true, view.substr(start, end - start), view.substr(end)};
}

}  // namespace

bool NumericStringCompare::operator()(const std::string& a, const std::string& b) const {
    const SongNumberKey ka = MakeKey(a);
    const SongNumberKey kb = MakeKey(b);
    if (ka.hasNumber != kb.hasNumber) {
        return ka.hasNumber;  // numbered songs first
    }
    if (ka.hasNumber) {
        // By value: fewer significant digits is smaller; same count compares digit by digit.
        const auto va = std::make_tuple(ka.digits.size(), ka.digits, ka.rest);
        const auto vb = std::make_tuple(kb.digits.size(), kb.digits, kb.rest);
        if (va != vb) {
            return va < vb;
        }
    }
    // Same value and rest ("01" vs "1"), or no numbers at all: the text decides.
    return a < b;
}

}  // namespace fennic
