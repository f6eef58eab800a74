#include <brix_core/BinaryReader.h>

#include <algorithm>
#include <bit>

namespace cmn {

void BinaryReader::Fail(const std::string& what, const std::string& problem) const {
    throw BinaryFormatError(what + " at byte " + std::to_string(offset_) + ": " + problem);
}

std::string_view BinaryReader::ReadBytes(std::size_t size, const char* what) {
    if (size > GetBytesLeft()) {
        Fail(what, "needs " + std::to_string(size) + " bytes, " + std::to_string(GetBytesLeft()) +
                       " left");
    }
    const std::string_view read = bytes_.substr(offset_, size);
    offset_ += size;
    return read;
}

std::uint64_t BinaryReader::ReadLittleEndian(std::size_t size, const char* what) {
    const std::string_view read = ReadBytes(size, what);
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value |= std::uint64_t{static_cast<unsigned char>(read[i])} << (8 * i);
    }
    return value;
}

std::uint8_t BinaryReader::ReadU8(const char* what) {
    return static_cast<std::uint8_t>(ReadLittleEndian(1, what));
}

std::uint16_t BinaryReader::ReadU16(const char* what) {
    return static_cast<std::uint16_t>(ReadLittleEndian(2, what));
}

std::uint32_t BinaryReader::ReadU32(const char* what) {
    return static_cast<std::uint32_t>(ReadLittleEndian(4, what));
}

std::uint64_t BinaryReader::ReadU64(const char* what) { return ReadLittleEndian(8, what); }

std::int32_t BinaryReader::ReadI32(const char* what) {
    return static_cast<std::int32_t>(ReadU32(what));
}

double BinaryReader::ReadF64(const char* what) { return std::bit_cast<double>(ReadU64(what)); }

std::string BinaryReader::ReadString(const char* what) {
    const std::uint32_t size = ReadCount(1, what);
    return std::string(ReadBytes(size, what));
}

std::uint32_t BinaryReader::ReadCount(std::size_t minimumElementSize, const char* what) {
    const std::size_t start = offset_;
    const std::uint32_t count = ReadU32(what);
    const std::size_t elementSize = std::max<std::size_t>(minimumElementSize, 1);
    const std::size_t left = GetBytesLeft();
    if (count > left / elementSize) {
        offset_ = start;
        Fail(what, "a count of " + std::to_string(count) + " does not fit in the " +
                       std::to_string(left) + " bytes left");
    }
    return count;
}

}  // namespace cmn
