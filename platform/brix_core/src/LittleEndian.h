#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace brix_core_detail {

// Writes an unsigned integer of sizeof(T) bytes, least significant byte first.
template <class T>
void WriteLittleEndian(std::ostream& out, T value) {
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        out.put(static_cast<char>(static_cast<std::uint64_t>(value) >> (8 * i) & 0xFF));
    }
}

// A u32 length followed by the bytes.
inline void WriteLengthAndBytes(std::ostream& out, const std::string& text) {
    WriteLittleEndian(out, static_cast<std::uint32_t>(text.size()));
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace brix_core_detail
