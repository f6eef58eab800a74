#include <mmsystem.h>
#include <winmm_virtual/VirtualMidi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using winmm_virtual::Call;

// Firings in the order they came, each with its time.
struct FiringLog {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<DWORD_PTR> users;
    std::vector<Clock::time_point> times;

    bool WaitForCount(std::size_t count)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 5s, [&] { return users.size() >= count; });
    }

    void Clear()
    {
        std::lock_guard lock(mutex);
        users.clear();
        times.clear();
    }
};

// Lives for the process: the timer thread may still be leaving a callback
// when a test ends.
FiringLog log;

void CALLBACK RecordFiring(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR)
{
    std::lock_guard lock(log.mutex);
    log.users.push_back(user);
    log.times.push_back(Clock::now());
    log.changed.notify_all();
}

class MultimediaTimerTest : public ::testing::Test {
protected:
    void SetUp() override { log.Clear(); }
    void TearDown() override { winmm_virtual::ClearFailures(); }
};

TEST_F(MultimediaTimerTest, OneShotTimersFireOnceInDeadlineOrderAndNeverEarly)
{
    // user data = delay in ms * 10 + the order of setting
    const std::vector<std::pair<UINT, DWORD_PTR>> timers = {{30, 300}, {10, 100}, {20, 200}, {15, 151}, {15, 152}};
    std::vector<Clock::time_point> setAt;
    for (const auto& [delay, user] : timers) {
        setAt.push_back(Clock::now());
        EXPECT_NE(timeSetEvent(delay, 0, &RecordFiring, user, TIME_ONESHOT), 0u);
    }

    ASSERT_TRUE(log.WaitForCount(timers.size()));
    std::lock_guard lock(log.mutex);
    EXPECT_EQ(log.users, (std::vector<DWORD_PTR>{100, 151, 152, 200, 300}));
    for (std::size_t i = 0; i < timers.size(); ++i) {
        const auto fired = std::find(log.users.begin(), log.users.end(), timers[i].second) - log.users.begin();
        EXPECT_GE(log.times[fired] - setAt[i], std::chrono::milliseconds(timers[i].first)) << timers[i].second;
    }
}

TEST_F(MultimediaTimerTest, KilledTimerNeverFires)
{
    const UINT killed = timeSetEvent(50, 0, &RecordFiring, 1, TIME_ONESHOT);
    ASSERT_NE(killed, 0u);
    ASSERT_EQ(timeKillEvent(killed), TIMERR_NOERROR);
    ASSERT_NE(timeSetEvent(100, 0, &RecordFiring, 2, TIME_ONESHOT), 0u);

    ASSERT_TRUE(log.WaitForCount(1));
    std::lock_guard lock(log.mutex);
    EXPECT_EQ(log.users, (std::vector<DWORD_PTR>{2}));
    EXPECT_EQ(timeKillEvent(killed), MMSYSERR_INVALPARAM);
}

TEST_F(MultimediaTimerTest, StallHoldsTheNextFiringsBackAndKeepsTheirOrder)
{
    const std::size_t firedBefore = winmm_virtual::GetTimerFiringCount();
    const Clock::time_point setAt = Clock::now();
    winmm_virtual::StallNextTimerFiring(120ms);
    ASSERT_NE(timeSetEvent(10, 0, &RecordFiring, 1, TIME_ONESHOT), 0u);
    ASSERT_NE(timeSetEvent(20, 0, &RecordFiring, 2, TIME_ONESHOT), 0u);
    ASSERT_NE(timeSetEvent(1, 0, &RecordFiring, 3, TIME_ONESHOT), 0u);
    // The stall begins when timer 3 falls due; the others fall due during it.

    ASSERT_TRUE(log.WaitForCount(3));
    std::lock_guard lock(log.mutex);
    EXPECT_EQ(log.users, (std::vector<DWORD_PTR>{3, 1, 2}));
    EXPECT_GE(log.times.front() - setAt, 121ms);
    EXPECT_GE(winmm_virtual::GetTimerFiringCount() - firedBefore, 3u);
}

TEST_F(MultimediaTimerTest, FiredTimerCannotBeKilled)
{
    const UINT id = timeSetEvent(1, 0, &RecordFiring, 1, TIME_ONESHOT);
    ASSERT_TRUE(log.WaitForCount(1));
    EXPECT_EQ(timeKillEvent(id), MMSYSERR_INVALPARAM);
}

TEST_F(MultimediaTimerTest, RefusesTimersItCannotKeep)
{
    struct Case {
        const char* name;
        UINT delay;
        LPTIMECALLBACK callback;
        UINT flags;
    };
    const Case cases[] = {
        {"no delay", 0, &RecordFiring, TIME_ONESHOT},
        {"delay over 1000 s", 1000001, &RecordFiring, TIME_ONESHOT},
        {"no callback", 10, nullptr, TIME_ONESHOT},
        {"periodic", 10, &RecordFiring, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(timeSetEvent(c.delay, 0, c.callback, 0, c.flags), 0u) << c.name;
    }
    winmm_virtual::FailNextCall(Call::timeSetEvent, 0);
    EXPECT_EQ(timeSetEvent(10, 0, &RecordFiring, 0, TIME_ONESHOT), 0u);
}

TEST_F(MultimediaTimerTest, TimePeriodsMustMatchAndEveryCallIsCounted)
{
    winmm_virtual::ResetTimePeriodCounts();
    struct Step {
        bool begin;
        UINT period;
        MMRESULT expected;
    };
    const Step steps[] = {
        {true, 1, TIMERR_NOERROR},  {true, 1, TIMERR_NOERROR},  {false, 1, TIMERR_NOERROR},
        {false, 1, TIMERR_NOERROR}, {false, 1, TIMERR_NOCANDO}, {false, 5, TIMERR_NOCANDO},
        {true, 0, TIMERR_NOCANDO},
    };
    for (const Step& step : steps) {
        const MMRESULT result = step.begin ? timeBeginPeriod(step.period) : timeEndPeriod(step.period);
        EXPECT_EQ(result, step.expected) << (step.begin ? "begin " : "end ") << step.period;
    }
    winmm_virtual::FailNextCall(Call::timeBeginPeriod, TIMERR_NOCANDO);
    EXPECT_EQ(timeBeginPeriod(1), TIMERR_NOCANDO);
    EXPECT_EQ(timeEndPeriod(1), TIMERR_NOCANDO);

    const auto counts = winmm_virtual::GetTimePeriodCounts();
    EXPECT_EQ(counts.begin, 4u);
    EXPECT_EQ(counts.end, 5u);
}

}  // namespace
