#include "TimelineFixture.h"

#include <QVariant>

namespace musical_test {

using ::testing::_;
using ::testing::Return;
using ::testing::ReturnPointee;
using ::testing::ReturnRef;

TimelineSong::TimelineSong()
{
    std::vector<TL::BarsBeats> beats;
    for (std::uint32_t bar = 0; bar < 12; ++bar) {
        for (std::uint32_t beat = 0; beat < 4; ++beat)
            beats.emplace_back(bar * kBar + beat * kBeat, bar + 1, beat + 1);
    }
    barsBeats = TL::TimelineSequence<TL::BarsBeats>(std::move(beats));
    timeline.Add(TL::Key(0, 0, 0));
    timeline.Add(TL::Key(6 * kBar, 1, -3));
    timeline.Add(TL::Tempo(0, 500000));
    timeline.Add(TL::Tempo(4 * kBar, 400000));
    timeline.Add(TL::Meter(0, 4, 4, 24, 8));
    timeline.Add(TL::Meter(8 * kBar, 3, 4, 24, 8));

    log.AddFermata(CL::Fermata(1 * kBar, 2 * kBar, "M1", 0));
    log.AddVamp(CL::Vamp(3 * kBar, 4 * kBar, "@1", 0));
    log.AddCut(CL::Cut(5 * kBar, 6 * kBar, "B1", 0));
    log.AddRepeat(CL::Repeat(7 * kBar, 9 * kBar, "A1", 2));
    log.AddCaesura(CL::Caesura(10 * kBar, "N1", 0));
    log.AddMarker(CL::Marker(0, "Intro", "E1"));
    log.AddMarker(CL::Marker(kBeat, "Pickup", "E2"));
    log.AddMarker(CL::Marker(6 * kBar, "Verse", "E3"));
    log.AddTranspose(CL::Transpose(2 * kBar, 4 * kBar, "C1", 2));
    log.AddClick(CL::Click(0, 2 * kBar, "L1", 8));
    log.AddTempoScale(CL::TempoScale(4 * kBar, 6 * kBar, "F1", 0.9));
    log.AddOsc(CL::Osc(11 * kBar, "S1", CL::OscProperties("/lights/cue 5", "N1")));
}

void TimelineTest::SetUp()
{
    QmlTest::SetUp();
    engine_ = std::make_shared<::testing::NiceMock<FakeInterface>>();
    ON_CALL(*engine_, GetSongLog()).WillByDefault(ReturnRef(song_.log));
    ON_CALL(*engine_, GetTimeline()).WillByDefault(ReturnRef(song_.timeline));
    ON_CALL(*engine_, GetBarsBeats(_)).WillByDefault([this](const std::string&) { return song_.barsBeats; });
    ON_CALL(*engine_, GetSongLength(_)).WillByDefault(ReturnPointee(&songLength_));
    ON_CALL(*engine_, GetSongAudioEndTick(_)).WillByDefault(ReturnPointee(&audioEnd_));
    ON_CALL(*engine_, GetCurrentSongNumber()).WillByDefault(Return(std::string("1")));
    showManager_ = std::make_shared<brix::ShowManager>(engine_);
    editModel_ = std::make_shared<brix::qt::EditModel>(showManager_);
}

void TimelineTest::TearDown()
{
    controller_.reset();
    host_.reset();
    QmlTest::TearDown();
}

void TimelineTest::CreateTimeline(bool window, int width, bool audioFades)
{
    const QByteArray root = window ? "Window { visible: true; color: \"#191919\"; " : "Item { ";
    host_ = CreateFromQml("import QtQuick\nimport QtQuick.Window\n"
                          "import \"qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml\"\n" +
                          root + "width: " + QByteArray::number(width) +
                          "; height: 240\n"
                          "  property alias timelineControl: panel.timelineControl\n"
                          "  TimeLineEditPanel { id: panel; objectName: \"panel\"; x: 10; y: 10; width: parent.width - 20 } }\n");
    ASSERT_NE(host_, nullptr);
    controller_ = std::make_unique<brix::qt::TimelineController>(Engine(), TimelineItem(), engine_, showManager_,
                                                                 editModel_, audioFades, true);
}

QQuickItem* TimelineTest::TimelineItem() const
{
    return host_ == nullptr ? nullptr : host_->property("timelineControl").value<QQuickItem*>();
}

}  // namespace musical_test
