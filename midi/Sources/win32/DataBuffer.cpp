#include "DataBuffer.h"

#include "MidiDeviceInfo.h"

#include <fennic/CoutBuffer.h>
#include <fennic/Format.h>

#include <chrono>
#include <cstring>
#include <utility>

DataBuffer::DataBuffer(unsigned short size, unsigned char portIndex, const std::string& name)
    : size_(size),
      capacity_(static_cast<unsigned short>(size / kEventSize)),
      storage_(std::make_unique<unsigned char[]>(size)),
      portIndex_(portIndex),
      name_(name),
      mutex_(std::make_unique<std::mutex>()),
      doneCondition_(std::make_unique<std::condition_variable>())
{
    header_.dwFlags = MHDR_ISSTRM;
    PointHeaderHere();
}

DataBuffer::DataBuffer(DataBuffer&& other) noexcept
    : size_(other.size_),
      capacity_(other.capacity_),
      storage_(std::move(other.storage_)),
      eventCount_(other.eventCount_),
      useChannel15_(other.useChannel15_),
      header_(other.header_),
      headerPrepared_(other.headerPrepared_),
      preparedHandle_(other.preparedHandle_),
      tickIndex_(0),
      portIndex_(other.portIndex_),
      name_(std::move(other.name_)),
      inUse_(other.inUse_),
      mutex_(std::move(other.mutex_)),
      doneCondition_(std::move(other.doneCondition_))
{
    PointHeaderHere();
    other.header_.lpData = nullptr;
}

DataBuffer& DataBuffer::operator=(DataBuffer&& other) noexcept
{
    if (this != &other) {
        size_ = other.size_;
        capacity_ = other.capacity_;
        storage_ = std::move(other.storage_);
        eventCount_ = other.eventCount_;
        useChannel15_ = other.useChannel15_;
        header_ = other.header_;
        headerPrepared_ = other.headerPrepared_;
        preparedHandle_ = other.preparedHandle_;
        tickIndex_ = other.tickIndex_;
        portIndex_ = other.portIndex_;
        name_ = std::move(other.name_);
        inUse_ = other.inUse_;
        mutex_ = std::move(other.mutex_);
        doneCondition_ = std::move(other.doneCondition_);
        PointHeaderHere();
        other.header_.lpData = nullptr;
    }
    return *this;
}

DataBuffer::~DataBuffer() = default;

void DataBuffer::PointHeaderHere()
{
    header_.lpData = reinterpret_cast<LPSTR>(storage_.get());
    header_.dwUser = reinterpret_cast<DWORD_PTR>(this);
}

unsigned char* DataBuffer::GetMidiMessageAtMessageIndex(unsigned short index)
{
    return storage_.get() + static_cast<std::size_t>(index) * kEventSize;
}

void DataBuffer::WriteRecord(DWORD eventWord)
{
    const DWORD zero = 0;
    unsigned char* record = GetMidiMessageAtMessageIndex(eventCount_);
    std::memcpy(record + offsetof(MIDIEVENT, dwDeltaTime), &zero, sizeof zero);
    std::memcpy(record + offsetof(MIDIEVENT, dwStreamID), &zero, sizeof zero);
    std::memcpy(record + offsetof(MIDIEVENT, dwEvent), &eventWord, sizeof eventWord);
    ++eventCount_;
}

bool DataBuffer::AddVoiceEvent(const brix_midi::VoiceEvent& event)
{
    if (GetBufferIsFull()) {
        return false;
    }
    const std_midi::VoiceMessage& message = event.message;
    if (!event.IsValidVoiceEvent()) {
        // A bad byte sent to the device would corrupt the running status of what follows: leave it out.
        fennic::CoutBuffer() << "Attempting to add invalid voice event:" << "\n  status = " << (message.status & 0xF0)
                             << "\n  data1 = " << static_cast<char>(message.data1)
                             << "\n  data2 = " << static_cast<char>(message.data2) << fennic::endl;
        return true;
    }
    std::uint8_t status = message.status;
    if (useChannel15_) {
        status |= 0x0F;
    }
    WriteRecord(static_cast<DWORD>(status) | (static_cast<DWORD>(message.data1) << 8) |
                (static_cast<DWORD>(message.data2) << 16));
    return true;
}

bool DataBuffer::AddCallbackEvent(unsigned long eventWord)
{
    if (GetBufferIsFull()) {
        return false;
    }
    WriteRecord(static_cast<DWORD>(eventWord));
    return true;
}

std::string DataBuffer::GetBufferName() const
{
    return fennic::format("%s data buffer %d", name_.c_str(), static_cast<int>(portIndex_));
}

MIDIHDR* DataBuffer::GetMidiHeader()
{
    const auto bytes = static_cast<DWORD>(eventCount_ * kEventSize);
    header_.dwBufferLength = bytes;
    header_.dwBytesRecorded = bytes;
    return &header_;
}

void DataBuffer::PrepareHeader(HMIDIOUT handle)
{
    CheckMidiResult(midiOutPrepareHeader(handle, GetMidiHeader(), sizeof(MIDIHDR)), "calling midiOutPrepareHeader");
    headerPrepared_ = true;
    preparedHandle_ = handle;
}

void DataBuffer::UnprepareHeader(HMIDIOUT handle)
{
    CheckMidiResult(midiOutUnprepareHeader(handle, &header_, sizeof(MIDIHDR)), "calling midiOutUnprepareHeader");
    headerPrepared_ = false;
    preparedHandle_ = nullptr;
}

bool DataBuffer::GetInUse() const
{
    std::lock_guard lock(*mutex_);
    return inUse_;
}

void DataBuffer::SetInUse()
{
    std::lock_guard lock(*mutex_);
    if (inUse_) {
        throw MidiImplementationError(fennic::format("%s in use", GetBufferName().c_str()));
    }
    inUse_ = true;
}

void DataBuffer::SignalMidiStreamOutDone()
{
    // Notified under the mutex: once in use is clear, the owner may free this buffer (a quarantined
    // one is dropped by the clean-up), so nothing of it is touched after the unlock.
    std::lock_guard lock(*mutex_);
    inUse_ = false;
    doneCondition_->notify_one();
}

bool DataBuffer::WaitForMidiStreamOutDone(int seconds)
{
    std::unique_lock lock(*mutex_);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    return doneCondition_->wait_until(lock, deadline, [this] { return !inUse_; });
}
