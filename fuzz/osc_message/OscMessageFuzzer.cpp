// Fuzzes the OSC message decoder: any bytes give a message or a std::runtime_error, a message never
// takes more bytes than it was given, and a message written back from its decoded form decodes to the
// same message. The address split of a decoded address gives parts or a std::runtime_error.

#include "FuzzSupport.h"

#include "OscMessage.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace brix::osc;

std::string Encode(const OscMessage& message)
{
    std::vector<OscParamType> types;
    std::string arguments;
    for (const auto& param : message.Params()) {
        types.push_back(param->Type());
        switch (param->Type()) {
        case OscParamType::Int32:
            arguments += EncodeOscInt32(param->ToInt32());
            break;
        case OscParamType::Float32:
            arguments += EncodeOscFloat32(param->ToFloat32());
            break;
        default:
            arguments += EncodeOscString(param->ToString());
            break;
        }
    }
    return EncodeOscString(message.Address()) + EncodeOscString(OscTypeTagText(types)) + arguments;
}

bool SameParams(const OscMessage& a, const OscMessage& b)
{
    if (a.Params().size() != b.Params().size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.Params().size(); ++i) {
        const OscParam& x = *a.Params()[i];
        const OscParam& y = *b.Params()[i];
        if (x.Type() != y.Type()) {
            return false;
        }
        if (x.Type() == OscParamType::Float32) {
            const float fx = x.ToFloat32();
            const float fy = y.ToFloat32();
            if (std::memcmp(&fx, &fy, sizeof fx) != 0) {
                return false;
            }
        } else if (x.ToString() != y.ToString()) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An exact copy, so a read past the end is a sanitizer report.
    const std::vector<char> bytes(data, data + size);
    std::optional<OscMessage> message;
    try {
        message.emplace(OscMessage::Decode(bytes.data(), bytes.size()));
    } catch (const std::runtime_error&) {
        return 0;
    }
    fuzz::Require(message->Consumed() <= size && message->Consumed() % 4 == 0,
                  "a message takes whole words of the bytes given");
    const std::string written = Encode(*message);
    const OscMessage again = OscMessage::Decode(written.data(), written.size());
    fuzz::Require(again.Address() == message->Address() && SameParams(again, *message) &&
                      again.Consumed() == written.size(),
                  "a message written back decodes to the same message");
    try {
        SplitOscAddress(message->Address());
    } catch (const std::runtime_error&) {
    }
    return 0;
}
