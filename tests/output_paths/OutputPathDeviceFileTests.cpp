#include "OutputPathDeviceFile.h"

#include <fennic/Exceptions.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Pairs = std::map<std::string, std::string>;

// A show folder of the test's own, removed at the end.
class OutputPathDeviceFileTest : public testing::Test {
protected:
    OutputPathDeviceFileTest() {
        fs::remove_all(show);
        fs::create_directories(show);
    }
    ~OutputPathDeviceFileTest() override { fs::remove_all(show); }

    void Put(const std::string& bytes) const {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    std::string Contents() const {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // The text of the IoError that writing throws; empty when it throws none.
    static std::string WriteFailure(brix::OutputPathDeviceFile& devices, const std::vector<CL::OutputPath>& paths) {
        try {
            devices.Write(paths);
        } catch (const fennic::IoError& error) {
            return error.what();
        }
        return {};
    }

    const fs::path show = fs::temp_directory_path() / ("output-path-devices-" + std::to_string(::getpid()));
    const fs::path file = show / "outputpathdevices.json";
    const std::vector<CL::OutputPath> onePath{{"p", "Pit", "hw:CARD=Pit,DEV=0", "Pit speakers"}};
};

struct FileCase {
    const char* what;
    std::optional<std::string> contents;  // none: no file
    Pairs pairs;
    std::string error;
    bool unreadable;
};

const std::string kTwoPaths = R"({"outputpaths":[{"id":"a","hwid":"hw:A"},{"id":"b","hwid":""}]})";

const FileCase kFileCases[] = {
    {"a good file", kTwoPaths, {{"a", "hw:A"}, {"b", ""}}, "", false},
    {"a good file with a byte-order mark and spacing", "\xEF\xBB\xBF{ \"outputpaths\" : [ {\"hwid\":\"x\", \"id\":\"a\"} ] }\n",
     {{"a", "x"}}, "", false},
    {"members it does not know are passed over", R"({"version":2,"outputpaths":[{"id":"a","hwid":"x","name":"Pit"}]})",
     {{"a", "x"}}, "", false},
    {"a later element with the same id wins", R"({"outputpaths":[{"id":"a","hwid":"x"},{"id":"a","hwid":"y"}]})",
     {{"a", "y"}}, "", false},
    {"no file", std::nullopt, {}, "", false},  // its text names the file: checked below
    {"an empty file", "", {}, "The output path config file has a parse error: 1 The document is empty.", false},
    {"a file of spaces", " \r\n\t", {}, "The output path config file has a parse error: 1 The document is empty.", false},
    {"a truncated file", R"({"outputpaths":[{"id":"a","hwid":"x"},)", {},
     "The output path config file has a parse error: 3 Invalid value.", true},
    {"text after the object", kTwoPaths + "x", {},
     "The output path config file has a parse error: 2 The document root must not be followed by other values.", true},
    {"a string that is not UTF-8", "{\"outputpaths\":[{\"id\":\"a\",\"hwid\":\"\xC3\x28\"}]}", {},
     "The output path config file has a parse error: 12 Invalid encoding in string.", true},
    {"no member outputpaths", R"({"paths":[]})", {},
     "The output path config file does not contain a field called \"outputpaths\" and cannot be read.", true},
    {"an array at the top", R"([{"id":"a","hwid":"x"}])", {},
     "The output path config file does not contain a field called \"outputpaths\" and cannot be read.", true},
    {"outputpaths is not an array", R"({"outputpaths":{"id":"a","hwid":"x"}})", {},
     "The output path config file's field \"outputpaths\" is not an array and cannot be read.", true},
    {"the first element lacks an id", R"({"outputpaths":[{"hwid":"x"},{"id":"b","hwid":"y"}]})", {{"b", "y"}},
     "The first outputpath found  does not have an id. Failing.", false},
    {"the second element lacks an id", R"({"outputpaths":[{"id":"a","hwid":"x"},{"hwid":"y"},{"id":"c","hwid":"z"}]})",
     {{"a", "x"}, {"c", "z"}}, "The outputpath after the outputpath with id a  does not have an id. Failing.", false},
    {"an element lacks a hwid", R"({"outputpaths":[{"id":"a"},{"id":"b","hwid":"y"}]})", {{"b", "y"}},
     "The outputpath with id a  does not have a hwid. Failing.", false},
    {"an element with an empty id lacks a hwid", R"({"outputpaths":[{"id":""}]})", {},
     "The first outputpath found  does not have a hwid. Failing.", false},
    {"an id that is not a string", R"({"outputpaths":[{"id":7,"hwid":"x"},{"id":"b","hwid":"y"}]})", {{"b", "y"}},
     "The first outputpath found has an id that is not a valid string. Failing.", false},
    {"a hwid that is not a string", R"({"outputpaths":[{"id":"a","hwid":"x"},{"id":"b","hwid":null}]})", {{"a", "x"}},
     "The outputpath with id b has a hwid that is not a valid string. Failing.", false},
    {"an escaped lone surrogate, which is not UTF-8", R"({"outputpaths":[{"id":"a","hwid":"x\udc01"},{"id":"b","hwid":"y"}]})",
     {{"b", "y"}}, "The outputpath with id a has a hwid that is not a valid string. Failing.", false},
    {"elements that are not objects", R"({"outputpaths":["a",[],{"id":"b","hwid":"y"},3]})", {{"b", "y"}},
     "The first outputpath found is not an object. Failing.", false},
};

// Each file gives its pairs and its first failure; a file that could not be read as a whole is never
// overwritten, any other one is replaced by the next write.
TEST_F(OutputPathDeviceFileTest, ReadsTheGoodPairsAndOverwritesOnlyWhatItCouldRead) {
    for (const FileCase& row : kFileCases) {
        SCOPED_TRACE(row.what);
        fs::remove(file);
        if (row.contents) {
            Put(*row.contents);
        }
        brix::OutputPathDeviceFile devices(show.string());
        EXPECT_EQ(devices.GetDevices(), row.pairs);
        if (row.contents) {
            EXPECT_EQ(devices.GetReadError(), row.error);
        } else {
            EXPECT_EQ(devices.GetReadError(), "The Output path config file " + file.string() + " does not exist.");
        }

        const std::string failure = WriteFailure(devices, onePath);
        if (row.unreadable) {
            EXPECT_EQ(failure, "The output path config file " + file.string() +
                                   " is not overwritten, since it could not be read (" + row.error +
                                   "). Correct or remove it, then open the show again.");
            EXPECT_EQ(Contents(), *row.contents);
        } else {
            EXPECT_EQ(failure, "");
            EXPECT_EQ(Contents(), R"({"outputpaths":[{"id":"p","hwid":"hw:CARD=Pit,DEV=0"}]})");
        }
    }
}

TEST_F(OutputPathDeviceFileTest, WritesTheCompactFormSortedByIdBytes) {
    brix::OutputPathDeviceFile devices(show.string());
    devices.Write({
        {"c", "Stage Left", "hw:CARD=PCH,DEV=0", "Speakers"},
        {"\xC3\xA9t\xC3\xA9", "Summer", "x", "X"},
        {"a", "Pit", "", "(default)"},
        {"B", "Monitor", "q\"uote\\", "Q"},
        {"c", "Stage Left", "hw:CARD=USB,DEV=0", "USB"},
    });
    EXPECT_EQ(Contents(), "{\"outputpaths\":[{\"id\":\"B\",\"hwid\":\"q\\\"uote\\\\\"},{\"id\":\"a\",\"hwid\":\"\"},"
                          "{\"id\":\"c\",\"hwid\":\"hw:CARD=USB,DEV=0\"},{\"id\":\"\xC3\xA9t\xC3\xA9\",\"hwid\":\"x\"}]}");
    EXPECT_FALSE(fs::exists(show / "outputpathdevices.json.tmp"));

    // What was written reads back whole.
    brix::OutputPathDeviceFile again(show.string());
    EXPECT_EQ(again.GetReadError(), "");
    EXPECT_EQ(again.GetDevices(),
              (Pairs{{"B", "q\"uote\\"}, {"a", ""}, {"c", "hw:CARD=USB,DEV=0"}, {"\xC3\xA9t\xC3\xA9", "x"}}));

    devices.Write({});
    EXPECT_EQ(Contents(), R"({"outputpaths":[]})");
}

TEST_F(OutputPathDeviceFileTest, AFileThatCannotBeOpenedIsNeitherReadNorOverwritten) {
    fs::create_directory(file);
    brix::OutputPathDeviceFile devices(show.string());
    EXPECT_TRUE(devices.GetDevices().empty());
    EXPECT_EQ(devices.GetReadError(), "The Output path config file " + file.string() + " cannot be read.");
    EXPECT_NE(WriteFailure(devices, onePath).find("is not overwritten"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(file));
}

TEST_F(OutputPathDeviceFileTest, AFailedWriteIsReportedAndKeepsThePreviousFile) {
    Put(kTwoPaths);
    brix::OutputPathDeviceFile devices(show.string());
    // The temporary file's place is taken by a folder.
    fs::create_directory(show / "outputpathdevices.json.tmp");
    EXPECT_EQ(WriteFailure(devices, onePath),
              file.string() + ": cannot be written: the temporary file cannot be created");
    EXPECT_EQ(Contents(), kTwoPaths);
}

}  // namespace
