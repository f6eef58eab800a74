#include "MidiOutputPortWin32.h"

#include "BrixMidiError.h"
#include "MidiBufferWin32.h"
#include "MidiDeviceInfo.h"

#include <fennic/CoutBuffer.h>

#include <stdexcept>
#include <utility>

MidiOutputPortWin32::MidiOutputPortWin32(unsigned char portIndex)
    : MidiOutputPort(portIndex)
{
    capabilitiesValid_ = midiOutGetDevCapsW(portIndex, &capabilities_, sizeof capabilities_) == MMSYSERR_NOERROR;
}

std::string MidiOutputPortWin32::GetDisplayName()
{
    return capabilitiesValid_ ? GetProductName(capabilities_) : "Not a valid output device.";
}

void MidiOutputPortWin32::SendMidiBuffer(MidiBuffer& buffer)
{
    if (!hasOutputCallback_) {
        return;
    }
    auto* platformBuffer = dynamic_cast<MidiBufferWin32*>(&buffer);
    if (platformBuffer == nullptr) {
        throw std::invalid_argument("MidiOutputPortWin32::SendMidiBuffer: not a MidiBufferWin32");
    }
    try {
        outputCallback_(platformBuffer, GetPortIndex());
    } catch (const InvalidVoiceEvent&) {
        fennic::CoutBuffer() << "InvalidVoiceEvent for port " << static_cast<int>(GetPortIndex()) << fennic::endl;
        throw;
    }
}

void MidiOutputPortWin32::SetMidiOutputCallback(OutputCallback callback)
{
    outputCallback_ = std::move(callback);
    hasOutputCallback_ = true;
}

void MidiOutputPortWin32::ClearMidiOutputCallback()
{
    outputCallback_ = nullptr;
    hasOutputCallback_ = false;
}
