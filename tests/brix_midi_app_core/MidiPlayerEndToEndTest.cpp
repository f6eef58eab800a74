#include "PlayerHarness.h"

#include "MidiAppGuiUpdate.h"

#include <brix_player_core/GuiUpdate.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <tuple>
#include <vector>

using namespace app_test;

namespace {

constexpr int kPiano = 0;  // track 0: port 0, channel 0
constexpr int kBass = 1;   // track 1: port 0, channel 1
constexpr unsigned int kBar44 = 1920;

std::vector<int> KeysOf(const std::vector<HeardNote>& notes, std::size_t from = 0)
{
    std::vector<int> keys;
    for (std::size_t i = from; i < notes.size(); ++i) {
        keys.push_back(notes[i].key);
    }
    return keys;
}

double SecondsBetween(const HeardNote& a, const HeardNote& b)
{
    return std::chrono::duration<double>(b.at - a.at).count();
}

// How long the heard notes [from, to) took against how long they should take (their ideal times in
// seconds): the slope of the least-squares line through (ideal, heard). 1 is the tempo in force, 1.1
// a tempo 10 % too slow. A single note sent late by a busy machine barely moves it.
double DurationRatio(const std::vector<HeardNote>& heard, const std::vector<double>& ideal, std::size_t from,
                     std::size_t to)
{
    const double n = static_cast<double>(to - from);
    double meanIdeal = 0.0;
    double meanHeard = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        meanIdeal += ideal[i] / n;
        meanHeard += SecondsBetween(heard[from], heard[i]) / n;
    }
    double covariance = 0.0;
    double variance = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        const double x = ideal[i] - meanIdeal;
        covariance += x * (SecondsBetween(heard[from], heard[i]) - meanHeard);
        variance += x * x;
    }
    return covariance / variance;
}

// A busy machine delays single clocks: the tempo heard over a bar or more stays within this of the
// tempo in force, while a wrong tempo (a tempo change or scale not applied) is 10 % off or more.
constexpr double kTempoTolerance = 0.05;

TEST(MidiPlayerEndToEnd, PlaysTheNotesInOrderAtTheTempoInForceAcrossATempoChange)
{
    PlayerHarness harness;
    DemoPlayer& player = *harness.player;
    player.LoadSong("1");
    const unsigned int from = 7 * kBar44;  // bar 8 at 120; bar 9 (15360) at 132
    const unsigned int to = 9 * kBar44;
    std::vector<unsigned int> ticks;
    const std::vector<int> expected = harness.SongNotes("1", kPiano, from, to, &ticks);
    ASSERT_GT(expected.size(), 4u);
    player.Seek(from);
    player.Play();
    ASSERT_TRUE(harness.WaitForNotes(kPiano, expected.size()));
    player.Stop();

    const auto heard = harness.NotesHeard(kPiano);
    ASSERT_GE(heard.size(), expected.size());
    auto keys = KeysOf(heard);
    keys.resize(expected.size());
    EXPECT_EQ(keys, expected);
    // Bar 8 is heard at 120 and bar 9 at 132, as the tempo map says.
    std::vector<double> ideal;
    for (const unsigned int tick : ticks) {
        ideal.push_back(player.showControl.ConvertTickIndexToSeconds(tick));
    }
    const auto bar9 = static_cast<std::size_t>(std::find_if(ticks.begin(), ticks.end(),
                                                            [](unsigned int tick) { return tick >= 8 * kBar44; }) -
                                               ticks.begin());
    ASSERT_GE(bar9, 4u);
    ASSERT_GE(ticks.size() - bar9, 4u);
    EXPECT_NEAR(DurationRatio(heard, ideal, 0, bar9), 1.0, kTempoTolerance) << "bar 8";
    EXPECT_NEAR(DurationRatio(heard, ideal, bar9, ticks.size()), 1.0, kTempoTolerance) << "bar 9";
}

TEST(MidiPlayerEndToEnd, PauseSilencesEveryPortAndContinuePlaysOnFromThePausedPosition)
{
    PlayerHarness harness;
    DemoPlayer& player = *harness.player;
    player.LoadSong("1");
    player.SetTempoScale(2.0);
    player.Play();
    ASSERT_TRUE(harness.WaitForNotes(kPiano, 6));
    const std::size_t beforePause = harness.EventCount();
    player.Pause();
    EXPECT_EQ(player.GetPlayerState(), PlayerState::Paused);
    EXPECT_TRUE(harness.AllNotesOffSentAfter(beforePause));
    EXPECT_FALSE(player.GetOutputShouldRun());
    const unsigned int pausedAt = player.GetShowControl().GetLastSeekTickIndex();

    const std::size_t heardBefore = harness.NotesHeard(kPiano).size();
    player.Continue();
    EXPECT_EQ(player.GetPlayerState(), PlayerState::Playing);
    ASSERT_TRUE(harness.WaitForNotes(kPiano, heardBefore + 3));
    player.Stop();
    // Playback went on from where the listener was: the next piano notes of the song from there.
    const std::vector<int> expected = harness.SongNotes("1", kPiano, pausedAt, 23040);
    const auto heard = KeysOf(harness.NotesHeard(kPiano), heardBefore);
    ASSERT_GE(heard.size(), 3u);
    const std::vector<int> next(expected.begin(), expected.begin() + 3);
    const std::vector<int> got(heard.begin(), heard.begin() + 3);
    const bool heldThenNext = got == next || std::vector<int>(heard.begin() + 1, heard.begin() + 3) ==
                                                 std::vector<int>(expected.begin(), expected.begin() + 2);
    EXPECT_TRUE(heldThenNext) << "pausedAt " << pausedAt;
}

TEST(MidiPlayerEndToEnd, StopSendsAllNotesOffOnEveryPortAndPlayStartsAgain)
{
    PlayerHarness harness;
    DemoPlayer& player = *harness.player;
    player.LoadSong("2A");
    player.SetTempoScale(2.0);
    player.Play();
    ASSERT_TRUE(harness.WaitForNotes(-1, 4));
    const std::size_t beforeStop = harness.EventCount();
    player.Stop();
    EXPECT_EQ(player.GetPlayerState(), PlayerState::Stopped);
    EXPECT_TRUE(harness.AllNotesOffSentAfter(beforeStop));

    const std::size_t heard = harness.NotesHeard().size();
    player.Play();
    EXPECT_TRUE(harness.WaitForNotes(-1, heard + 2));
    player.Stop();
}

TEST(MidiPlayerEndToEnd, SeekSoundsTheNotesHeldAtTheNewPositionWhetherPlayingOrStopped)
{
    PlayerHarness harness;
    DemoPlayer& player = *harness.player;
    constexpr int kStrings = 2;
    player.LoadSong("1");
    player.SetTempoScale(2.0);
    // A tick in the middle of a bar, where the strings hold a chord.
    const unsigned int targets[] = {4 * kBar44 + 700, 9 * kBar44 + 700};
    for (const bool playing : {true, false}) {
        for (const unsigned int target : targets) {
            SCOPED_TRACE(testing::Message() << (playing ? "playing" : "stopped") << " seek to " << target);
            std::vector<int> held = harness.NotesHeldAt("1", kStrings, target);
            ASSERT_FALSE(held.empty());
            if (playing) {
                player.Play();
                ASSERT_TRUE(harness.WaitForNotes(kPiano, harness.NotesHeard(kPiano).size() + 1));
            }
            // The seek silences every channel before the new position sounds; a buffer of the old
            // position may still be going out now, and ends before that.
            const std::size_t before = harness.EventCount();
            player.Seek(target);
            if (!playing) {
                player.Play();
            }
            ASSERT_TRUE(harness.WaitUntil(
                [&] { return harness.NotesHeardAfterAllNotesOff(kStrings, before).size() >= held.size(); }));
            auto first = KeysOf(harness.NotesHeardAfterAllNotesOff(kStrings, before));
            first.resize(held.size());
            std::sort(first.begin(), first.end());
            std::sort(held.begin(), held.end());
            EXPECT_EQ(first, held);
            player.Stop();
        }
    }
}

TEST(MidiPlayerEndToEnd, NextAndPreviousSongFollowTheChangeLogOrder)
{
    PlayerHarness harness;
    DemoPlayer& player = *harness.player;
    player.LoadSong("1");
    EXPECT_FALSE(player.NextSong());
    EXPECT_EQ(player.GetActiveSongNumber().Get(), "2");
    const auto loaded = harness.gui.Of(notify::GuiEventKind::SongLoaded);
    ASSERT_FALSE(loaded.empty());
    EXPECT_EQ(loaded.back().text, "2");

    // At the start of a song "previous" goes to the song before; further in, back to the start.
    struct Case {
        unsigned int guiTickAfterStart;
        std::string song;
    };
    const Case cases[] = {{1920, "1"}, {1921, "2"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.guiTickAfterStart);
        player.LoadSong("2");
        const unsigned int start = player.GetMidiShowControl().GetStartTickIndex();
        gui::GetGuiUpdate().SendGuiUpdateWithoutCaesura(start + c.guiTickAfterStart);
        player.PreviousSong();
        EXPECT_EQ(player.GetActiveSongNumber().Get(), c.song);
        EXPECT_EQ(player.GetShowControl().GetTickIndex() >= player.GetMidiShowControl().GetStartTickIndex(), true);
        EXPECT_EQ(gui::GetGuiUpdate().GetTickIndex(), player.GetMidiShowControl().GetStartTickIndex());
    }

    player.LoadSong("1");
    player.PreviousSong();  // the first song: stays, at its start
    EXPECT_EQ(player.GetActiveSongNumber().Get(), "1");
    player.LoadSong("10");
    player.Seek(kBar44 * 4);
    EXPECT_TRUE(player.NextSong());  // the last song: back to its start
    EXPECT_EQ(player.GetActiveSongNumber().Get(), "10");
    EXPECT_EQ(gui::GetGuiUpdate().GetTickIndex(), 0u);

    // Stepping while playing stops and plays on in the new song when asked.
    player.LoadSong("2");
    player.SetTempoScale(2.0);
    player.Play();
    ASSERT_TRUE(harness.WaitForNotes(-1, 2));
    EXPECT_FALSE(player.NextSong());
    EXPECT_EQ(player.GetPlayerState(), PlayerState::Stopped);
    const std::size_t heard = harness.NotesHeard().size();
    player.Play();
    EXPECT_TRUE(harness.WaitForNotes(-1, heard + 2));
    player.Stop();
}

TEST(MidiPlayerEndToEnd, AnAttaccaSongFollowsWithoutAGapAndTheLastSongStopsAtItsEnd)
{
    PlayerHarness harness;
    DemoPlayer& player = *harness.player;
    player.LoadSong("1");
    player.SetTempoScale(2.0);
    player.Seek(11 * kBar44);  // the last bar of "1", which is attacca
    player.Play();
    const std::size_t song2First = harness.SongNotes("2", kPiano, 0, 29280).size();
    const std::size_t song1Last = harness.SongNotes("1", kPiano, 11 * kBar44, 23040).size();
    ASSERT_TRUE(harness.WaitForNotes(kPiano, song1Last + 2));
    EXPECT_EQ(player.GetActiveSongNumber().Get(), "2");
    EXPECT_EQ(player.GetPlayerState(), PlayerState::Playing);
    const auto heard = harness.NotesHeard(kPiano);
    // From the last note of "1" to the first of "2": the rest of the bar plus song 2's lead-in, at
    // twice the tempo; a stop and restart would add far more.
    std::vector<unsigned int> ticks1;
    std::vector<unsigned int> ticks2;
    harness.SongNotes("1", kPiano, 11 * kBar44, 23040, &ticks1);
    harness.SongNotes("2", kPiano, 0, 29280, &ticks2);
    ASSERT_FALSE(ticks1.empty());
    ASSERT_FALSE(ticks2.empty());
    const double want = (player.GetMidiShowControl().ConvertTickIndexToSeconds(ticks2.front()) +
                         (harness.loaded.show.GetSong("1").GetTimeline().GetLastTickIndex() - ticks1.back()) * 60.0 /
                             (132.0 * 480.0)) /
                        2.0;
    // Within a tenth of a second (less than half a beat there), which a busy machine's late clocks
    // stay below and a gap of a beat or more does not.
    EXPECT_NEAR(SecondsBetween(heard[song1Last - 1], heard[song1Last]), want, 0.1);
    EXPECT_GT(song2First, 0u);
    player.Stop();

    player.LoadSong("10");
    player.SetTempoScale(2.0);
    player.Seek(32640 - 1440);
    player.Play();
    EXPECT_TRUE(harness.WaitForStopAtEnd());
    EXPECT_EQ(player.GetPlayerState(), PlayerState::Stopped);
}

// Plays the song's last two bars to its end and checks that every note and controller of port 0's
// tracks in them reached the device before the all-notes-off that ends the song.
void ExpectEveryEventOfTheLastBarsBeforeTheFinalAllNotesOff(PlayerHarness& harness, const std::string& song)
{
    DemoPlayer& player = *harness.player;
    const brix_midi::SongData& data = harness.Song(song);
    const unsigned int lastTick = data.GetTimeline().GetLastTickIndex();
    const unsigned int from = lastTick - 2 * kBar44;

    // (status, data1, data2); a note-on of velocity 0 is a note-off, a note-off's velocity is ignored.
    const auto normalise = [](int status, int data1, int data2) {
        if (((status & 0xF0) == 0x90 && data2 == 0) || (status & 0xF0) == 0x80) {
            return std::tuple<int, int, int>(0x80 | (status & 0x0F), data1, 0);
        }
        return std::tuple<int, int, int>(status, data1, data2);
    };
    std::vector<std::tuple<int, int, int>> expected;
    for (const auto& [id, track] : data.GetVoiceData()) {
        for (const auto& event : track->GetEvents()) {
            const int kind = event.message.status & 0xF0;
            if (id < 16 && event.tick >= from && (kind == 0x80 || kind == 0x90 || kind == 0xB0)) {
                expected.push_back(normalise(event.message.status, event.message.data1, event.message.data2));
            }
        }
    }
    ASSERT_FALSE(expected.empty());

    player.LoadSong(song);
    player.SetTempoScale(2.0);
    player.Seek(from);
    const std::size_t start = harness.EventCount();
    player.Play();
    ASSERT_TRUE(harness.WaitForStopAtEnd());

    const auto events = harness.device.GetEvents();
    std::vector<std::tuple<int, int, int>> heard;
    for (std::size_t i = start; i < events.size(); ++i) {
        if (events[i].status == 0xB0 && events[i].data1 == 123) {
            break;  // the all-notes-off that ends the song (channel 0 first)
        }
        heard.push_back(normalise(events[i].status, events[i].data1, events[i].data2));
    }
    // The first buffer also sends the state held at the seek, so the heard events may hold more.
    for (const auto& event : expected) {
        const auto found = std::find(heard.begin(), heard.end(), event);
        EXPECT_NE(found, heard.end()) << "status " << std::get<0>(event) << " data " << std::get<1>(event) << " "
                                      << std::get<2>(event);
        if (found != heard.end()) {
            heard.erase(found);
        }
    }
}

TEST(MidiPlayerEndToEnd, EveryEventOfADemoSongsLastBarsIsSent)
{
    PlayerHarness harness;
    ExpectEveryEventOfTheLastBarsBeforeTheFinalAllNotesOff(harness, "10");
}

TEST(MidiPlayerEndToEnd, TheNoteOffsAndControllersAtASongsLastTickAreSent)
{
    // Four bars whose last note-offs and a controller sit at the song's last tick (its end of track).
    auto song = MakeSong("1", 4);
    auto events = song->GetVoiceData().at(0)->GetEvents();
    const unsigned int lastTick = 4 * kBar44;
    events.emplace_back(lastTick - 240, 0x90, 72, 90);
    events.emplace_back(lastTick, 0xB0, 64, 0);
    events.emplace_back(lastTick, 0x80, 72, 0);
    song->SetVoiceTrack(std::make_shared<brix_midi::VoiceTrack>(0, "Piano", events, 0,
                                                                brix_midi::VoiceTrack::kNoNoteRange));
    brix_midi::LoadedShow show;
    show.show.AddSong(song);
    PlayerHarness harness(std::move(show));
    ExpectEveryEventOfTheLastBarsBeforeTheFinalAllNotesOff(harness, "1");
}

TEST(MidiPlayerEndToEnd, ACaesuraStopsPlaybackThereAndContinuePlaysOn)
{
    const unsigned int caesura = 10 * kBar44;
    CL::SongLog log("1", "Overture");
    log.AddCaesura(CL::Caesura(caesura, "N1", 0));
    PlayerHarness harness({log});
    DemoPlayer& player = *harness.player;
    player.LoadSong("1");
    player.SetTempoScale(2.0);
    player.Seek(9 * kBar44);
    player.Play();
    ASSERT_TRUE(harness.gui.WaitFor(notify::GuiEventKind::Caesura, 10s));
    ASSERT_TRUE(harness.gui.WaitFor(notify::GuiEventKind::PlaybackPaused, 10s));
    EXPECT_EQ(player.GetPlayerState(), PlayerState::Paused);
    EXPECT_EQ(harness.gui.Of(notify::GuiEventKind::Caesura).front().value, caesura);
    EXPECT_EQ(gui::GetGuiUpdate().GetTickIndex(), caesura);  // the playhead stands at the caesura
    const std::vector<int> beforeCaesura = harness.SongNotes("1", kPiano, 9 * kBar44, caesura);
    EXPECT_EQ(KeysOf(harness.NotesHeard(kPiano)), beforeCaesura);

    const std::size_t heard = harness.NotesHeard(kPiano).size();
    player.Continue();
    ASSERT_TRUE(harness.WaitForNotes(kPiano, heard + 2));
    const std::vector<int> afterCaesura = harness.SongNotes("1", kPiano, caesura, 23040);
    const auto resumed = KeysOf(harness.NotesHeard(kPiano), heard);
    EXPECT_EQ(std::vector<int>(resumed.begin(), resumed.begin() + 2),
              std::vector<int>(afterCaesura.begin(), afterCaesura.begin() + 2));
    player.Stop();
}

TEST(MidiPlayerEndToEnd, ACutIsSkippedAndAVampRepeatsItsBarAsTheChangeLogSays)
{
    CL::SongLog log("1", "Overture");
    log.AddVamp(CL::Vamp(9 * kBar44, 10 * kBar44, "@1", 2));  // bar 10 twice
    log.AddCut(CL::Cut(10 * kBar44, 11 * kBar44, "B1", 0));   // bar 11 never
    PlayerHarness harness({log});
    DemoPlayer& player = *harness.player;
    player.LoadSong("1");
    player.SetTempoScale(2.0);
    player.Seek(9 * kBar44);
    player.Play();
    std::vector<int> expected = harness.SongNotes("1", kPiano, 9 * kBar44, 10 * kBar44);
    const std::vector<int> bar10 = expected;
    expected.insert(expected.end(), bar10.begin(), bar10.end());
    const std::vector<int> bar12 = harness.SongNotes("1", kPiano, 11 * kBar44, 12 * kBar44);
    expected.insert(expected.end(), bar12.begin(), bar12.end());
    ASSERT_TRUE(harness.WaitForNotes(kPiano, expected.size()));
    player.Stop();
    auto heard = KeysOf(harness.NotesHeard(kPiano));
    heard.resize(expected.size());
    EXPECT_EQ(heard, expected);
}

TEST(MidiPlayerEndToEnd, TempoScaleAndTranspositionChangedWhilePlayingApplyToTheNotesThatFollow)
{
    PlayerHarness harness;
    DemoPlayer& player = *harness.player;
    player.LoadSong("2A");  // 6/8, 90 quarter notes per minute, steady to bar 15; no piano
    player.Play();
    ASSERT_TRUE(harness.WaitForNotes(kBass, 4));
    player.SetTempoScale(1.5);
    player.SetTransposition(2);
    const std::size_t changedAt = harness.NotesHeard(kBass).size();
    ASSERT_TRUE(harness.WaitForNotes(kBass, changedAt + 10));
    player.Stop();

    std::vector<unsigned int> ticks;
    const std::vector<int> song = harness.SongNotes("2A", kBass, 0, 23040, &ticks);
    const auto heard = harness.NotesHeard(kBass);
    // A few buffers were filled before the change: judge the notes well after it.
    const std::size_t a = changedAt + 5;
    const std::size_t b = changedAt + 9;
    for (std::size_t i = a; i <= b; ++i) {
        EXPECT_EQ(heard[i].key, song[i] + 2) << "note " << i;
    }
    // Heard at 1.5 times the written tempo.
    std::vector<double> ideal;
    for (const unsigned int tick : ticks) {
        ideal.push_back(player.GetMidiShowControl().ConvertTickIndexToSeconds(tick) / 1.5);
    }
    EXPECT_NEAR(DurationRatio(heard, ideal, a, b + 1), 1.0, kTempoTolerance);
    EXPECT_EQ(heard[0].key, song[0]);
}

TEST(MidiPlayerEndToEnd, TheGuiFeedShowsTheStoredTickWhileStoppedAndTheOutputsTickWhilePlaying)
{
    PlayerHarness harness;
    DemoPlayer& player = *harness.player;
    player.LoadSong("1");
    player.Seek(3 * kBar44);
    auto& feed = dynamic_cast<gui::MidiAppGuiUpdate&>(gui::GetGuiUpdate());
    unsigned int tick = 0;
    EXPECT_TRUE(feed.GetNextTickIndex(&tick));  // the seek asks to show its tick
    EXPECT_EQ(tick, 3 * kBar44);
    feed.Reset();
    EXPECT_FALSE(feed.GetNextTickIndex(&tick));
    EXPECT_EQ(tick, 3 * kBar44);

    player.Play();
    ASSERT_TRUE(harness.WaitForNotes(-1, 2));
    feed.Reset();
    EXPECT_TRUE(feed.GetNextTickIndex(&tick));
    EXPECT_EQ(tick, player.GetMidiOutput().GetTickIndex());
    EXPECT_GE(tick, 3 * kBar44);
    player.Stop();
}

}  // namespace
