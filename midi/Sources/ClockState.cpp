#include "ClockState.h"

namespace {
using Guard = std::lock_guard<std::recursive_mutex>;
}

ClockState::ClockState(unsigned int tickIndex, int clockNumber, unsigned int ticksPerClock,
                       int clocksPerClick, double clockTime)
    : tickIndex_(tickIndex),
      clockNumber_(clockNumber),
      ticksPerClock_(ticksPerClock),
      clocksPerClick_(clocksPerClick),
      clockTime_(clockTime),
      tickIndexSet_(true),
      clockNumberSet_(true),
      ticksPerClockSet_(true),
      clocksPerClickSet_(true),
      clockTimeSet_(true)
{
}

ClockState::ClockState(const ClockState& other)
{
    Guard guard(other.mutex_);
    CopySetFieldsFrom(other);
}

ClockState& ClockState::operator=(const ClockState& source)
{
    if (this == &source) {
        return *this;
    }
    std::scoped_lock both(mutex_, source.mutex_);
    CopySetFieldsFrom(source);
    return *this;
}

void ClockState::CopySetFieldsFrom(const ClockState& source)
{
    if (source.tickIndexSet_) {
        tickIndex_ = source.tickIndex_;
        tickIndexSet_ = true;
    }
    if (source.clockNumberSet_) {
        clockNumber_ = source.clockNumber_;
        clockNumberSet_ = true;
    }
    if (source.ticksPerClockSet_) {
        ticksPerClock_ = source.ticksPerClock_;
        ticksPerClockSet_ = true;
    }
    if (source.clocksPerClickSet_) {
        clocksPerClick_ = source.clocksPerClick_;
        clocksPerClickSet_ = true;
    }
    if (source.clockTimeSet_) {
        clockTime_ = source.clockTime_;
        clockTimeSet_ = true;
    }
}

unsigned int ClockState::GetTickIndex() const { Guard g(mutex_); return tickIndex_; }
int ClockState::GetClockNumber() const { Guard g(mutex_); return clockNumber_; }
unsigned int ClockState::GetTicksPerClock() const { Guard g(mutex_); return ticksPerClock_; }
int ClockState::GetClocksPerClick() const { Guard g(mutex_); return clocksPerClick_; }
double ClockState::GetClockTime() const { Guard g(mutex_); return clockTime_; }

void ClockState::SetTickIndex(unsigned int tickIndex)
{
    Guard g(mutex_);
    tickIndex_ = tickIndex;
    tickIndexSet_ = true;
}

void ClockState::SetClockNumber(int clockNumber)
{
    Guard g(mutex_);
    clockNumber_ = clockNumber;
    clockNumberSet_ = true;
}

void ClockState::SetTicksPerClock(unsigned int ticksPerClock)
{
    Guard g(mutex_);
    ticksPerClock_ = ticksPerClock;
    ticksPerClockSet_ = true;
}

void ClockState::SetClocksPerClick(int clocksPerClick)
{
    Guard g(mutex_);
    clocksPerClick_ = clocksPerClick;
    clocksPerClickSet_ = true;
}

void ClockState::SetClockTime(double clockTime)
{
    Guard g(mutex_);
    clockTime_ = clockTime;
    clockTimeSet_ = true;
}

double ClockState::GetBeatsPerMinute() const
{
    Guard g(mutex_);
    return 60.0 / (static_cast<double>(clocksPerClick_) * clockTime_);
}

void ClockState::AdvanceClock()
{
    Guard g(mutex_);
    ++clockNumber_;
    if (clockNumber_ >= clocksPerClick_) {
        clockNumber_ = 0;
    }
    tickIndex_ += ticksPerClock_;
}
