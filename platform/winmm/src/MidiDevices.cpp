// Chooses the back ends: the virtual devices are always there; the ALSA
// sequencer is used when the machine has one.
#include "MidiDevices.h"

#include "AlsaMidiBackend.h"
#include "VirtualMidiBackend.h"

#include <algorithm>
#include <unistd.h>

namespace winmm_impl {
namespace {

bool MachineHasSequencer()
{
    static const bool present = access("/dev/snd/seq", F_OK) == 0;
    return present;
}

}  // namespace

std::vector<std::shared_ptr<MidiOutDevice>> GetOutputDevices()
{
    auto devices = VirtualOutputDevices();
    if (MachineHasSequencer()) {
        auto alsa = AlsaOutputDevices();
        devices.insert(devices.end(), alsa.begin(), alsa.end());
    }
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
