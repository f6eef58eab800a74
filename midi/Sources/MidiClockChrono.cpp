#include "MidiClockChrono.h"

#include <brix_core/BrixLog.h>
#include <brix_core/GuiDispatcher.h>
#include <fennic/CoutBuffer.h>
#include <fennic/ThreadNames.h>

#include <iomanip>
#include <limits>
#include <numeric>
#include <optional>
#include <sstream>

namespace {
using Guard = std::lock_guard<std::mutex>;

// Nanoseconds from b to a; 0 when a is not after b.
std::uint64_t NanoSecondsSince(MidiClockChrono::TimePoint a, MidiClockChrono::TimePoint b)
{
    const std::int64_t nanoSeconds = MidiClockChrono::GetTimeDifferenceNanoSeconds(a, b);
    return nanoSeconds > 0 ? static_cast<std::uint64_t>(nanoSeconds) : 0;
}

// Seconds as whole nanoseconds, truncated; negative and NaN give 0, too large the largest value.
std::uint64_t ToNanoSeconds(double seconds)
{
    constexpr double kLimit = static_cast<double>(std::numeric_limits<std::uint64_t>::max());
    const double nanoSeconds = seconds * 1e9;
    if (!(nanoSeconds > 0.0)) {
        return 0;
    }
    return nanoSeconds >= kLimit ? std::numeric_limits<std::uint64_t>::max()
                                 : static_cast<std::uint64_t>(nanoSeconds);
}
}  // namespace

MidiClockChrono::MidiClockChrono(unsigned int reportInterval)
    : reportInterval_(reportInterval), statisticsThread_([this] { RunLoop(); })
{
}

MidiClockChrono::~MidiClockChrono()
{
    {
        Guard guard(mutex_);
        run_ = false;
    }
    reportCondition_.notify_all();
    statisticsThread_.join();
}

void MidiClockChrono::Start(double expectedPeriod, TimePoint now)
{
    StartPeriod_(expectedPeriod, now, true);
}

void MidiClockChrono::StartOverdue(double expectedPeriod, TimePoint now)
{
    StartPeriod_(expectedPeriod, now, false);
}

void MidiClockChrono::StartPeriod_(double expectedPeriod, TimePoint now, bool measure)
{
    std::optional<double> stalledSeconds;
    {
        Guard guard(mutex_);
        firingStart_ = now;
        TimePoint start = now;
        if (expectedPeriod_ > 0.0) {
            const double actual = GetTimeDifferenceSeconds(now, periodStart_);
            const bool armed = measure && armedPeriod_ > 0.0;
            const double aim = armed ? armedPeriod_ : expectedPeriod_;
            const double lateness = actual - aim;
            if (lateness > kStallLimitSeconds) {
                stalledSeconds = lateness;
            } else {
                // A firing more than a period late stalled; it teaches nothing about the timer.
                if (armed && lateness <= aim) {
                    ReportPeriodicError_(aim, actual);
                }
                start = periodStart_ + std::chrono::duration_cast<Clock::duration>(
                                           std::chrono::duration<double>(expectedPeriod_));
            }
        }
        expectedPeriod_ = expectedPeriod;
        armedPeriod_ = 0.0;
        periodStart_ = start;
    }
    if (stalledSeconds) {
        fennic::CoutBuffer() << "WARNING: MIDI clock fired " << std::fixed << std::setprecision(1)
                             << *stalledSeconds * 1e3 << " ms behind its time (limit "
                             << kStallLimitSeconds * 1e3 << " ms); its timing starts anew." << fennic::endl;
    }
}

double MidiClockChrono::GetSecondsSinceStart(TimePoint now) const
{
    Guard guard(mutex_);
    return GetTimeDifferenceSeconds(now, periodStart_);
}

double MidiClockChrono::CorrectClockPeriodForAverageError(double period)
{
    Guard guard(mutex_);
    armedPeriod_ = period;
    if (!hasCorrection_) {
        return period;
    }
    if (errorCount_ > kErrorWindow) {
        correction_ += GetAverageError_();
        ResetPeriodicErrors_();
    }
    const double corrected = period - correction_;
    if (corrected < 0.0) {
        // The learning starts over; the grid stays.
        ResetCorrection_();
        return period;
    }
    return corrected;
}

void MidiClockChrono::ResetErrorCorrection()
{
    Guard guard(mutex_);
    expectedPeriod_ = 0.0;
    armedPeriod_ = 0.0;
    ResetCorrection_();
}

void MidiClockChrono::ResetCorrection_()
{
    hasCorrection_ = false;
    correction_ = 0.0;
    ResetPeriodicErrors_();
}

void MidiClockChrono::ResetPeriodicErrors_()
{
    periodicErrors_.fill(0.0);
    nextError_ = 0;
    errorCount_ = 0;
}

void MidiClockChrono::ReportPeriodicError_(double expected, double actual)
{
    const double error = actual - expected;
    if (!hasCorrection_) {
        correction_ = error;
        hasCorrection_ = true;
        return;
    }
    periodicErrors_[nextError_] = error;
    nextError_ = (nextError_ + 1) % kErrorWindow;
    ++errorCount_;
}

double MidiClockChrono::GetAverageError_() const
{
    return std::accumulate(periodicErrors_.begin(), periodicErrors_.end(), 0.0) /
           static_cast<double>(kErrorWindow);
}

void MidiClockChrono::ReportClockTime(double clockTime)
{
    Guard guard(mutex_);
    clockTimeSum_ += clockTime;
    ++clockTimeCount_;
}

void MidiClockChrono::StopOverhead(TimePoint now)
{
    Guard guard(mutex_);
    overheadNanoSeconds_ += NanoSecondsSince(now, firingStart_);
}

void MidiClockChrono::StopTotal(TimePoint now)
{
    Guard guard(mutex_);
    AddTotalNanoSeconds_(NanoSecondsSince(now, firingStart_));
}

void MidiClockChrono::AddTotalNanoSeconds_(std::uint64_t nanoSeconds)
{
    ++periodCount_;
    totalNanoSeconds_ += nanoSeconds;
    if (periodCount_ >= reportInterval_) {
        reportDue_ = true;
        reportCondition_.notify_one();
    }
}

std::string MidiClockChrono::TakeReport_()
{
    reportDue_ = false;
    if (periodCount_ == 0 && clockTimeCount_ == 0) {
        return {};
    }
    std::uint64_t averageOverhead = 0;
    std::uint64_t averageTotal = 0;
    if (periodCount_ != 0) {
        averageOverhead = overheadNanoSeconds_ / periodCount_;
        averageTotal = totalNanoSeconds_ / periodCount_;
        periodCount_ = 0;
        overheadNanoSeconds_ = 0;
        totalNanoSeconds_ = 0;
    }
    std::ostringstream text;
    text << "MidiClockChrono averageOverheadNanoSeconds = " << averageOverhead << '\n'
         << "averageTotalNanoSeconds = " << averageTotal << '\n';
    if (clockTimeCount_ != 0) {
        const std::uint64_t expected = ToNanoSeconds(clockTimeSum_ / static_cast<double>(clockTimeCount_));
        clockTimeSum_ = 0.0;
        clockTimeCount_ = 0;
        text << "averageExpectedClockTime nanoseconds = " << expected << '\n';
        // A percentage of nothing is left out.
        if (averageTotal != 0) {
            text << "Percent Error = "
                 << (static_cast<double>(averageTotal) - static_cast<double>(expected)) * 100.0 /
                        static_cast<double>(averageTotal)
                 << "%\n";
        }
        if (expected != 0) {
            text << "Overhead as percentage of expected clock time = "
                 << static_cast<double>(averageOverhead) * 100.0 / static_cast<double>(expected) << "%\n";
        }
        text << "GetAverageError() = " << GetAverageError_() << '\n'
             << "initialPeriodicError = " << correction_ << '\n';
    }
    return text.str();
}

void MidiClockChrono::RunLoop()
{
    fennic::threadNames.SetNameOfCurrentThread("MidiClockChrono::RunLoop");
    try {
        std::unique_lock lock(mutex_);
        for (;;) {
            reportCondition_.wait(lock, [this] { return reportDue_ || !run_; });
            const bool last = !run_;
            const std::string report = TakeReport_();
            lock.unlock();
            if (!report.empty()) {
                try {
                    notify::guiDispatcher.SendMidiClockDebugMessage(report);
                } catch (...) {
                    BrixLogCurrentException(__FILE__, __LINE__);
                }
            }
            if (last) {
                return;
            }
            lock.lock();
        }
    } catch (...) {
        BrixLogCurrentException(__FILE__, __LINE__);
    }
}

std::int64_t MidiClockChrono::GetTimeDifferenceNanoSeconds(TimePoint a, TimePoint b)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(a - b).count();
}

double MidiClockChrono::GetTimeDifferenceSeconds(TimePoint a, TimePoint b)
{
    return std::chrono::duration<double>(a - b).count();
}
