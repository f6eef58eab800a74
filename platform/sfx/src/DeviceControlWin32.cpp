// Chooses where the device list comes from: a test's injected list while there is one, else ALSA.
#include <sfx/DeviceControlWin32.h>
#include <sfx_virtual/InjectedOutputDevices.h>

#include "DeviceHints.h"

#include <fennic/CoutBuffer.h>

#include <mutex>
#include <optional>
#include <stdexcept>
#include <utility>

namespace {

// Guards the injected list and serializes ALSA's enumeration, whose configuration is global.
std::mutex mutex;
std::optional<std::vector<brix::audio::AudioDevice>> injected;

}  // namespace

namespace brix::audio {

std::vector<AudioDevice> DeviceControlWin32::GetOutputDevices() const {
    std::lock_guard lock(mutex);
    if (injected) {
        return *injected;
    }
    try {
        return sfx_impl::OutputDevicesFromHints(sfx_impl::ReadAlsaPcmHints());
    } catch (const std::exception& error) {
        fennic::CoutBuffer() << "WARNING: no audio output devices listed: " << error.what() << fennic::endl;
        return {};
    }
}

}  // namespace brix::audio

namespace sfx_virtual {

InjectedOutputDevices::InjectedOutputDevices(std::vector<brix::audio::AudioDevice> devices) {
    std::lock_guard lock(mutex);
    if (injected) {
        throw std::logic_error("InjectedOutputDevices: another injected list is still in place");
    }
    injected = std::move(devices);
}

InjectedOutputDevices::~InjectedOutputDevices() {
    std::lock_guard lock(mutex);
    injected.reset();
}

}  // namespace sfx_virtual
