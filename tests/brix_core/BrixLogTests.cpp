#include <brix_core/BrixLog.h>

#include <gtest/gtest.h>

namespace {

TEST(BrixLog, RecordsMessageFileAndLineAndReturns) {
    ClearBrixLogRecords();
    BrixLogException("Unknown exception.", "midi_stream_collection", 152);
    const auto records = GetBrixLogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].message, "Unknown exception.");
    EXPECT_EQ(records[0].file, "midi_stream_collection");
    EXPECT_EQ(records[0].line, 152);
    ClearBrixLogRecords();
}

TEST(BrixLog, KeepsOnlyTheMostRecentRecords) {
    ClearBrixLogRecords();
    const int logged = static_cast<int>(kMaxBrixLogRecords) + 10;
    for (int i = 0; i < logged; ++i) {
        BrixLogException("failure " + std::to_string(i), "loop", i);
    }
    const auto records = GetBrixLogRecords();
    ASSERT_EQ(records.size(), kMaxBrixLogRecords);
    EXPECT_EQ(records.front().line, 10);
    EXPECT_EQ(records.back().line, logged - 1);
    ClearBrixLogRecords();
}

}  // namespace
