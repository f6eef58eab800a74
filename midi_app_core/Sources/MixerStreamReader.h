#pragma once

#include <cstdint>
#include <istream>
#include <string>

// MixerStreamReader: reads the fields of the mixer settings file from a stream, in the encoding of
// SettingsFileWriter (little-endian integers, no padding, strings as one length byte and the bytes).
//
// Owner: the reader of one record, for the duration of the read. Not thread-safe.
//
// Every read that runs past the end of the stream, or on a failed stream, throws
// std::ios_base::failure, whatever exception mask the stream has. A string allocates at most 255
// bytes, so no count read from the stream makes a read allocate without bound.
class MixerStreamReader {
public:
    explicit MixerStreamReader(std::istream& in) : in(in) {}

    std::uint8_t ReadU8();
    std::uint16_t ReadU16();
    std::int16_t ReadI16();
    // One byte; any value but 0 is true.
    bool ReadBool();
    std::string ReadString();

private:
    void ReadBytes(char* bytes, std::streamsize count);

    std::istream& in;
};
