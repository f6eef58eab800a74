#include <windows.h>
#include <winmm_virtual/VirtualMidi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using winmm_virtual::Call;

LARGE_INTEGER DueIn(std::chrono::milliseconds delay)
{
    LARGE_INTEGER due{};
    due.QuadPart = -static_cast<LONGLONG>(delay.count()) * 10'000;  // relative, 100 ns units
    return due;
}

// [GIVEN] an auto-reset timer, as the delayed GUI thread makes it.
class WaitableTimerTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        winmm_virtual::ClearFailures();
        if (timer != nullptr) {
            EXPECT_TRUE(CloseHandle(timer));
        }
    }

    HANDLE timer = CreateWaitableTimerW(nullptr, FALSE, u"DelayedCallbackTimer");
};

TEST_F(WaitableTimerTest, SignalsOncePerArmingAndNeverBeforeItsDueTime)
{
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(WaitForSingleObject(timer, 0), WAIT_TIMEOUT);

    const LARGE_INTEGER due = DueIn(20ms);
    const auto armedAt = Clock::now();
    ASSERT_TRUE(SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE));

    EXPECT_EQ(WaitForSingleObject(timer, INFINITE), WAIT_OBJECT_0);
    EXPECT_GE(Clock::now() - armedAt, 20ms);
    EXPECT_EQ(WaitForSingleObject(timer, 0), WAIT_TIMEOUT);
}

TEST_F(WaitableTimerTest, ZeroDueTimeSignalsAtOnceAndReArmingClearsTheSignal)
{
    const LARGE_INTEGER now{};
    ASSERT_TRUE(SetWaitableTimer(timer, &now, 0, nullptr, nullptr, FALSE));
    const LARGE_INTEGER later = DueIn(1h);
    ASSERT_TRUE(SetWaitableTimer(timer, &later, 0, nullptr, nullptr, FALSE));
    EXPECT_EQ(WaitForSingleObject(timer, 0), WAIT_TIMEOUT);

    ASSERT_TRUE(SetWaitableTimer(timer, &now, 0, nullptr, nullptr, FALSE));
    EXPECT_EQ(WaitForSingleObject(timer, 0), WAIT_OBJECT_0);
}

TEST_F(WaitableTimerTest, TimersWithTheSameNameAreIndependent)
{
    HANDLE twin = CreateWaitableTimerW(nullptr, FALSE, u"DelayedCallbackTimer");
    ASSERT_NE(twin, nullptr);
    ASSERT_NE(twin, timer);
    const LARGE_INTEGER now{};

    ASSERT_TRUE(SetWaitableTimer(timer, &now, 0, nullptr, nullptr, FALSE));
    EXPECT_EQ(WaitForSingleObject(twin, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(timer, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(twin));
}

TEST_F(WaitableTimerTest, ArmingWakesAThreadAlreadyWaiting)
{
    auto waiter = std::async(std::launch::async, [this] { return WaitForSingleObject(timer, INFINITE); });
    const LARGE_INTEGER now{};
    ASSERT_TRUE(SetWaitableTimer(timer, &now, 0, nullptr, nullptr, FALSE));
    ASSERT_EQ(waiter.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(waiter.get(), WAIT_OBJECT_0);
}

TEST_F(WaitableTimerTest, WaitForAnUnarmedTimerTimesOut)
{
    const auto start = Clock::now();
    EXPECT_EQ(WaitForSingleObject(timer, 10), WAIT_TIMEOUT);
    EXPECT_GE(Clock::now() - start, 10ms);
}

TEST(ManualResetTimerTest, StaysSignalledUntilReArmed)
{
    HANDLE timer = CreateWaitableTimerW(nullptr, TRUE, nullptr);
    const LARGE_INTEGER now{};
    ASSERT_TRUE(SetWaitableTimer(timer, &now, 0, nullptr, nullptr, FALSE));

    EXPECT_EQ(WaitForSingleObject(timer, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(timer, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(timer));
}

void NoRoutine(LPVOID, DWORD, DWORD) {}

TEST_F(WaitableTimerTest, RefusesWhatItDoesNotSupportWithTheLastError)
{
    const LARGE_INTEGER due = DueIn(10ms);
    struct Case {
        const char* name;
        const LARGE_INTEGER* due;
        LONG period;
        PTIMERAPCROUTINE routine;
        DWORD error;
    };
    const Case cases[] = {
        {"no due time", nullptr, 0, nullptr, ERROR_INVALID_PARAMETER},
        {"a period", &due, 10, nullptr, ERROR_NOT_SUPPORTED},
        {"a completion routine", &due, 0, &NoRoutine, ERROR_NOT_SUPPORTED},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(SetWaitableTimer(timer, c.due, c.period, c.routine, nullptr, FALSE)) << c.name;
        EXPECT_EQ(GetLastError(), c.error) << c.name;
    }
    EXPECT_EQ(WaitForSingleObject(timer, 0), WAIT_TIMEOUT);
}

TEST_F(WaitableTimerTest, ClosedHandleIsInvalidForEveryCall)
{
    ASSERT_TRUE(CloseHandle(timer));
    const HANDLE closed = timer;
    timer = nullptr;
    const LARGE_INTEGER due = DueIn(10ms);

    EXPECT_EQ(WaitForSingleObject(closed, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(SetWaitableTimer(closed, &due, 0, nullptr, nullptr, FALSE));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CloseHandle(closed));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(WaitableTimerTest, InjectedWaitResultReturnsAtOnce)
{
    winmm_virtual::FailNextCall(Call::WaitForSingleObject, WAIT_TIMEOUT);
    const LARGE_INTEGER now{};
    ASSERT_TRUE(SetWaitableTimer(timer, &now, 0, nullptr, nullptr, FALSE));

    EXPECT_EQ(WaitForSingleObject(timer, INFINITE), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(timer, 0), WAIT_OBJECT_0);
}

}  // namespace
