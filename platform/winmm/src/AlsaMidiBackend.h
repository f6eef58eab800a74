// The ALSA sequencer back end. Call only when /dev/snd/seq exists; without a
// working sequencer both lists are empty.
#pragma once

#include "MidiDevices.h"

namespace winmm_impl {

// The program's own sequencer output port.
std::vector<std::shared_ptr<MidiOutDevice>> AlsaOutputDevices();
// The readable ports of the other sequencer clients.
std::vector<std::shared_ptr<MidiInDevice>> AlsaInputDevices();

}  // namespace winmm_impl
