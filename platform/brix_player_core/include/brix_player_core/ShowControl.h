#pragma once

#include <brix_player_core/ActiveSongNumber.h>
#include <brix_player_core/SongRoad.h>

#include <brix_core/ChangeLog.h>
#include <brix_core/SongData.h>

#include <fennic/Lock.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A step the operator asked for, carried out by the thread that walks the song when playback reaches
// its tick. Kind 'M' (the fermata code): leave the skip that holds the tick.
struct LoopEvent {
    std::uint32_t tick = 0;
    char kind = 0;
};

// The loop events waiting to be carried out, oldest first. Guarded by the show-control lock.
class LoopEventList {
public:
    std::size_t GetSize() const { return events_.size(); }
    // Throws std::out_of_range when the list is empty.
    LoopEvent& GetFirstLoopEvent();
    const LoopEvent& GetFirstLoopEvent() const;
    void Add(const LoopEvent& event) { events_.push_back(event); }
    void RemoveFirst();
    void Clear() { events_.clear(); }

private:
    std::deque<LoopEvent> events_;
};

// One caesura ahead of the position (an element of the caesura stack).
class CountdownCaesura {
public:
    explicit CountdownCaesura(std::uint32_t tick) : tick_(tick) {}
    std::uint32_t GetTickIndex() const { return tick_; }

private:
    std::uint32_t tick_;
};

// What FindNextControlEventOnAdvance / FindNextControlEventOnSeek found. At most one of the four
// flags of an advance is set.
struct ControlEventResult {
    bool caesuraReached = false;  // the current tick is now the caesura's; it is pending
    bool jumpReached = false;     // playback leaves at jumpFromTickIndex for eventTick
    bool rescan = false;          // a loop event fell due meanwhile: start the advance over
    bool eventInside = false;     // a range starts or ends at eventTick inside the window
    std::uint32_t eventTick = 0;  // caesura tick, jump target, or tick of the event inside; after
                                  // a seek search: the tick where playback lands
    std::uint32_t jumpFromTickIndex = 0;
};

// ShowControl: the player engine's song position and the road through the current song. It loads
// the active song from the show data and its change log from the active change log, keeps the current
// tick index, and decides where playback goes next. A derived class (the MIDI show control) walks the
// song window by window on the engine's filling thread and calls, per window:
//   ProcessLoopEventsAtCurrentTickIndex(); FindNextControlEventOnAdvance(from, to); then acts on
//   GetControlEventResult(): caesura -> stop (the current tick is the caesura's); jump ->
//   FindNextControlEventOnSeek(eventTick, false) and SetJump(GetControlEventResult().eventTick, ...);
//   rescan -> start over; event inside -> SetCurrentTickIndex(eventTick) and walk the rest; none ->
//   SetCurrentTickIndex(to).
//
// The road (ranges are [start, end) in ticks; "at tick p" means: before tick p is played):
// - Cut: at its start playback jumps to its end; the range is never played. A seek or a jump into a
//   cut lands at its end (following cuts that end inside other cuts).
// - Repeat, count n (below 1 counts as 1): played n times; at its end, while passes are left, playback
//   goes back to its start, then on past the end.
// - Vamp, count n (0: endless): as a repeat of n passes, or endless; FlowControlExit inside it
//   releases it, and it then ends at its next end. While inside, the flow-control state is "Vamp".
// - Skip (the fermata event): played unless the operator leaves it: FlowControlExit inside it jumps to
//   its end at once (and cancels a pending caesura). While inside, the flow-control state is "Skip".
// - Caesura: playback stops before its tick (the caesura becomes pending); after OnCaesuraStop the
//   position is the caesura's tick and Continue plays on from it, the caesura not stopping it again.
//   The flow-control state stays "Caesura" while playback is held there (the filler may already have
//   walked on), until the player plays on (ReleaseHeldCaesura) or a seek, reset or fermata exit takes
//   the caesura away.
// - A repeat or vamp counts passes only once entered: by playing across its start, by a jump to its
//   start, or by a user's seek into it (the partial pass counts as the first). A jump along the road
//   that lands inside a range it did not enter at the start plays through it without looping, and a
//   jump that lands outside an entered range leaves it (its passes start again next time). So nested
//   ranges multiply (an inner repeat of 2 inside an outer repeat of 2 plays 4 times) and overlapping
//   ones always end.
// - At one tick: ranges that end there act first, the innermost (latest start) first; then a caesura;
//   then ranges that start there (a cut there jumps). So a range may start where another ends, and a
//   caesura at a cut's start stops before the cut is jumped.
// - A seek starts a fresh road (passes, releases and waiting loop events are forgotten). A seek or a
//   jump that lands on a caesura makes it pending (Seek returns false): playback stops there; only a
//   seek to the road's start (where a song begins anyway) does not stop at a caesura there.
// - A position is always within [song start, song end]; the road's start is the song's start moved
//   past a cut that holds it.
//
// Owner: the player (the product's derived player creates its show control with the player's active
// song number and the show data, which outlive it).
// Threads: the filling thread walks; the transport (operator) threads seek, load and ask. Every public
// operation takes the show-control lock (a recursive mutex) for its run; GUI notices (flow-control
// state) are sent after it is released when the caller does not hold it. SetJump is called with the
// lock held and may release it around calls out through the LockInterface.
class ShowControl {
public:
    ShowControl(ActiveSongNumber& activeSongNumber, brix_midi::ShowData& showData);
    virtual ~ShowControl();

    ShowControl(const ShowControl&) = delete;
    ShowControl& operator=(const ShowControl&) = delete;

    // Forgets the road, the loop events, the jump and the caesura state and goes to the road's start.
    // False when no song is loaded (nothing to reset).
    virtual bool FullReset();
    virtual bool GetConductorMode() = 0;
    // The song's last tick index.
    virtual unsigned int GetEndTickIndex();
    // The road's start (see above).
    virtual unsigned int GetStartTickIndex();
    // Loads the song of the active song number (throws std::out_of_range when the show has none) with
    // its log from the active change log (an empty log when the change log has no such song), and
    // goes to the road's start without a seek. A failure leaves the loaded song and position as they
    // were.
    virtual void LoadSong();
    // The active change log changed: takes the current song's log anew and forgets the road.
    virtual void NotifyNewChangeLog();
    // The output stopped at the pending caesura: the position becomes the caesura tick and the
    // caesura is no longer pending.
    virtual void OnCaesuraStop();
    // Puts the GUI updater (when one is installed) at the current tick, dropping queued positions.
    virtual void ResetGuiUpdate();
    // A user's seek. Returns false when the landing tick holds a caesura (now pending). Tells the
    // installed GUI updater the landing tick.
    virtual bool Seek(unsigned int tick);
    // The linear gain (0 to 1) for what sounds at tick: the volume source's gain at the moment tick
    // is heard, estimated from the listener's tick (the one-argument form: GetListenerTickIndex())
    // along the song's tempo map, at most kVolumeLookAheadSeconds ahead; a tick the listener has
    // passed counts as now. 1.0 while no volume source is set.
    virtual double VolumeAtTick(unsigned int tick);
    virtual double VolumeAtTick(unsigned int tick, unsigned int listenerTick);
    virtual void ReceivedSeekFromUser() = 0;
    // Forgets the road's passes and releases, the loop events, the jump and the caesura state.
    virtual void ResetControlVariables();
    // Ticks from the current tick to the top of the caesura stack; -1 when no caesura is ahead.
    virtual int GetCaesuraCountdown();
    // Takes the current song's log from the active change log.
    virtual void FinishLoadingSongLog_();
    // Takes the song's start and end from the song data.
    virtual void LoadStartAndEndTickIndices();
    // Call with the show-control lock held (wrapped in lock), after FindNextControlEventOnSeek: the
    // current tick becomes tick and a jump is recorded (GetJump, the target, the tick it left from).
    virtual void SetJump(unsigned int tick, const fennic::LockInterface& lock, bool userSeek);

    unsigned int GetTickIndex() const;
    // The song's own start tick (before any cut).
    unsigned int GetMinStartTickIndex() const;
    // The tick the listener hears: the installed GUI updater's, else the current tick.
    unsigned int GetListenerTickIndex() const;
    // The last marker before the listener's tick, else the road's start.
    unsigned int GetSeekLeft() const;
    // The first marker after the listener's tick; throws brix_ext::NoNextMarker when there is none.
    unsigned int GetSeekRight() const;
    // The first bar start after tick / the last one before it (bars: beat 1 of the timeline).
    std::optional<unsigned int> GetNextMeasureTickIndex(unsigned int tick) const;
    std::optional<unsigned int> GetPreviousMeasureTickIndex(unsigned int tick) const;
    // Seconds of score time from tick 0 to tick along the song's tempo map (no tempo scale).
    double ConvertTickIndexToSeconds(unsigned int tick) const;
    // (seconds at tick, seconds one MIDI clock later): the time code of a buffer and of the next.
    std::pair<double, double> GetTimeCodeSecondsPair(unsigned int tick) const;

    // Before a user's seek to tick: no caesura is pending or reached, and the caesura tick is tick.
    void ResetCaesuraState(unsigned int tick);
    bool HasPendingCaesura() const;
    bool HasCaesuraAtTickIndex(unsigned int tick) const;
    unsigned int GetCaesuraTickIndex() const;
    // The caesura is handled elsewhere (a conductor took it over): it is no longer pending.
    void ClearPendingCaesura();
    // Playback goes on from a caesura it was held at: the flow-control state leaves "Caesura".
    void ReleaseHeldCaesura();
    std::vector<CountdownCaesura> GetCaesuraStack() const;

    bool GetJump() const;
    void ClearJump();
    // Whether the recorded jump was made by a vamp, a repeat or a cut (not by leaving a skip).
    bool GetJumpForVampRepeatOrCut() const;
    // Whether leaving a skip cancelled a pending caesura since the last call; reading clears it.
    bool GetFermataCanceledCaesura();
    unsigned int GetLastJumpTargetTickIndex() const;
    unsigned int GetPreJumpTickIndex() const;
    unsigned int GetLastSeekTickIndex() const;

    // Attacca of the current song: the state set for it (1: attacca, any other: not), else the song
    // data's flag.
    bool CurrentSongIsAttacca() const;
    void SetAttaccaState(const std::string& songNumber, unsigned char state);

    // The operator's flow-control exit at tick: releases the innermost vamp that holds it, or, for a
    // skip, queues its exit for the walking thread and returns the skip's end.
    std::optional<unsigned int> FlowControlExit(unsigned int tick);
    FlowControlState GetFlowControlState() const;

    // Bounds the look-ahead of VolumeAtTick (the output fills ahead of what sounds by a few clocks).
    static constexpr double kVolumeLookAheadSeconds = 0.25;
    // The gain the output plays at a number of seconds from now (the player's volumes and fade); called
    // without the show-control lock held. Empty: full level.
    void SetVolumeSource(std::function<double(double secondsAhead)> source);

    // OSC cues: the trigger is called with each window played, (first tick, last tick, delay in
    // milliseconds), by TriggerOsc_ while one is set (the OSC-trigger flag).
    void SetOscTrigger(std::function<void(unsigned int, unsigned int, unsigned int)> trigger);
    bool GetOscTriggerFlag() const;
    void TriggerOsc_(unsigned int fromTick, unsigned int toTick, unsigned int delayMilliseconds);

    // Carries out the first loop event: leaving a skip (when the position is still in it) jumps to its
    // end through SetJump and sets the restart flag. Call without the lock held.
    void DoExpireFermata();
    // Carries out every loop event whose tick is at or before the current tick.
    void ProcessLoopEventsAtCurrentTickIndex();
    // Whether the last DoExpireFermata moved the position.
    bool GetRestartFlag() const;
    LoopEventList GetLoopEvents() const;
    // Moves a waiting loop event to a later tick (e.g. the next MIDI clock).
    void MoveFirstLoopEvent(unsigned int tick);

    void FindNextControlEventOnAdvance(unsigned int fromTick, unsigned int toTick);
    // Where playback lands at tick (cuts followed, caesura made pending); a user's seek (userSeek)
    // also starts a fresh road. The landing tick is the result's eventTick.
    void FindNextControlEventOnSeek(unsigned int tick, bool userSeek);
    ControlEventResult GetControlEventResult() const;

    std::recursive_mutex& GetShowControlMutex() const { return mutex_; }

protected:
    // The walker moves the position (window ends, events inside a window, aligned caesura ticks).
    void SetCurrentTickIndex(unsigned int tick);
    // The walker aligns the caesura tick (to its clock) before OnCaesuraStop.
    void SetCaesuraTickIndex(unsigned int tick);
    ActiveSongNumber& GetActiveSongNumber() const { return activeSongNumber_; }
    brix_midi::ShowData& GetShowData() const { return showData_; }
    // The loaded song; null before LoadSong.
    std::shared_ptr<const brix_midi::SongData> GetSongData() const;
    const CL::SongLog& GetSongLog() const { return songLog_; }
    // Ticks of one MIDI clock: the song's resolution / 24, at least 1.
    unsigned int GetTicksPerClockOfSong() const;

    // What LoadSong replaces: the song, its log, its road and the position. LoadSong restores it
    // when it fails; a derived LoadSong that fails after the base's part restores it the same way.
    struct LoadedSongState {
        std::shared_ptr<const brix_midi::SongData> song;
        CL::SongLog songLog;
        SongRoad road;
        unsigned int songStartTick = 0;
        unsigned int songEndTick = 0;
        unsigned int tick = 0;
        unsigned int lastSeekTick = 0;
    };
    LoadedSongState GetLoadedSongState_() const;
    void RestoreLoadedSongState_(const LoadedSongState& state);

private:
    // Under the lock: a fresh road from its start, nothing pending.
    void GoToRoadStart_();
    void UpdateFlowControlState_();
    void PublishFlowControlState_();

    ActiveSongNumber& activeSongNumber_;
    brix_midi::ShowData& showData_;
    mutable std::recursive_mutex mutex_;

    std::shared_ptr<const brix_midi::SongData> song_;
    CL::SongLog songLog_;
    SongRoad road_;
    std::map<std::string, unsigned char> attaccaStates_;
    unsigned int songStartTick_ = 0;
    unsigned int songEndTick_ = 0;

    unsigned int tick_ = 0;
    unsigned int lastSeekTick_ = 0;
    bool jump_ = false;
    bool jumpByVampRepeatOrCut_ = false;
    std::optional<unsigned int> jumpFrom_;
    unsigned int lastJumpTarget_ = 0;
    unsigned int preJumpTick_ = 0;
    bool pendingCaesura_ = false;
    // Stopped at the caesura (after OnCaesuraStop) and not played on yet.
    bool heldAtCaesura_ = false;
    unsigned int caesuraTick_ = 0;
    bool fermataCanceledCaesura_ = false;
    bool restart_ = false;
    LoopEventList loopEvents_;
    ControlEventResult result_;
    std::function<void(unsigned int, unsigned int, unsigned int)> oscTrigger_;
    std::function<double(double)> volumeSource_;

    FlowControlState flowState_;
    std::optional<FlowControlState> flowStateToSend_;
};
