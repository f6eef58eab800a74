// The virtual back end: devices that tests register in process.
#pragma once

#include "MidiDevices.h"

namespace winmm_impl {

// In registration order.
std::vector<std::shared_ptr<MidiOutDevice>> VirtualOutputDevices();
std::vector<std::shared_ptr<MidiInDevice>> VirtualInputDevices();

}  // namespace winmm_impl
