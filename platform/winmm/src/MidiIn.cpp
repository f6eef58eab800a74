// MIDI input handles: midiInOpen to midiInClose.
#include "Faults.h"
#include "HandleTable.h"
#include "MidiDevices.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <pthread.h>
#include <thread>

namespace winmm_impl {
namespace {

using MidiInCallback = void(CALLBACK*)(HMIDIIN, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);

// One open input. Owner: the input handle table, from midiInOpen to
// midiInClose. Threads: the back end's thread posts messages, the input's own
// thread makes the MIM_DATA callbacks, callers start, reset and close. Lock:
// mutex_ guards the queue and the flags; no callback runs under it. Stop
// guarantee: once Close returns, no callback runs and none will.
class MidiInput {
public:
    MidiInput(MidiInCallback callback, DWORD_PTR instance) : callback_(callback), instance_(instance) {}
    ~MidiInput() { Close(); }
    MidiInput(const MidiInput&) = delete;
    MidiInput& operator=(const MidiInput&) = delete;

    // Starts the thread; handle is what callbacks report.
    void Start(HMIDIIN handle, std::unique_ptr<MidiInConnection> connection)
    {
        handle_ = handle;
        connection_ = std::move(connection);
        thread_ = std::thread([this] { Run(); });
        threadId_ = thread_.get_id();
    }

    // The back end's sink: non-blocking, accepted only while started.
    bool Post(DWORD message)
    {
        {
            std::lock_guard lock(mutex_);
            if (!started_) {
                return false;
            }
            const auto elapsed = std::chrono::steady_clock::now() - startedAt_;
            const auto stamp = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
            queue_.push_back({message & 0x00FFFFFFU, static_cast<DWORD>(stamp)});
        }
        wake_.notify_one();
        return true;
    }

    MMRESULT StartInput()
    {
        std::lock_guard lock(mutex_);
        if (closing_) {
            return MMSYSERR_INVALHANDLE;
        }
        if (!started_) {
            started_ = true;
            startedAt_ = std::chrono::steady_clock::now();
        }
        return MMSYSERR_NOERROR;
    }

    MMRESULT Reset()
    {
        std::lock_guard lock(mutex_);
        if (closing_) {
            return MMSYSERR_INVALHANDLE;
        }
        started_ = false;
        queue_.clear();
        return MMSYSERR_NOERROR;
    }

    MMRESULT BeginClose()
    {
        if (std::this_thread::get_id() == threadId_) {
            return MMSYSERR_HANDLEBUSY;
        }
        std::lock_guard lock(mutex_);
        if (closing_) {
            return MMSYSERR_INVALHANDLE;
        }
        closing_ = true;
        started_ = false;
        queue_.clear();
        return MMSYSERR_NOERROR;
    }

    // Detaches from the device, then waits for a callback in flight.
    void Close()
    {
        {
            std::lock_guard lock(mutex_);
            closing_ = true;
            started_ = false;
        }
        connection_.reset();
        wake_.notify_one();
        if (thread_.joinable()) {
            thread_.join();
        }
    }

private:
    struct Message {
        DWORD data;
        DWORD stamp;
    };

    void Run()
    {
        pthread_setname_np(pthread_self(), "winmm_midi_in");
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return closing_ || !queue_.empty(); });
            if (closing_) {
                return;
            }
            const Message message = queue_.front();
            queue_.pop_front();
            lock.unlock();
            callback_(handle_, MIM_DATA, instance_, message.data, message.stamp);
            lock.lock();
        }
    }

    const MidiInCallback callback_;
    const DWORD_PTR instance_;
    HMIDIIN handle_ = nullptr;
    std::unique_ptr<MidiInConnection> connection_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Message> queue_;
    bool started_ = false;
    bool closing_ = false;
    std::chrono::steady_clock::time_point startedAt_;
    std::thread thread_;
    std::thread::id threadId_;
};

HandleTable<MidiInput>& Inputs()
{
    static HandleTable<MidiInput> table;
    return table;
}

}  // namespace
}  // namespace winmm_impl

using winmm_impl::HandleValue;
using winmm_impl::Inputs;
using winmm_impl::TakeFailure;
using winmm_virtual::Call;

UINT WINAPI midiInGetNumDevs()
{
    return static_cast<UINT>(winmm_impl::GetInputDevices().size());
}

MMRESULT WINAPI midiInGetDevCapsW(UINT_PTR uDeviceID, LPMIDIINCAPSW pmic, UINT cbmic)
{
    if (auto failure = TakeFailure(Call::midiInGetDevCapsW)) {
        return *failure;
    }
    if (pmic == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    const auto devices = winmm_impl::GetInputDevices();
    if (uDeviceID >= devices.size()) {
        return MMSYSERR_BADDEVICEID;
    }
    const MIDIINCAPSW caps = devices[uDeviceID]->GetCaps();
    std::memcpy(pmic, &caps, std::min<std::size_t>(cbmic, sizeof caps));
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiInOpen(LPHMIDIIN phmi, UINT uDeviceID, DWORD_PTR dwCallback, DWORD_PTR dwInstance,
                           DWORD fdwOpen)
{
    if (auto failure = TakeFailure(Call::midiInOpen)) {
        return *failure;
    }
    if (phmi == nullptr || dwCallback == 0) {
        return MMSYSERR_INVALPARAM;
    }
    if (fdwOpen != CALLBACK_FUNCTION) {
        return MMSYSERR_INVALFLAG;
    }
    const auto devices = winmm_impl::GetInputDevices();
    if (uDeviceID >= devices.size()) {
        return MMSYSERR_BADDEVICEID;
    }
    auto input = std::make_shared<winmm_impl::MidiInput>(
        reinterpret_cast<winmm_impl::MidiInCallback>(dwCallback), dwInstance);
    auto connection = devices[uDeviceID]->Open([raw = input.get()](DWORD message) { return raw->Post(message); });
    if (!connection) {
        return MMSYSERR_NOTENABLED;
    }
    const std::uintptr_t value = Inputs().Insert(input);
    input->Start(winmm_impl::ToHandle<HMIDIIN>(value), std::move(connection));
    *phmi = winmm_impl::ToHandle<HMIDIIN>(value);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiInStart(HMIDIIN hmi)
{
    if (auto failure = TakeFailure(Call::midiInStart)) {
        return *failure;
    }
    auto input = Inputs().Find(HandleValue(hmi));
    return input ? input->StartInput() : MMSYSERR_INVALHANDLE;
}

MMRESULT WINAPI midiInReset(HMIDIIN hmi)
{
    if (auto failure = TakeFailure(Call::midiInReset)) {
        return *failure;
    }
    auto input = Inputs().Find(HandleValue(hmi));
    return input ? input->Reset() : MMSYSERR_INVALHANDLE;
}

MMRESULT WINAPI midiInClose(HMIDIIN hmi)
{
    if (auto failure = TakeFailure(Call::midiInClose)) {
        return *failure;
    }
    auto input = Inputs().Find(HandleValue(hmi));
    if (!input) {
        return MMSYSERR_INVALHANDLE;
    }
    const MMRESULT result = input->BeginClose();
    if (result != MMSYSERR_NOERROR) {
        return result;
    }
    Inputs().Remove(HandleValue(hmi));
    input->Close();
    return MMSYSERR_NOERROR;
}
