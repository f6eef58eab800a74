#include "SettingsFileWriter.h"

#include <fennic/Exceptions.h>
#include <fennic/ReplaceFile.h>

#include <filesystem>
#include <stdexcept>

void SettingsFileWriter::WriteU8(std::uint8_t value) {
    bytes.push_back(static_cast<char>(value));
}

void SettingsFileWriter::WriteU16(std::uint16_t value) {
    WriteU8(static_cast<std::uint8_t>(value & 0xFF));
    WriteU8(static_cast<std::uint8_t>(value >> 8));
}

void SettingsFileWriter::WriteU32(std::uint32_t value) {
    WriteU16(static_cast<std::uint16_t>(value & 0xFFFF));
    WriteU16(static_cast<std::uint16_t>(value >> 16));
}

void SettingsFileWriter::WriteString(const std::string& text) {
    if (text.size() > 255) {
        throw std::length_error("String length is limited to 256 characters");
    }
    WriteU8(static_cast<std::uint8_t>(text.size()));
    bytes += text;
}

void SettingsFileWriter::Commit(const std::string& path) const {
    try {
        fennic::ReplaceFileContents(std::filesystem::path(std::u8string(path.begin(), path.end())), bytes);
    } catch (const fennic::IoError&) {
        throw fennic::IoError(path + " is not writable.");
    }
}
