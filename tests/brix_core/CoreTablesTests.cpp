#include "ChangeLogFixtures.h"
#include "../brix_midi/ScratchFolder.h"

#include <brix_core/BRIXVersion.h>
#include <brix_core/Directories.h>
#include <brix_core/EventCodes.h>
#include <brix_core/Keys.h>
#include <brix_core/StatusNames.h>

#include <fennic/Exceptions.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

TEST(EventCodes, TheTempoScaleIsCode70Everywhere) {
    EXPECT_EQ(codes::tempoScale, 70);
    EXPECT_EQ(CL::TempoScale::evt_code, 70);
    EXPECT_EQ(CL::TempoScale(0, 960, "F1", 0.9).code(), 70);
    EXPECT_EQ(codes::EditName(70), "TempoScale");
    EXPECT_TRUE(codes::IsChangeLogCode(70));
    EXPECT_TRUE(codes::IsRegionCode(70));
    EXPECT_FALSE(codes::IsChangeLogCode(68));
    EXPECT_EQ(codes::EditName(68), "");
}

TEST(EventCodes, SharedTablesAreReadWithoutInserting) {
    const std::size_t names = codes::editNameByBrixEventCode.size();
    const std::size_t statuses = std_midi::sb::status_names.size();
    for (int code = 0; code < 256; ++code) {
        codes::EditName(static_cast<unsigned char>(code));
    }
    EXPECT_EQ(codes::EditName(0x99), "");
    EXPECT_EQ(codes::editNameByBrixEventCode.size(), names);
    try {
        std_midi::sb::StatusName(0x85);
        ADD_FAILURE() << "a status with its channel has a name";
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), "invalid map<K, T> key");
    }
    EXPECT_EQ(std_midi::sb::status_names.size(), statuses);
}

// The kinds of a song log come out kind by kind in the order of codes::changeLogCodes, the order the
// change-log file writes them in.
TEST(EventCodes, TheChangeLogKindsAreListedInTheSongLogsOrder) {
    std::vector<cmn::BrixEvent> events = change_log_fixtures::EveryKind();
    std::reverse(events.begin(), events.end());
    CL::SongLog log;
    for (const cmn::BrixEvent& event : events) {
        log.AddEvent(event);
    }
    std::vector<unsigned char> order;
    for (const cmn::BrixEvent& event : log.GetAllEvents()) {
        order.push_back(event.code());
        EXPECT_EQ(codes::IsRegionCode(event.code()), event.IsPairedEvent()) << event.EventId();
    }
    EXPECT_EQ(order, std::vector<unsigned char>(std::begin(codes::changeLogCodes),
                                                std::end(codes::changeLogCodes)));
    EXPECT_THROW(log.AddEvent(cmn::BrixEvent()), std::invalid_argument);
}

TEST(StatusNames, EveryChannelVoiceStatusHasItsOwnName) {
    std::set<std::string> names;
    for (int status = 0x80; status <= 0xE0; status += 0x10) {
        const std::string& name = std_midi::sb::StatusName(status);
        EXPECT_FALSE(name.empty()) << status;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 7u);
    EXPECT_EQ(std_midi::sb::StatusName(0x90), "Note On");
}

TEST(Keys, AKeysNameFromItsSignature) {
    EXPECT_EQ(Keys::keyNameFromSig(0, 0), "C major");
    EXPECT_EQ(Keys::keyNameFromSig(2, 0), "D major");
    EXPECT_EQ(Keys::keyNameFromSig(-3, 1), "C minor");
    EXPECT_EQ(Keys::keyNameFromSig(-6, 0), "Gb major");
}

TEST(BRIXVersion, ReadsOnlyTwoNumbersJoinedByAFullStop) {
    struct Case {
        const char* text;
        bool read;
        std::uint16_t major;
        std::uint16_t minor;
    };
    const Case cases[] = {
        {"1.0", true, 1, 0},       {"12.34", true, 12, 34}, {"65535.65535", true, 65535, 65535},
        {"007.010", true, 7, 10},  {"65536.0", false, 0, 0}, {"1", false, 0, 0},
        {"1.", false, 0, 0},       {".1", false, 0, 0},      {"+1.2", false, 0, 0},
        {"-1.2", false, 0, 0},     {" 1.2", false, 0, 0},    {"1.2 ", false, 0, 0},
        {"1.2.3", false, 0, 0},    {"a.b", false, 0, 0},     {"", false, 0, 0},
    };
    for (const Case& c : cases) {
        cmn::BRIXVersion version(9, 9);
        EXPECT_EQ(version.SetWithString(c.text), c.read) << c.text;
        EXPECT_EQ(version, c.read ? cmn::BRIXVersion(c.major, c.minor) : cmn::BRIXVersion(9, 9)) << c.text;
    }
}

TEST(BRIXVersion, IsWrittenMajorDotMinorAndOrderedByMajorThenMinor) {
    EXPECT_EQ(cmn::BRIXVersion(3, 12).GetAsString(), "3.12");
    EXPECT_EQ(cmn::BRIXVersion().GetAsString(), "0.0");
    EXPECT_LT(cmn::BRIXVersion(1, 9), cmn::BRIXVersion(1, 10));
    EXPECT_LT(cmn::BRIXVersion(1, 255), cmn::BRIXVersion(2, 0));
    EXPECT_EQ(cmn::BRIXVersion(cmn::FileVersion{4, 1}).GetFileVersion(), (cmn::FileVersion{4, 1}));
    EXPECT_EQ(CL::ChangeLog().GetVersion(), cmn::BRIXVersion(1, 0));
}

TEST(MakeDirectoryIfNeeded, CreatesMissingFoldersAndRefusesAFileInTheWay) {
    ScratchFolder scratch;
    const std::filesystem::path nested = scratch.Folder() / "a" / "b";
    brix::MakeDirectoryIfNeeded(nested);
    EXPECT_TRUE(std::filesystem::is_directory(nested));
    brix::MakeDirectoryIfNeeded(nested);  // already there
    ScratchFolder::WriteBytes(scratch.Path("file"), "x");
    try {
        brix::MakeDirectoryIfNeeded(scratch.Folder() / "file");
        ADD_FAILURE() << "no error";
    } catch (const fennic::IoError& error) {
        EXPECT_NE(std::string(error.what()).find(scratch.Path("file")), std::string::npos);
    }
}

}  // namespace
