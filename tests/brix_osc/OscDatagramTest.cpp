#include "OscDatagram.h"
#include "OscMessage.h"

#include "OscBytes.h"
#include "QtWait.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace brix::osc;
using osc_test::Bytes;

QByteArray AsBytes(const std::string& text) { return QByteArray(text.data(), static_cast<qsizetype>(text.size())); }

// Each line as the cue text, with the same message as oscsend's arguments (types, then values).
struct Line {
    QString text;
    QStringList oscsend;
};

const std::vector<Line>& Lines()
{
    static const std::vector<Line> lines = {
        {"/a", {"/a"}},
        {"/a 1", {"/a", "i", "1"}},
        {"/brix/song/12/play", {"/brix/song/12/play"}},
        {"/oscillator/4/frequency 440.0", {"/oscillator/4/frequency", "f", "440.0"}},
        {"/foo 1000 -1 hello 1.234 5.678", {"/foo", "iisff", "1000", "-1", "hello", "1.234", "5.678"}},
        {"/cue/go 5 2.5 \"a b\" x", {"/cue/go", "ifss", "5", "2.5", "a b", "x"}},
        {"/x  2   3 ", {"/x", "ii", "2", "3"}},
        {"/e \"\"", {"/e", "s", ""}},
        {"/q \" lead and trail \" end", {"/q", "ss", " lead and trail ", "end"}},
        {"/text \"open quote", {"/text", "s", "open quote"}},
        {"/n nan 0x10 1e3 2147483648 -0", {"/n", "ssffi", "nan", "0x10", "1e3", "2147483648", "0"}},
        {QString::fromUtf8("/caf\xC3\xA9 \"\xC3\xBC\""), {QString::fromUtf8("/caf\xC3\xA9"), "s", QString::fromUtf8("\xC3\xBC")}},
    };
    return lines;
}

TEST(OscDatagram, EncodesEachLineByteForByteAsOscsendDoes)
{
    for (const Line& line : Lines()) {
        const QByteArray expected = osc_test::RunOscsend(QStringList{"-"} + line.oscsend);
        ASSERT_FALSE(expected.isEmpty()) << "oscsend gave nothing for " << line.text.toStdString();
        EXPECT_EQ(BuildOscDatagram(line.text).toHex(' ').toStdString(), expected.toHex(' ').toStdString())
            << line.text.toStdString();
    }
}

TEST(OscDatagram, EncodesTheOscSpecificationExamplesByteForByte)
{
    EXPECT_EQ(BuildOscDatagram("/oscillator/4/frequency 440.0"),
              AsBytes("/oscillator/4/frequency" + Bytes({0, ',', 'f', 0, 0, 0x43, 0xDC, 0, 0})));
    EXPECT_EQ(BuildOscDatagram("/foo 1000 -1 hello 1.234 5.678"),
              AsBytes(Bytes({'/', 'f', 'o', 'o', 0, 0, 0, 0, ',', 'i', 'i', 's', 'f', 'f', 0, 0, 0, 0, 0x03, 0xE8,
                             0xFF, 0xFF, 0xFF, 0xFF, 'h', 'e', 'l', 'l', 'o', 0, 0, 0, 0x3F, 0x9D, 0xF3, 0xB6, 0x40,
                             0xB5, 0xB2, 0x2D})));
    // Without arguments the type-tag string is "," alone.
    EXPECT_EQ(BuildOscDatagram("/a"), AsBytes(Bytes({'/', 'a', 0, 0, ',', 0, 0, 0})));
    EXPECT_EQ(BuildOscDatagram("/brix/song/12/play"), AsBytes(EncodeOscString("/brix/song/12/play") + Bytes({',', 0, 0, 0})));
    EXPECT_EQ(BuildOscDatagram("/brix/song/12/play").size(), 24);
    EXPECT_TRUE(BuildOscDatagram("").isEmpty());
}

TEST(OscDatagram, EveryEncodedLineDecodesToItsArguments)
{
    for (const Line& line : Lines()) {
        const QByteArray datagram = BuildOscDatagram(line.text);
        const OscMessage message = OscMessage::Decode(datagram.constData(), static_cast<std::size_t>(datagram.size()));
        EXPECT_EQ(QString::fromStdString(message.Address()), line.oscsend[0]) << line.text.toStdString();
        EXPECT_EQ(message.Consumed(), static_cast<std::size_t>(datagram.size())) << line.text.toStdString();
        const qsizetype argumentCount = line.oscsend.size() < 2 ? 0 : line.oscsend[1].size();
        ASSERT_EQ(static_cast<qsizetype>(message.Params().size()), argumentCount) << line.text.toStdString();
        for (qsizetype i = 0; i < argumentCount; ++i) {
            EXPECT_EQ(OscParamTypeToChar(message.Params()[static_cast<std::size_t>(i)]->Type()), line.oscsend[1][i].toLatin1())
                << line.text.toStdString() << " argument " << i;
        }
    }
}

}  // namespace
