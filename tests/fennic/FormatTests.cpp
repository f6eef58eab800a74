#include "fennic/Format.h"

#include <gtest/gtest.h>

#include <string>

TEST(Format, FormatsLikePrintf) {
    EXPECT_EQ(fennic::format("%s line %d: %s caused error %d, %s.", "a.cpp", 12, "calling midiStreamOut",
                             11, "Invalid parameter"),
              "a.cpp line 12: calling midiStreamOut caused error 11, Invalid parameter.");
    EXPECT_EQ(fennic::format("Unknown error code %d", 22), "Unknown error code 22");
    EXPECT_EQ(fennic::format("%s", ""), "");
}

TEST(Format, OutputLongerThanAnyFixedBufferIsComplete) {
    const std::string big(100000, 'x');
    const std::string result = fennic::format("[%s|%05d]", big.c_str(), 42);
    ASSERT_EQ(result.size(), big.size() + 8);
    EXPECT_EQ(result.front(), '[');
    EXPECT_EQ(result.substr(result.size() - 7), "|00042]");
    EXPECT_EQ(result.substr(1, big.size()), big);
}

TEST(CreateFailureMessage, NamesTheSourceLocation) {
    EXPECT_EQ(fennic::CreateFailureMessage("clock.cpp", 7, "timer could not be armed"),
              "clock.cpp line 7: timer could not be armed");
}

TEST(CreateFailureMessage, WithCallNameAndDetail) {
    EXPECT_EQ(fennic::CreateFailureMessage("clock.cpp", 7, "timeSetEvent", ""),
              "clock.cpp line 7: timeSetEvent failed.");
    EXPECT_EQ(fennic::CreateFailureMessage("clock.cpp", 7, "timeSetEvent", "no timer left"),
              "clock.cpp line 7: timeSetEvent failed: no timer left.");
}
