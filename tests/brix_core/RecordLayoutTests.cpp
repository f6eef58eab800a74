#include <brix_core/ChangeLog.h>
#include <brix_core/Timeline.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <sstream>

namespace {

TEST(RecordLayout, TimelineRecordsHaveTheirFixedSizesAndFieldOffsets) {
    EXPECT_EQ(sizeof(TL::BarsBeats), 16u);
    EXPECT_EQ(offsetof(TL::BarsBeats, tick), 0u);
    EXPECT_EQ(offsetof(TL::BarsBeats, beat), 12u);

    EXPECT_EQ(sizeof(TL::Key), 8u);
    EXPECT_EQ(offsetof(TL::Key, mode), 4u);
    EXPECT_EQ(offsetof(TL::Key, sharpsFlats), 6u);

    EXPECT_EQ(sizeof(TL::Meter), 8u);
    EXPECT_EQ(offsetof(TL::Meter, clocks_per_click), 6u);
    EXPECT_EQ(offsetof(TL::Meter, notated_32nds), 7u);

    EXPECT_EQ(sizeof(TL::PageNum), 8u);
    EXPECT_EQ(offsetof(TL::PageNum, page), 4u);

    EXPECT_EQ(sizeof(TL::Tempo), 8u);
    EXPECT_EQ(offsetof(TL::Tempo, microsecondsPerQuarter), 4u);
}

TEST(RecordLayout, BarLabelKeepsTheBarNumberAsText) {
    const TL::BarsBeats record(960, 12, 3);
    EXPECT_EQ(record.bar_number(), "12");
    EXPECT_EQ(TL::as_string(record), "12:3");
    EXPECT_EQ(TL::BarsBeats(0, 12345678, 1).bar_number(), "12345678");
}

TEST(TempoRecord, ConvertsMicrosecondsPerQuarterToClockTimeBpmAndTickTime) {
    const TL::Tempo tempo(0, 500000);  // 120 quarter notes per minute
    EXPECT_DOUBLE_EQ(tempo.seconds_per_clock(), 0.5 / 24);
    EXPECT_DOUBLE_EQ(tempo.bpm(24), 120.0);
    EXPECT_DOUBLE_EQ(tempo.bpm(36), 80.0);  // dotted-quarter clicks
    EXPECT_DOUBLE_EQ(tempo.bpm(12), 240.0);
    EXPECT_DOUBLE_EQ(tempo.tick_time(480), 0.5 / 480);
}

TEST(TempoRecord, ZeroClicksOrZeroResolutionGiveZeroInsteadOfInfinity) {
    const TL::Tempo tempo(0, 500000);
    EXPECT_EQ(tempo.bpm(0), 0.0);
    EXPECT_EQ(tempo.tick_time(0), 0.0);
}

TEST(ClickEvent, ClocksPerClickIsValueTimes24OverNotated32ndsPerQuarter) {
    struct Case {
        int value;
        unsigned char notated32nds;
        int clocks;
    };
    const Case cases[] = {
        {2, 8, 6},    // sixteenths
        {8, 8, 24},   // quarters
        {12, 8, 36},  // dotted quarters, as in 6/8
        {16, 8, 48},  // halves
        {3, 8, 9},    // dotted sixteenths
        {4, 0, 12},   // a meter without the value counts as 8
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CL::Click(0, 960, "L1", c.value).ClocksPerClick(c.notated32nds), c.clocks)
            << "value " << c.value << ", notated 32nds " << int{c.notated32nds};
    }
}

TEST(PairedEvent, RegionIsStartToEndAndAStartAfterTheEndGivesAnEmptyRegion) {
    const CL::Transpose up(480, 1920, "C1", 2);
    EXPECT_EQ(up.abs_time(), 480u);
    EXPECT_EQ(up.GetLengthTicks(), 1440u);
    EXPECT_TRUE(up.IsPairedEvent());

    const CL::Cut reversed(1920, 480, "B1", 0);
    EXPECT_EQ(reversed.start(), 1920u);
    EXPECT_EQ(reversed.end(), 1920u);
    EXPECT_EQ(reversed.GetLengthTicks(), 0u);
}

TEST(BrixEventBinary, WritesEveryFieldLittleEndianInTheDocumentedOrder) {
    std::ostringstream out;
    CL::Click(0x01020304, 0x05060708, "L1", -2).WriteBinary(out, cmn::FileVersion{1, 0});
    const std::string expected{
        'L', '\x01',                                       // code, paired
        '\x04', '\x03', '\x02', '\x01',                    // start
        '\x08', '\x07', '\x06', '\x05',                    // end
        '\xFE', '\xFF', '\xFF', '\xFF',                    // int value -2
        0, 0, 0, 0, 0, 0, 0, 0,                            // float value 0.0
        0, 0, 0, 0,                                        // version target
        2, 0, 0, 0, 'L', '1',                              // event id
        0, 0, 0, 0,                                        // string value
        0, 0, 0, 0,                                        // OSC message
        0, 0, 0, 0,                                        // OSC network id
        0, 0, 0, 0,                                        // sound-effect name
    };
    EXPECT_EQ(out.str(), expected);
}

TEST(BrixEventBinary, OscCueWritesItsMessageAndNetworkIdAfterTheStringValue) {
    std::ostringstream out;
    CL::Osc(7, "S1", CL::OscProperties("/go", "N0")).WriteBinary(out, cmn::FileVersion{});
    // code, paired, start, end, int, float, target: 26 bytes; then id "S1" and an empty value.
    EXPECT_EQ(out.str().substr(26),
              std::string("\2\0\0\0S1" "\0\0\0\0" "\3\0\0\0/go" "\2\0\0\0N0" "\0\0\0\0", 27));
    EXPECT_EQ(out.str().size(), cmn::BrixEvent::kMinimumBinarySize + 2 + 3 + 2);
}

TEST(BrixEventBinary, FloatValueIsWrittenAsItsIeeeBits) {
    std::ostringstream out;
    CL::TempoScale(0, 1, "", 1.0).WriteBinary(out, cmn::FileVersion{});
    // 1.0 is 0x3FF0000000000000, after code, paired, start, end and int value (14 bytes).
    EXPECT_EQ(out.str().substr(14, 8), std::string("\0\0\0\0\0\0\xF0\x3F", 8));
}

TEST(MarkerEvent, AnEventReadAsAMarkerKeepsItsTextPositionAndId) {
    const cmn::BrixEvent event = CL::Marker(960, "Verse 2", "E3");
    const CL::Marker marker(event);
    EXPECT_EQ(marker.value(), "Verse 2");
    EXPECT_EQ(marker.abs_time(), 960u);
    EXPECT_EQ(marker.EventId(), "E3");
    EXPECT_FALSE(marker.IsPairedEvent());
}

TEST(MarkerSequenceOutput, EmptySequenceWritesCodeAndZeroCountAndASummaryLine) {
    const CL::MarkerSequence markers;
    std::ostringstream binary;
    markers.WriteBinary(binary, cmn::FileVersion{});
    EXPECT_EQ(binary.str(), std::string("E\0\0\0\0", 5));

    std::ostringstream listing;
    markers.WriteEvents(listing, 0);
    EXPECT_EQ(listing.str(), "MarkerSequence(code=0x45, event count = 0)\n");
}

TEST(MarkerSequenceOutput, ListingIndentsTheSummaryAndEachMarkerInPositionOrder) {
    CL::MarkerSequence markers;
    markers.Add(CL::Marker(1920, "Chorus", "E2"));
    markers.Add(CL::Marker(0, "Intro", "E1"));
    std::ostringstream listing;
    markers.WriteEvents(listing, 1);
    EXPECT_EQ(listing.str(),
              "\tMarkerSequence(code=0x45, event count = 2)\n"
              "\t\tMarker id=E1 at=0 text=Intro\n"
              "\t\tMarker id=E2 at=1920 text=Chorus\n");
    // The stream is left in decimal without a base prefix.
    listing.str("");
    listing << 255;
    EXPECT_EQ(listing.str(), "255");
}

TEST(ActiveChangeLog, IsNeverNullAndSetGivesNewSnapshotsOnly) {
    ActiveChangeLogShared::Set(nullptr);
    const auto before = ActiveChangeLogShared::Get();
    ASSERT_NE(before, nullptr);
    EXPECT_TRUE(before->GetSongLogs().empty());

    auto log = std::make_shared<CL::ChangeLog>();
    log->AddSongLog(CL::SongLog("1", "Overture"));
    ActiveChangeLogShared::Set(log);
    EXPECT_EQ(ActiveChangeLogShared::Get()->GetSongLog("1").GetSongName(), "Overture");
    EXPECT_TRUE(before->GetSongLogs().empty());
    EXPECT_THROW(log->AddSongLog(CL::SongLog("1", "Again")), std::invalid_argument);
    EXPECT_THROW(ActiveChangeLogShared::Get()->GetSongLog("2"), std::out_of_range);
    ActiveChangeLogShared::Set(nullptr);
}

}  // namespace
