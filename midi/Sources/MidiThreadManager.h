#pragma once

#include <condition_variable>
#include <mutex>

// MidiThreadManager: the two hand-shakes between a MidiOutput and its queue thread: the release when
// playback is armed (output → queue thread) and the notice that the queue thread has parked (queue
// thread → output, awaited by MidiOutput::DisarmPlayback).
//
// Owner: MidiOutput (one manager per output). Threads: the output's callers and its queue thread.
// Locks: the playback lock guards the released flag and pairs with the playback condition; the park
// lock guards the parked and ended flags and pairs with the parked condition. Order: the output lock,
// then the playback lock, then the park lock; the output lock and one of these are taken together.
// Waits check their flags, so a spurious wake-up never passes for a release or a park.
class MidiThreadManager {
public:
    MidiThreadManager() = default;
    MidiThreadManager(const MidiThreadManager&) = delete;
    MidiThreadManager& operator=(const MidiThreadManager&) = delete;

    std::mutex& GetPlaybackMutex() { return playbackMutex_; }
    std::mutex& GetParkMutex() { return parkMutex_; }

    // Output side, playback armed: releases the parked queue thread (it is no longer parked).
    void ReleaseQueue();
    // Queue thread, with the playback lock held: it parks now and waits for the next release.
    void SignalQueueParked();
    // Queue thread, on its way out: it will never touch a buffer again, so waiters for the park stop
    // waiting for good.
    void SignalQueueEnded();

    // Queue thread, with the playback lock held: waits until a release, or until stop() is true (the
    // thread is asked to end; the caller releases the queue after setting what stop() reads).
    template <class Stop>
    void WaitForPlayback(std::unique_lock<std::mutex>& playbackLock, Stop stop)
    {
        playbackCondition_.wait(playbackLock, [&] { return released_ || stop(); });
    }

    // Park lock held by the caller: whether the queue thread is parked (or has ended).
    bool IsQueueParked() const { return parked_ || ended_; }
    // Park lock held by the caller: waits until the queue thread has parked or ended.
    void WaitForQueueParked(std::unique_lock<std::mutex>& parkLock);

private:
    std::mutex playbackMutex_;
    std::condition_variable playbackCondition_;
    bool released_ = false;
    std::mutex parkMutex_;
    std::condition_variable parkedCondition_;
    bool parked_ = true;
    bool ended_ = false;
};
