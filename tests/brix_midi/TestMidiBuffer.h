#pragma once

#include "MidiBuffer.h"

#include <cstddef>
#include <limits>
#include <utility>
#include <vector>

// A buffer that keeps its events in plain vectors, one per port, and in one list in the order they
// were added. A port holds at most `capacity` events; a port beyond the port count throws, as the
// platform's storage does.
class VectorMidiBuffer : public MidiBuffer {
public:
    explicit VectorMidiBuffer(unsigned char portCount = 1,
                              std::size_t portCapacity = std::numeric_limits<std::size_t>::max())
        : MidiBuffer(portCount, "test"), ports(portCount), capacity(portCapacity)
    {
    }

    bool AddEventToBuffer(unsigned char port, const brix_midi::VoiceEvent& event) override
    {
        auto& storage = ports.at(port);
        if (storage.size() >= capacity) {
            return false;
        }
        storage.push_back(event);
        added.emplace_back(port, event);
        FilterProgramChange(port, event);
        return true;
    }
    void DoneAddingEventsToBuffer() override { ++doneCalls; }
    bool GetBufferIsFull(unsigned char port) override { return ports.at(port).size() >= capacity; }
    void* GetPacketDataAtPortIndex(unsigned char port) override { return ports.at(port).data(); }

    // Empties the storage, as the sender does once the buffer went out.
    void Clear()
    {
        for (auto& port : ports) {
            port.clear();
        }
        added.clear();
    }

    std::vector<std::vector<brix_midi::VoiceEvent>> ports;
    std::vector<std::pair<unsigned char, brix_midi::VoiceEvent>> added;
    std::size_t capacity;
    int doneCalls = 0;
};
