#include "fennic/ReplaceFile.h"

#include "fennic/Exceptions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class ReplaceFileTest : public testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    static std::string Read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // The text of the IoError that replacing the file throws; empty when it throws none.
    static std::string FailureOf(const fs::path& file, std::string_view bytes) {
        try {
            fennic::ReplaceFileContents(file, bytes);
        } catch (const fennic::IoError& error) {
            return error.what();
        }
        return {};
    }

    const fs::path folder = fs::temp_directory_path() / ("fennic-replace-" + std::to_string(::getpid()));
    const fs::path file = folder / "settings.json";
};

TEST_F(ReplaceFileTest, CreatesThenReplacesTheWholeFileWithoutLeavingTheTemporary) {
    fennic::ReplaceFileContents(file, "a longer first version");
    EXPECT_EQ(Read(file), "a longer first version");
    fennic::ReplaceFileContents(file, std::string("v2\0x", 4));
    EXPECT_EQ(Read(file), std::string("v2\0x", 4));
    EXPECT_FALSE(fs::exists(folder / "settings.json.tmp"));
}

TEST_F(ReplaceFileTest, FailureKeepsThePreviousFileAndSaysWhy) {
    fennic::ReplaceFileContents(file, "kept");
    // The temporary file's place is taken by a folder.
    fs::create_directory(folder / "settings.json.tmp");
    EXPECT_EQ(FailureOf(file, "new"), file.string() + ": cannot be written: the temporary file cannot be created");
    EXPECT_EQ(Read(file), "kept");
    fs::remove(folder / "settings.json.tmp");

    // The target is a folder that is not empty, so the rename fails; the temporary file goes again.
    const fs::path taken = folder / "taken";
    fs::create_directories(taken / "inside");
    const std::string failure = FailureOf(taken, "new");
    EXPECT_EQ(failure.rfind(taken.string() + ": cannot be written: ", 0), 0u) << failure;
    EXPECT_TRUE(fs::is_directory(taken / "inside"));
    EXPECT_FALSE(fs::exists(folder / "taken.tmp"));

    EXPECT_EQ(FailureOf(folder / "missing" / "file", "new"),
              (folder / "missing" / "file").string() + ": cannot be written: the temporary file cannot be created");
}

}  // namespace
