#pragma once

#include "edit_lists.h"
#include "qml_controller.h"

#include <brix_core/BrixEvent.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class Interface;
class QQuickItem;

namespace CL {
class Editor;
}

namespace brix {
class ShowManager;
}

namespace brix::qt {

class EditModel;
class TimelineController;
class TimelineEditController;

// EditController: the hub of edit mode. It drives the edit panel (EditPanel.qml, wrapped): the edit
// bar, the playlist, the marker list and the event list, whose controllers it owns. Every change the
// operator makes (from the edit tools, the timeline and the lists) goes through the engine's change-log
// editor here; a refused edit is reported through `error` with the title "Edit Failed" and leaves the
// log unmarked. After an edit the player gets the edited log, the lists and the timeline are rebuilt
// and the save and upload flags are set. The selected event of the edit model is kept in step across
// the timeline, the lists and the edit bar.
// Owner: the main window controller, which creates it after the timeline controller (the timeline must
// outlive it). Thread: GUI thread only; the recursive edit lock guards the model and the lists against
// notification callbacks that re-enter from the edit paths.
class EditController : public QmlController {
    Q_OBJECT
    Q_PROPERTY(bool enableOsc READ GetEnableOsc CONSTANT)

public:
    // The codes that decide what a refresh rebuilds.
    static constexpr int kMarkerCode = 69;
    static constexpr int kBarsBeatsCode = 76;

    EditController(QQmlEngine* engine, QQuickItem* editPanel, std::shared_ptr<brix::ShowManager> showManager,
                   std::shared_ptr<EditModel> editModel, TimelineController& timeline, bool enableOsc);
    ~EditController() override;

    bool GetEnableOsc() const { return enableOsc_; }

    void OnSongChanged(const std::string& songNumber);
    // Rebuilds what the codes touch (empty: the editor's last edited codes). With reload the player only
    // gets the log again (after a refused edit); without, the log is also marked changed, provided an
    // edit went through since the last refresh.
    void RefreshAfterEdit(std::vector<int> codes, bool reload);
    // The player plays the editor's log from its next clock; the log needs saving and uploading.
    void ReloadChangeLog();
    void MarkChangeLogChanged();
    void OnChangeLogSaved();
    void OnChangeLogShared();
    void UpdateLogVersionText();
    void SelectMarkerRow(int index);
    void ClearEventListSelection();
    void ClearMarkerListSelection();

    MarkerListController& GetMarkerList() const { return *markerList_; }
    EventListController& GetEventList() const { return *eventList_; }
    SongListController& GetSongList() const { return *songList_; }
    TimelineEditController& GetEditBar() const { return *editBar_; }

signals:
    void AttaccaStateChanged(std::string songNum, std::uint8_t status);
    void EditButtonSignal(cmn::BrixEvent* brixEvent);
    void EventItemChangedSignal(brix::qt::EventInfoItem item);
    void MarkerItemChangedSignal(brix::qt::MarkerInfoItem item);
    void UpdateUndoRedoState(bool canUndo, bool canRedo, bool canSave, bool canShare);

public slots:
    // The event edits answer whether the editor took the edit (a refusal is also shown through `error`).
    bool onBrixMakeEvent(cmn::BrixEvent event);
    void onBrixMoveEvent(cmn::BrixEvent event, std::uint32_t startValue, std::uint32_t endValue,
                         bool adjustLeft = false, bool adjustRight = false);
    bool onBrixEditEventStartEndValues(cmn::BrixEvent event, std::uint32_t startValue, std::uint32_t endValue);
    bool onBrixEditEventStringValues(cmn::BrixEvent event, std::string value);
    bool onBrixEditEventIntValues(cmn::BrixEvent event, int value);
    // Takes the factor as a double, so a percentage entered as n/100 is stored as that value.
    bool onBrixEditEventFloatValues(cmn::BrixEvent event, double value);
    bool EditEventSFXPropertyValues(cmn::BrixEvent event, CL::SfxProperties properties);
    bool EditEventOscPropertyValues(cmn::BrixEvent event, CL::OscProperties properties);
    void onBrixEditSelectedExternally(const cmn::BrixEvent* event);
    void onBrixMarkerSelectedExternally(const cmn::BrixEvent* event);
    void UndoRequested();
    void RedoRequested();
    void DeleteRequested();
    void TriggerAttaccaUpdate();
    void OnMarkerSelected_(int index);
    void OnUpdatedSelectedBrixEvent_();
    void onBrixEditSelectedEvent();

private:
    std::shared_ptr<Interface> Engine() const;
    CL::Editor& ChangeLogEditor() const;
    // Runs one edit through the editor; a refusal is shown with the title "Edit Failed" and this
    // message prefix. Returns whether the edit went through.
    template <class Edit>
    bool RunEdit(const std::string& failurePrefix, Edit&& edit);
    // Selects the event in the edit model and notifies a change.
    void SelectInModel(const cmn::BrixEvent* event);
    void ClearSelectionAndNotify();
    void UndoOrRedo(bool undo);

    std::recursive_mutex editLock_;
    std::shared_ptr<brix::ShowManager> showManager_;
    std::shared_ptr<EditModel> editModel_;
    std::unique_ptr<SongListController> songList_;
    std::unique_ptr<MarkerListController> markerList_;
    std::unique_ptr<EventListController> eventList_;
    std::unique_ptr<TimelineEditController> editBar_;
    TimelineController& timeline_;
    bool enableOsc_;
    // An edit went through since the last refresh: only then does a refresh mark the log changed.
    bool editedSinceRefresh_ = false;
};

}  // namespace brix::qt
