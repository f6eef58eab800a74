#include "WinSynth.h"

#include "BrixMidiError.h"
#include "MidiBufferWin32.h"
#include "MidiDeviceInfo.h"

#include <brix_core/BrixLog.h>
#include <fennic/CoutBuffer.h>

#include <sstream>
#include <stdexcept>

Synth::~Synth() = default;

WinSynth::WinSynth()
{
    UINT deviceId = 0;
    const MMRESULT result = midiStreamOpen(&stream_, &deviceId, 1, reinterpret_cast<DWORD_PTR>(&MidiStreamCallback),
                                           reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION);
    if (result != MMSYSERR_NOERROR) {
        std::ostringstream text;
        text << "CreateSynthOutput() error " << result << ", " << GetMidiOutErrorText(result) << '\n'
             << CreateMidiDeviceSummary();
        throw MidiDeviceUnavailable(text.str());
    }
}

WinSynth::~WinSynth()
{
    midiStreamClose(stream_);
}

void WinSynth::Restart()
{
    CheckMidiResult(midiStreamRestart(stream_), "calling midiStreamRestart");
}

void WinSynth::Stop()
{
    midiStreamStop(stream_);
}

void WinSynth::SendDataBuffer(MidiBufferWin32* buffer, unsigned char port)
{
    DataBuffer& data = buffer->GetDataBuffer(port);
    if (!data.GetHeaderIsPrepared()) {
        fennic::CoutBuffer() << "Header is not prepared." << fennic::endl;
        throw std::logic_error("Header is not prepared.");
    }
    if (data.GetPreparedOutputHandle() != GetOutputHandle()) {
        fennic::CoutBuffer() << "Prepared output handle does not match." << fennic::endl;
        throw std::logic_error("mismatched output handles.");
    }
    if (data.GetEventCount() == 0) {
        return;
    }
    data.SetInUse();
    try {
        CheckMidiResult(midiStreamOut(stream_, data.GetMidiHeader(), sizeof(MIDIHDR)), "calling midiStreamOut");
    } catch (const MidiImplementationError& e) {
        // The stream did not take the buffer, so no MOM_DONE will come for it.
        data.SignalMidiStreamOutDone();
        BrixLogException(e.what(), __FILE__, __LINE__);
        return;
    }
    if (!data.WaitForMidiStreamOutDone(kSendTimeoutSeconds)) {
        fennic::CoutBuffer() << "midiStreamOutDone_ timed out " << "without receiving a mom done message. "
                             << "Buffer " << data.GetBufferName() << " will be quarantined." << fennic::endl;
        buffer->QuarantineDataBuffer(port, GetOutputHandle());
    }
}

void CALLBACK WinSynth::MidiStreamCallback(HMIDIOUT, UINT message, DWORD_PTR, DWORD_PTR param1, DWORD_PTR)
{
    if (param1 == 0 || message != MOM_DONE) {
        return;
    }
    const auto* header = reinterpret_cast<const MIDIHDR*>(param1);
    reinterpret_cast<DataBuffer*>(header->dwUser)->SignalMidiStreamOutDone();
}
