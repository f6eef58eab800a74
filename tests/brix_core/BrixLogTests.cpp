#include <brix_core/BrixLog.h>

#include <gtest/gtest.h>

#include <stdexcept>

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

TEST(BrixLog, CurrentExceptionIsRecordedWithItsTextOrAsUnknown) {
    struct Case {
        const char* name;
        void (*raise)();
        const char* message;
    };
    const Case cases[] = {
        {"a std::exception gives its text", [] { throw std::runtime_error("device lost"); }, "device lost"},
        {"anything else is unknown", [] { throw 42; }, "Unknown exception."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClearBrixLogRecords();
        try {
            c.raise();
        } catch (...) {
            BrixLogCurrentException("midi_queue_run", 7);
        }
        const auto records = GetBrixLogRecords();
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].message, c.message);
        EXPECT_EQ(records[0].file, "midi_queue_run");
        EXPECT_EQ(records[0].line, 7);
    }
    ClearBrixLogRecords();
}

}  // namespace
