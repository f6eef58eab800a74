#include "OscMessage.h"

#include "OscBytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace brix::osc;
using osc_test::Bytes;

OscMessage Decode(const std::string& datagram) { return OscMessage::Decode(datagram.data(), datagram.size()); }

std::string DecodeError(const std::string& datagram)
{
    try {
        Decode(datagram);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "decoded";
}

TEST(OscDecode, AMessageWithEveryArgumentTypeDecodesInOrderAndCountsItsBytes)
{
    const std::string datagram = EncodeOscString("/cue/go") + EncodeOscString(",ifs") + EncodeOscInt32(-5) +
                                 EncodeOscFloat32(2.5f) + EncodeOscString("a b") + Bytes({1, 2, 3});
    const OscMessage message = Decode(datagram);
    EXPECT_EQ(message.Address(), "/cue/go");
    ASSERT_EQ(message.Params().size(), 3u);
    EXPECT_EQ(message.Params()[0]->Type(), OscParamType::Int32);
    EXPECT_EQ(message.Params()[0]->ToInt32(), -5);
    EXPECT_EQ(message.Params()[1]->ToFloat32(), 2.5f);
    EXPECT_EQ(message.Params()[2]->ToString(), "a b");
    // The three bytes after the last parameter are not part of the message.
    EXPECT_EQ(message.Consumed(), datagram.size() - 3);
}

TEST(OscDecode, AnAddressWithoutATypeTagStringHasNoParameters)
{
    struct Case {
        const char* name;
        std::string datagram;
        std::size_t consumed;
    };
    const std::vector<Case> cases = {
        {"address alone", Bytes({'/', 'a', 0, 0}), 4},
        {"with an empty type-tag string", Bytes({'/', 'a', 0, 0, ',', 0, 0, 0}), 8},
        {"followed by bytes that are no type tags", Bytes({'/', 'a', 0, 0, 'x', 'y', 0, 0}), 4},
        {"a #bundle prefix only", EncodeOscString("#bundles"), 12},
    };
    for (const Case& c : cases) {
        const OscMessage message = Decode(c.datagram);
        EXPECT_TRUE(message.Params().empty()) << c.name;
        EXPECT_EQ(message.Consumed(), c.consumed) << c.name;
    }
}

TEST(OscDecode, MalformedDatagramsAreRefusedWithTheirOwnText)
{
    struct Case {
        const char* name;
        std::string datagram;
        std::string error;
    };
    const std::string address = EncodeOscString("/a");
    const std::vector<Case> cases = {
        {"empty", "", "OSC string is larger than buffer during read of null terminator."},
        {"no NUL", "/abc", "OSC string is larger than buffer during read of null terminator."},
        {"bundle", EncodeOscString("#bundle") + EncodeOscInt32(0) + EncodeOscInt32(1),
         "OSC Bundle detected. OSC Bundles unsupported at this time."},
        {"pad cut short", Bytes({'/', 'a', 0}), "The OSC string /a is larger than buffer while zero padding."},
        {"non-zero pad", Bytes({'/', 'a', 0, 7}),
         "The OSC string /a does not contain proper pad to extend the string to a multiple of 4."},
        {"type tags without NUL", address + ",iii", "OSC string is larger than buffer during read of null terminator."},
        {"blob", address + EncodeOscString(",b") + EncodeOscInt32(1) + Bytes({9, 0, 0, 0}),
         "Unsupported or unknown OSC Type."},
        {"unknown tag", address + EncodeOscString(",x"), "Unsupported or unknown OSC Type."},
        {"double tag", address + EncodeOscString(",d") + std::string(8, '\0'), "Unsupported or unknown OSC Type."},
        {"int32 truncated", address + EncodeOscString(",i") + Bytes({0, 0, 1}),
         "Cannot read OSC Param of type int32 in less than four bytes."},
        {"float32 missing", address + EncodeOscString(",f"),
         "Cannot read OSC Param of type float32 in less than four bytes."},
        {"second int32 missing", address + EncodeOscString(",ii") + EncodeOscInt32(1),
         "Cannot read OSC Param of type int32 in less than four bytes."},
        {"string argument without NUL", address + EncodeOscString(",s") + "abcd",
         "OSC string is larger than buffer during read of null terminator."},
        {"string argument pad", address + EncodeOscString(",s") + Bytes({'a', 'b', 0}),
         "The OSC string ab is larger than buffer while zero padding."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeError(c.datagram), c.error) << c.name;
    }
    // No bytes at all, as an empty buffer may give them: no pointer to read.
    EXPECT_THROW(OscMessage::Decode(nullptr, 0), std::runtime_error);
}

TEST(OscDecode, EveryTruncationOfAValidMessageIsRefusedOrDecodesAPrefix)
{
    const std::string datagram = EncodeOscString("/brix/fadeto") + EncodeOscString(",fis") + EncodeOscFloat32(-6.5f) +
                                 EncodeOscInt32(2) + EncodeOscString("text");
    for (std::size_t length = 0; length < datagram.size(); ++length) {
        // A copy of exactly `length` bytes, so a read past them is caught by the sanitizers.
        const std::vector<char> bytes(datagram.begin(), datagram.begin() + static_cast<std::ptrdiff_t>(length));
        try {
            const OscMessage message = OscMessage::Decode(bytes.data(), bytes.size());
            // Only the address alone can decode from a prefix: the type tags are all or nothing.
            EXPECT_TRUE(message.Params().empty()) << length;
            EXPECT_LE(message.Consumed(), length);
        } catch (const std::runtime_error&) {
        }
    }
}

TEST(OscStrings, AreNulTerminatedAndPaddedToFourBytes)
{
    struct Case {
        std::string text;
        std::size_t size;
    };
    for (const Case& c : std::vector<Case>{{"", 4}, {"a", 4}, {"abc", 4}, {"abcd", 8}, {"abcdefg", 8}, {"abcdefgh", 12}}) {
        const std::string encoded = EncodeOscString(c.text);
        EXPECT_EQ(encoded.size(), c.size) << c.text;
        EXPECT_EQ(encoded.substr(0, c.text.size()), c.text);
        EXPECT_EQ(encoded.find_first_not_of('\0', c.text.size()), std::string::npos) << c.text;
        const DecodedOscString decoded = DecodeOscString(encoded.data(), encoded.size());
        EXPECT_EQ(decoded.text, c.text);
        EXPECT_EQ(decoded.consumed, c.size);
    }
}

TEST(OscNumbers, AreBigEndianWithTheFloatByItsBitPattern)
{
    EXPECT_EQ(EncodeOscInt32(1), Bytes({0, 0, 0, 1}));
    EXPECT_EQ(EncodeOscInt32(-2), Bytes({0xFF, 0xFF, 0xFF, 0xFE}));
    EXPECT_EQ(EncodeOscInt32(0x12345678), Bytes({0x12, 0x34, 0x56, 0x78}));
    EXPECT_EQ(EncodeOscFloat32(1.0f), Bytes({0x3F, 0x80, 0, 0}));
    EXPECT_EQ(EncodeOscFloat32(-2.5f), Bytes({0xC0, 0x20, 0, 0}));
    for (const float value : {0.0f, -0.0f, 440.0f, 1e-30f, std::numeric_limits<float>::max()}) {
        const std::string encoded = EncodeOscFloat32(value);
        const float decoded = DecodeOscParam(OscParamType::Float32, encoded.data(), encoded.size()).param->ToFloat32();
        EXPECT_EQ(std::memcmp(&decoded, &value, sizeof value), 0) << value;
    }
}

TEST(OscParams, ConvertOnlyAsTheirKindAllows)
{
    const OscInt32 integer(-7);
    const OscFloat32 number(2.5f);
    const OscString text("go");
    EXPECT_EQ(integer.ToString(), "-7");
    EXPECT_EQ(integer.ToFloat32(), -7.0f);
    EXPECT_EQ(number.ToString(), "2.500000");
    EXPECT_EQ(number.ToFloat32(), 2.5f);
    EXPECT_EQ(text.ToString(), "go");
    const auto error = [](auto convert) {
        try {
            convert();
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string("converted");
    };
    EXPECT_EQ(error([&] { return number.ToInt32(); }), "Parameter does not convert to int32.");
    EXPECT_EQ(error([&] { return text.ToInt32(); }), "Parameter does not convert to int32.");
    EXPECT_EQ(error([&] { return text.ToFloat32(); }), "Parameter does not convert to float32.");
}

TEST(OscTypeTags, MapBothWaysAndRefuseWhatHasNoCharacter)
{
    EXPECT_EQ(OscTypeTagText({OscParamType::Int32, OscParamType::Float32, OscParamType::String, OscParamType::Blob}),
              ",ifsb");
    EXPECT_EQ(OscTypeList(",ifsbx"), (std::vector<OscParamType>{OscParamType::Int32, OscParamType::Float32,
                                                                 OscParamType::String, OscParamType::Blob,
                                                                 OscParamType::Unknown}));
    EXPECT_THROW(OscParamTypeToChar(OscParamType::Unknown), std::runtime_error);
    EXPECT_THROW(OscParamTypeToChar(static_cast<OscParamType>(9)), std::runtime_error);
    try {
        OscTypeList("ifs");
        FAIL() << "a type-tag text without a comma";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "OSC Parameter lists always start with a comma. This one did not.");
    }
}

TEST(OscAddressSplit, FindsTheSelectorsAndTheCommand)
{
    struct Case {
        const char* address;
        OscCommandParts parts;
    };
    const std::vector<Case> cases = {
        // {show, song, event, command, isEvent, isSfx}
        {"/brix/", {"", "", "", "", false, false}},
        {"/brix/x", {"", "", "", "x", false, false}},
        {"/brix/play/", {"", "", "", "play", false, false}},
        {"/brix/song/12", {"", "12", "", "", false, false}},
        {"/brix/song/12/play", {"", "12", "", "play", false, false}},
        {"/brix/show/my_show/song/2A/fadeout", {"my_show", "2A", "", "fadeout", false, false}},
        {"/brix/song/3/show/s/stop", {"s", "3", "", "stop", false, false}},
        {"/brix/event/E12/go", {"", "", "E12", "go", true, false}},
        {"/brix/sfx/*/stop", {"", "", "*", "stop", false, true}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitOscAddress(c.address), c.parts) << c.address;
    }
}

TEST(OscAddressSplit, RefusesWhatIsNoCommandOfThisSystem)
{
    struct Case {
        const char* address;
        const char* error;
    };
    const std::vector<Case> cases = {
        {"", "OSC command is too short for processing."},
        {"/brix", "OSC command is too short for processing."},
        {"/BRIX/play", "OSC commands to BRIX software must start with /brix/"},
        {"/other/play", "OSC commands to BRIX software must start with /brix/"},
        {"/brix//play", "Unknown OSC command part: "},
        {"/brix/Song/1/play", "Unknown OSC command part: Song"},
        {"/brix/cue/1/go", "Unknown OSC command part: cue"},
    };
    for (const Case& c : cases) {
        try {
            SplitOscAddress(c.address);
            ADD_FAILURE() << c.address << " split";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), c.error) << c.address;
        }
    }
}

TEST(OscSafeName, LowersCapitalsAndReplacesReservedAndNonAsciiBytes)
{
    EXPECT_EQ(MakeOscSafeName("My Spring Show"), "my_spring_show");
    EXPECT_EQ(MakeOscSafeName("#,* /?[]{}"), "__________");
    EXPECT_EQ(MakeOscSafeName("Caf\xC3\xA9-2.0_x"), "caf__-2.0_x");
    EXPECT_EQ(MakeOscSafeName(""), "");
}

}  // namespace
