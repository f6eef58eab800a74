#include "StandardMidiClockImpl.h"

#include "MidiDeviceInfo.h"

#include <brix_core/BrixLog.h>
#include <fennic/CoutBuffer.h>
#include <fennic/Format.h>
#include <fennic/Log.h>

#include <system_error>

namespace {
using Lock = std::unique_lock<std::mutex>;

// The clock whose next clock SetClockTimer found due already, on this thread: the firing in progress
// here fires it at once. Thread-local because once a timer is armed, the next firing may run on the
// timer thread while this one is still returning.
thread_local const StandardMidiClockImpl* overdueClock = nullptr;

// The error number that an exception passing through the timer's arming shows: the code of a system
// error, else -1.
int ErrorNumberOfCurrentException()
{
    try {
        throw;
    } catch (const std::system_error& e) {
        return e.code().value();
    } catch (...) {
        return -1;
    }
}
}  // namespace

StandardMidiClockImpl::StandardMidiClockImpl() : clockThread_([this] { RunLoop(); }) {}

StandardMidiClockImpl::~StandardMidiClockImpl()
{
    {
        Lock lock(startMutex_);
        run_ = false;
    }
    startCondition_.notify_all();
    clockThread_.join();
    // No firing arms a timer any more (run_ is false): end the one that may still be pending.
    EndPendingTimer();
}

UINT StandardMidiClockImpl::TimerDelayMilliseconds(double period, double secondsSpent)
{
    double delay = period - secondsSpent;
    if (delay < 0.0) {
        delay = 0.0;
    }
    const auto milliseconds = static_cast<UINT>(static_cast<std::uint64_t>(delay * 1000.0));
    return milliseconds == 0 ? 1 : milliseconds;
}

void StandardMidiClockImpl::StartClock()
{
    const std::uint64_t generation = GetArmGeneration();
    {
        Lock lock(startMutex_);
        if ((chainLive_ && chainGeneration_ == generation) ||
            (startRequested_ && requestedGeneration_ == generation)) {
            return;
        }
        startRequested_ = true;
        requestedGeneration_ = generation;
    }
    startCondition_.notify_one();
}

void StandardMidiClockImpl::RunLoop()
{
    try {
        Lock lock(startMutex_);
        for (;;) {
            startCondition_.wait(lock, [this] { return startRequested_ || !run_; });
            if (!run_) {
                return;
            }
            // The request stays latched (so a repeated StartClock is ignored) until the previous
            // chain is over.
            lock.unlock();
            EndPendingTimer();
            lock.lock();
            if (!run_) {
                return;
            }
            const std::uint64_t generation = requestedGeneration_;
            startRequested_ = false;
            chainLive_ = true;
            chainGeneration_ = generation;
            lock.unlock();

            if (timeBeginPeriod(1) != TIMERR_NOERROR) {
                fennic::CoutBuffer() << "timeBeginPeriod(1) failed." << fennic::endl;
            }
            chrono_.ResetErrorCorrection();
            DoTimerCallback(generation);
            lock.lock();
        }
    } catch (...) {
        BrixLogCurrentException(__FILE__, __LINE__);
    }
}

void StandardMidiClockImpl::DoTimerCallback(std::uint64_t armGeneration)
{
    bool overdue = false;
    bool goesOn = false;
    do {
        const double clockTime = GetClockState().GetClockTime();
        if (overdue) {
            chrono_.StartOverdue(clockTime);
        } else {
            chrono_.Start(clockTime);
        }
        overdueClock = nullptr;
        goesOn = false;
        try {
            goesOn = AdvanceClock(armGeneration);
        } catch (...) {
            BrixLogCurrentException(__FILE__, __LINE__);
            DisarmPlayback();
        }
        overdue = overdueClock == this;
        overdueClock = nullptr;
    } while (goesOn && overdue);
    if (!goesOn) {
        EndChain(armGeneration);
    }
}

void CALLBACK StandardMidiClockImpl::TimerCallback(UINT timerId, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR)
{
    reinterpret_cast<StandardMidiClockImpl*>(user)->DoTimerCallbackFromThread(timerId);
}

void StandardMidiClockImpl::DoTimerCallbackFromThread(UINT timerId)
{
    std::uint64_t generation = 0;
    {
        Lock lock(startMutex_);
        if (timerId_ == timerId) {
            timerId_ = 0;
        }
        generation = chainGeneration_;
        ++firingsInFlight_;
    }
    DoTimerCallback(generation);
    // Notified under the lock: the destructor may go on (and destroy the condition) as soon as it
    // sees the count drop.
    Lock lock(startMutex_);
    --firingsInFlight_;
    firingEnded_.notify_all();
}

void StandardMidiClockImpl::SetClockTimer(double clockTime)
{
    const double period = chrono_.CorrectClockPeriodForAverageError(clockTime);
    const double spent = chrono_.GetSecondsSinceStart();

    Lock lock(startMutex_);
    if (!run_) {
        // The clock is being destroyed: the chain ends here instead of arming a timer.
        const std::uint64_t generation = chainGeneration_;
        lock.unlock();
        EndChain(generation);
        return;
    }
    if (spent >= period) {
        // The next clock fell due while this one was sent: the firing in progress fires it at once.
        overdueClock = this;
        return;
    }
    const UINT milliseconds = TimerDelayMilliseconds(period, spent);
    fennic::LogFilter logFilter("timeSetEvent");
    UINT timerId = 0;
    try {
        fennic::LogAttempt(logFilter, __FILE__, __LINE__);
        timerId = timeSetEvent(milliseconds, 0, &StandardMidiClockImpl::TimerCallback,
                               reinterpret_cast<DWORD_PTR>(this), TIME_ONESHOT);
    } catch (...) {
        ReportFailure(CreateErrorMessage(__FILE__, __LINE__, ErrorNumberOfCurrentException(), "timeSetEvent"));
    }
    if (timerId == 0) {
        ReportFailure(fennic::CreateFailureMessage(__FILE__, __LINE__, "timeSetEvent", ""));
    }
    timerId_ = timerId;
    fennic::LogSuccess(logFilter, __FILE__, __LINE__);
}

void StandardMidiClockImpl::EndChain(std::uint64_t armGeneration)
{
    {
        Lock lock(startMutex_);
        if (!chainLive_ || chainGeneration_ != armGeneration) {
            return;
        }
        chainLive_ = false;
    }
    timeEndPeriod(1);
}

void StandardMidiClockImpl::EndPendingTimer()
{
    Lock lock(startMutex_);
    for (;;) {
        firingEnded_.wait(lock, [this] { return firingsInFlight_ == 0; });
        const UINT timerId = timerId_;
        if (timerId == 0) {
            return;
        }
        lock.unlock();
        const MMRESULT killed = timeKillEvent(timerId);
        lock.lock();
        if (timerId_ != timerId) {
            continue;  // it fired meanwhile
        }
        if (killed != TIMERR_NOERROR) {
            // Still pending and not killable: wait until it has fired. Its firing arms no further
            // timer: either the clock is being destroyed or its chain's generation is over.
            firingEnded_.wait(lock, [&] { return timerId_ != timerId && firingsInFlight_ == 0; });
            continue;
        }
        timerId_ = 0;
        const std::uint64_t generation = chainGeneration_;
        lock.unlock();
        EndChain(generation);
        lock.lock();
    }
}
