#include "TempoTable.h"

void TempoTable::SetBpmAtTickIndex(unsigned int tickIndex, double bpm)
{
    entries_[next_] = {tickIndex, bpm};
    next_ = (next_ + 1) % kCapacity;
    if (size_ < kCapacity) {
        ++size_;
    }
}

std::optional<double> TempoTable::GetBpmAtTickIndex(unsigned int tickIndex) const
{
    // Newest first, so a tick sent again answers with its latest tempo.
    for (std::size_t age = 1; age <= size_; ++age) {
        const auto& [tick, bpm] = entries_[(next_ + kCapacity - age) % kCapacity];
        if (tick == tickIndex) {
            return bpm;
        }
    }
    return std::nullopt;
}
