#include "Fixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <optional>
#include <tuple>
#include <vector>

namespace {

using namespace player_test;
using brix_audio::VolumeType;
using notify::GuiEventKind;

// [GIVEN] a player on song "1" (four bars) of a show.
class PlayerTest : public ::testing::Test {
protected:
    PlayerTest() { show.AddSong(MakeSong("1", 4)); }
    ~PlayerTest() override { ActiveChangeLogShared::Set(nullptr); }

    void Load(CL::SongLog log) {
        SetActiveLog(std::move(log));
        player.LoadSong("1");
    }

    brix_midi::ShowData show;
    TestPlayer player{show};
};

TEST_F(PlayerTest, ContinuePlaysOnlyFromPause) {
    const std::vector<std::pair<PlayerState, int>> cases{
        {PlayerState::Stopped, 0}, {PlayerState::Playing, 0}, {PlayerState::Paused, 1}};
    for (const auto& [state, plays] : cases) {
        player.plays = 0;
        player.SetPlayerState(state);
        player.Continue();
        EXPECT_EQ(player.plays, plays) << static_cast<int>(state);
    }
    EXPECT_TRUE(player.IsPlaying());
}

TEST_F(PlayerTest, MeasureStepsSeekToBarStartsAroundTheListenersTick) {
    CL::SongLog log("1", "Song 1");
    log.AddCut(CL::Cut(0, 100, "B1", 0));
    Load(log);
    // tick, previous-measure target, next-measure target (none at the last bar)
    const std::vector<std::tuple<unsigned int, unsigned int, std::optional<unsigned int>>> cases{
        {0, 100, 1920}, {200, 0, 1920}, {1920, 0, 3840}, {1921, 1920, 3840}, {6000, 5760, std::nullopt}};
    for (const auto& [tick, previous, next] : cases) {
        player.showControl.SetCurrentTickIndex(tick);
        player.seeks.clear();
        player.SeekToPreviousMeasure();
        EXPECT_EQ(player.seeks, std::vector<unsigned int>{previous}) << tick;

        player.showControl.SetCurrentTickIndex(tick);
        player.seeks.clear();
        player.SeekToNextMeasure();
        EXPECT_EQ(player.seeks, next ? std::vector<unsigned int>{*next} : std::vector<unsigned int>{}) << tick;
    }
}

TEST_F(PlayerTest, FlowControlExitWhileStoppedSeeksPastTheSkipAndWhilePlayingLeavesItToTheWalk) {
    CL::SongLog log("1", "Song 1");
    log.AddFermata(CL::Fermata(960, 1920, "M1", 0));
    Load(log);

    player.showControl.SetCurrentTickIndex(1000);
    player.FlowControlExit();
    EXPECT_EQ(player.seeks, std::vector<unsigned int>{1920});
    EXPECT_EQ(player.showControl.GetTickIndex(), 1920u);

    player.seeks.clear();
    player.Seek(1000);
    player.SetPlayerState(PlayerState::Playing);
    player.FlowControlExit();
    EXPECT_EQ(player.seeks, std::vector<unsigned int>{1000});
    Road road;
    player.showControl.Advance(road);
    EXPECT_EQ(road.Text(), "1920-1940");
}

TEST_F(PlayerTest, OutputInterfaceQueriesAnswerForTheShowControl) {
    CL::SongLog log("1", "Song 1");
    log.AddCut(CL::Cut(960, 1920, "B1", 0));
    log.AddCaesura(CL::Caesura(3000, "N1", 0));
    Load(log);
    GuiRecorder gui;
    brix_audio::PlayerOutputInterface& output = player;

    Road road;
    while (!output.GetJump()) {
        player.showControl.Advance(road);
    }
    EXPECT_TRUE(output.GetJumpForVampRepeatOrCut());
    output.ClearJump();
    EXPECT_FALSE(output.GetJump());
    EXPECT_FALSE(output.GetFermataCanceledCaesura());
    EXPECT_FALSE(output.CurrentSongIsAttacca());
    player.SetAttaccaState("1", 1);
    EXPECT_TRUE(output.CurrentSongIsAttacca());

    EXPECT_FALSE(output.HasPendingCaesura());
    player.Seek(3000);
    EXPECT_TRUE(output.HasPendingCaesura());
    output.GUINotifyCaesura();
    const auto sent = gui.Take(GuiEventKind::Caesura);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].value, 3000);
}

TEST_F(PlayerTest, ResetPlayerReturnsToTheRoadStartWithoutCaesuraAndClearsTheStopFlag) {
    CL::SongLog log("1", "Song 1");
    log.AddCut(CL::Cut(0, 480, "B1", 0));
    log.AddCaesura(CL::Caesura(960, "N1", 0));
    Load(log);
    player.Seek(960);
    ASSERT_TRUE(player.HasPendingCaesura());
    player.SetStopKeepsPosition();

    player.ResetPlayer();
    EXPECT_EQ(player.showControl.GetTickIndex(), 480u);
    EXPECT_FALSE(player.HasPendingCaesura());
    EXPECT_FALSE(player.TakeStopKeepsPosition());
    EXPECT_EQ(player.GetMinStartTickIndex(), 0u);
}

TEST_F(PlayerTest, StopFlagIsOneShot) {
    EXPECT_FALSE(player.TakeStopKeepsPosition());
    player.SetStopKeepsPosition();
    EXPECT_TRUE(player.TakeStopKeepsPosition());
    EXPECT_FALSE(player.TakeStopKeepsPosition());
}

TEST_F(PlayerTest, VolumesAreLinearGainsClampedPerTypeAndMultiplyIntoTheOutputGain) {
    const std::vector<std::tuple<double, VolumeType, double>> cases{
        {0.8, VolumeType::Master, 0.8}, {-0.05, VolumeType::User, 0.0}, {1.5, VolumeType::User, 1.0},
        {0.5, VolumeType::User, 0.5}};
    for (const auto& [set, type, stored] : cases) {
        player.SetVolume(set, type);
        EXPECT_EQ(player.GetVolume(type), stored) << set;
    }
    EXPECT_EQ(player.GetVolume(), 0.8);
    EXPECT_DOUBLE_EQ(player.GetVolumeGain(), 0.4);
    EXPECT_DOUBLE_EQ(player.GetOutputGain(0.0), 0.4);
    player.SetVolume(0.6);
    EXPECT_EQ(player.GetVolume(VolumeType::Master), 0.6);
    EXPECT_THROW(player.SetVolume(std::nan("")), std::invalid_argument);
    EXPECT_EQ(player.GetVolume(), 0.6);
}

TEST_F(PlayerTest, TheOutputGainAheadFollowsARunningFadeToItsTarget) {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    player.FadeTo(
        [&] {
            std::lock_guard lock(mutex);
            finished = true;
            done.notify_all();
        },
        2.0f, 0.0f);
    // Later along the fade the level is lower; past its end it is the target.
    EXPECT_LT(player.GetOutputGain(1.0), player.GetOutputGain(0.0));
    EXPECT_GT(player.GetOutputGain(1.0), 0.0);
    EXPECT_DOUBLE_EQ(player.GetOutputGain(5.0), 0.0);
    player.CancelFade();
    EXPECT_DOUBLE_EQ(player.GetOutputGain(5.0), 1.0);
    std::unique_lock lock(mutex);
    EXPECT_FALSE(done.wait_for(lock, std::chrono::milliseconds(50), [&] { return finished; }));
}

TEST_F(PlayerTest, FadeLowersTheOutputLevelThenCancelFadeRestoresIt) {
    std::mutex mutex;
    std::condition_variable done;
    int completions = 0;
    const auto onDone = [&] {
        std::lock_guard lock(mutex);
        ++completions;
        done.notify_all();
    };
    const auto waitForCompletions = [&](int count) {
        std::unique_lock lock(mutex);
        return done.wait_for(lock, std::chrono::seconds(5), [&] { return completions >= count; });
    };

    player.FadeTo(onDone, 0.05f, 25.0f);
    ASSERT_TRUE(waitForCompletions(1));
    EXPECT_DOUBLE_EQ(player.GetOutputGain(0.0), 0.25);

    player.Fade(onDone, 0.0f);
    ASSERT_TRUE(waitForCompletions(2));
    EXPECT_DOUBLE_EQ(player.GetOutputGain(0.0), 0.0);

    player.CancelFade();
    EXPECT_DOUBLE_EQ(player.GetOutputGain(0.0), 1.0);
}

TEST_F(PlayerTest, OutputDeviceUidIsKept) {
    EXPECT_EQ(player.GetOutputDeviceUid(), "");
    player.SetOutputDeviceUid("virtual:2");
    EXPECT_EQ(player.GetOutputDeviceUid(), "virtual:2");
}

TEST(ActiveSongNumber, GuardedReadRefusesAForeignGuard) {
    ActiveSongNumber active;
    active.Set("12");
    {
        const auto guard = active.Lock();
        EXPECT_EQ(active.GetLocked(guard), "12");
    }
    std::mutex other;
    std::unique_lock foreign(other);
    EXPECT_THROW(active.GetLocked(foreign), std::logic_error);
    std::unique_lock<std::mutex> empty;
    EXPECT_THROW(active.GetLocked(empty), std::logic_error);
}

}  // namespace
