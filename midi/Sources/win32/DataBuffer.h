#pragma once

#include <brix_core/SongData.h>

#include <windows.h>
#include <mmsystem.h>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

// DataBuffer: one port's stream buffer: a MIDIHDR over its own storage of 12-byte stream events
// (delta 0, stream id 0, event word), its preparation for an output handle, and the in-use handshake
// with the stream's MOM_DONE callback.
//
// Owner: MidiBufferWin32 (shared, so a quarantined buffer outlives its slot). Movable, not copyable;
// the header always points at this object's storage and its dwUser at this object.
// Threads: the filler and the sender (under the owning buffer's lock) write the records and prepare
// the header; the stream's callback thread calls SignalMidiStreamOutDone.
// Lock: mutex_ guards only the in-use flag and pairs with doneCondition_, so the sender can wait for
// the callback while it holds the engine's locks. The callback takes nothing else.
class DataBuffer {
public:
    static constexpr std::size_t kEventSize = offsetof(MIDIEVENT, dwParms);  // 12 bytes
    static constexpr DWORD kPositionCallbackEvent = MEVT_F_CALLBACK | (static_cast<DWORD>(MEVT_NOP) << 24);

    DataBuffer(unsigned short size, unsigned char portIndex, const std::string& name);
    DataBuffer(DataBuffer&& other) noexcept;
    DataBuffer& operator=(DataBuffer&& other) noexcept;
    DataBuffer(const DataBuffer&) = delete;
    DataBuffer& operator=(const DataBuffer&) = delete;
    ~DataBuffer();

    // Appends one short message (channel 16 when use channel 15 is set). Returns false and writes
    // nothing when the buffer is full. An invalid voice event is reported on the console and left out
    // (the result is then true: the buffer is not full).
    bool AddVoiceEvent(const brix_midi::VoiceEvent& event);
    // Appends one record with the given event word; false and nothing written when full.
    bool AddCallbackEvent(unsigned long eventWord);
    bool GetBufferIsFull() const { return eventCount_ >= capacity_; }

    unsigned short GetEventCount() const { return eventCount_; }
    unsigned short GetCapacity() const { return capacity_; }
    // The count goes to 0; the storage is not cleared.
    void ResetEventCount() { eventCount_ = 0; }
    void SetUseChannel15() { useChannel15_ = true; }
    std::string GetBufferName() const;

    // Sets the recorded length to the records written and returns the header.
    MIDIHDR* GetMidiHeader();
    const unsigned char* GetRawData() const { return storage_.get(); }

    bool GetHeaderIsPrepared() const { return headerPrepared_; }
    HMIDIOUT GetPreparedOutputHandle() const { return preparedHandle_; }
    unsigned int GetTickIndex() const { return tickIndex_; }
    void SetTickIndex(unsigned int tickIndex) { tickIndex_ = tickIndex; }

    // Guarded calls (MidiImplementationError on failure).
    void PrepareHeader(HMIDIOUT handle);
    void UnprepareHeader(HMIDIOUT handle);

    bool GetInUse() const;
    // Throws MidiImplementationError "<name> in use" when the previous send has not come back.
    void SetInUse();
    // Clears in use and wakes the sender. Callback thread; takes only this buffer's mutex.
    void SignalMidiStreamOutDone();
    // Waits up to the given whole seconds for in use to clear; false when still in use.
    bool WaitForMidiStreamOutDone(int seconds);

private:
    // The record at an index, for the writers.
    unsigned char* GetMidiMessageAtMessageIndex(unsigned short index);
    void WriteRecord(DWORD eventWord);
    void PointHeaderHere();

    unsigned short size_;
    unsigned short capacity_;
    std::unique_ptr<unsigned char[]> storage_;
    unsigned short eventCount_ = 0;
    bool useChannel15_ = false;
    MIDIHDR header_{};
    bool headerPrepared_ = false;
    HMIDIOUT preparedHandle_ = nullptr;
    unsigned int tickIndex_ = 0;
    unsigned char portIndex_;
    std::string name_;
    bool inUse_ = false;
    std::unique_ptr<std::mutex> mutex_;
    std::unique_ptr<std::condition_variable> doneCondition_;
};
