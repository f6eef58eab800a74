#include "Fixtures.h"

#include "HowToPlayException.h"
#include "TestMidiBuffer.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/NotifyNames.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace app_test;

namespace {

constexpr unsigned int kClock = 20;  // 480 ticks per quarter note

// A show control over a show of the given songs with a recording clock; "loads" counts the attacca
// callback's calls.
class ShowControlFixture : public ::testing::Test {
protected:
    void SetUpShow(std::vector<std::shared_ptr<brix_midi::SongData>> songs, std::vector<CL::SongLog> logs = {})
    {
        for (auto& song : songs) {
            show.AddSong(song);
        }
        SetActiveChangeLog(show, logs);
        showControl = std::make_unique<DemoShowControl>(
            songNumber, show, userControls, clock,
            [this] {
                ++attaccaCalls;
                if (!nextSong.empty()) {
                    songNumber.Set(nextSong);
                    showControl->LoadSong();
                    return true;
                }
                return false;
            },
            [] { return false; }, [] {});
    }
    void Load(const std::string& number)
    {
        songNumber.Set(number);
        showControl->LoadSong();
    }
    // Fills one buffer as the output would (reset, first flag).
    VectorMidiBuffer& Fill(bool first = false)
    {
        buffers.push_back(std::make_unique<VectorMidiBuffer>(1));
        VectorMidiBuffer& buffer = *buffers.back();
        if (first) {
            buffer.SetIsFirstBuffer();
        }
        showControl->FillMidiBuffer(buffer);
        return buffer;
    }
    static std::vector<int> NoteOns(const VectorMidiBuffer& buffer)
    {
        std::vector<int> keys;
        for (const auto& [port, event] : buffer.added) {
            if ((event.message.status & 0xF0) == 0x90 && event.message.data2 > 0) {
                keys.push_back(event.message.data1);
            }
        }
        return keys;
    }

    brix_midi::ShowData show;
    ActiveSongNumber songNumber;
    UserControls userControls;
    RecordingClock clock;
    std::unique_ptr<DemoShowControl> showControl;
    std::vector<std::unique_ptr<VectorMidiBuffer>> buffers;
    std::string nextSong;
    int attaccaCalls = 0;
};

TEST_F(ShowControlFixture, ResolutionsThatAreNotWholeTicksPerClockAreRefusedAtLoad)
{
    struct Case {
        std::uint16_t resolution;
        bool accepted;
        unsigned int ticksPerClock;
    };
    const Case cases[] = {{480, true, 20}, {96, true, 4}, {24, true, 1}, {12, false, 0}, {100, false, 0}, {500, false, 0}};
    std::vector<std::shared_ptr<brix_midi::SongData>> songs;
    for (const Case& c : cases) {
        songs.push_back(MakeSong(std::to_string(c.resolution), 2, c.resolution));
    }
    SetUpShow(songs);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.resolution);
        if (c.accepted) {
            Load(std::to_string(c.resolution));
            EXPECT_EQ(showControl->GetTicksPerClock(), c.ticksPerClock);
            EXPECT_EQ(clock.ticksPerClock, c.ticksPerClock);
        } else {
            EXPECT_THROW(Load(std::to_string(c.resolution)), HowToPlayException);
        }
    }
}

TEST_F(ShowControlFixture, EachBufferHoldsOneClockOfTheSongStampedWithItsStart)
{
    SetUpShow({MakeSong("1", 2)});
    Load("1");
    std::vector<unsigned int> ticks;
    std::vector<int> keys;
    for (int i = 0; i < 48; ++i) {  // two beats
        VectorMidiBuffer& buffer = Fill(i == 0);
        EXPECT_FALSE(buffer.GetIsLastBuffer());
        ticks.push_back(buffer.GetTickIndex());
        const auto on = NoteOns(buffer);
        keys.insert(keys.end(), on.begin(), on.end());
    }
    for (unsigned int i = 0; i < ticks.size(); ++i) {
        EXPECT_EQ(ticks[i], i * kClock);
    }
    EXPECT_EQ(keys, (std::vector<int>{60, 61}));
    EXPECT_EQ(showControl->GetTickIndex(), 48 * kClock);
}

TEST_F(ShowControlFixture, TheSongEndMarksTheBufferLastAndItStillCarriesData)
{
    SetUpShow({MakeSong("1", 1)});
    Load("1");
    int buffersBeforeEnd = 0;
    for (; buffersBeforeEnd < 200; ++buffersBeforeEnd) {
        VectorMidiBuffer& buffer = Fill(buffersBeforeEnd == 0);
        if (buffer.GetIsLastBuffer()) {
            EXPECT_TRUE(buffer.WaitUntilReadyForOutput());
            break;
        }
    }
    // Four beats, then the clock of the song's last tick (its end of track).
    EXPECT_EQ(buffersBeforeEnd, 4 * 480 / static_cast<int>(kClock) + 1);
    EXPECT_EQ(attaccaCalls, 0);
}

TEST_F(ShowControlFixture, EveryEventUpToTheSongsLastTickGoesOutInTheBufferOfItsClock)
{
    // The song's last events sit at its last tick, on and off the clock grid.
    for (const std::uint32_t lastTick : {1920u, 1930u, 1939u}) {
        SCOPED_TRACE(lastTick);
        auto song = MakeSong("1", 1);
        auto events = song->GetVoiceData().at(0)->GetEvents();
        events.emplace_back(1900, 0x90, 72, 90);
        events.emplace_back(lastTick, 0xB0, 7, 80);
        events.emplace_back(lastTick, 0x80, 72, 0);
        song->SetVoiceTrack(std::make_shared<brix_midi::VoiceTrack>(0, "Piano", events, 0,
                                                                    brix_midi::VoiceTrack::kNoNoteRange));
        TL::Timeline timeline = song->GetTimeline();
        timeline.SetLastTickIndex(lastTick);
        song->SetTimeline(std::move(timeline));
        buffers.clear();
        showControl.reset();
        show = brix_midi::ShowData();
        SetUpShow({song});
        Load("1");

        std::vector<std::pair<unsigned int, brix_midi::VoiceEvent>> sent;  // (buffer tick, event)
        bool ended = false;
        for (int i = 0; i < 200 && !ended; ++i) {
            VectorMidiBuffer& buffer = Fill(i == 0);
            ended = buffer.GetIsLastBuffer();
            if (!ended) {
                for (const auto& [port, event] : buffer.added) {
                    sent.emplace_back(buffer.GetTickIndex(), event);
                }
            }
        }
        ASSERT_TRUE(ended);
        // Every song event was sent once, in the buffer whose clock holds its tick.
        for (const auto& event : events) {
            const auto inItsClock = std::count_if(sent.begin(), sent.end(), [&](const auto& s) {
                return s.second.message.status == event.message.status && s.second.message.data1 == event.message.data1 &&
                       s.second.message.data2 == event.message.data2 && s.first <= event.tick &&
                       event.tick < s.first + kClock;
            });
            EXPECT_EQ(inItsClock, 1) << "event at tick " << event.tick << " status " << int(event.message.status)
                                     << " data " << int(event.message.data1);
        }
    }
}

TEST_F(ShowControlFixture, AnAttaccaSongWithoutANextSongReleasesItsHeldNotesInItsLastBuffer)
{
    SetUpShow({MakeSong("1", 1, 480, true, true)});
    Load("1");
    VectorMidiBuffer* last = nullptr;
    for (int i = 0; i < 200 && last == nullptr; ++i) {
        VectorMidiBuffer& buffer = Fill(i == 0);
        if (buffer.GetIsLastBuffer()) {
            last = &buffer;
        }
    }
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(attaccaCalls, 1);
    const bool released = std::any_of(last->added.begin(), last->added.end(), [](const auto& added) {
        const auto& message = added.second.message;
        const bool noteOff = (message.status & 0xF0) == 0x80 || ((message.status & 0xF0) == 0x90 && message.data2 == 0);
        return noteOff && message.data1 == 63;
    });
    EXPECT_TRUE(released);
}

TEST_F(ShowControlFixture, AnAttaccaSongFollowsInTheNextBufferFromTheNextSongsStart)
{
    SetUpShow({MakeSong("1", 1, 480, true), MakeSong("2", 1)});
    nextSong = "2";
    Load("1");
    // Song 1 is four beats of 24 clocks and the clock of its last tick (1920).
    constexpr int kSong1Buffers = 4 * 24 + 1;
    std::vector<unsigned int> ticks;
    for (int i = 0; i < kSong1Buffers + 2; ++i) {
        VectorMidiBuffer& buffer = Fill(i == 0);
        ASSERT_FALSE(buffer.GetIsLastBuffer());
        ticks.push_back(buffer.GetTickIndex());
        if (i == kSong1Buffers) {
            EXPECT_EQ(NoteOns(buffer), (std::vector<int>{60}));  // song 2's first note at once
        }
    }
    EXPECT_EQ(songNumber.Get(), "2");
    EXPECT_EQ(ticks[kSong1Buffers - 1], 1920u);
    EXPECT_EQ(ticks[kSong1Buffers], 0u);
    EXPECT_EQ(ticks[kSong1Buffers + 1], kClock);
}

TEST_F(ShowControlFixture, ACutInsideAWindowStampsTheBufferWithTheJumpTarget)
{
    CL::SongLog log("1", "Song 1");
    log.AddCut(CL::Cut(480, 1920, "B1", 0));  // beats 2 to 4 of bar 1
    SetUpShow({MakeSong("1", 2)}, {log});
    Load("1");
    std::vector<unsigned int> ticks;
    std::vector<int> keys;
    for (int i = 0; i < 26; ++i) {
        VectorMidiBuffer& buffer = Fill(i == 0);
        ticks.push_back(buffer.GetTickIndex());
        const auto on = NoteOns(buffer);
        keys.insert(keys.end(), on.begin(), on.end());
    }
    EXPECT_EQ(ticks[23], 23 * kClock);
    EXPECT_EQ(ticks[24], 1920u);
    EXPECT_EQ(ticks[25], 1920u + kClock);
    EXPECT_EQ(keys, (std::vector<int>{60, 60}));  // beat 1 of bar 1, then beat 1 of bar 2
    ASSERT_FALSE(clock.tickIndexCalls.empty());
    EXPECT_EQ(clock.tickIndexCalls.back().tick, 1920u);
    EXPECT_EQ(clock.tickIndexCalls.back().validAt, 480u);
}

TEST_F(ShowControlFixture, ACaesuraStopsTheOutputAfterTheBufferBeforeItAndPlaybackResumesAtIt)
{
    CL::SongLog log("1", "Song 1");
    log.AddCaesura(CL::Caesura(970, "N1", 0));  // off the clock grid: aligned to 960
    SetUpShow({MakeSong("1", 2)}, {log});
    Load("1");
    std::vector<unsigned int> ticks;
    for (int i = 0; i < 60 && !showControl->ShouldStopForCaesura(); ++i) {
        ticks.push_back(Fill(i == 0).GetTickIndex());
    }
    ASSERT_EQ(clock.caesuras, (std::vector<unsigned int>{960}));
    EXPECT_TRUE(showControl->ShouldStopForCaesura());
    EXPECT_TRUE(showControl->CheckCaesura(940));
    EXPECT_FALSE(showControl->CheckCaesura(960));
    EXPECT_EQ(ticks.back(), 960u);  // filled, never sent: the output stops after 940

    showControl->OnCaesuraStop();
    EXPECT_FALSE(showControl->HasPendingCaesura());
    EXPECT_EQ(showControl->GetTickIndex(), 960u);
    VectorMidiBuffer& resumed = Fill(true);
    EXPECT_EQ(resumed.GetTickIndex(), 960u);
    showControl->ArmPlayback();
    EXPECT_EQ(clock.armedAt, 960u);
}

TEST_F(ShowControlFixture, TheFirstBufferUsesThePreviousTranspositionAndAChangeTakesTheNewOne)
{
    SetUpShow({MakeSong("1", 2)});
    Load("1");
    Fill(true);  // the pair's previous value is 0 here
    userControls.SetTransposition(2);
    std::vector<int> keys;
    for (int i = 0; i < 24; ++i) {
        const auto on = NoteOns(Fill());
        keys.insert(keys.end(), on.begin(), on.end());
    }
    EXPECT_EQ(keys, (std::vector<int>{63}));  // beat 2's note, transposed by 2
}

TEST_F(ShowControlFixture, ATranspositionBeyondASignedByteTransposesTheWayItWasAsked)
{
    struct Case {
        int semitones;
        bool up;  // whether the first note (60) must sound above or below where it is written
    };
    const Case cases[] = {{12, true}, {127, true}, {200, true}, {1000, true}, {-12, false}, {-200, false}, {-1000, false}};
    SetUpShow({MakeSong("1", 1)});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.semitones);
        userControls.SetTransposition(c.semitones);
        userControls.GetTranspositionChanged();
        Load("1");
        Fill(true);  // the first buffer takes the pair's previous value
        showControl->Seek(0);
        VectorMidiBuffer& buffer = Fill();
        const auto struck = NoteOns(buffer);
        ASSERT_FALSE(struck.empty());
        EXPECT_EQ(struck.front() > 60, c.up) << "key " << struck.front();
        EXPECT_NE(struck.front(), 60);
    }
}

TEST_F(ShowControlFixture, SeekingOntoACaesuraWhileArmedInConductorModeHandsItToTheConductor)
{
    CL::SongLog log("1", "Song 1");
    log.AddCaesura(CL::Caesura(1920, "N1", 0));
    SetUpShow({MakeSong("1", 2)}, {log});
    Load("1");
    GuiRecorder gui;
    int jumps = 0;
    int token = 0;
    notify::callbackDispatcher.AddCallback(&token, notify::names::jumpToCaesura, [&](void*) { ++jumps; });
    showControl->ArmPlayback();  // conductor mode on, clock armed
    EXPECT_FALSE(showControl->Seek(1920));
    notify::callbackDispatcher.RemoveCallbacksForTarget(&token);

    EXPECT_EQ(jumps, 1);
    EXPECT_FALSE(clock.armed);
    EXPECT_FALSE(showControl->HasPendingCaesura());
    const auto status = gui.Of(notify::GuiEventKind::StatusFlowControl);
    const bool pickup = std::any_of(status.begin(), status.end(),
                                    [](const auto& event) { return event.text == "PickupBeat" && event.value == 0; });
    EXPECT_TRUE(pickup);
}

TEST_F(ShowControlFixture, AnEndlessVampShorterThanAClockEndsTheWindowInsteadOfHangingTheFiller)
{
    CL::SongLog log("1", "Song 1");
    log.AddVamp(CL::Vamp(485, 490, "@1", 0));
    SetUpShow({MakeSong("1", 2)}, {log});
    Load("1");
    showControl->Seek(480);
    VectorMidiBuffer& buffer = Fill(true);  // would walk the vamp for ever
    EXPECT_TRUE(buffer.WaitUntilReadyForOutput());
    EXPECT_GE(showControl->GetTickIndex(), 485u);
    EXPECT_LT(showControl->GetTickIndex(), 490u);
}

TEST_F(ShowControlFixture, TheFirstConductorPulseClearsThePickupBeat)
{
    SetUpShow({MakeSong("1", 1)});
    Load("1");
    GuiRecorder gui;
    showControl->SendExpectsPickupBeat(0);
    notify::callbackDispatcher.Notify(notify::names::statusPulse, nullptr);
    notify::callbackDispatcher.Notify(notify::names::statusPulse, nullptr);
    std::vector<std::string> texts;
    for (const auto& event : gui.Of(notify::GuiEventKind::StatusFlowControl)) {
        texts.push_back(event.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"PickupBeat", "ClearPickupBeat"}));
}

}  // namespace
