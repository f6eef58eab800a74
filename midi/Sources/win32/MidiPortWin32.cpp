#include "MidiPortWin32.h"

MidiPortWin32::MidiPortWin32(unsigned char portIndex, bool) : MidiPort(portIndex) {}
