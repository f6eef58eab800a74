#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// DelayedGui: reports tick positions to the GUI a fixed delay after the clock path queued them, so the
// playhead moves with what is heard rather than with what was sent. Each tick has its own deadline, its
// arrival plus the delay in force when it arrived, so ticks queued faster than the delay are all
// reported on time, oldest first.
//
// Owner: MidiOutputWin32. Threads: its own thread (started by the constructor, joined by the
// destructor) waits on a waitable timer and calls the callback; the clock path queues ticks; the
// player's and operator's threads reset and change the delay.
// Lock: mutex_ guards should run, the delay and the queue; nothing waits while holding it, and the
// callback runs without it. The wake-up condition pairs with mutex_.
// The callback runs on this object's thread and must not block for long; an exception from it is
// logged and the next tick is reported as usual. Stop guarantee: once the destructor has returned no
// callback runs.
class DelayedGui {
public:
    DelayedGui(std::function<void(unsigned int)> callback, double secondsDelay);
    ~DelayedGui();
    DelayedGui(const DelayedGui&) = delete;
    DelayedGui& operator=(const DelayedGui&) = delete;

    // Queues a tick to be reported after the delay. Does not wait.
    void SignalDelayedCallback(unsigned int tick);
    // Takes the oldest queued tick, whether due or not; false when none is queued.
    bool GetNextTickIndex(unsigned int* tick);
    bool HasScheduledCallbacks();
    // Drops every queued tick; a report under way completes.
    void Reset();
    double GetSecondsDelay();
    // Applies to the ticks queued from now on.
    void SetSecondsDelay(double seconds);

private:
    using Clock = std::chrono::steady_clock;
    struct ScheduledTick {
        unsigned int tick;
        Clock::time_point due;
    };

    bool GetShouldRun();
    void RunLoop();
    void ThreadProcedure();
    // Waits for a tick to be queued or for the stop request; false when stopping.
    bool WaitForTick();
    // The due time of the oldest tick; the queue must not be empty.
    bool GetNextDueTime(Clock::time_point* due);
    // Takes the oldest tick when it is due by `now`.
    bool TakeDueTick(Clock::time_point now, unsigned int* tick);
    void ReportTick(unsigned int tick);

    std::mutex mutex_;
    bool shouldRun_ = true;
    double secondsDelay_;
    std::condition_variable wakeUp_;
    HANDLE timer_;
    std::function<void(unsigned int)> callback_;
    std::deque<ScheduledTick> queue_;
    std::thread thread_;  // last: starts once the members above exist
};
