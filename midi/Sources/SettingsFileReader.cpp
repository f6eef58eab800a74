#include "SettingsFileReader.h"

#include <fennic/Exceptions.h>

#include <filesystem>

SettingsFileReader::SettingsFileReader(const std::string& path) {
    in.exceptions(std::ios::failbit | std::ios::badbit);
    try {
        in.open(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary);
    } catch (const std::ios_base::failure& failure) {
        throw fennic::IoError(failure.what());
    }
}

std::uint8_t SettingsFileReader::ReadU8() {
    char byte = 0;
    in.read(&byte, 1);
    return static_cast<std::uint8_t>(byte);
}

std::uint16_t SettingsFileReader::ReadU16() {
    const std::uint16_t low = ReadU8();
    const std::uint16_t high = ReadU8();
    return static_cast<std::uint16_t>(low | (high << 8));
}

std::uint32_t SettingsFileReader::ReadU32() {
    const std::uint32_t low = ReadU16();
    const std::uint32_t high = ReadU16();
    return low | (high << 16);
}

std::string SettingsFileReader::ReadString() {
    std::string text(ReadU8(), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    return text;
}
