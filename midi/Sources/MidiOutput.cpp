#include "MidiOutput.h"

#include "BrixMidiError.h"
#include "MidiBuffer.h"
#include "MidiClock.h"
#include "MidiOutputPorts.h"
#include "MidiQueueThread.h"

#include <brix_core/BrixLog.h>
#include <brix_core/CallbackDispatcher.h>
#include <brix_core/NotifyNames.h>
#include <fennic/CoutBuffer.h>
#include <fennic/Exceptions.h>
#include <fennic/Format.h>
#include <fennic/StackTrace.h>

#include <exception>
#include <stdexcept>
#include <utility>

namespace {
using OutputGuard = std::lock_guard<std::recursive_mutex>;
using RecursiveLock = std::unique_lock<std::recursive_mutex>;
using PlainLock = std::unique_lock<std::mutex>;
}  // namespace

MidiOutput::MidiOutput(FillCallback fill, DownbeatCallback downbeat, StoppedCallback stopped,
                       ClockIsActiveCallback clockIsActive, CheckCaesuraCallback checkCaesura, MidiClock& clock,
                       std::recursive_mutex* playerLock)
    : fill_(std::move(fill)),
      downbeat_(std::move(downbeat)),
      stopped_(std::move(stopped)),
      clockIsActive_(std::move(clockIsActive)),
      checkCaesura_(std::move(checkCaesura)),
      timeCode_([](double, double, double) {}),
      clock_(clock),
      playerLock_(playerLock),
      asyncStoppedThread_([this] { DoStoppedCallback(); })
{
}

MidiOutput::~MidiOutput() = default;

std::shared_ptr<MidiBuffer> MidiOutput::AddBuffer(unsigned char portCount, const std::string& name)
{
    std::shared_ptr<MidiBuffer> buffer = NewMidiBuffer(portCount, kBufferCapacity, name);
    GetPorts().RegisterMidiBuffer(buffer);
    return buffer;
}

void MidiOutput::Initialize(unsigned char portCount)
{
    for (std::size_t i = 0; i < kRingSize; ++i) {
        ring_.push_back(AddBuffer(portCount, fennic::format("Main Buffer %d", static_cast<int>(i))));
    }
    allNotesOffBuffer_ = AddBuffer(portCount, "allNotesOffBuffer");
    AddAllNotesOff(*allNotesOffBuffer_);
    allCCsOffBuffer_ = AddBuffer(portCount, "allCCsOffBuffer");
    AddAllCCsOff(*allCCsOffBuffer_);
    oneShotBuffer_ = AddBuffer(portCount, "oneShotBuffer");

    queueThread_ = std::make_shared<MidiQueueThread>(*this, threadManager_);
    StartAsyncStoppedThread();
}

bool MidiOutput::ArmPlayback()
{
    OutputGuard guard(mutex_);
    if (playback_) {
        return true;
    }
    if (primeInProgress_ || mustPrime_) {
        return false;
    }
    playback_ = true;
    threadManager_.ReleaseQueue();
    return true;
}

void MidiOutput::DisarmPlayback()
{
    clock_.DisarmPlayback();

    RecursiveLock output(mutex_, std::defer_lock);
    PlainLock park(threadManager_.GetParkMutex(), std::defer_lock);
    std::lock(output, park);
    // Not armable from here on, also while the queue thread is still on its way to park.
    playback_ = false;
    mustPrime_ = true;
    WaitForQueueToPark(output, park);
    output.unlock();
    park.unlock();
    notify::callbackDispatcher.Notify(notify::names::disarmedPlayback, nullptr);
}

void MidiOutput::WaitForQueueToPark(RecursiveLock& output, PlainLock& park)
{
    while (!threadManager_.IsQueueParked()) {
        // Wake a queue thread that waits for the fill buffer to need data; a fill in progress is
        // finished first. The queue thread needs the output lock to park.
        GetFillBuffer().SetHasData(false);
        output.unlock();
        threadManager_.WaitForQueueParked(park);
        park.unlock();
        std::lock(output, park);
    }
}

bool MidiOutput::PlaybackIsActive()
{
    OutputGuard guard(mutex_);
    return playback_;
}

bool MidiOutput::GetPrimeBuffersInProgress()
{
    OutputGuard guard(mutex_);
    return primeInProgress_;
}

void MidiOutput::PrimeBuffers(std::unique_lock<std::recursive_mutex>& lock)
{
    if (playback_) {
        fennic::CoutBuffer() << "PrimeBuffers called with playback_ enabled." << fennic::endl;
        fennic::PrintStackTrace(20);
        throw std::logic_error("PrimeBuffers() must only be called when playback is stopped.");
    }
    // Until the ring is whole again, playback may not be armed, whether this priming succeeds or not.
    primeInProgress_ = true;
    mustPrime_ = true;
    try {
        // A disarm may still wait for the queue thread: the ring is the priming's alone once it parked.
        PlainLock park(threadManager_.GetParkMutex(), std::defer_lock);
        lock.unlock();
        std::lock(lock, park);
        WaitForQueueToPark(lock, park);
        park.unlock();
        playIndex_ = 0;
        fillIndex_ = 0;
        lock.unlock();

        RecursiveLock b0(ring_.at(0)->GetMutex(), std::defer_lock);
        RecursiveLock b1(ring_.at(1)->GetMutex(), std::defer_lock);
        RecursiveLock b2(ring_.at(2)->GetMutex(), std::defer_lock);
        RecursiveLock b3(ring_.at(3)->GetMutex(), std::defer_lock);
        std::lock(b0, b1, b2, b3);
        for (std::size_t i = 0; i < kRingSize; ++i) {
            DoFillMidiBufferCallback(GetFillBuffer(), i == 0);
            IncrementFillBufferIndex();
        }
    } catch (...) {
        if (!lock.owns_lock()) {
            lock.lock();
        }
        primeInProgress_ = false;
        throw;
    }
    lock.lock();
    primeInProgress_ = false;
    mustPrime_ = false;
}

bool MidiOutput::QueueWaitForPlayback(const MidiQueueThread& queue)
{
    RecursiveLock output(mutex_, std::defer_lock);
    PlainLock playback(threadManager_.GetPlaybackMutex(), std::defer_lock);
    std::lock(output, playback);
    if (playback_) {
        return false;
    }
    threadManager_.SignalQueueParked();
    output.unlock();
    threadManager_.WaitForPlayback(playback, [&queue] { return !queue.ShouldRun(); });
    return true;
}

int MidiOutput::GetFillBufferIndex()
{
    OutputGuard guard(mutex_);
    return fillIndex_;
}

int MidiOutput::GetPlayBufferIndex()
{
    OutputGuard guard(mutex_);
    return playIndex_;
}

MidiBuffer& MidiOutput::GetFillBuffer()
{
    return *ring_.at(static_cast<std::size_t>(GetFillBufferIndex()));
}

MidiBuffer& MidiOutput::GetPlayBuffer()
{
    return *ring_.at(static_cast<std::size_t>(GetPlayBufferIndex()));
}

int MidiOutput::NextRingIndex(int index)
{
    return index + 1 >= static_cast<int>(kRingSize) ? 0 : index + 1;
}

void MidiOutput::IncrementFillBufferIndex()
{
    OutputGuard guard(mutex_);
    fillIndex_ = NextRingIndex(fillIndex_);
}

void MidiOutput::IncrementPlayBufferIndex()
{
    OutputGuard guard(mutex_);
    playIndex_ = NextRingIndex(playIndex_);
}

void MidiOutput::Seek(unsigned int tickIndex)
{
    OutputGuard guard(mutex_);
    currentTickIndex_ = tickIndex;
}

unsigned int MidiOutput::GetTickIndex()
{
    OutputGuard guard(mutex_);
    return currentTickIndex_;
}

void MidiOutput::SetBpmAtTickIndex(double bpm, unsigned int tickIndex)
{
    OutputGuard guard(mutex_);
    tempoTable_.SetBpmAtTickIndex(tickIndex, bpm);
    currentTickIndex_ = tickIndex;
}

template <class Build>
void MidiOutput::SendSpecialBuffer(MidiBuffer& buffer, const char* operation, Build build)
{
    RecursiveLock bufferLock(buffer.GetMutex(), std::defer_lock);
    RecursiveLock output(mutex_, std::defer_lock);
    std::lock(bufferLock, output);
    try {
        build(buffer);
        GetPorts().SendMidiBuffer(buffer);
    } catch (const InvalidVoiceEvent&) {
        fennic::CoutBuffer() << "InvalidVoiceEvent " << operation << fennic::endl;
    }
}

void MidiOutput::AllNotesOff()
{
    SendSpecialBuffer(*allNotesOffBuffer_, "MidiOutput::AllNotesOff", [](MidiBuffer&) {});
}

void MidiOutput::AllCCsOff()
{
    SendSpecialBuffer(*allCCsOffBuffer_, "MidiOutput::AllCCsOff", [](MidiBuffer&) {});
}

void MidiOutput::InjectSingleEvent(unsigned char status, unsigned short track, unsigned char data1,
                                   unsigned char data2)
{
    SendSpecialBuffer(*oneShotBuffer_, "MidiOutput::InjectSingleEvent", [&](MidiBuffer& buffer) {
        buffer.Reset();
        const auto port = static_cast<unsigned char>(track >> 4);
        const auto message = static_cast<std::uint8_t>((track & 0x0F) | status);
        buffer.AddEventToBuffer(port, brix_midi::VoiceEvent(0, message, data1, data2));
        buffer.DoneAddingEventsToBuffer();
    });
}

void MidiOutput::SendAllNotesOff(unsigned short track)
{
    InjectSingleEvent(0xB0, track, 123, 0);
    InjectSingleEvent(0xB0, track, 121, 0);
}

void MidiOutput::SetTrackVolume(unsigned short track, unsigned char volume)
{
    InjectSingleEvent(0xB0, track, 7, volume);
}

void MidiOutput::SetTrackPan(unsigned short track, unsigned char pan)
{
    InjectSingleEvent(0xB0, track, 10, pan);
}

void MidiOutput::SetTrackBank(unsigned short track, unsigned char bank)
{
    InjectSingleEvent(0xB0, track, 0, bank);
}

void MidiOutput::SetTrackProgramId(unsigned short track, unsigned char program)
{
    InjectSingleEvent(0xC0, track, program, 0);
}

namespace {

// Refills the one-shot buffer with one event per track of the map, in ascending track order, on the
// track's port; makeEvent(channel, value) builds the event.
template <class MakeEvent>
void FillOneShot(MidiBuffer& buffer, const std::map<unsigned short, unsigned char>& values, MakeEvent makeEvent)
{
    buffer.Reset();
    for (const auto& [track, value] : values) {
        buffer.AddEventToBuffer(static_cast<unsigned char>(track >> 4), makeEvent(track & 0x0F, value));
    }
    buffer.DoneAddingEventsToBuffer();
}

}  // namespace

void MidiOutput::SetAllTracksCc(const std::map<unsigned short, unsigned char>& values, unsigned char controller)
{
    SendSpecialBuffer(*oneShotBuffer_, "MidiOutput::SetAllTracksCc", [&](MidiBuffer& buffer) {
        FillOneShot(buffer, values, [controller](int channel, unsigned char value) {
            return brix_midi::VoiceEvent(0, static_cast<std::uint8_t>(channel | 0xB0), controller, value);
        });
    });
}

void MidiOutput::SetAllTracksVolume(const std::map<unsigned short, unsigned char>& volumes)
{
    SetAllTracksCc(volumes, 7);
}

void MidiOutput::SetAllTracksPan(const std::map<unsigned short, unsigned char>& pans)
{
    SetAllTracksCc(pans, 10);
}

void MidiOutput::SetAllTracksProgramId(const std::map<unsigned short, unsigned char>& programs)
{
    SendSpecialBuffer(*oneShotBuffer_, "MidiOutput::SetAllTracksProgramId", [&](MidiBuffer& buffer) {
        FillOneShot(buffer, programs, [](int channel, unsigned char program) {
            return brix_midi::VoiceEvent(0, static_cast<std::uint8_t>(channel | 0xC0), program, 0);
        });
    });
}

void MidiOutput::SetTimeCodeCallback(TimeCodeCallback callback)
{
    OutputGuard guard(mutex_);
    timeCode_ = std::move(callback);
}

void MidiOutput::PrepareForExit()
{
    clock_.DisarmPlayback();
    OutputGuard guard(mutex_);
    playback_ = false;
}

void MidiOutput::DoFillMidiBufferCallback(MidiBuffer& buffer, bool first)
{
    buffer.Reset();
    if (first) {
        buffer.SetIsFirstBuffer();
    }
    fill_(buffer);
}

void MidiOutput::ExitThreads()
{
    {
        OutputGuard guard(mutex_);
        playback_ = false;
    }
    notify::callbackDispatcher.RemoveCallbacksForTarget(this);
    if (!ring_.empty()) {
        MidiBuffer& playBuffer = GetPlayBuffer();
        OutputGuard bufferGuard(playBuffer.GetMutex());
        playBuffer.SetHasData(true);
    }
    if (queueThread_) {
        queueThread_->Exit();
        queueThread_->Join();
    }
    asyncStoppedThread_.ExitAndJoin();
}

void MidiOutput::StartAsyncStoppedThread()
{
    asyncStoppedThread_.Start();
}

void MidiOutput::SignalAsyncStoppedCallback()
{
    asyncStoppedThread_.Signal();
}

void MidiOutput::DoDownbeatCallback(unsigned int tickIndex)
{
    downbeat_(tickIndex);
}

void MidiOutput::DoStoppedCallback()
{
    stopped_();
}

void MidiOutput::DoClockIsActiveCallback()
{
    clockIsActive_();
}

bool MidiOutput::DoCheckCaesuraCallback(unsigned int tickIndex)
{
    return checkCaesura_(tickIndex);
}

void MidiOutput::DoTimeCodeCallback(double a, double b, double c)
{
    try {
        TimeCodeCallback timeCode;
        {
            OutputGuard guard(mutex_);
            timeCode = timeCode_;
        }
        timeCode(a, b, c);
    } catch (...) {
        BrixLogCurrentException(__FILE__, __LINE__);
    }
}

std::vector<std::string> MidiOutput::GetTrackManuAndSubType(unsigned short)
{
    return {};
}

void MidiOutput::SetChannelDrumMode(unsigned char, bool on)
{
    if (on) {
        throw fennic::NotImplementedError("Channel Drum Mode Not Supported");
    }
}

void MidiOutput::SetGlobalReverb(float)
{
    throw fennic::NotImplementedError("Global Reverb Not Supported");
}
