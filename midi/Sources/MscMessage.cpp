#include "MscMessage.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr unsigned char kMscSubId = 0x02;
constexpr unsigned char kValueSeparator = 0x00;
constexpr unsigned char kEndOfExclusive = 0xF7;
// The one error of cue data: a value that runs past the bytes given without its closing F7, or that
// holds a byte other than a digit or a point.
constexpr const char* kCueOverflow = "MSC Message Cue Overflow";

bool IsCueCharacter(unsigned char byte) {
    return (byte >= '0' && byte <= '9') || byte == '.';
}

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
    // A path ended by a separator still needs its closing F7, as a number or a list ended by one
    // needs the value after it; what lies between is not looked at.
    const unsigned char* const end = cursor + (remaining - result.path.size());
    if (std::find(cursor, end, kEndOfExclusive) == end) {
        throw std::runtime_error(kCueOverflow);
    }
    return result;
}

std::string MscMessage::ReadMscCueValue_(const unsigned char*& cursor, unsigned long long remaining) {
    std::string value;
    for (unsigned long long taken = 0;; ++taken) {
        if (taken == remaining) {
            throw std::runtime_error(kCueOverflow);
        }
        if (*cursor == kValueSeparator || *cursor == kEndOfExclusive) {
            return value;
        }
        if (!IsCueCharacter(*cursor)) {
            throw std::runtime_error(kCueOverflow);
        }
        value.push_back(static_cast<char>(*cursor));
        ++cursor;
    }
}
