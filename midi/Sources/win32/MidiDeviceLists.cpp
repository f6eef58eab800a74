#include "MidiDeviceLists.h"

#include "MidiInputPortWin32.h"

#include <mmsystem.h>

std::vector<std::shared_ptr<MidiPort>> GetMidiInputPorts()
{
    std::vector<std::shared_ptr<MidiPort>> ports;
    const UINT count = midiInGetNumDevs();
    for (UINT index = 0; index < count && index <= 0xFF; ++index) {
        ports.push_back(std::make_shared<MidiInputPortWin32>(static_cast<unsigned char>(index)));
    }
    return ports;
}

std::vector<std::shared_ptr<MidiPort>> GetMidiOutputPorts()
{
    return {};
}
