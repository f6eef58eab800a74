#include "MidiBufferWin32.h"

#include <stdexcept>

namespace {
using BufferGuard = std::lock_guard<std::recursive_mutex>;
}  // namespace

MidiBufferWin32::MidiBufferWin32(unsigned char portCount, unsigned short dataBufferSize, const std::string& name)
    : MidiBuffer(portCount, name), dataBufferSize_(dataBufferSize)
{
    dataBuffers_.reserve(portCount);
    for (unsigned int port = 0; port < portCount; ++port) {
        dataBuffers_.push_back(MakeDataBuffer(static_cast<unsigned char>(port)));
    }
}

MidiBufferWin32::~MidiBufferWin32() = default;

std::shared_ptr<DataBuffer> MidiBufferWin32::MakeDataBuffer(unsigned char port) const
{
    auto buffer = std::make_shared<DataBuffer>(dataBufferSize_, port, GetName());
    if (port != 0) {
        buffer->SetUseChannel15();
    }
    return buffer;
}

std::shared_ptr<DataBuffer>& MidiBufferWin32::SlotOf(unsigned char port)
{
    if (port >= dataBuffers_.size()) {
        throw std::out_of_range("invalid vector subscript");
    }
    return dataBuffers_[port];
}

bool MidiBufferWin32::AddEventToBuffer(unsigned char port, const brix_midi::VoiceEvent& event)
{
    BufferGuard guard(GetMutex());
    if (GetBufferIsFull(port)) {
        return false;
    }
    dataBuffers_[port]->AddVoiceEvent(event);
    if (event.IsValidVoiceEvent()) {
        FilterProgramChange(port, event);
    }
    return true;
}

bool MidiBufferWin32::GetBufferIsFull(unsigned char port)
{
    BufferGuard guard(GetMutex());
    return dataBuffers_[port]->GetBufferIsFull();
}

void* MidiBufferWin32::GetPacketDataAtPortIndex(unsigned char port)
{
    BufferGuard guard(GetMutex());
    return const_cast<unsigned char*>(dataBuffers_[port]->GetRawData());
}

unsigned short MidiBufferWin32::GetPortEventCount(unsigned char port)
{
    BufferGuard guard(GetMutex());
    return dataBuffers_[port]->GetEventCount();
}

void MidiBufferWin32::ResetPortEventCounts()
{
    BufferGuard guard(GetMutex());
    for (const auto& buffer : dataBuffers_) {
        buffer->ResetEventCount();
    }
}

void MidiBufferWin32::SetTickIndex(unsigned int tickIndex)
{
    BufferGuard guard(GetMutex());
    MidiBuffer::SetTickIndex(tickIndex);
    if (!dataBuffers_.empty()) {
        dataBuffers_[0]->SetTickIndex(tickIndex);
    }
}

bool MidiBufferWin32::AddPositionCallback()
{
    BufferGuard guard(GetMutex());
    return SlotOf(0)->AddCallbackEvent(DataBuffer::kPositionCallbackEvent);
}

DataBuffer& MidiBufferWin32::GetDataBuffer(unsigned char port)
{
    BufferGuard guard(GetMutex());
    return *SlotOf(port);
}

void MidiBufferWin32::PrepareHeaders(HMIDIOUT handle)
{
    BufferGuard guard(GetMutex());
    for (const auto& buffer : dataBuffers_) {
        buffer->PrepareHeader(handle);
    }
}

void MidiBufferWin32::UnprepareHeaders(HMIDIOUT handle)
{
    BufferGuard guard(GetMutex());
    for (const auto& buffer : dataBuffers_) {
        buffer->UnprepareHeader(handle);
    }
}

void MidiBufferWin32::QuarantineDataBuffer(unsigned char port, HMIDIOUT handle)
{
    BufferGuard guard(GetMutex());
    std::shared_ptr<DataBuffer>& slot = SlotOf(port);
    std::shared_ptr<DataBuffer> fresh = MakeDataBuffer(port);
    fresh->PrepareHeader(handle);
    quarantined_.push_back(std::move(slot));
    slot = std::move(fresh);
}

void MidiBufferWin32::CleanUpQuarantinedDataBuffers(HMIDIOUT handle)
{
    BufferGuard guard(GetMutex());
    for (auto it = quarantined_.begin(); it != quarantined_.end();) {
        if ((*it)->GetInUse()) {
            ++it;
            continue;
        }
        (*it)->UnprepareHeader(handle);
        it = quarantined_.erase(it);
    }
}

bool MidiBufferWin32::GetHasQuarantinedDataBuffers()
{
    BufferGuard guard(GetMutex());
    return !quarantined_.empty();
}

std::uint32_t MidiBufferWin32::GetQuarantinedDataBufferCount()
{
    BufferGuard guard(GetMutex());
    return static_cast<std::uint32_t>(quarantined_.size());
}

void MidiBufferWin32::RetainDataBufferLock(unsigned char port)
{
    BufferGuard guard(GetMutex());
    retainedPorts_.insert(port);
}

MidiBuffer* CreateMidiBuffer(unsigned char portCount, unsigned short capacity, const std::string& name)
{
    return new MidiBufferWin32(portCount, capacity, name);
}
