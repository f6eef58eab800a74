// Cost of the song timeline on a generated song of 300 bars with 200 change-log events: a full
// Rebuild of its items (and the bar row's), and one playhead update. Prints medians; asserts nothing.

#include "EditModel.h"
#include "GeneratedSong.h"
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

using namespace bench_song;

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
