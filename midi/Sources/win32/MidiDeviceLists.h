#pragma once

#include "MidiPort.h"

#include <memory>
#include <vector>

// The device lists offered to the input side, in device order. Each call reads the system's lists
// anew.

// One listing MidiInputPortWin32 per input device.
std::vector<std::shared_ptr<MidiPort>> GetMidiInputPorts();
// Always empty on this platform: output goes through the stream on device 0.
std::vector<std::shared_ptr<MidiPort>> GetMidiOutputPorts();
