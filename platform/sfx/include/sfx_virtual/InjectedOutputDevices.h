#pragma once

#include <sfx/AudioDevice.h>

#include <vector>

namespace sfx_virtual {

// Test side of the sound library: while an object lives, every DeviceControlWin32::GetOutputDevices
// returns exactly its devices, in its order and unchanged, instead of the machine's; destroying it
// brings the machine's devices back. One at a time: constructing a second while one lives throws
// std::logic_error. Thread-safe against concurrent GetOutputDevices calls.
class InjectedOutputDevices {
public:
    explicit InjectedOutputDevices(std::vector<brix::audio::AudioDevice> devices);
    ~InjectedOutputDevices();
    InjectedOutputDevices(const InjectedOutputDevices&) = delete;
    InjectedOutputDevices& operator=(const InjectedOutputDevices&) = delete;
};

}  // namespace sfx_virtual
