#pragma once

#include <sfx/AudioDevice.h>

#include <vector>

namespace brix::audio {

// DeviceControlWin32: the audio output devices of this machine.
//
// On Linux the devices are ALSA's PCM device hints that can play: the identifier is the hint's device
// name ("hw:CARD=PCH,DEV=0", "sysdefault:CARD=PCH" ...), which names the card by its id and so stays
// the same across restarts; the display name is the hint's description, its lines joined by " - ".
// Left out are "null" (which discards all samples) and "default" (the system's default device, which
// callers offer as the empty identifier). Display names that more than one device would share get the
// identifier appended in parentheses, so every listed display name is unique.
//
// While a test holds a sfx_virtual::InjectedOutputDevices, the list is the injected one instead.
//
// Owner: whoever lists the devices, for as long as it needs to; the object holds no device open.
// Threads: any thread; the enumeration is serialized inside the library.
class DeviceControlWin32 {
public:
    // The output devices in ALSA's order. A failure of the enumeration gives an empty list and one
    // "WARNING: " line on the standard output with ALSA's error text.
    std::vector<AudioDevice> GetOutputDevices() const;
};

}  // namespace brix::audio
