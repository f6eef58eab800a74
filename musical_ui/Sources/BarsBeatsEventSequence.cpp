#include "BarsBeatsEventSequence.h"

#include <algorithm>
#include <stdexcept>

namespace brix::qt {

namespace {
constexpr float kMaxLoadFactor = 0.75F;
}

BarsBeatsEventSequence::BarsBeatsEventSequence(const TL::TimelineSequence<TL::BarsBeats>& records)
    : TL::TimelineSequence<TL::BarsBeats>(std::vector<TL::BarsBeats>(records.begin(), records.end()))
{
    barsByLabel_.max_load_factor(kMaxLoadFactor);
    for (const TL::BarsBeats& record : *this) {
        if (record.beat == 1 || bars_.empty()) {
            if (record.beat == 1 && !bars_.empty() && bars_.back().tick == record.tick)
                throw std::runtime_error("barBeat with duplicate tick index.");
            Bar bar;
            bar.tick = record.tick;
            bar.label = record.bar_number();
            bar.index = static_cast<std::uint32_t>(bars_.size());
            bar.beatTicks.max_load_factor(kMaxLoadFactor);
            barsByLabel_.emplace(bar.label, bars_.size());
            bars_.push_back(std::move(bar));
        }
        Bar& bar = bars_.back();
        std::string beat = std::to_string(record.beat);
        bar.beatTicks.emplace(beat, record.tick);
        bar.beats.push_back(std::move(beat));
    }
}

const std::string& BarsBeatsEventSequence::GetBeatLabel(std::size_t bar, std::size_t beat) const
{
    return GetBar(bar).beats.at(beat);
}

std::uint32_t BarsBeatsEventSequence::GetBeatTick(std::size_t bar, std::size_t beat) const
{
    const Bar& found = GetBar(bar);
    return found.beatTicks.at(found.beats.at(beat));
}

const BarsBeatsEventSequence::Bar* BarsBeatsEventSequence::FindBar(const std::string& label) const
{
    const auto found = barsByLabel_.find(label);
    return found == barsByLabel_.end() ? nullptr : &bars_[found->second];
}

std::uint32_t BarsBeatsEventSequence::Nearest(std::uint32_t tick) const
{
    if (empty())
        return 0;
    const auto byTick = [](const TL::BarsBeats& record, std::uint32_t value) { return record.tick < value; };
    const auto atOrAfter = std::lower_bound(begin(), end(), tick, byTick);
    const std::uint32_t upper = atOrAfter == end() ? (end() - 1)->tick : atOrAfter->tick;
    // The last record at or before tick: the one before the first record after it.
    const auto after = std::upper_bound(begin(), end(), tick,
                                        [](std::uint32_t value, const TL::BarsBeats& record) { return value < record.tick; });
    const std::uint32_t lower = after == begin() ? (end() - 1)->tick : (after - 1)->tick;
    return (upper - tick) < (tick - lower) ? upper : lower;
}

}  // namespace brix::qt
