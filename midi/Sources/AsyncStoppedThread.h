#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// AsyncStoppedThread: reports that a MidiOutput has stopped (end of song, caesura) away from the clock
// path that noticed it. Every Signal() runs the stopped callback once on this thread, also a signal
// given while the callback runs.
//
// Owner: MidiOutput. Threads: "MidiOutput::AsyncStoppedThread" calls the callback; the clock path
// signals; the output's owner starts and ends it.
// Lock: mutex_ guards the count of pending signals and the exit request; the callback runs without it.
// An exception from the callback is logged and the thread waits for the next signal. Destroying it
// while its thread is joinable ends the process: ExitAndJoin() first.
class AsyncStoppedThread {
public:
    explicit AsyncStoppedThread(std::function<void()> stopped);
    AsyncStoppedThread(const AsyncStoppedThread&) = delete;
    AsyncStoppedThread& operator=(const AsyncStoppedThread&) = delete;

    void Start();
    void Signal();
    // Ends the thread once it is out of the callback; signals not yet reported are dropped. Does
    // nothing when the thread is not running.
    void ExitAndJoin();

private:
    void Run();

    std::function<void()> stopped_;
    std::mutex mutex_;
    std::condition_variable stoppedCondition_;
    unsigned int pendingSignals_ = 0;
    bool exitRequested_ = false;
    std::thread thread_;
};
