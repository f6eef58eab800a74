#pragma once

#include "EditModel.h"
#include "FakeInterface.h"
#include "QmlTest.h"
#include "ShowManager.h"
#include "TimelineFixture.h"
#include "edit_controller.h"
#include "timeline_controller.h"

#include <brix_core/ChangeLog.h>
#include <brix_core/Editor.h>

#include <QQuickItem>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace musical_test {

// What a fake engine serves of one song from a real change-log editor: the player plays `played`, a
// copy of the editor's log that LoadNewChangeLog takes (counted in `loads`); the list rows come from
// the editor's log; bar texts are "bar:beat" of 4/4 bars of 480-tick beats. The referenced objects
// must outlive the fake's use.
struct EditorBackedSong {
    CL::Editor* editor = nullptr;
    const TL::Timeline* timeline = nullptr;
    const TL::TimelineSequence<TL::BarsBeats>* barsBeats = nullptr;
    std::uint32_t length = 0;
    std::string currentSong = "1";
    CL::SongLog played;
    int loads = 0;
    std::map<std::string, std::uint8_t> attacca;
    Interface::SongNames songNames;
};
void ServeEditorBackedSong(::testing::NiceMock<FakeInterface>& engine, EditorBackedSong& song);
// An editor over a show of two songs, "1" "Harbour Lights" and "2" "Low Tide", each on the timeline
// of `song`, whose log is song 1's; and what a fake engine serves of it with song 1 current.
std::unique_ptr<CL::Editor> MakeTwoSongEditor(const TimelineSong& song);
EditorBackedSong ServedTwoSongShow(CL::Editor* editor, const TimelineSong& song);

// The edit panel and the timeline panel in one host, with the edit controller and the timeline
// controller over a fake engine whose change-log editor is a real CL::Editor on the TimelineSong (song
// "1") and a second, empty song "2". The fake's player plays a copy of the editor's log that
// LoadNewChangeLog takes, as the engine does. Error dialogs are recorded as (title, message).
class EditTest : public QmlTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the host (an Item, or a visible Window for pictures) and both controllers, and loads
    // song "1" into them.
    void CreatePanel(bool window = false, bool enableOsc = true, int width = 1200, int height = 700);

    QObject* Find(const char* name) const { return FindByName(host_.get(), QString::fromLatin1(name)); }
    bool ButtonEnabled(const char* name) const;
    // The event of that id as the editor stores it now (the test fails when there is none).
    cmn::BrixEvent Stored(const std::string& eventId) const;
    // The change-log items of the timeline, each as the id of its event and whether it is selected.
    std::map<std::string, bool> TimelineSelection() const;

    TimelineSong song_;
    std::unique_ptr<CL::Editor> editor_;
    EditorBackedSong served_;
    std::vector<std::pair<std::string, std::string>> errors_;
    std::shared_ptr<::testing::NiceMock<FakeInterface>> engine_;
    std::shared_ptr<brix::ShowManager> showManager_;
    std::shared_ptr<brix::qt::EditModel> editModel_;
    std::unique_ptr<QObject> host_;
    std::unique_ptr<brix::qt::TimelineController> timeline_;
    std::unique_ptr<brix::qt::EditController> controller_;
};

}  // namespace musical_test
