#pragma once

#include <cstdint>
#include <string>

// SettingsFileWriter: builds one small binary settings file in memory and replaces the file on disk
// with it in one step.
//
// Encoding: integers little-endian, no alignment, no padding; a string is one length byte followed by
// its bytes, without a terminator.
//
// Owner: the settings object that saves, for the duration of one save.
// Threads: one at a time; not thread-safe.
//
// Commit writes the bytes to "<path>.tmp" and renames that over the path, so a crash or a full disk
// while writing leaves the previous file whole.
class SettingsFileWriter {
public:
    void WriteU8(std::uint8_t value);
    void WriteU16(std::uint16_t value);
    void WriteU32(std::uint32_t value);
    // Throws std::length_error "String length is limited to 256 characters" for 256 bytes or more,
    // writing nothing.
    void WriteString(const std::string& text);

    // Appends bytes encoded elsewhere (a settings object that writes itself to a stream).
    void WriteBytes(const std::string& encoded) { bytes += encoded; }

    // The bytes written so far.
    const std::string& GetBytes() const { return bytes; }

    // Replaces the file at path (UTF-8) with the bytes. Throws fennic::IoError with the path followed
    // by " is not writable." when the file cannot be written; the old file is then left untouched.
    void Commit(const std::string& path) const;

private:
    std::string bytes;
};
