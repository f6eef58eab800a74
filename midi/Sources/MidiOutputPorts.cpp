#include "MidiOutputPorts.h"

#include <stdexcept>

MidiOutputPorts::~MidiOutputPorts() = default;

void MidiOutputPorts::SetChannelDrumMode(unsigned char, bool)
{
    throw std::runtime_error("MIDI Output Ports does not implement changing channel to drums.");
}
