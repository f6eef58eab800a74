#include "ChangeLogSequence.h"
#include "TimelineSequence.h"

#include <fennic/CoutBuffer.h>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes BinaryOf(cmn::BRIXSequence const& sequence, cmn::FileVersion version = {1, 0})
{
    std::ostringstream out;
    sequence.WriteBinary(out, version);
    std::string const text = out.str();
    return Bytes(text.begin(), text.end());
}

Bytes LittleEndian32(std::uint32_t value)
{
    return {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
            static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
}

Bytes Concat(std::vector<Bytes> const& parts)
{
    Bytes all;
    for (Bytes const& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

struct EmptySequenceCase {
    char const* name;
    std::function<Bytes()> write;
    unsigned char code;
};

TEST(Sequence, EmptySequenceWritesItsCodeAndAZeroCountOnly)
{
    std::vector<EmptySequenceCase> const cases = {
        {"bars/beats", [] { return BinaryOf(TL::TimelineSequence<TL::BarsBeats>()); }, 'b'},
        {"keys", [] { return BinaryOf(TL::TimelineSequence<TL::Key>()); }, 'k'},
        {"meters", [] { return BinaryOf(TL::TimelineSequence<TL::Meter>()); }, 'm'},
        {"page numbers", [] { return BinaryOf(TL::TimelineSequence<TL::PageNum>()); }, 'p'},
        {"tempos", [] { return BinaryOf(TL::TimelineSequence<TL::Tempo>()); }, 't'},
        {"clicks", [] { return BinaryOf(CL::ChangeLogSequence<CL::Click>()); }, 'L'},
        {"tempo scales", [] { return BinaryOf(CL::ChangeLogSequence<CL::TempoScale>()); }, 'F'},
        {"transpositions", [] { return BinaryOf(CL::ChangeLogSequence<CL::Transpose>()); }, 'C'},
    };
    for (auto const& c : cases) {
        EXPECT_EQ(c.write(), (Bytes{c.code, 0, 0, 0, 0})) << c.name;
    }
}

TEST(Sequence, TimelineSequenceWritesCodeCountAndRawLittleEndianRecords)
{
    TL::TimelineSequence<TL::Tempo> const tempos(
        {TL::Tempo(0, 500000), TL::Tempo(1920, 400000), TL::Tempo(0x01020304, 0x0A0B0C0D)});
    Bytes const expected = Concat({{'t'}, LittleEndian32(3), LittleEndian32(0), LittleEndian32(500000),
                                   LittleEndian32(1920), LittleEndian32(400000), LittleEndian32(0x01020304),
                                   LittleEndian32(0x0A0B0C0D)});
    Bytes const written = BinaryOf(tempos);
    EXPECT_EQ(written.size(), 1u + 4u + 24u);
    EXPECT_EQ(written, expected);

    TL::TimelineSequence<TL::BarsBeats> const bars({TL::BarsBeats(960, 12, 3)});
    Bytes const expectedBars =
        Concat({{'b'}, LittleEndian32(1), LittleEndian32(960), {'1', '2', 0, 0, 0, 0, 0, 0}, LittleEndian32(3)});
    EXPECT_EQ(BinaryOf(bars), expectedBars);

    TL::TimelineSequence<TL::Meter> const meters({TL::Meter(480, 6, 8, 36, 8)});
    EXPECT_EQ(BinaryOf(meters), Concat({{'m'}, LittleEndian32(1), LittleEndian32(480), {6, 8, 36, 8}}));
}

TEST(Sequence, ChangeLogSequenceWritesEachEventInItsOwnFormForTheFileVersion)
{
    std::vector<CL::TempoScale> const events = {CL::TempoScale(0, 960, "F1", 0.9),
                                                CL::TempoScale(1920, 3840, "F2", 1.25)};
    CL::ChangeLogSequence<CL::TempoScale> const sequence(events);
    cmn::FileVersion const version{2, 3};

    std::ostringstream eventBytes;
    for (auto const& event : events) {
        event.WriteBinary(eventBytes, version);
    }
    std::string const eventText = eventBytes.str();
    Bytes const expected = Concat({{'F'}, LittleEndian32(2), Bytes(eventText.begin(), eventText.end())});
    EXPECT_EQ(BinaryOf(sequence, version), expected);
}

TEST(Sequence, SummaryNamesTheKindCodeAndCountAndLeavesTheStreamDecimal)
{
    struct Case {
        char const* name;
        std::function<void(std::ostream&)> write;
        std::string expected;
    };
    std::vector<Case> const cases = {
        {"tempos",
         [](std::ostream& out) {
             TL::TimelineSequence<TL::Tempo>({TL::Tempo(0, 500000), TL::Tempo(10, 1), TL::Tempo(20, 2)})
                 .WriteSummary(out);
         },
         "TempoSequence(code=0x74, event count = 3)"},
        {"empty clicks", [](std::ostream& out) { CL::ChangeLogSequence<CL::Click>().WriteSummary(out); },
         "ClickSequence(code=0x4c, event count = 0)"},
        {"transpositions",
         [](std::ostream& out) {
             CL::ChangeLogSequence<CL::Transpose>({CL::Transpose(0, 10, "C1", 2)}).WriteSummary(out);
         },
         "TransposeSequence(code=0x43, event count = 1)"},
    };
    for (auto const& c : cases) {
        std::ostringstream out;
        c.write(out);
        out << ' ' << 26;
        EXPECT_EQ(out.str(), c.expected + " 26") << c.name;
    }
}

template <class Element>
std::string LineOf(Element const& record)
{
    std::ostringstream out;
    record.WriteString(out);
    return out.str();
}

TEST(Sequence, ListingIsTheIndentedSummaryThenOneDeeperLinePerElement)
{
    std::ostringstream empty;
    TL::TimelineSequence<TL::Meter>().WriteEvents(empty, 0);
    EXPECT_EQ(empty.str(), "MeterSequence(code=0x6d, event count = 0)\n");

    CL::Click const first(0, 960, "L1", 4);
    CL::Click const second(1920, 2880, "L2", 2);
    std::ostringstream clicks;
    CL::ChangeLogSequence<CL::Click>({first, second}).WriteEvents(clicks, 1);
    EXPECT_EQ(clicks.str(), "\tClickSequence(code=0x4c, event count = 2)\n\t\t" + LineOf(first) + "\n\t\t" +
                                LineOf(second) + "\n");

    TL::Key const key(0, 1, -3);
    std::ostringstream keys;
    TL::TimelineSequence<TL::Key>({key}).WriteEvents(keys, 2);
    EXPECT_EQ(keys.str(), "\t\tKeySequence(code=0x6b, event count = 1)\n\t\t\t" + LineOf(key) + "\n");
}

TEST(Sequence, ListingToTheConsoleWritesTheSameLines)
{
    CL::ChangeLogSequence<CL::TempoScale> const sequence({CL::TempoScale(0, 960, "F1", 0.75)});
    std::ostringstream expected;
    sequence.WriteEvents(expected, 1);

    testing::internal::CaptureStdout();
    {
        fennic::CoutBuffer out;
        sequence.WriteEvents(out, 1);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected.str());
}

} // namespace
