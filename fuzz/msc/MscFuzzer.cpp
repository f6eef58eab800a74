// Fuzzes the MIDI Show Control parser: any bytes give a GO message or a std::runtime_error. A message
// written back from the parsed cue parses to the same cue.

#include "FuzzSupport.h"

#include "MscMessage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

bool IsCueText(const std::string& value)
{
    return std::all_of(value.begin(), value.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

// The message's bytes with its cue in the shortest form: values after the last non-empty one left out.
std::vector<unsigned char> Encode(const MscMessage& message)
{
    const MscCueNumber cue = message.EventId();
    std::vector<unsigned char> bytes{message.DeviceId(), 0x02, static_cast<unsigned char>(message.Format()),
                                     static_cast<unsigned char>(message.Command())};
    bytes.insert(bytes.end(), cue.number.begin(), cue.number.end());
    if (!cue.list.empty() || !cue.path.empty()) {
        bytes.push_back(0x00);
        bytes.insert(bytes.end(), cue.list.begin(), cue.list.end());
    }
    if (!cue.path.empty()) {
        bytes.push_back(0x00);
        bytes.insert(bytes.end(), cue.path.begin(), cue.path.end());
    }
    bytes.push_back(0xF7);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::optional<MscMessage> message;
    try {
        message.emplace(data, size);
    } catch (const std::runtime_error&) {
        return 0;
    }
    const MscCueNumber cue = message->EventId();
    fuzz::Require(IsCueText(cue.number) && IsCueText(cue.list) && IsCueText(cue.path),
                  "cue values hold digits and points only");
    const std::vector<unsigned char> bytes = Encode(*message);
    const MscMessage again(bytes.data(), bytes.size());
    fuzz::Require(again.EventId() == cue && again.DeviceId() == message->DeviceId() &&
                      again.Format() == message->Format(),
                  "a message written back parses to the same message");
    return 0;
}
