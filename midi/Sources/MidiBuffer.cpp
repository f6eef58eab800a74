#include "MidiBuffer.h"
#include "MidiStatus.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/NotifyNames.h>

#include <chrono>

namespace {
using BufferGuard = std::lock_guard<std::recursive_mutex>;
}

MidiBuffer::MidiBuffer(unsigned char portCount, const std::string& name)
    : portCount_(portCount), name_(name)
{
}

MidiBuffer::~MidiBuffer() = default;

unsigned char MidiBuffer::GetPortCount()
{
    BufferGuard guard(bufferMutex_);
    return portCount_;
}

unsigned int MidiBuffer::GetTickIndex()
{
    BufferGuard guard(bufferMutex_);
    return tickIndex_;
}

void MidiBuffer::SetTickIndex(unsigned int tickIndex)
{
    BufferGuard guard(bufferMutex_);
    tickIndex_ = tickIndex;
}

int MidiBuffer::GetClockNumber()
{
    BufferGuard guard(bufferMutex_);
    return clockNumber_;
}

void MidiBuffer::SetClockNumber(int clockNumber)
{
    BufferGuard guard(bufferMutex_);
    clockNumber_ = clockNumber;
}

bool MidiBuffer::GetIsFirstBuffer()
{
    BufferGuard guard(bufferMutex_);
    return isFirstBuffer_;
}

void MidiBuffer::SetIsFirstBuffer()
{
    BufferGuard guard(bufferMutex_);
    isFirstBuffer_ = true;
}

bool MidiBuffer::GetIsLastBuffer()
{
    BufferGuard guard(bufferMutex_);
    return isLastBuffer_;
}

void MidiBuffer::SetIsLastBuffer(bool isLast)
{
    BufferGuard guard(bufferMutex_);
    isLastBuffer_ = isLast;
    if (isLast) {
        SetHasData(true);
    }
}

void MidiBuffer::SetHasData(bool hasData)
{
    {
        std::lock_guard<std::mutex> data(dataMutex_);
        hasData_ = hasData;
    }
    dataCondition_.notify_one();
}

bool MidiBuffer::WaitUntilReadyForOutput()
{
    std::unique_lock<std::mutex> data(dataMutex_);
    dataCondition_.wait_until(data, std::chrono::steady_clock::now() + std::chrono::seconds(1),
                              [this] { return hasData_; });
    return hasData_;
}

bool MidiBuffer::WaitUntilNeedsData()
{
    std::unique_lock<std::mutex> data(dataMutex_);
    dataCondition_.wait(data, [this] { return !hasData_; });
    return true;
}

void MidiBuffer::SetShouldSendAllNotesOff()
{
    BufferGuard guard(bufferMutex_);
    if (!isFirstBuffer_) {
        shouldSendAllNotesOff_ = true;
    }
}

void MidiBuffer::SetShouldSendAllCCsOff()
{
    BufferGuard guard(bufferMutex_);
    if (!isFirstBuffer_) {
        shouldSendAllCCsOff_ = true;
    }
}

bool MidiBuffer::GetShouldSendAllNotesOff()
{
    BufferGuard guard(bufferMutex_);
    const bool requested = shouldSendAllNotesOff_;
    shouldSendAllNotesOff_ = false;
    return requested;
}

bool MidiBuffer::GetShouldSendAllCCsOff()
{
    BufferGuard guard(bufferMutex_);
    const bool requested = shouldSendAllCCsOff_;
    shouldSendAllCCsOff_ = false;
    return requested;
}

unsigned short MidiBuffer::GetPortEventCount(unsigned char port)
{
    BufferGuard guard(bufferMutex_);
    return portEventCounts_[port];
}

void MidiBuffer::ResetPortEventCounts()
{
    BufferGuard guard(bufferMutex_);
    portEventCounts_.clear();
}

void MidiBuffer::FilterProgramChange(unsigned char port, const brix_midi::VoiceEvent& event)
{
    const std::uint8_t status = event.message.status;
    if ((status & 0xF0) != midi_status::kProgramChange) {
        return;
    }
    BufferGuard guard(bufferMutex_);
    const auto key = static_cast<unsigned short>((port << 8) | (status & 0x0F));
    programChanges_[key] = event.message.data1;
}

void MidiBuffer::SendProgramChanges()
{
    BufferGuard guard(bufferMutex_);
    if (!programChanges_.empty()) {
        notify::callbackDispatcher.Notify(notify::names::currentProgramIds, &programChanges_);
    }
}

void MidiBuffer::SetPluginIds(PluginIds&& pluginIds)
{
    BufferGuard guard(bufferMutex_);
    onDeckPluginIds_ = std::move(pluginIds);
    hasPluginIds_ = true;
}

double MidiBuffer::GetClockTimeSeconds(double beatsPerMinute) const
{
    return 1.0 / (static_cast<double>(clocksPerClick_) * beatsPerMinute / 60.0);
}

void MidiBuffer::Reset()
{
    std::unique_lock<std::mutex> data(dataMutex_, std::defer_lock);
    std::unique_lock<std::recursive_mutex> buffer(bufferMutex_, std::defer_lock);
    std::lock(data, buffer);
    hasData_ = false;
    tickIndex_ = 0;
    isLastBuffer_ = false;
    isFirstBuffer_ = false;
    // Both requests belong to the clock the buffer last carried; a reused buffer starts clean.
    shouldSendAllNotesOff_ = false;
    shouldSendAllCCsOff_ = false;
    clockNumber_ = 0;
    ResetPortEventCounts();
    programChanges_.clear();
    hasPluginIds_ = false;
}

void AddAllNotesOff(MidiBuffer& buffer)
{
    // Every port: the notes of a song sound on all of them.
    const unsigned char portCount = buffer.GetPortCount();
    for (unsigned char port = 0; port < portCount; ++port) {
        for (unsigned char channel = 0; channel < 16; ++channel) {
            const auto status = static_cast<std::uint8_t>(midi_status::kControlChange | channel);
            buffer.AddEventToBuffer(port, brix_midi::VoiceEvent(0, status, midi_status::kAllNotesOff, 0));
            buffer.AddEventToBuffer(port, brix_midi::VoiceEvent(0, status, midi_status::kResetAllControllers, 0));
        }
    }
    buffer.DoneAddingEventsToBuffer();
}

void AddAllCCsOff(MidiBuffer& buffer)
{
    const unsigned char portCount = buffer.GetPortCount();
    for (unsigned char port = 0; port < portCount; ++port) {
        for (unsigned char channel = 0; channel < 16; ++channel) {
            buffer.AddEventToBuffer(port, brix_midi::VoiceEvent(0, static_cast<std::uint8_t>(midi_status::kControlChange | channel), midi_status::kResetAllControllers, 0));
        }
    }
    buffer.DoneAddingEventsToBuffer();
}
