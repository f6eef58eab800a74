#include <brix_player_core/Interface.h>

#include <brix_player_core/Player.h>

#include <stdexcept>

Interface::Interface(const std::string& showDirectory, const std::string& changeLogFilename)
    : showDirectory_(showDirectory), changeLogFilename_(changeLogFilename) {}

Interface::~Interface() = default;

void Interface::SetOutputDeviceUid(const std::string& uid) { GetPlayer().SetOutputDeviceUid(uid); }

std::string Interface::GetOutputDeviceUid() { return GetPlayer().GetOutputDeviceUid(); }

void Interface::SetVolume(double percent) { GetPlayer().SetVolume(percent); }

void Interface::SetVolume(double percent, brix_audio::VolumeType type) { GetPlayer().SetVolume(percent, type); }

double Interface::GetVolume() { return GetPlayer().GetVolume(); }

double Interface::GetVolume(brix_audio::VolumeType type) { return GetPlayer().GetVolume(type); }

void Interface::SetMidiSource(int source) {
    if (source < -1) {
        throw std::out_of_range("Interface::SetMidiSource: no MIDI source has index " + std::to_string(source));
    }
    std::lock_guard lock(mutex_);
    midiSource_ = source;
}

int Interface::GetMidiSource() const {
    std::lock_guard lock(mutex_);
    return midiSource_;
}
