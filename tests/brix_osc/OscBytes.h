#pragma once

#include <initializer_list>
#include <string>

namespace osc_test {

// A byte string from a list of byte values or characters: Bytes({'/', 'a', 0, 0}).
inline std::string Bytes(std::initializer_list<int> bytes)
{
    std::string text;
    for (int byte : bytes) {
        text += static_cast<char>(byte);
    }
    return text;
}

}  // namespace osc_test
