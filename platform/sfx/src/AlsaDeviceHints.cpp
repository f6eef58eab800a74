// The PCM device hints of ALSA (snd_device_name_hint over every card and the configuration).
#include "DeviceHints.h"

#include <alsa/asoundlib.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace sfx_impl {
namespace {

// One field of a hint; ALSA returns it in memory the caller frees, or null when the hint lacks it.
std::string HintField(const void* hint, const char* field) {
    const std::unique_ptr<char, decltype(&std::free)> value(snd_device_name_get_hint(hint, field), &std::free);
    return value ? std::string(value.get()) : std::string();
}

}  // namespace

std::vector<DeviceHint> ReadAlsaPcmHints() {
    void** hints = nullptr;
    const int result = snd_device_name_hint(-1, "pcm", &hints);
    if (result < 0) {
        throw std::runtime_error(std::string("snd_device_name_hint failed: ") + snd_strerror(result));
    }
    const std::unique_ptr<void*, decltype(&snd_device_name_free_hint)> owner(hints, &snd_device_name_free_hint);
    std::vector<DeviceHint> list;
    for (void** hint = hints; *hint != nullptr; ++hint) {
        list.push_back({HintField(*hint, "NAME"), HintField(*hint, "DESC"), HintField(*hint, "IOID")});
    }
    return list;
}

}  // namespace sfx_impl
