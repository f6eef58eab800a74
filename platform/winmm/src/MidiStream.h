// One open MIDI output stream.
#pragma once

#include "MidiDevices.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

namespace winmm_impl {

using MidiOutCallback = void(CALLBACK*)(HMIDIOUT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);

// Owner: the stream handle table, from midiStreamOpen to midiStreamClose.
// Threads: the callers of the midiStream functions, and the stream's own
// thread, which sends the queued headers' events and makes every MOM_DONE
// callback. Lock: mutex_ guards every member below it; it is never held while
// sending or calling back. Lock order: mutex_, then the device's lock.
class MidiStream : public std::enable_shared_from_this<MidiStream> {
public:
    MidiStream(std::unique_ptr<MidiOutConnection> connection, MidiOutCallback callback, DWORD_PTR instance);
    ~MidiStream();
    MidiStream(const MidiStream&) = delete;
    MidiStream& operator=(const MidiStream&) = delete;

    // Starts the thread; handle is what callbacks report.
    void Start(HMIDIOUT handle);

    MMRESULT Prepare(LPMIDIHDR header, UINT size);
    MMRESULT Unprepare(LPMIDIHDR header, UINT size);
    MMRESULT Out(LPMIDIHDR header, UINT size);
    MMRESULT Restart();
    MMRESULT Stop();
    // Refuses while headers are queued; on success no call but Join follows.
    MMRESULT BeginClose();
    // Ends the thread; withheld headers are dropped without MOM_DONE.
    void Join();

private:
    void Run();
    void SendEvents(const MIDIHDR& header);
    bool IsIdle() const;
    bool OnOwnThread() const { return std::this_thread::get_id() == threadId_; }

    const std::unique_ptr<MidiOutConnection> connection_;
    const MidiOutCallback callback_;
    const DWORD_PTR instance_;
    HMIDIOUT handle_ = nullptr;

    mutable std::mutex mutex_;
    std::condition_variable wake_;  // the thread's work
    std::condition_variable idle_;  // Stop waits for the queue to drain
    std::set<LPMIDIHDR> prepared_;
    std::set<LPMIDIHDR> owned_;      // given by midiStreamOut, MOM_DONE not yet made
    std::deque<LPMIDIHDR> queued_;   // waiting to be sent
    std::deque<LPMIDIHDR> done_;     // waiting for MOM_DONE
    std::deque<LPMIDIHDR> withheld_; // sent, kept by a withholding device
    bool busy_ = false;              // sending or calling back outside the lock
    bool playing_ = false;
    bool withholdEnded_ = false;
    bool closing_ = false;
    std::thread thread_;
    std::thread::id threadId_;  // set by Start, read by callers
};

}  // namespace winmm_impl
