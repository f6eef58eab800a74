// The output device list and the texts of the result codes.
#include "Faults.h"
#include "MidiDevices.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

using winmm_impl::TakeFailure;
using winmm_virtual::Call;

std::u16string_view ErrorText(MMRESULT code)
{
    switch (code) {
    case MMSYSERR_NOERROR: return u"The call succeeded.";
    case MMSYSERR_ERROR: return u"The call failed for an unspecified reason.";
    case MMSYSERR_BADDEVICEID: return u"There is no device with this number.";
    case MMSYSERR_NOTENABLED: return u"The device could not be opened.";
    case MMSYSERR_ALLOCATED: return u"The device is already in use.";
    case MMSYSERR_INVALHANDLE: return u"The handle is not an open device.";
    case MMSYSERR_NODRIVER: return u"No MIDI driver is installed.";
    case MMSYSERR_NOMEM: return u"There is not enough memory for the call.";
    case MMSYSERR_NOTSUPPORTED: return u"The device does not support this call.";
    case MMSYSERR_BADERRNUM: return u"There is no text for this result code.";
    case MMSYSERR_INVALFLAG: return u"A flag of the call is not valid.";
    case MMSYSERR_INVALPARAM: return u"A parameter of the call is not valid.";
    case MMSYSERR_HANDLEBUSY: return u"The handle is in use on another thread, such as its callback.";
    case MMSYSERR_INVALIDALIAS: return u"The device alias was not found.";
    case MMSYSERR_BADDB: return u"The device settings database is damaged.";
    case MMSYSERR_KEYNOTFOUND: return u"A device settings key was not found.";
    case MMSYSERR_READERROR: return u"The device settings could not be read.";
    case MMSYSERR_WRITEERROR: return u"The device settings could not be written.";
    case MMSYSERR_DELETEERROR: return u"A device setting could not be deleted.";
    case MMSYSERR_VALNOTFOUND: return u"A device settings value was not found.";
    case MMSYSERR_NODRIVERCB: return u"The driver does not report back to its callers.";
    case MMSYSERR_MOREDATA: return u"More data is waiting to be returned.";
    case MIDIERR_UNPREPARED: return u"The buffer header has not been prepared.";
    case MIDIERR_STILLPLAYING: return u"Buffers are still queued on the device.";
    case MIDIERR_NOMAP: return u"No instruments are configured for the MIDI mapper.";
    case MIDIERR_NOTREADY: return u"The MIDI hardware is still busy.";
    case MIDIERR_NODEVICE: return u"The MIDI port is no longer connected.";
    case MIDIERR_INVALIDSETUP: return u"The MIDI setup is not valid.";
    case MIDIERR_BADOPENMODE: return u"The device was not opened for this call.";
    case MIDIERR_DONT_CONTINUE: return u"The thru device has consumed the message.";
    default: return {};
    }
}

}  // namespace

UINT WINAPI midiOutGetNumDevs()
{
    return static_cast<UINT>(winmm_impl::GetOutputDevices().size());
}

MMRESULT WINAPI midiOutGetDevCapsW(UINT_PTR uDeviceID, LPMIDIOUTCAPSW pmoc, UINT cbmoc)
{
    if (auto failure = TakeFailure(Call::midiOutGetDevCapsW)) {
        return *failure;
    }
    if (pmoc == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    const auto devices = winmm_impl::GetOutputDevices();
    if (uDeviceID >= devices.size()) {
        return MMSYSERR_BADDEVICEID;
    }
    const MIDIOUTCAPSW caps = devices[uDeviceID]->GetCaps();
    std::memcpy(pmoc, &caps, std::min<std::size_t>(cbmoc, sizeof caps));
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiOutGetErrorTextW(MMRESULT mmrError, LPWSTR pszText, UINT cchText)
{
    if (auto failure = TakeFailure(Call::midiOutGetErrorTextW)) {
        return *failure;
    }
    if (pszText == nullptr || cchText == 0) {
        return MMSYSERR_INVALPARAM;
    }
    const std::u16string_view text = ErrorText(mmrError);
    if (text.empty()) {
        pszText[0] = u'\0';
        return MMSYSERR_BADERRNUM;
    }
    const std::size_t length = std::min<std::size_t>(text.size(), cchText - 1);
    std::copy_n(text.begin(), length, pszText);
    pszText[length] = u'\0';
    return MMSYSERR_NOERROR;
}
