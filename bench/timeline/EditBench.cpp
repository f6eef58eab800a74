// Cost of an edit request in edit mode, from the request to the rebuilt timeline and lists: adding a
// cut (event list and timeline), adding a marker (marker list and timeline) and undoing each, through
// the edit controller. On the demo show with the real engine (a copy in a temporary folder, MIDI to a
// virtual device) and on the generated 300-bar song over the fake engine with a real change-log
// editor. Prints medians; asserts nothing.

#include "EditFixture.h"
#include "EditModel.h"
#include "GeneratedSong.h"
#include "QmlModules.h"
#include "ShowManager.h"
#include "edit_controller.h"
#include "timeline_controller.h"

#include <brix_tarnwick2/Tarnwick2Interface.h>
#include <winmm_virtual/VirtualMidi.h>

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
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <unistd.h>

namespace {

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

// Times each edit request over the edit panel of one song.
int Measure(const char* title, const std::shared_ptr<Interface>& engine, std::uint32_t cutStart, std::uint32_t cutEnd)
{
    auto showManager = std::make_shared<brix::ShowManager>(engine);
    auto editModel = std::make_shared<brix::qt::EditModel>(showManager);
    QQmlEngine qml;
    qml.addImportPath(QStringLiteral("qrc:/qt/qml"));
    QQmlComponent component(&qml);
    component.setData("import QtQuick\nimport \"qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml\"\n"
                      "Item { width: 1366; height: 760\n"
                      "  property alias timelineControl: timelinePanel.timelineControl\n"
                      "  property alias editPanelControl: editPanel\n"
                      "  TimeLineEditPanel { id: timelinePanel; width: parent.width }\n"
                      "  EditPanel { id: editPanel; y: 220; width: parent.width; height: 540 } }\n",
                      QUrl(QStringLiteral("qrc:/edit_bench/Host.qml")));
    std::unique_ptr<QObject> host(component.create());
    if (!host) {
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        return 1;
    }
    int failures = 0;
    {
        brix::qt::TimelineController timeline(&qml, host->property("timelineControl").value<QQuickItem*>(), engine,
                                              showManager, editModel, true, true);
        brix::qt::EditController controller(&qml, host->property("editPanelControl").value<QQuickItem*>(),
                                            showManager, editModel, timeline, true);
        QObject::connect(&controller, &brix::qt::QmlController::error,
                         [&failures](const std::string& message, const std::string&) {
                             std::fprintf(stderr, "edit failed: %s\n", message.c_str());
                             ++failures;
                         });
        const std::string song = engine->GetCurrentSongNumber();
        timeline.LoadSong(song);
        controller.OnSongChanged(song);
        RunDeferredDeletes();

        std::map<std::string, std::vector<double>> times;
        const auto time = [&](const char* what, const std::function<void()>& request) {
            QElapsedTimer timer;
            timer.start();
            request();
            times[what].push_back(timer.nsecsElapsed() / 1e6);
            RunDeferredDeletes();  // retired items go outside the timed part, as the event loop does it
        };
        for (int run = 0; run < 25; ++run) {
            time("add a cut", [&] { controller.onBrixMakeEvent(CL::Cut(cutStart, cutEnd, "", 0)); });
            time("undo the cut", [&] { controller.UndoRequested(); });
            time("add a marker", [&] { controller.onBrixMakeEvent(CL::Marker(cutStart, "Bench", "")); });
            time("undo the marker", [&] { controller.UndoRequested(); });
        }
        std::printf("%s: %zu events, %zu markers, %zu timeline regions\n", title,
                    editModel->GetEventRows().size(), editModel->GetMarkerRows().size(), timeline.GetRegions().size());
        for (const auto& [what, values] : times)
            std::printf("  %-16s median %.2f ms over %zu runs\n", what.c_str(), Median(values), values.size());
        timeline.ClearItems();
        RunDeferredDeletes();
    }
    return failures == 0 ? 0 : 1;
}

int DemoShow()
{
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("brix_edit_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "data");
    std::filesystem::copy(BRIX_DEMO_SHOW_DIR, root / "demo", std::filesystem::copy_options::recursive);
    int result = 0;
    {
        winmm_virtual::VirtualMidiOutput device(u"edit bench output");
        auto engine = std::make_shared<brix::Tarnwick2Interface>((root / "demo").string(), (root / "data").string(),
                                                                 nullptr);
        const auto barsBeats = engine->GetBarsBeats(engine->GetCurrentSongNumber());
        std::vector<std::uint32_t> bars;
        for (const TL::BarsBeats& beat : barsBeats)
            if (beat.beat == 1)
                bars.push_back(beat.tick);
        result = bars.size() < 3 ? 1 : Measure("demo show, first song", engine, bars[1], bars[2]);
        engine->Shutdown();
    }
    std::filesystem::remove_all(root);
    return result;
}

int GeneratedSong()
{
    using namespace bench_song;
    Song song = Generate();
    brix_midi::ShowData show;
    auto data = std::make_shared<brix_midi::SongData>();
    data->SetSongNumber("1");
    TL::Timeline timeline = song.timeline;
    for (const TL::BarsBeats& beat : song.barsBeats)
        timeline.Add(beat);
    timeline.SetLastTickIndex(kBars * kBar - 1);
    data->SetTimeline(std::move(timeline));
    show.AddSong(data);
    CL::ChangeLog log;
    log.AddSongLog(song.log);
    CL::Editor editor(show, log);
    musical_test::EditorBackedSong served{&editor, &song.timeline, &song.barsBeats, kBars * kBar, "1", song.log,
                                          0, {{"1", 0}}, {{"1", "Generated"}}};
    auto engine = std::make_shared<::testing::NiceMock<musical_test::FakeInterface>>();
    musical_test::ServeEditorBackedSong(*engine, served);
    return Measure("generated 300-bar song", engine, 151 * kBar, 152 * kBar);
}

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    brix::qt::RegisterQmlModules();
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    QGuiApplication app(argc, argv);
    const int demo = DemoShow();
    const int generated = GeneratedSong();
    return demo != 0 || generated != 0 ? 1 : 0;
}
