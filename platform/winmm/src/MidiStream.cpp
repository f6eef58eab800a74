#include "MidiStream.h"

#include "Faults.h"
#include "HandleTable.h"

#include <cstring>
#include <pthread.h>

namespace winmm_impl {
namespace {

using winmm_virtual::Call;

constexpr std::size_t kEventSize = offsetof(MIDIEVENT, dwParms);  // 12 bytes
constexpr DWORD kLongEventFlag = 0x80000000U;

DWORD EventWordAt(const MIDIHDR& header, std::size_t offset)
{
    DWORD word = 0;
    std::memcpy(&word, header.lpData + offset + offsetof(MIDIEVENT, dwEvent), sizeof word);
    return word;
}

// Bytes taken by the event at offset: 12, or 12 plus the padded parameters of
// a long event; 0 when it does not fit within the recorded bytes.
std::size_t EventSizeAt(const MIDIHDR& header, std::size_t offset)
{
    const std::size_t recorded = header.dwBytesRecorded;
    if (recorded - offset < kEventSize) {
        return 0;
    }
    const DWORD word = EventWordAt(header, offset);
    std::size_t size = kEventSize;
    if (word & kLongEventFlag) {
        size += ((word & 0x00FFFFFFU) + 3) & ~std::size_t{3};
    }
    return size <= recorded - offset ? size : 0;
}

bool IsWellFormed(const MIDIHDR& header)
{
    if (header.dwBytesRecorded > header.dwBufferLength ||
        (header.dwBytesRecorded > 0 && header.lpData == nullptr)) {
        return false;
    }
    std::size_t offset = 0;
    while (offset < header.dwBytesRecorded) {
        const std::size_t size = EventSizeAt(header, offset);
        if (size == 0) {
            return false;
        }
        offset += size;
    }
    return true;
}

HandleTable<MidiStream>& Streams()
{
    static HandleTable<MidiStream> table;
    return table;
}

std::shared_ptr<MidiStream> FindStream(std::uintptr_t value)
{
    return Streams().Find(value);
}

}  // namespace

MidiStream::MidiStream(std::unique_ptr<MidiOutConnection> connection, MidiOutCallback callback,
                       DWORD_PTR instance)
    : connection_(std::move(connection)), callback_(callback), instance_(instance)
{
}

MidiStream::~MidiStream()
{
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    Join();
}

void MidiStream::Start(HMIDIOUT handle)
{
    handle_ = handle;
    std::weak_ptr<MidiStream> weak = weak_from_this();
    connection_->SetWithholdEndedHandler([weak] {
        if (auto stream = weak.lock()) {
            {
                std::lock_guard lock(stream->mutex_);
                stream->withholdEnded_ = true;
            }
            stream->wake_.notify_one();
        }
    });
    thread_ = std::thread([this] { Run(); });
    threadId_ = thread_.get_id();
}

MMRESULT MidiStream::Prepare(LPMIDIHDR header, UINT size)
{
    if (header == nullptr || size < sizeof(MIDIHDR) || header->lpData == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    std::lock_guard lock(mutex_);
    if (closing_) {
        return MMSYSERR_INVALHANDLE;
    }
    if (owned_.contains(header)) {
        return MIDIERR_STILLPLAYING;
    }
    prepared_.insert(header);
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT MidiStream::Unprepare(LPMIDIHDR header, UINT size)
{
    if (header == nullptr || size < sizeof(MIDIHDR)) {
        return MMSYSERR_INVALPARAM;
    }
    std::lock_guard lock(mutex_);
    if (closing_) {
        return MMSYSERR_INVALHANDLE;
    }
    if (owned_.contains(header)) {
        return MIDIERR_STILLPLAYING;
    }
    prepared_.erase(header);
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT MidiStream::Out(LPMIDIHDR header, UINT size)
{
    if (header == nullptr || size < sizeof(MIDIHDR)) {
        return MMSYSERR_INVALPARAM;
    }
    {
        std::lock_guard lock(mutex_);
        if (closing_) {
            return MMSYSERR_INVALHANDLE;
        }
        if (!prepared_.contains(header)) {
            return MIDIERR_UNPREPARED;
        }
        if (owned_.contains(header)) {
            return MIDIERR_STILLPLAYING;
        }
        if (!IsWellFormed(*header)) {
            return MMSYSERR_INVALPARAM;
        }
        header->dwFlags = (header->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE;
        owned_.insert(header);
        queued_.push_back(header);
    }
    wake_.notify_one();
    return MMSYSERR_NOERROR;
}

MMRESULT MidiStream::Restart()
{
    {
        std::lock_guard lock(mutex_);
        if (closing_) {
            return MMSYSERR_INVALHANDLE;
        }
        playing_ = true;
    }
    wake_.notify_one();
    return MMSYSERR_NOERROR;
}

MMRESULT MidiStream::Stop()
{
    if (OnOwnThread()) {
        return MMSYSERR_HANDLEBUSY;
    }
    std::unique_lock lock(mutex_);
    if (closing_) {
        return MMSYSERR_INVALHANDLE;
    }
    playing_ = false;
    done_.insert(done_.end(), queued_.begin(), queued_.end());
    queued_.clear();
    wake_.notify_one();
    idle_.wait(lock, [this] { return IsIdle() || closing_; });
    return MMSYSERR_NOERROR;
}

MMRESULT MidiStream::BeginClose()
{
    if (OnOwnThread()) {
        return MMSYSERR_HANDLEBUSY;
    }
    {
        std::lock_guard lock(mutex_);
        if (closing_) {
            return MMSYSERR_INVALHANDLE;
        }
        if (!IsIdle() || !queued_.empty()) {
            return MIDIERR_STILLPLAYING;
        }
        closing_ = true;
    }
    wake_.notify_one();
    return MMSYSERR_NOERROR;
}

void MidiStream::Join()
{
    wake_.notify_one();
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool MidiStream::IsIdle() const
{
    return done_.empty() && !busy_;
}

void MidiStream::Run()
{
    pthread_setname_np(pthread_self(), "winmm_stream");
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] {
            return closing_ || withholdEnded_ || !done_.empty() || (playing_ && !queued_.empty());
        });
        if (closing_) {
            return;
        }
        if (withholdEnded_) {
            withholdEnded_ = false;
            lock.unlock();
            const bool stillWithheld = connection_->WithholdsDone();
            lock.lock();
            if (!stillWithheld) {
                done_.insert(done_.end(), withheld_.begin(), withheld_.end());
                withheld_.clear();
            }
        } else if (!done_.empty()) {
            LPMIDIHDR header = done_.front();
            done_.pop_front();
            owned_.erase(header);
            header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
            busy_ = true;
            lock.unlock();
            callback_(handle_, MOM_DONE, instance_, reinterpret_cast<DWORD_PTR>(header), 0);
            lock.lock();
            busy_ = false;
        } else {
            LPMIDIHDR header = queued_.front();
            queued_.pop_front();
            busy_ = true;
            lock.unlock();
            SendEvents(*header);
            const bool withhold = connection_->WithholdsDone();
            lock.lock();
            busy_ = false;
            (withhold ? withheld_ : done_).push_back(header);
        }
        if (IsIdle()) {
            idle_.notify_all();
        }
    }
}

void MidiStream::SendEvents(const MIDIHDR& header)
{
    std::size_t offset = 0;
    while (offset < header.dwBytesRecorded) {
        const DWORD word = EventWordAt(header, offset);
        if ((word & kLongEventFlag) == 0 && ((word >> 24) & 0x3F) == MEVT_SHORTMSG) {
            connection_->Send(word & 0x00FFFFFFU);
        }
        offset += EventSizeAt(header, offset);
    }
}

}  // namespace winmm_impl

using winmm_impl::FindStream;
using winmm_impl::HandleValue;
using winmm_impl::TakeFailure;
using winmm_virtual::Call;

MMRESULT WINAPI midiStreamOpen(LPHMIDISTRM phms, LPUINT puDeviceID, DWORD cMidi, DWORD_PTR dwCallback,
                               DWORD_PTR dwInstance, DWORD fdwOpen)
{
    if (auto failure = TakeFailure(Call::midiStreamOpen)) {
        return *failure;
    }
    if (phms == nullptr || puDeviceID == nullptr || cMidi != 1 || dwCallback == 0) {
        return MMSYSERR_INVALPARAM;
    }
    if (fdwOpen != CALLBACK_FUNCTION) {
        return MMSYSERR_INVALFLAG;
    }
    const auto devices = winmm_impl::GetOutputDevices();
    if (*puDeviceID >= devices.size()) {
        return MMSYSERR_BADDEVICEID;
    }
    auto connection = devices[*puDeviceID]->Open();
    if (!connection) {
        return MMSYSERR_NOTENABLED;
    }
    auto stream = std::make_shared<winmm_impl::MidiStream>(
        std::move(connection), reinterpret_cast<winmm_impl::MidiOutCallback>(dwCallback), dwInstance);
    const std::uintptr_t value = winmm_impl::Streams().Insert(stream);
    stream->Start(winmm_impl::ToHandle<HMIDIOUT>(value));
    *phms = winmm_impl::ToHandle<HMIDISTRM>(value);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiOutPrepareHeader(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh)
{
    if (auto failure = TakeFailure(Call::midiOutPrepareHeader)) {
        return *failure;
    }
    auto stream = FindStream(HandleValue(hmo));
    return stream ? stream->Prepare(pmh, cbmh) : MMSYSERR_INVALHANDLE;
}

MMRESULT WINAPI midiOutUnprepareHeader(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh)
{
    if (auto failure = TakeFailure(Call::midiOutUnprepareHeader)) {
        return *failure;
    }
    auto stream = FindStream(HandleValue(hmo));
    return stream ? stream->Unprepare(pmh, cbmh) : MMSYSERR_INVALHANDLE;
}

MMRESULT WINAPI midiStreamOut(HMIDISTRM hms, LPMIDIHDR pmh, UINT cbmh)
{
    if (auto failure = TakeFailure(Call::midiStreamOut)) {
        return *failure;
    }
    auto stream = FindStream(HandleValue(hms));
    return stream ? stream->Out(pmh, cbmh) : MMSYSERR_INVALHANDLE;
}

MMRESULT WINAPI midiStreamRestart(HMIDISTRM hms)
{
    if (auto failure = TakeFailure(Call::midiStreamRestart)) {
        return *failure;
    }
    auto stream = FindStream(HandleValue(hms));
    return stream ? stream->Restart() : MMSYSERR_INVALHANDLE;
}

MMRESULT WINAPI midiStreamStop(HMIDISTRM hms)
{
    if (auto failure = TakeFailure(Call::midiStreamStop)) {
        return *failure;
    }
    auto stream = FindStream(HandleValue(hms));
    return stream ? stream->Stop() : MMSYSERR_INVALHANDLE;
}

MMRESULT WINAPI midiStreamClose(HMIDISTRM hms)
{
    if (auto failure = TakeFailure(Call::midiStreamClose)) {
        return *failure;
    }
    auto stream = FindStream(HandleValue(hms));
    if (!stream) {
        return MMSYSERR_INVALHANDLE;
    }
    const MMRESULT result = stream->BeginClose();
    if (result != MMSYSERR_NOERROR) {
        return result;
    }
    winmm_impl::Streams().Remove(HandleValue(hms));
    stream->Join();
    return MMSYSERR_NOERROR;
}
