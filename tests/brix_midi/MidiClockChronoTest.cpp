#include "MidiClockChrono.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;

// [GIVEN] a chrono whose firings come at chosen times, 25 ms expected per period
class MidiClockChronoTest : public ::testing::Test {
protected:
    static constexpr double kPeriod = 0.025;

    // A firing `late` after the previous firing's period was due to end.
    void FireLate(std::chrono::microseconds late)
    {
        due += std::chrono::microseconds(25000);
        chrono.Start(kPeriod, due + late);
    }

    MidiClockChrono chrono;
    MidiClockChrono::TimePoint due = MidiClockChrono::Now();
};

TEST_F(MidiClockChronoTest, PeriodIsUnchangedUntilAPeriodWasMeasured)
{
    EXPECT_DOUBLE_EQ(chrono.CorrectClockPeriodForAverageError(kPeriod), kPeriod);
    chrono.Start(kPeriod, due);
    EXPECT_DOUBLE_EQ(chrono.CorrectClockPeriodForAverageError(kPeriod), kPeriod);
}

TEST_F(MidiClockChronoTest, FirstMeasuredErrorBecomesTheCorrection)
{
    chrono.Start(kPeriod, due);
    FireLate(1000us);  // the first period measured 26 ms
    EXPECT_NEAR(chrono.CorrectClockPeriodForAverageError(kPeriod), 0.024, 1e-9);
}

TEST_F(MidiClockChronoTest, CorrectionGrowsByTheWindowMeanAfterTwentyOneMorePeriods)
{
    chrono.Start(kPeriod, due);
    FireLate(1000us);
    for (int i = 0; i < 20; ++i) {
        FireLate(500us);
    }
    EXPECT_NEAR(chrono.CorrectClockPeriodForAverageError(kPeriod), 0.024, 1e-9);
    FireLate(500us);
    EXPECT_NEAR(chrono.CorrectClockPeriodForAverageError(kPeriod), 0.0235, 1e-9);
    // The window starts over: the next 21 periods are needed for the next step.
    EXPECT_NEAR(chrono.CorrectClockPeriodForAverageError(kPeriod), 0.0235, 1e-9);
}

TEST_F(MidiClockChronoTest, PeriodsFollowTheGridNotTheFiringTimes)
{
    chrono.Start(kPeriod, due);
    FireLate(3000us);  // one late firing
    // The next period began when it was due, so the time since its start includes the lateness and
    // the next delay makes it good.
    EXPECT_NEAR(chrono.GetSecondsSinceStart(due + 3000us), 0.003, 1e-9);
    FireLate(0us);
    EXPECT_NEAR(chrono.GetSecondsSinceStart(due), 0.0, 1e-9);
}

TEST_F(MidiClockChronoTest, FiringMoreThanAPeriodLateRestartsTheGridAndTeachesNothing)
{
    chrono.Start(kPeriod, due);
    const auto stalled = due + 80ms;
    chrono.Start(kPeriod, stalled);
    EXPECT_DOUBLE_EQ(chrono.CorrectClockPeriodForAverageError(kPeriod), kPeriod);
    EXPECT_NEAR(chrono.GetSecondsSinceStart(stalled), 0.0, 1e-9);
}

TEST_F(MidiClockChronoTest, CorrectionLargerThanThePeriodIsDropped)
{
    chrono.Start(0.005, due);
    chrono.Start(0.005, due + 9ms);  // 4 ms late: the correction becomes 0.004
    EXPECT_NEAR(chrono.CorrectClockPeriodForAverageError(0.005), 0.001, 1e-9);
    // A shorter period than the correction: used unchanged, and the learning starts over.
    EXPECT_DOUBLE_EQ(chrono.CorrectClockPeriodForAverageError(0.003), 0.003);
    EXPECT_DOUBLE_EQ(chrono.CorrectClockPeriodForAverageError(0.005), 0.005);
}

TEST_F(MidiClockChronoTest, ResetForgetsTheCorrectionAndThePeriodInProgress)
{
    chrono.Start(kPeriod, due);
    FireLate(1000us);
    chrono.ResetErrorCorrection();
    EXPECT_DOUBLE_EQ(chrono.CorrectClockPeriodForAverageError(kPeriod), kPeriod);
    // The first firing after a reset measures nothing.
    chrono.Start(kPeriod, due + 2s);
    EXPECT_DOUBLE_EQ(chrono.CorrectClockPeriodForAverageError(kPeriod), kPeriod);
}

}  // namespace
