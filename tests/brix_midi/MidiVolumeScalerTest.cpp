#include "GantrymereMidiStream.h"
#include "MidiScaler.h"
#include "MidiVolumeScaler.h"
#include "StreamSongs.h"
#include "TestMidiBuffer.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using namespace stream_songs;

TEST(MidiScaler, ScalesByAPercentageLimitedTo127)
{
    struct Case {
        int scale;
        int value;
        int expected;
    };
    const std::vector<Case> cases{
        {100, 127, 127}, {100, 0, 0}, {50, 127, 63}, {50, 1, 0}, {127, 100, 127}, {127, 90, 114},
        {200, 90, 114},  // a trim above 127 is stored as 127
        {0, 127, 0},
    };
    for (const auto& c : cases) {
        MidiScaler scaler;
        scaler.SetScale(static_cast<unsigned char>(c.scale));
        EXPECT_EQ(scaler.GetScaledMidiValue(static_cast<unsigned char>(c.value)), c.expected)
            << c.value << " at " << c.scale << "%";
        EXPECT_LE(scaler.GetScale(), 127);
    }
    EXPECT_EQ(MidiScaler().GetScale(), 100);
}

TEST(MidiVolumeScaler, RemembersTrimmedTracksUntilTheyAreRead)
{
    MidiVolumeScaler scaler;
    EXPECT_EQ(scaler.GetScale(5), 100);
    EXPECT_FALSE(scaler.GetHasRecentlyAffectedTrackIds());

    scaler.SetTrackTrim(5, 50);
    scaler.SetAllTracksTrim({{1, 80}, {2, 255}});
    EXPECT_EQ(scaler.GetScale(2), 127);
    EXPECT_EQ(scaler.GetScaledMidiValue(5, 127), 63);
    EXPECT_TRUE(scaler.GetHasRecentlyAffectedTrackIds());
    EXPECT_EQ(scaler.GetRecentlyAffectedTrackIds(), (std::set<unsigned short>{1, 2, 5}));
    EXPECT_FALSE(scaler.GetHasRecentlyAffectedTrackIds());
}

// Track 0 holds channel volume 100 and expression 90 from the start and plays a louder volume in
// bar 1; track 1 never sets its volume.
brix_midi::SongData VolumeSong()
{
    Track strings{0, {CC(0, 0, 7, 100), CC(0, 0, 11, 90), On(0, 0, 60), CC(kBar, 0, 7, 127)}};
    Track brass{1, {On(0, 1, 48)}};
    return MakeSong({strings, brass});
}

TEST(GantrymereMidiStream, SongVolumesAreScaledAndOtherEventsPassUnchanged)
{
    MidiVolumeScaler scaler;
    scaler.SetTrackTrim(0, 50);
    scaler.GetRecentlyAffectedTrackIds();
    GantrymereMidiStream stream(VolumeSong(), scaler);
    stream.Seek(0);
    VectorMidiBuffer buffer;
    stream.EnqueueEvents(kBar + 1, 0, buffer, false);
    EXPECT_EQ(SentOf(buffer.added), (std::vector<Sent>{{0, 0xB0, 7, 50},
                                                        {0, 0xB0, 11, 90},
                                                        {0, 0x90, 60, 100},
                                                        {0, 0xB0, 7, 63},
                                                        {0, 0x91, 48, 100}}));
}

TEST(GantrymereMidiStream, ATrimChangeResendsTheVolumeAtTheNextRegularFillOnly)
{
    MidiVolumeScaler scaler;
    GantrymereMidiStream stream(VolumeSong(), scaler);
    stream.Seek(10);
    VectorMidiBuffer buffer;
    stream.EnqueueEvents(20, 0, buffer, false);

    scaler.SetTrackTrim(0, 50);
    scaler.SetTrackTrim(1, 80);
    buffer.Clear();
    stream.EnqueueEvents(30, 0, buffer, false);
    // the held volume scaled anew; a track without one gets the trim as its volume
    EXPECT_EQ(SentOf(buffer.added), (std::vector<Sent>{{0, 0xB0, 7, 50}, {0, 0xB1, 7, 80}}));

    buffer.Clear();
    stream.EnqueueEvents(40, 0, buffer, false);
    EXPECT_TRUE(buffer.added.empty());
}

TEST(GantrymereMidiStream, HeldStatesAndReleasesCarryScaledVolumesWithoutResendingTrims)
{
    MidiVolumeScaler scaler;
    GantrymereMidiStream stream(VolumeSong(), scaler);
    stream.Seek(10);
    scaler.SetTrackTrim(0, 50);

    VectorMidiBuffer initial;
    stream.EnqueueInitialEvents(10, 0, initial);
    EXPECT_EQ(SentOf(initial.added), (std::vector<Sent>{{0, 0xB0, 7, 50},
                                                         {0, 0xB0, 11, 90},
                                                         {0, 0xE0, 0, 0x40},
                                                         {0, 0x90, 60, 100},
                                                         {0, 0xE1, 0, 0x40},
                                                         {0, 0x91, 48, 100}}));
    EXPECT_TRUE(scaler.GetHasRecentlyAffectedTrackIds());

    // The released volume returns to the default 100, trimmed like every volume the stream sends.
    VectorMidiBuffer released;
    stream.AllNotesOff(0, released);
    EXPECT_EQ(SentOf(released.added), (std::vector<Sent>{{0, 0x80, 60, 100},
                                                          {0, 0x81, 48, 100},
                                                          {0, 0xB0, 7, 50},
                                                          {0, 0xB0, 11, 127}}));
}

TEST(GantrymereMidiStream, TrimOfATrackOnAPortBeyondTheOutputIsIgnored)
{
    MidiVolumeScaler scaler;
    GantrymereMidiStream stream(VolumeSong(), scaler);
    scaler.SetTrackTrim(0x40, 70);
    VectorMidiBuffer buffer(1);
    testing::internal::CaptureStdout();
    EXPECT_NO_THROW(stream.EnqueueEvents(10, 0, buffer, false));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("WARNING: "), std::string::npos);
    EXPECT_EQ(buffer.doneCalls, 1);
}

}  // namespace
