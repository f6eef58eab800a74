#include "ChangeLogFixtures.h"
#include "../brix_midi/ScratchFolder.h"

#include <brix_core/LogDataFile.h>

#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace change_log_fixtures;

// A log with every kind of event (every field of the record set somewhere, texts with bytes above
// 127 and a NUL), networks, output paths, a version and songs with and without events.
CL::ChangeLog RichLog() {
    CL::ChangeLog log;
    log.SetVersion(cmn::BRIXVersion(3, 7));
    log.SetNetworks({{"Lights", "NETWORK0", "10.0.0.5", 53000, false},
                     {"Sound \xC3\x9C", "NETWORK1", "127.0.0.1", -1, true}});
    log.SetOutputPath(CL::OutputPath("b-id", "Stage Left", "", ""));
    log.SetOutputPath(CL::OutputPath("a-id", "Pit", "", ""));
    CL::SongLog one("1", "Overture");
    for (const cmn::BrixEvent& event : EveryKind()) {
        one.AddEvent(event);
    }
    cmn::BrixEvent cut = CL::Cut(13440, 14400, "B2", -7);
    cut.SetSfxProperties(CL::SfxProperties("boom"));
    cut.SetStringValue(std::string("with\0nul", 8));
    one.AddEvent(cut);
    CL::SongLog two("2A", "Finale \xE2\x99\xAA");
    two.AddEvent(CL::Marker(0, "", "E2"));
    log.AddSongLog(one);
    log.AddSongLog(two);
    log.AddSongLog(CL::SongLog("10", ""));
    return log;
}

std::string LE32(std::uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) {
        bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    }
    return bytes;
}

std::string Text(const std::string& text) { return LE32(static_cast<std::uint32_t>(text.size())) + text; }

std::string EventBytes(const cmn::BrixEvent& event, cmn::FileVersion version) {
    std::ostringstream out;
    event.WriteBinary(out, version);
    return out.str();
}

// Song "1" named "A" with one click L1, version 1.2, no networks, no output paths.
CL::ChangeLog SmallLog() {
    CL::ChangeLog log;
    log.SetVersion(cmn::BRIXVersion(1, 2));
    CL::SongLog song("1", "A");
    song.AddEvent(CL::Click(0, 960, "L1", 2));
    log.AddSongLog(song);
    return log;
}

TEST(LogDataLayout, TheFileIsMagicFormatVersionNetworksPathsAndOneSequencePerKindPerSong) {
    std::string expected = std::string("BRIXLOGD") + LE32(1) + std::string("\x01\x00\x02\x00", 4) +
                           LE32(0) + LE32(0) + LE32(1) + Text("1") + Text("A") + LE32(10);
    expected += "L" + LE32(1) + EventBytes(CL::Click(0, 960, "L1", 2), {1, 2});
    for (const char code : std::string("FCEBA@MNS")) {
        expected += code + LE32(0);
    }
    EXPECT_EQ(CL::WriteLogData(SmallLog()), expected);

    CL::ChangeLog withNetworkAndPath;
    withNetworkAndPath.SetNetworks({{"QLab", "N0", "127.0.0.1", 53000, true}});
    withNetworkAndPath.SetOutputPath(CL::OutputPath("id", "Pit", "hw:1", "Card"));
    const std::string head = std::string("BRIXLOGD") + LE32(1) + std::string("\x01\x00\x00\x00", 4) +
                             LE32(1) + Text("QLab") + Text("N0") + Text("127.0.0.1") + LE32(53000) +
                             "\x01" + LE32(1) + Text("id") + Text("Pit") + LE32(0);
    EXPECT_EQ(CL::WriteLogData(withNetworkAndPath), head);
}

TEST(LogDataRoundTrip, KeepsEveryEventNetworkPathAndVersionByteForByte) {
    const CL::ChangeLog log = RichLog();
    const std::string bytes = CL::WriteLogData(log);
    const CL::ChangeLog read = CL::ReadLogData(bytes, "rich.logdata");
    EXPECT_EQ(read, log);
    EXPECT_EQ(read.GetSongLog("1").GetAllEvents(), log.GetSongLog("1").GetAllEvents());
    EXPECT_EQ(CL::WriteLogData(read), bytes);
}

TEST(LogDataRoundTrip, KeepsTheBitsOfAFloatThatIsNoNumber) {
    CL::ChangeLog log;
    CL::SongLog song("1", "A");
    cmn::BrixEvent click = CL::Click(0, 960, "L1", 2);
    click.SetFloatValue(std::bit_cast<double>(std::uint64_t{0x7FF80000DEADBEEF}));
    song.AddEvent(click);
    log.AddSongLog(song);
    const std::string bytes = CL::WriteLogData(log);
    EXPECT_EQ(CL::WriteLogData(CL::ReadLogData(bytes, "nan.logdata")), bytes);
}

// The error of a damaged file: fennic::IoError naming the source and saying it is damaged.
void ExpectDamaged(const std::string& bytes, const std::string& why, const std::string& context) {
    try {
        CL::ReadLogData(bytes, "show-1.2.logdata");
        ADD_FAILURE() << context << ": read without error";
    } catch (const CL::ChangeLogVersionError& error) {
        ADD_FAILURE() << context << ": version error " << error.what();
    } catch (const fennic::IoError& error) {
        const std::string what = error.what();
        EXPECT_EQ(what.rfind("show-1.2.logdata: damaged change-log file: ", 0), 0u) << context << ": " << what;
        EXPECT_NE(what.find(why), std::string::npos) << context << ": " << what;
    }
}

TEST(LogDataDamage, AFileCutShortAtEveryLengthIsDamaged) {
    const std::string bytes = CL::WriteLogData(RichLog());
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        ExpectDamaged(bytes.substr(0, length), "", "cut to " + std::to_string(length) + " bytes");
    }
}

std::string Patched(std::string bytes, std::size_t offset, const std::string& with) {
    return bytes.replace(offset, with.size(), with);
}

TEST(LogDataDamage, DamagedFilesGiveTheirErrorNeverACrashOrAHugeAllocation) {
    const std::string small = CL::WriteLogData(SmallLog());
    // Offsets in the small file: counts of networks 16, paths 20, songs 24; the song number's length
    // 28, the sequence count 38, the click sequence's code 42 and count 43, the event at 47 (code 47,
    // paired 48, start 49, end 53, id length 73).
    const std::string huge = LE32(0xFFFFFFFF);

    CL::ChangeLog twoEach;
    twoEach.SetNetworks({{"A", "N1", "", 1, false}, {"B", "N2", "", 2, false}});
    twoEach.SetOutputPath(CL::OutputPath("p1", "X", "", ""));
    twoEach.SetOutputPath(CL::OutputPath("p2", "Y", "", ""));
    CL::SongLog one("1", "");
    one.AddEvent(CL::Cut(0, 960, "B1", 0));
    one.AddEvent(CL::Cut(960, 1920, "B2", 0));
    twoEach.AddSongLog(one);
    twoEach.AddSongLog(CL::SongLog("2", ""));
    const std::string two = CL::WriteLogData(twoEach);
    const auto at = [&](const std::string& text) { return two.find(text); };

    struct Case {
        const char* name;
        std::string bytes;
        const char* why;
    };
    const std::vector<Case> cases = {
        {"another magic word", Patched(small, 0, "X"), "this is no change-log file"},
        {"huge network count", Patched(small, 16, huge), "does not fit"},
        {"huge output path count", Patched(small, 20, huge), "does not fit"},
        {"huge song count", Patched(small, 24, huge), "does not fit"},
        {"huge song number length", Patched(small, 28, huge), "does not fit"},
        {"huge sequence count", Patched(small, 38, huge), "does not fit"},
        {"huge event count", Patched(small, 43, huge), "does not fit"},
        {"huge event id length", Patched(small, 73, huge), "does not fit"},
        {"a byte after the last song", small + std::string(1, '\0'), "1 bytes follow the last song"},
        {"an unknown sequence code", Patched(small, 42, "Z"), "no change-log kind"},
        {"the tempo code 68", Patched(small, 42, "D"), "no change-log kind"},
        {"a repeated sequence code", Patched(small, small.find(std::string("F") + LE32(0)), "L"),
         "appears twice"},
        {"an event of another code than its sequence", Patched(small, 47, "F"), "in the sequence of code"},
        {"a paired flag of 2", Patched(small, 48, "\x02"), "not 0 or 1"},
        {"a click without its region flag", Patched(small, 48, std::string(1, '\0')),
         "region flag does not fit"},
        {"a region ending before it starts", Patched(small, 49, LE32(2000)), "end does not fit"},
        {"a repeated song number", Patched(two, at(Text("2") + Text("")), Text("1")), "appears twice"},
        {"a repeated event id", Patched(two, at("B2"), "B1"), "\"B1\" appears twice"},
        {"a repeated network id", Patched(two, at("N2"), "N1"), "\"N1\" appears twice"},
        {"a repeated output path id", Patched(two, at("p2"), "p1"), "\"p1\" appears twice"},
        {"a TCP flag of 2", Patched(two, at(Text("N1")) + 10 + 4, "\x02"), "not 0 or 1"},
    };
    for (const Case& c : cases) {
        ExpectDamaged(c.bytes, c.why, c.name);
    }
}

TEST(LogDataRoundTrip, AVampOrRepeatEndingBeforeItsStartIsReadAsItIsForTheEngineToRepair) {
    CL::ChangeLog log;
    CL::SongLog song("1", "A");
    for (cmn::BrixEvent loop : {cmn::BrixEvent(CL::Vamp(960, 1920, "V1", 0)), cmn::BrixEvent(CL::Repeat(960, 1920, "R1", 2))}) {
        loop.SetStart(1920);
        loop.SetEnd(960);
        song.AddEvent(loop);
    }
    log.AddSongLog(song);
    const CL::ChangeLog read = CL::ReadLogData(CL::WriteLogData(log), "loops");
    ASSERT_EQ(read.GetSongLog("1").GetVamps().size(), 1u);
    EXPECT_EQ(read.GetSongLog("1").GetVamps()[0].end(), 960u);
    ASSERT_EQ(read.GetSongLog("1").GetRepeats().size(), 1u);
    EXPECT_EQ(read.GetSongLog("1").GetRepeats()[0].end(), 960u);
}

TEST(LogDataDamage, ANewerFormatIsAVersionErrorNamingTheFile) {
    for (const std::uint32_t format : {2u, 0xFFFFFFFFu}) {
        const std::string bytes = Patched(CL::WriteLogData(SmallLog()), 8, LE32(format)) + "later data";
        try {
            CL::ReadLogData(bytes, "show-9.0.logdata");
            ADD_FAILURE() << "format " << format << " read";
        } catch (const CL::ChangeLogVersionError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "show-9.0.logdata: the change log has format " + std::to_string(format) +
                          ", but this program reads formats up to 1");
        }
    }
}

// ---- file names and files ----------------------------------------------------------------------

TEST(LogDataFileName, IsTheShowKeyAndTheVersion) {
    EXPECT_EQ(CL::LogDataFileName("Les Mis-Tour", cmn::BRIXVersion(2, 13)), "Les Mis-Tour-2.13.logdata");
    EXPECT_THROW(CL::LogDataFileName("", cmn::BRIXVersion(1, 0)), std::invalid_argument);
    EXPECT_THROW(CL::LogDataFileName("../up", cmn::BRIXVersion(1, 0)), std::invalid_argument);
    EXPECT_THROW(CL::LogDataFileName(std::string("a\0b", 3), cmn::BRIXVersion(1, 0)),
                 std::invalid_argument);
}

TEST(LogDataFileName, TheVersionFollowsTheLastDashOrIsTheWholeStem) {
    struct Case {
        const char* name;
        std::optional<cmn::BRIXVersion> version;
    };
    const Case cases[] = {
        {"show-1.2.logdata", cmn::BRIXVersion(1, 2)},
        {"my-show-3.0.logdata", cmn::BRIXVersion(3, 0)},
        {"/some/folder/x-0.255.logdata", cmn::BRIXVersion(0, 255)},
        {"1.5.logdata", cmn::BRIXVersion(1, 5)},
        {"show.logdata", std::nullopt},
        {"show-1.2.txt", std::nullopt},
        {"show-1.2.logdata.tmp", std::nullopt},
        {"show-x.y.logdata", std::nullopt},
        {"show-70000.1.logdata", std::nullopt},
        {".logdata", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CL::LogDataFileVersion(c.name), c.version) << c.name;
    }
}

TEST(LogDataFile, IsWrittenUnderItsVersionAndReadBackWithItsModificationTime) {
    ScratchFolder scratch;
    const CL::ChangeLog log = RichLog();
    const fs::path path = CL::WriteLogDataFile(scratch.Folder(), "show", log);
    EXPECT_EQ(path, scratch.Folder() / "show-3.7.logdata");
    EXPECT_EQ(ScratchFolder::ReadBytes(path.string()), CL::WriteLogData(log));
    EXPECT_FALSE(fs::exists(path.string() + ".tmp"));

    const auto when = std::chrono::sys_seconds(std::chrono::seconds(1700000000));
    fs::last_write_time(path, std::chrono::file_clock::from_sys(when));
    const CL::ChangeLog read = CL::ReadLogDataFile(path);
    EXPECT_EQ(read.GetModificationTime(), 1700000000);
    CL::ChangeLog expected = log;
    expected.SetModificationTime(1700000000);
    EXPECT_EQ(read, expected);
}

TEST(LogDataFile, AFailedWriteLeavesThePreviousFileAsItWas) {
    ScratchFolder scratch;
    CL::ChangeLog log = SmallLog();
    const fs::path path = CL::WriteLogDataFile(scratch.Folder(), "show", log);
    const std::string before = ScratchFolder::ReadBytes(path.string());
    fs::create_directory(path.string() + ".tmp");  // the temporary file cannot be made
    log.GetSongLog("1").AddEvent(CL::Cut(0, 960, "B1", 0));
    try {
        CL::WriteLogDataFile(scratch.Folder(), "show", log);
        ADD_FAILURE() << "written";
    } catch (const fennic::IoError& error) {
        EXPECT_NE(std::string(error.what()).find(path.string()), std::string::npos) << error.what();
    }
    EXPECT_EQ(ScratchFolder::ReadBytes(path.string()), before);
}

TEST(LogDataFile, AMissingOrOversizedFileIsAnIoErrorNamingIt) {
    ScratchFolder scratch;
    const fs::path missing = scratch.Folder() / "gone-1.0.logdata";
    try {
        CL::ReadLogDataFile(missing);
        ADD_FAILURE() << "read";
    } catch (const fennic::IoError& error) {
        EXPECT_EQ(std::string(error.what()).rfind(missing.string() + ": cannot be read", 0), 0u);
    }
    const fs::path big = scratch.Folder() / "big-1.0.logdata";
    ScratchFolder::WriteBytes(big.string(), CL::WriteLogData(SmallLog()));
    fs::resize_file(big, CL::kMaxLogDataFileSize + 1);  // sparse: nothing is written
    try {
        CL::ReadLogDataFile(big);
        ADD_FAILURE() << "read";
    } catch (const fennic::IoError& error) {
        EXPECT_NE(std::string(error.what()).find("more than a change-log file holds"), std::string::npos);
    }
}

TEST(LogDataFile, TheLatestFileIsTheOneWhoseNameGivesTheGreatestVersion) {
    ScratchFolder scratch;
    EXPECT_EQ(CL::FindLatestLogDataFile(scratch.Folder()), std::nullopt);
    EXPECT_EQ(CL::FindLatestLogDataFile(scratch.Folder() / "no such folder"), std::nullopt);
    for (const char* name : {"show-1.9.logdata", "show-1.10.logdata", "notes.txt", "bad.logdata",
                             "b-1.10.logdata"}) {
        ScratchFolder::WriteBytes(scratch.Path(name), "");
    }
    fs::create_directory(scratch.Folder() / "z-9.9.logdata");  // a folder, not a file
    EXPECT_EQ(CL::FindLatestLogDataFile(scratch.Folder()), scratch.Folder() / "b-1.10.logdata");
    ScratchFolder::WriteBytes(scratch.Path("show-2.0.logdata"), "");
    EXPECT_EQ(CL::FindLatestLogDataFile(scratch.Folder()), scratch.Folder() / "show-2.0.logdata");
}

CL::ChangeLog ShowLog() {
    CL::ChangeLog log;
    log.AddSongLog(CL::SongLog("1", "Overture"));
    log.AddSongLog(CL::SongLog("2", "Finale"));
    return log;
}

TEST(LogDataFile, AShowWithoutAFileStartsWithItsEmptyLogOfVersionOnePointZero) {
    ScratchFolder scratch;
    const CL::ChangeLog log = CL::LoadLatestLogData(scratch.Folder(), ShowLog());
    EXPECT_EQ(log, ShowLog());
    EXPECT_EQ(log.GetVersion(), cmn::BRIXVersion(1, 0));
}

TEST(LogDataFile, TheLatestFileIsLoadedInTheShowsSongOrderKeepingSongsTheShowLacks) {
    ScratchFolder scratch;
    CL::ChangeLog saved;
    saved.SetVersion(cmn::BRIXVersion(2, 1));
    saved.SetNetworks({{"QLab", "N0", "127.0.0.1", 53000, false}});
    saved.SetOutputPath(CL::OutputPath("p", "Pit", "", ""));
    CL::SongLog gone("9", "Cut song");
    gone.AddEvent(CL::Marker(0, "Old", "E9"));
    CL::SongLog two("2", "Old name");
    two.AddEvent(CL::Cut(0, 960, "B1", 0));
    saved.AddSongLog(gone);
    saved.AddSongLog(two);
    CL::WriteLogDataFile(scratch.Folder(), "show", saved);
    CL::ChangeLog older = SmallLog();
    older.SetVersion(cmn::BRIXVersion(1, 9));
    CL::WriteLogDataFile(scratch.Folder(), "show", older);

    const CL::ChangeLog log = CL::LoadLatestLogData(scratch.Folder(), ShowLog());
    EXPECT_EQ(log.GetVersion(), cmn::BRIXVersion(2, 1));
    EXPECT_EQ(log.GetNetworks(), saved.GetNetworks());
    EXPECT_EQ(log.GetOutputPaths(), saved.GetOutputPaths());
    EXPECT_GT(log.GetModificationTime(), 0);
    ASSERT_EQ(log.GetSongLogs().size(), 3u);
    EXPECT_EQ(log.GetSongLogs()[0], CL::SongLog("1", "Overture"));
    EXPECT_EQ(log.GetSongLogs()[1].GetSongName(), "Finale");
    EXPECT_EQ(log.GetSongLogs()[1].GetCuts(), two.GetCuts());
    EXPECT_EQ(log.GetSongLogs()[2], gone);
}

}  // namespace
