#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <utility>

// TempoTable: the tempo (beats per minute) at the ticks of the most recently sent MIDI clocks. It holds
// the last kCapacity entries and drops the oldest, so a song played for hours never grows it; nothing
// is allocated after construction.
//
// Owner: MidiOutput, under its output lock. Not thread-safe itself.
class TempoTable {
public:
    static constexpr std::size_t kCapacity = 512;

    void SetBpmAtTickIndex(unsigned int tickIndex, double bpm);
    // The tempo last recorded at that tick, when it is still held.
    std::optional<double> GetBpmAtTickIndex(unsigned int tickIndex) const;
    std::size_t GetSize() const { return size_; }

private:
    std::array<std::pair<unsigned int, double>, kCapacity> entries_{};
    std::size_t next_ = 0;  // where the next entry goes; the oldest once full
    std::size_t size_ = 0;
};
