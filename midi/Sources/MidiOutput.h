#pragma once

#include "AsyncStoppedThread.h"
#include "MidiThreadManager.h"
#include "TempoTable.h"

#include <brix_core/SongData.h>
#include <fennic/PtrMap.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class MidiBuffer;
class MidiClock;
class MidiOutputPorts;
class MidiQueueThread;

// MidiOutput: plays a song out clock by clock. It owns a ring of four MIDI buffers that the queue thread
// keeps filled ahead of the clock (through the fill callback), three special buffers for out-of-band
// messages (all notes off, all controllers off, single events), the arming state of playback and a
// thread that reports a stop asynchronously. The platform subclass owns the ports and the per-clock
// send step, and builds the buffers (NewMidiBuffer).
//
// Owner: the MIDI player, which creates it, calls Initialize once, primes and arms it. The clock and
// the player lock belong to the player and outlive the output. The platform subclass's destructor
// calls ExitThreads() first.
// Threads: the player's threads (arming, priming, seeking, track settings, all-notes-off); the queue
// thread (fill side); the clock path (per-clock step of the subclass, on the clock's timer threads);
// the async-stopped thread (stopped callback).
// Locks: the output lock (recursive, GetMutex()) guards playback active, the ring indexes, the current
// tick, the tempo table, prime in progress, must prime and the time-code callback. Order: the player
// lock, then the output lock together with a buffer lock (all-or-nothing, std::lock), then the thread
// manager's locks (taken together with the output lock). PrimeBuffers releases the caller's output
// lock while the fill callback runs. DisarmPlayback and PrimeBuffers release the output lock while they
// wait for the queue thread to park, which needs that lock: call DisarmPlayback without holding the
// output lock, and PrimeBuffers holding it only through the lock it is given.
class MidiOutput {
public:
    using FillCallback = std::function<void(MidiBuffer&)>;
    using DownbeatCallback = std::function<void(unsigned int)>;
    using StoppedCallback = std::function<void()>;
    using ClockIsActiveCallback = std::function<void()>;
    using CheckCaesuraCallback = std::function<bool(unsigned int)>;
    using TimeCodeCallback = std::function<void(double, double, double)>;

    static constexpr std::size_t kRingSize = 4;
    static constexpr unsigned short kBufferCapacity = 65535;

    // Creates no buffer and no thread (Initialize does).
    MidiOutput(FillCallback fill, DownbeatCallback downbeat, StoppedCallback stopped,
               ClockIsActiveCallback clockIsActive, CheckCaesuraCallback checkCaesura, MidiClock& clock,
               std::recursive_mutex* playerLock);
    MidiOutput(const MidiOutput&) = delete;
    MidiOutput& operator=(const MidiOutput&) = delete;
    // ExitThreads() must have run (the subclass's destructor calls it).
    virtual ~MidiOutput();

    virtual void CreateSynthOutput(const std::string& deviceName) = 0;
    virtual void CreateAudioUnitOutput(const fennic::ptr_map<unsigned short, brix_midi::VoiceTrack>& tracks) = 0;
    virtual void CreateKeysOutput() = 0;
    // Stops the clock's timer chain, makes playback inactive and returns once the queue thread has
    // parked; playback must be primed again before it can be armed (also while this waits). Posts
    // disarmedPlayback. The caller must not hold the output lock: the queue thread needs it to park.
    virtual void DisarmPlayback();
    virtual void ResetMidiOutput() {}
    virtual void DecreaseGuiDelay() {}
    virtual void IncreaseGuiDelay() {}
    virtual std::vector<std::string> GetTrackManuAndSubType(unsigned short track);
    // Switching a channel to drums, and a global reverb, are left to platforms that support them.
    virtual void SetChannelDrumMode(unsigned char channel, bool on);
    virtual void SetGlobalReverb(float level);
    virtual MidiOutputPorts& GetPorts() = 0;

    // Builds the four ring buffers and the special buffers (registered with the ports), starts the
    // queue thread (parked) and the async-stopped thread. Called once, right after construction.
    void Initialize(unsigned char portCount);

    std::recursive_mutex& GetMutex() { return mutex_; }

    // True when playback is (now) active; false until the ring has been primed since the last disarm,
    // and while priming runs.
    bool ArmPlayback();
    bool PlaybackIsActive();
    bool GetPrimeBuffersInProgress();
    // Fills the four ring buffers with the first four clocks, the first one marked first, once the
    // queue thread has parked (a disarm on another thread may still wait for it). `lock` holds the
    // output lock (GetMutex()), and the caller holds it no other way; it is released while this waits
    // and while the fill callback runs, and held again when this returns or throws. Playback cannot be
    // armed until a priming has succeeded. Throws std::logic_error while playback is active.
    void PrimeBuffers(std::unique_lock<std::recursive_mutex>& lock);

    // The park step of the queue thread (called only from its Run). True when it parked, i.e. the
    // thread waited for an arming.
    bool QueueWaitForPlayback(const MidiQueueThread& queue);

    int GetFillBufferIndex();
    int GetPlayBufferIndex();
    MidiBuffer& GetFillBuffer();
    MidiBuffer& GetPlayBuffer();
    void IncrementFillBufferIndex();
    void IncrementPlayBufferIndex();

    void Seek(unsigned int tickIndex);
    unsigned int GetTickIndex();
    // Records the tempo of the clock sent at that tick; the tick becomes the current one.
    void SetBpmAtTickIndex(double bpm, unsigned int tickIndex);

    // Sends the all-notes-off or all-controllers-off buffer.
    void AllNotesOff();
    void AllCCsOff();
    // One-shot sends to a track (port = track >> 4, channel = track & 0x0F).
    void SendAllNotesOff(unsigned short track);
    void SetTrackVolume(unsigned short track, unsigned char volume);
    void SetTrackPan(unsigned short track, unsigned char pan);
    void SetTrackBank(unsigned short track, unsigned char bank);
    void SetTrackProgramId(unsigned short track, unsigned char program);
    // One one-shot buffer for all tracks of the map, in ascending track order.
    void SetAllTracksVolume(const std::map<unsigned short, unsigned char>& volumes);
    void SetAllTracksPan(const std::map<unsigned short, unsigned char>& pans);
    void SetAllTracksProgramId(const std::map<unsigned short, unsigned char>& programs);

    void SetTimeCodeCallback(TimeCodeCallback callback);
    // Stops the clock and makes playback inactive, ahead of destruction.
    void PrepareForExit();

    // Resets the buffer, marks it first when asked, then calls the fill callback with it.
    void DoFillMidiBufferCallback(MidiBuffer& buffer, bool first);

protected:
    // The platform's buffer (CreateMidiBuffer on Windows).
    virtual std::unique_ptr<MidiBuffer> NewMidiBuffer(unsigned char portCount, unsigned short capacity,
                                                      const std::string& name) = 0;
    virtual void MidiRestart() {}

    // Ends the queue thread and the async-stopped thread; wakes a clock path waiting for data.
    void ExitThreads();
    void StartAsyncStoppedThread();
    // Runs the stopped callback once on the async-stopped thread.
    void SignalAsyncStoppedCallback();

    // Each calls the callback of that name; an empty one raises std::bad_function_call.
    void DoDownbeatCallback(unsigned int tickIndex);
    void DoStoppedCallback();
    void DoClockIsActiveCallback();
    bool DoCheckCaesuraCallback(unsigned int tickIndex);
    // Calls the time-code callback; its exceptions are logged, never passed on.
    void DoTimeCodeCallback(double a, double b, double c);

    std::recursive_mutex* GetPlayerLock() const { return playerLock_; }
    MidiClock& GetClock() const { return clock_; }

private:
    // Sends a special or one-shot buffer holding its buffer lock and the output lock; build(buffer)
    // prepares it first. An InvalidVoiceEvent is reported on the console with the operation's name.
    template <class Build>
    void SendSpecialBuffer(MidiBuffer& buffer, const char* operation, Build build);
    void InjectSingleEvent(unsigned char status, unsigned short track, unsigned char data1, unsigned char data2);
    void SetAllTracksCc(const std::map<unsigned short, unsigned char>& values, unsigned char controller);
    std::shared_ptr<MidiBuffer> AddBuffer(unsigned char portCount, const std::string& name);
    static int NextRingIndex(int index);
    // With the output lock and the manager's park lock held (and held again on return): waits until
    // the queue thread has parked, waking it where it waits for the fill buffer.
    void WaitForQueueToPark(std::unique_lock<std::recursive_mutex>& output, std::unique_lock<std::mutex>& park);

    std::recursive_mutex mutex_;
    FillCallback fill_;
    DownbeatCallback downbeat_;
    StoppedCallback stopped_;
    ClockIsActiveCallback clockIsActive_;
    CheckCaesuraCallback checkCaesura_;
    TimeCodeCallback timeCode_;
    MidiClock& clock_;
    std::recursive_mutex* playerLock_;
    std::vector<std::shared_ptr<MidiBuffer>> ring_;
    std::shared_ptr<MidiBuffer> allNotesOffBuffer_;
    std::shared_ptr<MidiBuffer> allCCsOffBuffer_;
    std::shared_ptr<MidiBuffer> oneShotBuffer_;
    std::int32_t playIndex_ = 0;
    std::int32_t fillIndex_ = 0;
    bool playback_ = false;
    TempoTable tempoTable_;
    unsigned int currentTickIndex_ = 0;
    AsyncStoppedThread asyncStoppedThread_;
    std::shared_ptr<MidiQueueThread> queueThread_;
    bool primeInProgress_ = false;
    bool mustPrime_ = true;
    MidiThreadManager threadManager_;
};
