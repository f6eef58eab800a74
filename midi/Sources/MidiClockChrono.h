#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>

// MidiClockChrono: measures how long each period of a MIDI clock's timer chain really lasted and learns
// the average error, so that the driver can shorten the next delay by it. The timer only counts whole
// milliseconds; the learned correction keeps the clock at its tempo over time.
//
// Periods lie on a grid: a period starts when the previous one was due to end (its start plus its
// expected length), not when its firing happened to run, so the error of one firing (the timer's
// lateness, the milliseconds cut off the delay) is made good by the next delay instead of adding up.
// The grid starts at the first firing after a reset, and anew after a firing more than one whole
// period late. The error of a period is its measured length less its expected length, that is how
// late the firing came against the grid.
//
// The first error measured after a reset becomes the starting correction; later errors fill a sliding
// window of 20, and after every further 21 measured periods the correction grows by the window's mean.
//
// Owner: StandardMidiClockImpl.
// Threads: the firings of the clock (the clock thread, then the timer thread), one at a time; the
// driver resets it when it starts a chain.
// Lock: mutex_ guards every field. No allocation after construction.
class MidiClockChrono {
public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;

    static constexpr std::size_t kErrorWindow = 20;

    MidiClockChrono() = default;
    MidiClockChrono(const MidiClockChrono&) = delete;
    MidiClockChrono& operator=(const MidiClockChrono&) = delete;

    // A firing begins a period expected to last expectedPeriod seconds. The period that ends here is
    // measured against the length it was expected to have (nothing is measured after a reset).
    void Start(double expectedPeriod) { Start(expectedPeriod, Now()); }
    void Start(double expectedPeriod, TimePoint now);

    // Seconds since the current period began (on the grid).
    double GetSecondsSinceStart() const { return GetSecondsSinceStart(Now()); }
    double GetSecondsSinceStart(TimePoint now) const;

    // The period less the learned correction. A correction larger than the period is dropped (the
    // learning starts over) and the period is returned unchanged.
    double CorrectClockPeriodForAverageError(double period);

    // Forgets the correction, the window and the expected period.
    void ResetErrorCorrection();

    static TimePoint Now() { return Clock::now(); }
    static std::int64_t GetTimeDifferenceNanoSeconds(TimePoint a, TimePoint b);
    static double GetTimeDifferenceSeconds(TimePoint a, TimePoint b);

private:
    // Lock held by the callers of these.
    void ReportPeriodicError_(double expected, double actual);
    void ResetPeriodicErrors_();
    void ResetErrorCorrection_();
    double GetAverageError_() const;

    mutable std::mutex mutex_;
    TimePoint periodStart_{};
    std::array<double, kErrorWindow> periodicErrors_{};  // a ring: nextError_ is the oldest entry
    std::size_t nextError_ = 0;
    std::uint64_t errorCount_ = 0;
    bool hasCorrection_ = false;
    double correction_ = 0.0;
    double expectedPeriod_ = 0.0;
};
