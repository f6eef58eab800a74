#include "DelayedGui.h"

#include <brix_core/BrixLog.h>
#include <fennic/CoutBuffer.h>

#include <cmath>
#include <exception>
#include <utility>

namespace {
using Guard = std::lock_guard<std::mutex>;
constexpr DWORD kMaxWaitMilliseconds = 2000;
}  // namespace

DelayedGui::DelayedGui(std::function<void(unsigned int)> callback, double secondsDelay)
    : secondsDelay_(secondsDelay),
      timer_(CreateWaitableTimerW(nullptr, FALSE, u"DelayedCallbackTimer")),
      callback_(std::move(callback)),
      thread_([this] { ThreadProcedure(); })
{
}

DelayedGui::~DelayedGui()
{
    {
        Guard guard(mutex_);
        shouldRun_ = false;
    }
    wakeUp_.notify_all();
    thread_.join();
    CloseHandle(timer_);
    queue_.clear();
}

void DelayedGui::SignalDelayedCallback(unsigned int tick)
{
    {
        Guard guard(mutex_);
        const auto delay = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(secondsDelay_));
        queue_.push_back({tick, Clock::now() + delay});
    }
    wakeUp_.notify_one();
}

bool DelayedGui::GetNextTickIndex(unsigned int* tick)
{
    Guard guard(mutex_);
    if (queue_.empty()) {
        return false;
    }
    *tick = queue_.front().tick;
    queue_.pop_front();
    return true;
}

bool DelayedGui::TakeDueTick(Clock::time_point now, unsigned int* tick)
{
    Guard guard(mutex_);
    if (queue_.empty() || queue_.front().due > now) {
        return false;
    }
    *tick = queue_.front().tick;
    queue_.pop_front();
    return true;
}

bool DelayedGui::GetNextDueTime(Clock::time_point* due)
{
    Guard guard(mutex_);
    if (queue_.empty()) {
        return false;
    }
    *due = queue_.front().due;
    return true;
}

bool DelayedGui::HasScheduledCallbacks()
{
    Guard guard(mutex_);
    return !queue_.empty();
}

void DelayedGui::Reset()
{
    Guard guard(mutex_);
    queue_.clear();
}

double DelayedGui::GetSecondsDelay()
{
    Guard guard(mutex_);
    return secondsDelay_;
}

void DelayedGui::SetSecondsDelay(double seconds)
{
    Guard guard(mutex_);
    secondsDelay_ = seconds;
}

bool DelayedGui::GetShouldRun()
{
    Guard guard(mutex_);
    return shouldRun_;
}

void DelayedGui::ThreadProcedure()
{
    try {
        RunLoop();
    } catch (...) {
        BrixLogCurrentException(__FILE__, __LINE__);
    }
}

bool DelayedGui::WaitForTick()
{
    std::unique_lock lock(mutex_);
    wakeUp_.wait(lock, [this] { return !shouldRun_ || !queue_.empty(); });
    return shouldRun_;
}

void DelayedGui::RunLoop()
{
    while (WaitForTick()) {
        Clock::time_point due;
        if (!GetNextDueTime(&due)) {
            continue;  // reset meanwhile
        }
        Clock::time_point now = Clock::now();
        if (due > now) {
            // Relative due time in 100 ns units, negative for SetWaitableTimer.
            const auto hundredsOfNanoseconds = std::chrono::duration<double, std::ratio<1, 10000000>>(due - now).count();
            LARGE_INTEGER dueTime{};
            dueTime.QuadPart = -static_cast<LONGLONG>(std::llround(hundredsOfNanoseconds));
            SetWaitableTimer(timer_, &dueTime, 0, nullptr, nullptr, FALSE);
            const DWORD waitResult = WaitForSingleObject(timer_, kMaxWaitMilliseconds);
            now = Clock::now();
            if (waitResult != WAIT_OBJECT_0) {
                fennic::CoutBuffer() << "WARNING: DelayedGui returned early with waitResult = " << waitResult
                                     << fennic::endl;
                // The timer failed us: report the tick now rather than never.
                now = Clock::time_point::max();
            }
        }
        unsigned int tick = 0;
        if (TakeDueTick(now, &tick)) {
            ReportTick(tick);
        }
    }
}

void DelayedGui::ReportTick(unsigned int tick)
{
    try {
        callback_(tick);
    } catch (...) {
        BrixLogCurrentException(__FILE__, __LINE__);
    }
}
