#include "BrixMidiError.h"
#include "MIDIMessage.h"

#include <gtest/gtest.h>

namespace {

TEST(BrixMidiError, DeviceUnavailableIsCaughtByEveryBase)
{
    const auto throwIt = [] { throw MidiDeviceUnavailable("no device"); };
    EXPECT_THROW(throwIt(), MidiImplementationError);
    EXPECT_THROW(throwIt(), BrixMidiError);
    EXPECT_THROW(throwIt(), std::runtime_error);
    try {
        throwIt();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "no device");
    }
}

TEST(BrixMidiError, InvalidVoiceEventIsNotAnImplementationError)
{
    bool caughtAsImplementationError = false;
    bool caughtAsBrixMidiError = false;
    try {
        try {
            throw InvalidVoiceEvent("bad event");
        } catch (const MidiImplementationError&) {
            caughtAsImplementationError = true;
        }
    } catch (const BrixMidiError&) {
        caughtAsBrixMidiError = true;
    }
    EXPECT_FALSE(caughtAsImplementationError);
    EXPECT_TRUE(caughtAsBrixMidiError);
}

TEST(MIDIMessage, SplitsStatusAndChannel)
{
    const MIDIMessage message{0x93, 60, 100};
    EXPECT_EQ(message.GetStatus(), 0x90);
    EXPECT_EQ(message.GetChannel(), 3);
}

}  // namespace
