#pragma once

#include "BarsBeatsEventSequence.h"

#include <brix_core/BrixEvent.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace brix {
class ShowManager;
}

namespace brix::qt {

// EditModel: what the timeline, the lists and the edit tools share about the song being edited: its
// number, its bar and beat map, its length and the end of its audio, the selected change-log event,
// the list rows and the save flags. The main window creates one for the show and
// hands it to the timeline controller as a shared pointer. The engine is reached through the show
// manager.
// Thread: GUI thread only.
class EditModel {
public:
    explicit EditModel(std::shared_ptr<brix::ShowManager> showManager);

    const std::shared_ptr<brix::ShowManager>& GetShowManager() const { return showManager_; }

    const std::string& GetSongNumber() const { return songNumber_; }
    void SetSongNumber(std::string songNumber) { songNumber_ = std::move(songNumber); }

    // Rebuilds the bar and beat map from the engine's bars and beats of the current song. Throws what
    // building the map throws, keeping the map it had.
    void LoadBarsBeats();
    // Never null: an empty map until the first load.
    const std::shared_ptr<BarsBeatsEventSequence>& GetBarsBeats() const { return barsBeats_; }

    std::uint32_t GetSongLength() const;
    std::uint32_t GetSongAudioEndTick() const;

    // The rows of the event list (owned copies of the current song's change-log events) and of the
    // marker list (the current song's markers, each with the bar text of its position).
    void LoadEventRows();
    void LoadMarkerRows();
    const std::vector<cmn::BrixEvent>& GetEventRows() const { return eventRows_; }
    const std::vector<std::pair<cmn::BrixEvent, std::string>>& GetMarkerRows() const { return markerRows_; }

    // The selected event: a row of the event list or of the marker list (null: none). Rows are
    // rebuilt by the loads above, which clear the selection.
    const cmn::BrixEvent* GetSelectedEvent() const { return selected_; }
    // Selects the row whose event has the event's id. Refused (the selection is cleared) for an OSC
    // event while OSC is off and for an event that is no row. Returns whether the selection changed.
    bool SelectEvent(const cmn::BrixEvent* event);
    bool SelectEventRow(int row);
    bool SelectMarkerRow(int row);
    // Returns whether something was selected.
    bool ClearSelection();
    // The row index of an event among the markers (by id), or -1.
    int MarkerRowOf(const cmn::BrixEvent& event) const;

    bool GetOscEnabled() const { return oscEnabled_; }
    void SetOscEnabled(bool enabled) { oscEnabled_ = enabled; }

    bool GetNeedsSave() const { return needsSave_; }
    void SetNeedsSave(bool needs) { needsSave_ = needs; }
    bool GetNeedsUpload() const { return needsUpload_; }
    void SetNeedsUpload(bool needs) { needsUpload_ = needs; }

private:
    bool Select(const cmn::BrixEvent* row);

    std::shared_ptr<brix::ShowManager> showManager_;
    std::string songNumber_;
    std::shared_ptr<BarsBeatsEventSequence> barsBeats_;
    std::vector<cmn::BrixEvent> eventRows_;
    std::vector<std::pair<cmn::BrixEvent, std::string>> markerRows_;
    const cmn::BrixEvent* selected_ = nullptr;
    bool oscEnabled_ = false;
    bool needsSave_ = false;
    bool needsUpload_ = false;
};

}  // namespace brix::qt
