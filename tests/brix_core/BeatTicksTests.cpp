#include <brix_core/BeatTicks.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// A song at 480 ticks per quarter: bar 1 is a one-beat pickup (tick 0), bars 2 and 3 are 4/4 from tick
// 480, then 3/4 from tick 4320 (bars 4 and 5); the song ends at tick 7200.
struct PickupSong {
    std::vector<TL::BarsBeats> barsBeats{
        {0, 1, 1},
        {480, 2, 1},  {960, 2, 2},  {1440, 2, 3}, {1920, 2, 4},
        {2400, 3, 1}, {2880, 3, 2}, {3360, 3, 3}, {3840, 3, 4},
        {4320, 4, 1}, {4800, 4, 2}, {5280, 4, 3},
        {5760, 5, 1}, {6240, 5, 2}, {6720, 5, 3},
    };
    std::vector<TL::Meter> meters{{0, 4, 4, 24, 8}, {4320, 3, 4, 24, 8}};
    std::uint32_t lastTick = 7200;
};

TEST(CreateBeatTicks, ClicksFallOnEveryBeatOrOnTheClicksOfARegion) {
    struct Case {
        const char* name;
        std::vector<CL::Click> clicks;
        std::uint32_t lastTick;
        std::vector<std::uint32_t> ticks;
    };
    const std::vector<Case> cases{
        {"no click regions: every beat, pickup and meter change included", {}, 7200,
         {0, 480, 960, 1440, 1920, 2400, 2880, 3360, 3840, 4320, 4800, 5280, 5760, 6240, 6720}},
        {"eighth clicks in bar 2 replace its beats",
         {CL::Click(480, 2400, "L1", 4)}, 7200,
         {0, 480, 720, 960, 1200, 1440, 1680, 1920, 2160, 2400, 2880, 3360, 3840, 4320, 4800, 5280,
          5760, 6240, 6720}},
        {"half-note clicks across the meter change stop at the region's end",
         {CL::Click(2400, 5760, "L1", 16)}, 7200,
         {0, 480, 960, 1440, 1920, 2400, 3360, 4320, 5280, 5760, 6240, 6720}},
        {"a later region cuts an earlier one short",
         {CL::Click(480, 2400, "L1", 16), CL::Click(1440, 1920, "L2", 4)}, 7200,
         {0, 480, 1440, 1680, 1920, 2400, 2880, 3360, 3840, 4320, 4800, 5280, 5760, 6240, 6720}},
        {"beats and clicks after the last tick are left out, one on it is kept",
         {CL::Click(4320, 7200, "L1", 4)}, 4800,
         {0, 480, 960, 1440, 1920, 2400, 2880, 3360, 3840, 4320, 4560, 4800}},
        {"a region of zero-clock clicks has a single click at its start",
         {CL::Click(480, 1440, "L1", 0)}, 7200,
         {0, 480, 1440, 1920, 2400, 2880, 3360, 3840, 4320, 4800, 5280, 5760, 6240, 6720}},
    };
    const PickupSong song;
    for (const Case& c : cases) {
        EXPECT_EQ(CreateBeatTicks(song.barsBeats, c.clicks, song.meters, c.lastTick, 480), c.ticks)
            << c.name;
    }
}

TEST(CreateBeatTicks, DottedQuarterClicksIn68UseTheMetersNotated32nds) {
    // 6/8 with dotted-quarter beats (36 clocks) at 480 ticks per quarter: beats every 720 ticks.
    const std::vector<TL::BarsBeats> barsBeats{{0, 1, 1}, {720, 1, 2}, {1440, 2, 1}, {2160, 2, 2}};
    const std::vector<TL::Meter> meters{{0, 6, 8, 36, 8}};
    // Eighth-note clicks (4 notated 32nds = 12 clocks = 240 ticks) over bar 2.
    const std::vector<CL::Click> clicks{CL::Click(1440, 2880, "L1", 4)};
    EXPECT_EQ(CreateBeatTicks(barsBeats, clicks, meters, 2880, 480),
              (std::vector<std::uint32_t>{0, 720, 1440, 1680, 1920, 2160, 2400, 2640}));
}

}  // namespace
