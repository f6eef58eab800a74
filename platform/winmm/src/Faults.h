// Fault hooks, timer-period counters and the calling thread's last error:
// the state that the test interface (winmm_virtual/VirtualMidi.h) reaches.
#pragma once

#include <winmm_virtual/VirtualMidi.h>

#include <optional>

namespace winmm_impl {

// Takes the failure set for the call, if any (wait-free).
std::optional<DWORD> TakeFailure(winmm_virtual::Call call);

void CountTimeBeginPeriod();
void CountTimeEndPeriod();

void SetLastErrorValue(DWORD error);

}  // namespace winmm_impl
