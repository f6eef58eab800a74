#include "MixerStreamReader.h"

#include <ios>

void MixerStreamReader::ReadBytes(char* bytes, std::streamsize count)
{
    if (count == 0) {
        return;
    }
    if (!in.read(bytes, count) || in.gcount() != count) {
        throw std::ios_base::failure("The mixer settings stream ended inside a field.");
    }
}

std::uint8_t MixerStreamReader::ReadU8()
{
    char byte = 0;
    ReadBytes(&byte, 1);
    return static_cast<std::uint8_t>(byte);
}

std::uint16_t MixerStreamReader::ReadU16()
{
    const std::uint16_t low = ReadU8();
    const std::uint16_t high = ReadU8();
    return static_cast<std::uint16_t>(low | (high << 8));
}

std::int16_t MixerStreamReader::ReadI16()
{
    return static_cast<std::int16_t>(ReadU16());
}

bool MixerStreamReader::ReadBool()
{
    return ReadU8() != 0;
}

std::string MixerStreamReader::ReadString()
{
    std::string text(ReadU8(), '\0');
    ReadBytes(text.data(), static_cast<std::streamsize>(text.size()));
    return text;
}
