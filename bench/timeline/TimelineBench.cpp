// Cost of the song timeline on a generated song of 300 bars with 200 change-log events: a full
// Rebuild of its items (and the bar row's), and one playhead update. Prints medians; asserts nothing.

#include "EditModel.h"
#include "FakeInterface.h"
#include "QmlModules.h"
#include "ShowManager.h"
#include "bars_beats_view_controller.h"
#include "timeline_controller.h"

#include <brix_core/ChangeLog.h>
#include <brix_core/Timeline.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr std::uint32_t kBeat = 480;
constexpr std::uint32_t kBar = 4 * kBeat;
constexpr std::uint32_t kBars = 300;

struct Song {
    TL::Timeline timeline;
    TL::TimelineSequence<TL::BarsBeats> barsBeats;
    CL::SongLog log{"1", "Generated"};
};

// 300 bars of 4/4 with a key, tempo and meter change every 25 bars, and 200 events: every 10 bars a
// skip, vamp, cut, repeat, click, tempo scale and transposition of one bar (7 x 30 = 210 would be too
// many, so the first 20 groups only, 140), 30 markers, 20 caesuras and 10 OSC cues.
Song Generate()
{
    Song song;
    std::vector<TL::BarsBeats> beats;
    for (std::uint32_t bar = 0; bar < kBars; ++bar) {
        for (std::uint32_t beat = 0; beat < 4; ++beat)
            beats.emplace_back(bar * kBar + beat * kBeat, bar + 1, beat + 1);
        if (bar % 25 == 0) {
            song.timeline.Add(TL::Key(bar * kBar, 0, static_cast<std::int16_t>(bar / 25 % 7)));
            song.timeline.Add(TL::Tempo(bar * kBar, 500000 - bar * 200));
            song.timeline.Add(TL::Meter(bar * kBar, 4, 4, 24, 8));
        }
    }
    song.barsBeats = TL::TimelineSequence<TL::BarsBeats>(std::move(beats));
    int events = 0;
    for (std::uint32_t group = 0; group < 20; ++group) {
        const std::uint32_t at = group * 15 * kBar;
        const std::string n = std::to_string(group);
        song.log.AddFermata(CL::Fermata(at, at + kBar, "M" + n, 0));
        song.log.AddVamp(CL::Vamp(at + 2 * kBar, at + 3 * kBar, "@" + n, 0));
        song.log.AddCut(CL::Cut(at + 4 * kBar, at + 5 * kBar, "B" + n, 0));
        song.log.AddRepeat(CL::Repeat(at + 6 * kBar, at + 7 * kBar, "A" + n, 2));
        song.log.AddClick(CL::Click(at, at + kBar, "L" + n, 8));
        song.log.AddTempoScale(CL::TempoScale(at + kBar, at + 2 * kBar, "F" + n, 0.9));
        song.log.AddTranspose(CL::Transpose(at + 3 * kBar, at + 4 * kBar, "C" + n, 1));
        events += 7;
    }
    for (std::uint32_t i = 0; i < 30; ++i, ++events)
        song.log.AddMarker(CL::Marker(i * 10 * kBar + kBeat, "Marker " + std::to_string(i), "E" + std::to_string(i)));
    for (std::uint32_t i = 0; i < 20; ++i, ++events)
        song.log.AddCaesura(CL::Caesura(i * 15 * kBar + 8 * kBar, "N" + std::to_string(i), 0));
    for (std::uint32_t i = 0; i < 10; ++i, ++events)
        song.log.AddOsc(CL::Osc(i * 30 * kBar + 9 * kBar, "S" + std::to_string(i), CL::OscProperties("/go", "N1")));
    std::printf("generated song: %u bars, %d change-log events\n", kBars, events);
    return song;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void RunDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    brix::qt::RegisterQmlModules();
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    QGuiApplication app(argc, argv);

    Song song = Generate();
    auto engine = std::make_shared<::testing::NiceMock<musical_test::FakeInterface>>();
    using ::testing::_;
    ON_CALL(*engine, GetSongLog()).WillByDefault(::testing::ReturnRef(song.log));
    ON_CALL(*engine, GetTimeline()).WillByDefault(::testing::ReturnRef(song.timeline));
    ON_CALL(*engine, GetBarsBeats(_)).WillByDefault([&song](const std::string&) { return song.barsBeats; });
    ON_CALL(*engine, GetSongLength(_)).WillByDefault(::testing::Return(kBars * kBar));
    ON_CALL(*engine, GetSongAudioEndTick(_)).WillByDefault(::testing::Return(kBars * kBar));
    ON_CALL(*engine, GetCurrentSongNumber()).WillByDefault(::testing::Return(std::string("1")));
    auto showManager = std::make_shared<brix::ShowManager>(engine);
    auto editModel = std::make_shared<brix::qt::EditModel>(showManager);

    QQmlEngine qml;
    qml.addImportPath(QStringLiteral("qrc:/qt/qml"));
    QQmlComponent component(&qml);
    component.setData("import QtQuick\nimport \"qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml\"\n"
                      "Item { width: 1366; height: 240; property alias timelineControl: panel.timelineControl\n"
                      "  TimeLineEditPanel { id: panel; width: parent.width } }\n",
                      QUrl(QStringLiteral("qrc:/timeline_bench/Host.qml")));
    std::unique_ptr<QObject> host(component.create());
    if (!host) {
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        return 1;
    }
    auto* timeline = host->property("timelineControl").value<QQuickItem*>();
    brix::qt::TimelineController controller(&qml, timeline, engine, showManager, editModel, true, true);
    controller.LoadSong("1");
    RunDeferredDeletes();

    std::vector<double> rebuilds;
    for (int run = 0; run < 25; ++run) {
        QElapsedTimer timer;
        timer.start();
        controller.Rebuild();
        rebuilds.push_back(timer.nsecsElapsed() / 1e6);
        RunDeferredDeletes();  // the retired items go outside the timed part, as the event loop does it
    }
    std::vector<double> playheads;
    for (int run = 0; run < 2000; ++run) {
        QElapsedTimer timer;
        timer.start();
        controller.SetPlayheadPosition(static_cast<std::uint32_t>(run % 400) * 10);
        playheads.push_back(timer.nsecsElapsed() / 1e3);
    }
    std::printf("full Rebuild: median %.2f ms over %zu runs (%zu lines in the bar row)\n", Median(rebuilds),
                rebuilds.size(), controller.GetBarsBeatsView().GetBars().size());
    std::printf("playhead update: median %.2f us over %zu runs\n", Median(playheads), playheads.size());
    controller.ClearItems();
    RunDeferredDeletes();
    return 0;
}
