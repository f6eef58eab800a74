#include "EngineFixture.h"

#include "TimelineSequence.h"

#include <brix_core/Editor.h>

#include <algorithm>
#include <sstream>

using namespace engine_test;

namespace {

// Demo ticks: "2A" is in 6/8 (1440 ticks a bar); "10" has 4/4 bars 1-8 from 0 (1920 a bar), 3/4 bars
// 9-12 from 15360 (1440 a bar) and 6/8 from bar 13 at 21120.
constexpr unsigned int k2ABar3 = 2880, k2ABar5 = 5760, k2ABar7 = 8640, k2ABar8 = 10080;
constexpr unsigned int k10Bar2 = 1920, k10Bar4 = 5760, k10Bar9 = 15360, k10Bar13 = 21120;

// A region event whose end lies before its start (the kinds' constructors would not make one).
template <class Kind>
Kind Inverted(unsigned int start, unsigned int end, const std::string& id, int value)
{
    Kind event(end, start, id, value);
    event.SetStart(start);
    event.SetEnd(end);
    return event;
}

std::vector<CL::SongLog> LogsNeedingRepair()
{
    CL::SongLog reprise("2A", "Harbour Lights (Reprise)");
    reprise.AddVamp(Inverted<CL::Vamp>(k2ABar5, k2ABar3, "V1", 0));
    reprise.AddVamp(CL::Vamp(k2ABar7, k2ABar8, "V2", 2));
    CL::SongLog finale("10", "Finale");
    finale.AddRepeat(Inverted<CL::Repeat>(k10Bar4, k10Bar2, "R1", 2));
    finale.AddClick(CL::Click(0, k10Bar9, "L2", 8));          // eighths fit 4/4
    finale.AddClick(CL::Click(k10Bar9, k10Bar13, "L1", 16));  // half notes do not fit 3/4
    return {reprise, finale};
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(EngineChangeLogRepair, InvertedLoopsAreTurnedRoundAndUnfitClicksAdjustedWhenTheLogLoads)
{
    Engine e(LogsNeedingRepair());
    const std::vector<std::string> loops = Lines(e.engine->GetInvertedLoopEventDescription());
    EXPECT_EQ(e.engine->GetInvertedLoopEventCount(), 2);
    EXPECT_EQ(loops, (std::vector<std::string>{
                         "Song 2A: Vamp V1 ended at 3:1, before its start at 5:1; it now runs from 3:1 to 5:1.",
                         "Song 10: Repeat R1 ended at 2:1, before its start at 4:1; it now runs from 2:1 to 4:1.",
                     }));
    EXPECT_EQ(e.engine->GetModifiedClickEditLog(),
              "Song 10: the click L1 from 9:1 to 13:1 sounded every 16 notated 32nds, which the meter 3/4 cannot "
              "hold; it now sounds every 12.\n");

    // The editor holds the repaired log, and the player plays it.
    const CL::ChangeLog& edited = e.engine->GetChangeLogEditor()->GetChangeLog();
    const auto& vamps = edited.GetSongLog("2A").GetVamps();
    ASSERT_EQ(vamps.size(), 2u);
    EXPECT_EQ(std::make_pair(vamps[0].EventId(), std::make_pair(vamps[0].start(), vamps[0].end())),
              std::make_pair(std::string("V1"), std::make_pair(k2ABar3, k2ABar5)));
    EXPECT_EQ(vamps[1].start(), k2ABar7) << "a vamp in order stays as it was";
    const auto& repeats = edited.GetSongLog("10").GetRepeats();
    ASSERT_EQ(repeats.size(), 1u);
    EXPECT_EQ(std::make_pair(repeats[0].start(), repeats[0].end()), std::make_pair(k10Bar2, k10Bar4));
    EXPECT_EQ(repeats[0].int_value(), 2);
    std::map<std::string, int> clicks;
    for (const CL::Click& click : edited.GetSongLog("10").GetClicks()) {
        clicks[click.EventId()] = click.int_value();
    }
    EXPECT_EQ(clicks, (std::map<std::string, int>{{"L1", 12}, {"L2", 8}}));
    e.engine->LoadSong("2A");
    ASSERT_EQ(e.engine->GetSongLog().GetVamps().size(), 2u);
    EXPECT_LT(e.engine->GetSongLog().GetVamps()[0].start(), e.engine->GetSongLog().GetVamps()[0].end());

    // Another log without anything to repair clears the reports.
    CL::ChangeLog clean;
    clean.AddSongLog(CL::SongLog("2A", "Harbour Lights (Reprise)"));
    const auto path = CL::WriteLogDataFile(e.show.Folder(), "clean", clean);
    e.engine->SetChangelogFilename(path.string());
    EXPECT_EQ(e.engine->GetInvertedLoopEventCount(), 0);
    EXPECT_EQ(e.engine->GetInvertedLoopEventDescription(), "");
    EXPECT_EQ(e.engine->GetModifiedClickEditLog(), "");
}

TEST(EngineChangeLogRepair, ChoosingALogFileThatNeedsRepairReportsItsRepairs)
{
    Engine e;
    EXPECT_EQ(e.engine->GetInvertedLoopEventCount(), 0);
    CL::ChangeLog log;
    for (const CL::SongLog& songLog : LogsNeedingRepair()) {
        log.AddSongLog(songLog);
    }
    const auto path = CL::WriteLogDataFile(e.show.Folder(), "chosen", log);
    ASSERT_GT(CL::ReadLogDataFile(path).GetSongLog("2A").GetVamps()[0].start(),
              CL::ReadLogDataFile(path).GetSongLog("2A").GetVamps()[0].end())
        << "the file keeps the inverted vamp";
    e.engine->SetChangelogFilename(path.string());
    EXPECT_EQ(e.engine->GetInvertedLoopEventCount(), 2);
    EXPECT_EQ(Lines(e.engine->GetModifiedClickEditLog()).size(), 1u);
}

// Ticks and beat numbers of one bar's records.
std::vector<std::pair<unsigned int, std::uint32_t>> BarOf(const TL::TimelineSequence<TL::BarsBeats>& beats,
                                                          const std::string& bar)
{
    std::vector<std::pair<unsigned int, std::uint32_t>> found;
    for (const TL::BarsBeats& beat : beats) {
        if (beat.bar_number() == bar) {
            found.emplace_back(beat.tick, beat.beat);
        }
    }
    return found;
}

TEST(EngineBarsOnTheClickGrid, AClickEditPlacesABeatOnEveryClickOfItsBars)
{
    Engine e;
    CL::Editor& editor = *e.engine->GetChangeLogEditor();
    editor.SelectSongLogForEditing("10");
    editor.AddEvent(CL::Click(k10Bar2, 2 * k10Bar2, "L1", 4));  // eighths over bar 2

    const auto notated = e.engine->GetBarsBeats("10");
    const auto grid = e.engine->GetBarsBeats("10", true);
    std::vector<std::pair<unsigned int, std::uint32_t>> eighths;
    for (std::uint32_t i = 0; i < 8; ++i) {
        eighths.emplace_back(k10Bar2 + 240 * i, i + 1);
    }
    EXPECT_EQ(BarOf(grid, "2"), eighths);
    EXPECT_EQ(BarOf(grid, "1"), BarOf(notated, "1"));
    EXPECT_EQ(BarOf(grid, "3"), BarOf(notated, "3"));
    EXPECT_EQ(grid.size(), notated.size() + 4);
    const auto plain = e.engine->GetBarsBeats("10", false);
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), notated.begin(), notated.end(),
                           [](const TL::BarsBeats& a, const TL::BarsBeats& b) { return a.tick == b.tick && a.beat == b.beat; }));

    // Positions of the current song: at or after / at or before, on the notated beats or on the grid.
    e.engine->LoadSong("10");
    const unsigned int between = k10Bar2 + 100;
    const struct {
        bool atOrBefore;
        bool onClickGrid;
        unsigned int tick;
        std::uint32_t beat;
    } cases[] = {
        {false, false, k10Bar2 + 480, 2},
        {true, false, k10Bar2, 1},
        {false, true, k10Bar2 + 240, 2},
        {true, true, k10Bar2, 1},
    };
    for (const auto& c : cases) {
        const TL::BarsBeats found = e.engine->GetBarBeatByTick(between, c.atOrBefore, c.onClickGrid);
        EXPECT_EQ(found.tick, c.tick) << c.atOrBefore << c.onClickGrid;
        EXPECT_EQ(found.beat, c.beat) << c.atOrBefore << c.onClickGrid;
        EXPECT_EQ(found.bar_number(), "2");
    }
    EXPECT_EQ(e.engine->GetBarBeatByTick(between).tick, k10Bar2 + 480);
}

TEST(EngineBarsOnTheClickGrid, APickupBarKeepsItsFirstBeatNumber)
{
    Engine e;
    const auto notated = e.engine->GetBarsBeats("2");
    ASSERT_FALSE(notated.size() == 0);
    const TL::BarsBeats pickup = notated[0];
    CL::Editor& editor = *e.engine->GetChangeLogEditor();
    editor.SelectSongLogForEditing("2");
    editor.AddEvent(CL::Click(0, 480, "L1", 4));  // eighths over the one-beat pickup
    EXPECT_EQ(BarOf(e.engine->GetBarsBeats("2", true), pickup.bar_number()),
              (std::vector<std::pair<unsigned int, std::uint32_t>>{{0, pickup.beat}, {240, pickup.beat + 1}}));
}

}  // namespace
