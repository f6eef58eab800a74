#include "HowToPlayWithMidiClock.h"
#include "MidiClock.h"
#include "TestSongs.h"
#include "UserControls.h"

#include <gtest/gtest.h>

#include <mutex>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace {

using namespace testsongs;

// A clock that records the values the model sends it, and whether the caller's lock was free then.
class RecordingClock : public MidiClock {
public:
    struct Call {
        double value;
        unsigned int validAt;
        bool callerLockFree;
    };

    std::mutex* callerMutex = nullptr;
    std::vector<Call> clockTimes;
    std::vector<Call> clocksPerClick;

    void SetClockTime(double seconds, unsigned int validAt) override
    {
        clockTimes.push_back({seconds, validAt, CallerLockFree()});
    }
    void SetClocksPerClick(int value, unsigned int validAt) override
    {
        clocksPerClick.push_back({static_cast<double>(value), validAt, CallerLockFree()});
    }
    void SetTicksPerClock(unsigned int) override {}
    void SetTickIndex(unsigned int, int, unsigned int, int, double, unsigned int) override {}
    void SetCaesura(unsigned int, double, int) override {}
    void ArmPlayback(unsigned int, int, double, unsigned int, int) override {}
    void DisarmPlayback() override {}
    void ContinuousMode() override {}
    void ConductBeat() override {}
    void SetConductorClickTimerCallback(void (*)(void*), void*) override {}
    void SetDownbeatTimerCallback(void (*)(void*), void*) override {}
    bool GetPlaybackIsArmed() override { return true; }

private:
    bool CallerLockFree()
    {
        if (callerMutex == nullptr || !callerMutex->try_lock()) {
            return false;
        }
        callerMutex->unlock();
        return true;
    }
};

// [GIVEN] the four-bar song (120 quarter notes per minute, 100 from bar 3) loaded into a model that
// drives a recording clock
class HowToPlayWithMidiClockTest : public ::testing::Test {
protected:
    void SetUp() override { Load(model, song); }

    SongParts song = FourBars();
    UserControls controls;
    RecordingClock clock;
    HowToPlayWithMidiClock model{controls, clock};
};

TEST_F(HowToPlayWithMidiClockTest, FirstStepAfterLoadSetsClockTimeAndClocksPerClickOnce)
{
    model.AdvanceToTickIndex(20);
    ASSERT_EQ(clock.clockTimes.size(), 1u);
    EXPECT_DOUBLE_EQ(clock.clockTimes[0].value, 0.5 / 24);
    EXPECT_EQ(clock.clockTimes[0].validAt, 20u);
    ASSERT_EQ(clock.clocksPerClick.size(), 1u);
    EXPECT_EQ(clock.clocksPerClick[0].value, 24);
    EXPECT_EQ(clock.clocksPerClick[0].validAt, 20u);

    model.AdvanceToTickIndex(40);  // nothing changes
    EXPECT_EQ(clock.clockTimes.size(), 1u);
    EXPECT_EQ(clock.clocksPerClick.size(), 1u);
}

TEST_F(HowToPlayWithMidiClockTest, TempoChangeIsScheduledAtTheStepsTick)
{
    model.AdvanceToTickIndex(20);
    model.AdvanceToTickIndex(2 * kBar);
    ASSERT_EQ(clock.clockTimes.size(), 2u);
    EXPECT_DOUBLE_EQ(clock.clockTimes[1].value, 0.6 / 24);
    EXPECT_EQ(clock.clockTimes[1].validAt, 2 * kBar);
    EXPECT_EQ(clock.clocksPerClick.size(), 1u);
}

TEST_F(HowToPlayWithMidiClockTest, StepWithLockReleasesTheLockOnlyAroundClockCalls)
{
    std::mutex showControlMutex;
    clock.callerMutex = &showControlMutex;
    std::unique_lock<std::mutex> lock(showControlMutex);

    model.AdvanceToTickIndexWithLock(20, lock);

    EXPECT_TRUE(lock.owns_lock());
    ASSERT_EQ(clock.clockTimes.size(), 1u);
    EXPECT_TRUE(clock.clockTimes[0].callerLockFree);
    EXPECT_DOUBLE_EQ(clock.clockTimes[0].value, 0.5 / 24);
    ASSERT_EQ(clock.clocksPerClick.size(), 1u);
    EXPECT_TRUE(clock.clocksPerClick[0].callerLockFree);
}

TEST_F(HowToPlayWithMidiClockTest, StepWithALockNotHeldThrowsOperationNotPermitted)
{
    std::mutex showControlMutex;
    std::unique_lock<std::mutex> lock(showControlMutex, std::defer_lock);
    try {
        model.AdvanceToTickIndexWithLock(20, lock);
        FAIL() << "no exception";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code(), std::errc::operation_not_permitted);
    }
    EXPECT_FALSE(lock.owns_lock());
}

TEST_F(HowToPlayWithMidiClockTest, HighSpeedSendsTheClockTimeAtOnce)
{
    model.SetHighSpeed();
    ASSERT_EQ(clock.clockTimes.size(), 1u);
    EXPECT_EQ(clock.clockTimes[0].validAt, 0u);
}

TEST(HowToPlayWithMidiClock, CaesuraResumeParamsComeFromTheFirstBeatAtOrAfterTheCaesura)
{
    struct Case {
        const char* name;
        unsigned int caesura;
        double userScale;
        double expectedClockTime;
        int expectedClocksPerClick;
    };
    // Clicks of 2 notated 32nds (6 MIDI clocks) over bar 2; tempo scale 1.5 over bar 3.
    const Case cases[] = {
        {"on a beat, no region", 0, 1.0, 0.5 / 24, 24},
        {"between beats: next beat is in the click region", kBar - 10, 1.0, 0.5 / 24, 6},
        {"inside the click region", kBar + 100, 1.0, 0.5 / 24, 6},
        {"inside the tempo-scale region", 2 * kBar + 1, 1.0, 0.6 / 24 / 1.5, 24},
        {"scale limited to the allowed range", 2 * kBar + 1, 1.9, 0.6 / 24 / 2.0, 24},
        {"after both regions", 3 * kBar, 1.0, 0.6 / 24, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SongParts song = FourBars();
        song.clicks = {CL::Click(kBar, 2 * kBar, "c1", 2)};
        song.tempoScales = {CL::TempoScale(2 * kBar, 3 * kBar, "s1", 1.5)};
        UserControls controls;
        controls.SetTempoScale(c.userScale);
        RecordingClock clock;
        HowToPlayWithMidiClock model(controls, clock);
        Load(model, song);

        double clockTime = 0;
        int clocksPerClick = 0;
        model.GetCaesuraResumeParams(c.caesura, &clockTime, &clocksPerClick);
        EXPECT_DOUBLE_EQ(clockTime, c.expectedClockTime);
        EXPECT_EQ(clocksPerClick, c.expectedClocksPerClick);
        EXPECT_EQ(model.GetTickIndex(), 0u);
    }
}

TEST(HowToPlayWithMidiClock, CaesuraAfterTheLastBeatIsOutOfRangeEvenWithoutOutputs)
{
    UserControls controls;
    RecordingClock clock;
    HowToPlayWithMidiClock model(controls, clock);
    Load(model, FourBars());
    try {
        model.GetCaesuraResumeParams(kLastTick - 10, nullptr, nullptr);
        FAIL() << "no exception";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "HowToPlayWithMidiClock exceeded the limits of the beat map.");
    }
    int clocksPerClick = -1;
    model.GetCaesuraResumeParams(kBar, nullptr, &clocksPerClick);
    EXPECT_EQ(clocksPerClick, 24);
}

TEST(HowToPlayWithMidiClock, CopyDrivesTheSameClock)
{
    UserControls controls;
    RecordingClock clock;
    HowToPlayWithMidiClock model(controls, clock);
    Load(model, FourBars());
    HowToPlayWithMidiClock copy(model);
    copy.AdvanceToTickIndex(20);
    EXPECT_EQ(clock.clockTimes.size(), 1u);
}

}  // namespace
