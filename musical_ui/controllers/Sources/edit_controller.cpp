#include "edit_controller.h"

#include "EditModel.h"
#include "ShowManager.h"
#include "timeline_controller.h"
#include "timeline_edit_controller.h"
#include "timeline_items.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/Editor.h>
#include <brix_core/NotifyNames.h>
#include <brix_player_core/Interface.h>

#include <QQuickItem>
#include <QVariant>

#include <algorithm>
#include <stdexcept>

namespace brix::qt {

namespace {

constexpr const char* kEditFailed = "Edit Failed";
constexpr int kEditScrollHoldMs = 250;
constexpr int kUndoScrollHoldMs = 100;

QQuickItem* PanelItem(QObject* panel, const char* name)
{
    return panel == nullptr ? nullptr : panel->property(name).value<QQuickItem*>();
}

}  // namespace

EditController::EditController(QQmlEngine* engine, QQuickItem* editPanel,
                               std::shared_ptr<brix::ShowManager> showManager, std::shared_ptr<EditModel> editModel,
                               TimelineController& timeline, bool enableOsc)
    : QmlController(editPanel, engine),
      showManager_(std::move(showManager)),
      editModel_(std::move(editModel)),
      timeline_(timeline),
      enableOsc_(enableOsc)
{
    editModel_->SetOscEnabled(enableOsc_);
    songList_ = std::make_unique<SongListController>(PanelItem(editPanel, "songListControl"), Engine(), engine);
    markerList_ = std::make_unique<MarkerListController>(PanelItem(editPanel, "markerListControl"), editModel_, engine);
    eventList_ = std::make_unique<EventListController>(PanelItem(editPanel, "eventListControl"), editModel_, engine);
    editBar_ = std::make_unique<TimelineEditController>(PanelItem(editPanel, "editBarControl"), editModel_, engine);

    connect(editBar_.get(), &TimelineEditController::DeleteRequested, this, &EditController::DeleteRequested);
    connect(editBar_.get(), &TimelineEditController::UndoRequested, this, &EditController::UndoRequested);
    connect(editBar_.get(), &TimelineEditController::RedoRequested, this, &EditController::RedoRequested);
    connect(editBar_.get(), &TimelineEditController::UndoRedoStateUpdated, this, &EditController::UpdateUndoRedoState);
    connect(editBar_.get(), &TimelineEditController::EditButtonSignal, this, &EditController::EditButtonSignal);
    connect(songList_.get(), &SongListController::AttaccaStateChanged, this, &EditController::AttaccaStateChanged);
    connect(eventList_.get(), &EventListController::CurrentItemChangedSignal, this,
            &EditController::EventItemChangedSignal);
    connect(eventList_.get(), &EventListController::EditSelectedItem, this, &EditController::onBrixEditSelectedEvent);
    connect(markerList_.get(), &MarkerListController::CurrentItemChangedSignal, this,
            &EditController::MarkerItemChangedSignal);
    if (editPanel != nullptr) {
        editPanel->setProperty("oscEnable", enableOsc_);
        connect(editPanel, SIGNAL(markerSelected(int)), this, SLOT(OnMarkerSelected_(int)));
        connect(editPanel, SIGNAL(editSelectedMarkerItem()), this, SLOT(onBrixEditSelectedEvent()));
    }

    using namespace notify::names;
    notify::callbackDispatcher.AddCallback(this, brixEventWidgetSelected, [this](void* data) {
        {
            const std::lock_guard lock(editLock_);
            SelectInModel(static_cast<const cmn::BrixEvent*>(data));
        }
        notify::callbackDispatcher.Notify(editControllerShowEditor, nullptr);
    });
    notify::callbackDispatcher.AddCallback(this, editModelUpdatedSelectedBrixEvent, [this](void*) {
        timeline_.HoldScroll(kEditScrollHoldMs);
        OnUpdatedSelectedBrixEvent_();
    });
    notify::callbackDispatcher.AddCallback(this, EVT_CHANGE_LOG_PANEL_SELECTED, [this](void* data) {
        const std::lock_guard lock(editLock_);
        const int row = *static_cast<const int*>(data);
        if (row >= 0 && editModel_->SelectEventRow(row))
            notify::callbackDispatcher.Notify(editModelUpdatedSelectedBrixEvent, nullptr);
    });
    notify::callbackDispatcher.AddCallback(this, EVT_MARKER_PANEL_SELECTED, [this](void* data) {
        const std::lock_guard lock(editLock_);
        const int row = *static_cast<const int*>(data);
        if (row >= 0 && editModel_->SelectMarkerRow(row))
            notify::callbackDispatcher.Notify(editModelUpdatedSelectedBrixEvent, nullptr);
    });
}

EditController::~EditController()
{
    notify::callbackDispatcher.RemoveCallbacksForTarget(this);
}

std::shared_ptr<Interface> EditController::Engine() const
{
    std::shared_ptr<Interface> engine = showManager_->GetInterface();
    if (!engine)
        throw std::logic_error("EditController: no show is loaded.");
    return engine;
}

CL::Editor& EditController::ChangeLogEditor() const
{
    CL::Editor* editor = Engine()->GetChangeLogEditor();
    if (editor == nullptr)
        throw std::logic_error("EditController: the engine has no change-log editor.");
    return *editor;
}

template <class Edit>
bool EditController::RunEdit(const std::string& failurePrefix, Edit&& edit)
{
    try {
        edit(ChangeLogEditor());
        editedSinceRefresh_ = true;
        return true;
    } catch (const std::exception& e) {
        emit error(failurePrefix + e.what(), kEditFailed);
        return false;
    }
}

void EditController::SelectInModel(const cmn::BrixEvent* event)
{
    if (editModel_->SelectEvent(event))
        notify::callbackDispatcher.Notify(notify::names::editModelUpdatedSelectedBrixEvent, nullptr);
}

void EditController::ClearSelectionAndNotify()
{
    if (editModel_->ClearSelection())
        notify::callbackDispatcher.Notify(notify::names::editModelUpdatedSelectedBrixEvent, nullptr);
}

// ---- edits

bool EditController::onBrixMakeEvent(cmn::BrixEvent event)
{
    bool made = false;
    Guarded(kEditFailed, [&] {
        timeline_.HoldScroll(kEditScrollHoldMs);
        timeline_.ClearItems();
        made = RunEdit("The edit could not be made on this song. ",
                       [&](CL::Editor& editor) { editor.AddEvent(event); });
        RefreshAfterEdit({}, !made);
    });
    return made;
}

void EditController::onBrixMoveEvent(cmn::BrixEvent event, std::uint32_t startValue, std::uint32_t endValue,
                                     bool adjustLeft, bool adjustRight)
{
    RunEdit("The edit could not be completed because: ", [&](CL::Editor& editor) {
        editor.EditEventStartEndValues(event, startValue, endValue, adjustLeft, adjustRight);
    });
}

bool EditController::onBrixEditEventStartEndValues(cmn::BrixEvent event, std::uint32_t startValue,
                                                   std::uint32_t endValue)
{
    return RunEdit("A change to the start or end time could not be completed: ", [&](CL::Editor& editor) {
        editor.EditEventStartEndValues(event, startValue, endValue, false, false);
    });
}

bool EditController::onBrixEditEventStringValues(cmn::BrixEvent event, std::string value)
{
    return RunEdit("", [&](CL::Editor& editor) { editor.EditEventStringValue(event, value); });
}

bool EditController::onBrixEditEventIntValues(cmn::BrixEvent event, int value)
{
    return RunEdit("", [&](CL::Editor& editor) { editor.EditEventIntValue(event, value); });
}

bool EditController::onBrixEditEventFloatValues(cmn::BrixEvent event, double value)
{
    return RunEdit("", [&](CL::Editor& editor) { editor.EditEventFloatValue(event, value); });
}

bool EditController::EditEventSFXPropertyValues(cmn::BrixEvent event, CL::SfxProperties properties)
{
    return RunEdit("", [&](CL::Editor& editor) { editor.EditEventSFXPropertyValues(event, properties); });
}

bool EditController::EditEventOscPropertyValues(cmn::BrixEvent event, CL::OscProperties properties)
{
    return RunEdit("", [&](CL::Editor& editor) { editor.EditEventOscPropertyValues(event, properties); });
}

void EditController::DeleteRequested()
{
    Guarded(kEditFailed, [&] {
        timeline_.HoldScroll(kEditScrollHoldMs);
        const cmn::BrixEvent* selected = editModel_->GetSelectedEvent();
        if (selected == nullptr)
            return;
        timeline_.ClearItems();
        if (selected->code() != codes::osc || editModel_->GetOscEnabled()) {
            const cmn::BrixEvent copy = CL::CopyBrixEvent(*selected);
            RunEdit("", [&](CL::Editor& editor) { editor.DeleteEvent(copy); });
            ClearSelectionAndNotify();
        }
        RefreshAfterEdit({}, false);
    });
}

void EditController::UndoOrRedo(bool undo)
{
    Guarded(kEditFailed, [&] {
        timeline_.HoldScroll(kUndoScrollHoldMs);
        CL::Editor& editor = ChangeLogEditor();
        if (undo ? !editor.CanUndo() : !editor.CanRedo())
            return;
        const std::list<CL::HistoryItem> history = undo ? editor.Undo() : editor.Redo();
        editedSinceRefresh_ = true;
        ClearSelectionAndNotify();
        RefreshAfterEdit(CL::GetAffectedCodes(history), false);
    });
}

void EditController::UndoRequested()
{
    UndoOrRedo(true);
}

void EditController::RedoRequested()
{
    UndoOrRedo(false);
}

// ---- refresh

void EditController::RefreshAfterEdit(std::vector<int> codes, bool reload)
{
    Guarded(kEditFailed, [&] {
        ClearSelectionAndNotify();
        if (codes.empty())
            codes = ChangeLogEditor().GetEditedCodes();
        if (reload || !editedSinceRefresh_)
            Engine()->LoadNewChangeLog();
        else
            ReloadChangeLog();
        editedSinceRefresh_ = false;

        const bool markers = std::find(codes.begin(), codes.end(), kMarkerCode) != codes.end();
        const bool barsBeats = std::find(codes.begin(), codes.end(), kBarsBeatsCode) != codes.end();
        const bool events = std::any_of(codes.begin(), codes.end(), [](int code) { return code != kMarkerCode; });
        {
            const std::lock_guard lock(editLock_);
            if (barsBeats)
                editModel_->LoadBarsBeats();
            if (events)
                eventList_->Refresh();
            if (markers)
                markerList_->Refresh();
            timeline_.Rebuild();
        }
        editBar_->UpdateButtons();
        editBar_->UpdateSelectionButtons();
    });
}

void EditController::ReloadChangeLog()
{
    Engine()->LoadNewChangeLog();
    editBar_->MarkChanged();
}

void EditController::MarkChangeLogChanged()
{
    editBar_->MarkChanged();
}

void EditController::OnChangeLogSaved()
{
    editBar_->MarkSaved();
    UpdateLogVersionText();
}

void EditController::OnChangeLogShared()
{
    editBar_->MarkShared();
    UpdateLogVersionText();
}

void EditController::UpdateLogVersionText()
{
    if (QObject* panel = GetQmlObject())
        panel->setProperty("logVersionText", QString::fromStdString("Log v" + Engine()->GetLogVersion()));
}

void EditController::OnSongChanged(const std::string& songNumber)
{
    Guarded("Song", [&] {
        const std::lock_guard lock(editLock_);
        ClearSelectionAndNotify();
        editModel_->SetSongNumber(songNumber);
        ChangeLogEditor().SelectSongLogForEditing(songNumber);
        editModel_->LoadBarsBeats();
        markerList_->Refresh();
        eventList_->Refresh();
        songList_->SelectSong(songNumber);
        editBar_->UpdateButtons();
        editBar_->UpdateSelectionButtons();
        UpdateLogVersionText();
    });
}

// ---- selection

void EditController::onBrixEditSelectedExternally(const cmn::BrixEvent* event)
{
    const std::lock_guard lock(editLock_);
    SelectInModel(event);
    if (event != nullptr)
        eventList_->SelectEvent(*event);
}

void EditController::onBrixMarkerSelectedExternally(const cmn::BrixEvent* event)
{
    const std::lock_guard lock(editLock_);
    SelectInModel(event);
    if (event != nullptr)
        markerList_->SelectMarker(*event);
}

void EditController::OnMarkerSelected_(int index)
{
    Guarded("Marker", [&] {
        const auto& markers = editModel_->GetMarkerRows();
        if (index < 0 || static_cast<std::size_t>(index) >= markers.size())
            return;
        const cmn::BrixEvent& marker = markers[static_cast<std::size_t>(index)].first;
        const std::shared_ptr<Interface> engine = Engine();
        engine->Seek(marker.start());
        notify::MarkerListSelection selection{marker.start(), engine->GetIsPlaying()};
        {
            const std::lock_guard lock(editLock_);
            SelectInModel(&marker);
        }
        notify::callbackDispatcher.Notify(notify::names::editControllerMarkerListSelected, &selection);
    });
}

void EditController::OnUpdatedSelectedBrixEvent_()
{
    const std::lock_guard lock(editLock_);
    const cmn::BrixEvent* selected = editModel_->GetSelectedEvent();
    if (selected != nullptr && selected->code() == kMarkerCode) {
        markerList_->SetCurrentRow(editModel_->MarkerRowOf(*selected));
        eventList_->SetCurrentRow(-1);
    } else {
        markerList_->SetCurrentRow(-1);
        if (selected != nullptr)
            eventList_->SelectEvent(*selected);
        else
            eventList_->SetCurrentRow(-1);
    }
    // The timeline shows the selection on the item of the same event.
    const auto mark = [selected](const auto& items) {
        for (const auto& item : items) {
            const cmn::BrixEvent* event = item->GetEvent();
            item->SetSelected(selected != nullptr && event != nullptr && event->EventId() == selected->EventId());
        }
    };
    mark(timeline_.GetRegions());
    mark(timeline_.GetCaesuras());
    mark(timeline_.GetMarkers());
    mark(timeline_.GetOscGlyphs());
    editBar_->UpdateSelectionButtons();
}

void EditController::onBrixEditSelectedEvent()
{
    emit EditButtonSignal(const_cast<cmn::BrixEvent*>(editModel_->GetSelectedEvent()));
}

void EditController::TriggerAttaccaUpdate()
{
    songList_->RefreshAttacca();
}

void EditController::SelectMarkerRow(int index)
{
    markerList_->SetCurrentRow(index);
}

void EditController::ClearEventListSelection()
{
    eventList_->SetCurrentRow(-1);
}

void EditController::ClearMarkerListSelection()
{
    markerList_->SetCurrentRow(-1);
}

}  // namespace brix::qt
