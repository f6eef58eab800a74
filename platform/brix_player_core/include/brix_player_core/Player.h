#pragma once

#include <brix_player_core/ActiveSongNumber.h>
#include <brix_player_core/Fader.h>
#include <brix_player_core/PlayerOutputInterface.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>

class ShowControl;

enum class PlayerState : int {
    Stopped = 1,
    Playing = 2,
    Paused = 4,  // also the state at a caesura stop
};

// Player: the base of the engine's transport. It keeps the player state, the active song number, the
// volumes with the fader, the output device, the one-shot stop flag, and carries out what needs only
// the show control: continuing, stepping by measures, the flow-control exit, caesura and jump queries.
// A derived player supplies the show control, the transport itself (play, pause, stop, seek, songs)
// and the output.
// Threads: the transport (operator) threads and the engine's threads. State, stop flag: atomics.
// A fade's callback runs on the fader's thread until the Player base is destroyed: a derived player
// whose parts a callback may reach calls CancelFade first in its destructor.
// Lock: the base's own lock (a recursive mutex) guards the volumes and the output device; a derived
// player may take it together with its own lock (std::lock). The active song number has its own guard.
class Player : public virtual brix_audio::PlayerOutputInterface {
public:
    explicit Player(const std::string& name);
    ~Player() override;

    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    const std::string& GetName() const { return name_; }
    PlayerState GetPlayerState() const;
    void SetPlayerState(PlayerState state);
    bool IsPlaying() const;
    void SetActiveSongNumber(const std::string& songNumber);
    ActiveSongNumber& GetActiveSongNumber() { return activeSongNumber_; }

    // The derived player's transport.
    virtual void EnsureGuiIsCurrent() = 0;
    virtual double GetElapsedSeconds() = 0;
    virtual ShowControl& GetShowControl() = 0;
    virtual double GetTotalDurationSeconds() = 0;
    virtual bool GetOutputShouldRun() = 0;
    virtual void LoadSong(const std::string& songNumber) = 0;
    // True when there was no next song.
    virtual bool NextSong() = 0;
    virtual void Pause() = 0;
    // Fades the output level to silence over seconds; onDone runs once at the end (on the fader's
    // thread). A new fade replaces a running one.
    virtual void Fade(std::function<void()> onDone, float seconds);
    // Fades to targetPercent of the full level.
    virtual void FadeTo(std::function<void()> onDone, float seconds, float targetPercent);
    virtual void PreviousSong() = 0;
    // Volumes as linear gains (1.0: full level), clamped to [0, 1]; a value that is not a number
    // throws std::invalid_argument. Without a type: the master volume.
    virtual void SetVolume(double gain);
    virtual void SetVolume(double gain, brix_audio::VolumeType type);
    virtual double GetVolume();
    virtual double GetVolume(brix_audio::VolumeType type);
    virtual void Seek(unsigned int tick) = 0;
    virtual void SeekLeft() = 0;
    virtual void SeekRight() = 0;
    // Seeks to the last bar start before the listener's tick, else to the road's start.
    virtual void SeekToPreviousMeasure();
    // Seeks to the first bar start after the listener's tick; nothing when there is none.
    virtual void SeekToNextMeasure();
    // The attacca state of a song (1: attacca), kept by the show control.
    virtual void SetAttaccaState(const std::string& songNumber, unsigned char state);
    virtual unsigned int GetMinStartTickIndex();
    virtual void SetTempoScale(double tempoScale) = 0;
    virtual void SetTransposition(int semitones) = 0;
    virtual void PrepareForExit() = 0;
    virtual void Shutdown() = 0;
    virtual void Stop() = 0;
    virtual void StopAndReset() = 0;
    // While playing: leaves the skip or releases the vamp the walking position is in. Otherwise: at
    // the listener's tick, releases the vamp there, or seeks to the end of the skip there.
    virtual void FlowControlExit();
    // When paused (by the operator or at a caesura): plays on from the position.
    virtual void Continue();
    virtual void SetTimeCodeCallback(std::function<void(double, double, double)> callback) = 0;
    virtual void SetFullFrameTimeCodeCallback(std::function<void(double)> callback) = 0;
    // Ends a fade and puts the fade level back to full.
    virtual void CancelFade();
    virtual void SetOutputDeviceUid(const std::string& uid);
    virtual std::string GetOutputDeviceUid();

    // The gain of the volumes: master × user.
    double GetVolumeGain() const;
    // The gain the output plays at secondsAhead from now: master × user × the fade level then (a
    // running fade is followed along its course).
    double GetOutputGain(double secondsAhead) const;

    // Through the output interface: the show control's answers.
    bool HasPendingCaesura() override;
    bool CurrentSongIsAttacca() override;
    // Sends the caesura tick to the GUI.
    void GUINotifyCaesura() override;
    bool GetJump() override;
    void ClearJump() override;
    bool GetJumpForVampRepeatOrCut() override;
    bool GetFermataCanceledCaesura() override;

    // The show control back at the road's start with no caesura state and the GUI there; the
    // buffers are not refilled.
    virtual void ResetPlayerNoFillBuffers();

protected:
    virtual void DoSeek_(unsigned int tick) = 0;

    std::recursive_mutex& GetPlayerBaseMutex() { return mutex_; }
    // The one-shot stop flag: the next Stop keeps the position where it is. Take tests and clears it.
    void SetStopKeepsPosition() { stopKeepsPosition_.store(true); }
    bool TakeStopKeepsPosition() { return stopKeepsPosition_.exchange(false); }

private:
    const std::string name_;
    std::atomic<int> state_{static_cast<int>(PlayerState::Stopped)};
    std::atomic<bool> stopKeepsPosition_{false};
    ActiveSongNumber activeSongNumber_;
    mutable std::recursive_mutex mutex_;
    std::map<brix_audio::VolumeType, double> volumes_;
    std::string outputDeviceUid_;
    Fader fader_;
};
