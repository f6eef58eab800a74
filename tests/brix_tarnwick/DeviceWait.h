#pragma once

#include <winmm_virtual/VirtualMidi.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace engine_test {

using CapturedEvents = std::vector<winmm_virtual::CapturedEvent>;

// Waits until done(events captured so far) holds, looking again each time events arrive; false after
// the time-out.
inline bool WaitForDevice(const winmm_virtual::VirtualMidiOutput& device,
                          const std::function<bool(const CapturedEvents&)>& done,
                          std::chrono::milliseconds timeout = std::chrono::seconds(20))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const CapturedEvents events = device.GetEvents();
        if (done(events)) {
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        device.WaitForEventCount(events.size() + 1,
                                 std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now));
    }
}

// The channel volumes (controller 7) of events [from, to), per channel in the order sent.
inline std::map<int, std::vector<int>> ChannelVolumes(const CapturedEvents& events, std::size_t from = 0,
                                                      std::size_t to = SIZE_MAX)
{
    std::map<int, std::vector<int>> volumes;
    for (std::size_t i = from; i < std::min(to, events.size()); ++i) {
        if ((events[i].status & 0xF0) == 0xB0 && events[i].data1 == 7) {
            volumes[events[i].status & 0x0F].push_back(events[i].data2);
        }
    }
    return volumes;
}

// Note-ons (velocity above 0) among events [from, end).
inline std::size_t NoteOnCount(const CapturedEvents& events, std::size_t from = 0)
{
    return static_cast<std::size_t>(std::count_if(events.begin() + static_cast<std::ptrdiff_t>(std::min(from, events.size())),
                                                  events.end(), [](const winmm_virtual::CapturedEvent& event) {
                                                      return (event.status & 0xF0) == 0x90 && event.data2 > 0;
                                                  }));
}

}  // namespace engine_test
