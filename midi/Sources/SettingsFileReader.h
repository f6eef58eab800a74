#pragma once

#include <cstdint>
#include <fstream>
#include <string>

// SettingsFileReader: reads the fields of one small binary settings file in the encoding of
// SettingsFileWriter (little-endian integers, one-length-byte strings).
//
// Owner: the settings object that loads, for the duration of one load.
// Threads: one at a time; not thread-safe.
//
// Every read that runs past the end of the file throws std::ios_base::failure; the fields read
// before it keep their values in the caller's hands.
class SettingsFileReader {
public:
    // Opens the file at path (UTF-8) for binary reading. Throws fennic::IoError carrying the stream
    // failure's text when it cannot be opened (usually: it does not exist yet).
    explicit SettingsFileReader(const std::string& path);

    std::uint8_t ReadU8();
    std::uint16_t ReadU16();
    std::uint32_t ReadU32();
    // Reads the length byte, then exactly that many bytes.
    std::string ReadString();

private:
    std::ifstream in;
};
