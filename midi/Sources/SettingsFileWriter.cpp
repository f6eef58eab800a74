#include "SettingsFileWriter.h"

#include <fennic/Exceptions.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

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
    const std::filesystem::path target = std::filesystem::path(std::u8string(path.begin(), path.end()));
    std::filesystem::path temporary = target;
    temporary += ".tmp";
    const auto notWritable = [&path]() { return fennic::IoError(path + " is not writable."); };
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out.good()) {
            throw notWritable();
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (out.fail()) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw notWritable();
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw notWritable();
    }
}
