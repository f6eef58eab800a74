#include "MidiClockChrono.h"

#include <numeric>

namespace {
using Guard = std::lock_guard<std::mutex>;
}  // namespace

void MidiClockChrono::Start(double expectedPeriod, TimePoint now)
{
    Guard guard(mutex_);
    TimePoint start = now;
    if (expectedPeriod_ > 0.0) {
        const double actual = GetTimeDifferenceSeconds(now, periodStart_);
        // A firing more than a whole period late (the system stalled) starts the grid anew; it
        // teaches nothing about the timer.
        if (actual - expectedPeriod_ <= expectedPeriod_) {
            ReportPeriodicError_(expectedPeriod_, actual);
            start = periodStart_ + std::chrono::duration_cast<Clock::duration>(
                                       std::chrono::duration<double>(expectedPeriod_));
        }
    }
    expectedPeriod_ = expectedPeriod;
    periodStart_ = start;
}

double MidiClockChrono::GetSecondsSinceStart(TimePoint now) const
{
    Guard guard(mutex_);
    return GetTimeDifferenceSeconds(now, periodStart_);
}

double MidiClockChrono::CorrectClockPeriodForAverageError(double period)
{
    Guard guard(mutex_);
    if (!hasCorrection_) {
        return period;
    }
    if (errorCount_ > kErrorWindow) {
        correction_ += GetAverageError_();
        ResetPeriodicErrors_();
    }
    const double corrected = period - correction_;
    if (corrected < 0.0) {
        ResetErrorCorrection_();
        return period;
    }
    return corrected;
}

void MidiClockChrono::ResetErrorCorrection()
{
    Guard guard(mutex_);
    ResetErrorCorrection_();
}

void MidiClockChrono::ResetErrorCorrection_()
{
    expectedPeriod_ = 0.0;
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

std::int64_t MidiClockChrono::GetTimeDifferenceNanoSeconds(TimePoint a, TimePoint b)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(a - b).count();
}

double MidiClockChrono::GetTimeDifferenceSeconds(TimePoint a, TimePoint b)
{
    return std::chrono::duration<double>(a - b).count();
}
