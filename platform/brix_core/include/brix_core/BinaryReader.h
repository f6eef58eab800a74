#pragma once

#include <fennic/Exceptions.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cmn {

// Binary data that cannot be read: too short for what it claims to hold, or holding a value that its
// form does not allow. what() says what was being read and at which byte.
class BinaryFormatError : public fennic::RuntimeError {
public:
    using fennic::RuntimeError::RuntimeError;
};

// Reads the little-endian binary forms that the WriteBinary functions write (cmn::BrixEvent,
// cmn::BRIXSequence), from bytes held in memory. Every read first checks the bytes left and throws
// BinaryFormatError instead of reading past the end; a count is checked against the bytes left before
// anything is allocated for it, so damaged data can never ask for a huge allocation.
// Not thread-safe; the bytes must outlive the reader.
class BinaryReader {
public:
    explicit BinaryReader(std::string_view bytes) : bytes_(bytes) {}

    std::uint8_t ReadU8(const char* what);
    std::uint16_t ReadU16(const char* what);
    std::uint32_t ReadU32(const char* what);
    std::uint64_t ReadU64(const char* what);
    std::int32_t ReadI32(const char* what);
    // An IEEE-754 double from its 64 bits.
    double ReadF64(const char* what);
    // A u32 length and that many bytes.
    std::string ReadString(const char* what);
    // Exactly size bytes.
    std::string_view ReadBytes(std::size_t size, const char* what);
    // A u32 count of elements of at least minimumElementSize bytes each (at least 1); throws when
    // that many elements cannot fit in the bytes left.
    std::uint32_t ReadCount(std::size_t minimumElementSize, const char* what);

    std::size_t GetOffset() const { return offset_; }
    std::size_t GetBytesLeft() const { return bytes_.size() - offset_; }

    // A BinaryFormatError "<what> at byte <offset>: <problem>" at the current offset.
    [[noreturn]] void Fail(const std::string& what, const std::string& problem) const;

private:
    std::uint64_t ReadLittleEndian(std::size_t size, const char* what);

    std::string_view bytes_;
    std::size_t offset_ = 0;
};

}  // namespace cmn
