#include "MidiInputPortWin32.h"

#include "MidiDeviceInfo.h"

MidiInputPortWin32::MidiInputPortWin32(unsigned char portIndex)
    : MidiInputPort(portIndex)
{
    capabilitiesValid_ = midiInGetDevCapsW(portIndex, &capabilities_, sizeof capabilities_) == MMSYSERR_NOERROR;
}

MidiInputPortWin32::MidiInputPortWin32(unsigned char portIndex, InputCallback callback, void* callbackTarget)
    : MidiInputPortWin32(portIndex)
{
    callbackTarget_ = callbackTarget;
    const MMRESULT result = midiInOpen(&handle_, portIndex, reinterpret_cast<DWORD_PTR>(callback),
                                       reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION);
    if (result != MMSYSERR_NOERROR) {
        throw MidiPortFailure("midiInOpen", result);
    }
    open_ = true;
}

MidiInputPortWin32::~MidiInputPortWin32()
{
    {
        std::lock_guard lock(mutex_);
        running_ = false;
    }
    ResetAndClose();
}

std::string MidiInputPortWin32::GetDisplayName()
{
    return capabilitiesValid_ ? NarrowWideString(capabilities_.szPname, MAXPNAMELEN) : "Not a valid input device.";
}

void MidiInputPortWin32::Start()
{
    const MMRESULT result = midiInStart(handle_);
    if (result != MMSYSERR_NOERROR) {
        throw MidiPortFailure("midiInStart", result);
    }
    std::lock_guard lock(mutex_);
    running_ = true;
}

void MidiInputPortWin32::KillIt()
{
    {
        std::lock_guard lock(mutex_);
        running_ = false;
    }
    ResetAndClose();
    open_ = false;
}

void MidiInputPortWin32::ResetAndClose()
{
    if (open_) {
        midiInReset(handle_);
        midiInClose(handle_);
    }
}

bool MidiInputPortWin32::GetIsRunning()
{
    std::lock_guard lock(mutex_);
    return running_;
}
