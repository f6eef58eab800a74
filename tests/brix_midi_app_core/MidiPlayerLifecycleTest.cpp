#include "PlayerHarness.h"

#include "MidiOutput.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

using namespace app_test;

namespace {

TEST(MidiPlayerLifecycle, AStoppedReportThatArrivesAfterPlaybackWasArmedAgainIsDropped)
{
    PlayerHarness harness;
    DemoPlayer& player = *harness.player;
    player.LoadSong("1");
    player.Play();
    ASSERT_TRUE(harness.WaitForNotes(-1, 1));
    player.NotifyOutputHasStopped();  // as a report of an earlier stop, delivered late
    EXPECT_EQ(player.GetPlayerState(), PlayerState::Playing);
    EXPECT_TRUE(player.GetOutputShouldRun());
    EXPECT_FALSE(harness.WaitForStopAtEnd(1, std::chrono::milliseconds(0)));
    player.Stop();
}

TEST(MidiPlayerLifecycle, ShutdownWhilePlayingEndsTheOutputBeforeTheClock)
{
    PlayerHarness harness;
    DemoPlayer& player = *harness.player;
    player.LoadSong("1");
    player.SetTempoScale(2.0);
    player.Play();
    ASSERT_TRUE(harness.WaitForNotes(-1, 3));
    player.PrepareForExit();
    player.Shutdown();
    EXPECT_THROW(player.GetMidiOutput(), std::logic_error);
    EXPECT_THROW(player.GetMidiClock(), std::logic_error);
    EXPECT_EQ(player.GetPlayerState(), PlayerState::Stopped);
}

TEST(MidiPlayerLifecycle, TimeQueriesThatThePlayerDoesNotOfferSaySo)
{
    PlayerHarness harness;
    try {
        harness.player->GetElapsedSeconds();
        FAIL() << "no exception";
    } catch (const fennic::NotImplementedError& e) {
        EXPECT_STREQ(e.what(), "GetElapsedSeconds is not implemented");
    }
    try {
        harness.player->GetTotalDurationSeconds();
        FAIL() << "no exception";
    } catch (const fennic::NotImplementedError& e) {
        EXPECT_STREQ(e.what(), "GetTotalDurationSeconds is not implemented");
    }
}

// Plays, seeks, pauses and stops in a loop; under ThreadSanitizer this finds no race.
TEST(MidiPlayerLifecycle, TransportInALoopKeepsPlayingWhereItIsTold)
{
    PlayerHarness harness;
    DemoPlayer& player = *harness.player;
    player.LoadSong("1");
    player.SetTempoScale(2.0);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    for (int round = 0; std::chrono::steady_clock::now() < until; ++round) {
        SCOPED_TRACE(round);
        const unsigned int tick = static_cast<unsigned int>((round * 7) % 11) * 1920;
        player.Play();
        ASSERT_TRUE(harness.WaitForNotes(-1, harness.NotesHeard().size() + 1));
        player.Seek(tick);
        ASSERT_TRUE(harness.WaitForNotes(-1, harness.NotesHeard().size() + 1));
        player.Pause();
        EXPECT_EQ(player.GetPlayerState(), PlayerState::Paused);
        player.Continue();
        ASSERT_TRUE(harness.WaitForNotes(-1, harness.NotesHeard().size() + 1));
        player.Stop();
        EXPECT_EQ(player.GetPlayerState(), PlayerState::Stopped);
        player.Seek(tick);
    }
}

TEST(MidiPlayerLifecycle, ASongThatCannotBeLoadedLeavesTheLoadedSongWhereItWas)
{
    brix_midi::LoadedShow show;
    show.show.AddSong(MakeSong("1", 2));
    show.show.AddSong(MakeSong("2", 1, 100));  // not a whole number of ticks per MIDI clock
    auto noTempo = MakeSong("3", 1);           // a song the position model refuses
    TL::Timeline timeline;
    timeline.Add(TL::BarsBeats(0, 1, 1));
    timeline.Add(TL::Meter(0, 4, 4, 24, 8));
    timeline.Add(TL::Key(0, 0, 0));
    timeline.SetLastTickIndex(1920);
    noTempo->SetTimeline(std::move(timeline));
    show.show.AddSong(noTempo);
    PlayerHarness harness(std::move(show));
    DemoPlayer& player = *harness.player;
    player.LoadSong("1");
    player.Seek(2400);  // bar 2, beat 2 (the ring is primed from there, so the filler is ahead)
    const unsigned int filled = player.GetMidiShowControl().GetTickIndex();

    for (const std::string bad : {"99", "2", "3"}) {
        SCOPED_TRACE(bad);
        EXPECT_ANY_THROW(player.LoadSong(bad));
        EXPECT_EQ(player.GetActiveSongNumber().Get(), "1");
        EXPECT_EQ(player.GetMidiShowControl().GetTickIndex(), filled);
    }
    player.Play();
    ASSERT_TRUE(harness.WaitForNotes(0, 1));
    EXPECT_EQ(harness.NotesHeard(0).front().key, 61);  // song 1's note of bar 2, beat 2
    player.Stop();
}

TEST(MidiPlayerLifecycle, AnAttaccaIntoASongThatCannotBeLoadedStopsCleanlyAtTheEndOfTheSong)
{
    brix_midi::LoadedShow show;
    show.show.AddSong(MakeSong("1", 2, 480, true));
    show.show.AddSong(MakeSong("2", 1, 100));  // refused when the attacca loads it
    PlayerHarness harness(std::move(show));
    DemoPlayer& player = *harness.player;
    player.LoadSong("1");
    player.SetTempoScale(2.0);
    player.Seek(1920 + 1440);  // the last beat of song 1
    const std::size_t before = harness.EventCount();
    player.Play();

    ASSERT_TRUE(harness.WaitForStopAtEnd());
    EXPECT_EQ(player.GetPlayerState(), PlayerState::Stopped);
    EXPECT_EQ(player.GetActiveSongNumber().Get(), "1");
    EXPECT_TRUE(harness.WaitUntil([&] { return harness.AllNotesOffSentAfter(before); }, 5s));
    const auto errors = harness.gui.Of(notify::GuiEventKind::PlaybackError);
    ASSERT_EQ(errors.size(), 1u);  // once, not once per buffer left in the ring
    EXPECT_NE(errors.front().text.find("\"2\""), std::string::npos) << errors.front().text;

    // The output still plays: the queue thread survived the failed fill.
    player.Seek(0);
    const std::size_t heard = harness.NotesHeard(0).size();
    player.Play();
    EXPECT_TRUE(harness.WaitForNotes(0, heard + 2));
    player.Stop();
}

}  // namespace
