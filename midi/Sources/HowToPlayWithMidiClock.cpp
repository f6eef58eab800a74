#include "HowToPlayWithMidiClock.h"

#include "MidiClock.h"
#include "UserControls.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>

namespace {

// Releases a held lock for the duration of one call into the clock, and takes it again.
class UnlockedScope {
public:
    explicit UnlockedScope(std::unique_lock<std::mutex>& lock) : lock_(lock)
    {
        if (!lock_.owns_lock()) {
            throw std::system_error(std::make_error_code(std::errc::operation_not_permitted));
        }
        lock_.unlock();
    }
    ~UnlockedScope() { lock_.lock(); }
    UnlockedScope(const UnlockedScope&) = delete;
    UnlockedScope& operator=(const UnlockedScope&) = delete;

private:
    std::unique_lock<std::mutex>& lock_;
};

// The last element whose position is at or before the tick, or nullptr.
template <class Sequence, class Position>
auto LastAtOrBefore(const Sequence& sequence, unsigned int tickIndex, Position position)
    -> decltype(&*sequence.begin())
{
    auto it = std::upper_bound(sequence.begin(), sequence.end(), tickIndex,
                               [&](unsigned int tick, const auto& element) { return tick < position(element); });
    return it == sequence.begin() ? nullptr : &*(it - 1);
}

}  // namespace

HowToPlayWithMidiClock::HowToPlayWithMidiClock(UserControls& userControls, MidiClock& midiClock)
    : HowToPlay(userControls), midiClock_(midiClock)
{
}

void HowToPlayWithMidiClock::AdvanceToTickIndex(unsigned int tickIndex)
{
    HowToPlay::AdvanceToTickIndex(tickIndex);
    if (UpdateClockTime()) {
        midiClock_.SetClockTime(GetClockTime(), tickIndex);
    }
    if (UpdateClocksPerClick()) {
        midiClock_.SetClocksPerClick(GetClocksPerClick(), tickIndex);
    }
}

void HowToPlayWithMidiClock::AdvanceToTickIndexWithLock(unsigned int tickIndex, std::unique_lock<std::mutex>& lock)
{
    // Every value is computed under the caller's lock, so a seek on another thread cannot slip in
    // between the step and what is read of it.
    HowToPlay::AdvanceToTickIndex(tickIndex);
    if (UpdateClockTime()) {
        const double clockTime = GetClockTime();
        UnlockedScope unlocked(lock);
        midiClock_.SetClockTime(clockTime, tickIndex);
    }
    if (UpdateClocksPerClick()) {
        const int clocksPerClick = GetClocksPerClick();
        UnlockedScope unlocked(lock);
        midiClock_.SetClocksPerClick(clocksPerClick, tickIndex);
    }
}

void HowToPlayWithMidiClock::SetHighSpeed()
{
    HowToPlay::SetHighSpeed();
    midiClock_.SetClockTime(GetClockTime(), 0);
}

void HowToPlayWithMidiClock::GetCaesuraResumeParams(unsigned int caesuraTickIndex, double* clockTime,
                                                    int* clocksPerClick) const
{
    const auto beat = std::lower_bound(barsBeats_.begin(), barsBeats_.end(), caesuraTickIndex,
                                       [](const TL::BarsBeats& record, unsigned int tick) { return record.tick < tick; });
    if (beat == barsBeats_.end()) {
        throw std::out_of_range("HowToPlayWithMidiClock exceeded the limits of the beat map.");
    }
    const unsigned int resumeTick = beat->tick;
    const auto recordTick = [](const auto& record) { return record.tick; };
    const auto eventTick = [](const auto& event) { return event.abs_time(); };
    const auto inRegion = [resumeTick](const auto* event) {
        return event != nullptr && event->start() <= resumeTick && resumeTick < event->end();
    };

    if (clockTime != nullptr) {
        const TL::Tempo* tempo = LastAtOrBefore(tempos_, resumeTick, recordTick);
        if (tempo == nullptr) {
            tempo = &*tempos_.begin();
        }
        double factor = 1.0;
        if (hasTempoScales_) {
            const CL::TempoScale* scale = LastAtOrBefore(tempoScales_, resumeTick, eventTick);
            if (inRegion(scale)) {
                factor = scale->float_value();
            }
        }
        *clockTime = tempo->seconds_per_clock() /
                     LimitTempoScaleToAllowedRange(userControls_.GetTempoScale() * factor);
    }

    if (clocksPerClick != nullptr) {
        const TL::Meter* meter = LastAtOrBefore(meters_, resumeTick, recordTick);
        if (meter == nullptr) {
            meter = &*meters_.begin();
        }
        if (hasClicks_) {
            const CL::Click* click = LastAtOrBefore(clicks_, resumeTick, eventTick);
            if (inRegion(click)) {
                *clocksPerClick = click->ClocksPerClick(meter->notated_32_per_click());
                return;
            }
        }
        *clocksPerClick = meter->clocks_per_click;
    }
}
