// Timing of the MIDI clock driver (StandardMidiClockImpl on the multimedia timers): runs the clock at
// a tempo and reports, for every firing, its deviation from the ideal grid (first firing + n × clock
// time): median, 99th percentile and maximum of the absolute deviation, and the drift between the mean
// deviation of the first and of the last second. With a stall, the timer thread is held up once for
// that long after the first second (as a stalled machine would hold it), and the report says how many
// clocks then went out at once, without a timer of their own.
//
//   brix_clock_driver_timing [seconds] [bpm] [stall ms]
//   (default: 10 s at 120 bpm, 24 clocks per quarter note, no stall)
#include "win32/StandardMidiClockImpl.h"

#include <winmm_virtual/VirtualMidi.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kClocksPerQuarter = 24;

struct Firings {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Clock::time_point> times;
    std::vector<std::size_t> timerCallbacks;  // timer callbacks begun by each firing
};

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[index];
}

}  // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    const double bpm = argc > 2 ? std::atof(argv[2]) : 120.0;
    const int stallMs = argc > 3 ? std::atoi(argv[3]) : 0;
    if (seconds <= 1.0 || bpm <= 0.0 || stallMs < 0) {
        std::fprintf(stderr, "usage: %s [seconds > 1] [bpm > 0] [stall ms >= 0]\n", argv[0]);
        return 2;
    }
    const double clockTime = 60.0 / (bpm * kClocksPerQuarter);
    const auto expected = static_cast<std::size_t>(seconds / clockTime);
    const auto stallAfter = static_cast<std::size_t>(1.0 / clockTime);

    Firings firings;
    firings.times.reserve(expected + 16);
    firings.timerCallbacks.reserve(expected + 16);
    {
        StandardMidiClockImpl clock;
        clock.SetMidiClockCallback([&](double) {
            {
                std::lock_guard lock(firings.mutex);
                firings.times.push_back(Clock::now());
                firings.timerCallbacks.push_back(winmm_virtual::GetTimerFiringCount());
                if (stallMs > 0 && firings.times.size() == stallAfter) {
                    winmm_virtual::StallNextTimerFiring(std::chrono::milliseconds(stallMs));
                }
            }
            firings.changed.notify_all();
        });
        clock.ArmPlayback(20, kClocksPerQuarter, clockTime, 0, 0);
        clock.ContinuousMode();
        std::unique_lock lock(firings.mutex);
        if (!firings.changed.wait_for(lock, std::chrono::duration<double>(seconds * 2 + 1),
                                      [&] { return firings.times.size() >= expected + 2; })) {
            std::fprintf(stderr, "the clock stopped after %zu firings\n", firings.times.size());
            return 1;
        }
        lock.unlock();
        clock.DisarmPlayback();
    }

    std::lock_guard lock(firings.mutex);
    const auto t0 = firings.times.front();
    std::vector<double> deviations;
    for (std::size_t n = 0; n < firings.times.size(); ++n) {
        const double at = std::chrono::duration<double>(firings.times[n] - t0).count();
        if (at >= seconds) {
            break;
        }
        deviations.push_back(at - static_cast<double>(n) * clockTime);
    }
    std::vector<double> magnitudes;
    for (double d : deviations) {
        magnitudes.push_back(std::abs(d) * 1e3);
    }
    const auto perSecond = static_cast<std::size_t>(1.0 / clockTime);
    double first = 0.0;
    double last = 0.0;
    for (std::size_t i = 0; i < perSecond; ++i) {
        first += deviations[i] / static_cast<double>(perSecond);
        last += deviations[deviations.size() - perSecond + i] / static_cast<double>(perSecond);
    }
    std::printf("clock driver at %.1f bpm, %d clocks per quarter (%.3f ms per clock), %.1f s\n", bpm,
                kClocksPerQuarter, clockTime * 1e3, seconds);
    std::printf("firings: %zu (expected %zu, %+.2f %%)\n", deviations.size(), expected,
                (static_cast<double>(deviations.size()) - static_cast<double>(expected)) * 100.0 /
                    static_cast<double>(expected));
    std::printf("deviation from the grid: median %.3f ms, p99 %.3f ms, max %.3f ms\n", Percentile(magnitudes, 0.5),
                Percentile(magnitudes, 0.99), *std::max_element(magnitudes.begin(), magnitudes.end()));
    std::printf("drift (mean of last second - mean of first second): %+.3f ms\n", (last - first) * 1e3);
    std::size_t atOnce = 0;
    for (std::size_t n = 1; n < deviations.size(); ++n) {
        atOnce += firings.timerCallbacks[n] == firings.timerCallbacks[n - 1] ? 1 : 0;
    }
    if (stallMs > 0) {
        std::printf("stall of %d ms after %zu firings; ", stallMs, stallAfter);
    }
    std::printf("firings without a timer of their own (overdue, fired at once): %zu\n", atOnce);
    return 0;
}
