// Chooses the back ends: the virtual devices are always there; the ALSA
// sequencer is used when the machine has one, else the null output device.
#include "MidiDevices.h"

#include "AlsaMidiBackend.h"
#include "VirtualMidiBackend.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace winmm_impl {
namespace {

bool MachineHasSequencer()
{
    static const bool present = access("/dev/snd/seq", F_OK) == 0;
    return present;
}

class NullMidiOutConnection final : public MidiOutConnection {
public:
    void Send(DWORD) override {}
};

// Takes every message and plays nothing, so that the program runs on a
// machine without a sequencer. Opening it writes one warning line.
class NullMidiOutDevice final : public MidiOutDevice {
public:
    MIDIOUTCAPSW GetCaps() const override
    {
        MIDIOUTCAPSW caps{};
        caps.vDriverVersion = 0x0100;
        CopyDeviceName(kNullOutputDeviceName, caps.szPname);
        caps.wTechnology = MOD_MIDIPORT;
        caps.wChannelMask = 0xFFFF;
        return caps;
    }

    std::unique_ptr<MidiOutConnection> Open() override
    {
        std::fputs("WARNING: this machine has no ALSA sequencer; MIDI output goes to a null device and is not heard.\n",
                   stderr);
        return std::make_unique<NullMidiOutConnection>();
    }
};

}  // namespace

std::vector<std::shared_ptr<MidiOutDevice>> GetOutputDevices()
{
    auto devices = VirtualOutputDevices();
    auto alsa = MachineHasSequencer() ? AlsaOutputDevices() : std::vector<std::shared_ptr<MidiOutDevice>>();
    if (alsa.empty()) {
        static const auto null = std::make_shared<NullMidiOutDevice>();
        alsa.push_back(null);
    }
    devices.insert(devices.end(), alsa.begin(), alsa.end());
    return devices;
}

std::vector<std::shared_ptr<MidiInDevice>> GetInputDevices()
{
    auto devices = VirtualInputDevices();
    if (MachineHasSequencer()) {
        auto alsa = AlsaInputDevices();
        devices.insert(devices.end(), alsa.begin(), alsa.end());
    }
    return devices;
}

void CopyDeviceName(std::u16string_view name, WCHAR (&field)[MAXPNAMELEN])
{
    const std::size_t length = std::min<std::size_t>(name.size(), MAXPNAMELEN - 1);
    std::fill(std::begin(field), std::end(field), u'\0');
    std::copy_n(name.begin(), length, field);
}

}  // namespace winmm_impl
