#include "MidiThreadManager.h"

void MidiThreadManager::ReleaseQueue()
{
    {
        std::lock_guard<std::mutex> playback(playbackMutex_);
        released_ = true;
        std::lock_guard<std::mutex> park(parkMutex_);
        parked_ = false;
    }
    playbackCondition_.notify_all();
}

void MidiThreadManager::SignalQueueParked()
{
    released_ = false;
    {
        std::lock_guard<std::mutex> park(parkMutex_);
        parked_ = true;
    }
    // Every disarm and priming waiting for the park goes on.
    parkedCondition_.notify_all();
}

void MidiThreadManager::SignalQueueEnded()
{
    {
        std::lock_guard<std::mutex> park(parkMutex_);
        ended_ = true;
    }
    parkedCondition_.notify_all();
}

void MidiThreadManager::WaitForQueueParked(std::unique_lock<std::mutex>& parkLock)
{
    parkedCondition_.wait(parkLock, [this] { return IsQueueParked(); });
}
