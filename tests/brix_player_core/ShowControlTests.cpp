#include "Fixtures.h"

#include <brix_player_core/BrixExt.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace player_test;
using notify::GuiEventKind;

// [GIVEN] a show of songs "1" (two bars) and "2" (attacca), the active change log and a show control.
class ShowControlTest : public ::testing::Test {
protected:
    ShowControlTest() {
        show.AddSong(MakeSong("1", 2));
        show.AddSong(MakeSong("2", 1, true));
        active.Set("1");
    }
    ~ShowControlTest() override { ActiveChangeLogShared::Set(nullptr); }

    void Load(CL::SongLog log) {
        SetActiveLog(std::move(log));
        control.LoadSong();
    }

    brix_midi::ShowData show;
    ActiveSongNumber active;
    WalkingShowControl control{active, show};
    GuiRecorder gui;
};

TEST_F(ShowControlTest, LoadSongOfAnUnknownNumberThrowsAndASongMissingFromTheLogPlaysStraight) {
    active.Set("9");
    EXPECT_THROW(control.LoadSong(), std::out_of_range);

    ActiveChangeLogShared::Set(nullptr);
    active.Set("1");
    control.LoadSong();
    EXPECT_EQ(control.GetStartTickIndex(), 0u);
    EXPECT_EQ(control.GetEndTickIndex(), 3840u);
    EXPECT_EQ(control.GetSongLog().GetSongNumber(), "1");
    Road road;
    while (control.Advance(road)) {
    }
    EXPECT_EQ(road.Text(), "0-3840");
}

TEST_F(ShowControlTest, SeekReturnsFalseOnlyWhereACaesuraStopsPlayback) {
    CL::SongLog log("1", "Song 1");
    log.AddCaesura(CL::Caesura(0, "N0", 0));
    log.AddCaesura(CL::Caesura(960, "N1", 0));
    log.AddCut(CL::Cut(1400, 1920, "B1", 0));
    log.AddCaesura(CL::Caesura(1920, "N2", 0));
    Load(log);

    const std::vector<std::tuple<unsigned int, bool, unsigned int>> cases{
        // tick, Seek result, landing
        {960, false, 960},
        {961, true, 961},
        {0, true, 0},  // the road's start: a song begins there anyway
        {1500, false, 1920},
        {5000, true, 3840},
    };
    for (const auto& [tick, result, landing] : cases) {
        control.ResetCaesuraState(tick);
        EXPECT_EQ(control.Seek(tick), result) << tick;
        EXPECT_EQ(control.GetTickIndex(), landing) << tick;
        EXPECT_EQ(control.GetLastSeekTickIndex(), landing) << tick;
        EXPECT_EQ(control.HasPendingCaesura(), !result) << tick;
        if (!result) {
            EXPECT_EQ(control.GetCaesuraTickIndex(), landing) << tick;
        }
    }
    EXPECT_TRUE(control.HasCaesuraAtTickIndex(960));
    EXPECT_FALSE(control.HasCaesuraAtTickIndex(961));
}

TEST_F(ShowControlTest, OnCaesuraStopReturnsToTheCaesuraAndPlaybackThenPassesIt) {
    CL::SongLog log("1", "Song 1");
    log.AddCaesura(CL::Caesura(970, "N1", 0));
    Load(log);
    control.SetCurrentTickIndex(960);

    control.FindNextControlEventOnAdvance(960, 980);
    EXPECT_TRUE(control.GetControlEventResult().caesuraReached);
    EXPECT_EQ(control.GetTickIndex(), 970u);
    EXPECT_TRUE(control.HasPendingCaesura());
    // The walker aligns the caesura to its clock, advances once more, and the output stops.
    control.SetCaesuraTickIndex(960);
    control.SetCurrentTickIndex(980);
    control.OnCaesuraStop();
    EXPECT_FALSE(control.HasPendingCaesura());
    EXPECT_EQ(control.GetTickIndex(), 960u);
    // Held at the caesura, the banner keeps saying so until playback moves on.
    EXPECT_EQ(control.GetFlowControlState(), (FlowControlState{"Caesura", 0}));

    control.FindNextControlEventOnAdvance(960, 980);
    EXPECT_FALSE(control.GetControlEventResult().caesuraReached);
    control.SetCurrentTickIndex(980);
    EXPECT_EQ(control.GetFlowControlState(), (FlowControlState{"Caesura", 0})) << "the filler walked on";
    control.ReleaseHeldCaesura();
    EXPECT_EQ(control.GetFlowControlState(), (FlowControlState{}));
}

TEST_F(ShowControlTest, ASeekAwayFromAHeldCaesuraClearsItsState) {
    CL::SongLog log("1", "Song 1");
    log.AddCaesura(CL::Caesura(970, "N1", 0));
    Load(log);
    control.SetCurrentTickIndex(960);
    control.FindNextControlEventOnAdvance(960, 980);
    control.OnCaesuraStop();
    ASSERT_EQ(control.GetFlowControlState(), (FlowControlState{"Caesura", 0}));

    control.Seek(100);
    EXPECT_EQ(control.GetFlowControlState(), (FlowControlState{}));
}

TEST_F(ShowControlTest, CaesuraStackAndCountdownFollowThePosition) {
    CL::SongLog log("1", "Song 1");
    log.AddCaesura(CL::Caesura(960, "N1", 0));
    log.AddCaesura(CL::Caesura(2000, "N2", 0));
    Load(log);

    const std::vector<std::tuple<unsigned int, std::vector<unsigned int>, int>> cases{
        {0, {960, 2000}, 960}, {961, {2000}, 1039}, {2500, {}, -1}};
    for (const auto& [tick, stack, countdown] : cases) {
        control.SetCurrentTickIndex(tick);
        std::vector<unsigned int> ticks;
        for (const CountdownCaesura& caesura : control.GetCaesuraStack()) {
            ticks.push_back(caesura.GetTickIndex());
        }
        EXPECT_EQ(ticks, stack) << tick;
        EXPECT_EQ(control.GetCaesuraCountdown(), countdown) << tick;
    }
}

TEST_F(ShowControlTest, JumpsRecordTheirTargetOriginAndCause) {
    CL::SongLog log("1", "Song 1");
    log.AddRepeat(CL::Repeat(960, 1920, "A1", 2));
    log.AddFermata(CL::Fermata(2000, 3000, "M1", 0));
    log.AddCaesura(CL::Caesura(2400, "N1", 0));
    Load(log);
    Road road;

    while (!control.GetJump()) {
        control.Advance(road);
    }
    EXPECT_EQ(control.GetLastJumpTargetTickIndex(), 960u);
    EXPECT_EQ(control.GetPreJumpTickIndex(), 1920u);
    EXPECT_TRUE(control.GetJumpForVampRepeatOrCut());
    control.ClearJump();
    EXPECT_FALSE(control.GetJump());
    EXPECT_FALSE(control.GetJumpForVampRepeatOrCut());

    // Stopped at the caesura inside the skip, the operator leaves the skip: the caesura is cancelled.
    ASSERT_FALSE(control.Seek(2400));
    ASSERT_EQ(control.FlowControlExit(2400), std::optional<unsigned int>(3000));
    control.ProcessLoopEventsAtCurrentTickIndex();
    EXPECT_FALSE(control.HasPendingCaesura());
    EXPECT_EQ(control.GetTickIndex(), 3000u);
    EXPECT_TRUE(control.GetRestartFlag());
    EXPECT_TRUE(control.GetJump());
    EXPECT_FALSE(control.GetJumpForVampRepeatOrCut());
    EXPECT_EQ(control.GetPreJumpTickIndex(), 2400u);
    EXPECT_TRUE(control.GetFermataCanceledCaesura());
    EXPECT_FALSE(control.GetFermataCanceledCaesura());
}

TEST_F(ShowControlTest, SkipExitThatFallsDueAfterTheSkipWasLeftDoesNothing) {
    CL::SongLog log("1", "Song 1");
    log.AddFermata(CL::Fermata(960, 1920, "M1", 0));
    Load(log);
    control.SetCurrentTickIndex(1000);
    control.FlowControlExit(1000);
    control.SetCurrentTickIndex(2000);  // the walk went past the skip before the exit was carried out
    control.DoExpireFermata();
    EXPECT_EQ(control.GetTickIndex(), 2000u);
    EXPECT_FALSE(control.GetRestartFlag());
    EXPECT_EQ(control.GetLoopEvents().GetSize(), 0u);
}

TEST_F(ShowControlTest, DueLoopEventMakesTheAdvanceStartOver) {
    CL::SongLog log("1", "Song 1");
    log.AddFermata(CL::Fermata(960, 1920, "M1", 0));
    Load(log);
    control.SetCurrentTickIndex(1000);
    control.FlowControlExit(1000);
    control.FindNextControlEventOnAdvance(1000, 1020);
    EXPECT_TRUE(control.GetControlEventResult().rescan);
    // Moved to a later tick, the exit no longer interrupts this window.
    control.MoveFirstLoopEvent(1020);
    control.FindNextControlEventOnAdvance(1000, 1020);
    EXPECT_FALSE(control.GetControlEventResult().rescan);
    EXPECT_EQ(control.GetLoopEvents().GetFirstLoopEvent().tick, 1020u);
    // A seek forgets waiting exits.
    control.Seek(1000);
    EXPECT_EQ(control.GetLoopEvents().GetSize(), 0u);
}

TEST_F(ShowControlTest, RangeBoundaryInsideAWindowSplitsItThere) {
    CL::SongLog log("1", "Song 1");
    log.AddVamp(CL::Vamp(950, 1920, "@1", 2));
    Load(log);
    // window, inside?, event tick
    const std::vector<std::tuple<unsigned int, unsigned int, bool, unsigned int>> cases{
        {940, 960, true, 950}, {950, 970, false, 0}, {900, 920, false, 0}};
    for (const auto& [from, to, inside, tick] : cases) {
        control.Seek(from);
        control.FindNextControlEventOnAdvance(from, to);
        const ControlEventResult result = control.GetControlEventResult();
        EXPECT_EQ(result.eventInside, inside) << from;
        if (inside) {
            EXPECT_EQ(result.eventTick, tick) << from;
        }
        EXPECT_FALSE(result.jumpReached || result.caesuraReached || result.rescan) << from;
    }
}

TEST_F(ShowControlTest, FlowControlStateNamesTheRangeAndReachesTheGui) {
    CL::SongLog log("1", "Song 1");
    log.AddVamp(CL::Vamp(960, 1920, "@1", 0));
    log.AddRepeat(CL::Repeat(960, 1440, "A1", 3));
    log.AddFermata(CL::Fermata(2400, 2880, "M1", 0));
    log.AddCaesura(CL::Caesura(3000, "N1", 0));
    Load(log);
    gui.Take(GuiEventKind::StatusFlowControl);

    const std::vector<std::tuple<unsigned int, std::string, int>> cases{
        {960, "Repeat", 3}, {1440, "Vamp", 0}, {2400, "Skip", 0}, {3000, "Caesura", 0}, {3100, "", 0}};
    for (const auto& [tick, label, value] : cases) {
        control.Seek(tick);
        EXPECT_EQ(control.GetFlowControlState(), (FlowControlState{label, value})) << tick;
        const auto sent = gui.Take(GuiEventKind::StatusFlowControl);
        ASSERT_EQ(sent.size(), 1u) << tick;
        EXPECT_EQ(sent[0].text, label) << tick;
        EXPECT_EQ(sent[0].value, value) << tick;
    }
    control.Seek(3100);
    EXPECT_TRUE(gui.Take(GuiEventKind::StatusFlowControl).empty()) << "an unchanged state is not sent again";
}

TEST_F(ShowControlTest, MarkersGiveTheSeekTargetsLeftAndRightOfTheListener) {
    CL::SongLog log("1", "Song 1");
    log.AddCut(CL::Cut(0, 240, "B1", 0));
    log.AddMarker(CL::Marker(960, "Verse", "E1"));
    log.AddMarker(CL::Marker(2880, "Coda", "E2"));
    Load(log);

    const std::vector<std::tuple<unsigned int, unsigned int, std::optional<unsigned int>>> cases{
        {500, 240, 960}, {960, 240, 2880}, {961, 960, 2880}, {2880, 960, std::nullopt}, {3000, 2880, std::nullopt}};
    for (const auto& [tick, left, right] : cases) {
        control.SetCurrentTickIndex(tick);
        EXPECT_EQ(control.GetSeekLeft(), left) << tick;
        if (right) {
            EXPECT_EQ(control.GetSeekRight(), *right) << tick;
        } else {
            EXPECT_THROW(control.GetSeekRight(), brix_ext::NoNextMarker) << tick;
        }
    }
}

TEST_F(ShowControlTest, ListenerTickIsTheGuiUpdatersWhenOneIsInstalled) {
    Load(CL::SongLog("1", "Song 1"));
    TestPlayer player(show);
    gui::SetGuiUpdate(std::make_unique<gui::GuiUpdate>(player, [](unsigned int*) { return false; }));
    control.SetCurrentTickIndex(2000);
    gui::GetGuiUpdate().Seek(700);
    EXPECT_EQ(control.GetListenerTickIndex(), 700u);
    control.ResetGuiUpdate();
    EXPECT_EQ(gui::GetGuiUpdate().GetTickIndex(), 2000u);
    gui::SetGuiUpdate(nullptr);
    EXPECT_EQ(control.GetListenerTickIndex(), 2000u);
}

TEST_F(ShowControlTest, TicksConvertToSecondsAlongTheTempoMap) {
    auto song = MakeSong("3", 4);
    TL::Timeline timeline = song->GetTimeline();
    timeline.Add(TL::Tempo(1920, 1000000));  // 60 bpm from bar 2
    song->SetTimeline(timeline);
    show.AddSong(song);
    active.Set("3");
    control.LoadSong();

    const std::vector<std::pair<unsigned int, double>> cases{{0, 0.0}, {480, 0.5}, {1920, 2.0}, {2400, 3.0}, {3840, 6.0}};
    for (const auto& [tick, seconds] : cases) {
        EXPECT_NEAR(control.ConvertTickIndexToSeconds(tick), seconds, 1e-9) << tick;
    }
    const auto [now, next] = control.GetTimeCodeSecondsPair(1920);
    EXPECT_NEAR(now, 2.0, 1e-9);
    EXPECT_NEAR(next, 2.0 + 20.0 / 480.0, 1e-9);  // one MIDI clock later at 60 bpm
}

TEST_F(ShowControlTest, VolumeAtTickAsksTheSourceForTheMomentTheTickIsHeard) {
    Load(CL::SongLog("1", "Song 1"));  // 120 quarters a minute: 480 ticks are half a second
    EXPECT_EQ(control.VolumeAtTick(960, 0), 1.0) << "no source: full level";
    std::vector<double> asked;
    control.SetVolumeSource([&](double secondsAhead) {
        asked.push_back(secondsAhead);
        return 0.5 + secondsAhead;
    });
    const double bound = ShowControl::kVolumeLookAheadSeconds;
    const std::vector<std::tuple<unsigned int, unsigned int, double>> cases{
        {120, 0, 0.125}, {480, 480, 0.0}, {0, 960, 0.0}, {1920, 0, bound}};
    for (const auto& [tick, listener, ahead] : cases) {
        EXPECT_NEAR(control.VolumeAtTick(tick, listener), std::min(1.0, 0.5 + ahead), 1e-9) << tick << " " << listener;
        EXPECT_NEAR(asked.back(), ahead, 1e-9) << tick << " " << listener;
    }
    // The one-argument form measures from the listener's tick (here the current tick).
    control.SetCurrentTickIndex(480);
    control.VolumeAtTick(600);
    EXPECT_NEAR(asked.back(), 0.125, 1e-9);
    // What the source gives is kept to [0, 1]; not a number is silence.
    for (const auto& [given, kept] : std::vector<std::pair<double, double>>{{3.0, 1.0}, {-1.0, 0.0}, {std::nan(""), 0.0}}) {
        control.SetVolumeSource([given = given](double) { return given; });
        EXPECT_EQ(control.VolumeAtTick(0, 0), kept) << given;
    }
}

TEST_F(ShowControlTest, AttaccaComesFromTheSongUnlessAStateWasSet) {
    const std::vector<std::tuple<std::string, std::optional<unsigned char>, bool>> cases{
        {"1", std::nullopt, false}, {"2", std::nullopt, true}, {"2", 0, false}, {"1", 1, true}, {"1", 2, false}};
    for (const auto& [number, state, attacca] : cases) {
        WalkingShowControl fresh(active, show);
        if (state) {
            fresh.SetAttaccaState(number, *state);
        }
        active.Set(number);
        fresh.LoadSong();
        EXPECT_EQ(fresh.CurrentSongIsAttacca(), attacca) << number;
    }
}

TEST_F(ShowControlTest, NewChangeLogIsTakenForTheCurrentSong) {
    Load(CL::SongLog("1", "Song 1"));
    CL::SongLog log("1", "Song 1");
    log.AddCut(CL::Cut(0, 960, "B1", 0));
    SetActiveLog(log);
    control.NotifyNewChangeLog();
    EXPECT_EQ(control.GetStartTickIndex(), 960u);
    EXPECT_EQ(control.GetTickIndex(), 960u);
    EXPECT_EQ(control.GetMinStartTickIndex(), 0u);
    EXPECT_TRUE(control.FullReset());
    EXPECT_FALSE(WalkingShowControl(active, show).FullReset()) << "no song loaded";
}

TEST_F(ShowControlTest, OscTriggerReceivesEachWindowWhileSet) {
    Load(CL::SongLog("1", "Song 1"));
    EXPECT_FALSE(control.GetOscTriggerFlag());
    std::vector<std::tuple<unsigned int, unsigned int, unsigned int>> windows;
    control.SetOscTrigger([&](unsigned int from, unsigned int to, unsigned int delay) {
        windows.emplace_back(from, to, delay);
    });
    EXPECT_TRUE(control.GetOscTriggerFlag());
    control.TriggerOsc_(0, 19, 0);
    control.SetOscTrigger(nullptr);
    control.TriggerOsc_(20, 39, 0);
    EXPECT_EQ(windows, (std::vector<std::tuple<unsigned int, unsigned int, unsigned int>>{{0, 19, 0}}));
}

}  // namespace
