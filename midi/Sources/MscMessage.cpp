#include "MscMessage.h"

#include <stdexcept>

namespace {

constexpr unsigned char kMscSubId = 0x02;
constexpr unsigned char kValueSeparator = 0x00;
constexpr unsigned char kEndOfExclusive = 0xF7;

}  // namespace

MscMessage::MscMessage(const unsigned char* bytes, unsigned long long length) {
    if (length < 4) {
        throw std::runtime_error("Insufficient bytes to be a valid MSC message");
    }
    if (bytes[1] != kMscSubId) {
        throw std::runtime_error("The SysEx code is not for MSC");
    }
    deviceId = bytes[0];
    const auto formatCode = static_cast<MscCommandFormat>(bytes[2]);
    if (formatCode != MscCommandFormat::Music && formatCode != MscCommandFormat::AudioEffects) {
        throw std::runtime_error("Invalid MSC command format type");
    }
    format = formatCode;
    if (static_cast<MscCommand>(bytes[3]) != MscCommand::Go) {
        throw std::runtime_error("Invalid Msc command");
    }
    command = MscCommand::Go;
    cue = ReadMscCueNumber_(bytes + 4, length - 4);
}

MscCueNumber MscMessage::ReadMscCueNumber_(const unsigned char* data, unsigned long long remaining) {
    MscCueNumber result;
    const unsigned char* cursor = data;
    // Steps over the separator after a value of the given length; false when no further value follows.
    const auto nextValue = [&](const std::string& value) {
        if (value.size() >= remaining || *cursor != kValueSeparator) {
            return false;
        }
        ++cursor;
        remaining -= value.size() + 1;
        return true;
    };
    result.number = ReadMscCueValue_(cursor, remaining);
    if (!nextValue(result.number)) {
        return result;
    }
    result.list = ReadMscCueValue_(cursor, remaining);
    if (!nextValue(result.list)) {
        return result;
    }
    result.path = ReadMscCueValue_(cursor, remaining);
    return result;
}

std::string MscMessage::ReadMscCueValue_(const unsigned char*& cursor, unsigned long long remaining) {
    std::string value;
    for (unsigned long long taken = 0;; ++taken) {
        if (taken == remaining) {
            throw std::runtime_error("MSC Message Cue Overflow");
        }
        if (*cursor == kValueSeparator || *cursor == kEndOfExclusive) {
            return value;
        }
        value.push_back(static_cast<char>(*cursor));
        ++cursor;
    }
}
