#include "MidiPort.h"

#include <stdexcept>

MidiPort::~MidiPort() = default;

void MidiOutputPort::SetChannelDrumMode(unsigned char, bool)
{
    throw std::runtime_error("MIDI Output Port not implement changing channel to drums.");
}
