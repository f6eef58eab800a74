#include "MainWindowFixture.h"
#include "ScoreArchive.h"
#include "ShowManager.h"
#include "main_window_events.h"

#include <brix_core/EventObserver.h>

#include <QColor>
#include <QAbstractItemModel>
#include <QDate>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QThread>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using brix::qt::MusicalMainController;
using musical_test::FakeEngineFactory;
using musical_test::FakeInterface;
using musical_test::MainWindowTest;
using musical_test::WaitFor;
using notify::EngineEvent;
using testing::_;
using testing::NiceMock;
using testing::Return;

// ---- What the window makes of event texts ------------------------------------------------------

TEST(MainWindowEventTexts, FlowControlCellTakesLabelCountAndTheColourOfItsFirstWord)
{
    struct Case {
        const char* text;
        int value;
        const char* label;
        QVariant shown;
        const char* color;
    };
    const Case cases[] = {
        {"Vamp", 2, "Vamp", 2, "#00BFFF"},
        {"Skip into vamp", 1, "Skip into vamp", 1, "#6e3493"},
        {"REPEAT", 3, "REPEAT", 3, "#DAA520"},
        {"Caesura", 0, "Caesura", QString(), "#DC143C"},
        {"PickupBeat", 4, "PickupBeat", 4, "#333"},
        {"ClearPickupBeat", 4, "", QString(), "#333"},
        {"", 5, "", QString(), "#333"},
    };
    for (const Case& c : cases) {
        const brix::qt::FlowControlBanner banner = brix::qt::MakeFlowControlBanner(QString::fromUtf8(c.text), c.value);
        EXPECT_EQ(banner.label, QString::fromUtf8(c.label)) << c.text;
        EXPECT_EQ(banner.value, c.shown) << c.text;
        EXPECT_EQ(banner.color, QString::fromUtf8(c.color)) << c.text;
    }
}

TEST(MainWindowEventTexts, BarBeatTextIsCutIntoMeasureAndBeat)
{
    struct Case {
        const char* text;
        const char* measure;
        const char* beat;
    };
    const Case cases[] = {
        {"00120003", "0012", "03"},
        {"0012003", "0012", "03"},
        {"012", "012", "12"},
        {"7", "7", "7"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const brix::qt::BarBeatText cut = brix::qt::SplitBarBeat(QString::fromUtf8(c.text));
        EXPECT_EQ(cut.measure, QString::fromUtf8(c.measure)) << c.text;
        EXPECT_EQ(cut.beat, QString::fromUtf8(c.beat)) << c.text;
    }
}

TEST(MainWindowEventTexts, LearnedCommandIsUnpackedFromItsValue)
{
    struct Case {
        int value;
        brix::qt::LearnedMidiCommand command;
    };
    const Case cases[] = {
        {(5 << 16) | (0x93 << 8) | 60, {5, 0x90, 3, 60}},
        {(255 << 16) | (0xBF << 8) | 127, {255, 0xB0, 15, 127}},
        {(0 << 16) | (0x80 << 8) | 0, {0, 0x80, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(brix::qt::UnpackLearnedMidiCommand(c.value), c.command) << c.value;
    EXPECT_DOUBLE_EQ(brix::qt::VolumeLevelPercent(75500), 75.5);
}

// ---- Construction, show set-up and tear-down ----------------------------------------------------

TEST_F(MainWindowTest, ConstructionOpensTheWindowOnTheShowWithEditModeOn)
{
    Create();
    ASSERT_NE(Window(), nullptr);
    EXPECT_TRUE(Window()->property("visible").toBool());
    EXPECT_EQ(Window()->property("title").toString(), "Tarn|Wick - Lanterns on the Quay - Brix Demo Company");
    EXPECT_EQ(Window()->property("exportBaseName").toString(),
              "Export - " + QDate::currentDate().toString("yyyy-MM-dd") + " - Lanterns on the Quay - Brix Demo Company");
    EXPECT_TRUE(Window()->property("showFade").toBool());
    EXPECT_FALSE(Window()->property("oscEnable").toBool());
    EXPECT_TRUE(controller_->GetAdminPermission());
    EXPECT_TRUE(Find("responsiveMenu")->property("isAdmin").toBool());
    EXPECT_EQ(Find("responsiveMenu")->property("appName").toString(), "Tarn|Wick");
    EXPECT_EQ(factory_->events, std::vector<std::string>{"create " + ShowFolder().toStdString()});
    ASSERT_NE(controller_->GetShowManager(), nullptr);
    EXPECT_EQ(controller_->GetShowManager()->GetInterface(), controller_->GetInterface());
}

TEST_F(MainWindowTest, ReloadingTheShowShutsTheOldEngineDownBeforeTheNewOneIsMade)
{
    Create();
    controller_->SetupShow();
    const std::string create = "create " + ShowFolder().toStdString();
    EXPECT_EQ(factory_->events, (std::vector<std::string>{create, "shutdown", create}));
}

TEST_F(MainWindowTest, DestructorStopsAPlayingEngineAndShutsItDownThroughTheShowManager)
{
    Create();
    std::vector<std::string> calls;
    ON_CALL(Fake(), IsStopped()).WillByDefault(Return(false));
    ON_CALL(Fake(), Stop()).WillByDefault([&] { calls.emplace_back("stop"); });
    ON_CALL(Fake(), Shutdown()).WillByDefault([&] {
        calls.emplace_back("shutdown");
        throw std::runtime_error("the engine's threads did not end");
    });
    controller_.reset();
    EXPECT_EQ(calls, (std::vector<std::string>{"stop", "shutdown"}));
}

TEST_F(MainWindowTest, TheWindowRefusesItsCloseAndAsksTheController)
{
    Create();
    QSignalSpy closing(controller_.get(), &MusicalMainController::Closing);
    auto* window = qobject_cast<QQuickWindow*>(Window());
    ASSERT_NE(window, nullptr);
    window->close();
    EXPECT_EQ(closing.count(), 1);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, ErrorsAndInformationOpenOneDialogAtATime)
{
    Create();
    QSignalSpy created(controller_.get(), &MusicalMainController::controllerCreated);
    controller_->onError("The port is taken.", "OSC Server Error");
    controller_->onInformation("Saved.", "Saved");
    ASSERT_EQ(created.count(), 2);
    EXPECT_EQ(created.at(0).at(0).toString(), "Dialog");
    auto* second = created.at(1).at(1).value<QObject*>();
    ASSERT_NE(second, nullptr);
    auto* dialog = qobject_cast<brix::qt::QmlController*>(second)->GetQmlObject();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->property("title").toString(), "Saved");
}

// ---- Transport -----------------------------------------------------------------------------------

// Records the transport calls on the fake, with the engine's state as the case gives it.
struct EngineState {
    bool playing = false;
    bool paused = false;
    bool faded = false;
};

void RecordTransport(NiceMock<FakeInterface>& fake, const EngineState& state, std::vector<std::string>& calls)
{
    ON_CALL(fake, GetIsPlaying()).WillByDefault(Return(state.playing));
    ON_CALL(fake, GetIsPaused()).WillByDefault(Return(state.paused));
    ON_CALL(fake, GetIsFaded()).WillByDefault(Return(state.faded));
    ON_CALL(fake, GetTickIndex()).WillByDefault(Return(1000u));
    ON_CALL(fake, Play()).WillByDefault([&] { calls.emplace_back("Play"); });
    ON_CALL(fake, Stop()).WillByDefault([&] { calls.emplace_back("Stop"); });
    ON_CALL(fake, Continue()).WillByDefault([&] { calls.emplace_back("Continue"); });
    ON_CALL(fake, Pause(_)).WillByDefault([&](bool done) { calls.push_back(done ? "Pause(true)" : "Pause(false)"); });
    ON_CALL(fake, NextSong()).WillByDefault([&] { calls.emplace_back("NextSong"); });
    ON_CALL(fake, PrevSong()).WillByDefault([&] { calls.emplace_back("PrevSong"); });
    ON_CALL(fake, FlowControlExit()).WillByDefault([&] { calls.emplace_back("FlowControlExit"); });
    ON_CALL(fake, CancelFade()).WillByDefault([&] { calls.emplace_back("CancelFade"); });
    ON_CALL(fake, Seek(_)).WillByDefault([&](unsigned int tick) { calls.push_back("Seek(" + std::to_string(tick) + ")"); });
    ON_CALL(fake, SeekToNextMeasure()).WillByDefault([&] { calls.emplace_back("SeekToNextMeasure"); });
    ON_CALL(fake, SeekToPreviousMeasure()).WillByDefault([&] { calls.emplace_back("SeekToPreviousMeasure"); });
    ON_CALL(fake, SeekRight()).WillByDefault([&] { calls.emplace_back("SeekRight"); });
    ON_CALL(fake, SeekLeft()).WillByDefault([&] { calls.emplace_back("SeekLeft"); });
    ON_CALL(fake, Fade(_, _)).WillByDefault([&](std::function<void()>, float seconds) {
        calls.push_back("Fade(" + std::to_string(seconds).substr(0, 4) + ")");
    });
    ON_CALL(fake, FadeTo(_, _, _)).WillByDefault([&](std::function<void()>, float seconds, float target) {
        calls.push_back("FadeTo(" + std::to_string(seconds).substr(0, 4) + "," + std::to_string(target).substr(0, 4) + ")");
    });
}

// The calls outlive the controller, whose destructor still reaches the engine.
class MainWindowTransportTest : public MainWindowTest {
protected:
    std::vector<std::string> calls;
};

TEST_F(MainWindowTransportTest, TransportSlotsCallTheEngineAsItsStateAllows)
{
    struct Case {
        const char* name;
        EngineState state;
        std::function<void(MusicalMainController&)> slot;
        std::vector<std::string> calls;
    };
    const EngineState stopped{};
    const EngineState playing{true, false, false};
    const EngineState paused{false, true, false};
    const EngineState faded{false, false, true};
    const std::vector<Case> cases = {
        {"play", stopped, [](auto& c) { c.Play_(); }, {"Play"}},
        {"stop", playing, [](auto& c) { c.Stop_(); }, {"Stop"}},
        {"continue", paused, [](auto& c) { c.ContinuePlay_(); }, {"Continue"}},
        {"pause toggle while playing", playing, [](auto& c) { c.PauseToggleSlot_(); }, {"Pause(false)"}},
        {"pause toggle while faded", faded, [](auto& c) { c.PauseToggle_(true); }, {"Pause(true)"}},
        {"pause toggle while paused plays", paused, [](auto& c) { c.PauseToggleSlot_(); }, {"Play"}},
        {"pause toggle while stopped plays", stopped, [](auto& c) { c.PauseToggleSlot_(); }, {"Play"}},
        {"fade while playing", playing, [](auto& c) { c.Fade_(3000); }, {"Fade(3.00)"}},
        {"fade while stopped", stopped, [](auto& c) { c.Fade_(3000); }, {}},
        {"fade while paused", paused, [](auto& c) { c.Fade_(3000); }, {}},
        {"fade to stop while stopped", stopped, [](auto& c) { c.FadeToStop_(1000); }, {}},
        {"fade to a level while stopped", stopped, [](auto& c) { c.FadeTo_(500, 0.5); }, {"FadeTo(0.50,0.50)"}},
        {"fade completed to the next song", faded, [](auto& c) { c.FadeComplete_(true); }, {"NextSong", "CancelFade"}},
        {"fade to a level completed", faded, [](auto& c) { c.FadeComplete_(false); }, {"CancelFade"}},
        {"fade completed while not faded", playing, [](auto& c) { c.FadeComplete_(true); }, {"CancelFade"}},
        {"continue flow", playing, [](auto& c) { c.ContinueFlow_(); }, {"FlowControlExit"}},
        {"next song", stopped, [](auto& c) { c.NextSong_(); }, {"NextSong"}},
        {"previous song", stopped, [](auto& c) { c.PrevSong_(); }, {"PrevSong"}},
        {"next bar", stopped, [](auto& c) { c.SeekNextBarRequested_(); }, {"SeekToNextMeasure"}},
        {"previous bar", stopped, [](auto& c) { c.SeekPrevBarRequested_(); }, {"SeekToPreviousMeasure"}},
        {"next marker", stopped, [](auto& c) { c.SeekNextMarkerRequested_(); }, {"SeekRight"}},
        {"previous marker", stopped, [](auto& c) { c.SeekPrevMarkerRequested_(); }, {"SeekLeft"}},
        {"playhead jump while playing", playing, [](auto& c) { c.JumpPlayheadByTicks_(480); },
         {"Pause(false)", "Seek(1480)", "Play"}},
        {"playhead jump while stopped", stopped, [](auto& c) { c.JumpPlayheadByTicks_(-480); }, {"Seek(520)"}},
        {"seek to a tick", stopped, [](auto& c) { c.SeekToTick_(96); }, {"Seek(96)"}},
    };
    Create();
    for (const Case& c : cases) {
        calls.clear();
        RecordTransport(Fake(), c.state, calls);
        c.slot(*controller_);
        EXPECT_EQ(calls, c.calls) << c.name;
        testing::Mock::VerifyAndClearExpectations(&Fake());
    }
}

TEST_F(MainWindowTransportTest, WindowButtonsAndMenuEntriesReachTheTransport)
{
    Create();
    RecordTransport(Fake(), EngineState{true, false, false}, calls);
    QMetaObject::invokeMethod(Window(), "play");
    QMetaObject::invokeMethod(Window(), "stop");
    QMetaObject::invokeMethod(Window(), "pause");
    QMetaObject::invokeMethod(Window(), "nextSong");
    QMetaObject::invokeMethod(Window(), "continueFlow");
    QMetaObject::invokeMethod(Find("responsiveMenu"), "nextBar");
    QMetaObject::invokeMethod(Find("responsiveMenu"), "stop");
    EXPECT_EQ(calls, (std::vector<std::string>{"Play", "Stop", "Pause(false)", "NextSong", "FlowControlExit",
                                               "SeekToNextMeasure", "Stop"}));
}

TEST_F(MainWindowTransportTest, AfterAReloadTheSlotsDriveTheNewEngine)
{
    Create();
    controller_->SetupShow();
    RecordTransport(Fake(), EngineState{true, false, false}, calls);
    controller_->Play_();
    EXPECT_EQ(calls, std::vector<std::string>{"Play"});
}

TEST_F(MainWindowTransportTest, FadeToStopStopsAndGoesToTheNextSongOnTheGuiThread)
{
    Create();
    std::function<void()> onComplete;
    RecordTransport(Fake(), EngineState{true, false, false}, calls);
    ON_CALL(Fake(), Fade(_, _)).WillByDefault([&](std::function<void()> done, float) { onComplete = std::move(done); });
    std::atomic<bool> stopOnGui{false};
    const QThread* gui = QThread::currentThread();
    ON_CALL(Fake(), Stop()).WillByDefault([&] {
        stopOnGui = QThread::currentThread() == gui;
        calls.emplace_back("Stop");
        ON_CALL(Fake(), GetIsPlaying()).WillByDefault(Return(false));
        ON_CALL(Fake(), GetIsFaded()).WillByDefault(Return(true));
    });
    controller_->FadeToStop_(1000);
    ASSERT_TRUE(onComplete);
    std::thread fader(onComplete);
    fader.join();
    EXPECT_TRUE(calls.empty()) << "the fader's thread only posts";
    ASSERT_TRUE(WaitFor([&] { return calls.size() == 3; }));
    EXPECT_EQ(calls, (std::vector<std::string>{"Stop", "NextSong", "CancelFade"}));
    EXPECT_TRUE(stopOnGui);
    controller_.reset();  // its destructor stops the engine, whose action reads this test's locals
}

TEST_F(MainWindowTest, FadeCompletionAfterTheWindowWentReachesNothing)
{
    Create();
    std::function<void()> onComplete;
    ON_CALL(Fake(), GetIsPlaying()).WillByDefault(Return(true));
    ON_CALL(Fake(), Fade(_, _)).WillByDefault([&](std::function<void()> done, float) { onComplete = std::move(done); });
    controller_->Fade_(1000);
    ASSERT_TRUE(onComplete);
    controller_.reset();
    std::thread fader(onComplete);
    fader.join();
    musical_test::RunDeferredDeletes();
    QCoreApplication::processEvents();
}

TEST_F(MainWindowTest, JumpToBarClosesThePopUpOrShowsBarNotFound)
{
    Create();
    ON_CALL(Fake(), SeekToBar("12")).WillByDefault(Return(true));
    ON_CALL(Fake(), SeekToBar("99")).WillByDefault(Return(false));
    QObject* popup = Find("jumpToBar");
    ASSERT_NE(popup, nullptr);
    controller_->JumpToBarStartRequested();
    ASSERT_TRUE(WaitFor([&] { return popup->property("opened").toBool(); }));
    QObject* field = FindByName(popup, "jumpField");
    ASSERT_NE(field, nullptr);

    field->setProperty("text", "99");
    QMetaObject::invokeMethod(popup, "accept");
    EXPECT_TRUE(popup->property("opened").toBool());
    EXPECT_EQ(field->property("text").toString(), "Bar not found!");
    EXPECT_EQ(field->property("selectedText").toString(), "Bar not found!");

    field->setProperty("text", "12");
    QMetaObject::invokeMethod(popup, "accept");
    EXPECT_TRUE(WaitFor([&] { return !popup->property("opened").toBool(); }));
}

TEST_F(MainWindowTest, OnlyAnAttaccaStateTheEngineDoesNotHaveIsSet)
{
    Create();
    ON_CALL(Fake(), GetAttacca("1")).WillByDefault(Return(std::uint8_t{1}));
    EXPECT_CALL(Fake(), SetAttacca("1", 1)).Times(0);
    EXPECT_CALL(Fake(), SetAttacca("1", 2)).Times(1);
    controller_->onAttaccaStageChanged("1", 1);
    controller_->onAttaccaStageChanged("1", 2);
}

// ---- Engine events ------------------------------------------------------------------------------

TEST_F(MainWindowTest, EngineEventsFromAnotherThreadSetTheWindow)
{
    struct Case {
        EngineEvent event;
        int value;
        const char* text;
        const char* property;
        QVariant expected;
    };
    const Case cases[] = {
        {EngineEvent::Key, 0, " D major ", "key", QString("D major")},
        {EngineEvent::Tempo, 0, "96", "tempo", QString("96")},
        {EngineEvent::Meter, 0, "3/4", "meter", QString("3/4")},
        {EngineEvent::Transposition, -2, "", "transpose", QString("-2")},
        {EngineEvent::TempoScale, 0, "0.90", "tempoScale", QString("0.90")},
        {EngineEvent::BarBeat, 0, "00140002", "measure", QString("0014")},
        {EngineEvent::BarBeat, 0, "00140002", "beat", QString("02")},
        {EngineEvent::Playhead, 23520, "", "currentTick", 23520},
        {EngineEvent::SongTitle, 0, "Harbour Lights", "songTitle", QString("Harbour Lights")},
        {EngineEvent::StatusFlowControl, 2, "Vamp", "flowControlBackgroundColor", QColor("#00BFFF")},
        {EngineEvent::StatusFlowControl, 2, "Vamp", "flowControlValue", 2},
        {EngineEvent::VampOn, 0, "", "highlightContinueButton", true},
        {EngineEvent::VampOff, 0, "", "highlightContinueButton", false},
        {EngineEvent::StatusVolume, 750, "", "volumeLevelPercent", 0.75},
    };
    Create();
    for (const Case& c : cases) {
        std::thread engineThread([&] { notify::SendEngineEvent(c.event, c.value, c.text); });
        engineThread.join();
        EXPECT_TRUE(WaitFor([&] { return Window()->property(c.property) == c.expected; }))
            << c.property << " = " << Window()->property(c.property).toString().toStdString();
    }
    EXPECT_EQ(Find("statusBanner")->property("measureText").toString(), "0014");
}

TEST_F(MainWindowTest, PlaybackEventsSetTheTransportButtons)
{
    Create();
    QObject* controls = Find("playControl");
    ASSERT_NE(controls, nullptr);
    notify::SendEngineEvent(EngineEvent::PlaybackStarted);
    ASSERT_TRUE(WaitFor([&] { return controls->property("pauseEnabled").toBool(); }));
    EXPECT_TRUE(controls->property("stopToggled").toBool());
    EXPECT_TRUE(controls->property("fadeEnabled").toBool());
    notify::SendEngineEvent(EngineEvent::PlaybackPaused);
    ASSERT_TRUE(WaitFor([&] { return controls->property("pauseToggled").toBool(); }));
    EXPECT_FALSE(controls->property("fadeEnabled").toBool());
    notify::SendEngineEvent(EngineEvent::PlaybackStopped);
    ASSERT_TRUE(WaitFor([&] { return !controls->property("pauseEnabled").toBool(); }));
    EXPECT_FALSE(controls->property("stopToggled").toBool());
    EXPECT_FALSE(controls->property("pauseToggled").toBool());
}

TEST_F(MainWindowTest, LearnedCommandsAndSongLoadsReachTheirReceivers)
{
    Create();
    ON_CALL(Fake(), GetCurrentSongNumber()).WillByDefault(Return("2"));
    ON_CALL(Fake(), GetSongAudioStartTick("2")).WillByDefault(Return(480u));
    ON_CALL(Fake(), GetSongAudioEndTick("2")).WillByDefault(Return(29280u));
    ON_CALL(Fake(), GetTickIndex()).WillByDefault(Return(960u));
    QSignalSpy learned(controller_.get(), &MusicalMainController::MidiLearned);
    QSignalSpy unlearned(controller_.get(), &MusicalMainController::MidiUnlearned);
    notify::SendEngineEvent(EngineEvent::LearnedMIDICommand, (7 << 16) | (0x92 << 8) | 64);
    notify::SendEngineEvent(EngineEvent::MIDICommandCanceled, 7);
    notify::SendEngineEvent(EngineEvent::SongLoaded, 0, "2");
    ASSERT_TRUE(WaitFor([&] { return Window()->property("endTick").toInt() == 29280; }));
    EXPECT_EQ(Window()->property("startTick").toInt(), 480);
    EXPECT_EQ(Window()->property("currentTick").toInt(), 960);
    ASSERT_EQ(learned.count(), 1);
    EXPECT_EQ(learned.at(0), (QList<QVariant>{7, 0x90, 2, 64}));
    ASSERT_EQ(unlearned.count(), 1);
    EXPECT_EQ(unlearned.at(0).at(0).toInt(), 7);
}

TEST_F(MainWindowTest, EventsPostedWhileTheWindowClosesAreDropped)
{
    Create();
    std::atomic<bool> stop{false};
    std::atomic<int> sent{0};
    std::vector<std::thread> senders;
    for (int i = 0; i < 3; ++i) {
        senders.emplace_back([&] {
            while (!stop) {
                notify::SendEngineEvent(EngineEvent::BarBeat, 0, "00010001");
                notify::SendEngineEvent(EngineEvent::Playhead, sent++);
            }
        });
    }
    ASSERT_TRUE(WaitFor([&] { return sent > 1000; }));
    controller_.reset();
    const int atClose = sent;
    ASSERT_TRUE(WaitFor([&] { return sent > atClose + 1000; }));
    stop = true;
    for (auto& t : senders)
        t.join();
    musical_test::RunDeferredDeletes();
    QCoreApplication::processEvents();
}

// ---- Edit mode ------------------------------------------------------------------------------------

TEST_F(MainWindowTest, AdminPermissionReachesTheWindowAndTheMenu)
{
    Create();
    QSignalSpy set(controller_.get(), &MusicalMainController::AdminPermissionSet);
    QObject* menu = Find("responsiveMenu");
    for (bool admin : {false, true, false}) {
        controller_->SetAdminPermission(admin);
        EXPECT_EQ(menu->property("isAdmin").toBool(), admin);
        EXPECT_EQ(controller_->GetAdminPermission(), admin);
    }
    EXPECT_EQ(set.count(), 3);
}

// ---- Timeline and edit panel ---------------------------------------------------------------------

// The rows the window's marker list shows, and the change-log items on the window's timeline.
int MarkerRows(QObject* window)
{
    auto* model = qobject_cast<QAbstractItemModel*>(window->property("markerListModel").value<QObject*>());
    return model == nullptr ? -1 : model->rowCount();
}

int TimelineItems(QObject* window)
{
    auto* timeline = window->property("timelineControl").value<QQuickItem*>();
    if (timeline == nullptr)
        return -1;
    int items = 0;
    for (QQuickItem* item : timeline->findChildren<QQuickItem*>()) {
        const QString type = QString::fromLatin1(item->metaObject()->className());
        items += type.startsWith(QLatin1String("TimeRegion")) || type.startsWith(QLatin1String("TimeLineMarker"));
    }
    return items;
}

TEST_F(MainWindowTest, ASongLoadRebuildsTheTimelineAndTheListsForThatSong)
{
    Create();
    EXPECT_EQ(TimelineItems(Window()), 0) << "nothing is drawn before a song loads";
    struct Case {
        const char* song;
        int markerRows;
    };
    for (const Case& c : {Case{"1", 3}, Case{"2", 0}, Case{"1", 3}}) {
        SCOPED_TRACE(c.song);
        factory_->served.currentSong = c.song;
        notify::SendEngineEvent(EngineEvent::SongLoaded, 0, c.song);
        EXPECT_TRUE(WaitFor([&] { return MarkerRows(Window()) == c.markerRows; })) << MarkerRows(Window());
    }
    EXPECT_GT(TimelineItems(Window()), 3) << "the song's events and markers are on the timeline";
}

TEST_F(MainWindowTest, AnEditFromTheTimelineAndTheMenuReachesTheEngineAndIsUnsaved)
{
    Create();
    notify::SendEngineEvent(EngineEvent::SongLoaded, 0, "1");
    ASSERT_TRUE(WaitFor([&] { return MarkerRows(Window()) == 3; }));
    EXPECT_FALSE(controller_->HasUnsavedEdits());
    const int loadsBefore = factory_->served.loads;
    const cmn::BrixEvent vamp = factory_->editor->GetEventsByEventId().at("@1");
    controller_->onBrixEditSelectedExternally(&vamp);
    QMetaObject::invokeMethod(Find("responsiveMenu"), "deleteSelected");
    EXPECT_GT(factory_->served.loads, loadsBefore) << "the engine was not given the edited log";
    EXPECT_EQ(factory_->served.played, factory_->editor->GetChangeLog().GetSongLog("1"));
    EXPECT_TRUE(controller_->HasUnsavedEdits());
    EXPECT_TRUE(Find("responsiveMenu")->property("canUndo").toBool());
}

TEST_F(MainWindowTest, ADraggedEventStaysInsideTheSong)
{
    using Song = musical_test::TimelineSong;
    struct Case {
        const char* what;
        int start;
        int end;
        bool adjustLeft;
        bool adjustRight;
        std::uint32_t expectedStart;
        std::uint32_t expectedEnd;
    };
    const int bar = static_cast<int>(Song::kBar);
    constexpr std::uint32_t kLastTick = Song::kLength - 1;
    const Case cases[] = {
        {"moved inside", 5 * bar, 6 * bar, false, false, 5 * Song::kBar, 6 * Song::kBar},
        {"moved before the start keeps its length", -bar / 2, bar / 2, false, false, 0, Song::kBar},
        {"moved past the end keeps its length", static_cast<int>(kLastTick) - bar / 2,
         static_cast<int>(kLastTick) + bar / 2, false, false, kLastTick - Song::kBar, kLastTick},
    };
    Create();
    // As the engine does, the song's length is its last tick.
    ON_CALL(Fake(), GetSongLength(_)).WillByDefault(Return(kLastTick));
    notify::SendEngineEvent(EngineEvent::SongLoaded, 0, "1");
    ASSERT_TRUE(WaitFor([&] { return MarkerRows(Window()) == 3; }));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const cmn::BrixEvent cut = factory_->editor->GetEventsByEventId().at("B1");
        controller_->onBrixEditDragged(&cut, c.start, c.end, c.adjustLeft, c.adjustRight);
        const cmn::BrixEvent moved = factory_->editor->GetEventsByEventId().at("B1");
        EXPECT_EQ(moved.start(), c.expectedStart);
        EXPECT_EQ(moved.end(), c.expectedEnd);
    }
}

// ---- Output paths --------------------------------------------------------------------------------

TEST_F(MainWindowTest, TheShowsOutputPathsReachTheEngineAtSetUp)
{
    std::vector<std::string> added;
    Create(FakeEngineFactory::DefaultProduct(), [&](NiceMock<FakeInterface>& fake) {
        ON_CALL(fake, GetOutputPathMap())
            .WillByDefault(Return(std::map<std::string, CL::OutputPath>{
                {"P1", CL::OutputPath("P1", "Stage Left", "", "")}, {"P2", CL::OutputPath("P2", "Booth", "", "")}}));
        ON_CALL(fake, onAddOutputhPath(_)).WillByDefault([&](const CL::OutputPath& path) {
            added.push_back(path.GetId() + ":" + path.GetName());
        });
    });
    EXPECT_EQ(added, (std::vector<std::string>{"P1:Stage Left", "P2:Booth"}));
}

// ---- Change-log versions ------------------------------------------------------------------------

// The titles of the dialogs the controller announces, in order.
std::vector<QString> DialogTitles(const QSignalSpy& created)
{
    std::vector<QString> titles;
    for (const QList<QVariant>& call : created) {
        if (call.at(0).toString() != "Dialog")
            continue;
        auto* dialog = qobject_cast<brix::qt::QmlController*>(call.at(1).value<QObject*>());
        titles.push_back(dialog != nullptr && dialog->GetQmlObject() != nullptr
                             ? dialog->GetQmlObject()->property("title").toString()
                             : QString());
    }
    return titles;
}

TEST_F(MainWindowTest, SavingFromTheEditBarOrTheMenuSavesTheLogAndCompletesTheSave)
{
    struct Case {
        const char* what;
        std::function<void()> press;
    };
    const Case cases[] = {
        {"edit bar", [this] { QMetaObject::invokeMethod(Find("editBar"), "saveButton"); }},
        {"menu", [this] { QMetaObject::invokeMethod(Find("responsiveMenu"), "saveClicked"); }},
        {"slot the close road calls", [this] { controller_->onSaveButton(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::pair<int, int>> saved;
        Create(FakeEngineFactory::DefaultProduct(), [&](NiceMock<FakeInterface>& fake) {
            ON_CALL(fake, SaveChangelog(_, _)).WillByDefault([&](std::uint16_t major, std::uint16_t minor) {
                saved.emplace_back(major, minor);
                return std::string("Lanterns.logdata");
            });
        });
        notify::SendEngineEvent(EngineEvent::SongLoaded, 0, "1");
        ASSERT_TRUE(WaitFor([&] { return MarkerRows(Window()) == 3; }));
        const cmn::BrixEvent vamp = factory_->editor->GetEventsByEventId().at("@1");
        controller_->onBrixEditSelectedExternally(&vamp);
        QMetaObject::invokeMethod(Find("responsiveMenu"), "deleteSelected");
        ASSERT_TRUE(controller_->HasUnsavedEdits());

        QSignalSpy completed(controller_.get(), &MusicalMainController::SaveCompleted);
        QSignalSpy created(controller_.get(), &MusicalMainController::controllerCreated);
        c.press();
        EXPECT_EQ(saved.size(), 1u);
        EXPECT_EQ(completed.count(), 1);
        EXPECT_FALSE(controller_->HasUnsavedEdits());
        EXPECT_EQ(DialogTitles(created), std::vector<QString>{"Save Complete"});
        controller_.reset();
        musical_test::TakeSizeHintWarnings();
    }
}

TEST_F(MainWindowTest, SharingWithoutAShowServerSaysItFailedAndCompletesNothing)
{
    std::vector<std::pair<int, int>> saved;
    Create(FakeEngineFactory::DefaultProduct(), [&](NiceMock<FakeInterface>& fake) {
        ON_CALL(fake, SaveChangelog(_, _)).WillByDefault([&](std::uint16_t major, std::uint16_t minor) {
            saved.emplace_back(major, minor);
            return std::string("Lanterns.logdata");
        });
    });
    QSignalSpy completed(controller_.get(), &MusicalMainController::SaveCompleted);
    QSignalSpy created(controller_.get(), &MusicalMainController::controllerCreated);
    QMetaObject::invokeMethod(Find("responsiveMenu"), "shareClicked");
    EXPECT_TRUE(saved.empty());
    EXPECT_EQ(completed.count(), 0);
    EXPECT_EQ(DialogTitles(created), std::vector<QString>{"Server Error on Save"});
    controller_.reset();
    musical_test::TakeSizeHintWarnings();
}

// ---- Score ----------------------------------------------------------------------------------------

TEST_F(MainWindowTest, TheScoreShowsTheShowsPagesFollowsTheEngineAndAsksForAPageJump)
{
    auto product = FakeEngineFactory::DefaultProduct();
    product.showScore = true;
    const std::string archive = musical_test::MakeScoreArchive(
        {{"2.png", musical_test::MakePngPage(Qt::blue)}, {"1.png", musical_test::MakePngPage(Qt::red)},
         {"10.png", musical_test::MakePngPage(Qt::green)}},
        true);
    std::vector<int> lookedUp;
    Create(product, [&](NiceMock<FakeInterface>& fake) {
        fake.SetScoreTar(archive);
        ON_CALL(fake, GetCurrentSongNumber()).WillByDefault(Return("1"));
        ON_CALL(fake, LookupPage(_)).WillByDefault([&](int page) {
            lookedUp.push_back(page);
            return std::pair<std::string, unsigned int>("1", 960u * static_cast<unsigned int>(page));
        });
    });
    QObject* view = Find("scoreView");
    ASSERT_NE(view, nullptr);
    const auto pages = [&] { return view->property("imageListModel").toStringList().size(); };
    EXPECT_EQ(pages(), 3);

    notify::SendEngineEvent(EngineEvent::PageNum, 3, "");
    EXPECT_TRUE(WaitFor([&] { return view->property("currentIndex").toInt() == 2; }));

    EXPECT_CALL(Fake(), Seek(1920u));
    QMetaObject::invokeMethod(view, "pageChanged", Q_ARG(int, 2));
    EXPECT_EQ(lookedUp, std::vector<int>{2});

    // A reload of the show replaces the pages; it never adds to them.
    controller_->SetupShow();
    EXPECT_EQ(pages(), 3);
}

// ---- Mixer ----------------------------------------------------------------------------------------

TEST_F(MainWindowTest, EachSongLoadMakesTheMixerThatProgramChangesReach)
{
    for (bool showMixer : {false, true}) {
        SCOPED_TRACE(showMixer);
        auto product = FakeEngineFactory::DefaultProduct();
        product.showMixer = showMixer;
        Create(product);
        for (const char* song : {"1", "2"})
            notify::SendEngineEvent(EngineEvent::SongLoaded, 0, song);
        notify::SendEngineEvent(EngineEvent::ProgramChange, (3 << 16) | 41, "Viola");
        const std::vector<std::string> expected = showMixer ? std::vector<std::string>{"3:41"}
                                                            : std::vector<std::string>{};
        EXPECT_TRUE(WaitFor([&] { return factory_->programs == expected; })) << factory_->programs.size();
        EXPECT_EQ(factory_->mixersMade, showMixer ? 2 : 0);
        controller_.reset();
    }
}

}  // namespace
