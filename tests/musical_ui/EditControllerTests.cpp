// The edit controller, its edit bar and lists over the fake engine with a real change-log editor:
// edit scripts, refused edits, selection round trips, save flags.
#include "EditFixture.h"
#include "edit_lists.h"
#include "timeline_edit_controller.h"
#include "timeline_items.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/NotifyNames.h>

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace musical_test {
namespace {

using ::testing::_;
using brix::qt::EditController;
using Song = TimelineSong;

// Records the save and upload notifications.
struct FlagNotifications {
    FlagNotifications()
    {
        notify::callbackDispatcher.AddCallback(this, notify::names::editModelChangeLogNeedsSave,
                                               [this](void* data) { save.push_back(*static_cast<bool*>(data)); });
        notify::callbackDispatcher.AddCallback(this, notify::names::editModelChangeLogNeedsUpload,
                                               [this](void* data) { upload.push_back(*static_cast<bool*>(data)); });
    }
    ~FlagNotifications() { notify::callbackDispatcher.RemoveCallbacksForTarget(this); }

    std::vector<bool> save;
    std::vector<bool> upload;
};

class EditControllerTest : public EditTest {
protected:
    std::vector<std::string> EventRowIds() const
    {
        std::vector<std::string> ids;
        for (const cmn::BrixEvent& event : editModel_->GetEventRows())
            ids.push_back(event.EventId());
        return ids;
    }
    QString EventRowValue(const std::string& eventId) const
    {
        const auto& rows = editModel_->GetEventRows();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].EventId() == eventId) {
                const auto& model = controller_->GetEventList().GetModel();
                return model.data(model.index(static_cast<int>(i)), brix::qt::EventListModel::CountRole).toString();
            }
        }
        ADD_FAILURE() << "no row for " << eventId;
        return {};
    }
    std::size_t MarkerRows() const { return controller_->GetMarkerList().GetModel().Rows().size(); }
    int EventRowOf(const std::string& eventId) const
    {
        const auto ids = EventRowIds();
        const auto found = std::find(ids.begin(), ids.end(), eventId);
        return found == ids.end() ? -1 : static_cast<int>(found - ids.begin());
    }
};

TEST_F(EditControllerTest, StartsWithTheSongsRowsAndTheActionButtonsOff)
{
    CreatePanel();
    EXPECT_EQ(editModel_->GetEventRows().size(), 9u);
    EXPECT_EQ(MarkerRows(), 3u);
    EXPECT_EQ(controller_->GetMarkerList().GetModel().Rows()[2],
              (brix::qt::MarkerInfoItem{"Verse", "7:1", 6 * Song::kBar}));
    for (const char* button : {"editButton", "deleteButton", "undoButton", "redoButton", "saveButton", "shareButton"})
        EXPECT_FALSE(ButtonEnabled(button)) << button;
    EXPECT_EQ(Find("editPanel")->property("logVersionText").toString(), "Log v1.0");
    EXPECT_EQ(controller_->GetSongList().GetCurrentRow(), 0);
}

TEST_F(EditControllerTest, AnEditScriptKeepsLogPlayerTimelineListsAndButtonsInStep)
{
    CreatePanel();
    FlagNotifications flags;
    const cmn::BrixEvent repeatBefore = Stored("A1");
    struct Step {
        const char* what;
        std::function<void()> act;
        std::size_t eventRows;
        std::size_t markerRows;
        bool canUndo;
        bool canRedo;
    };
    const std::vector<Step> steps = {
        {"add a marker",
         [&] { controller_->onBrixMakeEvent(CL::Marker(2 * Song::kBar, "Bridge", "")); }, 9, 4, true, false},
        {"add a cut", [&] { controller_->onBrixMakeEvent(CL::Cut(10 * Song::kBar, 11 * Song::kBar, "", 0)); }, 10,
         4, true, false},
        {"drag the first cut",
         [&] {
             controller_->onBrixMoveEvent(Stored("B1"), 5 * Song::kBar, 7 * Song::kBar, false, true);
             controller_->RefreshAfterEdit({}, false);
         },
         10, 4, true, false},
        {"change the repeat's count after moving it",
         [&] {
             controller_->onBrixEditEventStartEndValues(repeatBefore, 7 * Song::kBar + Song::kBeat, 9 * Song::kBar);
             controller_->onBrixEditEventIntValues(repeatBefore, 4);
             controller_->RefreshAfterEdit({}, false);
         },
         10, 4, true, false},
        {"rename a marker",
         [&] {
             controller_->onBrixEditEventStringValues(Stored("E3"), "Chorus");
             controller_->RefreshAfterEdit({}, false);
         },
         10, 4, true, false},
        {"delete the selected vamp",
         [&] {
             const cmn::BrixEvent vamp = Stored("@1");
             controller_->onBrixEditSelectedExternally(&vamp);
             controller_->DeleteRequested();
         },
         9, 4, true, false},
        {"undo the delete", [&] { controller_->UndoRequested(); }, 10, 4, true, true},
        {"redo the delete", [&] { controller_->RedoRequested(); }, 9, 4, true, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const int loadsBefore = served_.loads;
        step.act();
        EXPECT_TRUE(errors_.empty()) << errors_.front().second;
        EXPECT_GT(served_.loads, loadsBefore) << "the player was not given the edited log";
        EXPECT_EQ(served_.played, editor_->GetChangeLog().GetSongLog("1")) << "the player plays another log";
        EXPECT_EQ(editModel_->GetEventRows().size(), step.eventRows);
        EXPECT_EQ(MarkerRows(), step.markerRows);
        EXPECT_EQ(timeline_->GetMarkers().size(), step.markerRows);
        EXPECT_EQ(timeline_->GetRegions().size() + timeline_->GetCaesuras().size() + timeline_->GetOscGlyphs().size(),
                  step.eventRows);
        EXPECT_EQ(ButtonEnabled("undoButton"), step.canUndo);
        EXPECT_EQ(ButtonEnabled("redoButton"), step.canRedo);
        EXPECT_TRUE(ButtonEnabled("saveButton"));
        EXPECT_TRUE(ButtonEnabled("shareButton"));
        EXPECT_FALSE(ButtonEnabled("editButton")) << "a refresh leaves no selection";
        EXPECT_FALSE(ButtonEnabled("deleteButton"));
        EXPECT_EQ(editModel_->GetSelectedEvent(), nullptr);
    }
    EXPECT_EQ(Stored("B1").start(), 5 * Song::kBar);
    EXPECT_EQ(Stored("B1").end(), 7 * Song::kBar);
    const cmn::BrixEvent repeat = Stored("A1");
    EXPECT_EQ(repeat.start(), 7 * Song::kBar + Song::kBeat) << "the count edit undid the move";
    EXPECT_EQ(repeat.int_value(), 4);
    EXPECT_EQ(EventRowValue("A1"), "4x");
    EXPECT_EQ(controller_->GetMarkerList().GetModel().Rows()[3].name, "Chorus");
    EXPECT_EQ(EventRowOf("@1"), -1);
    EXPECT_FALSE(flags.save.empty());
    EXPECT_TRUE(flags.save.back());
    EXPECT_TRUE(flags.upload.back());
    EXPECT_TRUE(editModel_->GetNeedsSave());
}

TEST_F(EditControllerTest, ARefusedEditIsShownAndLeavesTheLogUnmarked)
{
    struct Case {
        const char* what;
        std::function<void(EditController&)> act;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"an overlapping tempo scale",
         [](EditController& c) { c.onBrixMakeEvent(CL::TempoScale(5 * Song::kBar, 7 * Song::kBar, "", 1.1)); },
         "The edit could not be made on this song. "},
        {"a drag past the song's end",
         [this](EditController& c) {
             c.onBrixMoveEvent(Stored("B1"), 5 * Song::kBar, 20 * Song::kBar, false, true);
             c.RefreshAfterEdit({}, false);
         },
         "The edit could not be completed because: "},
        {"an end before the start",
         [this](EditController& c) {
             c.onBrixEditEventStartEndValues(Stored("B1"), 6 * Song::kBar, 5 * Song::kBar);
             c.RefreshAfterEdit({}, false);
         },
         "A change to the start or end time could not be completed: "},
        {"a tempo scale beyond its range",
         [this](EditController& c) {
             c.onBrixEditEventFloatValues(Stored("F1"), 3.0);
             c.RefreshAfterEdit({}, false);
         },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (&c != &cases.front()) {
            TearDown();
            errors_.clear();
            SetUp();
        }
        CreatePanel();
        FlagNotifications flags;
        const CL::ChangeLog before = editor_->GetChangeLog();
        c.act(*controller_);
        ASSERT_EQ(errors_.size(), 1u);
        EXPECT_EQ(errors_[0].first, "Edit Failed");
        EXPECT_EQ(errors_[0].second.rfind(c.message, 0), 0u) << errors_[0].second;
        EXPECT_GT(errors_[0].second.size(), c.message.size()) << "the reason is missing";
        EXPECT_EQ(editor_->GetChangeLog(), before);
        EXPECT_FALSE(editModel_->GetNeedsSave());
        EXPECT_FALSE(editModel_->GetNeedsUpload());
        EXPECT_FALSE(ButtonEnabled("saveButton"));
        EXPECT_FALSE(ButtonEnabled("shareButton"));
        EXPECT_FALSE(ButtonEnabled("undoButton"));
        EXPECT_TRUE(std::find(flags.save.begin(), flags.save.end(), true) == flags.save.end());
        EXPECT_EQ(editModel_->GetEventRows().size(), 9u);
    }
}

TEST_F(EditControllerTest, ATempoScaleReopensWithThePercentEntered)
{
    CreatePanel();
    for (int percent = 50; percent <= 200; ++percent) {
        controller_->onBrixEditEventFloatValues(Stored("F1"), percent / 100.0);
        controller_->RefreshAfterEdit({}, false);
        ASSERT_TRUE(errors_.empty()) << percent << ": " << errors_.front().second;
        EXPECT_EQ(Stored("F1").float_value(), percent / 100.0);
        EXPECT_EQ(EventRowValue("F1"), QString::number(percent) + "%");
    }
}

TEST_F(EditControllerTest, ASelectionMadeInOnePlaceShowsInTheOtherTwo)
{
    CreatePanel();
    QObject::connect(timeline_.get(), &brix::qt::TimelineController::EditSelectedSignal, controller_.get(),
                     &EditController::onBrixEditSelectedExternally);
    QObject* eventList = Find("eventList");
    QObject* markerList = Find("markerList");
    ASSERT_NE(eventList, nullptr);
    ASSERT_NE(markerList, nullptr);
    EXPECT_CALL(*engine_, Seek(6 * Song::kBar)).Times(1);

    struct Case {
        const char* where;
        std::function<void()> select;
        std::string eventId;
        int eventRow;
        int markerRow;
    };
    const auto timelineItem = [this](const std::string& eventId) -> QObject* {
        for (const auto* items : {&timeline_->GetRegions(), &timeline_->GetCaesuras(), &timeline_->GetOscGlyphs()}) {
            for (const auto& item : *items) {
                if (item->GetEvent()->EventId() == eventId)
                    return item.get();
            }
        }
        for (const auto& item : timeline_->GetMarkers()) {
            if (item->GetEvent() != nullptr && item->GetEvent()->EventId() == eventId)
                return item.get();
        }
        return nullptr;
    };
    const std::vector<Case> cases = {
        {"the timeline",
         [&] { QMetaObject::invokeMethod(timelineItem("A1"), "Clicked_"); }, "A1", EventRowOf("A1"), -1},
        {"the event list", [&] { eventList->setProperty("currentIndex", EventRowOf("C1")); }, "C1", EventRowOf("C1"),
         -1},
        {"the marker list",
         [&] {
             markerList->setProperty("currentIndex", 2);
             QMetaObject::invokeMethod(markerList, "itemClicked", Q_ARG(int, 2));
         },
         "E3", -1, 2},
        {"the timeline again, a marker", [&] { QMetaObject::invokeMethod(timelineItem("E2"), "Clicked_"); }, "E2",
         -1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        c.select();
        ASSERT_NE(editModel_->GetSelectedEvent(), nullptr);
        EXPECT_EQ(editModel_->GetSelectedEvent()->EventId(), c.eventId);
        EXPECT_EQ(controller_->GetEventList().GetCurrentRow(), c.eventRow);
        EXPECT_EQ(controller_->GetMarkerList().GetCurrentRow(), c.markerRow);
        for (const auto& [eventId, selected] : TimelineSelection())
            EXPECT_EQ(selected, eventId == c.eventId) << eventId;
        EXPECT_TRUE(ButtonEnabled("editButton"));
        EXPECT_TRUE(ButtonEnabled("deleteButton"));
        QSignalSpy edit(controller_.get(), &EditController::EditButtonSignal);
        QMetaObject::invokeMethod(Find("editBar"), "editButton");
        ASSERT_EQ(edit.size(), 1);
        EXPECT_EQ(edit.at(0).at(0).value<cmn::BrixEvent*>()->EventId(), c.eventId);
    }
}

TEST_F(EditControllerTest, OscCuesCannotBeSelectedOrDeletedWhileOscIsOff)
{
    CreatePanel(false, false);
    const cmn::BrixEvent cue = Stored("S1");
    controller_->onBrixEditSelectedExternally(&cue);
    EXPECT_EQ(editModel_->GetSelectedEvent(), nullptr);
    EXPECT_FALSE(ButtonEnabled("deleteButton"));
    controller_->DeleteRequested();
    EXPECT_EQ(Stored("S1").code(), codes::osc);
    EXPECT_FALSE(editModel_->GetNeedsSave());
}

TEST_F(EditControllerTest, SaveAndShareButtonsAndFlags)
{
    CreatePanel();
    FlagNotifications flags;
    controller_->MarkChangeLogChanged();
    EXPECT_TRUE(ButtonEnabled("saveButton"));
    EXPECT_TRUE(ButtonEnabled("shareButton"));

    QMetaObject::invokeMethod(Find("editBar"), "saveButton");
    EXPECT_FALSE(ButtonEnabled("saveButton")) << "Save stays on while saving";
    EXPECT_TRUE(editModel_->GetNeedsSave()) << "nothing was saved yet";

    controller_->OnChangeLogSaved();
    EXPECT_FALSE(ButtonEnabled("saveButton"));
    EXPECT_TRUE(ButtonEnabled("shareButton"));
    controller_->MarkChangeLogChanged();
    QMetaObject::invokeMethod(Find("editBar"), "shareButton");
    EXPECT_FALSE(ButtonEnabled("saveButton"));
    controller_->OnChangeLogShared();
    EXPECT_FALSE(ButtonEnabled("shareButton"));
    EXPECT_EQ(flags.save, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(flags.upload, (std::vector<bool>{true, true, false}));
}

TEST_F(EditControllerTest, UndoAndRedoReachTheEditorFromTheEditBar)
{
    CreatePanel();
    QSignalSpy state(controller_.get(), &EditController::UpdateUndoRedoState);
    controller_->onBrixMakeEvent(CL::Caesura(3 * Song::kBar, "", 0));
    ASSERT_FALSE(state.isEmpty());
    EXPECT_EQ(state.last(), (QList<QVariant>{true, false, true, true}));
    QMetaObject::invokeMethod(Find("editBar"), "undoButton");
    EXPECT_EQ(timeline_->GetCaesuras().size(), 1u);
    EXPECT_EQ(state.last(), (QList<QVariant>{false, true, true, true}));
    QMetaObject::invokeMethod(Find("editBar"), "redoButton");
    EXPECT_EQ(timeline_->GetCaesuras().size(), 2u);
}

}  // namespace
}  // namespace musical_test
