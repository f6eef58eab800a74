// The change-log versions of a show folder: the version a save writes next, the major number a share
// takes, the listing of ".logdata" files and the pruning of duplicate copies.

#include "ChangelogVersions.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using brix::changelog::LocalVersion;
using cmn::BRIXVersion;

class Folder {
public:
    Folder()
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() /
                ("brix_changelog_versions_" + std::string(test->name()) + "_" + std::to_string(::getpid()));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~Folder() { fs::remove_all(path_); }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    // A file written `secondsAgo` seconds before a fixed moment.
    void Write(const std::string& name, int secondsAgo) const
    {
        std::ofstream(path_ / name) << name;
        fs::last_write_time(path_ / name, kNow - std::chrono::seconds(secondsAgo));
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    const fs::path& Path() const { return path_; }

    static inline const fs::file_time_type kNow =
        std::chrono::floor<std::chrono::seconds>(fs::file_time_type::clock::now());

private:
    fs::path path_;
};

TEST(ChangelogVersions, ALocalSaveTakesTheNextMinorAndAfter255TheNextMajor)
{
    struct Case {
        BRIXVersion latest, next;
    };
    const std::vector<Case> cases{
        {{1, 0}, {1, 1}},
        {{3, 7}, {3, 8}},
        {{3, 254}, {3, 255}},
        {{3, 255}, {4, 0}},  // never back to 3.0, which would overwrite an older file and sort below it
        {{3, 300}, {4, 0}},  // a name written by hand beyond the last minor number
        {{65535, 254}, {65535, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.latest.GetAsString());
        const BRIXVersion next = brix::changelog::NextLocalVersion(c.latest);
        EXPECT_EQ(next, c.next);
        EXPECT_GT(next, c.latest);
    }
    EXPECT_THROW(brix::changelog::NextLocalVersion({65535, 255}), std::overflow_error);
}

TEST(ChangelogVersions, AShareTakesTheMajorAfterTheServersGreatest)
{
    struct Case {
        std::vector<BRIXVersion> stored;
        std::uint16_t major;
    };
    const std::vector<Case> cases{
        {{}, 1},
        {{{1, 0}}, 2},
        {{{3, 2}, {7, 0}, {5, 9}}, 8},
        {{{65534, 255}}, 65535},
    };
    for (const Case& c : cases)
        EXPECT_EQ(brix::changelog::NextSharedMajor(c.stored), c.major) << c.stored.size() << " stored";
    EXPECT_THROW(brix::changelog::NextSharedMajor({{65535, 0}}), std::overflow_error);
}

TEST(ChangelogVersions, ListsTheVersionsOfTheNamesAndSkipsNamesWithoutOne)
{
    Folder folder;
    folder.Write("quay-1.2.logdata", 0);
    folder.Write("quay-10.0.logdata", 0);
    folder.Write("2.5.logdata", 0);           // no "-": the whole name is the version
    folder.Write("quay-final.logdata", 0);    // no version: skipped with a warning
    folder.Write("quay-3.1.logdata.bak", 0);  // not a change-log file
    folder.Write(".logdata", 0);
    fs::create_directory(folder.Path() / "old-9.9.logdata");  // a folder, not a file

    std::ostringstream warnings;
    std::vector<LocalVersion> versions = brix::changelog::ListLocalVersions(folder.Path(), warnings);
    std::vector<std::string> listed;
    for (const LocalVersion& v : versions)
        listed.push_back(v.path.filename().string() + " " + v.version.GetAsString());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{"2.5.logdata 2.5", "quay-1.2.logdata 1.2", "quay-10.0.logdata 10.0"}));
    EXPECT_NE(warnings.str().find("quay-final.logdata"), std::string::npos) << warnings.str();

    const auto latest = brix::changelog::LatestLocalVersion(versions);
    ASSERT_TRUE(latest);
    EXPECT_EQ(latest->version, BRIXVersion(10, 0)) << "versions compare as numbers, not as text";
    EXPECT_EQ(latest->modified, std::chrono::duration_cast<std::chrono::seconds>(
                                    std::chrono::file_clock::to_sys(Folder::kNow).time_since_epoch())
                                    .count());
    EXPECT_FALSE(brix::changelog::LatestLocalVersion({}));
}

TEST(ChangelogVersions, PruningKeepsTheNewestCopyOfEachVersionOfAShow)
{
    struct File {
        const char* name;
        int secondsAgo;
    };
    struct Case {
        const char* what;
        std::vector<File> files;
        std::vector<std::string> left;
    };
    const std::vector<Case> cases{
        {"the older copy of a version goes, whatever the folder's order",
         {{"quay-1.2.logdata", 60}, {"quay-01.2.logdata", 5}},
         {"quay-01.2.logdata"}},
        {"the same again the other way round",
         {{"quay-1.2.logdata", 5}, {"quay-01.2.logdata", 60}},
         {"quay-1.2.logdata"}},
        {"copies written in the same second are both kept",
         {{"quay-1.2.logdata", 5}, {"quay-01.2.logdata", 5}},
         {"quay-01.2.logdata", "quay-1.2.logdata"}},
        {"of three copies only the newest stays, even after a tie among the older ones",
         {{"quay-1.2.logdata", 60}, {"quay-01.2.logdata", 60}, {"quay-001.2.logdata", 1}},
         {"quay-001.2.logdata"}},
        {"another show's file of the same version text is never touched",
         {{"quay-1.2.logdata", 60}, {"harbour-1.2.logdata", 5}},
         {"harbour-1.2.logdata", "quay-1.2.logdata"}},
        {"different versions of a show all stay",
         {{"quay-1.2.logdata", 60}, {"quay-1.3.logdata", 5}, {"quay-2.0.logdata", 1}},
         {"quay-1.2.logdata", "quay-1.3.logdata", "quay-2.0.logdata"}},
        {"a name without \"-\" and a name without a version are never pruned",
         {{"1.2.logdata", 60}, {"quay-1.2.logdata", 5}, {"quay-x.logdata", 60}, {"quay-x.logdata.txt", 60}},
         {"1.2.logdata", "quay-1.2.logdata", "quay-x.logdata", "quay-x.logdata.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Folder folder;
        for (const File& file : c.files)
            folder.Write(file.name, file.secondsAgo);
        std::ostringstream warnings;
        const std::vector<fs::path> deleted = brix::changelog::PruneLocalVersions(folder.Path(), warnings);
        EXPECT_EQ(folder.Names(), c.left);
        EXPECT_EQ(deleted.size(), c.files.size() - c.left.size());
    }
}

TEST(ChangelogVersions, AFolderThatCannotBeReadThrows)
{
    Folder folder;
    EXPECT_THROW(brix::changelog::PruneLocalVersions(folder.Path() / "missing"), fs::filesystem_error);
    EXPECT_THROW(brix::changelog::ListLocalVersions(folder.Path() / "missing"), fs::filesystem_error);
}

}  // namespace
