#include "StandardMidiClock.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

// A clock whose timer only records what was asked of it; tests fire it by hand.
class ManualClock : public StandardMidiClock {
public:
    ManualClock()
    {
        SetMidiClockCallback([this](double bpm) { tempos.push_back(bpm); });
    }

    // Fires once on the current chain; returns AdvanceClock's result.
    bool Fire() { return AdvanceClock(chain); }
    bool FireChain(std::uint64_t armGeneration) { return AdvanceClock(armGeneration); }
    // Fires the chain begun by the last StartClock until it ends or `limit` firings have passed.
    int FireUntilStopped(int limit)
    {
        int fired = 0;
        while (fired < limit && Fire()) {
            ++fired;
        }
        return fired;
    }

    unsigned int Tick() const { return GetClockState().GetTickIndex(); }
    int ClockNumber() const { return GetClockState().GetClockNumber(); }
    int ClocksPerClick() const { return GetClockState().GetClocksPerClick(); }
    double ClockTime() const { return GetClockState().GetClockTime(); }

    std::vector<double> tempos;
    std::vector<double> delays;
    int starts = 0;
    std::uint64_t chain = 0;

protected:
    void SetClockTimer(double seconds) override { delays.push_back(seconds); }
    void StartClock() override
    {
        ++starts;
        chain = GetArmGeneration();
    }
};

// [GIVEN] a clock armed at tick 0 with 20 ticks per clock, 24 clocks per click, 0.025 s per clock
class StandardMidiClockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        clock.ArmPlayback(20, 24, 0.025, 0, 0);
        clock.ContinuousMode();
    }
    ManualClock clock;
};

TEST_F(StandardMidiClockTest, FiringPassesTempoAndStepsOneClock)
{
    ASSERT_TRUE(clock.Fire());
    EXPECT_DOUBLE_EQ(clock.tempos.at(0), 100.0);
    EXPECT_EQ(clock.Tick(), 20u);
    EXPECT_EQ(clock.ClockNumber(), 1);
    ASSERT_EQ(clock.delays.size(), 1u);
    EXPECT_DOUBLE_EQ(clock.delays[0], 0.025);

    for (int i = 1; i < 24; ++i) {
        ASSERT_TRUE(clock.Fire());
    }
    EXPECT_EQ(clock.ClockNumber(), 0);
    EXPECT_EQ(clock.Tick(), 480u);
}

TEST_F(StandardMidiClockTest, ClockTimeChangeGovernsTheClockAtItsTick)
{
    clock.SetClockTime(0.02, 40);
    clock.Fire();  // clock at tick 0
    clock.Fire();  // clock at tick 20; reaching 40 applies the change
    EXPECT_DOUBLE_EQ(clock.tempos[0], 100.0);
    EXPECT_DOUBLE_EQ(clock.tempos[1], 100.0);
    EXPECT_DOUBLE_EQ(clock.delays[1], 0.02);
    clock.Fire();  // clock at tick 40
    EXPECT_DOUBLE_EQ(clock.tempos[2], 125.0);
}

TEST_F(StandardMidiClockTest, ChangeOffTheClockGridAppliesLateInsteadOfBeingLost)
{
    clock.SetClockTime(0.02, 30);
    clock.SetClocksPerClick(12, 50);
    testing::internal::CaptureStdout();
    clock.Fire();  // 0 -> 20
    EXPECT_DOUBLE_EQ(clock.ClockTime(), 0.025);
    clock.Fire();  // 20 -> 40: the tick-30 change was stepped over
    EXPECT_DOUBLE_EQ(clock.ClockTime(), 0.02);
    EXPECT_EQ(clock.ClocksPerClick(), 24);
    clock.Fire();  // 40 -> 60
    EXPECT_EQ(clock.ClocksPerClick(), 12);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "WARNING: Late clock change applied. validAt=30, tickIndex=40\n"
              "WARNING: Late clock change applied. validAt=50, tickIndex=60\n");
}

TEST_F(StandardMidiClockTest, ChangesAtValidAtZeroApplyAtOnceAndPastChangesAreIgnored)
{
    clock.SetClocksPerClick(12, 0);
    EXPECT_EQ(clock.ClocksPerClick(), 12);

    clock.Fire();
    clock.Fire();  // tick 40
    testing::internal::CaptureStdout();
    clock.SetClockTime(0.01, 20);  // in the past: ignored with a warning
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "WARNING: SetClockTime ignored. validAt=20, tickIndex=40\n");
    clock.Fire();
    EXPECT_DOUBLE_EQ(clock.ClockTime(), 0.025);
}

TEST_F(StandardMidiClockTest, ChangeAtTheCurrentTickGovernsTheClockThatFiresNext)
{
    clock.Fire();  // tick 20 fires next
    testing::internal::CaptureStdout();
    clock.SetClockTime(0.02, 20);
    clock.SetClocksPerClick(12, 20);
    clock.Fire();
    EXPECT_DOUBLE_EQ(clock.tempos.at(1), 250.0);
    EXPECT_DOUBLE_EQ(clock.delays.at(1), 0.02);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "nothing was late";
}

TEST_F(StandardMidiClockTest, ChangeAtTheTickBeingSentAppliesAfterItWithAWarning)
{
    // The change for tick 20 comes while the clock at tick 20 is being sent: too late for it.
    clock.SetMidiClockCallback([this](double bpm) {
        clock.tempos.push_back(bpm);
        if (clock.tempos.size() == 2) {
            clock.SetClockTime(0.02, 20);
        }
    });
    clock.Fire();
    testing::internal::CaptureStdout();
    clock.Fire();
    clock.Fire();
    EXPECT_DOUBLE_EQ(clock.tempos.at(1), 100.0);
    EXPECT_DOUBLE_EQ(clock.tempos.at(2), 125.0);
    EXPECT_DOUBLE_EQ(clock.delays.at(1), 0.02);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "WARNING: Late clock change applied. validAt=20, tickIndex=40\n");
}

TEST_F(StandardMidiClockTest, SetTickIndexJumpsAtItsTick)
{
    clock.SetTickIndex(960, 0, 20, 24, 0.025, 40);
    clock.Fire();
    clock.Fire();
    EXPECT_EQ(clock.Tick(), 960u);
    EXPECT_EQ(clock.ClockNumber(), 0);
}

TEST_F(StandardMidiClockTest, CaesuraStopsTheChainAtItsTickAndStaysArmed)
{
    clock.SetCaesura(40, 0.03, 24);
    EXPECT_TRUE(clock.Fire());
    EXPECT_FALSE(clock.Fire());
    EXPECT_EQ(clock.Tick(), 40u);
    EXPECT_EQ(clock.delays.size(), 1u);
    EXPECT_TRUE(clock.GetPlaybackIsArmed());
}

TEST_F(StandardMidiClockTest, CaesuraAtOrBeforeTheCurrentTickIsIgnored)
{
    clock.SetCaesura(0, 0.03, 24);
    EXPECT_EQ(clock.FireUntilStopped(5), 5);
}

TEST_F(StandardMidiClockTest, DisarmEndsTheChainAndDropsPendingChanges)
{
    clock.SetClockTime(0.02, 40);
    clock.DisarmPlayback();
    EXPECT_FALSE(clock.Fire());
    EXPECT_TRUE(clock.tempos.empty());

    clock.ArmPlayback(20, 24, 0.025, 0, 0);
    clock.ContinuousMode();
    clock.FireUntilStopped(4);
    EXPECT_DOUBLE_EQ(clock.ClockTime(), 0.025);
}

TEST_F(StandardMidiClockTest, FiringOfAnOlderChainDoesNothingAfterReArming)
{
    const std::uint64_t oldChain = clock.chain;
    clock.DisarmPlayback();
    clock.ArmPlayback(20, 24, 0.025, 0, 0);
    clock.ContinuousMode();

    EXPECT_FALSE(clock.FireChain(oldChain));
    EXPECT_EQ(clock.Tick(), 0u);
    EXPECT_TRUE(clock.Fire());
    EXPECT_EQ(clock.Tick(), 20u);
}

TEST_F(StandardMidiClockTest, FiringWhoseArmingEndedDuringItsCallbackLeavesTheNewArmingAlone)
{
    // The callback waits (as the output's step waits for the player lock) while the player ends the
    // arming and arms again at tick 1000 with a caesura one clock later.
    const std::uint64_t oldChain = clock.chain;
    std::vector<bool> current;
    clock.SetMidiClockCallback([&](double bpm) {
        clock.tempos.push_back(bpm);
        current.push_back(clock.FiringIsCurrent());
        if (clock.tempos.size() == 1) {
            clock.DisarmPlayback();
            clock.ArmPlayback(20, 12, 0.025, 1000, 0);
            clock.SetCaesura(1020, 0.025, 12);
            clock.ContinuousMode();
            current.push_back(clock.FiringIsCurrent());
        }
    });
    EXPECT_FALSE(clock.FireChain(oldChain));
    EXPECT_EQ(current, (std::vector<bool>{true, false}));
    EXPECT_EQ(clock.Tick(), 1000u) << "the old firing stepped the new arming";
    EXPECT_EQ(clock.ClockNumber(), 0);
    EXPECT_TRUE(clock.delays.empty()) << "the old firing armed a timer";
    EXPECT_TRUE(clock.FiringIsCurrent()) << "outside a firing";

    // The new chain owns the new arming: its clock at 1000 goes out, and it stops at the caesura.
    EXPECT_FALSE(clock.Fire());
    EXPECT_DOUBLE_EQ(clock.tempos.at(1), 200.0);
    EXPECT_TRUE(current.back());
    EXPECT_EQ(clock.Tick(), 1020u);
}

TEST(StandardMidiClock, ChangeMadeWhileDisarmedAtTheArmingTickGovernsTheFirstClock)
{
    ManualClock clock;
    clock.SetClockTime(0.02, 960);
    clock.ArmPlayback(20, 24, 0.025, 960, 0);
    clock.ContinuousMode();
    testing::internal::CaptureStdout();
    clock.FireUntilStopped(2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(clock.tempos.size(), 2u);
    EXPECT_DOUBLE_EQ(clock.tempos[0], 125.0);
    EXPECT_DOUBLE_EQ(clock.delays[0], 0.02);
}

TEST(StandardMidiClock, ChangesMadeWhileDisarmedWaitForArming)
{
    ManualClock clock;
    clock.SetClockTime(0.02, 40);
    clock.SetClocksPerClick(12, 40);
    clock.ArmPlayback(20, 24, 0.025, 0, 0);
    EXPECT_DOUBLE_EQ(clock.ClockTime(), 0.025);
    clock.ContinuousMode();
    clock.FireUntilStopped(2);
    EXPECT_DOUBLE_EQ(clock.ClockTime(), 0.02);
    EXPECT_EQ(clock.ClocksPerClick(), 12);
}

TEST(StandardMidiClock, SetTickIndexWhileDisarmedDropsDeferredChanges)
{
    ManualClock clock;
    clock.SetClockTime(0.02, 40);
    clock.SetTickIndex(0, 0, 20, 24, 0.025, 0);
    clock.ArmPlayback(20, 24, 0.025, 0, 0);
    clock.ContinuousMode();
    clock.FireUntilStopped(3);
    EXPECT_DOUBLE_EQ(clock.ClockTime(), 0.025);
}

TEST(StandardMidiClock, ContinuousModeWhileDisarmedFiresOnceWithoutCallback)
{
    ManualClock clock;
    clock.ContinuousMode();
    EXPECT_FALSE(clock.Fire());
    EXPECT_TRUE(clock.tempos.empty());
    EXPECT_TRUE(clock.delays.empty());
}

TEST(StandardMidiClock, ConductedModeIsRefused)
{
    ManualClock clock;
    try {
        clock.ConductBeat();
        FAIL() << "ConductBeat did not throw";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "Not implemented");
    }
    try {
        clock.SetDownbeatTimerCallback(nullptr, nullptr);
        FAIL() << "SetDownbeatTimerCallback did not throw";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "Not implemented.");
    }
    EXPECT_THROW(clock.SetConductorClickTimerCallback(nullptr, nullptr), std::logic_error);
}

TEST(MidiClock, CallbackBeforeAnyIsSetThrowsBadFunctionCall)
{
    struct Bare : ManualClock {
        Bare() { SetMidiClockCallback({}); }
    } clock;
    EXPECT_THROW(clock.DoMidiClockCallback(120.0), std::bad_function_call);
}

TEST(ClockState, AssignmentMergesOnlyTheFieldsSetInTheSource)
{
    ClockState target(100, 3, 20, 24, 0.025);
    ClockState change;
    change.SetClockTime(0.05);
    target = change;
    EXPECT_EQ(target.GetTickIndex(), 100u);
    EXPECT_EQ(target.GetClockNumber(), 3);
    EXPECT_EQ(target.GetClocksPerClick(), 24);
    EXPECT_DOUBLE_EQ(target.GetClockTime(), 0.05);
    EXPECT_DOUBLE_EQ(target.GetBeatsPerMinute(), 50.0);
}

}  // namespace
