#include "BrixMidiError.h"
#include "MidiCommandSettings.h"
#include "ScratchFolder.h"

#include <fennic/Exceptions.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <ios>
#include <optional>
#include <string>

namespace {

using midi_commands::LearnedCommand;
using midi_commands::MidiCommandSettings;
using namespace std::string_literals;

const std::string kHeaderBytes = "\x14MidiCommandsSettings";

std::string Record(unsigned char id, unsigned char status, unsigned char channel, unsigned char data) {
    return std::string{static_cast<char>(id), static_cast<char>(status), static_cast<char>(channel),
                       static_cast<char>(data)};
}

class MidiCommandSettingsFile : public ::testing::Test {
protected:
    std::string Save(const MidiCommandSettings& settings) {
        settings.WriteToFile(path);
        return ScratchFolder::ReadBytes(path);
    }
    MidiCommandSettings Load(const std::string& bytes) {
        ScratchFolder::WriteBytes(path, bytes);
        return MidiCommandSettings::ReadFromFile(path);
    }

    ScratchFolder scratch;
    const std::string path = scratch.Path("midicommands");
};

TEST_F(MidiCommandSettingsFile, NoCommandsAndNoSourceWriteExactly28Bytes)
{
    EXPECT_EQ(Save(MidiCommandSettings{}), kHeaderBytes + "\x00"s + "\x00\x00\x00\x00"s + "\x00\x00"s);
}

TEST_F(MidiCommandSettingsFile, ASourceAndALearnedNoteWriteKindIndexCountAndRecord)
{
    MidiCommandSettings settings;
    settings.sourceIndex = 1;
    settings.learnedCommands[2] = LearnedCommand{2, 0x90, 3, 60};
    EXPECT_EQ(Save(settings), kHeaderBytes + "\x01"s + "\x01\x00\x00\x00"s + "\x01\x00"s + "\x02\x90\x03\x3C"s);
}

TEST_F(MidiCommandSettingsFile, RecordsAreWrittenInAscendingCommandIdAndReadBack)
{
    MidiCommandSettings settings;
    settings.sourceIndex = 0x01020304;
    settings.learnedCommands[11] = LearnedCommand{11, 0xC0, 15, 127};
    settings.learnedCommands[0] = LearnedCommand{0, 0xB0, 0, 64};
    settings.learnedCommands[4] = LearnedCommand{4, 0x90, 9, 36};
    const std::string bytes = Save(settings);
    EXPECT_EQ(bytes.substr(22), "\x04\x03\x02\x01"s + "\x03\x00"s + Record(0, 0xB0, 0, 64) +
                                    Record(4, 0x90, 9, 36) + Record(11, 0xC0, 15, 127));
    // Inputs have 8-bit indexes: a source index read back is one of them.
    settings.sourceIndex = 0xC8;
    Save(settings);
    EXPECT_EQ(MidiCommandSettings::ReadFromFile(path), settings);
}

TEST_F(MidiCommandSettingsFile, OnlySourceKindOneRecordsASource)
{
    struct Case {
        unsigned char kind;
        bool hasSource;
    };
    for (const Case& c : {Case{0, false}, Case{1, true}, Case{2, false}, Case{255, false}}) {
        const MidiCommandSettings loaded = Load(kHeaderBytes + static_cast<char>(c.kind) + "\x07\x00\x00\x00"s +
                                                "\x01\x00"s + Record(3, 0x90, 0, 1));
        EXPECT_EQ(loaded.sourceIndex.has_value(), c.hasSource) << int(c.kind);
        if (c.hasSource) {
            EXPECT_EQ(*loaded.sourceIndex, 7u);
        }
        EXPECT_EQ(loaded.learnedCommands.size(), 1u) << "commands load whatever the kind";
    }
}

TEST_F(MidiCommandSettingsFile, ALaterRecordOfTheSameCommandReplacesTheEarlierOne)
{
    const MidiCommandSettings loaded = Load(kHeaderBytes + "\x00"s + "\x00\x00\x00\x00"s + "\x02\x00"s +
                                            Record(5, 0x90, 1, 10) + Record(5, 0xB0, 2, 20));
    ASSERT_EQ(loaded.learnedCommands.size(), 1u);
    EXPECT_EQ(loaded.learnedCommands.at(5), (LearnedCommand{5, 0xB0, 2, 20}));
}

TEST_F(MidiCommandSettingsFile, RecordsOfUnknownCommandIdsAreSkippedWithAWarning)
{
    ::testing::internal::CaptureStdout();
    const MidiCommandSettings loaded = Load(kHeaderBytes + "\x00"s + "\x00\x00\x00\x00"s + "\x04\x00"s +
                                            Record(12, 0x90, 0, 1) + Record(1, 0x90, 0, 2) +
                                            Record(255, 0xB0, 0, 3) + Record(11, 0xC0, 0, 4));
    const std::string console = ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(loaded.learnedCommands.size(), 2u);
    EXPECT_EQ(loaded.learnedCommands.at(1).data, 2);
    EXPECT_EQ(loaded.learnedCommands.at(11).data, 4);
    EXPECT_NE(console.find("WARNING: LoadFromFile skipped a record of the unknown command id 12\n"), std::string::npos)
        << console;
    EXPECT_NE(console.find("WARNING: LoadFromFile skipped a record of the unknown command id 255\n"), std::string::npos)
        << console;
}

TEST_F(MidiCommandSettingsFile, RecordsNoLearnedCommandCanHaveAreSkippedWithAWarning)
{
    struct Case {
        const char* what;
        std::string record;
        const char* warning;
    };
    const Case cases[] = {
        {"status 0x00", Record(3, 0x00, 0, 1), "status 0x00"},
        {"status 0xFF", Record(3, 0xFF, 0, 1), "status 0xFF"},
        {"status with channel bits", Record(3, 0x93, 3, 1), "status 0x93"},
        {"note-off status", Record(3, 0x80, 0, 1), "status 0x80"},
        {"pitch-bend status", Record(3, 0xE0, 0, 1), "status 0xE0"},
        {"channel 16", Record(3, 0x90, 16, 1), "channel 16"},
        {"channel 255", Record(3, 0xB0, 255, 1), "channel 255"},
        {"data 128", Record(3, 0xC0, 0, 128), "data 128"},
        {"data 255", Record(3, 0x90, 15, 255), "data 255"},
    };
    for (const Case& c : cases) {
        ::testing::internal::CaptureStdout();
        const MidiCommandSettings loaded = Load(kHeaderBytes + "\x00"s + "\x00\x00\x00\x00"s + "\x02\x00"s +
                                                c.record + Record(4, 0x90, 15, 127));
        const std::string console = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(loaded.learnedCommands.count(3), 0u) << c.what;
        EXPECT_EQ(loaded.learnedCommands.at(4), (LearnedCommand{4, 0x90, 15, 127})) << c.what;
        EXPECT_EQ(console, "WARNING: LoadFromFile skipped a record of command id 3 with "s + c.warning + "\n") << c.what;
    }
}

TEST_F(MidiCommandSettingsFile, ASourceIndexNoMidiInputCanHaveIsSkippedWithAWarning)
{
    struct Case {
        std::string index;
        std::optional<std::uint32_t> source;
        std::string console;
    };
    const Case cases[] = {
        {"\xFF\x00\x00\x00"s, 255u, ""},
        {"\x00\x01\x00\x00"s, std::nullopt, "WARNING: LoadFromFile skipped the source index 256\n"},
        {"\xFF\xFF\xFF\xFF"s, std::nullopt, "WARNING: LoadFromFile skipped the source index 4294967295\n"},
    };
    for (const Case& c : cases) {
        ::testing::internal::CaptureStdout();
        const MidiCommandSettings loaded =
            Load(kHeaderBytes + "\x01"s + c.index + "\x01\x00"s + Record(2, 0x90, 3, 60));
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), c.console);
        EXPECT_EQ(loaded.sourceIndex, c.source) << c.console;
        EXPECT_EQ(loaded.learnedCommands.size(), 1u) << "the commands load without the source";
    }
}

TEST_F(MidiCommandSettingsFile, AFileCutShortAtAnyLengthFailsWithAStreamFailure)
{
    const std::string whole = kHeaderBytes + "\x01"s + "\x02\x00\x00\x00"s + "\x02\x00"s + Record(2, 0x90, 3, 60) +
                              Record(7, 0xB0, 1, 5);
    ASSERT_NO_THROW(Load(whole));
    for (std::size_t length = 0; length < whole.size(); ++length) {
        EXPECT_THROW(Load(whole.substr(0, length)), std::ios_base::failure) << "length " << length;
    }
}

TEST_F(MidiCommandSettingsFile, ACountBeyondTheRecordsLoadsNothing)
{
    for (const std::string& count : {"\x03\x00"s, "\xFF\xFF"s}) {
        EXPECT_THROW(Load(kHeaderBytes + "\x00"s + "\x00\x00\x00\x00"s + count + Record(1, 0x90, 0, 1) +
                          Record(2, 0x90, 0, 2)),
                     std::ios_base::failure);
    }
}

TEST_F(MidiCommandSettingsFile, BytesAfterTheLastRecordAreIgnored)
{
    const MidiCommandSettings loaded = Load(kHeaderBytes + "\x00"s + "\x00\x00\x00\x00"s + "\x01\x00"s +
                                            Record(9, 0xC0, 4, 8) + std::string(5000, '\xEE'));
    ASSERT_EQ(loaded.learnedCommands.size(), 1u);
    EXPECT_EQ(loaded.learnedCommands.at(9), (LearnedCommand{9, 0xC0, 4, 8}));
}

TEST_F(MidiCommandSettingsFile, AnotherHeaderIsAnUnrecognizedFile)
{
    const std::string rest = "\x00"s + "\x00\x00\x00\x00"s + "\x00\x00"s;
    const std::string headers[] = {
        "\x13MidiCommandsSetting"s,
        "\x14MidiCommandsSettingz"s,
        "\x14MidiTimeCodeSettings"s,
        "\x00"s,
        "\x15MidiCommandsSettings!"s,
    };
    for (const std::string& header : headers) {
        try {
            Load(header + rest);
            ADD_FAILURE() << "no exception for " << header;
        } catch (const BrixMidiError& error) {
            EXPECT_STREQ(error.what(), "Unrecognized command settings file.");
        }
    }
}

TEST_F(MidiCommandSettingsFile, AMissingFileIsAnIoError)
{
    EXPECT_THROW(MidiCommandSettings::ReadFromFile(scratch.Path("missing")), fennic::IoError);
}

TEST_F(MidiCommandSettingsFile, AnUnwritablePathIsNotWritableAndKeepsTheOldFile)
{
    ScratchFolder::WriteBytes(path, "old");
    std::filesystem::create_directory(path + ".tmp");
    try {
        Save(MidiCommandSettings{});
        ADD_FAILURE() << "no exception";
    } catch (const fennic::IoError& error) {
        EXPECT_EQ(std::string(error.what()), path + " is not writable.");
    }
    EXPECT_EQ(ScratchFolder::ReadBytes(path), "old");
}

}  // namespace
