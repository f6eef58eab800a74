// Waitable timers: CreateWaitableTimerW, SetWaitableTimer,
// WaitForSingleObject and CloseHandle.
#include "Faults.h"
#include "HandleTable.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace winmm_impl {
namespace {

using Clock = std::chrono::steady_clock;  // CLOCK_MONOTONIC
using Ticks = std::chrono::duration<LONGLONG, std::ratio<1, 10'000'000>>;  // 100 ns

// 100 ns intervals from 1601-01-01 to 1970-01-01, the two epochs of an
// absolute due time and of the system clock.
constexpr LONGLONG kEpochDifference = 116'444'736'000'000'000LL;

// Owner: the handle table, from CreateWaitableTimerW to CloseHandle (a waiter
// keeps it alive meanwhile). Threads: any. Lock: mutex_ guards the due time
// and the signalled state; waiters sleep on changed_ to the earlier of the due
// time and their own time-out.
class WaitableTimer {
public:
    explicit WaitableTimer(bool manualReset) : manualReset_(manualReset) {}

    void Set(Clock::time_point due)
    {
        {
            std::lock_guard lock(mutex_);
            due_ = due;
            signalled_ = false;
        }
        changed_.notify_all();
    }

    DWORD Wait(DWORD milliseconds)
    {
        const bool forever = milliseconds == INFINITE;
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(forever ? 0 : milliseconds);
        std::unique_lock lock(mutex_);
        for (;;) {
            const Clock::time_point now = Clock::now();
            if (due_ && now >= *due_) {
                due_.reset();
                signalled_ = true;
            }
            if (signalled_) {
                signalled_ = manualReset_;
                return WAIT_OBJECT_0;
            }
            if (!forever && now >= deadline) {
                return WAIT_TIMEOUT;
            }
            if (forever && !due_) {
                changed_.wait(lock);
            } else if (forever) {
                changed_.wait_until(lock, *due_);
            } else {
                changed_.wait_until(lock, due_ ? std::min(*due_, deadline) : deadline);
            }
        }
    }

private:
    const bool manualReset_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Clock::time_point> due_;
    bool signalled_ = false;
};

HandleTable<WaitableTimer>& Timers()
{
    static HandleTable<WaitableTimer> table;
    return table;
}

// Due times beyond a century are held at a century, so that adding them to
// the clock cannot overflow.
constexpr Ticks kLongestWait = std::chrono::duration_cast<Ticks>(std::chrono::hours(24 * 365 * 100));

Clock::time_point DueTimeOf(LONGLONG dueTime)
{
    Ticks remaining;
    if (dueTime < 0) {
        // Relative; compared before negating, as the most negative value has
        // no positive counterpart.
        remaining = dueTime < -kLongestWait.count() ? kLongestWait : Ticks(-dueTime);
    } else {
        const auto sinceUnixEpoch = Ticks(dueTime - kEpochDifference);
        const auto nowSinceUnixEpoch =
            std::chrono::duration_cast<Ticks>(std::chrono::system_clock::now().time_since_epoch());
        remaining = std::clamp(sinceUnixEpoch - nowSinceUnixEpoch, Ticks::zero(), kLongestWait);
    }
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(remaining);
}

}  // namespace
}  // namespace winmm_impl

using winmm_impl::HandleValue;
using winmm_impl::SetLastErrorValue;
using winmm_impl::TakeFailure;
using winmm_impl::Timers;
using winmm_virtual::Call;

HANDLE WINAPI CreateWaitableTimerW(LPSECURITY_ATTRIBUTES /*lpTimerAttributes*/, BOOL bManualReset,
                                   LPCWSTR /*lpTimerName*/)
{
    if (auto failure = TakeFailure(Call::CreateWaitableTimerW)) {
        SetLastErrorValue(*failure);
        return nullptr;
    }
    auto timer = std::make_shared<winmm_impl::WaitableTimer>(bManualReset != FALSE);
    return winmm_impl::ToHandle<HANDLE>(Timers().Insert(std::move(timer)));
}

BOOL WINAPI SetWaitableTimer(HANDLE hTimer, const LARGE_INTEGER* lpDueTime, LONG lPeriod,
                             PTIMERAPCROUTINE pfnCompletionRoutine, LPVOID /*lpArgToCompletionRoutine*/,
                             BOOL /*fResume*/)
{
    if (auto failure = TakeFailure(Call::SetWaitableTimer)) {
        SetLastErrorValue(*failure);
        return FALSE;
    }
    auto timer = Timers().Find(HandleValue(hTimer));
    if (!timer) {
        SetLastErrorValue(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (lpDueTime == nullptr) {
        SetLastErrorValue(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (lPeriod != 0 || pfnCompletionRoutine != nullptr) {
        SetLastErrorValue(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    timer->Set(winmm_impl::DueTimeOf(lpDueTime->QuadPart));
    return TRUE;
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds)
{
    if (auto failure = TakeFailure(Call::WaitForSingleObject)) {
        return *failure;
    }
    auto timer = Timers().Find(HandleValue(hHandle));
    if (!timer) {
        SetLastErrorValue(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    return timer->Wait(dwMilliseconds);
}

BOOL WINAPI CloseHandle(HANDLE hObject)
{
    if (auto failure = TakeFailure(Call::CloseHandle)) {
        SetLastErrorValue(*failure);
        return FALSE;
    }
    if (!Timers().Remove(HandleValue(hObject))) {
        SetLastErrorValue(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
