#pragma once

#include <atomic>
#include <thread>

class MidiBuffer;
class MidiOutput;
class MidiThreadManager;

// MidiQueueThread: keeps the ring of four buffers of a MidiOutput filled ahead of the clock. While
// playback is armed it waits for the next buffer in fill order to be sent by the clock path, refills it
// through the output's fill callback and moves the fill index on; while playback is not armed it parks
// (MidiThreadManager).
//
// Owner: MidiOutput, through a shared pointer; created by Initialize, ended by ExitThreads.
// Threads: its own thread "midi_queue_run" (highest priority) runs Run(); the output's owner calls
// Exit() and Join(). The fill callback is called holding none of the output's locks. A fill that
// throws is logged and reported to the GUI (notify::guiDispatcher.SendPlaybackError), and its buffer
// becomes the last one, so playback ends cleanly at it; the thread goes on, and the later buffers of
// the same arming are marked last without another fill.
// Destroying it while its thread is joinable ends the process: Join() first.
class MidiQueueThread {
public:
    MidiQueueThread(MidiOutput& output, MidiThreadManager& manager);
    MidiQueueThread(const MidiQueueThread&) = delete;
    MidiQueueThread& operator=(const MidiQueueThread&) = delete;

    bool ShouldRun() const { return !exitRequested_.load(); }
    void Exit() { exitRequested_.exchange(true); }
    // Asks the thread to end, wakes it wherever it waits (parked, or for a buffer to need data) and
    // joins it. Does nothing the second time.
    void Join();

private:
    void ThreadMain();
    void Run();
    // Fills the buffer through the output's fill callback; a failure marks it last (see above).
    void FillOrEndPlayback_(MidiBuffer& buffer);

    MidiOutput& output_;
    MidiThreadManager& manager_;
    std::atomic<bool> exitRequested_{false};
    std::atomic<bool> joined_{false};
    bool fillFailed_ = false;  // a fill of this arming threw (queue thread only)
    std::thread thread_;  // last: starts once the members above exist
};
