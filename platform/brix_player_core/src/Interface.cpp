#include <brix_player_core/Interface.h>

#include <brix_player_core/GuiUpdate.h>
#include <brix_player_core/Player.h>
#include <brix_player_core/ShowControl.h>

#include <brix_core/EventObserver.h>
#include <brix_core/GuiDispatcher.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

Interface::Interface(const std::string& showDirectory, const std::string& second)
    : showDirectory_(showDirectory), second_(second) {}

Interface::~Interface() = default;

void Interface::Play() { GetPlayer().Play(); }

void Interface::Stop() {
    GetPlayer().Stop();
    notify::guiDispatcher.SendPlaybackStopped();
}

void Interface::Continue() { GetPlayer().Continue(); }

void Interface::Pause(bool fadeCompleted) {
    GetPlayer().Pause();
    if (fadeCompleted) {
        CancelFade();
    }
}

void Interface::NextSong() { GetPlayer().NextSong(); }

void Interface::PrevSong() { GetPlayer().PreviousSong(); }

void Interface::FlowControlExit() { GetPlayer().FlowControlExit(); }

bool Interface::GetIsPlaying() { return GetPlayer().GetPlayerState() == PlayerState::Playing; }

bool Interface::GetIsPaused() { return GetPlayer().GetPlayerState() == PlayerState::Paused; }

bool Interface::GetIsFaded() { return faded_.load(); }

bool Interface::IsStopped() { return GetPlayer().GetPlayerState() == PlayerState::Stopped; }

void Interface::Fade(std::function<void()> onComplete, float seconds) { FadeTo(std::move(onComplete), seconds, 0.0f); }

void Interface::FadeTo(std::function<void()> onComplete, float seconds, float target) {
    faded_.store(false);
    GetPlayer().FadeTo(
        [this, onComplete = std::move(onComplete)] {
            faded_.store(true);
            if (onComplete) {
                onComplete();
            }
        },
        seconds, target * 100.0f);
    notify::SendEngineEvent(notify::EngineEvent::PlaybackFading);
}

void Interface::CancelFade() {
    GetPlayer().CancelFade();
    faded_.store(false);
}

unsigned int Interface::GetTickIndex() { return GetPlayer().GetShowControl().GetListenerTickIndex(); }

void Interface::Seek(unsigned int tick) {
    ShowControl& showControl = GetPlayer().GetShowControl();
    const unsigned int start = showControl.GetMinStartTickIndex();
    const unsigned int end = showControl.GetEndTickIndex();
    if (tick > static_cast<unsigned int>(std::numeric_limits<int>::max())) {
        tick = start;
    }
    GetPlayer().Seek(std::clamp(tick, start, std::max(start, end)));
}

void Interface::SeekToNextMeasure() { GetPlayer().SeekToNextMeasure(); }

void Interface::SeekToPreviousMeasure() { GetPlayer().SeekToPreviousMeasure(); }

void Interface::SeekRight() { GetPlayer().SeekRight(); }

void Interface::SeekLeft() { GetPlayer().SeekLeft(); }

void Interface::LoadSongAtTime(const std::string& songNumber, unsigned int tick) {
    LoadSong(songNumber);
    Seek(tick);
}

std::string Interface::GetCurrentSongNumber() { return GetPlayer().GetActiveSongNumber().Get(); }

void Interface::LoadSong(const std::string& songNumber) { GetPlayer().LoadSong(songNumber); }

unsigned int Interface::GetMinStartTickIndex() { return GetPlayer().GetMinStartTickIndex(); }

std::string Interface::GetChangelogFilename() { return second_; }

void Interface::SetTempoScale(double tempoScale) { GetPlayer().SetTempoScale(tempoScale); }

void Interface::SetTransposition(int semitones) { GetPlayer().SetTransposition(semitones); }

void Interface::UpdateOnce() {
    if (gui::HasGuiUpdate()) {
        gui::GetGuiUpdate().UpdateOnce();
    }
}

void Interface::SetOutputDeviceUid(const std::string& uid) { GetPlayer().SetOutputDeviceUid(uid); }

std::string Interface::GetOutputDeviceUid() { return GetPlayer().GetOutputDeviceUid(); }

void Interface::SetVolume(double gain) { SetVolume(gain, brix_audio::VolumeType::Master); }

void Interface::SetVolume(double gain, brix_audio::VolumeType type) {
    GetPlayer().SetVolume(gain, type);
    notify::SendEngineEvent(notify::EngineEvent::StatusVolume,
                            static_cast<int>(std::lround(GetPlayer().GetVolumeGain() * 1000.0)));
}

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
