#pragma once

#include "FrameRate.h"
#include "MidiTimeCode.h"
#include "MidiTimeCodeMessages.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// MidiTimeCodeThread: the base of a MIDI time-code sender. It turns "play the time code from one
// position to another over a duration" into a full-frame message at every jump and an evenly spaced
// stream of quarter-frame messages. A derived platform sender supplies the port, its clock and the
// waiting loop (Run); this base supplies what to send and when.
//
// Owner: the time-code controller (or whoever derives a sender).
// Threads: the owner's thread calls the public operations, Start and Stop; the sender's own thread
// (named "MidiTimeCodeThread::Run") runs Run, which calls QuarterFrameMessageTimerCallback once per due
// quarter frame, from nextMessageSeconds on at messageIntervalSeconds spacing, while
// isSendingFutureMessages holds, and returns once isRunning is cleared.
// Locks: `mutex` (recursive) guards the time codes, the message index, the frame rate, the flags and the
// two doubles; the send operations and CancelQuarterFrameTimer of the interval and tick paths run with
// it held. `runMutex` with `runCondition` is the derived loop's wait: the base signals runCondition
// after setting a flag, having taken and released runMutex in between, so a waiter that checked the
// flags under runMutex cannot miss the signal. The two flags are atomic so that the derived loop reads
// them under runMutex alone. Lock order: mutex, then runMutex; Run must never call into the base while
// holding runMutex.
// Stop guarantee: after Stop returns, Run has returned and no quarter frame is sent until the next
// interval; the owner calls Stop before destroying a started sender.
class MidiTimeCodeThread {
public:
    MidiTimeCodeThread();
    virtual ~MidiTimeCodeThread();

    MidiTimeCodeThread(const MidiTimeCodeThread&) = delete;
    MidiTimeCodeThread& operator=(const MidiTimeCodeThread&) = delete;

    // Opens or switches to that MIDI output port; throws BrixMidiError when it cannot.
    virtual void SetOutputPortIndex(unsigned int portIndex) = 0;

    // Sends the full-frame message of the time code at these seconds; the running time codes stay.
    void SendMidiTimeCodeWithSeconds(double seconds);
    // Stops sending future quarter frames, sets all three running time codes to 00:00:00:00 at the
    // rate and starts the next quarter frames with message 0.
    void SetFrameRate(FrameRate rate);
    FrameRate GetFrameRate();
    // Plays the time code from startSeconds to endSeconds over durationSeconds: the quarter frames
    // left of the previous interval first; at a jump (start is not where the previous interval ended)
    // a full frame and the quarters up to start's quarter; then one quarter frame at once and the rest
    // spread evenly over the duration.
    void SetMidiTimeCodeInterval(double startSeconds, double endSeconds, double durationSeconds);

protected:
    // Stops waiting for the next quarter-frame time.
    virtual void CancelQuarterFrameTimer() = 0;
    // Puts the messages on the port in the order given.
    virtual void SendQuarterFrameMessages(const std::vector<QuarterFrameMessage>& messages) = 0;
    virtual void SendFullFrameMessage(const FullFrameMessage& message) = 0;
    // The thread body; see the class comment.
    virtual void Run() = 0;
    // The sender's clock, in seconds.
    virtual double GetCurrentSeconds() = 0;

    // Sets isRunning and starts the thread. Throws std::system_error when the thread cannot be made.
    void Start();
    // Clears isRunning and isSendingFutureMessages, wakes Run, cancels the timer and joins the thread.
    void Stop();
    // Sends the next quarter frame when future messages are being sent, and ends them at the
    // interval's end.
    void QuarterFrameMessageTimerCallback();
    // Arms the evenly spaced quarter frames: the next is due intervalSeconds from now.
    void SendFutureQuarterFrameMessages(double intervalSeconds);
    void CancelFutureQuarterFrameMessages();
    void SendMidiTimeCode(const MidiTimeCode& timeCode);

    std::atomic<bool> isRunning{false};
    std::atomic<bool> isSendingFutureMessages{false};
    // Guarded by mutex; written by SendFutureQuarterFrameMessages before the run loop reads them.
    double nextMessageSeconds = 0.0;
    double messageIntervalSeconds = 0.0;
    std::mutex runMutex;
    std::condition_variable runCondition;

    std::recursive_mutex mutex;

private:
    // The message quarterFrameMessageIndex of messageTimeCode; advances the index and currentTimeCode.
    QuarterFrameMessage GetNextQuarterFrameMessage();
    // After message 7 the next cycle describes the time code two frames on.
    void IncrementQuarterFrameMessageIndex();
    // Signals runCondition so that a waiter that has just checked the flags cannot miss it.
    void WakeRun();
    void RunThread_();

    FrameRate frameRate = FrameRate::Fps30;
    MidiTimeCode messageTimeCode;
    MidiTimeCode currentTimeCode;
    MidiTimeCode endTimeCode;
    std::uint8_t quarterFrameMessageIndex = 0;
    std::thread thread;
};
