#pragma once

#include <brix_core/ChangeLog.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The label and value the flow-control banner shows for a position: "Vamp" (value: the vamp's count,
// 0 for an endless vamp), "Repeat" (value: the count), "Skip" (0), "Caesura" (0, while a caesura is
// pending), or "" (0) outside all of them.
struct FlowControlState {
    std::string label;
    int value = 0;

    friend bool operator==(const FlowControlState&, const FlowControlState&) = default;
};

// SongRoad: the road through one song, decided from its change log. It knows the ranges (cuts,
// repeats, vamps, skips) and the caesuras of the song, which ranges playback is inside of and how many
// passes each has made, and answers where playback goes next. The rules are those documented on
// ShowControl, which owns one SongRoad and serialises every call on it under its lock.
// Not thread-safe. Scan, Land and Resolve allocate nothing.
class SongRoad {
public:
    enum class StepKind {
        None,     // nothing acts in the window
        Caesura,  // a caesura stops playback at `tick`
        Jump,     // at `tick` playback leaves for `target`
        Change,   // a range starts or ends at `tick` (the flow-control state changes there)
    };
    struct Step {
        StepKind kind = StepKind::None;
        std::uint32_t tick = 0;
        std::uint32_t target = 0;
    };

    // Takes the song's ranges and caesuras and plays the song from songStart to songEnd. A range whose
    // end is not after its start is left out; a repeat count below 1 counts as 1.
    void Load(const CL::SongLog& songLog, std::uint32_t songStart, std::uint32_t songEnd);

    std::uint32_t GetSongStart() const { return songStart_; }
    std::uint32_t GetSongEnd() const { return songEnd_; }

    // Where a position really lies on the road: clamped to [song start, song end] and moved past every
    // cut that holds it (a cut's end may lie in another cut).
    std::uint32_t Resolve(std::uint32_t tick) const;

    // Puts playback at a resolved tick. A user's seek starts a fresh road: passes and releases are
    // forgotten and every repeat and vamp that holds the tick is entered, the partial pass counting as
    // one. A jump along the road keeps the ranges that hold the tick or end exactly at it, leaves
    // the others, and enters the ranges that start at it. Returns whether a caesura waits at the tick
    // (it is then marked as reached, so it stops playback once).
    bool Land(std::uint32_t tick, bool userSeek);

    // Plays the window [from, to) and returns the first thing that acts in it. At one tick, in this
    // order: ranges that end there (the innermost first), a caesura, ranges that start there.
    Step Scan(std::uint32_t from, std::uint32_t to);

    // The innermost skip or vamp that holds tick. For a vamp, marks it released (it ends at its next
    // end) and returns nothing; for a skip, returns its end, where playback goes when it is left.
    std::optional<std::uint32_t> ExitFlowControlRange(std::uint32_t tick);
    // The end of the skip that holds tick, if any; for a skip exit taken later than it was asked.
    std::optional<std::uint32_t> GetSkipEndAt(std::uint32_t tick) const;

    bool HasCaesuraAt(std::uint32_t tick) const;
    // The caesuras at or after tick in tick order, less the one already reached there.
    std::vector<std::uint32_t> GetCaesuraTicksFrom(std::uint32_t tick) const;
    // Forgets which caesura was reached, so each stops playback again.
    void ForgetReachedCaesura() { reachedCaesura_.reset(); }

    // The banner's state at tick, without the caesura (ShowControl adds that).
    FlowControlState GetFlowControlState(std::uint32_t tick) const;

private:
    struct Range {
        unsigned char kind = 0;  // codes::cut, repeat, vamp or fermata (skip)
        std::uint32_t start = 0;
        std::uint32_t end = 0;
        int count = 0;
        bool open = false;      // playback entered it and has not left it
        int passes = 0;         // passes completed while open
        bool released = false;  // a vamp the operator released
    };

    bool Holds(const Range& range, std::uint32_t tick) const {
        return range.start <= tick && tick < range.end;
    }
    bool Loops(const Range& range) const;
    void Close(Range& range);
    std::optional<std::uint32_t> NextPoint(std::uint32_t from, std::uint32_t to) const;
    // The innermost range of the given kinds that holds tick.
    const Range* Innermost(std::uint32_t tick, bool skips, bool vamps, bool repeats) const;

    std::vector<Range> ranges_;  // innermost first: by start descending, then by end ascending
    std::vector<std::uint32_t> caesuras_;  // ascending
    std::optional<std::uint32_t> reachedCaesura_;
    std::uint32_t songStart_ = 0;
    std::uint32_t songEnd_ = 0;
};
