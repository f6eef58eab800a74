#include "MidiDeviceInfo.h"

#include <fennic/CoutBuffer.h>
#include <fennic/Format.h>

#include <sstream>

namespace {

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

constexpr char32_t kReplacementCharacter = 0xFFFD;

}  // namespace

std::string NarrowWideString(const WCHAR* text, std::size_t maxUnits)
{
    std::string out;
    std::size_t i = 0;
    while (i < maxUnits && text[i] != 0) {
        const char32_t unit = text[i++];
        if (IsHighSurrogate(unit) && i < maxUnits && IsLowSurrogate(text[i])) {
            const char32_t low = text[i++];
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(out, kReplacementCharacter);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::string GetMidiErrorAsString(unsigned int result)
{
    switch (result) {
    case MMSYSERR_ERROR: return "MMSYSERR_ERROR unspecified error";
    case MMSYSERR_BADDEVICEID: return "MMSYSERR_BADDEVICEID device ID out of range";
    case MMSYSERR_NOTENABLED: return "MMSYSERR_NOTENABLED driver failed enable";
    case MMSYSERR_ALLOCATED: return "MMSYSERR_ALLOCATED device already allocated";
    case MMSYSERR_INVALHANDLE: return "MMSYSERR_INVALHANDLE device handle is invalid";
    case MMSYSERR_NODRIVER: return "MMSYSERR_NODRIVER no device driver present";
    case MMSYSERR_NOMEM: return "MMSYSERR_NOMEM memory allocation error";
    case MMSYSERR_NOTSUPPORTED: return "MMSYSERR_NOTSUPPORTED function isn't supported";
    case MMSYSERR_BADERRNUM: return "MMSYSERR_BADERRNUM error value out of range";
    case MMSYSERR_INVALFLAG: return "MMSYSERR_INVALFLAG invalid flag passed";
    case MMSYSERR_INVALPARAM: return "MMSYSERR_INVALPARAM invalid parameter passed";
    case MMSYSERR_HANDLEBUSY:
        return "MMSYSERR_HANDLEBUSY handle being used simultaneously on another thread (eg callback)";
    case MMSYSERR_INVALIDALIAS: return "MMSYSERR_INVALIDALIAS specified alias not found";
    case MMSYSERR_BADDB: return "MMSYSERR_BADDB bad registry database";
    case MMSYSERR_KEYNOTFOUND: return "MMSYSERR_KEYNOTFOUND registry key not found";
    case MMSYSERR_READERROR: return "MMSYSERR_READERROR registry read error";
    case MMSYSERR_WRITEERROR: return "MMSYSERR_WRITEERROR registry write error";
    case MMSYSERR_DELETEERROR: return "MMSYSERR_DELETEERROR registry delete error";
    case MMSYSERR_VALNOTFOUND: return "MMSYSERR_VALNOTFOUND registry value not found";
    case MMSYSERR_NODRIVERCB: return "MMSYSERR_NODRIVERCB driver does not call DriverCallback";
    case MMSYSERR_MOREDATA: return "MMSYSERR_MOREDATA more data to be returned";
    case MIDIERR_UNPREPARED: return "MIDIERR_UNPREPARED header not prepared";
    case MIDIERR_STILLPLAYING: return "MIDIERR_STILLPLAYING still something playing";
    case MIDIERR_NOMAP: return "MIDIERR_NOMAP no configured instruments";
    case MIDIERR_NOTREADY: return "MIDIERR_NOTREADY hardware is still busy";
    case MIDIERR_NODEVICE: return "MIDIERR_NODEVICE port no longer connected";
    case MIDIERR_INVALIDSETUP: return "MIDIERR_INVALIDSETUP invalid MIF";
    case MIDIERR_BADOPENMODE: return "MIDIERR_BADOPENMODE operation unsupported w/ open mode";
    case MIDIERR_DONT_CONTINUE: return "MIDIERR_DONT_CONTINUE thru device 'eating' a message";
    default: return fennic::format("Unknown error code %d", static_cast<int>(result));
    }
}

std::string GetMidiOutErrorText(unsigned int result)
{
    constexpr UINT kTextLength = 512;
    WCHAR text[kTextLength] = {};
    const MMRESULT status = midiOutGetErrorTextW(result, text, kTextLength);
    switch (status) {
    case MMSYSERR_NOERROR: return NarrowWideString(text, kTextLength);
    case MMSYSERR_BADERRNUM: return fennic::format("MMSYSERR_BADERRNUM: Unknown error %d", static_cast<int>(result));
    case MMSYSERR_INVALPARAM: return "midiOutGetErrorText MMSYSERR_INVALPARAM";
    default: return fennic::format("midiOutGetErrorText: Unknown error %d", static_cast<int>(result));
    }
}

std::string GetProductName(const tagMIDIOUTCAPSW& caps)
{
    return NarrowWideString(caps.szPname, MAXPNAMELEN);
}

std::string GetTechnologyAsString(const tagMIDIOUTCAPSW& caps)
{
    switch (caps.wTechnology) {
    case MOD_MIDIPORT: return "MOD_MIDIPORT: MIDI hardware port.";
    case MOD_SYNTH: return "MOD_SYNTH: Synthesizer.";
    case MOD_SQSYNTH: return "MOD_SQSYNTH: Square wave synthesizer.";
    case MOD_FMSYNTH: return "MOD_FMSYNTH: FM synthesizer.";
    case MOD_MAPPER: return "MOD_MAPPER: Microsoft MIDI mapper.";
    case MOD_WAVETABLE: return "MOD_WAVETABLE: Hardware wavetable synthesizer.";
    case MOD_SWSYNTH: return "MOD_SWSYNTH: Software synthesizer.";
    default: return fennic::format("Unknown wTechnology value: %d", static_cast<int>(caps.wTechnology));
    }
}

std::string GetMidiOutDevCapsAsString(const tagMIDIOUTCAPSW& caps)
{
    std::ostringstream out;
    out << "Midi Output Device:\n"
        << "  Manufacturer Identifier: " << caps.wMid << '\n'
        << "  Product Identifier: " << caps.wPid << '\n'
        << "  Driver Version: " << caps.vDriverVersion << '\n'
        << "  Product Name: " << GetProductName(caps) << '\n'
        << "  Type: " << GetTechnologyAsString(caps) << '\n'
        << "  Voices: " << caps.wVoices << '\n'
        << "  Notes: " << caps.wNotes << '\n'
        << "  ChannelMask: " << caps.wChannelMask << '\n'
        << "  Support: " << caps.dwSupport << '\n';
    return out.str();
}

std::string GetMidiOutDeviceInformation(unsigned int index)
{
    MIDIOUTCAPSW caps{};
    const MMRESULT result = midiOutGetDevCapsW(index, &caps, sizeof caps);
    std::ostringstream out;
    if (result == MMSYSERR_NOERROR) {
        out << "MIDI device index: " << index << '\n' << GetMidiOutDevCapsAsString(caps);
    } else {
        out << "Unable to retrieve device capabilities for midi device " << index << '\n'
            << "Error reported: " << GetMidiErrorAsString(result) << '\n';
    }
    return out.str();
}

std::string CreateMidiDeviceSummary()
{
    const UINT count = midiOutGetNumDevs();
    if (count == 0) {
        return "There are no available devices for midi output.";
    }
    std::ostringstream out;
    out << "Device info for " << count << " MIDI devices.\n";
    for (UINT index = 0; index < count; ++index) {
        out << GetMidiOutDeviceInformation(index) << "\n\n";
    }
    return out.str();
}

void CheckMidiResult(MMRESULT result, const char* description, std::source_location where)
{
    if (result != MMSYSERR_NOERROR) {
        throw MidiImplementationError(fennic::format("%s line %d: %s caused error %d, %s.", where.file_name(),
                                                     static_cast<int>(where.line()), description,
                                                     static_cast<int>(result), GetMidiErrorAsString(result).c_str()));
    }
}

MidiPortError MidiPortFailure(const char* callName, MMRESULT result)
{
    return MidiPortError(
        fennic::format("%s: %d %s", callName, static_cast<int>(result), GetMidiErrorAsString(result).c_str()));
}

std::string CreateErrorMessage(const char* file, int line, int error, const std::string& text)
{
    if (text.empty()) {
        return fennic::format("%s line %d: Error %d.", file, line, error);
    }
    return fennic::format("%s line %d: Error %d %s.", file, line, error, text.c_str());
}

void ReportFailure(const std::string& message)
{
    fennic::CoutBuffer() << "[ERROR] " << message << fennic::endl;
    throw BrixMidiError(message);
}
