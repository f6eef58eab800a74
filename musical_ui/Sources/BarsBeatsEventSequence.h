#pragma once

#include "TimelineSequence.h"

#include <brix_core/Timeline.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace brix::qt {

// BarsBeatsEventSequence: the bar and beat map of one song, built from the engine's bars-and-beats
// records. It keeps the records themselves (for snapping a tick to the nearest beat) and groups them
// into bars: each bar has its tick, its label (the bar number text), its 0-based index and its beats
// in order, each beat with its label (the beat number in decimal) and tick.
// A record with beat number 1 opens a bar; the records after it, up to the next such record, are its
// beats. Records before the first bar start (a pickup that starts on a later beat) open a bar of their
// own, labelled by their bar number.
// Owner: the EditModel, shared with the timeline; rebuilt, never changed, when the song's bars change.
// Thread: GUI thread only.
class BarsBeatsEventSequence : public TL::TimelineSequence<TL::BarsBeats> {
public:
    struct Bar {
        std::uint32_t tick = 0;
        std::string label = "Unk";
        std::uint32_t index = 0;
        std::vector<std::string> beats;
        std::unordered_map<std::string, std::uint32_t> beatTicks;
    };

    // Throws std::runtime_error("barBeat with duplicate tick index.") when two bars start on one tick.
    explicit BarsBeatsEventSequence(const TL::TimelineSequence<TL::BarsBeats>& records);

    std::size_t GetBarCount() const { return bars_.size(); }
    const Bar& GetBar(std::size_t index) const { return bars_.at(index); }
    std::uint32_t GetBarTick(std::size_t index) const { return GetBar(index).tick; }
    const std::string& GetBarLabel(std::size_t index) const { return GetBar(index).label; }
    std::size_t GetBeatCount(std::size_t bar) const { return GetBar(bar).beats.size(); }
    const std::string& GetBeatLabel(std::size_t bar, std::size_t beat) const;
    std::uint32_t GetBeatTick(std::size_t bar, std::size_t beat) const;
    // The bar of that label; null when the song has none.
    const Bar* FindBar(const std::string& label) const;

    // The tick of the record nearest to tick: the nearer of the last record at or before it and the
    // first at or after it; a tie goes to the earlier one. 0 when there are no records.
    std::uint32_t Nearest(std::uint32_t tick) const;

private:
    std::vector<Bar> bars_;
    std::unordered_map<std::string, std::size_t> barsByLabel_;
};

}  // namespace brix::qt
