#include <brix_core/Editor.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <utility>

namespace CL {

namespace {

// The kind's name in the user's words; "" for a code that is no change-log kind.
std::string KindName(int code) {
    switch (code) {
    case codes::vamp: return "Vamp";
    case codes::repeat: return "Repeat";
    case codes::cut: return "Cut";
    case codes::transpose: return "Transposition";
    case codes::marker: return "Marker";
    case codes::tempoScale: return "Tempo Scale";
    case codes::click: return "Click";
    case codes::fermata: return "Skip";
    case codes::caesura: return "Caesura";
    case codes::osc: return "OSC Cue";
    default: return "";
    }
}

// Regions whose kind gives each tick a value: two of one kind must not overlap.
bool IsValueRegion(unsigned char code) {
    return code == codes::click || code == codes::tempoScale || code == codes::transpose;
}

bool IsLoop(unsigned char code) { return code == codes::vamp || code == codes::repeat; }

// "A Cut", "An OSC Cue".
std::string Article(const std::string& kind) {
    return (std::string("AEIOU").find(kind.front()) == std::string::npos ? "A " : "An ") + kind;
}

bool HasText(unsigned char code) { return code == codes::marker; }
bool HasIntValue(unsigned char code) {
    return code == codes::caesura || (codes::IsRegionCode(code) && code != codes::tempoScale);
}
bool HasFloatValue(unsigned char code) { return code == codes::tempoScale; }
bool HasSoundEffect(unsigned char /*code*/) { return false; }
bool HasOscCue(unsigned char code) { return code == codes::osc; }

bool Overlap(const cmn::BrixEvent& a, const cmn::BrixEvent& b) {
    return a.start() < b.end() && b.start() < a.end();
}

// One of the two starts strictly inside the other and ends strictly after it.
bool Cross(const cmn::BrixEvent& a, const cmn::BrixEvent& b) {
    const auto startsInsideEndsAfter = [](const cmn::BrixEvent& x, const cmn::BrixEvent& y) {
        return y.start() < x.start() && x.start() < y.end() && y.end() < x.end();
    };
    return startsInsideEndsAfter(a, b) || startsInsideEndsAfter(b, a);
}

// The least int value of the kinds whose count or length must be positive.
struct IntMinimum {
    unsigned char code;
    int least;
    const char* message;
};
constexpr IntMinimum kIntMinimums[] = {
    {codes::vamp, 0, "A vamp count cannot be negative (0 vamps until released)."},
    {codes::repeat, 1, "A repeat plays its section at least once."},
    {codes::click, 1, "A click must sound at least every notated 32nd note."},
};

void CheckValue(const cmn::BrixEvent& event) {
    const double scale = event.float_value();
    if (event.code() == codes::tempoScale && !(scale >= 0.5 && scale <= 2.0)) {
        throw EditorError("A tempo scale must lie between 50% and 200%.");
    }
    for (const IntMinimum& rule : kIntMinimums) {
        if (rule.code == event.code() && event.int_value() < rule.least) {
            throw EditorError(rule.message);
        }
    }
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The last bar or beat at or before tick; null when there is none.
const TL::BarsBeats* LastBeatAtOrBefore(const std::vector<TL::BarsBeats>& beats, std::uint32_t tick) {
    const auto after = std::upper_bound(beats.begin(), beats.end(), tick,
                                        [](std::uint32_t t, const TL::BarsBeats& b) { return t < b.tick; });
    return after == beats.begin() ? nullptr : &*std::prev(after);
}

}  // namespace

std::vector<int> GetAffectedCodes(const std::list<HistoryItem>& history) {
    std::set<int> codes;
    for (const HistoryItem& item : history) {
        for (const std::optional<cmn::BrixEvent>& event : {item.before, item.after}) {
            if (event) {
                codes.insert(event->code());
            }
        }
    }
    return std::vector<int>(codes.begin(), codes.end());
}

Editor::Editor(brix_midi::ShowData show, ChangeLog changeLog)
    : show_(std::move(show)), changeLog_(std::move(changeLog)) {
    for (const auto& [number, song] : show_.GetSongs()) {
        if (!changeLog_.HasSongLog(number)) {
            changeLog_.AddSongLog(SongLog(number, song->GetSongName()));
        }
    }
}

const brix_midi::SongData& Editor::SongOf(const std::string& songNumber) const {
    const auto found = show_.GetSongs().find(songNumber);
    if (found == show_.GetSongs().end()) {
        throw EditorError("The show has no song " + Quoted(songNumber) + ".");
    }
    return *found->second;
}

void Editor::SelectSongLogForEditing(const std::string& songNumber) {
    SongOf(songNumber);  // every song of the show has a log (the constructor sees to it)
    selectedSong_ = songNumber;
}

SongLog& Editor::SelectedLog() {
    if (selectedSong_.empty()) {
        throw EditorError("No song is selected for editing.");
    }
    return changeLog_.GetSongLog(selectedSong_);
}

const cmn::BrixEvent& Editor::Stored(const cmn::BrixEvent& event) {
    const cmn::BrixEvent* stored = SelectedLog().FindEvent(event.EventId());
    if (stored == nullptr) {
        throw EditorError("Song " + selectedSong_ + " has no event with id " +
                          Quoted(event.EventId()) + "; it may have been deleted.");
    }
    return *stored;
}

bool Editor::IdInShow(const std::string& eventId) const {
    return std::any_of(changeLog_.GetSongLogs().begin(), changeLog_.GetSongLogs().end(),
                       [&](const SongLog& log) { return log.FindEvent(eventId) != nullptr; });
}

void Editor::CheckKind(const cmn::BrixEvent& event) {
    if (KindName(event.code()).empty()) {
        throw EditorError("Events of code " + std::to_string(event.code()) +
                          " cannot be kept in the change log.");
    }
}

void Editor::CheckRules(const cmn::BrixEvent& event) const {
    CheckKind(event);
    const std::string kind = KindName(event.code());
    if (event.IsPairedEvent() != codes::IsRegionCode(event.code())) {
        throw EditorError("The " + kind + " is damaged: its region flag does not fit its kind.");
    }
    const std::uint32_t songEnd = SongOf(selectedSong_).GetTimeline().GetLastTickIndex();
    if (event.IsPairedEvent()) {
        if (event.end() <= event.start()) {
            throw EditorError("The end of a " + kind + " must come after its start.");
        }
        if (event.end() > songEnd) {
            throw EditorError("The " + kind + " reaches past the end of song " + selectedSong_ + ".");
        }
    } else {
        if (event.end() != event.start()) {
            throw EditorError(Article(kind) + " has one position: its end must equal its start.");
        }
        if (event.start() > songEnd) {
            throw EditorError("The " + kind + " lies past the end of song " + selectedSong_ + ".");
        }
    }
    CheckValue(event);
    CheckOverlaps(event);
}

void Editor::CheckOverlaps(const cmn::BrixEvent& event) const {
    const std::string kind = KindName(event.code());
    for (const cmn::BrixEvent& other : changeLog_.GetSongLog(selectedSong_).GetAllEvents()) {
        if (other.EventId() == event.EventId()) {
            continue;
        }
        const std::string otherId = " (id " + Quoted(other.EventId()) + ")";
        if (IsValueRegion(event.code()) && other.code() == event.code() && Overlap(event, other)) {
            throw EditorError(Article(kind) + " must not overlap another " + kind + otherId + ".");
        }
        if (IsLoop(event.code()) && IsLoop(other.code()) && Cross(event, other)) {
            throw EditorError(Article(kind) + " must not partly overlap the " + KindName(other.code()) +
                              otherId + ": place it inside, around or apart from it.");
        }
        if (event.code() == codes::caesura && other.code() == codes::caesura &&
            other.start() == event.start()) {
            throw EditorError("There is already a Caesura at this position" + otherId + ".");
        }
    }
}

void Editor::Record(HistoryItem item, SongLog before) {
    History& history = histories_[selectedSong_];
    history.redo.clear();
    history.undo.push_back(Step{{std::move(item)}, std::move(before)});
    if (history.undo.size() > kMaxUndoSteps) {
        history.undo.pop_front();
    }
    editedCodes_ = GetAffectedCodes(history.undo.back().items);
}

cmn::BrixEvent Editor::AddEvent(const cmn::BrixEvent& event) {
    editedCodes_.clear();
    SongLog& log = SelectedLog();
    CheckKind(event);
    cmn::BrixEvent added = event;
    if (added.EventId().empty()) {
        added.SetEventId(GetSuggestedEventIdAtTick(added.start(), added.code()));
    }
    if (IdInShow(added.EventId())) {
        throw EditorError("An event with id " + Quoted(added.EventId()) + " already exists.");
    }
    CheckRules(added);
    SongLog before = log;
    log.AddEvent(added);
    Record(HistoryItem{selectedSong_, std::nullopt, added}, std::move(before));
    return added;
}

cmn::BrixEvent Editor::DeleteEvent(const cmn::BrixEvent& event) {
    editedCodes_.clear();
    const cmn::BrixEvent deleted = Stored(event);
    SongLog& log = SelectedLog();
    SongLog before = log;
    log.RemoveEvent(deleted.EventId());
    Record(HistoryItem{selectedSong_, deleted, std::nullopt}, std::move(before));
    return deleted;
}

cmn::BrixEvent Editor::Replace(const cmn::BrixEvent& changed) {
    SongLog& log = SelectedLog();
    const cmn::BrixEvent before = Stored(changed);
    if (changed == before) {
        return before;
    }
    CheckRules(changed);
    SongLog previous = log;
    log.RemoveEvent(changed.EventId());
    log.AddEvent(changed);
    Record(HistoryItem{selectedSong_, before, changed}, std::move(previous));
    return changed;
}

cmn::BrixEvent Editor::EditEventStartEndValues(const cmn::BrixEvent& event, std::uint32_t start,
                                               std::uint32_t end, bool adjustLeft, bool adjustRight) {
    editedCodes_.clear();
    cmn::BrixEvent changed = Stored(event);
    if (!changed.IsPairedEvent()) {
        changed.SetStart(start);
        changed.SetEnd(start);
    } else {
        const bool both = adjustLeft == adjustRight;
        if (both || adjustLeft) {
            changed.SetStart(start);
        }
        if (both || adjustRight) {
            changed.SetEnd(end);
        }
    }
    return Replace(changed);
}

cmn::BrixEvent Editor::EditValue(const cmn::BrixEvent& event, bool (*kindHasValue)(unsigned char),
                                 const std::string& valueName,
                                 const std::function<void(cmn::BrixEvent&)>& apply) {
    editedCodes_.clear();
    cmn::BrixEvent changed = Stored(event);
    if (!kindHasValue(changed.code())) {
        throw EditorError(Article(KindName(changed.code())) + " has no " + valueName + " to change.");
    }
    apply(changed);
    return Replace(changed);
}

cmn::BrixEvent Editor::EditEventStringValue(const cmn::BrixEvent& event, const std::string& value) {
    return EditValue(event, HasText, "text", [&](cmn::BrixEvent& e) { e.SetStringValue(value); });
}

cmn::BrixEvent Editor::EditEventIntValue(const cmn::BrixEvent& event, int value) {
    return EditValue(event, HasIntValue, "number", [&](cmn::BrixEvent& e) { e.SetIntValue(value); });
}

cmn::BrixEvent Editor::EditEventFloatValue(const cmn::BrixEvent& event, double value) {
    return EditValue(event, HasFloatValue, "tempo scale",
                     [&](cmn::BrixEvent& e) { e.SetFloatValue(value); });
}

cmn::BrixEvent Editor::EditEventSFXPropertyValues(const cmn::BrixEvent& event,
                                                  const SfxProperties& properties) {
    return EditValue(event, HasSoundEffect, "sound effect",
                     [&](cmn::BrixEvent& e) { e.SetSfxProperties(properties); });
}

cmn::BrixEvent Editor::EditEventOscPropertyValues(const cmn::BrixEvent& event,
                                                  const OscProperties& properties) {
    return EditValue(event, HasOscCue, "OSC command",
                     [&](cmn::BrixEvent& e) { e.SetOscProperties(properties); });
}

bool Editor::CanUndo() const {
    const auto found = histories_.find(selectedSong_);
    return found != histories_.end() && !found->second.undo.empty();
}

bool Editor::CanRedo() const {
    const auto found = histories_.find(selectedSong_);
    return found != histories_.end() && !found->second.redo.empty();
}

std::list<HistoryItem> Editor::Undo() { return Restore(true); }

std::list<HistoryItem> Editor::Redo() { return Restore(false); }

std::list<HistoryItem> Editor::Restore(bool undoing) {
    editedCodes_.clear();
    SongLog& log = SelectedLog();
    History& history = histories_[selectedSong_];
    std::deque<Step>& from = undoing ? history.undo : history.redo;
    std::deque<Step>& to = undoing ? history.redo : history.undo;
    if (from.empty()) {
        throw EditorError(std::string("There is nothing to ") + (undoing ? "undo" : "redo") +
                          " in song " + selectedSong_ + ".");
    }
    Step step = std::move(from.back());
    from.pop_back();
    to.push_back(Step{step.items, std::move(log)});
    log = std::move(step.songLog);
    std::list<HistoryItem> applied = std::move(step.items);
    if (undoing) {
        applied.reverse();
        for (HistoryItem& item : applied) {
            std::swap(item.before, item.after);
        }
    }
    editedCodes_ = GetAffectedCodes(applied);
    return applied;
}

std::string Editor::GetSuggestedEventIdAtTick(std::uint32_t /*tick*/, int code) const {
    if (KindName(code).empty()) {
        throw EditorError("Code " + std::to_string(code) + " is no kind of change-log event.");
    }
    std::set<std::string> taken;
    for (const SongLog& log : changeLog_.GetSongLogs()) {
        for (const cmn::BrixEvent& event : log.GetAllEvents()) {
            taken.insert(event.EventId());
        }
    }
    const std::string prefix(1, static_cast<char>(code));
    for (std::size_t number = 1;; ++number) {
        std::string id = prefix + std::to_string(number);
        if (taken.count(id) == 0) {
            return id;
        }
    }
}

std::map<std::string, cmn::BrixEvent> Editor::GetEventsByEventId() const {
    std::map<std::string, cmn::BrixEvent> events;
    if (!selectedSong_.empty()) {
        for (const cmn::BrixEvent& event : changeLog_.GetSongLog(selectedSong_).GetAllEvents()) {
            events.emplace(event.EventId(), event);
        }
    }
    return events;
}

void Editor::UpdateNetworks(const NetworkPathVectorT& networks) {
    std::set<std::string> ids;
    for (const NetworkPath& network : networks) {
        if (!ids.insert(network.NetworkId()).second) {
            throw EditorError("Two network destinations have the id " + Quoted(network.NetworkId()) +
                              "; each needs its own.");
        }
    }
    changeLog_.SetNetworks(networks);
}

std::uint32_t Editor::GetBarBeatFloorTick(const std::string& songNumber, std::uint32_t tick) const {
    const std::vector<TL::BarsBeats>& beats = SongOf(songNumber).GetTimeline().GetBarsBeats();
    if (beats.empty()) {
        throw EditorError("Song " + songNumber + " has no bars and beats.");
    }
    const TL::BarsBeats* floor = LastBeatAtOrBefore(beats, tick);
    return floor == nullptr ? beats.front().tick : floor->tick;
}

std::optional<std::uint32_t> Editor::GetLowerBarBeatTickOrZeroIfExact(const std::string& songNumber,
                                                                      std::uint32_t tick) const {
    const TL::BarsBeats* lower =
        LastBeatAtOrBefore(SongOf(songNumber).GetTimeline().GetBarsBeats(), tick);
    if (lower == nullptr) {
        return std::nullopt;
    }
    return lower->tick == tick ? 0 : lower->tick;
}

}  // namespace CL
