#include <brix_player_core/Player.h>

#include <brix_player_core/ShowControl.h>

#include <brix_core/GuiDispatcher.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

Player::Player(const std::string& name)
    : name_(name),
      volumes_{{brix_audio::VolumeType::Master, 1.0}, {brix_audio::VolumeType::User, 1.0}} {}

Player::~Player() = default;

PlayerState Player::GetPlayerState() const { return static_cast<PlayerState>(state_.load()); }

void Player::SetPlayerState(PlayerState state) { state_.store(static_cast<int>(state)); }

bool Player::IsPlaying() const { return GetPlayerState() == PlayerState::Playing; }

void Player::SetActiveSongNumber(const std::string& songNumber) { activeSongNumber_.Set(songNumber); }

void Player::Fade(std::function<void()> onDone, float seconds) { FadeTo(std::move(onDone), seconds, 0.0f); }

void Player::FadeTo(std::function<void()> onDone, float seconds, float targetPercent) {
    fader_.Start(targetPercent, seconds, std::move(onDone));
}

void Player::SetVolume(double gain) { SetVolume(gain, brix_audio::VolumeType::Master); }

void Player::SetVolume(double gain, brix_audio::VolumeType type) {
    if (std::isnan(gain)) {
        throw std::invalid_argument("Player::SetVolume: the volume is not a number");
    }
    std::lock_guard lock(mutex_);
    volumes_[type] = std::clamp(gain, 0.0, 1.0);
}

double Player::GetVolume() { return GetVolume(brix_audio::VolumeType::Master); }

double Player::GetVolume(brix_audio::VolumeType type) {
    std::lock_guard lock(mutex_);
    const auto found = volumes_.find(type);
    return found != volumes_.end() ? found->second : 1.0;
}

double Player::GetVolumeGain() const {
    double gain = 1.0;
    std::lock_guard lock(mutex_);
    for (const auto& [type, volume] : volumes_) {
        gain *= volume;
    }
    return gain;
}

double Player::GetOutputGain(double secondsAhead) const {
    return GetVolumeGain() * fader_.GetLevelAfter(secondsAhead) / 100.0;
}

void Player::SeekToPreviousMeasure() {
    ShowControl& showControl = GetShowControl();
    const auto previous = showControl.GetPreviousMeasureTickIndex(showControl.GetListenerTickIndex());
    Seek(previous ? *previous : showControl.GetStartTickIndex());
}

void Player::SeekToNextMeasure() {
    ShowControl& showControl = GetShowControl();
    const auto next = showControl.GetNextMeasureTickIndex(showControl.GetListenerTickIndex());
    if (next) {
        Seek(*next);
    }
}

void Player::SetAttaccaState(const std::string& songNumber, unsigned char state) {
    GetShowControl().SetAttaccaState(songNumber, state);
}

unsigned int Player::GetMinStartTickIndex() { return GetShowControl().GetMinStartTickIndex(); }

void Player::FlowControlExit() {
    ShowControl& showControl = GetShowControl();
    if (IsPlaying()) {
        showControl.FlowControlExit(showControl.GetTickIndex());
        return;
    }
    const auto skipEnd = showControl.FlowControlExit(showControl.GetListenerTickIndex());
    if (skipEnd) {
        Seek(*skipEnd);
    }
}

void Player::Continue() {
    if (GetPlayerState() == PlayerState::Paused) {
        Play();
    }
}

void Player::CancelFade() { fader_.SetLevel(100.0); }

void Player::SetOutputDeviceUid(const std::string& uid) {
    std::lock_guard lock(mutex_);
    outputDeviceUid_ = uid;
}

std::string Player::GetOutputDeviceUid() {
    std::lock_guard lock(mutex_);
    return outputDeviceUid_;
}

void Player::ResetPlayerNoFillBuffers() {
    ShowControl& showControl = GetShowControl();
    const unsigned int start = showControl.GetStartTickIndex();
    showControl.ResetCaesuraState(start);
    showControl.Seek(start);  // also puts the GUI updater there
    stopKeepsPosition_.store(false);
}

bool Player::HasPendingCaesura() { return GetShowControl().HasPendingCaesura(); }

bool Player::CurrentSongIsAttacca() { return GetShowControl().CurrentSongIsAttacca(); }

void Player::GUINotifyCaesura() { notify::guiDispatcher.SendCaesura(GetShowControl().GetCaesuraTickIndex()); }

bool Player::GetJump() { return GetShowControl().GetJump(); }

void Player::ClearJump() { GetShowControl().ClearJump(); }

bool Player::GetJumpForVampRepeatOrCut() { return GetShowControl().GetJumpForVampRepeatOrCut(); }

bool Player::GetFermataCanceledCaesura() { return GetShowControl().GetFermataCanceledCaesura(); }
