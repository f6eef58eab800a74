#include "StandardMidiClock.h"

#include <fennic/CoutBuffer.h>

#include <stdexcept>

namespace {
using Guard = std::lock_guard<std::recursive_mutex>;

// The firing running on this thread: which clock, under which arming generation.
struct Firing {
    const StandardMidiClock* clock = nullptr;
    std::uint64_t armGeneration = 0;
};
thread_local Firing currentFiring;

// Marks this thread as running a firing for the scope, restoring the previous mark after.
class FiringScope {
public:
    FiringScope(const StandardMidiClock& clock, std::uint64_t armGeneration) : previous_(currentFiring)
    {
        currentFiring = Firing{&clock, armGeneration};
    }
    ~FiringScope() { currentFiring = previous_; }
    FiringScope(const FiringScope&) = delete;
    FiringScope& operator=(const FiringScope&) = delete;

private:
    Firing previous_;
};
}  // namespace

StandardMidiClock::~StandardMidiClock() = default;

void StandardMidiClock::SetTicksPerClock(unsigned int ticksPerClock)
{
    Guard guard(mutex_);
    clockState_.SetTicksPerClock(ticksPerClock);
}

void StandardMidiClock::SetClocksPerClick(int clocksPerClick, unsigned int validAt)
{
    ClockState change;
    change.SetClocksPerClick(clocksPerClick);
    ScheduleChange(Change::ClocksPerClick, change, validAt);
}

void StandardMidiClock::SetClockTime(double secondsPerClock, unsigned int validAt)
{
    ClockState change;
    change.SetClockTime(secondsPerClock);
    ScheduleChange(Change::ClockTime, change, validAt);
}

void StandardMidiClock::SetTickIndex(unsigned int tickIndex, int clockNumber, unsigned int ticksPerClock,
                                     int clocksPerClick, double clockTime, unsigned int validAt)
{
    ScheduleChange(Change::TickIndex, ClockState(tickIndex, clockNumber, ticksPerClock, clocksPerClick, clockTime),
                   validAt);
}

const char* StandardMidiClock::ChangeName(Change change)
{
    switch (change) {
    case Change::ClocksPerClick: return "SetClocksPerClick";
    case Change::ClockTime: return "SetClockTime";
    case Change::TickIndex: break;
    }
    return "SetTickIndex";
}

void StandardMidiClock::ScheduleChange(Change change, const ClockState& state, unsigned int validAt)
{
    Guard guard(mutex_);
    if (!armed_) {
        // The next ArmPlayback supplies the whole state; until then single changes wait in order.
        switch (change) {
        case Change::ClocksPerClick:
            deferredClocksPerClick_.emplace_back(state.GetClocksPerClick(), validAt);
            break;
        case Change::ClockTime:
            deferredClockTimes_.emplace_back(state.GetClockTime(), validAt);
            break;
        case Change::TickIndex:
            deferredClocksPerClick_.clear();
            deferredClockTimes_.clear();
            break;
        }
        return;
    }
    const unsigned int tickIndex = clockState_.GetTickIndex();
    // The current tick governs the clock that fires next, unless that clock is being sent right now.
    if (validAt == 0 || (validAt == tickIndex && !firingInProgress_)) {
        clockState_ = state;
        return;
    }
    if (validAt < tickIndex) {
        fennic::CoutBuffer() << "WARNING: " << ChangeName(change) << " ignored. "
                             << "validAt=" << validAt << ", tickIndex=" << tickIndex << fennic::endl;
        return;
    }
    pendingStates_[validAt] = state;
}

void StandardMidiClock::SetCaesura(unsigned int caesuraTickIndex, double resumeClockTime,
                                   int resumeClocksPerClick)
{
    Guard guard(mutex_);
    const unsigned int tickIndex = clockState_.GetTickIndex();
    if (caesuraTickIndex <= tickIndex) {
        fennic::CoutBuffer() << "WARNING: Ignored caesura. caesuraTickIndex = " << caesuraTickIndex
                             << ", clockState_.GetTickIndex() = " << tickIndex << fennic::endl;
        return;
    }
    caesuraPending_ = true;
    caesuraTickIndex_ = caesuraTickIndex;
    caesuraResumeClockTime_ = resumeClockTime;
    caesuraResumeClocksPerClick_ = resumeClocksPerClick;
}

void StandardMidiClock::ArmPlayback(unsigned int ticksPerClock, int clocksPerClick, double clockTime,
                                    unsigned int tickIndex, int clockNumber)
{
    Guard guard(mutex_);
    clockState_ = ClockState(tickIndex, clockNumber, ticksPerClock, clocksPerClick, clockTime);
    pendingStates_.clear();
    armed_ = true;
    caesuraPending_ = false;
    firingInProgress_ = false;
    ++armGeneration_;

    const auto clocksPerClickChanges = std::move(deferredClocksPerClick_);
    deferredClocksPerClick_.clear();
    for (const auto& [value, validAt] : clocksPerClickChanges) {
        SetClocksPerClick(value, validAt);
    }
    const auto clockTimeChanges = std::move(deferredClockTimes_);
    deferredClockTimes_.clear();
    for (const auto& [value, validAt] : clockTimeChanges) {
        SetClockTime(value, validAt);
    }
}

void StandardMidiClock::DisarmPlayback()
{
    Guard guard(mutex_);
    armed_ = false;
    caesuraPending_ = false;
    pendingStates_.clear();
    deferredClocksPerClick_.clear();
    deferredClockTimes_.clear();
    firingInProgress_ = false;
    ++armGeneration_;
}

void StandardMidiClock::ContinuousMode()
{
    StartClock();
}

void StandardMidiClock::ConductBeat()
{
    throw std::logic_error("Not implemented");
}

void StandardMidiClock::SetConductorClickTimerCallback(void (*)(void*), void*)
{
    throw std::logic_error("Not implemented.");
}

void StandardMidiClock::SetDownbeatTimerCallback(void (*)(void*), void*)
{
    throw std::logic_error("Not implemented.");
}

bool StandardMidiClock::GetPlaybackIsArmed()
{
    Guard guard(mutex_);
    return armed_;
}

std::uint64_t StandardMidiClock::GetArmGeneration()
{
    Guard guard(mutex_);
    return armGeneration_;
}

bool StandardMidiClock::FiringIsCurrent()
{
    if (currentFiring.clock != this) {
        return true;
    }
    Guard guard(mutex_);
    return armed_ && currentFiring.armGeneration == armGeneration_;
}

bool StandardMidiClock::AdvanceClock(std::uint64_t armGeneration)
{
    double beatsPerMinute = 0.0;
    {
        Guard guard(mutex_);
        if (!armed_ || armGeneration != armGeneration_) {
            return false;
        }
        firingInProgress_ = true;
        beatsPerMinute = clockState_.GetBeatsPerMinute();
    }
    try {
        FiringScope firing(*this, armGeneration);
        DoMidiClockCallback(beatsPerMinute);
    } catch (...) {
        Guard guard(mutex_);
        if (armGeneration == armGeneration_) {
            firingInProgress_ = false;
        }
        throw;
    }

    double delay = 0.0;
    {
        Guard guard(mutex_);
        // Disarmed or re-armed while the callback ran: this chain is over, and the clock's state now
        // belongs to the new arming.
        if (!armed_ || armGeneration != armGeneration_) {
            return false;
        }
        firingInProgress_ = false;
        clockState_.AdvanceClock();
        const unsigned int tickIndex = clockState_.GetTickIndex();
        ApplyReachedPendingStates(tickIndex);
        if (caesuraPending_ && caesuraTickIndex_ == tickIndex) {
            caesuraPending_ = false;
            return false;
        }
        delay = clockState_.GetClockTime();
    }
    SetClockTimer(delay);
    return true;
}

void StandardMidiClock::ApplyReachedPendingStates(unsigned int tickIndex)
{
    // A change scheduled off the clock's tick grid is stepped over; it still applies, late, at the
    // first clock past its tick, so no tempo, meter or jump change is lost.
    auto it = pendingStates_.begin();
    while (it != pendingStates_.end() && it->first <= tickIndex) {
        if (it->first < tickIndex) {
            fennic::CoutBuffer() << "WARNING: Late clock change applied. validAt=" << it->first
                                 << ", tickIndex=" << tickIndex << fennic::endl;
        }
        clockState_ = it->second;
        it = pendingStates_.erase(it);
    }
}
