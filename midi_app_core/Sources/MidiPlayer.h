#pragma once

#include "TempoDifference.h"
#include "UserControls.h"

#include <brix_player_core/Player.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class MidiClock;
class MidiOutput;
class MidiShowControl;

// MidiPlayer: the MIDI player engine's transport. Play, pause, stop, continue, seek, song stepping,
// tempo scale, transposition and the per-track mix are carried out on one MidiOutput that the song's
// MidiShowControl fills and a MIDI clock times. The player starts no thread of its own.
//
// Owner: the product's player class, which derives from this (through StandardMidiPlayer), supplies
// the show control (built with GetMidiClock() and this player's operations LoadNextSongAttacca,
// SeekToCaesuraStop and ProcessJumpToCaesura) and, in its destructor, calls PrepareForExit() and
// Shutdown() before its show control goes, so that no output thread reaches a destroyed show control.
// Construction installs this player's GUI updater process-wide; only one player lives at a time.
// Threads: the transport runs on the GUI and remote-control threads. The five output callbacks run on
// the output's threads: fill (queue thread, or the caller while priming), the GUI tick (delayed-GUI
// thread), stopped (the output's stopped thread), idle off and caesura check (clock thread).
// Locks: the player lock (recursive) serialises the transport and is handed to the output, whose
// per-clock step holds it; the stopped report and the jump to a caesura take it too, so a stale
// report cannot mark playback armed meanwhile as stopped. The output lock guards arming and priming
// (ArmPlayback, FillBuffers). The base's own lock is taken by Shutdown and, together with the player
// lock, by NextSong. Order: player lock, base lock, output lock, buffer lock, show-control lock.
// The fill path never takes the player lock (a transport call holding it waits for the queue thread).
class MidiPlayer : public Player {
public:
    ~MidiPlayer() override;

    void EnsureGuiIsCurrent() override;
    // Throws fennic::NotImplementedError.
    double GetElapsedSeconds() override;
    double GetTotalDurationSeconds() override;
    bool GetOutputShouldRun() override;
    bool GetPlaybackIsArmed();
    void LoadSong(const std::string& songNumber) override;
    bool NextSong() override;
    void Pause() override;
    void PreviousSong() override;
    void Seek(unsigned int tick) override;
    void SeekLeft() override;
    void SeekRight() override;
    void SeekToPreviousMeasure() override;
    void SeekToNextMeasure() override;
    void SetTempoScale(double tempoScale) override;
    void SetTransposition(int semitones) override;
    void IncreaseTempo();
    void DecreaseTempo();
    void PrepareForExit() override;
    // Destroys the output (its threads end first).
    void Shutdown() override;
    void Stop() override;
    void StopAndReset() override;
    void Continue() override;
    void SetTimeCodeCallback(std::function<void(double, double, double)> callback) override;
    void SetFullFrameTimeCodeCallback(std::function<void(double)> callback) override;

    void Play() override;
    void ResetPlayer() override;
    void ResetPlayerNoFillBuffers() override;

    virtual MidiShowControl& GetMidiShowControl() = 0;
    virtual MidiClock& GetMidiClock() = 0;
    // The output's stopped report: a caesura stop pauses, the end of the song stops. A report that
    // arrives after playback was armed again (or after the operator stopped) is stale and dropped.
    virtual void NotifyOutputHasStopped();

    // The operator's tempo scale and transposition; the product builds its show control with them.
    UserControls& GetUserControls() { return userControls; }
    // Throws std::logic_error when there is no output (before CreateMidiOutput, after Shutdown).
    MidiOutput& GetMidiOutput();
    void AllNotesOff();
    std::vector<std::string> GetTrackManuAndSubType(unsigned short track);
    void SetHighSpeed();

    bool GetConductorMode();
    bool GetConductorModeIdle();
    bool IsWaitingForConductor();
    void SetConductorMode(bool on);
    void SetConductorModeIdle(bool idle);
    bool GetHasConductBeat();
    void SetHasConductBeat(bool hasConductBeat);
    // The conductor's beat (a learned "Conduct Beat"): posts statusPulse (the pickup beat counts down),
    // then as ContinuousMode: this clock runs only continuously, so a beat starts it.
    void ConductBeat();
    // When playback was armed to wait for the conductor: the clock starts and runs on its own.
    // Otherwise nothing.
    void ContinuousMode();

    // The per-track mix. Volumes go out scaled by the show control's channel-volume gain.
    void SetTrackVolume(unsigned short track, unsigned char volume);
    void SetTrackPan(unsigned short track, unsigned char pan);
    void SetTrackProgramId(unsigned short track, unsigned char program);
    void SetTrackIsMuted(unsigned short track, bool muted);
    void SetAllTracksVolume(const std::map<unsigned short, unsigned char>& volumes);
    void SetAllTracksPan(const std::map<unsigned short, unsigned char>& pans);
    void SetAllTracksProgramId(const std::map<unsigned short, unsigned char>& programs);
    void SetMutedTracks(const std::map<unsigned short, bool>& muted);

    // The show control's callbacks (see the owner note above). LoadNextSongAttacca runs inside buffer
    // filling and takes no lock.
    bool LoadNextSongAttacca();
    bool SeekToCaesuraStop();
    void ProcessJumpToCaesura();

protected:
    explicit MidiPlayer(const std::string& name);

    void DoSeek_(unsigned int tick) override;
    // Builds the output on GetMidiClock() with the five callbacks and initialises it.
    void CreateMidiOutput(unsigned char portCount);
    // Arms the show control's clock and the output; primes the ring first when it is not primed.
    void ArmPlayback();
    // Primes the ring at the show control's position when playback is not active.
    void FillBuffers();
    bool DoLoadSongAndGetIsFinished_(const std::string& songNumber);
    std::string GetNextSong();
    std::string GetPreviousSong();

private:
    // Primes the ring at the show control's position; lock holds the output lock.
    void PrimeRing_(std::unique_lock<std::recursive_mutex>& lock);
    // Re-seeks to the position the GUI shows, so a change made while not playing refills the ring.
    void ReseekToGuiTickIndex_();
    // Play's continuous start: conductor mode and idle off, the clock running.
    void StartContinuousMode_();

    UserControls userControls;
    std::unique_ptr<MidiOutput> output;
    bool hasConductBeat = false;
    TempoDifference tempoDifference;
    std::recursive_mutex playerLock;
    std::function<void(double)> fullFrameTimeCodeCallback;
};
