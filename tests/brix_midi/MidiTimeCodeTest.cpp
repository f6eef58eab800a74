#include "FrameRate.h"
#include "MidiTimeCode.h"
#include "MidiTimeCodeErrors.h"
#include "MidiTimeCodeMessages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <typeindex>
#include <typeinfo>
#include <vector>

// Failures show the time code as text.
void PrintTo(const MidiTimeCode& code, std::ostream* out) {
    *out << code.GetAsString() << " q" << static_cast<int>(code.GetQuarterFrameIndex()) << " "
         << ConvertFrameRateToString(code.GetFrameRate());
}

namespace {

constexpr FrameRate kFps24 = FrameRate::Fps24;
constexpr FrameRate kFps25 = FrameRate::Fps25;
constexpr FrameRate kDrop = FrameRate::Fps2997Drop;
constexpr FrameRate kFps30 = FrameRate::Fps30;

struct RateFacts {
    FrameRate rate;
    std::uint64_t framesPerHour;
    double secondsPerFrame;
    const char* oneHour;
};

const RateFacts kRates[] = {
    {kFps24, 86400, 1.0 / 24.0, "01:00:00:00"},
    {kFps25, 90000, 0.04, "01:00:00:00"},
    {kDrop, 107892, 1.0 / 29.97, "01:00:00;00"},
    {kFps30, 108000, 1.0 / 30.0, "01:00:00:00"},
};

MidiTimeCode WithQuarter(MidiTimeCode code, unsigned char quarter) {
    code.SetQuarterFrameIndex(quarter);
    return code;
}

TEST(MidiTimeCode, EveryFrameOfAnHourCountsUpDownAndConvertsToAndFromSecondsAlike)
{
    for (const RateFacts& facts : kRates) {
        SCOPED_TRACE(ConvertFrameRateToString(facts.rate));
        const MidiTimeCode zero(0, 0, 0, 0, facts.rate);
        MidiTimeCode code = zero;
        std::vector<std::string> labels;
        labels.reserve(facts.framesPerHour);
        for (std::uint64_t frame = 0; frame < facts.framesPerHour; ++frame) {
            labels.push_back(code.GetAsString());
            ASSERT_EQ(code.GetDifferenceAsQuarterFrameCount(zero), frame * 4) << labels.back();
            // The fields form a valid time code: no dropped frame number is ever reached.
            const FullFrameMessage fields = code.GetFullFrameMessage();
            ASSERT_NO_THROW(MidiTimeCode(fields.GetHours(), fields.GetMinutes(), fields.GetSeconds(),
                                         fields.GetFrames(), facts.rate))
                << labels.back();
            const double seconds = code.GetAsSeconds();
            ASSERT_NEAR(seconds, static_cast<double>(frame) * facts.secondsPerFrame, 1e-9) << labels.back();
            ASSERT_EQ(MidiTimeCode(seconds, facts.rate), code) << labels.back();
            ASSERT_EQ(MidiTimeCode(seconds + facts.secondsPerFrame * 0.6, facts.rate), WithQuarter(code, 2))
                << labels.back();
            ++code;
        }
        EXPECT_EQ(code.GetAsString(), facts.oneHour);
        for (std::uint64_t frame = facts.framesPerHour; frame-- > 0;) {
            --code;
            ASSERT_EQ(code.GetAsString(), labels[frame]);
        }
    }
}

TEST(MidiTimeCode, DropFrameCountingFollowsTheSmpteSequence)
{
    struct Case {
        std::uint64_t frame;
        unsigned char minutes, seconds, frames;
    };
    const Case cases[] = {
        {1799, 0, 59, 29}, {1800, 1, 0, 2}, {3597, 1, 59, 29}, {3598, 2, 0, 2},
        {17981, 9, 59, 29}, {17982, 10, 0, 0}, {17984, 10, 0, 2}, {19782, 11, 0, 2},
    };
    const MidiTimeCode zero(0, 0, 0, 0, kDrop);
    for (const Case& c : cases) {
        const MidiTimeCode code(0, c.minutes, c.seconds, c.frames, kDrop);
        EXPECT_EQ(code.GetDifferenceAsQuarterFrameCount(zero), c.frame * 4) << code.GetAsString();
    }
}

TEST(MidiTimeCode, ConstructionChecksFramesSecondsMinutesHoursInThatOrder)
{
    struct Case {
        unsigned char h, m, s, f;
        FrameRate rate;
        std::type_index error;
        const char* message;
    };
    const Case cases[] = {
        {0, 1, 0, 0, kDrop, typeid(InvalidFrameCount), "Invalid frameCount: 0"},
        {0, 1, 0, 1, kDrop, typeid(InvalidFrameCount), "Invalid frameCount: 1"},
        {24, 0, 0, 0, kFps30, typeid(InvalidHourCount), "Invalid hourCount: 24"},
        {24, 60, 60, 30, kFps30, typeid(InvalidFrameCount), "Invalid frameCount: 30"},
        {24, 60, 60, 0, kFps25, typeid(InvalidSecondCount), "Invalid secondCount: 60"},
        {24, 60, 0, 0, kFps24, typeid(InvalidMinuteCount), "Invalid minuteCount: 60"},
        {0, 0, 0, 24, kFps24, typeid(InvalidFrameCount), "Invalid frameCount: 24"},
        {0, 0, 0, 25, kFps25, typeid(InvalidFrameCount), "Invalid frameCount: 25"},
        {0, 0, 0, 30, kDrop, typeid(InvalidFrameCount), "Invalid frameCount: 30"},
    };
    for (const Case& c : cases) {
        try {
            MidiTimeCode code(c.h, c.m, c.s, c.f, c.rate);
            ADD_FAILURE() << "no exception, expected " << c.message;
        } catch (const MidiTimeCodeError& error) {
            EXPECT_EQ(std::type_index(typeid(error)), c.error) << c.message;
            EXPECT_STREQ(error.what(), c.message);
        }
    }
    EXPECT_NO_THROW(MidiTimeCode(0, 10, 0, 0, kDrop));
    EXPECT_NO_THROW(MidiTimeCode(0, 1, 1, 0, kDrop));
    EXPECT_NO_THROW(MidiTimeCode(23, 59, 59, 29, kFps30));
    EXPECT_THROW(MidiTimeCode(0, 0, 0, 0, static_cast<FrameRate>(4)), std::logic_error);
}

TEST(MidiTimeCode, StepsOneFrameOnAndBackAcrossSecondsMinutesAndMidnight)
{
    struct Case {
        MidiTimeCode from;
        bool forward;
        const char* to;
    };
    const Case cases[] = {
        {MidiTimeCode(0, 0, 59, 29, kDrop), true, "00:01:00;02"},
        {MidiTimeCode(0, 1, 0, 2, kDrop), false, "00:00:59;29"},
        {MidiTimeCode(0, 9, 59, 29, kDrop), true, "00:10:00;00"},
        {MidiTimeCode(0, 10, 0, 0, kDrop), false, "00:09:59;29"},
        {MidiTimeCode(0, 10, 0, 1, kDrop), false, "00:10:00;00"},
        {MidiTimeCode(23, 59, 59, 29, kDrop), true, "00:00:00;00"},
        {MidiTimeCode(0, 0, 0, 0, kDrop), false, "23:59:59;29"},
        {MidiTimeCode(23, 59, 59, 29, kFps30), true, "00:00:00:00"},
        {MidiTimeCode(0, 0, 0, 0, kFps30), false, "23:59:59:29"},
        {MidiTimeCode(0, 0, 0, 23, kFps24), true, "00:00:01:00"},
        {MidiTimeCode(0, 1, 0, 0, kFps25), false, "00:00:59:24"},
        {MidiTimeCode(0, 59, 59, 24, kFps25), true, "01:00:00:00"},
    };
    for (const Case& c : cases) {
        MidiTimeCode code = c.from;
        const MidiTimeCode before = c.forward ? code++ : code--;
        EXPECT_EQ(before, c.from) << "postfix returns the value before the step";
        EXPECT_EQ(code.GetAsString(), c.to) << c.from.GetAsString();
        MidiTimeCode prefix = c.from;
        EXPECT_EQ((c.forward ? ++prefix : --prefix).GetAsString(), c.to);
    }
}

TEST(MidiTimeCode, QuarterFrameCountIsFourPerFramePlusTheQuarter)
{
    const MidiTimeCode zero;
    MidiTimeCode code(0, 0, 1, 0, kFps30);
    EXPECT_EQ(code.GetDifferenceAsQuarterFrameCount(zero), 120u);
    code.SetQuarterFrameIndex(3);
    EXPECT_EQ(code.GetDifferenceAsQuarterFrameCount(zero), 123u);
    code.IncrementQuarterFrame();
    EXPECT_EQ(code.GetAsString(), "00:00:01:01");
    EXPECT_EQ(code.GetQuarterFrameIndex(), 0);
    EXPECT_EQ(code.GetDifferenceAsQuarterFrameCount(zero), 124u);
    // Forward through midnight, never negative.
    EXPECT_EQ(zero.GetDifferenceAsQuarterFrameCount(MidiTimeCode(0, 0, 0, 1, kFps30)), (108000u * 24 - 1) * 4);
    EXPECT_TRUE(MidiTimeCode(0, 0, 0, 1, kFps30) < code);
    EXPECT_FALSE(code < MidiTimeCode(0, 0, 1, 0, kFps30));
}

TEST(MidiTimeCode, SetFromSecondsFindsTheFrameAndItsQuarter)
{
    struct Case {
        double seconds;
        FrameRate rate;
        const char* text;
        unsigned char quarter;
    };
    const Case cases[] = {
        {60.0, kDrop, "00:00:59;28", 0},
        {60.06, kDrop, "00:00:59;29", 3},
        {60.07, kDrop, "00:01:00;02", 1},
        {600.0, kDrop, "00:10:00;00", 0},
        {3661.5, kFps25, "01:01:01:12", 2},
        {10.5, kFps30, "00:00:10:15", 0},
        {0.99, kFps24, "00:00:00:23", 3},
        {0.0, kFps24, "00:00:00:00", 0},
    };
    for (const Case& c : cases) {
        const MidiTimeCode code(c.seconds, c.rate);
        EXPECT_EQ(code.GetAsString(), c.text) << c.seconds;
        EXPECT_EQ(code.GetQuarterFrameIndex(), c.quarter) << c.seconds;
    }
}

TEST(MidiTimeCode, SetFromSecondsKeepsTimesOutsideOneDayWithinTheDay)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double seconds;
        FrameRate rate;
        const char* text;
    };
    const Case cases[] = {
        {-1.0, kFps30, "00:00:00:00"},      {-1e300, kDrop, "00:00:00;00"},
        {-inf, kFps25, "00:00:00:00"},      {nan, kFps24, "00:00:00:00"},
        {86400.0, kFps30, "23:59:59:29"},   {86400.0 * 11, kDrop, "23:59:59;29"},
        {1e300, kFps24, "23:59:59:23"},     {inf, kFps25, "23:59:59:24"},
        {86399.999, kDrop, "23:59:59;29"},
    };
    for (const Case& c : cases) {
        MidiTimeCode code(0, 0, 0, 5, c.rate);
        code.SetFromSeconds(c.seconds);
        EXPECT_EQ(code.GetAsString(), c.text) << c.seconds;
        EXPECT_LE(code.GetQuarterFrameIndex(), 3) << c.seconds;
    }
}

TEST(MidiTimeCode, AddingAndSubtractingCountFrames)
{
    struct Case {
        MidiTimeCode a;
        MidiTimeCode b;
        const char* sum;
        const char* difference;
    };
    const Case cases[] = {
        {MidiTimeCode(0, 0, 0, 15, kFps25), MidiTimeCode(0, 0, 0, 20, kFps25), "00:00:01:10", "23:59:59:20"},
        {MidiTimeCode(0, 0, 30, 0, kDrop), MidiTimeCode(0, 0, 40, 0, kDrop), "00:01:10;02", "23:59:50;00"},
        {MidiTimeCode(0, 9, 0, 2, kDrop), MidiTimeCode(0, 1, 0, 2, kDrop), "00:10:00;02", "00:07:59;28"},
        {MidiTimeCode(0, 1, 10, 2, kDrop), MidiTimeCode(0, 0, 40, 0, kDrop), "00:01:50;02", "00:00:30;00"},
        {MidiTimeCode(1, 23, 45, 7, kDrop), MidiTimeCode(0, 58, 0, 2, kDrop), "02:21:45;07", "00:25:45;07"},
        {MidiTimeCode(23, 59, 59, 29, kFps30), MidiTimeCode(0, 0, 0, 2, kFps30), "00:00:00:01", "23:59:59:27"},
        {MidiTimeCode(12, 30, 0, 0, kFps24), MidiTimeCode(13, 0, 0, 0, kFps24), "01:30:00:00", "23:30:00:00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ((c.a + c.b).GetAsString(), c.sum) << c.a.GetAsString() << " + " << c.b.GetAsString();
        EXPECT_EQ((c.a - c.b).GetAsString(), c.difference) << c.a.GetAsString() << " - " << c.b.GetAsString();
        EXPECT_EQ((c.a + c.b) - c.b, c.a);
    }
}

TEST(MidiTimeCode, AddingFramesAgreesWithSteppingAtEveryRate)
{
    const MidiTimeCode starts[] = {
        MidiTimeCode(0, 0, 59, 20, kDrop), MidiTimeCode(0, 9, 59, 15, kDrop), MidiTimeCode(3, 59, 59, 10, kDrop),
        MidiTimeCode(0, 0, 59, 20, kFps30), MidiTimeCode(23, 59, 59, 20, kFps25), MidiTimeCode(0, 0, 0, 0, kFps24),
    };
    for (const MidiTimeCode& start : starts) {
        MidiTimeCode stepped = start;
        for (unsigned char n = 1; n <= 23; ++n) {
            ++stepped;
            EXPECT_EQ(start + n, stepped) << start.GetAsString() << " + " << int(n);
            EXPECT_EQ(stepped - n, start) << stepped.GetAsString() << " - " << int(n);
        }
    }
}

TEST(MidiTimeCode, QuartersCarryIntoFramesAndTheSecondsIntoTheFrameStay)
{
    MidiTimeCode a(0, 0, 0, 29, kFps30);
    a.SetQuarterFrameIndex(3);
    const MidiTimeCode b = WithQuarter(MidiTimeCode(0, 0, 0, 0, kFps30), 2);
    const MidiTimeCode sum = a + b;
    EXPECT_EQ(sum.GetAsString(), "00:00:01:00");
    EXPECT_EQ(sum.GetQuarterFrameIndex(), 1);
    EXPECT_DOUBLE_EQ(sum.GetAsSeconds(), 1.0 + (1.0 / 30.0) * 0.75);
    const MidiTimeCode back = sum - b;
    EXPECT_EQ(back, a);
}

TEST(MidiTimeCode, TimeCodesOfDifferentRatesDoNotMix)
{
    const MidiTimeCode other(0, 0, 1, 0, kFps25);
    for (bool add : {true, false}) {
        MidiTimeCode code(0, 0, 2, 3, kFps30);
        try {
            add ? code += other : code -= other;
            ADD_FAILURE() << "no exception";
        } catch (const MidiTimeCodeFrameRateError& error) {
            EXPECT_STREQ(error.what(), "Cannot add together time codes with different frame rates.");
        }
        EXPECT_EQ(code, MidiTimeCode(0, 0, 2, 3, kFps30));
    }
    MidiTimeCode code(0, 0, 0, 0, kFps30);
    EXPECT_THROW(code += static_cast<unsigned char>(30), InvalidFrameCount);
    EXPECT_THROW(code -= static_cast<unsigned char>(30), InvalidFrameCount);
}

TEST(MidiTimeCode, EqualityIgnoresTheSecondsIntoTheFrameButNotTheQuarter)
{
    const MidiTimeCode a(10.51, kFps30);
    const MidiTimeCode b(10.5101, kFps30);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, WithQuarter(a, 3));
    EXPECT_NE(MidiTimeCode(0, 0, 0, 0, kFps30), MidiTimeCode(0, 0, 0, 0, kFps25));
}

TEST(MidiTimeCode, ACopyStepsItselfNotItsSource)
{
    auto source = std::make_unique<MidiTimeCode>(0, 0, 59, 29, kDrop);
    MidiTimeCode copy(*source);
    MidiTimeCode assigned;
    assigned = *source;
    ++copy;
    EXPECT_EQ(source->GetAsString(), "00:00:59;29");
    source.reset();
    ++copy;
    --assigned;
    EXPECT_EQ(copy.GetAsString(), "00:01:00;03");
    EXPECT_EQ(assigned.GetAsString(), "00:00:59;28");
}

TEST(MidiTimeCode, GetAsStringWritesTwoDigitFieldsWithTheRatesSeparator)
{
    EXPECT_EQ(MidiTimeCode(1, 2, 3, 4, kFps30).GetAsString(), "01:02:03:04");
    EXPECT_EQ(MidiTimeCode(1, 2, 3, 4, kDrop).GetAsString(), "01:02:03;04");
    EXPECT_EQ(MidiTimeCode(23, 45, 59, 23, kFps24).GetAsString(), "23:45:59:23");
    EXPECT_EQ(MidiTimeCode().GetAsString(), "00:00:00:00");
}

TEST(MidiTimeCode, SetFrameRateKeepsTheFieldsAndChangesTheStepping)
{
    MidiTimeCode code(0, 0, 59, 29, kFps30);
    code.SetFrameRate(kDrop);
    EXPECT_EQ(code.GetAsString(), "00:00:59;29");
    ++code;
    EXPECT_EQ(code.GetAsString(), "00:01:00;02");
    EXPECT_THROW(code.SetFrameRate(static_cast<FrameRate>(7)), std::logic_error);
    EXPECT_EQ(code.GetFrameRate(), kDrop);
}

TEST(MidiTimeCodeMessages, FullFrameMessageCarriesFieldsAndRate)
{
    const FullFrameMessage message = MidiTimeCode(1, 2, 3, 4, kFps25).GetFullFrameMessage();
    const std::vector<unsigned char> expected = {0xF0, 0x7F, 0x7F, 0x01, 0x01, 0x21, 0x02, 0x03, 0x04, 0xF7};
    EXPECT_EQ(std::vector<unsigned char>(message.Get(), message.Get() + 10), expected);
    const FullFrameMessage top(23, 59, 58, 28, kDrop);
    EXPECT_EQ(top.Get()[5], 0x57);
    EXPECT_EQ(top.GetHours(), 23);
    EXPECT_EQ(top.GetFrameRate(), kDrop);
    EXPECT_EQ(top.GetMinutes(), 59);
    EXPECT_EQ(top.GetSeconds(), 58);
    EXPECT_EQ(top.GetFrames(), 28);
}

TEST(MidiTimeCodeMessages, TheEightQuarterFrameMessagesCarryTheTimeCode)
{
    struct Case {
        MidiTimeCode code;
        std::vector<unsigned char> data;
    };
    const Case cases[] = {
        {MidiTimeCode(1, 2, 3, 4, kDrop), {0x04, 0x10, 0x23, 0x30, 0x42, 0x50, 0x61, 0x74}},
        {MidiTimeCode(17, 59, 45, 29, kFps30), {0x0D, 0x11, 0x2D, 0x32, 0x4B, 0x53, 0x61, 0x77}},
        {MidiTimeCode(0, 0, 0, 23, kFps24), {0x07, 0x11, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70}},
    };
    for (const Case& c : cases) {
        for (unsigned char index = 0; index < 8; ++index) {
            const QuarterFrameMessage message = c.code.GetQuarterFrameMessage(index);
            EXPECT_EQ(message.Get()[0], 0xF1);
            EXPECT_EQ(message.GetDataByte(), c.data[index]) << c.code.GetAsString() << " message " << int(index);
            EXPECT_EQ(message.GetIndex(), index);
        }
    }
    try {
        MidiTimeCode().GetQuarterFrameMessage(8);
        ADD_FAILURE() << "no exception";
    } catch (const QuarterFrameIndexError& error) {
        EXPECT_STREQ(error.what(), "Index not supported by QuarterFrame.");
    }
}

TEST(MidiTimeCodeMessages, AReceiverReassemblesTheTimeCodeFromTheEightMessagesAtEveryRate)
{
    const MidiTimeCode sent[] = {
        MidiTimeCode(17, 45, 59, 23, kFps24),
        MidiTimeCode(9, 8, 7, 24, kFps25),
        MidiTimeCode(23, 1, 59, 29, kDrop),
        MidiTimeCode(16, 59, 59, 29, kFps30),
    };
    for (const MidiTimeCode& code : sent) {
        MidiTimeCode received(0, 0, 0, 0, code.GetFrameRate() == kFps30 ? kFps24 : kFps30);
        for (unsigned char index = 0; index < 8; ++index) {
            received.ProcessQuarterFrameMessage(code.GetQuarterFrameMessage(index));
        }
        EXPECT_EQ(received, code) << received.GetAsString() << " from " << code.GetAsString();
        // The rate of message 7 also decides how the receiver steps on.
        MidiTimeCode expectedNext = code;
        ++expectedNext;
        ++received;
        EXPECT_EQ(received.GetAsString(), expectedNext.GetAsString());
    }
}

TEST(MidiTimeCodeMessages, SetFullFrameMessageTakesTheFieldsAndTheRatesStepping)
{
    MidiTimeCode received(0, 0, 0, 0, kFps24);
    received.SetFullFrameMessage(MidiTimeCode(2, 0, 59, 29, kDrop).GetFullFrameMessage());
    EXPECT_EQ(received.GetAsString(), "02:00:59;29");
    ++received;
    EXPECT_EQ(received.GetAsString(), "02:01:00;02");
}

TEST(MidiTimeCodeMessages, QuarterFrameNibblesAreReturnedWhereTheyBelong)
{
    EXPECT_EQ(QuarterFrameMessage(0, 0x3C).GetNibble(), 0x0C);
    EXPECT_EQ(QuarterFrameMessage(1, 0x3C).GetNibble(), 0x30);
    EXPECT_EQ(QuarterFrameMessage(6, 0x17).GetNibble(), 0x07);
    EXPECT_EQ(QuarterFrameMessage(7, 0x17, kDrop).GetDataByte(), 0x75);
}

TEST(FrameRate, NamesConvertBothWaysExactly)
{
    const std::vector<std::string> names = {"24 fps", "25 fps", "29.97 fps drop", "30 fps"};
    EXPECT_EQ(frameRateStrings, names);
    for (unsigned int value = 0; value < names.size(); ++value) {
        EXPECT_EQ(ConvertFrameRateToString(static_cast<FrameRate>(value)), names[value]);
        EXPECT_EQ(ConvertStringToFrameRate(names[value]), static_cast<FrameRate>(value));
    }
    try {
        ConvertFrameRateToString(static_cast<FrameRate>(4));
        ADD_FAILURE() << "no exception";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ(error.what(), "Unsupported frame rate");
    }
    for (const char* text : {"30 FPS", "30 fps ", "29.97 fps", "", "30"}) {
        try {
            ConvertStringToFrameRate(text);
            ADD_FAILURE() << "no exception for '" << text << "'";
        } catch (const std::logic_error& error) {
            EXPECT_STREQ(error.what(), "Unsupported frame rate.");
        }
    }
}

}  // namespace
