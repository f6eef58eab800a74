#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// Fader: moves a level (percent, 0 to 100) in a straight line to a target over a time, and calls a
// callback once when the target is reached. A new fade replaces a running one (whose callback is then
// never called); Cancel stops it where it is.
// Owner: the player. Threads: its own, started at construction and joined in the destructor; the
// level is recomputed there from the clock every 10 ms, and the callback runs there with no lock held
// (it may call any operation of this object). Other operations may be called from any thread.
// Lock: one mutex guards the level and the fade. Stop guarantee: when the destructor returns no
// callback runs.
class Fader {
public:
    Fader();
    ~Fader();

    Fader(const Fader&) = delete;
    Fader& operator=(const Fader&) = delete;

    // A fade from the current level to targetPercent (clamped to [0, 100]) over seconds (a time of 0 or
    // less, or not a number, reaches the target at once, still through the fader's thread).
    void Start(double targetPercent, double seconds, std::function<void()> onDone);
    void Cancel();
    bool IsRunning() const;
    double GetLevel() const;
    // The level seconds from now: where a running fade will be then (its target once it ends), else
    // the level.
    double GetLevelAfter(double seconds) const;
    // Sets the level; a running fade is cancelled.
    void SetLevel(double percent);

private:
    using Clock = std::chrono::steady_clock;

    void Run();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    bool running_ = false;
    std::uint64_t generation_ = 0;
    double level_ = 100.0;
    double from_ = 100.0;
    double to_ = 100.0;
    Clock::time_point begin_;
    Clock::time_point end_;
    std::function<void()> onDone_;
    std::thread thread_;
};
