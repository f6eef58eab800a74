#include <brix_core/ChangeLog.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

template <class T>
std::vector<std::string> IdsOf(const std::vector<T>& events) {
    std::vector<std::string> ids;
    for (const T& event : events) {
        ids.push_back(event.EventId());
    }
    return ids;
}

// Each kind is kept in position order; an event added at a taken position goes after the ones there.
TEST(SongLogRoadEvents, EachKindIsKeptInPositionOrderWithLaterAdditionsAfterEqualPositions) {
    CL::SongLog log("3", "Finale");
    log.AddCut(CL::Cut(1920, 2880, "B2", 0));
    log.AddCut(CL::Cut(0, 480, "B1", 0));
    log.AddRepeat(CL::Repeat(960, 1920, "A2", 2));
    log.AddRepeat(CL::Repeat(960, 1440, "A3", 3));
    log.AddRepeat(CL::Repeat(0, 960, "A1", 2));
    log.AddVamp(CL::Vamp(3840, 4800, "@2", 0));
    log.AddVamp(CL::Vamp(480, 960, "@1", 4));
    log.AddFermata(CL::Fermata(2000, 2500, "M2", 0));
    log.AddFermata(CL::Fermata(100, 200, "M1", 0));
    log.AddCaesura(CL::Caesura(960, "N2", 0));
    log.AddCaesura(CL::Caesura(480, "N1", 0));
    log.AddCaesura(CL::Caesura(960, "N3", 0));

    EXPECT_EQ(IdsOf(log.GetCuts()), (std::vector<std::string>{"B1", "B2"}));
    EXPECT_EQ(IdsOf(log.GetRepeats()), (std::vector<std::string>{"A1", "A2", "A3"}));
    EXPECT_EQ(IdsOf(log.GetVamps()), (std::vector<std::string>{"@1", "@2"}));
    EXPECT_EQ(IdsOf(log.GetFermatas()), (std::vector<std::string>{"M1", "M2"}));
    EXPECT_EQ(IdsOf(log.GetCaesuras()), (std::vector<std::string>{"N1", "N2", "N3"}));
}

TEST(SongLogRoadEvents, StoredEventsKeepTheirKindRegionAndCount) {
    CL::SongLog log;
    log.AddRepeat(CL::Repeat(960, 1920, "A1", 3));
    log.AddVamp(CL::Vamp(480, 960, "@1", 0));
    log.AddCaesura(CL::Caesura(700, "N1", 0));

    const CL::Repeat& repeat = log.GetRepeats().at(0);
    EXPECT_EQ(repeat.code(), CL::Repeat::evt_code);
    EXPECT_EQ(repeat.start(), 960u);
    EXPECT_EQ(repeat.end(), 1920u);
    EXPECT_EQ(repeat.int_value(), 3);
    EXPECT_EQ(log.GetVamps().at(0).int_value(), 0);
    EXPECT_EQ(log.GetCaesuras().at(0).start(), 700u);
    EXPECT_EQ(log.GetCaesuras().at(0).end(), 700u);
    EXPECT_TRUE(log.GetCuts().empty());
    EXPECT_TRUE(log.GetFermatas().empty());
}

}  // namespace
