// One-shot multimedia timers and the timer periods.
#include "Faults.h"
#include "ThreadPriority.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <map>
#include <mutex>
#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>
#include <thread>
#include <unordered_map>

namespace winmm_impl {
namespace {

using Clock = std::chrono::steady_clock;  // CLOCK_MONOTONIC

constexpr UINT kMinDelay = 1;
constexpr UINT kMaxDelay = 1000000;

// The process-wide timer thread. Owner: a function-local static, joined at
// exit. Threads: callers set and kill timers; the timer thread sleeps to the
// earliest absolute deadline and calls the callbacks one at a time. Lock:
// mutex_ guards the pending timers and the running id; no callback runs under
// it. Stop guarantee: Kill returns after the killed timer's running callback.
class TimerThread {
public:
    TimerThread() : thread_([this] { Run(); }) {}

    ~TimerThread()
    {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

    TimerThread(const TimerThread&) = delete;
    TimerThread& operator=(const TimerThread&) = delete;

    UINT Set(UINT delayMs, LPTIMECALLBACK callback, DWORD_PTR user)
    {
        const Clock::time_point due = Clock::now() + std::chrono::milliseconds(delayMs);
        std::lock_guard lock(mutex_);
        const UINT id = NewId();
        const Key key{due, ++sequence_};
        pending_.emplace(key, Timer{id, callback, user});
        keys_.emplace(id, key);
        if (pending_.begin()->first == key) {
            wake_.notify_one();
        }
        return id;
    }

    void StallNextFiring(std::chrono::milliseconds stall)
    {
        std::lock_guard lock(mutex_);
        pendingStall_ = stall;
    }

    std::size_t GetFiringCount()
    {
        std::lock_guard lock(mutex_);
        return firingCount_;
    }

    MMRESULT Kill(UINT id)
    {
        std::unique_lock lock(mutex_);
        auto it = keys_.find(id);
        if (it != keys_.end()) {
            pending_.erase(it->second);
            keys_.erase(it);
            return TIMERR_NOERROR;
        }
        if (std::this_thread::get_id() != thread_.get_id()) {
            finished_.wait(lock, [&] { return runningId_ != id; });
        }
        return MMSYSERR_INVALPARAM;
    }

private:
    // Deadline, then the order of setting.
    using Key = std::pair<Clock::time_point, std::uint64_t>;
    struct Timer {
        UINT id;
        LPTIMECALLBACK callback;
        DWORD_PTR user;
    };

    UINT NewId()
    {
        do {
            ++lastId_;
        } while (lastId_ == 0 || keys_.contains(lastId_) || lastId_ == runningId_);
        return lastId_;
    }

    void Run()
    {
        pthread_setname_np(pthread_self(), "winmm_timer");
        // Best effort: a real-time policy and the finest timer slack keep the
        // wake-ups close to their deadlines.
        SetCurrentThreadPolicy(SCHED_FIFO, kTimerFifoPriority);
        prctl(PR_SET_TIMERSLACK, 1U, 0U, 0U, 0U);

        std::unique_lock lock(mutex_);
        while (!stopping_) {
            if (pending_.empty()) {
                wake_.wait(lock);
                continue;
            }
            const auto first = pending_.begin();
            // Copied: timeKillEvent may erase the node while this thread waits.
            const Clock::time_point due = first->first.first;
            if (Clock::now() < due) {
                wake_.wait_until(lock, due);
                continue;
            }
            if (pendingStall_.count() > 0) {
                stallUntil_ = Clock::now() + pendingStall_;
                pendingStall_ = {};
            }
            if (Clock::now() < stallUntil_) {
                wake_.wait_until(lock, stallUntil_);
                continue;
            }
            const Timer timer = first->second;
            keys_.erase(timer.id);
            pending_.erase(first);
            runningId_ = timer.id;
            ++firingCount_;
            lock.unlock();
            Fire(timer);
            lock.lock();
            runningId_ = 0;
            finished_.notify_all();
        }
    }

    static void Fire(const Timer& timer)
    {
        try {
            timer.callback(timer.id, 0, timer.user, 0, 0);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "Multimedia timer %u callback threw: %s\n", timer.id, e.what());
        } catch (...) {
            std::fprintf(stderr, "Multimedia timer %u callback threw an unknown exception\n", timer.id);
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::map<Key, Timer> pending_;
    std::unordered_map<UINT, Key> keys_;
    std::uint64_t sequence_ = 0;
    UINT lastId_ = 0;
    UINT runningId_ = 0;
    std::chrono::milliseconds pendingStall_{};
    Clock::time_point stallUntil_{};
    std::size_t firingCount_ = 0;
    bool stopping_ = false;
    std::thread thread_;  // last: starts once the members above exist
};

TimerThread& Timers()
{
    static TimerThread timers;
    return timers;
}

// Outstanding timeBeginPeriod calls per period, for timeEndPeriod to match.
struct Periods {
    std::mutex mutex;
    std::map<UINT, unsigned int> outstanding;
};

Periods& GetPeriods()
{
    static Periods periods;
    return periods;
}

}  // namespace
}  // namespace winmm_impl

using winmm_impl::TakeFailure;
using winmm_virtual::Call;

MMRESULT WINAPI timeBeginPeriod(UINT uPeriod)
{
    winmm_impl::CountTimeBeginPeriod();
    if (auto failure = TakeFailure(Call::timeBeginPeriod)) {
        return *failure;
    }
    if (uPeriod < winmm_impl::kMinDelay || uPeriod > winmm_impl::kMaxDelay) {
        return TIMERR_NOCANDO;
    }
    auto& periods = winmm_impl::GetPeriods();
    std::lock_guard lock(periods.mutex);
    ++periods.outstanding[uPeriod];
    return TIMERR_NOERROR;
}

MMRESULT WINAPI timeEndPeriod(UINT uPeriod)
{
    winmm_impl::CountTimeEndPeriod();
    if (auto failure = TakeFailure(Call::timeEndPeriod)) {
        return *failure;
    }
    auto& periods = winmm_impl::GetPeriods();
    std::lock_guard lock(periods.mutex);
    auto it = periods.outstanding.find(uPeriod);
    if (it == periods.outstanding.end()) {
        return TIMERR_NOCANDO;
    }
    if (--it->second == 0) {
        periods.outstanding.erase(it);
    }
    return TIMERR_NOERROR;
}

MMRESULT WINAPI timeSetEvent(UINT uDelay, UINT /*uResolution*/, LPTIMECALLBACK lpTimeProc, DWORD_PTR dwUser,
                             UINT fuEvent)
{
    if (TakeFailure(Call::timeSetEvent)) {
        return 0;
    }
    if (uDelay < winmm_impl::kMinDelay || uDelay > winmm_impl::kMaxDelay || lpTimeProc == nullptr ||
        fuEvent != TIME_ONESHOT) {
        return 0;
    }
    return winmm_impl::Timers().Set(uDelay, lpTimeProc, dwUser);
}

MMRESULT WINAPI timeKillEvent(UINT uTimerID)
{
    if (auto failure = TakeFailure(Call::timeKillEvent)) {
        return *failure;
    }
    return winmm_impl::Timers().Kill(uTimerID);
}

namespace winmm_virtual {

void StallNextTimerFiring(std::chrono::milliseconds stall)
{
    winmm_impl::Timers().StallNextFiring(stall);
}

std::size_t GetTimerFiringCount()
{
    return winmm_impl::Timers().GetFiringCount();
}

}  // namespace winmm_virtual
