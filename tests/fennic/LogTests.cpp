#include "fennic/Log.h"

#include <gtest/gtest.h>

#include "CaptureCout.h"

namespace {

class CallLogging : public ::testing::Test {
protected:
    void TearDown() override { fennic::LogFilter::SetEnabled(false); }
};

int WrappedPlatformCall(int value) {
    fennic::LogFilter logFilter("timeSetEvent");
    fennic::LogAttempt(logFilter, "clock.cpp", 10);
    const int result = value * 2;
    fennic::LogSuccess(logFilter, "clock.cpp", 12);
    return result;
}

}  // namespace

TEST_F(CallLogging, IsSilentByDefault) {
    CaptureCout capture;
    EXPECT_EQ(WrappedPlatformCall(2), 4);
    fennic::LogAttempt("midiOutOpen", "out.cpp", 3);
    EXPECT_EQ(capture.Text(), "");
}

TEST_F(CallLogging, WhenEnabledWritesAttemptAndSuccessLines) {
    fennic::LogFilter::SetEnabled(true);
    CaptureCout capture;
    EXPECT_EQ(WrappedPlatformCall(2), 4);
    EXPECT_EQ(capture.Text(),
              "[CALL] timeSetEvent attempt at clock.cpp line 10\n"
              "[CALL] timeSetEvent success at clock.cpp line 12\n");
}

TEST_F(CallLogging, FilterKeepsAttemptAndSuccessPairedWhenSwitchChanges) {
    fennic::LogFilter::SetEnabled(true);
    CaptureCout capture;
    fennic::LogFilter logFilter("timeSetEvent");
    fennic::LogAttempt(logFilter, "clock.cpp", 10);
    fennic::LogFilter::SetEnabled(false);
    fennic::LogSuccess(logFilter, "clock.cpp", 12);
    EXPECT_EQ(capture.Text(),
              "[CALL] timeSetEvent attempt at clock.cpp line 10\n"
              "[CALL] timeSetEvent success at clock.cpp line 12\n");
}
