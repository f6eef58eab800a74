#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The OSC 1.0 wire format of one message, as this system speaks it over UDP: the decoder of incoming
// datagrams (strict: every length and pad is checked against the bytes given), the encodings of the
// argument types, the split of an incoming "/brix/..." address into its command parts, and the
// OSC-safe form of a show name. Plain C++ with no Qt, so the decoder can be fuzzed on its own.
//
// Every failure is a std::runtime_error whose text says what is wrong; nothing is half-built.
// Byte strings are std::string (they may hold any byte except NUL).

namespace brix::osc {

// The tag of a parameter. Type-tag characters: 'i' Int32, 'f' Float32, 's' String, 'b' Blob, any other
// character Unknown. Blobs are recognised but refused by the decoder.
enum class OscParamType {
    Unknown = 0,
    Int32 = 1,
    Float32 = 2,
    String = 3,
    Blob = 4,
};

OscParamType OscParamTypeFromChar(char tag);
// Throws "Unknown OSC Param Type has no character representation." for Unknown or a value outside 1-4.
char OscParamTypeToChar(OscParamType type);
// "," followed by one character per type.
std::string OscTypeTagText(const std::vector<OscParamType>& types);
// The types of a type-tag text; throws "OSC Parameter lists always start with a comma. This one did
// not." when it does not start with ','.
std::vector<OscParamType> OscTypeList(std::string_view typeTags);

// One decoded argument. The conversions a kind does not offer throw "Parameter does not convert to
// string.", "... to int32." or "... to float32.".
class OscParam {
public:
    explicit OscParam(OscParamType type) : type_(type) {}
    virtual ~OscParam() = default;
    virtual std::string ToString() const;
    virtual std::int32_t ToInt32() const;
    virtual float ToFloat32() const;

    OscParamType Type() const { return type_; }
    // Int32 or Float32.
    bool IsNumeric() const { return type_ == OscParamType::Int32 || type_ == OscParamType::Float32; }

    OscParam(const OscParam&) = delete;
    OscParam& operator=(const OscParam&) = delete;

private:
    OscParamType type_;
};

// Converts to its decimal text, to itself and to a float.
class OscInt32 : public OscParam {
public:
    explicit OscInt32(std::int32_t value) : OscParam(OscParamType::Int32), value_(value) {}
    std::string ToString() const override;
    std::int32_t ToInt32() const override { return value_; }
    float ToFloat32() const override { return static_cast<float>(value_); }

private:
    std::int32_t value_;
};

// Converts to its "%f" text and to itself; never to an integer.
class OscFloat32 : public OscParam {
public:
    explicit OscFloat32(float value) : OscParam(OscParamType::Float32), value_(value) {}
    std::string ToString() const override;
    float ToFloat32() const override { return value_; }

private:
    float value_;
};

// Converts to its text only.
class OscString : public OscParam {
public:
    explicit OscString(std::string value) : OscParam(OscParamType::String), value_(std::move(value)) {}
    std::string ToString() const override { return value_; }

private:
    std::string value_;
};

struct DecodedOscParam {
    std::unique_ptr<OscParam> param;
    std::size_t consumed = 0;
};

// One parameter of the type from bytes with `remaining` bytes left: Int32 and Float32 take 4 bytes
// (big-endian), a String its padded length. Other types throw "Unsupported or unknown OSC Type.".
DecodedOscParam DecodeOscParam(OscParamType type, const char* bytes, std::size_t remaining);

// An OSC string read from bytes with `remaining` bytes left: its text and the bytes it takes (a
// multiple of 4: the text, its NUL and the NUL pad). Throws when no NUL lies within the bytes, when
// the pad runs past them, or when a pad byte is not NUL.
struct DecodedOscString {
    std::string text;
    std::size_t consumed = 0;
};
DecodedOscString DecodeOscString(const char* bytes, std::size_t remaining);

// One message: its address and its parameters in order.
class OscMessage {
public:
    OscMessage(std::string address, std::vector<std::unique_ptr<OscParam>> params, std::size_t consumed)
        : address_(std::move(address)), params_(std::move(params)), consumed_(consumed) {}

    // Decodes the message at the start of a datagram of `length` bytes. An address not followed by a
    // ',' has no parameters; bytes after the last parameter are ignored. A "#bundle" address throws
    // "OSC Bundle detected. OSC Bundles unsupported at this time.".
    static OscMessage Decode(const char* bytes, std::size_t length);

    const std::string& Address() const { return address_; }
    const std::vector<std::unique_ptr<OscParam>>& Params() const { return params_; }
    // The bytes of the datagram the message took.
    std::size_t Consumed() const { return consumed_; }

private:
    std::string address_;
    std::vector<std::unique_ptr<OscParam>> params_;
    std::size_t consumed_;
};

// The wire encodings: a string's bytes, a NUL and NULs up to the next multiple of 4; an int32 and a
// float32 (by its IEEE bit pattern) as 4 bytes, most significant first.
std::string EncodeOscString(std::string_view text);
std::string EncodeOscInt32(std::int32_t value);
std::string EncodeOscFloat32(float value);

// The parts of an incoming "/brix/..." address.
struct OscCommandParts {
    std::string show;
    std::string song;
    // The change-log event id, or the sound-effect id when isSfx.
    std::string event;
    std::string command;
    bool isEvent = false;
    bool isSfx = false;

    friend bool operator==(const OscCommandParts&, const OscCommandParts&) = default;
};

// Splits "/brix/[show/<s>/][song/<n>/][event/<id>/|sfx/<id>/]<command>" (selectors in any order).
// Throws "OSC command is too short for processing." (under 6 bytes), "OSC commands to BRIX software
// must start with /brix/" and "Unknown OSC command part: <part>".
OscCommandParts SplitOscAddress(std::string_view address);

// A name as incoming addresses carry it: bytes of 0x80 and above and the characters # , * space / ?
// [ ] { } become '_', ASCII capitals become lower case. "My Spring Show" gives "my_spring_show".
std::string MakeOscSafeName(std::string_view name);

}  // namespace brix::osc
