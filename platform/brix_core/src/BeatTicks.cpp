#include <brix_core/BeatTicks.h>

#include <algorithm>
#include <limits>

namespace {

// The meter in force at a tick: the last one at or before it (the first one before every meter).
const TL::Meter* MeterAt(const std::vector<TL::Meter>& meters, std::uint32_t tick) {
    if (meters.empty()) {
        return nullptr;
    }
    auto after = std::upper_bound(meters.begin(), meters.end(), tick,
                                  [](std::uint32_t t, const TL::Meter& m) { return t < m.tick; });
    return after == meters.begin() ? &meters.front() : &*std::prev(after);
}

}  // namespace

std::vector<std::uint32_t> CreateBeatTicks(const std::vector<TL::BarsBeats>& barsBeats,
                                           const std::vector<CL::Click>& clicks,
                                           const std::vector<TL::Meter>& meters,
                                           std::uint32_t lastTickIndex, unsigned int ticksPerQuarter) {
    const std::uint64_t ticksPerClock = ticksPerQuarter / 24;
    std::vector<std::uint32_t> ticks;
    auto region = clicks.begin();
    auto beat = barsBeats.begin();
    while (true) {
        // Beats before the next region (or all the rest).
        const std::uint64_t regionStart =
            region == clicks.end() ? std::numeric_limits<std::uint64_t>::max() : region->start();
        for (; beat != barsBeats.end() && beat->tick < regionStart; ++beat) {
            if (beat->tick <= lastTickIndex) {
                ticks.push_back(beat->tick);
            }
        }
        if (region == clicks.end()) {
            break;
        }
        const auto next = std::next(region);
        std::uint64_t regionEnd = region->end();
        if (next != clicks.end()) {
            regionEnd = std::min<std::uint64_t>(regionEnd, next->start());
        }
        const std::uint64_t clicksEnd = std::min<std::uint64_t>(regionEnd, std::uint64_t{lastTickIndex} + 1);
        for (std::uint64_t tick = region->start(); tick < clicksEnd;) {
            ticks.push_back(static_cast<std::uint32_t>(tick));
            const TL::Meter* meter = MeterAt(meters, static_cast<std::uint32_t>(tick));
            const int clocks = region->ClocksPerClick(meter ? meter->notated_32_per_click() : 8);
            const std::uint64_t length = clocks > 0 ? clocks * ticksPerClock : 0;
            if (length == 0) {
                break;
            }
            tick += length;
        }
        // The beats inside the region are replaced by its clicks.
        while (beat != barsBeats.end() && beat->tick < regionEnd) {
            ++beat;
        }
        region = next;
    }
    return ticks;
}
