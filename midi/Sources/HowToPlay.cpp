#include "HowToPlay.h"

#include "UserControls.h"

#include <brix_core/BeatTicks.h>
#include <brix_core/Keys.h>

#include <fennic/CoutBuffer.h>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <limits>
#include <sstream>

namespace {

std::uint32_t TickOf(TL::BarsBeats const& record) { return record.tick; }
std::uint32_t TickOf(TL::Key const& record) { return record.tick; }
std::uint32_t TickOf(TL::Meter const& record) { return record.tick; }
std::uint32_t TickOf(TL::PageNum const& record) { return record.tick; }
std::uint32_t TickOf(TL::Tempo const& record) { return record.tick; }
std::uint32_t TickOf(cmn::BrixEvent const& event) { return event.abs_time(); }

// The cursor search: from element `from`, the element just before the first one
// whose tick is greater than the tick; the first element when that is the
// sequence's first element (even though it lies after the tick).
template <class Elements>
std::size_t SearchFrom(Elements const& elements, std::size_t from, std::uint32_t tickIndex)
{
    auto const greater = std::upper_bound(elements.begin() + static_cast<std::ptrdiff_t>(from), elements.end(),
                                          tickIndex,
                                          [](std::uint32_t tick, auto const& element) { return tick < TickOf(element); });
    auto const index = static_cast<std::size_t>(greater - elements.begin());
    return index == 0 ? 0 : index - 1;
}

bool IsInRegion(cmn::BrixEvent const& region, std::uint32_t tickIndex)
{
    return region.start() <= tickIndex && tickIndex < region.end();
}

[[noreturn]] void Refuse(std::string const& what)
{
    throw HowToPlayException("HowToPlay::SetData: " + what);
}

// Refuses a song on which some query would divide by zero or read a missing record.
void CheckSong(CL::SongLog const& songLog, TL::Timeline const& timeline, unsigned int ticksPerQuarter)
{
    if (ticksPerQuarter < 24 || ticksPerQuarter > std::numeric_limits<std::uint16_t>::max()) {
        Refuse("ticks per quarter note must be from 24 to 65535, not " + std::to_string(ticksPerQuarter));
    }
    if (timeline.GetTempos().empty()) {
        Refuse("the timeline has no tempo");
    }
    if (timeline.GetBarsBeats().empty()) {
        Refuse("the timeline has no bars and beats");
    }
    if (timeline.GetMeters().empty()) {
        Refuse("the timeline has no meter");
    }
    if (timeline.GetKeys().empty()) {
        Refuse("the timeline has no key");
    }
    for (TL::Tempo const& tempo : timeline.GetTempos()) {
        if (tempo.microsecondsPerQuarter == 0) {
            Refuse("the tempo at tick " + std::to_string(tempo.tick) + " has 0 microseconds per quarter note");
        }
    }
    auto const& meters = timeline.GetMeters();
    for (TL::Meter const& meter : meters) {
        if (meter.clocks_per_click == 0) {
            Refuse("the meter at tick " + std::to_string(meter.tick) + " has 0 clocks per click");
        }
        if (meter.notated_32_per_click() == 0) {
            Refuse("the meter at tick " + std::to_string(meter.tick) + " has 0 notated 32nd notes per click");
        }
    }
    for (CL::TempoScale const& tempoScale : songLog.GetTempoScales()) {
        double const factor = tempoScale.float_value();
        if (!std::isfinite(factor) || factor <= 0.0) {
            std::ostringstream text;
            text << "the tempo scale at tick " << tempoScale.abs_time() << " has the factor " << factor
                 << "; a factor must be finite and above 0";
            Refuse(text.str());
        }
    }
    // A meter is in force from its tick (the first one from tick 0) up to the next
    // meter's tick; a click region is measured against every meter it overlaps.
    for (CL::Click const& click : songLog.GetClicks()) {
        for (std::size_t i = 0; i < meters.size(); ++i) {
            std::uint64_t const from = i == 0 ? 0 : meters[i].tick;
            std::uint64_t const to =
                i + 1 < meters.size() ? meters[i + 1].tick : std::uint64_t{std::numeric_limits<std::uint32_t>::max()} + 1;
            bool const overlaps = click.start() < click.end() && from < click.end() && click.start() < to;
            if (overlaps && click.ClocksPerClick(meters[i].notated_32_per_click()) < 1) {
                Refuse("the click at tick " + std::to_string(click.abs_time()) + " of " +
                       std::to_string(click.int_value()) + " notated 32nd notes comes to less than 1 clock per click in the meter at tick " +
                       std::to_string(meters[i].tick));
            }
        }
    }
}

} // namespace

HowToPlay::HowToPlay(UserControls& userControls) : userControls_(userControls) {}

void HowToPlay::SetData(CL::SongLog const& songLog, TL::Timeline const& timeline, unsigned int ticksPerQuarter)
{
    CheckSong(songLog, timeline, ticksPerQuarter);

    lastTickIndex_ = timeline.GetLastTickIndex();
    tempos_ = TL::TimelineSequence<TL::Tempo>(timeline.GetTempos());
    barsBeats_ = TL::TimelineSequence<TL::BarsBeats>(timeline.GetBarsBeats());
    meters_ = TL::TimelineSequence<TL::Meter>(timeline.GetMeters());
    pageNums_ = TL::TimelineSequence<TL::PageNum>(timeline.GetPageNums());
    keys_ = TL::TimelineSequence<TL::Key>(timeline.GetKeys());
    transpositions_ = CL::ChangeLogSequence<CL::Transpose>(songLog.GetTranspositions());
    tempoScales_ = CL::ChangeLogSequence<CL::TempoScale>(songLog.GetTempoScales());
    clicks_ = CL::ChangeLogSequence<CL::Click>(songLog.GetClicks());
    markers_ = songLog.GetMarkers();

    hasClicks_ = !clicks_.empty();
    hasMarkers_ = !markers_.GetMarkers().empty();
    hasTempoScales_ = !tempoScales_.empty();
    hasTranspositions_ = !transpositions_.empty();
    hasPageNumbers_ = !pageNums_.empty();
    ticksPerQuarter_ = static_cast<std::uint16_t>(ticksPerQuarter);

    measureTickIndices_.clear();
    for (TL::BarsBeats const& record : barsBeats_) {
        if (record.beat == 1) {
            measureTickIndices_.push_back(record.tick);
        }
    }

    dspTickIndices_.clear();
    for (CL::Transpose const& region : transpositions_) {
        dspTickIndices_.push_back(region.start());
        dspTickIndices_.push_back(region.end());
    }
    for (CL::TempoScale const& region : tempoScales_) {
        dspTickIndices_.push_back(region.start());
        dspTickIndices_.push_back(region.end());
    }
    std::sort(dspTickIndices_.begin(), dspTickIndices_.end());
    dspTickIndices_.erase(std::unique(dspTickIndices_.begin(), dspTickIndices_.end()), dspTickIndices_.end());

    beatTickMap_.clear();
    std::vector<std::uint32_t> const beatTicks = CreateBeatTicks(timeline.GetBarsBeats(), songLog.GetClicks(),
                                                                 timeline.GetMeters(), lastTickIndex_, ticksPerQuarter);
    beatCount_ = static_cast<std::uint32_t>(beatTicks.size());
    for (std::size_t i = 0; i < beatTicks.size(); ++i) {
        beatTickMap_[beatTicks[i]] = static_cast<std::uint32_t>(beatTicks.size() - 1 - i);
    }

    clickInside_.current = false;
    transpositionInside_.current = false;
    tempoScaleInside_.current = false;
    cursor_.fill(0);

    songTitle_ = songLog.GetSongNumber() + " " + songLog.GetSongName();
    Seek(0);
    lastReportedTransposition_ = GetTranspositionValue();
    sendMarkerAndSongTitle_ = true;
}

void HowToPlay::AdvanceToTickIndex(unsigned int tickIndex)
{
    preAdvanceTempoScale_ = GetTempoScaleValue();
    preAdvanceTransposition_ = GetTranspositionValue();
    std::uint32_t const target = std::min(tickIndex, lastTickIndex_);
    if (target < tickIndex_) {
        Seek(target);
        return;
    }
    if (target > tickIndex_) {
        previousCursor_ = cursor_;
    }
    // The inside flags test the new position against the regions in force before
    // the move, so entering a region on a new element is reported on two steps.
    UpdateInsideFlags(target);
    PlaceCursors(target);
    tickIndex_ = target;
}

unsigned int HowToPlay::GetLastTickIndex() const
{
    return lastTickIndex_;
}

void HowToPlay::Seek(unsigned int tickIndex)
{
    preSeekTempoScale_ = GetTempoScaleValue();
    preSeekPitchShift_ = GetTranspositionValue();
    reported_.fill(false);
    previousCursor_.fill(0);
    tickIndex_ = std::min(tickIndex, lastTickIndex_);
    cursor_.fill(0);
    PlaceCursors(tickIndex_);
    UpdateInsideFlags(tickIndex_);
    lastSeekClocksPerClick_ = GetClocksPerClick();
    lastSeekClockTime_ = GetClockTime();
}

void HowToPlay::SetHighSpeed()
{
    highSpeed_ = true;
}

void HowToPlay::PlaceCursors(std::uint32_t tickIndex)
{
    // Empty sequences keep their cursor on 0, which is never read.
    cursor_[kTempo] = SearchFrom(tempos_, cursor_[kTempo], tickIndex);
    cursor_[kBar] = SearchFrom(barsBeats_, cursor_[kBar], tickIndex);
    cursor_[kMeter] = SearchFrom(meters_, cursor_[kMeter], tickIndex);
    cursor_[kKey] = SearchFrom(keys_, cursor_[kKey], tickIndex);
    cursor_[kPageNumber] = SearchFrom(pageNums_, cursor_[kPageNumber], tickIndex);
    cursor_[kMarker] = SearchFrom(markers_.GetMarkers(), cursor_[kMarker], tickIndex);
    cursor_[kTransposition] = SearchFrom(transpositions_, cursor_[kTransposition], tickIndex);
    cursor_[kTempoScale] = SearchFrom(tempoScales_, cursor_[kTempoScale], tickIndex);
    cursor_[kClick] = SearchFrom(clicks_, cursor_[kClick], tickIndex);
}

void HowToPlay::UpdateInsideFlags(std::uint32_t tickIndex)
{
    if (hasTranspositions_) {
        transpositionInside_.previous = transpositionInside_.current;
        transpositionInside_.current = IsInRegionAtPosition(transpositions_[cursor_[kTransposition]], tickIndex);
    }
    if (hasTempoScales_) {
        tempoScaleInside_.previous = tempoScaleInside_.current;
        tempoScaleInside_.current = IsInRegionAtPosition(tempoScales_[cursor_[kTempoScale]], tickIndex);
    }
    if (hasClicks_) {
        clickInside_.previous = clickInside_.current;
        clickInside_.current = IsInRegion(clicks_[cursor_[kClick]], tickIndex);
    }
}

// At the song's last tick a transposition or tempo-scale region that ends there is
// still in force.
bool HowToPlay::IsInRegionAtPosition(cmn::BrixEvent const& region, std::uint32_t tickIndex) const
{
    if (tickIndex == lastTickIndex_) {
        return region.start() <= tickIndex && tickIndex <= region.end();
    }
    return IsInRegion(region, tickIndex);
}

bool HowToPlay::SimpleChange(Element element)
{
    bool const changed = cursor_[element] != previousCursor_[element] || (cursor_[element] == 0 && !reported_[element]);
    if (changed) {
        reported_[element] = true;
    }
    return changed;
}

bool HowToPlay::ConditionalChange(Element element, bool has, std::uint32_t elementTick)
{
    if (!has || tickIndex_ < elementTick) {
        return false;
    }
    return SimpleChange(element);
}

bool HowToPlay::RegionChange(Element element, bool has, std::uint32_t regionTick, InsideFlags const& inside)
{
    if (!has || tickIndex_ < regionTick) {
        return false;
    }
    bool const changed = cursor_[element] != previousCursor_[element] || inside.current != inside.previous ||
                         (cursor_[element] == 0 && !reported_[element]);
    if (changed) {
        reported_[element] = true;
    }
    return changed;
}

bool HowToPlay::UpdateBar()
{
    return SimpleChange(kBar);
}

bool HowToPlay::UpdateKey()
{
    return SimpleChange(kKey);
}

bool HowToPlay::UpdateMeter()
{
    return SimpleChange(kMeter);
}

bool HowToPlay::UpdateTempo()
{
    return SimpleChange(kTempo);
}

bool HowToPlay::UpdatePageNumber()
{
    return ConditionalChange(kPageNumber, hasPageNumbers_, hasPageNumbers_ ? pageNums_[cursor_[kPageNumber]].tick : 0);
}

bool HowToPlay::UpdateMarker()
{
    return ConditionalChange(kMarker, hasMarkers_,
                             hasMarkers_ ? markers_.GetMarkers()[cursor_[kMarker]].abs_time() : 0);
}

bool HowToPlay::UpdateClick()
{
    return RegionChange(kClick, hasClicks_, hasClicks_ ? clicks_[cursor_[kClick]].abs_time() : 0, clickInside_);
}

bool HowToPlay::UpdateTempoScale()
{
    return RegionChange(kTempoScale, hasTempoScales_,
                        hasTempoScales_ ? tempoScales_[cursor_[kTempoScale]].abs_time() : 0, tempoScaleInside_);
}

bool HowToPlay::UpdateTransposition()
{
    return RegionChange(kTransposition, hasTranspositions_,
                        hasTranspositions_ ? transpositions_[cursor_[kTransposition]].abs_time() : 0,
                        transpositionInside_);
}

bool HowToPlay::UpdateClockTime()
{
    bool const tempo = UpdateTempo();
    bool const tempoScale = UpdateTempoScale();
    return tempo || tempoScale;
}

bool HowToPlay::UpdateClocksPerClick()
{
    bool const meter = UpdateMeter();
    bool const click = UpdateClick();
    return meter || click;
}

void HowToPlay::SetMarkerUpdated(bool updated)
{
    reported_[kMarker] = updated;
}

bool HowToPlay::GetSendMarkerAndSongTitle()
{
    bool const send = sendMarkerAndSongTitle_;
    sendMarkerAndSongTitle_ = false;
    return send;
}

TL::BarsBeats const& HowToPlay::GetBarBeat() const
{
    return barsBeats_[cursor_[kBar]];
}

TL::Key const& HowToPlay::GetKey() const
{
    return keys_[cursor_[kKey]];
}

TL::Meter const& HowToPlay::GetMeter() const
{
    return meters_[cursor_[kMeter]];
}

TL::Tempo const& HowToPlay::GetTempo() const
{
    return tempos_[cursor_[kTempo]];
}

CL::Click const& HowToPlay::GetClick() const
{
    if (!hasClicks_) {
        throw std::out_of_range("no Click");
    }
    return clicks_[cursor_[kClick]];
}

CL::Marker const& HowToPlay::GetMarker() const
{
    if (!hasMarkers_) {
        throw std::out_of_range("no markers");
    }
    return markers_.GetMarkers()[cursor_[kMarker]];
}

TL::PageNum const& HowToPlay::GetPageNumber() const
{
    if (!hasPageNumbers_) {
        throw std::out_of_range("There are no PageNums");
    }
    return pageNums_[cursor_[kPageNumber]];
}

CL::TempoScale const& HowToPlay::GetTempoScale() const
{
    if (!hasTempoScales_) {
        throw std::out_of_range("no TempoScale");
    }
    return tempoScales_[cursor_[kTempoScale]];
}

CL::Transpose const& HowToPlay::GetTranspose() const
{
    if (!hasTranspositions_) {
        throw std::out_of_range("no Transposition");
    }
    return transpositions_[cursor_[kTransposition]];
}

double HowToPlay::LimitTempoScaleToAllowedRange(double tempoScale) const
{
    if (!(tempoScale >= kMinTempoScale)) { // NaN too
        return kMinTempoScale;
    }
    return std::min(tempoScale, kMaxTempoScale);
}

double HowToPlay::RegionTempoScaleFactor() const
{
    if (hasTempoScales_) {
        CL::TempoScale const& region = tempoScales_[cursor_[kTempoScale]];
        if (IsInRegionAtPosition(region, tickIndex_)) {
            return region.float_value();
        }
    }
    return 1.0;
}

double HowToPlay::GetTempoScaleValue() const
{
    return LimitTempoScaleToAllowedRange(userControls_.GetTempoScale() * RegionTempoScaleFactor());
}

double HowToPlay::GetTempoScaleValueAtTickIndex(unsigned int tickIndex) const
{
    double factor = 1.0;
    if (hasTempoScales_) {
        CL::TempoScale const& region = tempoScales_[SearchFrom(tempoScales_, 0, tickIndex)];
        if (IsInRegion(region, tickIndex)) {
            factor = region.float_value();
        }
    }
    return LimitTempoScaleToAllowedRange(userControls_.GetTempoScale() * factor);
}

double HowToPlay::GetClockTime() const
{
    return GetTempo().seconds_per_clock() / GetTempoScaleValue();
}

double HowToPlay::GetTempoDouble() const
{
    return GetTempo().bpm(GetMeter().clocks_per_click) * GetTempoScaleValue();
}

int HowToPlay::GetTempoInteger() const
{
    return static_cast<int>(std::lround(GetTempoDouble()));
}

int HowToPlay::RegionTransposition() const
{
    if (hasTranspositions_) {
        CL::Transpose const& region = transpositions_[cursor_[kTransposition]];
        if (IsInRegionAtPosition(region, tickIndex_)) {
            return region.int_value();
        }
    }
    return 0;
}

int HowToPlay::GetTranspositionValue() const
{
    return userControls_.GetTransposition() + RegionTransposition();
}

int HowToPlay::GetTranspositionValueAtTickIndex(unsigned int tickIndex) const
{
    int semitones = userControls_.GetTransposition();
    if (hasTranspositions_) {
        CL::Transpose const& region = transpositions_[SearchFrom(transpositions_, 0, tickIndex)];
        if (IsInRegion(region, tickIndex)) {
            semitones += region.int_value();
        }
    }
    return semitones;
}

std::pair<int, int> HowToPlay::GetTranspositionPair()
{
    std::pair<int, int> const pair{GetTranspositionValue(), lastReportedTransposition_};
    lastReportedTransposition_ = pair.first;
    return pair;
}

int HowToPlay::GetClocksPerClick() const
{
    TL::Meter const& meter = GetMeter();
    if (hasClicks_) {
        CL::Click const& click = clicks_[cursor_[kClick]];
        if (IsInRegion(click, tickIndex_)) {
            return click.ClocksPerClick(meter.notated_32_per_click());
        }
    }
    return meter.clocks_per_click;
}

int HowToPlay::GetClocksPerClickAtTickIndex(unsigned int tickIndex) const
{
    TL::Meter const& meter = meters_[SearchFrom(meters_, 0, tickIndex)];
    if (hasClicks_) {
        CL::Click const& click = clicks_[SearchFrom(clicks_, 0, tickIndex)];
        if (IsInRegion(click, tickIndex)) {
            return click.ClocksPerClick(meter.notated_32_per_click());
        }
    }
    return meter.clocks_per_click;
}

int HowToPlay::GetNotated32PerClick() const
{
    if (hasClicks_) {
        CL::Click const& click = clicks_[cursor_[kClick]];
        if (IsInRegion(click, tickIndex_)) {
            return click.int_value();
        }
    }
    return GetMeter().notated_32_per_click();
}

int HowToPlay::GetClockNumber() const
{
    std::size_t bar = cursor_[kBar];
    while (bar > 0 && barsBeats_[bar].beat != 1) {
        --bar;
    }
    unsigned int const clocks = (tickIndex_ - barsBeats_[bar].tick) / TicksPerClock();
    return static_cast<int>(clocks % static_cast<unsigned int>(GetClocksPerClick()));
}

int HowToPlay::GetClockNumberAtTickIndex(unsigned int tickIndex) const
{
    std::size_t reference = SearchFrom(barsBeats_, 0, tickIndex);
    if (hasClicks_) {
        // Inside a click region the clocks count from the region's start when it
        // begins on a beat of the bar.
        std::uint32_t const clickStart = clicks_[SearchFrom(clicks_, 0, tickIndex)].start();
        while (barsBeats_[reference].beat != 1 && barsBeats_[reference].tick != clickStart && reference > 0) {
            --reference;
        }
    }
    unsigned int const clocks = (tickIndex - barsBeats_[reference].tick) / TicksPerClock();
    return static_cast<int>(clocks % static_cast<unsigned int>(GetClocksPerClickAtTickIndex(tickIndex)));
}

std::pair<bool, unsigned int> HowToPlay::GetNextClockTickIndex(unsigned int tickIndex) const
{
    unsigned int const ticksPerClock = TicksPerClock();
    if (tickIndex % ticksPerClock == 0) {
        return {true, tickIndex};
    }
    return {false, (tickIndex / ticksPerClock + 1) * ticksPerClock};
}

unsigned int HowToPlay::RoundDownToNearestClock(unsigned int tickIndex) const
{
    return tickIndex - tickIndex % TicksPerClock();
}

int HowToPlay::GetClicksToSongEnd() const
{
    auto const after = beatTickMap_.upper_bound(tickIndex_);
    if (after == beatTickMap_.begin()) {
        // Before the first beat (or in a song without beats) every beat is still to come.
        return static_cast<int>(beatCount_);
    }
    return static_cast<int>(std::prev(after)->second);
}

unsigned int HowToPlay::GetNextMeasureTickIndex(unsigned int tickIndex) const
{
    auto const next = std::upper_bound(measureTickIndices_.begin(), measureTickIndices_.end(), tickIndex);
    if (next == measureTickIndices_.end()) {
        throw SongEnd();
    }
    return *next;
}

unsigned int HowToPlay::GetPreviousMeasureTickIndex(unsigned int tickIndex) const
{
    auto const notBefore = std::lower_bound(measureTickIndices_.begin(), measureTickIndices_.end(), tickIndex);
    if (notBefore == measureTickIndices_.begin()) {
        throw SongBegin();
    }
    return *std::prev(notBefore);
}

unsigned int HowToPlay::GetTickIndexOfNextDspEvent() const
{
    auto const next = std::upper_bound(dspTickIndices_.begin(), dspTickIndices_.end(), tickIndex_);
    if (next == dspTickIndices_.end()) {
        return GetLastTickIndex();
    }
    return *next;
}

unsigned int HowToPlay::GetMarkerTickIndex() const
{
    if (!hasMarkers_) {
        throw std::out_of_range("there are no markers");
    }
    return markers_.GetMarkers()[cursor_[kMarker]].abs_time();
}

int HowToPlay::GetPageNumberValue() const
{
    return hasPageNumbers_ ? pageNums_[cursor_[kPageNumber]].page : 1;
}

std::string HowToPlay::GetBarString() const
{
    return TL::as_string(GetBarBeat());
}

std::string HowToPlay::GetKeyString() const
{
    TL::Key const& key = GetKey();
    return Keys::getTransposedName(key.sharpsFlats, key.mode, static_cast<short>(GetTranspositionValue()));
}

std::string HowToPlay::GetMarkerString() const
{
    if (!hasMarkers_) {
        throw std::out_of_range("there are no markers");
    }
    return markers_.GetMarkers()[cursor_[kMarker]].value();
}

std::string HowToPlay::GetMeterString() const
{
    return TL::as_string(GetMeter());
}

std::string HowToPlay::GetSongTitle() const
{
    return songTitle_;
}

std::string HowToPlay::GetTempoScaleString() const
{
    std::ostringstream text;
    text << std::fixed << std::setprecision(0) << GetTempoScaleValue() * 100.0 << "%\n";
    return text.str();
}

std::string HowToPlay::GetTempoString() const
{
    std::ostringstream text;
    text << std::fixed << std::setprecision(2) << GetTempoDouble();
    return text.str();
}

void HowToPlay::WriteDspEvents() const
{
    fennic::CoutBuffer out;
    out << "HowToPlay dsp events:" << fennic::endl;
    out << "Transpositions:" << fennic::endl;
    transpositions_.WriteEvents(out, 1);
    out << "Tempo Scales:" << fennic::endl;
    tempoScales_.WriteEvents(out, 1);
}
