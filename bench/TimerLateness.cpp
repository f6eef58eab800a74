// Measures how late the one-shot multimedia timer fires: each firing arms the
// next one from inside the callback, as the MIDI clock does, and records the
// time between its due time and its callback.
//
//   winmm_timer_lateness [firings] [delay_ms...]   (default: 10000 firings at 1 and 20 ms)
#include <mmsystem.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    UINT delayMs = 0;
    std::size_t firings = 0;
    std::vector<Clock::duration> lateness;
    Clock::time_point due;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool failed = false;
};

void Arm(Run& run)
{
    run.due = Clock::now() + std::chrono::milliseconds(run.delayMs);
    if (timeSetEvent(run.delayMs, 0, [](UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
            auto& r = *reinterpret_cast<Run*>(user);
            r.lateness.push_back(Clock::now() - r.due);
            if (r.lateness.size() < r.firings) {
                Arm(r);
                return;
            }
            std::lock_guard lock(r.mutex);
            r.done = true;
            r.finished.notify_one();
        }, reinterpret_cast<DWORD_PTR>(&run), TIME_ONESHOT) == 0) {
        std::lock_guard lock(run.mutex);
        run.failed = run.done = true;
        run.finished.notify_one();
    }
}

double Microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

bool Measure(UINT delayMs, std::size_t firings)
{
    Run run;
    run.delayMs = delayMs;
    run.firings = firings;
    run.lateness.reserve(firings);
    timeBeginPeriod(1);
    Arm(run);
    {
        std::unique_lock lock(run.mutex);
        run.finished.wait(lock, [&] { return run.done; });
    }
    timeEndPeriod(1);
    if (run.failed) {
        std::fprintf(stderr, "timeSetEvent failed at firing %zu\n", run.lateness.size());
        return false;
    }
    auto sorted = run.lateness;
    std::sort(sorted.begin(), sorted.end());
    const auto at = [&](double q) { return sorted[static_cast<std::size_t>(q * static_cast<double>(sorted.size() - 1))]; };
    std::printf("delay %4u ms, %zu firings: lateness median %8.1f us, 99th percentile %8.1f us, maximum %8.1f us\n",
                delayMs, sorted.size(), Microseconds(at(0.5)), Microseconds(at(0.99)), Microseconds(sorted.back()));
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::size_t firings = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10000;
    std::vector<UINT> delays;
    for (int i = 2; i < argc; ++i) {
        delays.push_back(static_cast<UINT>(std::strtoul(argv[i], nullptr, 10)));
    }
    if (delays.empty()) {
        delays = {1, 20};
    }
    if (firings == 0) {
        std::fprintf(stderr, "usage: %s [firings] [delay_ms...]\n", argv[0]);
        return 2;
    }
    for (UINT delay : delays) {
        if (!Measure(delay, firings)) {
            return 1;
        }
    }
    return 0;
}
