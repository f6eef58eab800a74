#pragma once

#include <brix_player_core/ShowControl.h>

#include "ChannelVolumeGain.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>

class HowToPlay;
class HowToPlayWithMidiClock;
class MidiBuffer;
class MidiClock;
class MidiStream;
class MidiStreamCollection;
class UserControls;

// MidiShowControl: the song position in MIDI terms. It fills every buffer the output asks for with the
// current song's stream events along the road through the song (jumps, caesuras, attacca songs),
// advancing one MIDI clock per buffer through the song's position model, keeps the MIDI clock in step
// on loads, jumps and caesuras, and runs the conductor protocol (conductor mode, idle, pickup beat).
// A derived class supplies the stream collection and the position model; this class loads each song's
// log into the model.
//
// Owner: the product's player, built with the player's active song number, the show data, the
// player's user controls and clock, and three player operations (next attacca song, stop at a
// caesura, re-arm for the conductor). All of them must outlive it; the player is shut down (its output
// threads ended) before this object is destroyed.
// Threads: FillMidiBuffer runs on the output's queue thread (and on the player's thread while
// priming); CheckCaesura on the clock thread; the hit_caesura and statusPulse notices on the
// notifier's threads; everything else on the player's threads.
// Locks: the show-control lock (the base's recursive mutex) guards the position, the model, the
// current stream pointer and the conductor flags. It is released around every call that may take
// other locks or call back: the callbacks, the clock's arming, fermata expiry, the control-event
// search, stream filling; a buffer's lock is never taken while it is held. The stream lock guards the
// current stream's own state (its cursors move on the filler and on seeks): every stream call holds it
// and calls nothing else; a filler takes the buffer's lock before it. Order: player lock, output lock,
// buffer lock, show-control lock, stream lock, clock lock.
class MidiShowControl : public ShowControl {
public:
    MidiShowControl(ActiveSongNumber& activeSongNumber, brix_midi::ShowData& showData, UserControls& userControls,
                    MidiClock& clock, std::function<bool()> nextAttaccaSong, std::function<bool()> stopAtCaesura,
                    std::function<void()> rearmForConductor);
    ~MidiShowControl() override;

    // Also resets the buffer ticks, the pickup beat and the conductor flags.
    bool FullReset() override;
    bool GetConductorMode() override;
    // The base's values rounded down to a MIDI clock.
    unsigned int GetEndTickIndex() override;
    unsigned int GetStartTickIndex() override;
    // Loads the active song with its stream and puts the clock at its start. Throws HowToPlayException
    // for a song whose resolution is not a positive multiple of 24 ticks per quarter note (it could not
    // be played in whole ticks per MIDI clock), and whatever the song, its log or its stream lookup
    // throws; on every failure the previous song stays loaded where it was.
    void LoadSong() override;
    void NotifyNewChangeLog() override;
    // The position becomes the clock-aligned caesura tick, where playback continues.
    void OnCaesuraStop() override;
    // A user's seek; see the algorithm in the source. False when it landed on a caesura.
    bool Seek(unsigned int tick) override;
    void ReceivedSeekFromUser() override;
    virtual HowToPlay& GetHowToPlay();
    virtual unsigned int GetFirstCaesuraStackTickIndex();
    // The base's log, then the song's data into the position model and the ticks per clock to the
    // clock.
    void FinishLoadingSongLog_() override;
    virtual unsigned int GetCaesuraTickIndexAlignedWithClock(unsigned int tick);
    // Called with the show-control lock held (in lock): the jump moves the stream, the model and, at
    // the tick the jump leaves from, the clock.
    void SetJump(unsigned int tick, const fennic::LockInterface& lock, bool userSeek) override;
    virtual void DoExtraBufferSettings_(MidiBuffer& buffer);
    virtual MidiStreamCollection& GetMidiStreamCollection() = 0;
    virtual HowToPlayWithMidiClock& GetHowToPlayWithMidiClock() = 0;

    // The output's fill callback: one MIDI clock of the song into buffer (queue thread).
    void FillMidiBuffer(MidiBuffer& buffer);
    // The output's caesura check: whether playback stops after the buffer of tick (clock thread).
    bool CheckCaesura(unsigned int tick);
    // Not in conductor mode and a caesura is pending.
    bool ShouldStopForCaesura();

    // Arms the clock at the position the ring is primed from; turns conductor mode and idle on.
    void ArmPlayback();

    // Forwarded to the current stream (which must be loaded).
    MidiStream& GetCurrentMidiStream();
    void FollowMidiProgramChanges();
    void SendAllNotesOffForMutedTracks();
    void SetUserProgramChange(unsigned short track, unsigned char program);
    void SetUserProgramChanges(const std::map<unsigned short, unsigned char>& programs);
    std::map<unsigned short, std::string> GetTrackNamesByTrackId();
    void SetMutedTracks(const std::map<unsigned short, bool>& muted);
    void SetTrackIsMuted(unsigned short track, bool muted);

    // Forwarded to the position model.
    void SetHighSpeed();
    int GetClockNumber();
    int GetClockNumberAtTickIndex(unsigned int tick);
    double GetClockTime();

    bool GetConductorModeIdle();
    void SetConductorModeIdle(bool idle);
    // Switching it off also clears the pickup beat on the GUI.
    void SetConductorMode(bool on);
    bool IsWaitingForConductor();
    // Returns the flag and clears it.
    bool GetHitCaesuraInAutoPilot();

    void SendExpectsPickupBeat(int count);
    void ClearExpectsPickupBeat();

    // The gain on channel volume: set from VolumeAtTick for each buffer filled; the streams of a
    // derived show control scale by it.
    ChannelVolumeGain& GetChannelVolumeGain() { return channelVolumeGain; }
    // A channel volume sent outside the song (the mixer's): the value to send, scaled by the gain at
    // the listener's tick, and remembered for the track.
    unsigned char ScaleChannelVolume(unsigned short track, unsigned char level);

    // The song's ticks per quarter note / 24.
    unsigned int GetTicksPerClock();
    bool SeekForLoadSong(unsigned int tick);

protected:
    // Moves the position by one window (ticks 0: one MIDI clock). False at the song's end: when the
    // window would start past the song's last tick (the window holding the last tick is played).
    bool AdvanceClock(unsigned int ticks);
    // Stops the clock at the caesura at tick; returns the clock-aligned tick.
    unsigned int ProcessCaesura(unsigned int tick);

private:
    using Lock = std::unique_lock<std::recursive_mutex>;

    // One pass of AdvanceClock; sets *again when the window must be walked once more with *ticks.
    bool AdvanceClockOnce_(unsigned int* ticks, bool* again);
    // Runs the expiry of the first loop event when it falls inside [current, target); true when the
    // position was moved by it (the window then starts again).
    bool ExpireLoopEventInWindow_(Lock& lock, unsigned int target);
    // The model, the stream and the clock at the current tick, after the position moved other than by
    // advancing. The model's last-seek values and armTickIndex then describe where the next priming
    // starts.
    void SyncToCurrentTickIndex_(Lock& lock);
    // The loaded song's timeline and log into the position model, its ticks per clock to the clock.
    void LoadSongIntoModel_();
    void ProcessHitCaesura();
    void ProcessConductorPulse();
    void ClearPickupBeat_(Lock& lock);

    MidiClock& clock;
    UserControls& userControls;
    MidiStream* currentStream = nullptr;
    unsigned int ticksPerClock = 1;
    unsigned int lastBufferTickIndex = 0;
    unsigned int caesuraBufferTickIndex = 0;
    bool expectsPickupBeat = false;
    int pickupBeatCountdown = 0;
    std::function<bool()> nextAttaccaSong;
    std::function<bool()> stopAtCaesura;
    std::function<void()> rearmForConductor;
    bool conductorMode = false;
    bool conductorModeIdle = false;
    bool hitCaesuraInAutoPilot = false;
    // The tick the model was last put at (not advanced to): where playback is armed.
    unsigned int armTickIndex = 0;
    std::mutex streamMutex;
    ChannelVolumeGain channelVolumeGain;
};
