#pragma once

#include <brix_core/BRIXVersion.h>
#include <brix_core/BrixEvent.h>
#include <brix_core/ChangeLog.h>
#include <brix_core/NetworkPath.h>
#include <brix_core/SongData.h>

#include <fennic/Exceptions.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace CL {

// An edit the change-log editor refused. what() says why, in words for the user ("The end of a Cut
// must come after its start."); the change log is left as it was.
class EditorError : public fennic::RuntimeError {
public:
    using fennic::RuntimeError::RuntimeError;
};

// One change of one event of one song: before is empty when the event was added, after when it was
// deleted.
struct HistoryItem {
    std::string songNumber;
    std::optional<cmn::BrixEvent> before;
    std::optional<cmn::BrixEvent> after;

    friend bool operator==(const HistoryItem&, const HistoryItem&) = default;
};

// The event codes the items touch, ascending, each once.
std::vector<int> GetAffectedCodes(const std::list<HistoryItem>& history);

// The change-log editor of a show: edits the log of one selected song at a time, keeps an undo and a
// redo history per song, and answers the bar and beat questions of the edit views.
//
// Events are identified by their event id, never by address or value: every edit looks the id up in
// the selected song and acts on the event as it is stored now, so a second edit made with the event
// as it was before a first one still finds it. Each edit returns the event as stored after it (for a
// delete: as it was stored).
//
// Rules every stored event keeps (an edit that would break one is refused with EditorError, and
// nothing changes):
// - its code is a change-log kind (the codes of codes:: from vamp to OSC cue); its id is not empty
//   and no other event of the show has it (AddEvent gives an event without an id a suggested one);
// - a region (cut, skip, vamp, repeat, click, tempo scale, transposition) ends after it starts, a
//   single-position event (caesura, marker, OSC cue) has end == start; both lie within the song,
//   from tick 0 to the song's last tick index;
// - regions of the same value kind (click, tempo scale, transposition) do not overlap, since a tick
//   would have two values; they may touch (one ends where the next starts);
// - loops (repeats and vamps) are nested or apart, never crossing (one starting inside the other and
//   ending after it); equal edges count as nested;
// - there is at most one caesura at a tick;
// - values: a tempo scale between 0.5 and 2.0, a vamp count of 0 (endless) or more, a repeat count of
//   1 or more, a click of 1 or more notated 32nds.
// Cuts and skips may overlap anything; the player's road handles them.
//
// EditEventStartEndValues: with adjustLeft (the left edge was dragged) only the start changes, the
// stored end stays; with adjustRight only the end changes; with both or neither, both take the given
// ticks. A single-position event moves to the start tick; the end tick is not used.
//
// Undo and redo: each edit that changes the log is one step of the selected song's history (at most
// kMaxUndoSteps; the oldest are forgotten). Undo restores the song's log exactly as it was before the
// step and returns the step's items reversed (before and after swapped, last first); Redo restores it
// as it was after the step and returns the items as made. A new edit forgets the redo steps. An edit
// that changes nothing makes no step. Network updates are not part of the history.
//
// Owner: the player engine, one per loaded change log (a newly loaded log gets a new editor).
// Threads: the GUI thread only; not thread-safe. The player reads a copy of the log
// (ActiveChangeLogShared), never the editor's.
class Editor {
public:
    static constexpr std::size_t kMaxUndoSteps = 200;

    // The show gives each song's last tick index and bars and beats. Songs of the show that the log
    // lacks get an empty song log, after the log's own.
    Editor(brix_midi::ShowData show, ChangeLog changeLog);

    const ChangeLog& GetChangeLog() const { return changeLog_; }
    const cmn::BRIXVersion& GetVersion() const { return changeLog_.GetVersion(); }
    void SetVersion(const cmn::BRIXVersion& version) { changeLog_.SetVersion(version); }

    // Throws EditorError when the show has no such song.
    void SelectSongLogForEditing(const std::string& songNumber);
    // The selected song's number; "" before the first selection.
    const std::string& GetSelectedSongNumber() const { return selectedSong_; }

    cmn::BrixEvent AddEvent(const cmn::BrixEvent& event);
    cmn::BrixEvent DeleteEvent(const cmn::BrixEvent& event);
    cmn::BrixEvent EditEventStartEndValues(const cmn::BrixEvent& event, std::uint32_t start,
                                           std::uint32_t end, bool adjustLeft, bool adjustRight);
    // The marker's text.
    cmn::BrixEvent EditEventStringValue(const cmn::BrixEvent& event, const std::string& value);
    // The count of a vamp or repeat, the click's notated 32nds, the transposition's semitones, or the
    // int value of a cut, skip or caesura.
    cmn::BrixEvent EditEventIntValue(const cmn::BrixEvent& event, int value);
    // The tempo scale's factor.
    cmn::BrixEvent EditEventFloatValue(const cmn::BrixEvent& event, double value);
    // No kind of this change log carries a sound effect: always refused.
    cmn::BrixEvent EditEventSFXPropertyValues(const cmn::BrixEvent& event,
                                              const SfxProperties& properties);
    // The OSC cue's message and network id.
    cmn::BrixEvent EditEventOscPropertyValues(const cmn::BrixEvent& event,
                                              const OscProperties& properties);

    // For the selected song; false before a song is selected.
    bool CanUndo() const;
    bool CanRedo() const;
    // Throw EditorError when there is nothing to undo or redo.
    std::list<HistoryItem> Undo();
    std::list<HistoryItem> Redo();
    // The codes of the events the last edit, undo or redo changed, ascending; empty when it was
    // refused or changed nothing.
    const std::vector<int>& GetEditedCodes() const { return editedCodes_; }

    // An id for a new event of a code: the code's character and the smallest number from 1 up that no
    // event of the show has ("L3"). It does not depend on the tick, so ids stay meaningful when an
    // event moves. Throws EditorError for a code that is no change-log kind.
    std::string GetSuggestedEventIdAtTick(std::uint32_t tick, int code) const;
    // The selected song's events by id. A single-position event has end() == start(); tell a region by
    // IsPairedEvent().
    std::map<std::string, cmn::BrixEvent> GetEventsByEventId() const;

    const NetworkPathVectorT& GetNetworks() const { return changeLog_.GetNetworks(); }
    // Replaces the show's network destinations. Throws EditorError when two have the same network id.
    void UpdateNetworks(const NetworkPathVectorT& networks);

    // The tick of the last bar or beat at or before tick: the song's first beat for a tick before it.
    // Throws EditorError for a song the show does not have or one without bars and beats.
    std::uint32_t GetBarBeatFloorTick(const std::string& songNumber, std::uint32_t tick) const;
    // 0 when tick falls exactly on a bar or beat; otherwise the tick of the last bar or beat before
    // it; empty when no bar or beat lies at or before it. Throws EditorError for a song the show does
    // not have.
    std::optional<std::uint32_t> GetLowerBarBeatTickOrZeroIfExact(const std::string& songNumber,
                                                                  std::uint32_t tick) const;

private:
    struct Step {
        std::list<HistoryItem> items;
        SongLog songLog;  // the song's log on the other side of the step
    };
    struct History {
        std::deque<Step> undo;
        std::deque<Step> redo;
    };

    SongLog& SelectedLog();
    const brix_midi::SongData& SongOf(const std::string& songNumber) const;
    // The stored event of the selected song with the event's id; EditorError when there is none.
    const cmn::BrixEvent& Stored(const cmn::BrixEvent& event);
    // Checks changed against the rules (ignoring the stored event of its id), replaces the stored
    // event of its id, records the step and returns the stored event.
    cmn::BrixEvent Replace(const cmn::BrixEvent& changed);
    // Applies a value change to the stored event when its kind has that value, then Replace.
    cmn::BrixEvent EditValue(const cmn::BrixEvent& event, bool (*kindHasValue)(unsigned char),
                             const std::string& valueName,
                             const std::function<void(cmn::BrixEvent&)>& apply);
    // EditorError when the code is no change-log kind.
    static void CheckKind(const cmn::BrixEvent& event);
    void CheckRules(const cmn::BrixEvent& event) const;
    void CheckOverlaps(const cmn::BrixEvent& event) const;
    bool IdInShow(const std::string& eventId) const;
    // Makes the step of one item: keeps the log as it was before, forgets the redo steps.
    void Record(HistoryItem item, SongLog before);
    // Takes the last undo (or redo) step, sets the song's log to the step's, and pushes the step's
    // other side onto the redo (or undo) steps. The items are returned reversed and swapped when
    // undoing.
    std::list<HistoryItem> Restore(bool undoing);

    brix_midi::ShowData show_;
    ChangeLog changeLog_;
    std::string selectedSong_;
    std::map<std::string, History> histories_;
    std::vector<int> editedCodes_;
};

}  // namespace CL
