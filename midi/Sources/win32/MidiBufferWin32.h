#pragma once

#include "DataBuffer.h"
#include "MidiBuffer.h"

#include <mmsystem.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

// MidiBufferWin32: the Windows MidiBuffer. One DataBuffer per output port (index = port); ports 1 and
// up play on MIDI channel 16. A data buffer that the driver did not give back is quarantined: it stays
// alive and prepared, off the rotation, until the driver reports it done and a clean-up drops it.
//
// Owner: MidiOutput (built through CreateMidiBuffer), registered with the output ports.
// Threads: the filler (queue thread, player threads) and the clock path.
// Lock: the buffer lock (MidiBuffer::GetMutex()) guards the data buffers, the quarantine list and the
// retained ports; every operation here takes it.
class MidiBufferWin32 : public MidiBuffer {
public:
    // portCount data buffers of dataBufferSize bytes each (dataBufferSize / 12 events).
    MidiBufferWin32(unsigned char portCount, unsigned short dataBufferSize, const std::string& name);
    ~MidiBufferWin32() override;

    // False (and nothing added) when the port's data buffer is full. The port must be below the port
    // count.
    bool AddEventToBuffer(unsigned char port, const brix_midi::VoiceEvent& event) override;
    void DoneAddingEventsToBuffer() override {}
    bool GetBufferIsFull(unsigned char port) override;
    void* GetPacketDataAtPortIndex(unsigned char port) override;
    unsigned short GetPortEventCount(unsigned char port) override;
    void ResetPortEventCounts() override;
    void SetTickIndex(unsigned int tickIndex) override;

    // Appends a position-callback marker to port 0 when it has room; false when it had none.
    bool AddPositionCallback();

    // std::out_of_range ("invalid vector subscript") for a port beyond the data buffers.
    DataBuffer& GetDataBuffer(unsigned char port);

    void PrepareHeaders(HMIDIOUT handle);
    void UnprepareHeaders(HMIDIOUT handle);

    // Moves the port's data buffer to the quarantine and gives the port a fresh one prepared for handle.
    void QuarantineDataBuffer(unsigned char port, HMIDIOUT handle);
    // Unprepares and drops every quarantined data buffer that is no longer in use.
    void CleanUpQuarantinedDataBuffers(HMIDIOUT handle);
    bool GetHasQuarantinedDataBuffers();
    std::uint32_t GetQuarantinedDataBufferCount();

    void RetainDataBufferLock(unsigned char port);

private:
    std::shared_ptr<DataBuffer> MakeDataBuffer(unsigned char port) const;
    // The slot of a port, checked.
    std::shared_ptr<DataBuffer>& SlotOf(unsigned char port);

    std::vector<std::shared_ptr<DataBuffer>> dataBuffers_;
    std::vector<std::shared_ptr<DataBuffer>> quarantined_;
    std::set<unsigned char> retainedPorts_;
    unsigned short dataBufferSize_;
};

// The platform's MIDI buffer: a new MidiBufferWin32 on the heap, owned by the caller.
MidiBuffer* CreateMidiBuffer(unsigned char portCount, unsigned short capacity, const std::string& name);
