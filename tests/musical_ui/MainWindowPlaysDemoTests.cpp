// The main window on the real engine and the demo show, offscreen, playing into a virtual MIDI output
// device: what the operator does reaches the device, and what the engine reports reaches the window.

#include "CueReceiver.h"
#include "DemoShowWindow.h"
#include "Launcher.h"
#include "input_dialog_controller.h"
#include "ShowStore.h"

#include <OscDatagram.h>
#include <OscSettings.h>

#include <brix_core/Editor.h>
#include <brix_core/NetworkPath.h>

#include <QColor>
#include <QCoreApplication>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <set>

namespace {

using brix::qt::MusicalMainController;
using musical_test::DemoShowWindow;
using musical_test::QmlTest;
using musical_test::WaitFor;
using std::chrono::seconds;

class MainWindowPlaysDemo : public QmlTest {
protected:
    // The measure the window shows, as a number (0 when it shows none).
    static int Measure(const DemoShowWindow& show) { return show.Property("measure").toInt(); }
};

TEST_F(MainWindowPlaysDemo, PlayPauseContinueReleaseAndStopFromTheWindow)
{
    DemoShowWindow show(Engine());
    EXPECT_TRUE(WaitFor([&] { return show.Property("songTitle") == "Overture"; }));

    // Play: notes reach the device; the playhead and the beat move; the vamp lights the continue button.
    QMetaObject::invokeMethod(show.Window(), "play");
    ASSERT_TRUE(show.device.WaitForEventCount(1, seconds(10)));
    ASSERT_TRUE(WaitFor([&] { return show.Window()->property("currentTick").toInt() > 960; }, seconds(10)));
    EXPECT_TRUE(WaitFor([&] { return show.Property("beat") == "02"; }, seconds(10)));
    EXPECT_TRUE(WaitFor([&] { return show.Window()->property("highlightContinueButton").toBool(); }, seconds(10)));
    EXPECT_TRUE(FindByName(show.Window(), "playControl")->property("pauseEnabled").toBool());

    // Pause holds the playhead; continue goes on from it.
    QMetaObject::invokeMethod(show.Window(), "pause");
    ASSERT_TRUE(WaitFor([&] { return show.Engine().GetIsPaused(); }));
    const unsigned int pausedAt = show.Engine().GetTickIndex();
    EXPECT_TRUE(WaitFor([&] { return FindByName(show.Window(), "playControl")->property("pauseToggled").toBool(); }));
    show.controller->ContinuePlay_();
    EXPECT_TRUE(WaitFor([&] { return show.Engine().GetTickIndex() > pausedAt + 240; }, seconds(10)));

    // The vamp over bars 1-2 holds until released; released, bar 3 and on play.
    QMetaObject::invokeMethod(show.Window(), "continueFlow");
    EXPECT_TRUE(WaitFor([&] { return Measure(show) >= 3; }, seconds(15))) << show.Property("measure").toStdString();

    // Stop: every channel gets all notes off, and the transport shows stopped.
    show.device.ClearEvents();
    QMetaObject::invokeMethod(show.Window(), "stop");
    ASSERT_TRUE(WaitFor([&] { return show.Engine().IsStopped(); }));
    EXPECT_TRUE(show.device.WaitForEventCount(16, seconds(5)));
    std::set<int> silenced;
    for (const auto& event : show.device.GetEvents())
        if ((event.status & 0xF0) == 0xB0 && event.data1 == 123)
            silenced.insert(event.status & 0x0F);
    EXPECT_EQ(silenced.size(), 16u);
    EXPECT_TRUE(WaitFor([&] { return !FindByName(show.Window(), "playControl")->property("pauseEnabled").toBool(); }));
}

TEST_F(MainWindowPlaysDemo, SongStepsAndJumpsMoveTheWindow)
{
    DemoShowWindow show(Engine());
    QMetaObject::invokeMethod(show.Window(), "nextSong");
    EXPECT_TRUE(WaitFor([&] { return show.Property("songTitle") == "Harbour Lights"; }));
    EXPECT_TRUE(WaitFor([&] { return show.Window()->property("endTick").toInt() > 0; }));
    QMetaObject::invokeMethod(show.Window(), "prevSong");
    EXPECT_TRUE(WaitFor([&] { return show.Property("songTitle") == "Overture"; }));

    QSignalSpy results(show.controller.get(), &MusicalMainController::JumpToBarResult);
    QMetaObject::invokeMethod(show.Window(), "jumpToBar", Q_ARG(QString, "11"));
    QMetaObject::invokeMethod(show.Window(), "jumpToBar", Q_ARG(QString, "99"));
    ASSERT_EQ(results.count(), 2);
    EXPECT_TRUE(results.at(0).at(0).toBool());
    EXPECT_FALSE(results.at(1).at(0).toBool());
    EXPECT_TRUE(WaitFor([&] { return Measure(show) == 11; })) << show.Property("measure").toStdString();
}

TEST_F(MainWindowPlaysDemo, ACaesuraStopsThePlayAndContinueGoesOn)
{
    DemoShowWindow show(Engine());
    show.controller->JumpToBar_("11");
    show.controller->Play_();
    ASSERT_TRUE(WaitFor([&] { return show.Property("flowControlLabel") == "Caesura"; }, seconds(10)));
    EXPECT_EQ(show.Window()->property("flowControlBackgroundColor").value<QColor>(), QColor("#DC143C"));
    ASSERT_TRUE(WaitFor([&] { return !show.Engine().GetIsPlaying(); }, seconds(10)));
    // While held there the banner keeps showing the caesura.
    QTest::qWait(300);
    EXPECT_EQ(show.Property("flowControlLabel"), "Caesura");
    const std::size_t notesAtCaesura = show.NoteOns();
    show.controller->ContinuePlay_();
    EXPECT_TRUE(WaitFor([&] { return Measure(show) == 12 && show.NoteOns() > notesAtCaesura; }, seconds(10)))
        << show.Property("measure").toStdString();
    EXPECT_TRUE(WaitFor([&] { return show.Property("flowControlLabel") != "Caesura"; }, seconds(10)));
}

TEST_F(MainWindowPlaysDemo, AFadeToStopEndsStoppedOnTheNextSong)
{
    DemoShowWindow show(Engine());
    show.controller->Play_();
    ASSERT_TRUE(show.device.WaitForEventCount(1, seconds(10)));
    show.controller->FadeToStop_(300);
    EXPECT_TRUE(WaitFor([&] { return show.Property("songTitle") == "Harbour Lights"; }, seconds(10)));
    EXPECT_TRUE(show.Engine().IsStopped());
    EXPECT_FALSE(show.Engine().GetIsFaded());
}

TEST_F(MainWindowPlaysDemo, AFadeOfTheFadeButtonGoesToTheNextSong)
{
    DemoShowWindow show(Engine());
    show.controller->Play_();
    ASSERT_TRUE(show.device.WaitForEventCount(1, seconds(10)));
    ASSERT_TRUE(WaitFor([&] { return FindByName(show.Window(), "playControl")->property("fadeEnabled").toBool(); }));
    QMetaObject::invokeMethod(show.Window(), "fade", Q_ARG(int, 300));
    EXPECT_TRUE(WaitFor([&] { return show.Property("songTitle") == "Harbour Lights"; }, seconds(10)));
    EXPECT_FALSE(show.Engine().GetIsFaded());
}

// The demo's lighting cue of song "2" (bar 14, tick 23520, "/cue/14/go") reaches a UDP receiver when
// the window plays the song with OSC on, not before its tick; a second cue a bar later never leaves,
// because Stop comes first.
TEST_F(MainWindowPlaysDemo, OutgoingCuesReachTheirDeskAtTheirTicksAndNoneAfterStop)
{
    osc_test::CueReceiver desk;
    auto show = std::make_unique<DemoShowWindow>(Engine(), true, [](const QString& data) {
        brix::osc::OscSettings(false, osc_test::FreeUdpPort())
            .Write(QDir(data).filePath("osc_settings.brix").toStdString());
    });
    CL::Editor& editor = *show->Engine().GetChangeLogEditor();
    editor.UpdateNetworks({CL::NetworkPath("Lighting desk", "lights", "127.0.0.1", desk.Port(), false)});
    editor.SelectSongLogForEditing("2");
    editor.DeleteEvent(editor.GetEventsByEventId().at("A1"));  // no chorus repeat: bar 13 runs into 14
    constexpr unsigned int kCueTick = 23520;
    editor.AddEvent(CL::Osc(kCueTick + 1440, "S9", CL::OscProperties("/cue/15/go", "lights")));
    show->Engine().LoadNewChangeLog();
    show->Engine().DoOscProcessing(true);
    show->Engine().LoadSong("2");

    // Song "2" plays 480 ticks a quarter at 96 quarters a minute.
    constexpr double kMsPerTick = 625.0 / 480.0;
    constexpr unsigned int kStart = kCueTick - 960;
    show->Engine().Seek(kStart);
    const qint64 playedAt = desk.NowMs();
    show->controller->Play_();
    ASSERT_TRUE(desk.WaitForCount(1, 20000));
    show->controller->Stop_();
    const auto cue = desk.All().front();
    EXPECT_EQ(cue.datagram, brix::osc::BuildOscDatagram("/cue/14/go"));
    // Not early: the engine fills its buffers at most about 105 ms ahead of what sounds.
    EXPECT_GE(cue.atMs - playedAt, static_cast<qint64>((kCueTick - kStart) * kMsPerTick) - 250)
        << "the cue came before its tick";

    ASSERT_TRUE(desk.Sentinel());
    show.reset();
    ASSERT_TRUE(desk.Sentinel());
    EXPECT_EQ(desk.Cues().size(), 1u) << "a cue left after Stop";
}

// ---- The program's close road on the real main window ---------------------------------------------

// The vamps of the overture in the engine's change log.
std::size_t OvertureVamps(MusicalMainController& main)
{
    std::size_t vamps = 0;
    for (const auto& [id, event] : main.GetInterface()->GetChangeLogEditor()->GetEventsByEventId())
        if (event.code() == codes::vamp)
            ++vamps;
    return vamps;
}

TEST_F(MainWindowPlaysDemo, SaveAndCloseKeepsTheEditForTheNextStart)
{
    QTemporaryDir home;
    const QByteArray previousHome = qgetenv("XDG_DATA_HOME");
    const QByteArray previousShow = qgetenv(brix::qt::kShowFolderVariable);
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    const std::filesystem::path show = std::filesystem::path(home.path().toStdString()) / "lanterns";
    std::filesystem::copy(BRIX_DEMO_SHOW_DIR, show, std::filesystem::copy_options::recursive);
    qputenv(brix::qt::kShowFolderVariable, QByteArray::fromStdString(show.string()));
    const auto start = [this] {
        return std::make_unique<brix::qt::Launcher>(Engine(), std::make_unique<musical_test::DemoShowFactory>(false));
    };
    const auto mainOf = [](brix::qt::Launcher& launcher) {
        return qobject_cast<MusicalMainController*>(launcher.MainWindow()->Controller());
    };

    auto launcher = start();
    MusicalMainController* main = mainOf(*launcher);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor([&] { return main->GetQmlObject()->property("songTitle").toString() == "Overture"; }));
    ASSERT_EQ(OvertureVamps(*main), 1u);
    for (const auto& [id, event] : main->GetInterface()->GetChangeLogEditor()->GetEventsByEventId())
        if (event.code() == codes::vamp) {
            const cmn::BrixEvent vamp = event;
            main->onBrixEditSelectedExternally(&vamp);
            break;
        }
    QMetaObject::invokeMethod(FindByName(main->GetQmlObject(), "responsiveMenu"), "deleteSelected");
    ASSERT_TRUE(main->HasUnsavedEdits());

    // Closing asks; "Save and Close" saves a new version and ends the program with status 0.
    QTimer::singleShot(0, [&] {
        qobject_cast<QQuickWindow*>(main->GetQmlObject())->close();
        ASSERT_NE(launcher->SavePromptDialog(), nullptr);
        QMetaObject::invokeMethod(launcher->SavePromptDialog()->GetQmlObject(), "accepted");
    });
    QTimer::singleShot(20000, [] { QCoreApplication::exit(-1); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    // The engine names its versions after the show's folder.
    EXPECT_TRUE(std::filesystem::exists(show / "lanterns-1.1.logdata"));
    launcher.reset();
    musical_test::RunDeferredDeletes();

    // The next start loads the saved version: the vamp stays deleted and nothing is unsaved.
    launcher = start();
    main = mainOf(*launcher);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor([&] { return main->GetQmlObject()->property("songTitle").toString() == "Overture"; }));
    EXPECT_EQ(OvertureVamps(*main), 0u);
    EXPECT_FALSE(main->HasUnsavedEdits());
    launcher.reset();
    musical_test::RunDeferredDeletes();
    musical_test::TakeSizeHintWarnings();
    qputenv("XDG_DATA_HOME", previousHome);
    qputenv(brix::qt::kShowFolderVariable, previousShow);
}

}  // namespace
