#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

// MidiClockChrono: measures how long each period of a MIDI clock's timer chain really lasted and learns
// the average error, so that the driver can shorten the next delay by it. The timer only counts whole
// milliseconds; the learned correction keeps the clock at its tempo over time.
//
// Periods lie on a grid: a period starts when the previous one was due to end (its start plus its
// expected length), not when its firing happened to run, so the error of one firing (the timer's
// lateness, the milliseconds cut off the delay) is made good by the next delay instead of adding up.
// The grid starts at the first firing after a reset. A stall of the machine does not move it: the
// firings that come late, and the overdue ones the driver then makes at once to catch up, each take
// the next period of the grid. Only a firing more than kStallLimitSeconds behind its grid time
// starts the grid anew (with a "WARNING: " console line): catching up a longer stall would rush a
// long passage of music, so the song takes the delay instead.
//
// The error of a period is how late its firing came against the time its timer was aimed at: the
// period's start plus the period the driver armed (CorrectClockPeriodForAverageError). The armed
// period can differ from the expected one where the tempo changes; that difference is the tempo's,
// not the timer's, and is not learned. Only firings of an armed timer that came less than one
// period late are measured; overdue firings and stalls teach nothing. The first error measured after
// a reset becomes the starting correction; later errors fill a sliding window of 20, and after every
// further 21 measured periods the correction grows by the window's mean.
//
// Statistics: ReportClockTime, StopOverhead and StopTotal collect, per period, the expected clock
// time, the time from the firing's start to the end of its send step and to the end of the period.
// After every `reportInterval` periods the statistics thread sends their averages, with the learned
// error, to the GUI as a clock debug message, and starts a new interval; what an unfinished interval
// collected is sent when the chrono is destroyed.
//
// Owner: StandardMidiClockImpl.
// Threads: the firings of the clock (the clock thread, then the timer thread), one at a time; the
// driver resets it when it starts a chain. The statistics thread (started by the constructor, joined
// by the destructor) builds and sends the reports; a listener that throws is logged and the thread
// goes on.
// Lock: mutex_ guards every field but run_ (atomic); the report is sent without it. The operations
// the firings call allocate nothing, but for the warning of a stall.
class MidiClockChrono {
public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;

    static constexpr std::size_t kErrorWindow = 20;
    // How far behind its grid time a firing may come (a stall of the machine) and still be caught up.
    static constexpr double kStallLimitSeconds = 0.25;

    explicit MidiClockChrono(unsigned int reportInterval);
    // Ends the statistics thread; sends what the unfinished interval collected.
    ~MidiClockChrono();
    MidiClockChrono(const MidiClockChrono&) = delete;
    MidiClockChrono& operator=(const MidiClockChrono&) = delete;

    // A firing of the armed timer begins a period expected to last expectedPeriod seconds on the grid.
    // The period that ends here is measured (nothing is measured after a reset).
    void Start(double expectedPeriod) { Start(expectedPeriod, Now()); }
    void Start(double expectedPeriod, TimePoint now);
    // A firing the driver makes at once, without a timer, because its clock fell due while the
    // previous one was sent: it takes the next period of the grid and measures nothing.
    void StartOverdue(double expectedPeriod) { StartOverdue(expectedPeriod, Now()); }
    void StartOverdue(double expectedPeriod, TimePoint now);

    // Seconds since the current period began (on the grid).
    double GetSecondsSinceStart() const { return GetSecondsSinceStart(Now()); }
    double GetSecondsSinceStart(TimePoint now) const;

    // The period the driver arms next, less the learned correction. A correction larger than the
    // period is dropped (the learning starts over) and the period is returned unchanged.
    double CorrectClockPeriodForAverageError(double period);

    // Forgets the correction, the window and the period in progress: the next firing starts the grid.
    void ResetErrorCorrection();

    // Statistics of the current interval (see above). The durations run from the current firing's
    // start (Start or StartOverdue).
    void ReportClockTime(double clockTime);
    void StopOverhead() { StopOverhead(Now()); }
    void StopOverhead(TimePoint now);
    void StopTotal() { StopTotal(Now()); }
    void StopTotal(TimePoint now);

    static TimePoint Now() { return Clock::now(); }
    static std::int64_t GetTimeDifferenceNanoSeconds(TimePoint a, TimePoint b);
    static double GetTimeDifferenceSeconds(TimePoint a, TimePoint b);

private:
    // Lock held by the callers of these.
    void StartPeriod_(double expectedPeriod, TimePoint now, bool measure);
    void ReportPeriodicError_(double expected, double actual);
    void ResetPeriodicErrors_();
    void ResetCorrection_();
    double GetAverageError_() const;
    void AddTotalNanoSeconds_(std::uint64_t nanoSeconds);
    // The interval's report; starts the next interval. Empty when nothing was collected.
    std::string TakeReport_();

    void RunLoop();

    mutable std::mutex mutex_;
    const unsigned int reportInterval_;
    std::uint32_t periodCount_ = 0;
    std::uint64_t overheadNanoSeconds_ = 0;
    std::uint64_t totalNanoSeconds_ = 0;
    std::uint64_t clockTimeCount_ = 0;
    double clockTimeSum_ = 0.0;
    TimePoint firingStart_{};
    TimePoint periodStart_{};
    std::atomic<bool> run_{true};
    bool reportDue_ = false;
    std::condition_variable reportCondition_;
    std::array<double, kErrorWindow> periodicErrors_{};  // a ring: nextError_ is the oldest entry
    std::size_t nextError_ = 0;
    std::uint64_t errorCount_ = 0;
    bool hasCorrection_ = false;
    double correction_ = 0.0;
    double expectedPeriod_ = 0.0;
    double armedPeriod_ = 0.0;  // the period the driver armed for the period in progress; 0: none
    std::thread statisticsThread_;  // last: starts once the members above exist
};
