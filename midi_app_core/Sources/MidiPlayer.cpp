#include "MidiPlayer.h"

#include "MidiAppGuiUpdate.h"
#include "MidiBuffer.h"
#include "MidiClock.h"
#include "MidiOutput.h"
#include "MidiShowControl.h"
#include "win32/MidiOutputWin32.h"

#include <brix_player_core/BrixExt.h>
#include <brix_player_core/GuiUpdate.h>

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/ChangeLog.h>
#include <brix_core/GuiDispatcher.h>
#include <brix_core/NotifyNames.h>
#include <fennic/Exceptions.h>
#include <fennic/Sleep.h>

#include <stdexcept>
#include <utility>

namespace {
using PlayerGuard = std::lock_guard<std::recursive_mutex>;
using RecursiveLock = std::unique_lock<std::recursive_mutex>;

// A first press of "previous song" further than this into the song goes back to its start.
constexpr unsigned int kPreviousSongWindowTicks = 1920;
}  // namespace

MidiPlayer::MidiPlayer(const std::string& name) : Player(name), fullFrameTimeCodeCallback([](double) {})
{
    gui::SetGuiUpdate(std::make_unique<gui::MidiAppGuiUpdate>(*this));
    notify::callbackDispatcher.AddCallback(this, notify::names::jumpToCaesura,
                                           [this](void*) { ProcessJumpToCaesura(); });
}

MidiPlayer::~MidiPlayer()
{
    CancelFade();
    notify::callbackDispatcher.RemoveCallbacksForTarget(this);
    gui::SetGuiUpdate(std::unique_ptr<gui::GuiUpdate>());
}

void MidiPlayer::CreateMidiOutput(unsigned char portCount)
{
    MidiClock& clock = GetMidiClock();
    std::unique_ptr<MidiOutput> created = std::make_unique<MidiOutputWin32>(
        portCount, [this](MidiBuffer& buffer) { GetMidiShowControl().FillMidiBuffer(buffer); },
        [](unsigned int tick) {
            if (gui::HasGuiUpdate()) {
                gui::GetGuiUpdate().SendGuiUpdateWithTickIndex(tick);
            }
        },
        [this] { NotifyOutputHasStopped(); }, [this] { SetConductorModeIdle(false); },
        [this](unsigned int tick) { return GetMidiShowControl().CheckCaesura(tick); }, clock, &playerLock);
    std::unique_ptr<MidiOutput> previous;
    {
        PlayerGuard base(GetPlayerBaseMutex());
        previous = std::exchange(output, std::move(created));
    }
    previous.reset();
    output->Initialize(portCount);
}

MidiOutput& MidiPlayer::GetMidiOutput()
{
    if (!output) {
        throw std::logic_error("MidiPlayer::GetMidiOutput: the player has no MIDI output");
    }
    return *output;
}

void MidiPlayer::Shutdown()
{
    std::unique_ptr<MidiOutput> taken;
    {
        RecursiveLock player(playerLock, std::defer_lock);
        RecursiveLock base(GetPlayerBaseMutex(), std::defer_lock);
        std::lock(player, base);
        taken = std::move(output);
    }
    if (taken) {
        // The clock must not fire into an output being destroyed.
        taken->PrepareForExit();
    }
    // Destroyed without the locks: its threads end first, and one of them may be reporting a stop.
    taken.reset();
}

void MidiPlayer::PrepareForExit()
{
    SetPlayerState(PlayerState::Stopped);
    if (output) {
        output->PrepareForExit();
    }
}

void MidiPlayer::EnsureGuiIsCurrent()
{
    if (!IsPlaying() || GetMidiShowControl().GetConductorModeIdle()) {
        gui::GetGuiUpdate().UpdateOnce();
    }
}

double MidiPlayer::GetElapsedSeconds()
{
    throw fennic::NotImplementedError("GetElapsedSeconds is not implemented");
}

double MidiPlayer::GetTotalDurationSeconds()
{
    throw fennic::NotImplementedError("GetTotalDurationSeconds is not implemented");
}

bool MidiPlayer::GetOutputShouldRun()
{
    return GetMidiOutput().PlaybackIsActive();
}

bool MidiPlayer::GetPlaybackIsArmed()
{
    return GetOutputShouldRun();
}

void MidiPlayer::Play()
{
    PlayerGuard lock(playerLock);
    if (GetPlayerState() != PlayerState::Playing) {
        SetPlayerState(PlayerState::Playing);
        MidiShowControl& showControl = GetMidiShowControl();
        showControl.ReleaseHeldCaesura();
        ArmPlayback();
        if (hasConductBeat && !showControl.GetHitCaesuraInAutoPilot()) {
            // The conductor's beats start the clock.
            showControl.SendExpectsPickupBeat(0);
            gui::GetGuiUpdate().UpdateOnce();
            notify::guiDispatcher.SendPlaybackStarted();
            return;
        }
        StartContinuousMode_();
    }
    notify::guiDispatcher.SendPlaybackStarted();
}

void MidiPlayer::StartContinuousMode_()
{
    MidiShowControl& showControl = GetMidiShowControl();
    showControl.SetConductorMode(false);
    showControl.SetConductorModeIdle(false);
    GetMidiClock().ContinuousMode();
}

void MidiPlayer::ArmPlayback()
{
    MidiOutput& out = GetMidiOutput();
    RecursiveLock lock(out.GetMutex());
    if (out.PlaybackIsActive()) {
        return;
    }
    while (out.GetPrimeBuffersInProgress()) {
        lock.unlock();
        fennic::Sleep(1);
        lock.lock();
    }
    GetMidiShowControl().ArmPlayback();
    if (!out.ArmPlayback()) {
        // Nothing primed the ring since it was last disarmed (a stop, the song's end): prime it here,
        // or playback would stay silent.
        PrimeRing_(lock);
        out.ArmPlayback();
    }
}

void MidiPlayer::FillBuffers()
{
    RecursiveLock lock(GetMidiOutput().GetMutex());
    if (!GetMidiOutput().PlaybackIsActive()) {
        PrimeRing_(lock);
    }
}

void MidiPlayer::PrimeRing_(RecursiveLock& lock)
{
    MidiOutput& out = GetMidiOutput();
    out.Seek(GetShowControl().GetTickIndex());
    out.PrimeBuffers(lock);
}

void MidiPlayer::Pause()
{
    PlayerGuard lock(playerLock);
    if (!IsPlaying()) {
        return;
    }
    SetPlayerState(PlayerState::Paused);
    MidiOutput& out = GetMidiOutput();
    MidiShowControl& showControl = GetMidiShowControl();
    out.DisarmPlayback();
    showControl.ClearExpectsPickupBeat();
    showControl.Seek(gui::GetGuiUpdate().GetTickIndex());
    out.AllNotesOff();
    out.DisarmPlayback();
    FillBuffers();
    notify::guiDispatcher.SendPlaybackPaused();
}

void MidiPlayer::Stop()
{
    PlayerGuard lock(playerLock);
    if (GetPlayerState() == PlayerState::Stopped) {
        return;
    }
    SetPlayerState(PlayerState::Stopped);
    if (!GetOutputShouldRun()) {
        return;
    }
    MidiOutput& out = GetMidiOutput();
    out.DisarmPlayback();
    if (!TakeStopKeepsPosition()) {
        GetMidiShowControl().Seek(gui::GetGuiUpdate().GetTickIndex());
    }
    out.AllNotesOff();
}

void MidiPlayer::StopAndReset()
{
    PlayerGuard lock(playerLock);
    if (GetPlayerState() == PlayerState::Stopped) {
        return;
    }
    SetPlayerState(PlayerState::Stopped);
    if (GetOutputShouldRun()) {
        GetMidiOutput().DisarmPlayback();
        GetMidiOutput().AllNotesOff();
    }
    ResetPlayer();
}

void MidiPlayer::Continue()
{
    PlayerGuard lock(playerLock);
    Player::Continue();
}

void MidiPlayer::LoadSong(const std::string& songNumber)
{
    PlayerGuard lock(playerLock);
    Stop();
    DoLoadSongAndGetIsFinished_(songNumber);
    ResetPlayer();
}

bool MidiPlayer::NextSong()
{
    {
        PlayerGuard lock(playerLock);
        Stop();
        notify::guiDispatcher.SendPlaybackStopped();
    }
    RecursiveLock player(playerLock, std::defer_lock);
    RecursiveLock base(GetPlayerBaseMutex(), std::defer_lock);
    std::lock(player, base);
    std::string next;
    try {
        next = GetNextSong();
    } catch (const brix_ext::EndOfShow&) {
        base.unlock();
        Seek(0);
        return true;
    }
    base.unlock();
    DoLoadSongAndGetIsFinished_(next);
    ResetPlayer();
    return false;
}

void MidiPlayer::PreviousSong()
{
    PlayerGuard lock(playerLock);
    Stop();
    notify::guiDispatcher.SendPlaybackStopped();
    const unsigned int start = GetMidiShowControl().GetStartTickIndex();
    if (gui::GetGuiUpdate().GetTickIndex() > start + kPreviousSongWindowTicks) {
        Seek(start);
        return;
    }
    std::string previous;
    try {
        previous = GetPreviousSong();
    } catch (const brix_ext::StartOfShow&) {
        Seek(start);
        return;
    }
    DoLoadSongAndGetIsFinished_(previous);
    ResetPlayer();
}

void MidiPlayer::Seek(unsigned int tick)
{
    PlayerGuard lock(playerLock);
    MidiShowControl& showControl = GetMidiShowControl();
    showControl.ResetCaesuraState(tick);
    showControl.ReceivedSeekFromUser();
    DoSeek_(tick);
}

void MidiPlayer::SeekLeft()
{
    Seek(GetMidiShowControl().GetSeekLeft());
}

void MidiPlayer::SeekRight()
{
    unsigned int tick = 0;
    try {
        tick = GetMidiShowControl().GetSeekRight();
    } catch (const brix_ext::NoNextMarker&) {
        return;
    }
    Seek(tick);
}

void MidiPlayer::SeekToPreviousMeasure()
{
    PlayerGuard lock(playerLock);
    Player::SeekToPreviousMeasure();
}

void MidiPlayer::SeekToNextMeasure()
{
    PlayerGuard lock(playerLock);
    Player::SeekToNextMeasure();
}

void MidiPlayer::SetTempoScale(double tempoScale)
{
    userControls.SetTempoScale(tempoScale);
    if (IsPlaying()) {
        GetMidiClock().SetClockTime(GetMidiShowControl().GetClockTime(), 0);
    } else {
        ReseekToGuiTickIndex_();
    }
}

void MidiPlayer::SetTransposition(int semitones)
{
    userControls.SetTransposition(semitones);
    if (!IsPlaying()) {
        ReseekToGuiTickIndex_();
    }
}

void MidiPlayer::IncreaseTempo()
{
    userControls.IncreaseTempo();
    gui::GetGuiUpdate().UpdateOnce();
}

void MidiPlayer::DecreaseTempo()
{
    userControls.DecreaseTempo();
    gui::GetGuiUpdate().UpdateOnce();
}

void MidiPlayer::ReseekToGuiTickIndex_()
{
    Seek(gui::GetGuiUpdate().GetTickIndex());
}

void MidiPlayer::SetTimeCodeCallback(std::function<void(double, double, double)> callback)
{
    GetMidiOutput().SetTimeCodeCallback(std::move(callback));
}

void MidiPlayer::SetFullFrameTimeCodeCallback(std::function<void(double)> callback)
{
    PlayerGuard lock(playerLock);
    fullFrameTimeCodeCallback = std::move(callback);
}

void MidiPlayer::DoSeek_(unsigned int tick)
{
    PlayerGuard lock(playerLock);
    MidiShowControl& showControl = GetMidiShowControl();
    MidiOutput& out = GetMidiOutput();
    // Playing without a conductor, the ring and the clock restart at the new position: the queue thread
    // is parked before the stream moves, the first buffer sounds the held state there, and the clock
    // is armed at the new tick, so tempo changes after it fall on their ticks.
    const bool restart = IsPlaying() && !showControl.GetConductorMode();
    if (restart) {
        out.DisarmPlayback();
        out.AllNotesOff();
    }
    showControl.Seek(tick);
    const double seconds = showControl.ConvertTickIndexToSeconds(tick);
    if (!IsPlaying()) {
        // Not playing. A restart that stopped at a caesura there was primed by the stop already.
        if (!restart) {
            FillBuffers();
        }
        fullFrameTimeCodeCallback(seconds);
        out.AllNotesOff();
    } else if (showControl.GetConductorMode()) {
        out.DisarmPlayback();
        FillBuffers();
        ArmPlayback();
        showControl.SendExpectsPickupBeat(0);
        fullFrameTimeCodeCallback(seconds);
        out.AllNotesOff();
    } else {
        FillBuffers();
        ArmPlayback();
        StartContinuousMode_();
        fullFrameTimeCodeCallback(seconds);
    }
    EnsureGuiIsCurrent();
}

void MidiPlayer::ResetPlayer()
{
    PlayerGuard lock(playerLock);
    ResetPlayerNoFillBuffers();
    FillBuffers();
    EnsureGuiIsCurrent();
}

void MidiPlayer::ResetPlayerNoFillBuffers()
{
    Player::ResetPlayerNoFillBuffers();
    GetMidiOutput().ResetMidiOutput();
}

void MidiPlayer::NotifyOutputHasStopped()
{
    PlayerGuard lock(playerLock);
    if (!output || output->PlaybackIsActive() || !IsPlaying()) {
        return;  // a stale report: playback was armed again, or the operator stopped or paused it
    }
    MidiShowControl& showControl = GetMidiShowControl();
    if (showControl.HasPendingCaesura()) {
        showControl.OnCaesuraStop();
        SetPlayerState(PlayerState::Paused);
        gui::GetGuiUpdate().UpdateOnce();
        notify::guiDispatcher.SendCaesura(showControl.GetCaesuraTickIndex());
        notify::guiDispatcher.SendPlaybackPaused();
        // The buffers after the last one heard were never sent: once paused, the listener stands at
        // the caesura, where playing goes on (and where a stop puts the position back).
        gui::GetGuiUpdate().SendGuiUpdateWithoutCaesura(showControl.GetCaesuraTickIndex());
        output->AllNotesOff();
        FillBuffers();
        return;
    }
    SetPlayerState(PlayerState::Stopped);
    notify::callbackDispatcher.Notify(notify::names::stopped_at_end_of_song, nullptr);
}

bool MidiPlayer::SeekToCaesuraStop()
{
    PlayerGuard lock(playerLock);
    if (!IsPlaying()) {
        return false;
    }
    GetMidiOutput().DisarmPlayback();
    NotifyOutputHasStopped();
    return true;
}

void MidiPlayer::ProcessJumpToCaesura()
{
    PlayerGuard lock(playerLock);
    GetMidiOutput().DisarmPlayback();
    GetMidiShowControl().ResetGuiUpdate();
    FillBuffers();
    ArmPlayback();
}

bool MidiPlayer::DoLoadSongAndGetIsFinished_(const std::string& songNumber)
{
    const std::string previous = GetActiveSongNumber().Get();
    SetActiveSongNumber(songNumber);
    try {
        GetMidiShowControl().LoadSong();
    } catch (...) {
        // The show control kept the previous song: so does the active song number.
        SetActiveSongNumber(previous);
        throw;
    }
    if (GetActiveSongNumber().Get() == songNumber) {
        notify::callbackDispatcher.Notify(notify::names::songLoaded, nullptr);
        notify::guiDispatcher.SendSongLoaded(songNumber);
    }
    return true;
}

std::string MidiPlayer::GetNextSong()
{
    const std::string songNumber = GetActiveSongNumber().Get();
    return brix_ext::get_song_after(*ActiveChangeLogShared::Get(), songNumber);
}

std::string MidiPlayer::GetPreviousSong()
{
    const std::string songNumber = GetActiveSongNumber().Get();
    return brix_ext::get_song_before(*ActiveChangeLogShared::Get(), songNumber);
}

bool MidiPlayer::LoadNextSongAttacca()
{
    std::string next;
    try {
        next = GetNextSong();
    } catch (const brix_ext::EndOfShow&) {
        return false;
    }
    DoLoadSongAndGetIsFinished_(next);
    return true;
}

void MidiPlayer::AllNotesOff()
{
    GetMidiOutput().AllNotesOff();
}

std::vector<std::string> MidiPlayer::GetTrackManuAndSubType(unsigned short track)
{
    return GetMidiOutput().GetTrackManuAndSubType(track);
}

void MidiPlayer::SetHighSpeed()
{
    GetMidiShowControl().SetHighSpeed();
}

bool MidiPlayer::GetConductorMode()
{
    return GetMidiShowControl().GetConductorMode();
}

bool MidiPlayer::GetConductorModeIdle()
{
    return GetMidiShowControl().GetConductorModeIdle();
}

bool MidiPlayer::IsWaitingForConductor()
{
    return GetMidiShowControl().IsWaitingForConductor();
}

void MidiPlayer::SetConductorMode(bool on)
{
    GetMidiShowControl().SetConductorMode(on);
}

void MidiPlayer::SetConductorModeIdle(bool idle)
{
    GetMidiShowControl().SetConductorModeIdle(idle);
}

bool MidiPlayer::GetHasConductBeat()
{
    PlayerGuard lock(playerLock);
    return hasConductBeat;
}

void MidiPlayer::ConductBeat()
{
    notify::callbackDispatcher.Notify(notify::names::statusPulse, nullptr);
    ContinuousMode();
}

void MidiPlayer::ContinuousMode()
{
    PlayerGuard lock(playerLock);
    if (IsPlaying() && GetMidiShowControl().IsWaitingForConductor()) {
        StartContinuousMode_();
    }
}

void MidiPlayer::SetHasConductBeat(bool has)
{
    PlayerGuard lock(playerLock);
    hasConductBeat = has;
}

void MidiPlayer::SetTrackVolume(unsigned short track, unsigned char volume)
{
    GetMidiOutput().SetTrackVolume(track, GetMidiShowControl().ScaleChannelVolume(track, volume));
}

void MidiPlayer::SetTrackPan(unsigned short track, unsigned char pan)
{
    GetMidiOutput().SetTrackPan(track, pan);
}

void MidiPlayer::SetTrackProgramId(unsigned short track, unsigned char program)
{
    GetMidiOutput().SetTrackProgramId(track, program);
    GetMidiShowControl().SetUserProgramChange(track, program);
    if (!IsPlaying()) {
        ReseekToGuiTickIndex_();
    }
}

void MidiPlayer::SetTrackIsMuted(unsigned short track, bool muted)
{
    MidiShowControl& showControl = GetMidiShowControl();
    showControl.SetTrackIsMuted(track, muted);
    if (muted) {
        GetMidiOutput().SendAllNotesOff(track);
        if (IsPlaying()) {
            showControl.SendAllNotesOffForMutedTracks();
        }
    }
    if (!IsPlaying()) {
        ReseekToGuiTickIndex_();
    }
}

void MidiPlayer::SetAllTracksVolume(const std::map<unsigned short, unsigned char>& volumes)
{
    MidiShowControl& showControl = GetMidiShowControl();
    std::map<unsigned short, unsigned char> scaled;
    for (const auto& [track, volume] : volumes) {
        scaled.emplace(track, showControl.ScaleChannelVolume(track, volume));
    }
    GetMidiOutput().SetAllTracksVolume(scaled);
}

void MidiPlayer::SetAllTracksPan(const std::map<unsigned short, unsigned char>& pans)
{
    GetMidiOutput().SetAllTracksPan(pans);
}

void MidiPlayer::SetAllTracksProgramId(const std::map<unsigned short, unsigned char>& programs)
{
    GetMidiShowControl().SetUserProgramChanges(programs);
    GetMidiOutput().SetAllTracksProgramId(programs);
}

void MidiPlayer::SetMutedTracks(const std::map<unsigned short, bool>& muted)
{
    GetMidiShowControl().SetMutedTracks(muted);
    if (!IsPlaying()) {
        ReseekToGuiTickIndex_();
    }
}
