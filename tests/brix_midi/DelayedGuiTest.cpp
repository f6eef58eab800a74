#include "win32/DelayedGui.h"

#include <brix_core/BrixLog.h>
#include <winmm_virtual/VirtualMidi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The ticks a DelayedGui reported, with when.
class TickLog {
public:
    void Record(unsigned int tick)
    {
        std::lock_guard lock(mutex_);
        reports_.push_back({tick, Clock::now()});
        changed_.notify_all();
    }
    bool WaitForCount(std::size_t count)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 5s, [&] { return reports_.size() >= count; });
    }
    struct Report {
        unsigned int tick;
        Clock::time_point at;
    };
    std::vector<Report> Reports()
    {
        std::lock_guard lock(mutex_);
        return reports_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Report> reports_;
};

TEST(DelayedGui, EveryTickIsReportedInOrderNoEarlierThanItsOwnDelay)
{
    TickLog log;
    DelayedGui gui([&](unsigned int tick) { log.Record(tick); }, 0.1);
    std::vector<Clock::time_point> signalled;
    for (unsigned int tick : {0u, 480u, 960u}) {
        signalled.push_back(Clock::now());
        gui.SignalDelayedCallback(tick);
    }
    ASSERT_TRUE(log.WaitForCount(3));
    const auto reports = log.Reports();
    ASSERT_EQ(reports.size(), 3u);
    const std::vector<unsigned int> ticks = {0, 480, 960};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(reports[i].tick, ticks[i]);
        EXPECT_GE(reports[i].at - signalled[i], 100ms) << i;
    }
    EXPECT_FALSE(gui.HasScheduledCallbacks());
}

TEST(DelayedGui, TickAlreadyDueBehindAnotherIsReportedWithoutAFurtherWait)
{
    TickLog log;
    DelayedGui gui(
        [&](unsigned int tick) {
            if (tick == 1) {
                // Any timer the loop arms from now on takes this failure.
                winmm_virtual::FailNextCall(winmm_virtual::Call::SetWaitableTimer, ERROR_INVALID_PARAMETER);
            }
            log.Record(tick);
        },
        0.05);
    gui.SignalDelayedCallback(1);  // due in 50 ms
    gui.SetSecondsDelay(0.0);
    gui.SignalDelayedCallback(2);  // due at once, queued behind tick 1
    ASSERT_TRUE(log.WaitForCount(2));
    EXPECT_EQ(log.Reports()[0].tick, 1u);
    EXPECT_EQ(log.Reports()[1].tick, 2u);

    // Tick 2 was overdue when tick 1 had been reported: the loop must not have timed another delay.
    HANDLE probe = CreateWaitableTimerW(nullptr, FALSE, u"probe");
    LARGE_INTEGER due{};
    due.QuadPart = -1;
    EXPECT_FALSE(SetWaitableTimer(probe, &due, 0, nullptr, nullptr, FALSE)) << "the failure was taken by the loop";
    winmm_virtual::ClearFailures();
    CloseHandle(probe);
}

TEST(DelayedGui, DelayChangeAppliesToTicksQueuedAfterIt)
{
    TickLog log;
    DelayedGui gui([&](unsigned int tick) { log.Record(tick); }, 0.0);
    gui.SetSecondsDelay(0.15);
    EXPECT_DOUBLE_EQ(gui.GetSecondsDelay(), 0.15);
    const auto before = Clock::now();
    gui.SignalDelayedCallback(7);
    ASSERT_TRUE(log.WaitForCount(1));
    EXPECT_GE(log.Reports()[0].at - before, 150ms);
}

TEST(DelayedGui, ResetDropsTicksNotYetReported)
{
    TickLog log;
    DelayedGui gui([&](unsigned int tick) { log.Record(tick); }, 0.2);
    gui.SignalDelayedCallback(1);
    gui.SignalDelayedCallback(2);
    gui.Reset();
    EXPECT_FALSE(gui.HasScheduledCallbacks());
    gui.SetSecondsDelay(0.0);
    gui.SignalDelayedCallback(3);
    ASSERT_TRUE(log.WaitForCount(1));
    ASSERT_EQ(log.Reports()[0].tick, 3u) << "a dropped tick was reported";
}

TEST(DelayedGui, ThrowingCallbackIsLoggedAndLaterTicksAreStillReported)
{
    ClearBrixLogRecords();
    TickLog log;
    DelayedGui gui(
        [&](unsigned int tick) {
            if (tick == 1) {
                throw std::runtime_error("GUI went away");
            }
            log.Record(tick);
        },
        0.0);
    gui.SignalDelayedCallback(1);
    gui.SignalDelayedCallback(2);
    ASSERT_TRUE(log.WaitForCount(1));
    EXPECT_EQ(log.Reports()[0].tick, 2u);
    const auto records = GetBrixLogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].message, "GUI went away");
}

TEST(DelayedGui, TakingTheNextTickEmptiesTheQueueInOrder)
{
    std::mutex gate;
    std::unique_lock hold(gate);
    // The callback blocks on the gate, so the loop stays busy with the first tick while the test reads.
    TickLog log;
    DelayedGui gui(
        [&](unsigned int tick) {
            log.Record(tick);
            std::lock_guard wait(gate);
        },
        0.0);
    gui.SignalDelayedCallback(10);
    ASSERT_TRUE(log.WaitForCount(1));
    gui.SignalDelayedCallback(20);
    gui.SignalDelayedCallback(30);
    unsigned int tick = 0;
    ASSERT_TRUE(gui.GetNextTickIndex(&tick));
    EXPECT_EQ(tick, 20u);
    ASSERT_TRUE(gui.GetNextTickIndex(&tick));
    EXPECT_EQ(tick, 30u);
    EXPECT_FALSE(gui.GetNextTickIndex(&tick));
    hold.unlock();
}

}  // namespace
