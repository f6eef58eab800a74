#include "MscMessage.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct ValidCase {
    std::vector<unsigned char> bytes;
    unsigned char deviceId;
    MscCommandFormat format;
    MscCueNumber cue;
};

TEST(MscMessage, ParsesAGoWithItsCueNumberListAndPath)
{
    const ValidCase cases[] = {
        {{0x01, 0x02, 0x11, 0x01, 0x31, 0x32, 0x2E, 0x35, 0xF7}, 1, MscCommandFormat::Music, {"12.5", "", ""}},
        {{0x7F, 0x02, 0x17, 0x01, 0x35, 0x00, 0x32, 0x00, 0x33, 0xF7},
         0x7F,
         MscCommandFormat::AudioEffects,
         {"5", "2", "3"}},
        {{0x01, 0x02, 0x11, 0x01, 0xF7}, 1, MscCommandFormat::Music, {"", "", ""}},
        {{0x05, 0x02, 0x11, 0x01, 0x31, 0x00, 0x34, 0x32, 0xF7}, 5, MscCommandFormat::Music, {"1", "42", ""}},
        // Whatever follows the path is not looked at.
        {{0x00, 0x02, 0x11, 0x01, 0x31, 0x00, 0x32, 0x00, 0x33, 0x00, 0x34, 0xF7},
         0,
         MscCommandFormat::Music,
         {"1", "2", "3"}},
        // An empty number followed by a list.
        {{0x01, 0x02, 0x11, 0x01, 0x00, 0x39, 0xF7}, 1, MscCommandFormat::Music, {"", "9", ""}},
    };
    for (const ValidCase& c : cases) {
        const MscMessage message(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(message.DeviceId(), c.deviceId);
        EXPECT_EQ(message.Format(), c.format);
        EXPECT_EQ(message.Command(), MscCommand::Go);
        EXPECT_EQ(message.EventId(), c.cue) << c.cue.number << "/" << c.cue.list << "/" << c.cue.path;
    }
}

TEST(MscMessage, RefusesEachKindOfBadMessageWithItsText)
{
    struct BadCase {
        std::vector<unsigned char> bytes;
        unsigned long long length;
        const char* message;
    };
    const BadCase cases[] = {
        {{0x01, 0x02, 0x11, 0x01, 0xF7}, 3, "Insufficient bytes to be a valid MSC message"},
        {{}, 0, "Insufficient bytes to be a valid MSC message"},
        {{0x01, 0x03, 0x11, 0x01, 0xF7}, 5, "The SysEx code is not for MSC"},
        {{0x01, 0x03, 0x10, 0x02}, 4, "The SysEx code is not for MSC"},
        {{0x01, 0x02, 0x10, 0x01, 0xF7}, 5, "Invalid MSC command format type"},
        {{0x01, 0x02, 0x7F, 0x01, 0xF7}, 5, "Invalid MSC command format type"},
        {{0x01, 0x02, 0x11, 0x02, 0xF7}, 5, "Invalid Msc command"},
        {{0x01, 0x02, 0x17, 0x04, 0xF7}, 5, "Invalid Msc command"},
        {{0x01, 0x02, 0x11, 0x01, 0x31, 0x32}, 6, "MSC Message Cue Overflow"},
        {{0x01, 0x02, 0x11, 0x01}, 4, "MSC Message Cue Overflow"},
        {{0x01, 0x02, 0x11, 0x01, 0x31, 0x00}, 6, "MSC Message Cue Overflow"},
        {{0x01, 0x02, 0x11, 0x01, 0x31, 0x00, 0x32, 0x00, 0x33}, 9, "MSC Message Cue Overflow"},
        // The length given decides, not the bytes behind it.
        {{0x01, 0x02, 0x11, 0x01, 0x31, 0x32, 0xF7}, 6, "MSC Message Cue Overflow"},
        // Cue data that never reaches its closing F7, whatever the number of values.
        {{0x01, 0x02, 0x11, 0x01, 0x31, 0x00, 0x32, 0x00}, 8, "MSC Message Cue Overflow"},
        {{0x01, 0x02, 0x11, 0x01, 0x31, 0x00, 0x32, 0x00, 0x33, 0x00}, 10, "MSC Message Cue Overflow"},
        {{0x01, 0x02, 0x11, 0x01, 0x31, 0x00, 0x32, 0x00, 0x33, 0x00, 0x34}, 11, "MSC Message Cue Overflow"},
        {{0x01, 0x02, 0x11, 0x01, 0x31, 0x00, 0x32, 0x00, 0x33, 0x00, 0xF7}, 10, "MSC Message Cue Overflow"},
    };
    for (const BadCase& c : cases) {
        try {
            MscMessage message(c.bytes.data(), c.length);
            ADD_FAILURE() << "no exception, expected " << c.message;
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

TEST(MscMessage, RefusesACueValueWithAByteThatIsNeitherADigitNorAPoint)
{
    // Each bad byte in the number, the list and the path of an otherwise valid message.
    for (const unsigned char bad : {0x01, 0x20, 0x2D, 0x2F, 0x3A, 0x41, 0x7F, 0x80, 0xF0, 0xFF}) {
        for (const std::size_t at : {4u, 7u, 10u}) {
            std::vector<unsigned char> bytes{0x01, 0x02, 0x11, 0x01, 0x31, 0x2E, 0x35, 0x00,
                                             0x32, 0x00, 0x33, 0x34, 0xF7};
            bytes[at] = bad;
            try {
                MscMessage message(bytes.data(), bytes.size());
                ADD_FAILURE() << "no exception for byte " << int(bad) << " at " << at;
            } catch (const std::runtime_error& error) {
                EXPECT_STREQ(error.what(), "MSC Message Cue Overflow") << int(bad) << " at " << at;
            }
        }
    }
    const std::vector<unsigned char> digitsAndPoints{0x01, 0x02, 0x11, 0x01, 0x30, 0x2E, 0x39, 0x00,
                                                     0x2E, 0x00, 0x39, 0x39, 0xF7};
    EXPECT_EQ(MscMessage(digitsAndPoints.data(), digitsAndPoints.size()).EventId(), (MscCueNumber{"0.9", ".", "99"}));
}

}  // namespace
