#include "fennic/StackTrace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

TEST(PrintStackTrace, WritesHeaderAndAtMostDepthFramesToStandardError) {
    testing::internal::CaptureStderr();
    fennic::PrintStackTrace(3);
    const std::string text = testing::internal::GetCapturedStderr();
    EXPECT_EQ(text.rfind("Stack trace (depth 3):\n", 0), 0u) << text;
    const auto lines = std::count(text.begin(), text.end(), '\n');
    EXPECT_GE(lines, 2);
    EXPECT_LE(lines, 1 + 3);
}

TEST(PrintStackTrace, NonPositiveDepthWritesOnlyTheHeader) {
    testing::internal::CaptureStderr();
    fennic::PrintStackTrace(0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Stack trace (depth 0):\n");
}
