// Test side of the multimedia stand-in: virtual MIDI devices registered in
// process, fault hooks and timer-period counters.
//
// A virtual device joins the front part of its device list when constructed
// (after the virtual devices registered before it) and leaves it when
// destroyed; a handle opened on it stays usable until closed. All members are
// thread-safe.
#pragma once

#include <mmsystem.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace winmm_virtual {

// One short message as a stream sent it, with the CLOCK_MONOTONIC time
// (std::chrono::steady_clock) at which it was sent.
struct CapturedEvent {
    BYTE status = 0;
    BYTE data1 = 0;
    BYTE data2 = 0;
    std::chrono::steady_clock::time_point sentAt;
};

class VirtualOutputState;
class VirtualInputState;

// An output device that captures every event sent to it.
class VirtualMidiOutput {
public:
    explicit VirtualMidiOutput(std::u16string name);
    ~VirtualMidiOutput();
    VirtualMidiOutput(const VirtualMidiOutput&) = delete;
    VirtualMidiOutput& operator=(const VirtualMidiOutput&) = delete;

    // The device's current index in the output list.
    UINT GetDeviceId() const;

    std::vector<CapturedEvent> GetEvents() const;
    // Waits until at least count events were captured; false on time-out.
    bool WaitForEventCount(std::size_t count, std::chrono::milliseconds timeout) const;
    void ClearEvents();

    // While withholding, a stream keeps every header it has sent, still
    // queued, without MOM_DONE (as a driver that never gives a buffer back);
    // midiStreamStop does not return them either. Ending the withholding
    // returns the kept headers with MOM_DONE on the stream's thread.
    void WithholdDone(bool withhold);

private:
    std::shared_ptr<VirtualOutputState> state_;
};

// An input device into which a test injects short messages.
class VirtualMidiInput {
public:
    explicit VirtualMidiInput(std::u16string name);
    ~VirtualMidiInput();
    VirtualMidiInput(const VirtualMidiInput&) = delete;
    VirtualMidiInput& operator=(const VirtualMidiInput&) = delete;

    UINT GetDeviceId() const;

    // Hands the message to every handle open on this device; returns how many
    // accepted it (a handle accepts only while started). Delivery as MIM_DATA
    // follows on each handle's own thread.
    std::size_t Inject(BYTE status, BYTE data1, BYTE data2);

private:
    std::shared_ptr<VirtualInputState> state_;
};

// The calls a fault hook can make fail.
enum class Call {
    midiStreamOpen,
    midiStreamOut,
    midiStreamRestart,
    midiStreamStop,
    midiStreamClose,
    midiOutPrepareHeader,
    midiOutUnprepareHeader,
    midiOutGetDevCapsW,
    midiOutGetErrorTextW,
    midiInGetDevCapsW,
    midiInOpen,
    midiInStart,
    midiInReset,
    midiInClose,
    timeBeginPeriod,
    timeEndPeriod,
    timeSetEvent,
    timeKillEvent,
    SetThreadPriority,
    CreateWaitableTimerW,
    SetWaitableTimer,
    WaitForSingleObject,
    CloseHandle,
};

// The next call of that kind, from any thread, does nothing and fails with
// the code: an MMRESULT function returns it (timeSetEvent returns 0), a BOOL
// or HANDLE function returns FALSE or null and sets it as the last error, and
// WaitForSingleObject returns it as its wait result.
void FailNextCall(Call call, DWORD code);
// Drops every failure that no call has taken yet.
void ClearFailures();

// Calls of timeBeginPeriod and timeEndPeriod since start or the last reset,
// failed ones included.
struct TimePeriodCounts {
    unsigned int begin = 0;
    unsigned int end = 0;
};
TimePeriodCounts GetTimePeriodCounts();
void ResetTimePeriodCounts();

// Holds the multimedia timer thread up for the given time before it fires its next timer, as a
// stalled machine would: every timer that falls due meanwhile fires late, in deadline order. Timers
// can still be set and killed during the stall.
void StallNextTimerFiring(std::chrono::milliseconds stall);
// Multimedia timer callbacks begun since the process started.
std::size_t GetTimerFiringCount();

}  // namespace winmm_virtual
