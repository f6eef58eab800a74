#include "OscMessage.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace brix::osc {

namespace {

constexpr std::size_t kAlign = 4;

std::uint32_t ReadBigEndian32(const char* bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | std::uint32_t{b[3]};
}

std::string WriteBigEndian32(std::uint32_t value)
{
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

}  // namespace

OscParamType OscParamTypeFromChar(char tag)
{
    switch (tag) {
    case 'i':
        return OscParamType::Int32;
    case 'f':
        return OscParamType::Float32;
    case 's':
        return OscParamType::String;
    case 'b':
        return OscParamType::Blob;
    default:
        return OscParamType::Unknown;
    }
}

char OscParamTypeToChar(OscParamType type)
{
    switch (type) {
    case OscParamType::Int32:
        return 'i';
    case OscParamType::Float32:
        return 'f';
    case OscParamType::String:
        return 's';
    case OscParamType::Blob:
        return 'b';
    case OscParamType::Unknown:
        break;
    }
    throw std::runtime_error("Unknown OSC Param Type has no character representation.");
}

std::string OscTypeTagText(const std::vector<OscParamType>& types)
{
    std::string text(1, ',');
    for (OscParamType type : types) {
        text += OscParamTypeToChar(type);
    }
    return text;
}

std::vector<OscParamType> OscTypeList(std::string_view typeTags)
{
    if (typeTags.empty() || typeTags.front() != ',') {
        throw std::runtime_error("OSC Parameter lists always start with a comma. This one did not.");
    }
    std::vector<OscParamType> types;
    types.reserve(typeTags.size() - 1);
    for (char tag : typeTags.substr(1)) {
        types.push_back(OscParamTypeFromChar(tag));
    }
    return types;
}

std::string OscParam::ToString() const { throw std::runtime_error("Parameter does not convert to string."); }

std::int32_t OscParam::ToInt32() const { throw std::runtime_error("Parameter does not convert to int32."); }

float OscParam::ToFloat32() const { throw std::runtime_error("Parameter does not convert to float32."); }

std::string OscInt32::ToString() const { return std::to_string(value_); }

std::string OscFloat32::ToString() const
{
    // "%f" of the largest float takes 46 characters.
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value_));
    return text;
}

DecodedOscString DecodeOscString(const char* bytes, std::size_t remaining)
{
    // No bytes may come as a null pointer, which memchr must not be given.
    const void* nul = remaining == 0 ? nullptr : std::memchr(bytes, '\0', remaining);
    if (nul == nullptr) {
        throw std::runtime_error("OSC string is larger than buffer during read of null terminator.");
    }
    DecodedOscString result;
    result.text.assign(bytes, static_cast<const char*>(nul));
    std::size_t k = result.text.size() + 1;
    while (k % kAlign != 0) {
        if (k >= remaining) {
            throw std::runtime_error("The OSC string " + result.text + " is larger than buffer while zero padding.");
        }
        if (bytes[k] != '\0') {
            throw std::runtime_error("The OSC string " + result.text +
                                     " does not contain proper pad to extend the string to a multiple of 4.");
        }
        ++k;
    }
    result.consumed = k;
    return result;
}

DecodedOscParam DecodeOscParam(OscParamType type, const char* bytes, std::size_t remaining)
{
    switch (type) {
    case OscParamType::Int32:
        if (remaining < 4) {
            throw std::runtime_error("Cannot read OSC Param of type int32 in less than four bytes.");
        }
        return {std::make_unique<OscInt32>(static_cast<std::int32_t>(ReadBigEndian32(bytes))), 4};
    case OscParamType::Float32:
        if (remaining < 4) {
            throw std::runtime_error("Cannot read OSC Param of type float32 in less than four bytes.");
        }
        return {std::make_unique<OscFloat32>(std::bit_cast<float>(ReadBigEndian32(bytes))), 4};
    case OscParamType::String: {
        DecodedOscString string = DecodeOscString(bytes, remaining);
        return {std::make_unique<OscString>(std::move(string.text)), string.consumed};
    }
    case OscParamType::Blob:
    case OscParamType::Unknown:
        break;
    }
    throw std::runtime_error("Unsupported or unknown OSC Type.");
}

OscMessage OscMessage::Decode(const char* bytes, std::size_t length)
{
    DecodedOscString address = DecodeOscString(bytes, length);
    if (address.text == "#bundle") {
        throw std::runtime_error("OSC Bundle detected. OSC Bundles unsupported at this time.");
    }
    std::size_t offset = address.consumed;
    std::vector<std::unique_ptr<OscParam>> params;
    if (offset < length && bytes[offset] == ',') {
        const DecodedOscString tags = DecodeOscString(bytes + offset, length - offset);
        offset += tags.consumed;
        const std::vector<OscParamType> types = OscTypeList(tags.text);
        params.reserve(types.size());
        for (OscParamType type : types) {
            DecodedOscParam param = DecodeOscParam(type, bytes + offset, length - offset);
            offset += param.consumed;
            params.push_back(std::move(param.param));
        }
    }
    return OscMessage(std::move(address.text), std::move(params), offset);
}

std::string EncodeOscString(std::string_view text)
{
    std::string encoded(text);
    encoded.append(kAlign - text.size() % kAlign, '\0');
    return encoded;
}

std::string EncodeOscInt32(std::int32_t value) { return WriteBigEndian32(static_cast<std::uint32_t>(value)); }

std::string EncodeOscFloat32(float value) { return WriteBigEndian32(std::bit_cast<std::uint32_t>(value)); }

OscCommandParts SplitOscAddress(std::string_view address)
{
    if (address.size() < 6) {
        throw std::runtime_error("OSC command is too short for processing.");
    }
    if (address.substr(0, 6) != "/brix/") {
        throw std::runtime_error("OSC commands to BRIX software must start with /brix/");
    }
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start < address.size()) {
        const std::size_t slash = address.find('/', start);
        if (slash == std::string_view::npos) {
            parts.push_back(address.substr(start));
            break;
        }
        parts.push_back(address.substr(start, slash - start));
        start = slash + 1;
    }
    OscCommandParts result;
    if (parts.size() < 3) {
        return result;
    }
    std::size_t i = 2;
    while (i < parts.size()) {
        const std::string_view part = parts[i];
        if (i + 1 == parts.size()) {
            result.command = part;
            break;
        }
        if (part == "show") {
            result.show = parts[i + 1];
        } else if (part == "song") {
            result.song = parts[i + 1];
        } else if (part == "event") {
            result.event = parts[i + 1];
            result.isEvent = true;
        } else if (part == "sfx") {
            result.event = parts[i + 1];
            result.isSfx = true;
        } else {
            throw std::runtime_error("Unknown OSC command part: " + std::string(part));
        }
        i += 2;
    }
    return result;
}

std::string MakeOscSafeName(std::string_view name)
{
    std::string safe;
    safe.reserve(name.size());
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            safe += '_';
        } else if (c >= 'A' && c <= 'Z') {
            safe += static_cast<char>(c - 'A' + 'a');
        } else if (std::string_view("#,* /?[]{}").find(c) != std::string_view::npos) {
            safe += '_';
        } else {
            safe += c;
        }
    }
    return safe;
}

}  // namespace brix::osc
