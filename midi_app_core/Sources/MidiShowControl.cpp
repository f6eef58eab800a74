#include "MidiShowControl.h"

#include "HowToPlayException.h"
#include "HowToPlayWithMidiClock.h"
#include "MidiBuffer.h"
#include "MidiClock.h"
#include "MidiStream.h"
#include "MidiStreamCollection.h"
#include "UserControls.h"

#include <brix_player_core/GuiUpdate.h>

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/EventCodes.h>
#include <brix_core/GuiDispatcher.h>
#include <brix_core/NotifyNames.h>
#include <fennic/CoutBuffer.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace {

// A window is walked again after a jump, a rescan or an event inside it. A road whose jumps never
// leave a window would walk it for ever: the walk gives up after this many passes (with a warning)
// and the next buffer tries again, so the queue thread never spins.
constexpr int kMaxWindowPasses = 64;

using StreamGuard = std::lock_guard<std::mutex>;
using BufferGuard = std::lock_guard<std::recursive_mutex>;

// The streams take a transposition as a signed byte: one beyond it is clamped, never wrapped (a
// wrapped +200 would transpose 56 semitones down).
signed char StreamTransposition(int semitones)
{
    return static_cast<signed char>(std::clamp(semitones, -127, 127));
}

}  // namespace

MidiShowControl::MidiShowControl(ActiveSongNumber& activeSongNumber, brix_midi::ShowData& showData,
                                 UserControls& userControls, MidiClock& clock,
                                 std::function<bool()> nextAttaccaSong, std::function<bool()> stopAtCaesura,
                                 std::function<void()> rearmForConductor)
    : ShowControl(activeSongNumber, showData),
      clock(clock),
      userControls(userControls),
      nextAttaccaSong(std::move(nextAttaccaSong)),
      stopAtCaesura(std::move(stopAtCaesura)),
      rearmForConductor(std::move(rearmForConductor))
{
    notify::callbackDispatcher.AddCallback(this, notify::names::hit_caesura, [this](void*) { ProcessHitCaesura(); });
    notify::callbackDispatcher.AddCallback(this, notify::names::statusPulse,
                                           [this](void*) { ProcessConductorPulse(); });
}

MidiShowControl::~MidiShowControl()
{
    notify::callbackDispatcher.RemoveCallbacksForTarget(this);
}

bool MidiShowControl::FullReset()
{
    const bool reset = ShowControl::FullReset();
    Lock lock(GetShowControlMutex());
    ticksPerClock = GetTicksPerClock();
    lastBufferTickIndex = 0;
    caesuraBufferTickIndex = 0;
    expectsPickupBeat = false;
    pickupBeatCountdown = 0;
    conductorMode = false;
    conductorModeIdle = false;
    hitCaesuraInAutoPilot = false;
    if (reset) {
        SyncToCurrentTickIndex_(lock);
    }
    return reset;
}

bool MidiShowControl::GetConductorMode()
{
    Lock lock(GetShowControlMutex());
    return conductorMode;
}

unsigned int MidiShowControl::GetEndTickIndex()
{
    Lock lock(GetShowControlMutex());
    return GetCaesuraTickIndexAlignedWithClock(ShowControl::GetEndTickIndex());
}

unsigned int MidiShowControl::GetStartTickIndex()
{
    Lock lock(GetShowControlMutex());
    return GetCaesuraTickIndexAlignedWithClock(ShowControl::GetStartTickIndex());
}

void MidiShowControl::LoadSong()
{
    const std::string songNumber = GetActiveSongNumber().Get();
    const auto& songs = GetShowData().GetSongs();
    const auto song = songs.find(songNumber);
    if (song != songs.end()) {
        const unsigned int resolution = song->second->GetResolution();
        if (resolution < 24 || resolution % 24 != 0) {
            throw HowToPlayException("MidiShowControl::LoadSong: song \"" + songNumber + "\" has " +
                                     std::to_string(resolution) +
                                     " ticks per quarter note; playback needs a multiple of 24");
        }
    }
    const LoadedSongState previous = GetLoadedSongState_();
    ShowControl::LoadSong();  // restores itself when it fails
    {
        Lock lock(GetShowControlMutex());
        try {
            const auto guard = GetActiveSongNumber().Lock();
            const StreamGuard streamGuard(streamMutex);
            currentStream = &GetMidiStreamCollection().GetStream(GetActiveSongNumber().GetLocked(guard));
        } catch (...) {
            // No stream for the song (not built, or its build failed): the previous song stays loaded.
            RestoreLoadedSongState_(previous);
            LoadSongIntoModel_();
            SyncToCurrentTickIndex_(lock);
            throw;
        }
        ticksPerClock = GetTicksPerClock();
    }
    SeekForLoadSong(GetStartTickIndex());

    Lock lock(GetShowControlMutex());
    SyncToCurrentTickIndex_(lock);  // also puts the clock at the song's start
}

void MidiShowControl::NotifyNewChangeLog()
{
    ShowControl::NotifyNewChangeLog();
    Seek(GetStartTickIndex());
}

void MidiShowControl::OnCaesuraStop()
{
    bool wasPending = false;
    {
        Lock lock(GetShowControlMutex());
        wasPending = HasPendingCaesura();
        SetCaesuraTickIndex(GetCaesuraTickIndexAlignedWithClock(GetCaesuraTickIndex()));
    }
    ShowControl::OnCaesuraStop();
    if (wasPending) {
        // The filler walked past the caesura before the output stopped: playback resumes at it.
        Lock lock(GetShowControlMutex());
        SyncToCurrentTickIndex_(lock);
    }
}

bool MidiShowControl::Seek(unsigned int tick)
{
    bool clockWasArmed = false;
    if (GetConductorMode() && HasCaesuraAtTickIndex(tick) && clock.GetPlaybackIsArmed()) {
        clock.DisarmPlayback();
        clockWasArmed = true;
    }
    const bool landedFree = ShowControl::Seek(tick);
    {
        Lock lock(GetShowControlMutex());
        SyncToCurrentTickIndex_(lock);
    }
    if (landedFree) {
        return true;
    }
    if (HasPendingCaesura()) {
        const bool conductor = GetConductorMode();
        if (conductor) {
            rearmForConductor();
            ClearPendingCaesura();  // the conductor takes the caesura over
        } else if (!stopAtCaesura()) {
            OnCaesuraStop();
        }
        if (!clockWasArmed && gui::HasGuiUpdate()) {
            gui::GetGuiUpdate().UpdateOnce();
        }
        if (!conductor) {
            Lock lock(GetShowControlMutex());
            hitCaesuraInAutoPilot = true;
        }
    }
    if (clockWasArmed) {
        notify::callbackDispatcher.Notify(notify::names::jumpToCaesura, nullptr);
        ClearPendingCaesura();
        SendExpectsPickupBeat(0);
        if (gui::HasGuiUpdate()) {
            gui::GetGuiUpdate().SendGuiUpdateWithoutCaesura(GetLastSeekTickIndex());
        }
    }
    return false;
}

void MidiShowControl::ReceivedSeekFromUser()
{
    Lock lock(GetShowControlMutex());
    hitCaesuraInAutoPilot = false;
}

HowToPlay& MidiShowControl::GetHowToPlay()
{
    return GetHowToPlayWithMidiClock();
}

unsigned int MidiShowControl::GetFirstCaesuraStackTickIndex()
{
    const std::vector<CountdownCaesura> stack = GetCaesuraStack();
    if (stack.empty()) {
        throw std::out_of_range("MidiShowControl::GetFirstCaesuraStackTickIndex: no caesura lies ahead");
    }
    Lock lock(GetShowControlMutex());
    return GetCaesuraTickIndexAlignedWithClock(stack.front().GetTickIndex());
}

void MidiShowControl::FinishLoadingSongLog_()
{
    Lock lock(GetShowControlMutex());
    ShowControl::FinishLoadingSongLog_();
    LoadSongIntoModel_();
}

void MidiShowControl::LoadSongIntoModel_()
{
    Lock lock(GetShowControlMutex());
    const std::shared_ptr<const brix_midi::SongData> song = GetSongData();
    if (!song) {
        return;
    }
    GetHowToPlayWithMidiClock().SetData(GetSongLog(), song->GetTimeline(), song->GetResolution());
    clock.SetTicksPerClock(GetTicksPerClock());
}

unsigned int MidiShowControl::GetCaesuraTickIndexAlignedWithClock(unsigned int tick)
{
    Lock lock(GetShowControlMutex());
    return tick - tick % ticksPerClock;
}

void MidiShowControl::SetJump(unsigned int tick, const fennic::LockInterface& lock, bool userSeek)
{
    ShowControl::SetJump(tick, lock, userSeek);
    HowToPlayWithMidiClock& model = GetHowToPlayWithMidiClock();
    model.Seek(tick);
    if (currentStream != nullptr) {
        const StreamGuard streamGuard(streamMutex);
        currentStream->Seek(tick);
    }
    model.UpdateClockTime();
    model.UpdateClocksPerClick();
    const int clocksPerClick = model.GetClocksPerClick();
    const double clockTime = model.GetClockTime();
    const int clockNumber = model.GetClockNumberAtTickIndex(tick);
    const unsigned int validAt = GetPreJumpTickIndex();
    const unsigned int perClock = ticksPerClock;
    lock.unlock();
    try {
        clock.SetTickIndex(tick, clockNumber, perClock, clocksPerClick, clockTime, validAt);
    } catch (...) {
        lock.lock();
        throw;
    }
    lock.lock();
}

void MidiShowControl::DoExtraBufferSettings_(MidiBuffer&) {}

unsigned char MidiShowControl::ScaleChannelVolume(unsigned short track, unsigned char level)
{
    channelVolumeGain.SetGain(VolumeAtTick(GetListenerTickIndex()));
    return channelVolumeGain.Scale(track, level);
}

void MidiShowControl::FillMidiBuffer(MidiBuffer& buffer)
{
    if (ShouldStopForCaesura()) {
        return;
    }
    unsigned int bufferTick = GetTickIndex();
    bool attacca = false;

    if (!AdvanceClock(0)) {
        if (!CurrentSongIsAttacca()) {
            buffer.SetIsLastBuffer(true);
            buffer.SetHasData(true);
            return;
        }
        {
            Lock lock(GetShowControlMutex());
            MidiStream* stream = currentStream;
            const int transposition = GetHowToPlayWithMidiClock().GetTranspositionValue();
            lock.unlock();
            const BufferGuard bufferGuard(buffer.GetMutex());
            const StreamGuard streamGuard(streamMutex);
            stream->AllNotesOff(StreamTransposition(transposition), buffer);
        }
        if (!nextAttaccaSong()) {
            buffer.SetIsLastBuffer(true);
            buffer.SetHasData(true);
            return;
        }
        bufferTick = GetTickIndex();
        AdvanceClock(0);
        attacca = true;
    }

    if (HasPendingCaesura()) {
        {
            Lock lock(GetShowControlMutex());
            caesuraBufferTickIndex = lastBufferTickIndex;
        }
        if (!AdvanceClock(0)) {
            buffer.SetIsLastBuffer(true);
            buffer.SetHasData(true);
            return;
        }
    }

    enum class Enqueue { Attacca, Initial, TranspositionChanged, Plain, WithPersistence };
    Lock lock(GetShowControlMutex());
    HowToPlayWithMidiClock& model = GetHowToPlayWithMidiClock();
    const bool jump = GetJump();
    ClearJump();
    const auto [newTransposition, oldTransposition] = model.GetTranspositionPair();
    const unsigned int now = GetTickIndex();
    MidiStream* stream = currentStream;
    lock.unlock();

    Enqueue kind = Enqueue::WithPersistence;
    if (attacca) {
        kind = Enqueue::Attacca;
    } else if (buffer.GetIsFirstBuffer()) {
        kind = Enqueue::Initial;
    } else if (userControls.GetTranspositionChanged()) {
        kind = Enqueue::TranspositionChanged;
    } else if (newTransposition == oldTransposition && !jump) {
        kind = Enqueue::Plain;
    }
    const signed char newT = StreamTransposition(newTransposition);
    const signed char oldT = StreamTransposition(oldTransposition);
    channelVolumeGain.SetGain(VolumeAtTick(bufferTick));
    {
        const BufferGuard bufferGuard(buffer.GetMutex());
        const StreamGuard streamGuard(streamMutex);
        switch (kind) {
        case Enqueue::Attacca: stream->EnqueueAttacca(now, newT, buffer); break;
        case Enqueue::Initial: stream->EnqueueInitialEvents(now, oldT, buffer); break;
        case Enqueue::TranspositionChanged: stream->EnqueueEvents(now, newT, buffer, true); break;
        case Enqueue::Plain: stream->EnqueueEvents(now, newT, buffer, false); break;
        case Enqueue::WithPersistence: stream->EnqueueEventsWithPersistence(now, newT, oldT, buffer, jump); break;
        }
    }

    lock.lock();
    if (jump) {
        bufferTick = GetLastJumpTargetTickIndex();
    }
    lastBufferTickIndex = bufferTick;
    const int clockNumber = model.GetClockNumberAtTickIndex(bufferTick);
    const int clocksPerClick = model.GetClocksPerClickAtTickIndex(bufferTick);
    const auto [timeCode, nextTimeCode] = GetTimeCodeSecondsPair(bufferTick);
    lock.unlock();
    {
        const BufferGuard bufferGuard(buffer.GetMutex());
        buffer.SetTickIndex(bufferTick);
        buffer.SetClockNumber(clockNumber);
        buffer.SetClocksPerClick(clocksPerClick);
        buffer.SetTimeCodeSeconds(timeCode);
        buffer.SetNextTimeCodeSeconds(nextTimeCode);
    }
    DoExtraBufferSettings_(buffer);
    if (GetOscTriggerFlag()) {
        TriggerOsc_(bufferTick, now > 0 ? now - 1 : 0, 0);
    }
    buffer.SetHasData(true);
}

bool MidiShowControl::CheckCaesura(unsigned int tick)
{
    Lock lock(GetShowControlMutex());
    return ShouldStopForCaesura() && tick == caesuraBufferTickIndex;
}

bool MidiShowControl::ShouldStopForCaesura()
{
    Lock lock(GetShowControlMutex());
    return !conductorMode && HasPendingCaesura();
}

void MidiShowControl::ArmPlayback()
{
    Lock lock(GetShowControlMutex());
    SetConductorMode(true);
    conductorModeIdle = true;
    HowToPlayWithMidiClock& model = GetHowToPlayWithMidiClock();
    const int clocksPerClick = model.GetLastSeekClocksPerClick();
    const double clockTime = model.GetLastSeekClockTime();
    const unsigned int tick = armTickIndex;
    const int clockNumber = model.GetClockNumberAtTickIndex(tick);
    const unsigned int perClock = ticksPerClock;
    lock.unlock();
    clock.ArmPlayback(perClock, clocksPerClick, clockTime, tick, clockNumber);
}

MidiStream& MidiShowControl::GetCurrentMidiStream()
{
    Lock lock(GetShowControlMutex());
    if (currentStream == nullptr) {
        throw std::logic_error("MidiShowControl::GetCurrentMidiStream: no song is loaded");
    }
    return *currentStream;
}

void MidiShowControl::FollowMidiProgramChanges()
{
    MidiStream& stream = GetCurrentMidiStream();
    const StreamGuard streamGuard(streamMutex);
    stream.FollowMidiProgramChanges();
}

void MidiShowControl::SendAllNotesOffForMutedTracks()
{
    MidiStream& stream = GetCurrentMidiStream();
    const StreamGuard streamGuard(streamMutex);
    stream.SendAllNotesOffForMutedTracks();
}

void MidiShowControl::SetUserProgramChange(unsigned short track, unsigned char program)
{
    MidiStream& stream = GetCurrentMidiStream();
    const StreamGuard streamGuard(streamMutex);
    stream.SetUserProgramChange(track, program);
}

void MidiShowControl::SetUserProgramChanges(const std::map<unsigned short, unsigned char>& programs)
{
    MidiStream& stream = GetCurrentMidiStream();
    const StreamGuard streamGuard(streamMutex);
    stream.SetUserProgramChanges(programs);
}

std::map<unsigned short, std::string> MidiShowControl::GetTrackNamesByTrackId()
{
    MidiStream& stream = GetCurrentMidiStream();
    const StreamGuard streamGuard(streamMutex);
    return stream.GetTrackNamesByTrackId();
}

void MidiShowControl::SetMutedTracks(const std::map<unsigned short, bool>& muted)
{
    const StreamGuard streamGuard(streamMutex);
    GetMidiStreamCollection().SetMutedTracks(muted);
}

void MidiShowControl::SetTrackIsMuted(unsigned short track, bool muted)
{
    const StreamGuard streamGuard(streamMutex);
    if (muted) {
        GetMidiStreamCollection().MuteTrack(track);
    } else {
        GetMidiStreamCollection().UnmuteTrack(track);
    }
}

void MidiShowControl::SetHighSpeed()
{
    Lock lock(GetShowControlMutex());
    GetHowToPlayWithMidiClock().SetHighSpeed();
}

int MidiShowControl::GetClockNumber()
{
    Lock lock(GetShowControlMutex());
    return GetHowToPlayWithMidiClock().GetClockNumber();
}

int MidiShowControl::GetClockNumberAtTickIndex(unsigned int tick)
{
    Lock lock(GetShowControlMutex());
    return GetHowToPlayWithMidiClock().GetClockNumberAtTickIndex(tick);
}

double MidiShowControl::GetClockTime()
{
    Lock lock(GetShowControlMutex());
    return GetHowToPlayWithMidiClock().GetClockTime();
}

bool MidiShowControl::GetConductorModeIdle()
{
    Lock lock(GetShowControlMutex());
    return conductorModeIdle;
}

void MidiShowControl::SetConductorModeIdle(bool idle)
{
    Lock lock(GetShowControlMutex());
    conductorModeIdle = idle;
}

void MidiShowControl::SetConductorMode(bool on)
{
    {
        Lock lock(GetShowControlMutex());
        conductorMode = on;
    }
    if (!on) {
        notify::guiDispatcher.SendStatusFlowControl("ClearPickupBeat", 0);
    }
}

bool MidiShowControl::IsWaitingForConductor()
{
    Lock lock(GetShowControlMutex());
    return conductorMode && conductorModeIdle;
}

bool MidiShowControl::GetHitCaesuraInAutoPilot()
{
    Lock lock(GetShowControlMutex());
    return std::exchange(hitCaesuraInAutoPilot, false);
}

void MidiShowControl::SendExpectsPickupBeat(int count)
{
    {
        Lock lock(GetShowControlMutex());
        expectsPickupBeat = true;
        pickupBeatCountdown = 0;
    }
    notify::guiDispatcher.SendStatusFlowControl("PickupBeat", count);
}

void MidiShowControl::ClearExpectsPickupBeat()
{
    Lock lock(GetShowControlMutex());
    ClearPickupBeat_(lock);
}

unsigned int MidiShowControl::GetTicksPerClock()
{
    return GetTicksPerClockOfSong();
}

bool MidiShowControl::SeekForLoadSong(unsigned int tick)
{
    return ShowControl::Seek(tick);
}

bool MidiShowControl::AdvanceClock(unsigned int ticks)
{
    for (int pass = 0; pass < kMaxWindowPasses; ++pass) {
        bool again = false;
        const bool advanced = AdvanceClockOnce_(&ticks, &again);
        if (!again) {
            return advanced;
        }
    }
    fennic::CoutBuffer() << "WARNING: MidiShowControl::AdvanceClock left the window at tick " << GetTickIndex()
                         << " unfinished after " << kMaxWindowPasses << " passes" << fennic::endl;
    return true;
}

bool MidiShowControl::AdvanceClockOnce_(unsigned int* ticks, bool* again)
{
    ProcessLoopEventsAtCurrentTickIndex();
    Lock lock(GetShowControlMutex());
    HowToPlayWithMidiClock& model = GetHowToPlayWithMidiClock();
    unsigned int current = GetTickIndex();
    // The song ends once a window would start past its last tick: the window that holds the last
    // tick is still played, so the events there (typically the last note-offs) go out in their clock.
    const unsigned int lastTick = ShowControl::GetEndTickIndex();
    if (current > lastTick) {
        // Stays past the end, so every later fill finds the end again.
        SetCurrentTickIndex(model.GetNextClockTickIndex(current).second);
        return false;
    }
    const unsigned int span = *ticks != 0 ? *ticks : ticksPerClock;
    unsigned int target = current + span;
    if (ExpireLoopEventInWindow_(lock, target)) {
        current = GetTickIndex();
        target = current + span;
    }

    lock.unlock();
    FindNextControlEventOnAdvance(current, target);
    lock.lock();
    const ControlEventResult result = GetControlEventResult();
    if (result.caesuraReached) {
        const unsigned int caesuraTick = GetTickIndex();
        lock.unlock();
        SetCurrentTickIndex(ProcessCaesura(caesuraTick));
        return true;
    }
    if (result.jumpReached) {
        FindNextControlEventOnSeek(result.eventTick, false);
        const fennic::LockReference<Lock> held(lock);
        SetJump(GetControlEventResult().eventTick, held, false);
        if (HasPendingCaesura()) {
            const unsigned int caesuraTick = GetTickIndex();
            lock.unlock();
            SetCurrentTickIndex(ProcessCaesura(caesuraTick));
            return true;
        }
        *again = true;
        return true;
    }
    if (result.rescan) {
        *again = true;
        return true;
    }
    if (result.eventInside) {
        SetCurrentTickIndex(result.eventTick);
        model.AdvanceToTickIndex(result.eventTick);
        *ticks = target - result.eventTick;
        *again = true;
        return true;
    }
    SetCurrentTickIndex(target);
    model.AdvanceToTickIndex(target);
    return true;
}

bool MidiShowControl::ExpireLoopEventInWindow_(Lock& lock, unsigned int target)
{
    const LoopEventList events = GetLoopEvents();
    if (events.GetSize() == 0) {
        return false;
    }
    const LoopEvent event = events.GetFirstLoopEvent();
    const unsigned int current = GetTickIndex();
    if (event.tick == current || event.tick >= target) {
        return false;
    }
    if (event.kind != static_cast<char>(codes::fermata)) {
        const auto [onClock, clockTick] = GetHowToPlayWithMidiClock().GetNextClockTickIndex(event.tick);
        if (!onClock) {
            MoveFirstLoopEvent(clockTick);
            return false;
        }
        SetCurrentTickIndex(GetHowToPlayWithMidiClock().GetNextClockTickIndex(current).second);
    }
    lock.unlock();
    DoExpireFermata();
    ProcessLoopEventsAtCurrentTickIndex();
    lock.lock();
    return GetRestartFlag();
}

unsigned int MidiShowControl::ProcessCaesura(unsigned int tick)
{
    Lock lock(GetShowControlMutex());
    const unsigned int aligned = GetCaesuraTickIndexAlignedWithClock(tick);
    HowToPlayWithMidiClock& model = GetHowToPlayWithMidiClock();
    double seconds = model.GetClockTime();
    int clocks = model.GetClocksPerClick();
    try {
        model.GetCaesuraResumeParams(tick, &seconds, &clocks);
    } catch (const std::out_of_range&) {
        // No beat follows the caesura (it ends the song): playback resumes at the values in force.
    }
    lock.unlock();
    clock.SetCaesura(aligned, seconds, clocks);
    return aligned;
}

void MidiShowControl::SyncToCurrentTickIndex_(Lock&)
{
    if (currentStream == nullptr) {
        return;  // no song loaded yet
    }
    const unsigned int tick = GetTickIndex();
    HowToPlayWithMidiClock& model = GetHowToPlayWithMidiClock();
    model.Seek(tick);
    armTickIndex = tick;
    {
        const StreamGuard streamGuard(streamMutex);
        currentStream->Seek(tick);
    }
    // The clock takes the new position at once; changes it was given for the old one are dropped.
    clock.SetTickIndex(tick, model.GetClockNumberAtTickIndex(tick), ticksPerClock, model.GetClocksPerClick(),
                       model.GetClockTime(), 0);
}

void MidiShowControl::ProcessHitCaesura()
{
    {
        Lock lock(GetShowControlMutex());
        if (!conductorMode) {
            hitCaesuraInAutoPilot = true;
            return;
        }
    }
    SendExpectsPickupBeat(0);
    if (gui::HasGuiUpdate()) {
        gui::GetGuiUpdate().SendGuiUpdateWithoutCaesura(GetCaesuraTickIndex());
    }
    ClearPendingCaesura();  // the conductor takes the caesura over
    rearmForConductor();
}

void MidiShowControl::ProcessConductorPulse()
{
    Lock lock(GetShowControlMutex());
    if (!expectsPickupBeat) {
        return;
    }
    if (--pickupBeatCountdown < 0) {
        ClearPickupBeat_(lock);
    }
}

void MidiShowControl::ClearPickupBeat_(Lock& lock)
{
    expectsPickupBeat = false;
    pickupBeatCountdown = 0;
    lock.unlock();
    notify::guiDispatcher.SendStatusFlowControl("ClearPickupBeat", 0);
}
