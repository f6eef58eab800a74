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

void EditTest::SetUp()
{
    QmlTest::SetUp();
    brix_midi::ShowData show;
    for (const char* number : {"1", "2"}) {
        auto song = std::make_shared<brix_midi::SongData>();
        song->SetSongNumber(number);
        song->SetSongName(number == std::string("1") ? "Harbour Lights" : "Low Tide");
        TL::Timeline timeline = song_.timeline;
        for (const TL::BarsBeats& beat : song_.barsBeats)
            timeline.Add(beat);
        timeline.SetLastTickIndex(TimelineSong::kLength - 1);
        song->SetTimeline(std::move(timeline));
        show.AddSong(song);
    }
    CL::ChangeLog log;
    log.AddSongLog(song_.log);
    editor_ = std::make_unique<CL::Editor>(show, log);
    played_ = song_.log;

    engine_ = std::make_shared<::testing::NiceMock<FakeInterface>>();
    ON_CALL(*engine_, GetChangeLogEditor()).WillByDefault([this] { return editor_.get(); });
    ON_CALL(*engine_, GetSongLog()).WillByDefault(ReturnRef(played_));
    ON_CALL(*engine_, LoadNewChangeLog()).WillByDefault([this] {
        played_ = editor_->GetChangeLog().GetSongLog(currentSong_);
        ++loads_;
    });
    ON_CALL(*engine_, GetTimeline()).WillByDefault(ReturnRef(song_.timeline));
    ON_CALL(*engine_, GetBarsBeats(_)).WillByDefault([this](const std::string&) { return song_.barsBeats; });
    ON_CALL(*engine_, GetSongLength(_)).WillByDefault(Return(TimelineSong::kLength));
    ON_CALL(*engine_, GetSongAudioEndTick(_)).WillByDefault(Return(TimelineSong::kLength));
    ON_CALL(*engine_, GetCurrentSongNumber()).WillByDefault(ReturnPointee(&currentSong_));
    ON_CALL(*engine_, GetChangeLogPanelEvents()).WillByDefault([this] {
        return Copies(editor_->GetChangeLog().GetSongLog(currentSong_).GetAllEvents(), false);
    });
    ON_CALL(*engine_, GetMarkers()).WillByDefault([this] {
        return Copies(editor_->GetChangeLog().GetSongLog(currentSong_).GetAllEvents(), true);
    });
    ON_CALL(*engine_, GetBarString(An<unsigned int>())).WillByDefault([](unsigned int tick) {
        return std::to_string(tick / TimelineSong::kBar + 1) + ":" +
               std::to_string(tick % TimelineSong::kBar / TimelineSong::kBeat + 1);
    });
    ON_CALL(*engine_, GetSongNamesBySongNumber()).WillByDefault([] {
        return Interface::SongNames{{"1", "Harbour Lights"}, {"2", "Low Tide"}};
    });
    ON_CALL(*engine_, GetAttacca(_)).WillByDefault([this](const std::string& number) { return attacca_[number]; });
    ON_CALL(*engine_, GetLogVersion()).WillByDefault(Return(std::string("1.0")));
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
    timeline_->LoadSong(currentSong_);
    controller_->OnSongChanged(currentSong_);
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
