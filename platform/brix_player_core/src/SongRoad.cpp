#include <brix_player_core/SongRoad.h>

#include <brix_core/EventCodes.h>

#include <algorithm>

namespace {

template <class Event>
void AddRanges(std::vector<Event> const& events, int countFloor, auto& out) {
    for (const Event& event : events) {
        if (event.end() > event.start()) {
            out.push_back({event.code(), event.start(), event.end(), std::max(event.int_value(), countFloor)});
        }
    }
}

}  // namespace

void SongRoad::Load(const CL::SongLog& songLog, std::uint32_t songStart, std::uint32_t songEnd) {
    songStart_ = songStart;
    songEnd_ = std::max(songStart, songEnd);
    ranges_.clear();
    AddRanges(songLog.GetCuts(), 0, ranges_);
    AddRanges(songLog.GetRepeats(), 1, ranges_);
    AddRanges(songLog.GetVamps(), 0, ranges_);
    AddRanges(songLog.GetFermatas(), 0, ranges_);
    std::stable_sort(ranges_.begin(), ranges_.end(), [](const Range& a, const Range& b) {
        return a.start != b.start ? a.start > b.start : a.end < b.end;
    });
    caesuras_.clear();
    for (const CL::Caesura& caesura : songLog.GetCaesuras()) {
        caesuras_.push_back(caesura.start());
    }
    std::sort(caesuras_.begin(), caesuras_.end());
    caesuras_.erase(std::unique(caesuras_.begin(), caesuras_.end()), caesuras_.end());
    reachedCaesura_.reset();
}

std::uint32_t SongRoad::Resolve(std::uint32_t tick) const {
    tick = std::clamp(tick, songStart_, songEnd_);
    // Each move goes forward to a cut's end, so this ends after at most one move per cut.
    for (bool moved = true; moved && tick < songEnd_;) {
        moved = false;
        for (const Range& range : ranges_) {
            if (range.kind == codes::cut && Holds(range, tick)) {
                tick = std::min(range.end, songEnd_);
                moved = true;
            }
        }
    }
    return tick;
}

bool SongRoad::Loops(const Range& range) const {
    return range.kind == codes::repeat || range.kind == codes::vamp;
}

void SongRoad::Close(Range& range) {
    range.open = false;
    range.passes = 0;
    range.released = false;
}

bool SongRoad::Land(std::uint32_t tick, bool userSeek) {
    for (Range& range : ranges_) {
        if (!Loops(range)) {
            continue;
        }
        if (userSeek) {
            Close(range);
            range.open = Holds(range, tick);
        } else if (tick < range.start || tick > range.end) {
            Close(range);
        } else if (tick == range.start) {
            range.open = true;
        }
    }
    reachedCaesura_.reset();
    if (HasCaesuraAt(tick)) {
        reachedCaesura_ = tick;
        return true;
    }
    return false;
}

std::optional<std::uint32_t> SongRoad::NextPoint(std::uint32_t from, std::uint32_t to) const {
    std::optional<std::uint32_t> next;
    const auto consider = [&](std::uint32_t tick) {
        if (tick >= from && tick < to && (!next || tick < *next)) {
            next = tick;
        }
    };
    for (const Range& range : ranges_) {
        consider(range.start);
        consider(range.end);
    }
    const auto caesura = std::lower_bound(caesuras_.begin(), caesuras_.end(), from);
    if (caesura != caesuras_.end()) {
        consider(*caesura);
    }
    return next;
}

SongRoad::Step SongRoad::Scan(std::uint32_t from, std::uint32_t to) {
    for (auto point = NextPoint(from, to); point; point = NextPoint(*point + 1, to)) {
        const std::uint32_t tick = *point;
        bool boundary = false;

        // Ranges that end here, innermost first: a loop that has passes left goes back to its start.
        for (Range& range : ranges_) {
            if (range.end != tick) {
                continue;
            }
            boundary = boundary || range.kind != codes::cut;
            if (!Loops(range) || !range.open) {
                continue;
            }
            ++range.passes;
            const bool endless = range.kind == codes::vamp && range.count == 0;
            if (!range.released && (endless || range.passes < range.count)) {
                return {StepKind::Jump, tick, range.start};
            }
            Close(range);
        }

        if (std::binary_search(caesuras_.begin(), caesuras_.end(), tick) && reachedCaesura_ != tick) {
            reachedCaesura_ = tick;
            return {StepKind::Caesura, tick, tick};
        }

        // Ranges that start here are entered before a cut here jumps, so a loop whose head is cut
        // still loops from the cut's end.
        std::optional<std::uint32_t> cutEnd;
        for (Range& range : ranges_) {
            if (range.start != tick) {
                continue;
            }
            if (range.kind == codes::cut) {
                cutEnd = range.end;
                continue;
            }
            boundary = true;
            if (Loops(range)) {
                range.open = true;
            }
        }
        if (cutEnd) {
            return {StepKind::Jump, tick, *cutEnd};
        }

        if (boundary && tick > from) {
            return {StepKind::Change, tick, tick};
        }
    }
    return {};
}

const SongRoad::Range* SongRoad::Innermost(std::uint32_t tick, bool skips, bool vamps,
                                           bool repeats) const {
    for (const Range& range : ranges_) {
        const bool wanted = (skips && range.kind == codes::fermata) ||
                            (vamps && range.kind == codes::vamp) ||
                            (repeats && range.kind == codes::repeat);
        if (wanted && Holds(range, tick)) {
            return &range;
        }
    }
    return nullptr;
}

std::optional<std::uint32_t> SongRoad::ExitFlowControlRange(std::uint32_t tick) {
    const Range* range = Innermost(tick, true, true, false);
    if (range == nullptr) {
        return std::nullopt;
    }
    if (range->kind == codes::fermata) {
        return range->end;
    }
    Range& vamp = ranges_[static_cast<std::size_t>(range - ranges_.data())];
    if (vamp.open) {
        vamp.released = true;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> SongRoad::GetSkipEndAt(std::uint32_t tick) const {
    const Range* skip = Innermost(tick, true, false, false);
    return skip ? std::optional<std::uint32_t>(skip->end) : std::nullopt;
}

bool SongRoad::HasCaesuraAt(std::uint32_t tick) const {
    return std::binary_search(caesuras_.begin(), caesuras_.end(), tick);
}

std::vector<std::uint32_t> SongRoad::GetCaesuraTicksFrom(std::uint32_t tick) const {
    std::vector<std::uint32_t> ticks;
    for (auto it = std::lower_bound(caesuras_.begin(), caesuras_.end(), tick); it != caesuras_.end(); ++it) {
        if (reachedCaesura_ != *it) {
            ticks.push_back(*it);
        }
    }
    return ticks;
}

FlowControlState SongRoad::GetFlowControlState(std::uint32_t tick) const {
    const Range* range = Innermost(tick, true, true, true);
    if (range == nullptr) {
        return {};
    }
    if (range->kind == codes::fermata) {
        return {"Skip", 0};
    }
    return {range->kind == codes::vamp ? "Vamp" : "Repeat", range->count};
}
