#include "ScratchFolder.h"
#include "SettingsFileReader.h"
#include "SettingsFileWriter.h"

#include <fennic/Exceptions.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <ios>
#include <stdexcept>
#include <string>

namespace {

using namespace std::string_literals;

TEST(SettingsFileWriter, WritesIntegersLittleEndianAndStringsWithALengthByte)
{
    SettingsFileWriter writer;
    writer.WriteU8(0xAB);
    writer.WriteU16(0x1234);
    writer.WriteU32(0xDEADBEEF);
    writer.WriteString("abc");
    writer.WriteString("");
    EXPECT_EQ(writer.GetBytes(), "\xAB\x34\x12\xEF\xBE\xAD\xDE\x03"
                                 "abc\x00"s);
}

TEST(SettingsFileWriter, RefusesAStringOf256BytesOrMoreAndWritesNothingOfIt)
{
    struct Case {
        std::size_t length;
        bool accepted;
    };
    for (const Case& c : {Case{255, true}, Case{256, false}, Case{1000, false}}) {
        SettingsFileWriter writer;
        writer.WriteU8(7);
        if (c.accepted) {
            writer.WriteString(std::string(c.length, 'x'));
            EXPECT_EQ(writer.GetBytes().size(), 2 + c.length) << c.length;
            continue;
        }
        try {
            writer.WriteString(std::string(c.length, 'x'));
            ADD_FAILURE() << "no exception for " << c.length;
        } catch (const std::length_error& error) {
            EXPECT_STREQ(error.what(), "String length is limited to 256 characters");
        }
        EXPECT_EQ(writer.GetBytes(), "\x07") << c.length;
    }
}

TEST(SettingsFileReader, ReadsBackWhatTheWriterCommitted)
{
    ScratchFolder scratch;
    const std::string path = scratch.Path("settings");
    SettingsFileWriter writer;
    writer.WriteU32(0x01020304);
    writer.WriteString(std::string(255, 'z'));
    writer.WriteU16(0xFFFF);
    writer.WriteU8(0);
    writer.Commit(path);

    SettingsFileReader reader(path);
    EXPECT_EQ(reader.ReadU32(), 0x01020304u);
    EXPECT_EQ(reader.ReadString(), std::string(255, 'z'));
    EXPECT_EQ(reader.ReadU16(), 0xFFFF);
    EXPECT_EQ(reader.ReadU8(), 0);
    EXPECT_THROW(reader.ReadU8(), std::ios_base::failure);
}

TEST(SettingsFileReader, FailsWithAStreamFailureWhenAFieldRunsPastTheEnd)
{
    ScratchFolder scratch;
    const std::string path = scratch.Path("short");
    struct Case {
        std::string bytes;
        std::function<void(SettingsFileReader&)> read;
        const char* what;
    };
    const Case cases[] = {
        {"", [](SettingsFileReader& r) { r.ReadU8(); }, "u8 of an empty file"},
        {"\x01", [](SettingsFileReader& r) { r.ReadU16(); }, "u16 of one byte"},
        {"\x01\x02\x03", [](SettingsFileReader& r) { r.ReadU32(); }, "u32 of three bytes"},
        {"\x05" "abcd", [](SettingsFileReader& r) { r.ReadString(); }, "string of four bytes of five"},
    };
    for (const Case& c : cases) {
        ScratchFolder::WriteBytes(path, c.bytes);
        SettingsFileReader reader(path);
        EXPECT_THROW(c.read(reader), std::ios_base::failure) << c.what;
    }
}

TEST(SettingsFileReader, AFileThatCannotBeOpenedIsAnIoError)
{
    ScratchFolder scratch;
    EXPECT_THROW(SettingsFileReader reader(scratch.Path("missing")), fennic::IoError);
}

TEST(SettingsFileWriter, CommitReplacesTheOldFileAndLeavesNoTemporaryFile)
{
    ScratchFolder scratch;
    const std::string path = scratch.Path("settings");
    ScratchFolder::WriteBytes(path, "an older and longer file");
    SettingsFileWriter writer;
    writer.WriteString("new");
    writer.Commit(path);
    EXPECT_EQ(ScratchFolder::ReadBytes(path), "\x03new");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST(SettingsFileWriter, AFailedCommitThrowsNotWritableAndKeepsTheOldFile)
{
    ScratchFolder scratch;
    const std::string path = scratch.Path("settings");
    ScratchFolder::WriteBytes(path, "old");
    // The temporary file's place is taken by a folder, so the new file cannot be written.
    std::filesystem::create_directory(path + ".tmp");
    SettingsFileWriter writer;
    writer.WriteString("new");
    try {
        writer.Commit(path);
        ADD_FAILURE() << "no exception";
    } catch (const fennic::IoError& error) {
        EXPECT_EQ(std::string(error.what()), path + " is not writable.");
    }
    EXPECT_EQ(ScratchFolder::ReadBytes(path), "old");

    const std::string inMissingFolder = scratch.Path("no such folder/settings");
    EXPECT_THROW(writer.Commit(inMissingFolder), fennic::IoError);
}

}  // namespace
