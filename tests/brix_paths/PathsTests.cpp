#include "brix_paths/Paths.h"

#include <fennic/Exceptions.h>

#include <gtest/gtest.h>

#include "ScopedVariable.h"

#include <string>

namespace {

using brix::test::ScopedVariable;

TEST(UserDataBasePath, FollowsAnAbsoluteXdgDataHomeElseTheHomeFolder) {
    const struct {
        const char* xdgDataHome;  // nullptr: unset
        const char* home;
        const char* expected;
    } table[] = {
        {"/tmp/brix-user-data", "/home/ana", "/tmp/brix-user-data"},
        {"/tmp/brix user data/", "/home/ana", "/tmp/brix user data/"},
        {nullptr, "/home/ana", "/home/ana/.local/share"},
        {"", "/home/ana", "/home/ana/.local/share"},
        {"relative/data", "/home/ana", "/home/ana/.local/share"},
        {nullptr, "/home/ana/", "/home/ana/.local/share"},
        {nullptr, "/", "/.local/share"},
        {"/tmp/brix-user-data", nullptr, "/tmp/brix-user-data"},
    };
    for (const auto& row : table) {
        const ScopedVariable xdg("XDG_DATA_HOME", row.xdgDataHome);
        const ScopedVariable home("HOME", row.home);
        EXPECT_EQ(brix::paths::UserDataBasePath().toStdString(), row.expected)
            << "XDG_DATA_HOME=" << (row.xdgDataHome ? row.xdgDataHome : "(unset)")
            << " HOME=" << (row.home ? row.home : "(unset)");
    }
}

TEST(UserDataBasePath, WithoutAnAbsoluteFolderToStartFromThrowsAnIoErrorThatSaysWhy) {
    const struct {
        const char* xdgDataHome;
        const char* home;
    } table[] = {
        {nullptr, nullptr},
        {"relative/data", nullptr},
        {nullptr, ""},
        {nullptr, "relative/home"},
    };
    for (const auto& row : table) {
        const ScopedVariable xdg("XDG_DATA_HOME", row.xdgDataHome);
        const ScopedVariable home("HOME", row.home);
        try {
            brix::paths::UserDataBasePath();
            ADD_FAILURE() << "no error for HOME=" << (row.home ? row.home : "(unset)");
        } catch (const fennic::IoError& e) {
            EXPECT_STREQ(e.what(),
                         "Cannot find the user-data folder: XDG_DATA_HOME is not an absolute path and "
                         "HOME is not set to one.");
        }
    }
}

TEST(UserDataBasePath, KeepsNonAsciiFolderNames) {
    const ScopedVariable xdg("XDG_DATA_HOME", "/tmp/d\xC3\xA9j\xC3\xA0-vu");
    EXPECT_EQ(brix::paths::UserDataBasePath(), QString::fromUtf8("/tmp/d\xC3\xA9j\xC3\xA0-vu"));
}

}  // namespace
