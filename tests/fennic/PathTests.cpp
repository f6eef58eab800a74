#include "fennic/Path.h"

#include <gtest/gtest.h>

TEST(PathJoin, PutsExactlyOneSeparatorBetweenTheParts) {
    const struct {
        const char* a;
        const char* b;
        const char* joined;
    } table[] = {
        {"show", "mixersettings", "show/mixersettings"},
        {"show/", "mixersettings", "show/mixersettings"},
        {"show", "/mixersettings", "show/mixersettings"},
        {"show//", "//mixersettings", "show/mixersettings"},
        {"/home/user/show", "sub/file", "/home/user/show/sub/file"},
        {"/", "file", "/file"},
        {"", "file", "file"},
        {"show", "", "show"},
        {"", "", ""},
    };
    for (const auto& row : table) {
        EXPECT_EQ(fennic::path::Join(row.a, row.b), row.joined) << row.a << " + " << row.b;
    }
}
