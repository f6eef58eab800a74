#include "TimeCodeConverter.h"
#include "TimeCodeReference.h"

#include <brix_core/SongData.h>
#include <brix_core/Timeline.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// Microseconds per quarter note that give one tick the given fraction of a second at 480 ticks.
constexpr std::uint32_t kTick960th = 500000;   // 1/960 s per tick
constexpr std::uint32_t kTick480th = 1000000;  // 1/480 s per tick

TL::Timeline MakeTimeline(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& tempos,
                          std::uint32_t lastTick) {
    TL::Timeline timeline;
    for (const auto& [tick, usPerQuarter] : tempos) {
        timeline.Add(TL::Tempo(tick, usPerQuarter));
    }
    timeline.SetLastTickIndex(lastTick);
    return timeline;
}

std::shared_ptr<brix_midi::SongData> MakeSong(const std::string& number, TL::Timeline timeline,
                                              std::uint16_t resolution = 480) {
    auto song = std::make_shared<brix_midi::SongData>();
    song->SetSongNumber(number);
    song->SetResolution(resolution);
    song->SetTimeline(std::move(timeline));
    return song;
}

TEST(SongTimeCodeReference, SecondsGrowAtEachTemposSpeedFromItsPointOn)
{
    const SongTimeCodeReference song(0.0, MakeTimeline({{0, kTick960th}, {960, kTick480th}}, 1920), 480);
    struct Case {
        unsigned int tick;
        double seconds;
        double secondsPerTick;
    };
    const Case cases[] = {
        {0, 0.0, 1.0 / 960}, {480, 0.5, 1.0 / 960}, {959, 959.0 / 960, 1.0 / 960},
        {960, 1.0, 1.0 / 480}, {1440, 2.0, 1.0 / 480}, {1920, 3.0, 1.0 / 480},
    };
    for (const Case& c : cases) {
        const TimeCodePoint point = song.GetTimeCodeAtTickIndex(c.tick);
        EXPECT_EQ(point.GetTickIndex(), c.tick);
        EXPECT_DOUBLE_EQ(point.GetSeconds(), c.seconds) << c.tick;
        EXPECT_DOUBLE_EQ(point.GetSecondsPerTick(), c.secondsPerTick) << c.tick;
    }
    EXPECT_DOUBLE_EQ(song.GetSongEndSeconds(), 3.0);
    EXPECT_DOUBLE_EQ(SongTimeCodeReference(5.0, MakeTimeline({{0, kTick960th}}, 1920), 480).GetSongEndSeconds(), 7.0);
}

TEST(SongTimeCodeReference, OfTwoTemposAtOneTickTheLaterHolds)
{
    const SongTimeCodeReference song(
        0.0, MakeTimeline({{0, kTick960th}, {960, kTick960th * 4}, {960, kTick480th}}, 1440), 480);
    EXPECT_DOUBLE_EQ(song.GetTimeCodeAtTickIndex(960).GetSeconds(), 1.0);
    EXPECT_DOUBLE_EQ(song.GetTimeCodeAtTickIndex(1440).GetSeconds(), 2.0);
}

TEST(SongTimeCodeReference, ASongWithoutTemposRunsAtTheDefaultMidiTempo)
{
    const SongTimeCodeReference song(4.0, MakeTimeline({}, 960), 480);
    EXPECT_DOUBLE_EQ(song.GetTimeCodeAtTickIndex(0).GetSeconds(), 4.0);
    EXPECT_DOUBLE_EQ(song.GetTimeCodeAtTickIndex(480).GetSeconds(), 4.5);
    EXPECT_DOUBLE_EQ(song.GetSongEndSeconds(), 5.0);
}

TEST(SongTimeCodeReference, TicksBeforeTheFirstTempoStayAtTheSongsStart)
{
    const SongTimeCodeReference song(10.0, MakeTimeline({{480, kTick960th}}, 1440), 480);
    for (unsigned int tick : {0u, 1u, 479u, 480u}) {
        EXPECT_DOUBLE_EQ(song.GetTimeCodeAtTickIndex(tick).GetSeconds(), 10.0) << tick;
    }
    EXPECT_DOUBLE_EQ(song.GetTimeCodeAtTickIndex(1440).GetSeconds(), 11.0);
}

TEST(SongTimeCodeReference, AnEmptyReferenceGivesZeroEverywhere)
{
    const SongTimeCodeReference empty;
    EXPECT_EQ(empty.GetTimeCodeAtTickIndex(1234).GetSeconds(), 0.0);
    EXPECT_EQ(empty.GetSongEndSeconds(), 0.0);
}

class TwoSongShow : public ::testing::Test {
protected:
    // Each song lasts 2.0 s; song numbers are ordered as numbers.
    TwoSongShow() {
        show.AddSong(MakeSong("10", MakeTimeline({{0, kTick480th}}, 960)));
        show.AddSong(MakeSong("2", MakeTimeline({{0, kTick960th}}, 1920)));
    }
    brix_midi::ShowData show;
};

TEST_F(TwoSongShow, SongsFollowOneAnotherInTheShowsNumericOrder)
{
    TimeCodeConverter converter(show);
    converter.UpdateToNewSong("2", 480);
    EXPECT_DOUBLE_EQ(converter.ConvertTickIndexToSeconds(0), 0.0);
    EXPECT_DOUBLE_EQ(converter.ConvertTickIndexToSeconds(1920), 2.0);
    converter.UpdateToNewSong("10", 480);
    EXPECT_DOUBLE_EQ(converter.ConvertTickIndexToSeconds(0), 2.0);
    EXPECT_DOUBLE_EQ(converter.ConvertTickIndexToSeconds(960), 4.0);

    ShowTimeCodeReference reference(show);
    EXPECT_DOUBLE_EQ(reference.Get("10").GetSongEndSeconds(), 4.0);
}

TEST(ShowTimeCodeReference, LettersOrderAsText)
{
    brix_midi::ShowData show;
    show.AddSong(MakeSong("B", MakeTimeline({{0, kTick960th}}, 1920)));
    show.AddSong(MakeSong("A", MakeTimeline({{0, kTick960th}}, 1920)));
    ShowTimeCodeReference reference(show);
    EXPECT_DOUBLE_EQ(reference.Get("B").GetTimeCodeAtTickIndex(0).GetSeconds(), 2.0);
    EXPECT_DOUBLE_EQ(reference.Get("A").GetTimeCodeAtTickIndex(0).GetSeconds(), 0.0);
}

TEST_F(TwoSongShow, BeforeAnySongAndForAnUnknownSongEveryTickIsZero)
{
    TimeCodeConverter converter(show);
    EXPECT_EQ(converter.ConvertTickIndexToSeconds(960), 0.0);
    EXPECT_EQ(converter.GetTimeCodeSecondsPair(960), std::make_pair(0.0, 0.0));
    converter.UpdateToNewSong("99", 480);
    EXPECT_EQ(converter.ConvertTickIndexToSeconds(960), 0.0);
}

TEST_F(TwoSongShow, SecondsPairIsOneMidiClockApart)
{
    struct Case {
        unsigned int resolution;
        unsigned int laterTick;
    };
    for (const Case& c : {Case{480, 1020}, Case{100, 1004}, Case{23, 1000}}) {
        TimeCodeConverter converter(show);
        converter.UpdateToNewSong("2", c.resolution);
        const auto [now, later] = converter.GetTimeCodeSecondsPair(1000);
        EXPECT_DOUBLE_EQ(now, 1000.0 / 960);
        EXPECT_DOUBLE_EQ(later, c.laterTick / 960.0) << c.resolution;
    }
}

TEST_F(TwoSongShow, ACopyConvertsForTheSameSongOnItsOwn)
{
    auto original = std::make_unique<TimeCodeConverter>(show);
    original->UpdateToNewSong("10", 480);
    TimeCodeConverter copy(*original);
    TimeCodeConverter assigned(show);
    assigned = *original;
    original.reset();
    EXPECT_DOUBLE_EQ(copy.ConvertTickIndexToSeconds(480), 3.0);
    EXPECT_DOUBLE_EQ(assigned.ConvertTickIndexToSeconds(480), 3.0);
    TimeCodeConverter moved(std::move(copy));
    EXPECT_DOUBLE_EQ(moved.ConvertTickIndexToSeconds(960), 4.0);
}

}  // namespace
