#include "MidiClockChrono.h"

#include <brix_core/GuiDispatcher.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// [GIVEN] a chrono whose firings come at chosen times, 25 ms expected per period, armed as the driver
// arms it: each period is corrected (and so armed) before the firing that ends it
class MidiClockChronoTest : public ::testing::Test {
protected:
    static constexpr double kPeriod = 0.025;

    // The timer of the next period is armed, and fires `late` after that period was due to end.
    void FireLate(std::chrono::microseconds late)
    {
        chrono.CorrectClockPeriodForAverageError(kPeriod);
        due += std::chrono::microseconds(25000);
        chrono.Start(kPeriod, due + late);
    }

    MidiClockChrono chrono{100};
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

TEST_F(MidiClockChronoTest, StallKeepsTheGridUpToTheLimitAndTeachesNothing)
{
    struct Case {
        std::chrono::milliseconds late;
        bool gridKept;
    };
    const Case cases[] = {
        {80ms, true},    // more than three periods
        {240ms, true},   // just within the limit
        {300ms, false},  // beyond it: the song takes the delay
    };
    for (const Case& c : cases) {
        MidiClockChrono stalled{100};
        stalled.Start(kPeriod, due);
        stalled.CorrectClockPeriodForAverageError(kPeriod);
        const auto firedAt = due + 25ms + c.late;
        ::testing::internal::CaptureStdout();
        stalled.Start(kPeriod, firedAt);
        const std::string console = ::testing::internal::GetCapturedStdout();

        const double late = std::chrono::duration<double>(c.late).count();
        EXPECT_NEAR(stalled.GetSecondsSinceStart(firedAt), c.gridKept ? late : 0.0, 1e-9) << c.late.count();
        EXPECT_DOUBLE_EQ(stalled.CorrectClockPeriodForAverageError(kPeriod), kPeriod) << c.late.count();
        EXPECT_EQ(console.starts_with("WARNING: MIDI clock fired "), !c.gridKept) << console;
    }
}

TEST_F(MidiClockChronoTest, OverdueFiringsTakeTheNextPeriodsOfTheGridAndTeachNothing)
{
    chrono.Start(kPeriod, due);
    chrono.CorrectClockPeriodForAverageError(kPeriod);
    const auto now = due + 25ms + 60ms;  // the timer fired 60 ms late
    chrono.Start(kPeriod, now);
    // As the driver does: while the next clock is due, it fires at once.
    std::vector<double> sinceStart{chrono.GetSecondsSinceStart(now)};
    while (chrono.GetSecondsSinceStart(now) >= chrono.CorrectClockPeriodForAverageError(kPeriod)) {
        chrono.StartOverdue(kPeriod, now);
        sinceStart.push_back(chrono.GetSecondsSinceStart(now));
    }
    ASSERT_EQ(sinceStart.size(), 3u);
    EXPECT_NEAR(sinceStart[0], 0.060, 1e-9);
    EXPECT_NEAR(sinceStart[1], 0.035, 1e-9);
    EXPECT_NEAR(sinceStart[2], 0.010, 1e-9);
    // Back on the grid: the next timer fires in 15 ms, when its period is due; nothing was learned.
    EXPECT_DOUBLE_EQ(chrono.CorrectClockPeriodForAverageError(kPeriod), kPeriod);
    chrono.Start(kPeriod, now + 15ms + 1ms);
    EXPECT_NEAR(chrono.CorrectClockPeriodForAverageError(kPeriod), 0.024, 1e-9);
}

TEST_F(MidiClockChronoTest, TempoChangeIsNotLearnedAsTimerError)
{
    // The clock at 25 ms fires and arms the next clock at its new tempo, 20 ms; the timer comes 1 ms
    // late against that.
    chrono.Start(kPeriod, due);
    chrono.CorrectClockPeriodForAverageError(0.020);
    chrono.Start(0.020, due + 21ms);
    EXPECT_NEAR(chrono.CorrectClockPeriodForAverageError(0.020), 0.019, 1e-9);
    // The grid moved on by the period that was sounding.
    EXPECT_NEAR(chrono.GetSecondsSinceStart(due + 21ms), -0.004, 1e-9);
}

TEST_F(MidiClockChronoTest, CorrectionLargerThanThePeriodIsDroppedAndTheGridStays)
{
    chrono.Start(0.005, due);
    chrono.CorrectClockPeriodForAverageError(0.005);
    chrono.Start(0.005, due + 9ms);  // 4 ms late: the correction becomes 0.004
    EXPECT_NEAR(chrono.CorrectClockPeriodForAverageError(0.005), 0.001, 1e-9);
    // A shorter period than the correction: used unchanged, and the learning starts over.
    EXPECT_DOUBLE_EQ(chrono.CorrectClockPeriodForAverageError(0.003), 0.003);
    EXPECT_DOUBLE_EQ(chrono.CorrectClockPeriodForAverageError(0.005), 0.005);
    chrono.Start(0.005, due + 10500us);
    EXPECT_NEAR(chrono.GetSecondsSinceStart(due + 10500us), 0.0005, 1e-9);
}

TEST_F(MidiClockChronoTest, ResetForgetsTheCorrectionAndThePeriodInProgress)
{
    chrono.Start(kPeriod, due);
    FireLate(1000us);
    chrono.ResetErrorCorrection();
    EXPECT_DOUBLE_EQ(chrono.CorrectClockPeriodForAverageError(kPeriod), kPeriod);
    // The first firing after a reset measures nothing and starts the grid.
    chrono.Start(kPeriod, due + 2s);
    EXPECT_DOUBLE_EQ(chrono.CorrectClockPeriodForAverageError(kPeriod), kPeriod);
    EXPECT_NEAR(chrono.GetSecondsSinceStart(due + 2s), 0.0, 1e-9);
}

// [GIVEN] the clock debug messages that reach the GUI
class MidiClockChronoReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        notify::guiDispatcher.AddListener(this, [this](const notify::GuiEvent& event) {
            if (event.kind != notify::GuiEventKind::MidiClockDebugMessage) {
                return;
            }
            std::lock_guard lock(mutex);
            messages.push_back(event.text);
            changed.notify_all();
        });
    }
    void TearDown() override { notify::guiDispatcher.RemoveListenersForTarget(this); }

    bool WaitForMessages(std::size_t count)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 5s, [&] { return messages.size() >= count; });
    }

    std::vector<std::string> Messages()
    {
        std::lock_guard lock(mutex);
        return messages;
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> messages;
};

// One period as the send step would measure it: its expected clock time (none reported when 0), the
// end of the send step and the end of the period, each after the firing.
struct Period {
    double clockTime;
    std::chrono::microseconds overhead;
    std::chrono::microseconds total;
};

void Measure(MidiClockChrono& chrono, MidiClockChrono::TimePoint firedAt, const Period& period)
{
    chrono.Start(0.025, firedAt);
    if (period.clockTime != 0.0) {
        chrono.ReportClockTime(period.clockTime);
    }
    chrono.StopOverhead(firedAt + period.overhead);
    chrono.StopTotal(firedAt + period.total);
}

TEST_F(MidiClockChronoReportTest, EachIntervalOfPeriodsIsReportedWithItsAverages)
{
    struct Case {
        const char* name;
        std::vector<Period> periods;  // one interval
        std::string report;
    };
    const std::vector<Case> cases{
        {"send step and clock times",
         {{0.015625, 1000us, 25000us}, {0.015625, 3000us, 25000us}},
         "MidiClockChrono averageOverheadNanoSeconds = 2000000\n"
         "averageTotalNanoSeconds = 25000000\n"
         "averageExpectedClockTime nanoseconds = 15625000\n"
         "Percent Error = 37.5%\n"
         "Overhead as percentage of expected clock time = 12.8%\n"
         "GetAverageError() = 0\n"
         "initialPeriodicError = 0\n"},
        {"averages are whole nanoseconds, truncated",
         {{0.0, 1us, 10us}, {0.0, 2us, 11us}},
         "MidiClockChrono averageOverheadNanoSeconds = 1500\n"
         "averageTotalNanoSeconds = 10500\n"},
        {"no percentage of a zero duration",
         {{0.015625, 0us, 0us}, {0.015625, 0us, 0us}},
         "MidiClockChrono averageOverheadNanoSeconds = 0\n"
         "averageTotalNanoSeconds = 0\n"
         "averageExpectedClockTime nanoseconds = 15625000\n"
         "Overhead as percentage of expected clock time = 0%\n"
         "GetAverageError() = 0\n"
         "initialPeriodicError = 0\n"},
    };
    for (const Case& c : cases) {
        {
            std::lock_guard lock(mutex);
            messages.clear();
        }
        {
            MidiClockChrono chrono{2};
            auto firedAt = MidiClockChrono::Now();
            for (const Period& period : c.periods) {
                Measure(chrono, firedAt, period);
                firedAt += 25ms;
            }
            // Reported on the interval, not only when the chrono ends.
            ASSERT_TRUE(WaitForMessages(1)) << c.name;
        }
        EXPECT_EQ(Messages(), std::vector<std::string>{c.report}) << c.name;
    }
}

TEST_F(MidiClockChronoReportTest, NextIntervalStartsFromNothingAndItsRestIsReportedAtTheEnd)
{
    {
        MidiClockChrono chrono{2};
        const auto firedAt = MidiClockChrono::Now();
        Measure(chrono, firedAt, {0.015625, 4000us, 20000us});
        Measure(chrono, firedAt, {0.015625, 4000us, 20000us});
        ASSERT_TRUE(WaitForMessages(1));
        Measure(chrono, firedAt, {0.0, 1000us, 2000us});
    }
    const auto reports = Messages();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1],
              "MidiClockChrono averageOverheadNanoSeconds = 1000000\n"
              "averageTotalNanoSeconds = 2000000\n");
}

TEST_F(MidiClockChronoReportTest, ReportCarriesTheLearnedError)
{
    {
        MidiClockChrono chrono{1};
        const auto due = MidiClockChrono::Now();
        chrono.Start(0.025, due);
        chrono.CorrectClockPeriodForAverageError(0.025);
        Measure(chrono, due + 26ms, {0.025, 0us, 25000us});  // the first period measured 26 ms
        ASSERT_TRUE(WaitForMessages(1));
    }
    const auto reports = Messages();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("GetAverageError() = 0\ninitialPeriodicError = 0.001\n"), std::string::npos)
        << reports[0];
}

TEST_F(MidiClockChronoReportTest, ChronoThatMeasuredNothingReportsNothing)
{
    { MidiClockChrono chrono{100}; }
    EXPECT_TRUE(Messages().empty());
}

}  // namespace
