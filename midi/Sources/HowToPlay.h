#pragma once

#include "ChangeLogSequence.h"
#include "HowToPlayException.h"
#include "TimelineSequence.h"

#include <brix_core/BrixEvent.h>
#include <brix_core/ChangeLog.h>
#include <brix_core/Timeline.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

class UserControls;

// The engine's model of where the playing stands in a song and how the song is to
// be played there: bar and beat, tempo, meter, key, page, marker, click pattern, the
// effective tempo scale and transposition, the duration of one MIDI clock, and
// whether any of these changed since the previous step.
//
// It keeps its own copies of one song's timeline and change-log sequences and one
// cursor pair (current, previous) per sequence. Cursors are element indexes, so a
// copy of the model designates the same elements of its own copies.
//
// Owner: the show-control layer of the player, one model per song.
// Threads: none of its own. Not thread-safe: the owner serialises every call (the
// show-control layer calls under its own lock). The user's tempo scale and
// transposition are read from UserControls afresh on every query.
//
// Calling order: construct, SetData once per song load, then AdvanceToTickIndex and
// Seek, with the change queries after each step. Nothing may be asked before the
// first successful SetData. AdvanceToTickIndex is the playing path's step: it
// allocates nothing.
//
// The effective tempo scale is the user's factor times the factor of the tempo-scale
// region in force, always limited to [kMinTempoScale, kMaxTempoScale]; every value
// derived from it (clock time, tempo, texts) uses that one limited value.
class HowToPlay {
public:
    // No measure starts before the given tick. Empty message.
    class SongBegin : public std::range_error {
    public:
        SongBegin() : std::range_error("") {}
    };
    // No measure starts after the given tick. Empty message.
    class SongEnd : public std::range_error {
    public:
        SongEnd() : std::range_error("") {}
    };

    static constexpr double kMinTempoScale = 0.5;
    static constexpr double kMaxTempoScale = 2.0;

    // An empty model reading the given controls, which must outlive it.
    explicit HowToPlay(UserControls& userControls);
    // The same song at the same position; the cursors designate the same elements of
    // the new object's own sequences.
    HowToPlay(HowToPlay const& other) = default;
    HowToPlay(HowToPlay&& other) = default;
    HowToPlay& operator=(HowToPlay const&) = delete;
    HowToPlay& operator=(HowToPlay&&) = delete;
    ~HowToPlay() = default;

    // Moves forward to the tick (clamped to the last tick index); a tick before the
    // current one is handed to Seek. Allocation-free.
    virtual void AdvanceToTickIndex(unsigned int tickIndex);
    virtual unsigned int GetLastTickIndex() const;
    // Repositions from scratch at the tick (clamped to the last tick index); every
    // change query reports once more.
    virtual void Seek(unsigned int tickIndex);
    // Loads a song and seeks to tick 0. Throws HowToPlayException, leaving the model
    // as it was, for a song it cannot play: ticks per quarter note outside [24, 65535];
    // no tempo, bars/beats, meter or key record; a tempo of 0 microseconds per quarter
    // note; a meter of 0 clocks per click or 0 notated 32nd notes per click; a click
    // region that comes to less than 1 clock per click in a meter it spans; a
    // tempo-scale factor that is not finite or not above 0.
    virtual void SetData(CL::SongLog const& songLog, TL::Timeline const& timeline, unsigned int ticksPerQuarter);
    // Sets the high-speed mark; derived models act on it.
    virtual void SetHighSpeed();

    unsigned int GetTickIndex() const { return tickIndex_; }

    // Change queries: true when the element in force changed since the previous step
    // (after a Seek or SetData: once for a cursor on its sequence's first element, on
    // every call until the next forward step otherwise). A true answer sets the
    // element's reported flag.
    bool UpdateBar();
    bool UpdateClick();
    bool UpdateKey();
    bool UpdateMarker();
    bool UpdateMeter();
    bool UpdatePageNumber();
    bool UpdateTempo();
    bool UpdateTempoScale();
    bool UpdateTransposition();
    // UpdateTempo and UpdateTempoScale, both always evaluated.
    bool UpdateClockTime();
    // UpdateMeter and UpdateClick, both always evaluated.
    bool UpdateClocksPerClick();
    void SetMarkerUpdated(bool updated);
    // The flag SetData sets; reading clears it.
    bool GetSendMarkerAndSongTitle();

    // The elements in force. The first four are unchecked; the others throw
    // std::out_of_range when their sequence is empty.
    TL::BarsBeats const& GetBarBeat() const;
    TL::Key const& GetKey() const;
    TL::Meter const& GetMeter() const;
    TL::Tempo const& GetTempo() const;
    CL::Click const& GetClick() const;
    CL::Marker const& GetMarker() const;
    TL::PageNum const& GetPageNumber() const;
    CL::TempoScale const& GetTempoScale() const;
    CL::Transpose const& GetTranspose() const;

    // Values at the current position.
    int GetClockNumber() const;
    // Seconds per MIDI clock under the effective tempo scale.
    double GetClockTime() const;
    int GetClocksPerClick() const;
    // Beats after the last beat at or before the position up to the song end; before
    // the first beat, the number of beats; 0 for a song without beats.
    int GetClicksToSongEnd() const;
    // Throws std::out_of_range without markers.
    unsigned int GetMarkerTickIndex() const;
    int GetNotated32PerClick() const;
    // 1 for a song without page numbers.
    int GetPageNumberValue() const;
    double GetTempoDouble() const;
    int GetTempoInteger() const;
    double GetTempoScaleValue() const;
    // The next tick at which the effective tempo scale or transposition may change;
    // the last tick index when there is none.
    unsigned int GetTickIndexOfNextDspEvent() const;
    int GetTranspositionValue() const;
    // (the transposition now, the one this call last returned as current); then the
    // current one becomes the last returned.
    std::pair<int, int> GetTranspositionPair();

    std::string GetBarString() const;
    std::string GetKeyString() const;
    // Throws std::out_of_range without markers.
    std::string GetMarkerString() const;
    std::string GetMeterString() const;
    std::string GetSongTitle() const;
    // The effective tempo scale in percent, no decimals, then "%" and a line end.
    std::string GetTempoScaleString() const;
    // The tempo with two decimals.
    std::string GetTempoString() const;

    // Values at a given tick; the cursors do not move.
    int GetClockNumberAtTickIndex(unsigned int tickIndex) const;
    int GetClocksPerClickAtTickIndex(unsigned int tickIndex) const;
    double GetTempoScaleValueAtTickIndex(unsigned int tickIndex) const;
    int GetTranspositionValueAtTickIndex(unsigned int tickIndex) const;
    // (true, t) when t lies on a MIDI clock, else (false, the next clock's tick).
    std::pair<bool, unsigned int> GetNextClockTickIndex(unsigned int tickIndex) const;
    unsigned int RoundDownToNearestClock(unsigned int tickIndex) const;
    // Throws SongEnd when no measure starts after the tick.
    unsigned int GetNextMeasureTickIndex(unsigned int tickIndex) const;
    // Throws SongBegin when no measure starts before the tick.
    unsigned int GetPreviousMeasureTickIndex(unsigned int tickIndex) const;

    // Snapshots taken by the last Seek and the last AdvanceToTickIndex.
    double GetLastSeekClockTime() const { return lastSeekClockTime_; }
    int GetLastSeekClocksPerClick() const { return lastSeekClocksPerClick_; }
    double GetPreSeekTempoScale() const { return preSeekTempoScale_; }
    int GetPreSeekPitchShift() const { return preSeekPitchShift_; }
    double GetPreAdvanceTempoScale() const { return preAdvanceTempoScale_; }
    int GetPreAdvanceTransposition() const { return preAdvanceTransposition_; }

    // Writes the transposition and tempo-scale regions to the console.
    void WriteDspEvents() const;

protected:
    // The tempo scale limited to [kMinTempoScale, kMaxTempoScale].
    virtual double LimitTempoScaleToAllowedRange(double tempoScale) const;

    // The user's controls, the song's own sequences and whether each change-log
    // sequence and the page numbers hold anything; derived models read them, SetData
    // alone writes the sequences and flags.
    UserControls& userControls_;
    TL::TimelineSequence<TL::BarsBeats> barsBeats_;
    CL::ChangeLogSequence<CL::Click> clicks_;
    TL::TimelineSequence<TL::Key> keys_;
    CL::MarkerSequence markers_;
    TL::TimelineSequence<TL::Meter> meters_;
    TL::TimelineSequence<TL::PageNum> pageNums_;
    TL::TimelineSequence<TL::Tempo> tempos_;
    CL::ChangeLogSequence<CL::TempoScale> tempoScales_;
    CL::ChangeLogSequence<CL::Transpose> transpositions_;

    bool hasClicks_ = false;
    bool hasMarkers_ = false;
    bool hasTempoScales_ = false;
    bool hasTranspositions_ = false;
    bool hasPageNumbers_ = false;

private:
    // The sequences, in the order of their cursor pairs and reported flags.
    enum Element : std::size_t {
        kBar,
        kClick,
        kKey,
        kMarker,
        kMeter,
        kPageNumber,
        kTempo,
        kTempoScale,
        kTransposition,
        kElementCount
    };

    // Whether the position of the last step lay inside the region of a cursor, and
    // the same one step earlier.
    struct InsideFlags {
        bool current = false;
        bool previous = false;
    };

    void PlaceCursors(std::uint32_t tickIndex);
    void UpdateInsideFlags(std::uint32_t tickIndex);
    bool IsInRegionAtPosition(cmn::BrixEvent const& region, std::uint32_t tickIndex) const;
    bool SimpleChange(Element element);
    bool ConditionalChange(Element element, bool has, std::uint32_t elementTick);
    bool RegionChange(Element element, bool has, std::uint32_t regionTick, InsideFlags const& inside);
    double RegionTempoScaleFactor() const;
    int RegionTransposition() const;
    unsigned int TicksPerClock() const { return ticksPerQuarter_ / 24u; }

    std::uint32_t tickIndex_ = 0;
    int lastReportedTransposition_ = 0;
    std::vector<std::uint32_t> measureTickIndices_;
    std::uint16_t ticksPerQuarter_ = 0;
    std::vector<std::uint32_t> dspTickIndices_;
    std::map<std::uint32_t, std::uint32_t> beatTickMap_;
    std::uint32_t beatCount_ = 0;
    std::uint32_t lastTickIndex_ = 0;
    double preAdvanceTempoScale_ = 1.0;
    int preAdvanceTransposition_ = 0;
    bool sendMarkerAndSongTitle_ = false;
    std::string songTitle_;

    std::array<std::size_t, kElementCount> cursor_{};
    std::array<std::size_t, kElementCount> previousCursor_{};

    InsideFlags clickInside_;
    InsideFlags transpositionInside_;
    InsideFlags tempoScaleInside_;

    std::array<bool, kElementCount> reported_{};

    int lastSeekClocksPerClick_ = 0;
    double lastSeekClockTime_ = 0.0;
    double preSeekTempoScale_ = 1.0;
    int preSeekPitchShift_ = 0;
    bool highSpeed_ = false;
};
