#include "TarnwickMidiStream.h"
#include "TestMidiBuffer.h"
#include "StreamSongs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace stream_songs;

constexpr int kCentre = 0x40;

// Two tracks: 0 holds notes 60 and 67 from the start, then 64 and 67 from bar 2, nothing from bar 4,
// with volume and sustain from tick 2000; 1 (channel 1) plays a note per bar.
brix_midi::SongData JumpSong()
{
    Track melody{0, {On(0, 0, 60, 100), On(0, 0, 67, 90), CC(2000, 0, 7, 90), CC(2000, 0, 64, 127), Off(3840, 0, 60),
                     On(3840, 0, 64, 80), Off(7680, 0, 64), Off(7680, 0, 67)}};
    return MakeSong({melody}, 6);
}

// [GIVEN] a stream at `from` with `previous` in force [WHEN] it jumps to `to` with `transposition`
// [THEN] exactly the releases and strikes that change what sounds are sent.
TEST(MidiStreamTransition, SendsOnlyTheReleasesAndStrikesTheJumpNeeds)
{
    struct Case {
        std::string name;
        unsigned int from;
        unsigned int to;
        int previous;
        int transposition;
        bool afterJump;
        std::vector<Sent> expected;
    };
    const Sent pbCentre{0, 0xE0, 0, kCentre};
    const std::vector<Case> cases{
        {"held before and after stays, held only before is released, only after is struck",
         1000, 5000, 0, 0, true,
         {{0, 0x80, 60, 100}, {0, 0xB0, 7, 90}, {0, 0xB0, 64, 127}, pbCentre, {0, 0x90, 64, 80}}},
        {"changed transposition releases every note at its old pitch and strikes the new ones",
         1000, 5000, 0, 2, true,
         {{0, 0x80, 60, 100}, {0, 0x80, 67, 90}, {0, 0xB0, 7, 90}, {0, 0xB0, 64, 127}, pbCentre, {0, 0x90, 66, 80},
          {0, 0x90, 69, 90}}},
        {"releases use the transposition that struck the notes",
         1000, 9000, 5, 5, true,
         {{0, 0x80, 65, 100}, {0, 0x80, 72, 90}, {0, 0xB0, 7, 90}, {0, 0xB0, 64, 127}, pbCentre}},
        {"controllers held only before return to their defaults",
         5000, 1000, 0, 0, true,
         {{0, 0x80, 64, 80}, {0, 0xB0, 7, 100}, {0, 0xB0, 64, 0}, pbCentre, {0, 0x90, 60, 100}}},
        {"nothing held before: only strikes",
         9000, 1000, 0, 0, true,
         {{0, 0xB0, 7, 100}, {0, 0xB0, 64, 0}, pbCentre, {0, 0x90, 60, 100}, {0, 0x90, 67, 90}}},
        {"transposition change in place re-strikes every held note",
         1000, 1000, 0, 3, false,
         {{0, 0x80, 60, 100}, {0, 0x80, 67, 90}, pbCentre, {0, 0x90, 63, 100}, {0, 0x90, 70, 90}}},
        {"same position and transposition re-sends controllers and pitch bend but strikes no note again",
         5000, 5000, 0, 0, false,
         {{0, 0xB0, 7, 90}, {0, 0xB0, 64, 127}, pbCentre}},
    };
    for (const auto& c : cases) {
        TarnwickMidiStream stream(JumpSong());
        stream.Seek(c.from);
        VectorMidiBuffer before;
        stream.EnqueueEvents(c.from, static_cast<signed char>(c.previous), before, false);
        if (c.afterJump) {
            stream.Seek(c.to);
        }
        VectorMidiBuffer buffer;
        stream.EnqueueEventsWithPersistence(c.to, static_cast<signed char>(c.transposition),
                                            static_cast<signed char>(c.previous), buffer, c.afterJump);
        EXPECT_EQ(SentOf(buffer.added), c.expected) << c.name;
        EXPECT_EQ(buffer.doneCalls, 1) << c.name;
    }
}

TEST(MidiStreamTransition, ASecondSeekBeforeAnyFillStillReleasesWhatSoundedBeforeTheFirst)
{
    TarnwickMidiStream stream(JumpSong());
    stream.Seek(1000);
    VectorMidiBuffer before;
    stream.EnqueueEvents(1000, 0, before, false);  // 60 and 67 sound
    stream.Seek(5000);                            // never filled: 64 and 67 never sounded
    stream.Seek(9000);
    VectorMidiBuffer buffer;
    stream.EnqueueEventsWithPersistence(9000, 0, 0, buffer, true);
    const std::vector<Sent> expected{{0, 0x80, 60, 100}, {0, 0x80, 67, 90}, {0, 0xB0, 7, 90}, {0, 0xB0, 64, 127},
                                     {0, 0xE0, 0, kCentre}};
    EXPECT_EQ(SentOf(buffer.added), expected);
}

TEST(MidiStreamTransition, ControllersHeldOnBothSidesAreSentWithTheTargetValueNotReset)
{
    Track track{0, {CC(0, 0, 64, 127), CC(kBar * 2, 0, 64, 40)}};
    TarnwickMidiStream stream(MakeSong({track}));
    stream.Seek(100);
    stream.Seek(kBar * 3);
    VectorMidiBuffer buffer;
    stream.EnqueueEventsWithPersistence(kBar * 3, 0, 0, buffer, true);
    EXPECT_EQ(SentOf(buffer.added), (std::vector<Sent>{{0, 0xB0, 64, 40}, {0, 0xE0, 0, kCentre}}));
}

TEST(MidiStreamFill, SendsEachTracksEventsBeforeTheWindowEndInTrackOrder)
{
    Track first{0, {On(0, 0, 60), On(480, 0, 62), Off(960, 0, 60)}};
    Track second{1, {CC(480, 1, 7, 90), CC(480, 1, 10, 30)}};
    Track empty{2, {}};
    TarnwickMidiStream stream(MakeSong({first, second, empty}));
    stream.Seek(0);

    VectorMidiBuffer buffer;
    stream.EnqueueEvents(480, 0, buffer, false);
    EXPECT_EQ(SentOf(buffer.added), (std::vector<Sent>{{0, 0x90, 60, 100}}));  // 480 is the next window's

    buffer.Clear();
    stream.EnqueueEvents(961, 0, buffer, false);
    EXPECT_EQ(SentOf(buffer.added),
              (std::vector<Sent>{{0, 0x90, 62, 100}, {0, 0x80, 60, 0}, {0, 0xB1, 7, 90}, {0, 0xB1, 10, 30}}));
    EXPECT_EQ(buffer.doneCalls, 2);
}

TEST(MidiStreamFill, TransposesPitchedTracksButNeverTrackNine)
{
    Track piano{0, {On(0, 0, 60), Off(100, 0, 60)}};
    Track drums{9, {On(0, 9, 36), Off(100, 9, 36)}};
    TarnwickMidiStream stream(MakeSong({piano, drums}));
    stream.Seek(0);
    VectorMidiBuffer buffer;
    stream.EnqueueEvents(200, -2, buffer, false);
    EXPECT_EQ(SentOf(buffer.added), (std::vector<Sent>{{0, 0x90, 58, 100}, {0, 0x80, 58, 0}, {0, 0x99, 36, 100},
                                                        {0, 0x89, 36, 0}}));
}

TEST(MidiStreamFill, AFullPortLeavesTheRestForTheNextBufferWithoutLosingEvents)
{
    Track first{0, {On(0, 0, 60), On(1, 0, 62), On(2, 0, 64)}};
    Track second{1, {On(0, 1, 50)}};
    TarnwickMidiStream stream(MakeSong({first, second}));
    stream.Seek(0);
    std::vector<Sent> all;
    VectorMidiBuffer buffer(1, 2);
    for (int fill = 0; fill < 3; ++fill) {
        buffer.Clear();
        stream.EnqueueEvents(100, 0, buffer, false);
        const auto sent = SentOf(buffer.added);
        all.insert(all.end(), sent.begin(), sent.end());
    }
    EXPECT_EQ(all, (std::vector<Sent>{{0, 0x90, 60, 100}, {0, 0x90, 62, 100}, {0, 0x90, 64, 100}, {0, 0x91, 50, 100}}));
}

TEST(MidiStreamPrograms, UserProgramKeepsTheSongsProgramChangesAwayUntilFollowed)
{
    Track track{0, {PC(0, 0, 5), PC(kBar, 0, 6)}, {0, 127}, 5};
    TarnwickMidiStream stream(MakeSong({track}));
    stream.Seek(0);
    stream.SetUserProgramChange(0, 40);
    VectorMidiBuffer buffer;
    stream.EnqueueEvents(kBar + 1, 0, buffer, false);
    EXPECT_TRUE(buffer.added.empty());
    EXPECT_EQ(stream.GetCurrentProgramChangesByTrackId().at(0), 6);

    stream.FollowMidiProgramChanges();
    buffer.Clear();
    stream.EnqueueEvents(kBar + 2, 0, buffer, false);
    EXPECT_EQ(SentOf(buffer.added), (std::vector<Sent>{{0, 0xC0, 6, 0}}));

    stream.ResetProgramChanges();
    EXPECT_EQ(stream.GetCurrentProgramChangesByTrackId().at(0), 5);
}

TEST(MidiStreamPrograms, HeldStateLeavesOutTheProgramOfAUserProgrammedTrack)
{
    Track track{0, {PC(0, 0, 5)}, {0, 127}, 5};
    TarnwickMidiStream stream(MakeSong({track}));
    stream.Seek(10);
    stream.SetUserProgramChange(0, 40);
    VectorMidiBuffer buffer;
    stream.EnqueueInitialEvents(10, 0, buffer);
    EXPECT_EQ(SentOf(buffer.added), (std::vector<Sent>{{0, 0xE0, 0, kCentre}}));
}

// Track 1 holds note 50 in bars 0-1 and note 52 from bar 2; track 0 holds note 60 throughout.
brix_midi::SongData MuteSong()
{
    Track lead{0, {On(0, 0, 60)}};
    Track pad{1, {On(0, 1, 50), Off(kBar * 2, 1, 50), On(kBar * 2, 1, 52), CC(kBar * 2, 1, 11, 90)}};
    return MakeSong({lead, pad});
}

TEST(MidiStreamMute, MutedTrackStaysSilentAndItsUnmuteStrikesWhatItHoldsNow)
{
    TarnwickMidiStream stream(MuteSong());
    stream.Seek(0);
    VectorMidiBuffer buffer;
    stream.EnqueueEvents(100, 0, buffer, false);
    stream.MuteTrack(1);
    buffer.Clear();
    stream.EnqueueEvents(kBar * 3, 0, buffer, false);
    EXPECT_TRUE(buffer.added.empty());

    stream.UnmuteTrack(1);
    buffer.Clear();
    stream.EnqueueEvents(kBar * 3 + 10, 0, buffer, false);
    EXPECT_EQ(SentOf(buffer.added),
              (std::vector<Sent>{{0, 0xB1, 11, 90}, {0, 0xE1, 0, kCentre}, {0, 0x91, 52, 100}}));

    // The refreshed state is the stream's: a release reaches the note the unmute struck.
    buffer.Clear();
    stream.AllNotesOff(0, buffer);
    EXPECT_EQ(SentOf(buffer.added),
              (std::vector<Sent>{{0, 0x80, 60, 100}, {0, 0x81, 52, 100}, {0, 0xB1, 11, 127}}));
}

TEST(MidiStreamMute, UnmuteAllResumesWithoutResendingHeldState)
{
    TarnwickMidiStream stream(MuteSong());
    stream.Seek(0);
    stream.MuteTrack(1);
    VectorMidiBuffer buffer;
    stream.EnqueueEvents(kBar, 0, buffer, false);
    stream.UnmuteAll();
    buffer.Clear();
    stream.EnqueueEvents(kBar * 2 + 1, 0, buffer, false);
    EXPECT_EQ(SentOf(buffer.added), (std::vector<Sent>{{0, 0x81, 50, 0}, {0, 0x91, 52, 100}, {0, 0xB1, 11, 90}}));
}

TEST(MidiStreamMute, ResetsGoOutOnlyForMutedTracksWhenAsked)
{
    TarnwickMidiStream stream(MuteSong());
    stream.Seek(kBar);
    VectorMidiBuffer buffer;
    stream.SendAllNotesOffForMutedTracks();
    stream.EnqueueEvents(kBar, 0, buffer, false);
    EXPECT_TRUE(buffer.added.empty());

    stream.MuteTrack(1);
    stream.SendAllNotesOffForMutedTracks();
    stream.EnqueueEvents(kBar, 0, buffer, false);
    EXPECT_EQ(SentOf(buffer.added), (std::vector<Sent>{{0, 0xB1, 123, 0}, {0, 0xB1, 121, 0}}));
}

TEST(MidiStreamFullBuffer, ReleasesThatDoNotFitGoOutFirstInTheNextBuffer)
{
    Track track{0, {On(0, 0, 60), On(0, 0, 62), On(0, 0, 64), On(0, 0, 65), On(kBar, 0, 72)}};
    TarnwickMidiStream stream(MakeSong({track}));
    stream.Seek(0);
    VectorMidiBuffer unlimited;
    stream.EnqueueEvents(10, 0, unlimited, false);

    VectorMidiBuffer buffer(1, 2);
    stream.AllNotesOff(0, buffer);
    EXPECT_EQ(SentOf(buffer.added), (std::vector<Sent>{{0, 0x80, 60, 100}, {0, 0x80, 62, 100}}));
    buffer.Clear();
    stream.Seek(kBar);
    stream.EnqueueEvents(kBar + 1, 0, buffer, false);
    EXPECT_EQ(SentOf(buffer.added), (std::vector<Sent>{{0, 0x80, 64, 100}, {0, 0x80, 65, 100}}));
    buffer.Clear();
    stream.EnqueueEvents(kBar + 1, 0, buffer, false);
    EXPECT_EQ(SentOf(buffer.added), (std::vector<Sent>{{0, 0x90, 72, 100}}));
}

TEST(MidiStreamFullBuffer, HeldStateThatDoesNotFitIsReportedNotDroppedSilently)
{
    Track track{0, {On(0, 0, 60), On(0, 0, 62)}};
    TarnwickMidiStream stream(MakeSong({track}));
    stream.Seek(10);
    VectorMidiBuffer buffer(1, 1);
    testing::internal::CaptureStdout();
    stream.EnqueueInitialEvents(10, 0, buffer);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("WARNING: "), std::string::npos);
    EXPECT_NE(printed.find(" 2 events"), std::string::npos) << printed;
}

// Requests that name a track the song lacks, or a port the output lacks, never reach the buffer's
// storage (which throws for a port beyond its count): the fill goes on with a warning.
TEST(MidiStreamBadTargets, UnknownTracksAndPortsAreIgnoredWithAWarning)
{
    struct Case {
        std::string name;
        std::vector<Track> tracks;
        std::function<void(TarnwickMidiStream&)> request;
    };
    const Track known{0, {On(0, 0, 60)}};
    const std::vector<Case> cases{
        {"track on a port beyond the output", {known, Track{0x25, {On(0, 0x25, 60)}}}, [](TarnwickMidiStream&) {}},
        {"muted unknown track on a port beyond the output", {known},
         [](TarnwickMidiStream& s) {
             s.MuteTrack(0x35);
             s.SendAllNotesOffForMutedTracks();
         }},
        {"unmuted unknown track", {known},
         [](TarnwickMidiStream& s) {
             s.MuteTrack(0x07);
             s.UnmuteTrack(0x07);
         }},
    };
    for (const auto& c : cases) {
        TarnwickMidiStream stream(MakeSong(c.tracks));
        stream.Seek(0);
        c.request(stream);
        VectorMidiBuffer buffer(1);
        testing::internal::CaptureStdout();
        EXPECT_NO_THROW(stream.EnqueueEvents(10, 0, buffer, false)) << c.name;
        EXPECT_NO_THROW(stream.AllNotesOff(0, buffer)) << c.name;
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_NE(printed.find("WARNING: "), std::string::npos) << c.name;
        EXPECT_EQ(buffer.ports[0].front().message.data1, 60) << c.name;
        EXPECT_EQ(buffer.doneCalls, 1) << c.name;
    }
}

}  // namespace
