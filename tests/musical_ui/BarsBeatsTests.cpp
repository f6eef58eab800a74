#include "BarListModel.h"
#include "BarsBeatsEventSequence.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QVariantList>

#include <stdexcept>
#include <vector>

namespace {

using brix::qt::BarListModel;
using brix::qt::BarsBeatsEventSequence;

TL::TimelineSequence<TL::BarsBeats> Records(std::vector<TL::BarsBeats> records)
{
    return TL::TimelineSequence<TL::BarsBeats>(std::move(records));
}

// A pickup of two beats (bar "0", beats 3 and 4), then two bars of 4/4 at 480 ticks a beat.
TL::TimelineSequence<TL::BarsBeats> PickupAndTwoBars()
{
    return Records({{0, 0, 3}, {480, 0, 4}, {960, 1, 1}, {1440, 1, 2}, {1920, 1, 3}, {2400, 1, 4},
                    {2880, 2, 1}, {3360, 2, 2}, {3840, 2, 3}, {4320, 2, 4}});
}

TEST(BarsBeatsEventSequence, GroupsRecordsIntoBarsWithTheirBeats)
{
    const BarsBeatsEventSequence map(PickupAndTwoBars());
    ASSERT_EQ(map.GetBarCount(), 3U);
    EXPECT_EQ(map.size(), 10U);

    // The pickup has no first beat: its records open a bar of their own.
    EXPECT_EQ(map.GetBarLabel(0), "0");
    EXPECT_EQ(map.GetBar(0).beats, (std::vector<std::string>{"3", "4"}));
    EXPECT_EQ(map.GetBarLabel(2), "2");
    EXPECT_EQ(map.GetBar(2).index, 2U);
    EXPECT_EQ(map.GetBarTick(2), 2880U);
    EXPECT_EQ(map.GetBeatCount(1), 4U);
    EXPECT_EQ(map.GetBeatLabel(1, 2), "3");
    EXPECT_EQ(map.GetBeatTick(1, 2), 1920U);
    ASSERT_NE(map.FindBar("1"), nullptr);
    EXPECT_EQ(map.FindBar("1")->beatTicks.at("4"), 2400U);
    EXPECT_EQ(map.FindBar("7"), nullptr);
}

TEST(BarsBeatsEventSequence, TwoBarsOnOneTickFailTheBuild)
{
    try {
        BarsBeatsEventSequence map(Records({{0, 1, 1}, {480, 1, 2}, {480, 2, 1}, {480, 3, 1}}));
        FAIL() << "built a map with two bars on tick 480";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "barBeat with duplicate tick index.");
    }
}

TEST(BarsBeatsEventSequence, NearestSnapsToTheCloserRecordATieToTheEarlier)
{
    const BarsBeatsEventSequence map(Records({{100, 1, 1}, {580, 1, 2}, {1060, 1, 3}}));
    struct Case {
        std::uint32_t tick;
        std::uint32_t nearest;
    } const cases[] = {
        {0, 100},      // before the first record
        {100, 100},    // on a record
        {339, 100},    // nearer the lower
        {340, 100},    // exactly between: the lower
        {341, 580},    // nearer the upper
        {1060, 1060},  // on the last
        {99999, 1060}, // after the last
    };
    for (const Case& c : cases)
        EXPECT_EQ(map.Nearest(c.tick), c.nearest) << "tick " << c.tick;

    const BarsBeatsEventSequence empty(Records({}));
    EXPECT_EQ(empty.Nearest(0), 0U);
    EXPECT_EQ(empty.Nearest(5000), 0U);
}

QVariantList Numbers(std::initializer_list<std::uint32_t> values)
{
    QVariantList list;
    for (std::uint32_t value : values)
        list.append(QVariant::fromValue(value));
    return list;
}

TEST(BarListModel, ListsEachBarOnceFromTheStartTick)
{
    struct Case {
        const char* name;
        std::uint32_t start;
        QStringList bars;
        QVariantList firstBeats;
        QVariantList firstTimes;
    } const cases[] = {
        {"from the song's start", 0, {"0", "1", "2"}, Numbers({3, 4}), Numbers({0, 480})},
        {"on a bar's first beat", 960, {"1", "2"}, Numbers({1, 2, 3, 4}), Numbers({960, 1440, 1920, 2400})},
        {"on a later beat", 1920, {"1", "2"}, Numbers({3, 4}), Numbers({1920, 2400})},
        {"inside a beat: the holding bar first, whole", 2000, {"1", "2"}, Numbers({1, 2, 3, 4}),
         Numbers({960, 1440, 1920, 2400})},
        {"past the last record", 9000, {"2"}, Numbers({1, 2, 3, 4}), Numbers({2880, 3360, 3840, 4320})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BarListModel model(nullptr, PickupAndTwoBars(), c.start);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
        QStringList bars;
        for (int row = 0; row < model.rowCount(); ++row)
            bars << model.data(model.index(row, 0), BarListModel::BarRole).toString();
        EXPECT_EQ(bars, c.bars);
        EXPECT_EQ(model.data(model.index(0, 0), BarListModel::BeatsRole).toList(), c.firstBeats);
        EXPECT_EQ(model.data(model.index(0, 0), BarListModel::TimesRole).toList(), c.firstTimes);
        EXPECT_EQ(model.getBeats(0).toList(), c.firstBeats);
    }
}

TEST(BarListModel, RolesAndLookupsFromQml)
{
    BarListModel model(nullptr, PickupAndTwoBars(), 0);
    EXPECT_EQ(model.roleNames(), (QHash<int, QByteArray>{{257, "bar"}, {258, "beats"}, {259, "times"}}));
    EXPECT_EQ(model.getTime(QStringLiteral("2"), 1).toUInt(), 3360U);
    EXPECT_EQ(model.getTime(QStringLiteral("0"), 0).toUInt(), 0U);
    // Lookups outside the model answer an invalid value rather than a number.
    EXPECT_FALSE(model.getTime(QStringLiteral("2"), 4).isValid());
    EXPECT_FALSE(model.getTime(QStringLiteral("9"), 0).isValid());
    EXPECT_FALSE(model.getBeats(3).isValid());
    EXPECT_FALSE(model.getBeats(-1).isValid());
}

}  // namespace
