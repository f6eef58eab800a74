#include "EditFixture.h"

#include "timeline_items.h"

#include <QVariant>

namespace musical_test {

using ::testing::_;
using ::testing::An;
using ::testing::Return;
using ::testing::ReturnPointee;
using ::testing::ReturnRef;

namespace {

Interface::EventList Copies(const std::vector<cmn::BrixEvent>& events, bool markers)
{
    Interface::EventList copies;
    for (const cmn::BrixEvent& event : events) {
        if ((event.code() == codes::marker) == markers)
            copies.push_back(std::make_unique<cmn::BrixEvent>(event));
    }
    return copies;
}

}  // namespace

void ServeEditorBackedSong(::testing::NiceMock<FakeInterface>& engine, EditorBackedSong& song)
{
    EditorBackedSong* s = &song;
    ON_CALL(engine, GetChangeLogEditor()).WillByDefault([s] { return s->editor; });
    ON_CALL(engine, GetSongLog()).WillByDefault(ReturnRef(song.played));
    ON_CALL(engine, LoadNewChangeLog()).WillByDefault([s] {
        s->played = s->editor->GetChangeLog().GetSongLog(s->currentSong);
        ++s->loads;
    });
    ON_CALL(engine, GetTimeline()).WillByDefault(ReturnRef(*song.timeline));
    ON_CALL(engine, GetBarsBeats(_)).WillByDefault([s](const std::string&) { return *s->barsBeats; });
    ON_CALL(engine, GetSongLength(_)).WillByDefault(Return(song.length));
    ON_CALL(engine, GetSongAudioEndTick(_)).WillByDefault(Return(song.length));
    ON_CALL(engine, GetCurrentSongNumber()).WillByDefault(ReturnPointee(&song.currentSong));
    ON_CALL(engine, GetChangeLogPanelEvents()).WillByDefault([s] {
        return Copies(s->editor->GetChangeLog().GetSongLog(s->currentSong).GetAllEvents(), false);
    });
    ON_CALL(engine, GetMarkers()).WillByDefault([s] {
        return Copies(s->editor->GetChangeLog().GetSongLog(s->currentSong).GetAllEvents(), true);
    });
    ON_CALL(engine, GetBarString(An<unsigned int>())).WillByDefault([](unsigned int tick) {
        return std::to_string(tick / TimelineSong::kBar + 1) + ":" +
               std::to_string(tick % TimelineSong::kBar / TimelineSong::kBeat + 1);
    });
    ON_CALL(engine, GetSongNamesBySongNumber()).WillByDefault([s] { return s->songNames; });
    ON_CALL(engine, GetAttacca(_)).WillByDefault([s](const std::string& number) { return s->attacca[number]; });
    ON_CALL(engine, GetLogVersion()).WillByDefault(Return(std::string("1.0")));
}

std::unique_ptr<CL::Editor> MakeTwoSongEditor(const TimelineSong& served)
{
    brix_midi::ShowData show;
    for (const char* number : {"1", "2"}) {
        auto song = std::make_shared<brix_midi::SongData>();
        song->SetSongNumber(number);
        song->SetSongName(number == std::string("1") ? "Harbour Lights" : "Low Tide");
        TL::Timeline timeline = served.timeline;
        for (const TL::BarsBeats& beat : served.barsBeats)
            timeline.Add(beat);
        timeline.SetLastTickIndex(TimelineSong::kLength - 1);
        song->SetTimeline(std::move(timeline));
        show.AddSong(song);
    }
    CL::ChangeLog log;
    log.AddSongLog(served.log);
    return std::make_unique<CL::Editor>(show, log);
}

EditorBackedSong ServedTwoSongShow(CL::Editor* editor, const TimelineSong& song)
{
    return {editor, &song.timeline, &song.barsBeats, TimelineSong::kLength, "1", song.log, 0,
            {{"1", 0}, {"2", 1}}, {{"1", "Harbour Lights"}, {"2", "Low Tide"}}};
}

void EditTest::SetUp()
{
    QmlTest::SetUp();
    editor_ = MakeTwoSongEditor(song_);
    served_ = ServedTwoSongShow(editor_.get(), song_);
    engine_ = std::make_shared<::testing::NiceMock<FakeInterface>>();
    ServeEditorBackedSong(*engine_, served_);
    showManager_ = std::make_shared<brix::ShowManager>(engine_);
    editModel_ = std::make_shared<brix::qt::EditModel>(showManager_);
}

void EditTest::TearDown()
{
    controller_.reset();
    timeline_.reset();
    host_.reset();
    RunDeferredDeletes();
    QmlTest::TearDown();
}

void EditTest::CreatePanel(bool window, bool enableOsc, int width, int height)
{
    const QByteArray root = window ? "Window { visible: true; color: \"#191919\"; " : "Item { ";
    host_ = CreateFromQml("import QtQuick\nimport QtQuick.Window\n"
                          "import \"qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml\"\n" +
                          root + "width: " + QByteArray::number(width) + "; height: " + QByteArray::number(height) +
                          "\n"
                          "  property alias timelineControl: timelinePanel.timelineControl\n"
                          "  property alias editPanelControl: editPanel\n"
                          "  TimeLineEditPanel { id: timelinePanel; width: parent.width }\n"
                          "  EditPanel { id: editPanel; objectName: \"editPanel\"; y: timelinePanel.height;"
                          " width: parent.width; height: parent.height - y }\n}\n");
    ASSERT_NE(host_, nullptr);
    timeline_ = std::make_unique<brix::qt::TimelineController>(
        Engine(), host_->property("timelineControl").value<QQuickItem*>(), engine_, showManager_, editModel_, true,
        enableOsc);
    controller_ = std::make_unique<brix::qt::EditController>(
        Engine(), host_->property("editPanelControl").value<QQuickItem*>(), showManager_, editModel_, *timeline_,
        enableOsc);
    QObject::connect(controller_.get(), &brix::qt::QmlController::error,
                     [this](const std::string& message, const std::string& title) {
                         errors_.emplace_back(title, message);
                     });
    timeline_->LoadSong(served_.currentSong);
    controller_->OnSongChanged(served_.currentSong);
}

bool EditTest::ButtonEnabled(const char* name) const
{
    QObject* button = Find(name);
    EXPECT_NE(button, nullptr) << name;
    return button != nullptr && button->property("enabled").toBool();
}

cmn::BrixEvent EditTest::Stored(const std::string& eventId) const
{
    const auto events = editor_->GetEventsByEventId();
    const auto found = events.find(eventId);
    EXPECT_NE(found, events.end()) << eventId;
    return found == events.end() ? cmn::BrixEvent() : found->second;
}

std::map<std::string, bool> EditTest::TimelineSelection() const
{
    std::map<std::string, bool> selection;
    const auto add = [&](const auto& items) {
        for (const auto& item : items) {
            if (item->GetEvent() != nullptr)
                selection[item->GetEvent()->EventId()] = item->IsSelected();
        }
    };
    add(timeline_->GetRegions());
    add(timeline_->GetCaesuras());
    add(timeline_->GetMarkers());
    add(timeline_->GetOscGlyphs());
    return selection;
}

}  // namespace musical_test
