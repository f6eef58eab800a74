#include "brix_core/smf/StandardMidiFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Tiny writer for files built in memory: chunks, header and tracks from raw event bytes.
Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

Bytes Be32(std::uint32_t v)
{
    return {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
}

Bytes Chunk(const char* tag, const Bytes& body)
{
    return Cat({Bytes(tag, tag + 4), Be32(static_cast<std::uint32_t>(body.size())), body});
}

Bytes Header(std::uint16_t format, std::uint16_t tracks, std::uint16_t division)
{
    return Chunk("MThd", {std::uint8_t(format >> 8), std::uint8_t(format), std::uint8_t(tracks >> 8),
                          std::uint8_t(tracks), std::uint8_t(division >> 8), std::uint8_t(division)});
}

const Bytes kEndOfTrack{0x00, 0xFF, 0x2F, 0x00};

// A file of the given format with one track chunk per body, each closed by an end-of-track event.
Bytes FileOf(std::uint16_t format, std::uint16_t division, std::initializer_list<Bytes> trackBodies)
{
    Bytes out = Header(format, static_cast<std::uint16_t>(trackBodies.size()), division);
    for (const Bytes& body : trackBodies) {
        out = Cat({out, Chunk("MTrk", Cat({body, kEndOfTrack}))});
    }
    return out;
}

// The first event of a track body starts at this file offset in a file with a plain header.
constexpr std::size_t kFirstTrackBody = 22;

void ExpectChannel(const smf::Event& e, std::uint32_t tick, std::uint8_t status, std::uint8_t d1, std::uint8_t d2)
{
    EXPECT_EQ(e.tick, tick);
    EXPECT_EQ(e.status, status);
    EXPECT_EQ(e.data1, d1);
    EXPECT_EQ(e.data2, d2);
    EXPECT_EQ(e.metaType, 0);
    EXPECT_TRUE(e.metaData.empty());
}

void ExpectMeta(const smf::Event& e, std::uint32_t tick, std::uint8_t type, const Bytes& data)
{
    EXPECT_EQ(e.tick, tick);
    EXPECT_EQ(e.status, 0xFF);
    EXPECT_EQ(e.metaType, type);
    EXPECT_EQ(e.metaData, data);
}

TEST(StandardMidiFileParse, Format1KeepsHeaderFieldsAndEveryTrackInFileOrderWithAbsoluteTicks)
{
    const Bytes conductor{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,       // tempo 500000
                          0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08}; // 4/4
    const Bytes piano{0x00, 0xFF, 0x03, 0x05, 'P', 'i', 'a', 'n', 'o',    // track name
                      0x00, 0x90, 0x3C, 0x64,
                      0x83, 0x60, 0x80, 0x3C, 0x00}; // 480 ticks later
    const Bytes drums{0x81, 0x70, 0x99, 0x24, 0x7F, // at 240
                      0x78, 0x89, 0x24, 0x00};      // at 360
    const smf::File file = smf::Parse(FileOf(1, 480, {conductor, piano, drums}), "song.mid");

    EXPECT_EQ(file.format, 1);
    EXPECT_EQ(file.division, 480);
    ASSERT_EQ(file.tracks.size(), 3u);

    const auto& t0 = file.tracks[0].events;
    ASSERT_EQ(t0.size(), 3u);
    ExpectMeta(t0[0], 0, 0x51, {0x07, 0xA1, 0x20});
    ExpectMeta(t0[1], 0, 0x58, {0x04, 0x02, 0x18, 0x08});
    ExpectMeta(t0[2], 0, 0x2F, {});

    const auto& t1 = file.tracks[1].events;
    ASSERT_EQ(t1.size(), 4u);
    ExpectMeta(t1[0], 0, 0x03, {'P', 'i', 'a', 'n', 'o'});
    ExpectChannel(t1[1], 0, 0x90, 0x3C, 0x64);
    ExpectChannel(t1[2], 480, 0x80, 0x3C, 0x00);
    ExpectMeta(t1[3], 480, 0x2F, {});

    const auto& t2 = file.tracks[2].events;
    ASSERT_EQ(t2.size(), 3u);
    ExpectChannel(t2[0], 240, 0x99, 0x24, 0x7F);
    ExpectChannel(t2[1], 360, 0x89, 0x24, 0x00);
    ExpectMeta(t2[2], 360, 0x2F, {});
}

TEST(StandardMidiFileParse, Format0WithOneTrackIsRead)
{
    const smf::File file = smf::Parse(FileOf(0, 96, {{0x00, 0xB0, 0x07, 0x64}}), "f0.mid");
    EXPECT_EQ(file.format, 0);
    EXPECT_EQ(file.division, 96);
    ASSERT_EQ(file.tracks.size(), 1u);
    ASSERT_EQ(file.tracks[0].events.size(), 2u);
    ExpectChannel(file.tracks[0].events[0], 0, 0xB0, 0x07, 0x64);
}

TEST(StandardMidiFileParse, RunningStatusRepeatsTheLastChannelStatusForEveryMessageKind)
{
    const Bytes body{0x00, 0x91, 0x3C, 0x50,  // note-on ch 1
                     0x0A, 0x3E, 0x51,        // running note-on
                     0x0A, 0x3C, 0x00,        // running note-on velocity 0 -> note-off
                     0x00, 0x40, 0x52,        // still note-on after the converted one
                     0x00, 0xC2, 0x05,        // program change ch 2
                     0x00, 0x06,              // running program change
                     0x00, 0xE3, 0x00, 0x48,  // pitch bend ch 3
                     0x00, 0x7F, 0x7F,        // running pitch bend
                     0x00, 0xD4, 0x30,        // channel pressure
                     0x00, 0x31};             // running channel pressure
    const smf::File file = smf::Parse(FileOf(1, 480, {body}), "rs.mid");
    const auto& ev = file.tracks[0].events;
    ASSERT_EQ(ev.size(), 11u);
    ExpectChannel(ev[0], 0, 0x91, 0x3C, 0x50);
    ExpectChannel(ev[1], 10, 0x91, 0x3E, 0x51);
    ExpectChannel(ev[2], 20, 0x81, 0x3C, 0x40);
    ExpectChannel(ev[3], 20, 0x91, 0x40, 0x52);
    ExpectChannel(ev[4], 20, 0xC2, 0x05, 0x00);
    ExpectChannel(ev[5], 20, 0xC2, 0x06, 0x00);
    ExpectChannel(ev[6], 20, 0xE3, 0x00, 0x48);
    ExpectChannel(ev[7], 20, 0xE3, 0x7F, 0x7F);
    ExpectChannel(ev[8], 20, 0xD4, 0x30, 0x00);
    ExpectChannel(ev[9], 20, 0xD4, 0x31, 0x00);
}

TEST(StandardMidiFileParse, RunningStatusCarriesOverMetaAndSystemExclusiveEvents)
{
    // Sequencers write a track name, a marker or a sysex between two notes of one running status.
    const Bytes body{0x00, 0x92, 0x3C, 0x50,                   // note-on ch 2
                     0x00, 0xFF, 0x06, 0x01, 'A',              // marker
                     0x10, 0x3E, 0x51,                         // running note-on at 16
                     0x00, 0xF0, 0x03, 0x7E, 0x09, 0xF7,       // sysex
                     0x10, 0x3C, 0x00,                         // running note-on velocity 0 at 32
                     0x00, 0xF7, 0x01, 0xF8,                   // escape
                     0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, // tempo
                     0x10, 0x3E, 0x00,                         // running note-on velocity 0 at 48
                     0x00, 0xB5, 0x07, 0x64,                   // a new status ends the old one
                     0x00, 0xFF, 0x01, 0x00,                   // empty text
                     0x00, 0x0A, 0x20};                        // running control change
    const smf::File file = smf::Parse(FileOf(1, 480, {body}), "carry.mid");
    const auto& ev = file.tracks[0].events;
    ASSERT_EQ(ev.size(), 10u);
    ExpectChannel(ev[0], 0, 0x92, 0x3C, 0x50);
    ExpectMeta(ev[1], 0, 0x06, {'A'});
    ExpectChannel(ev[2], 16, 0x92, 0x3E, 0x51);
    ExpectChannel(ev[3], 32, 0x82, 0x3C, 0x40);
    ExpectMeta(ev[4], 32, 0x51, {0x07, 0xA1, 0x20});
    ExpectChannel(ev[5], 48, 0x82, 0x3E, 0x40);
    ExpectChannel(ev[6], 48, 0xB5, 0x07, 0x64);
    ExpectMeta(ev[7], 48, 0x01, {});
    ExpectChannel(ev[8], 48, 0xB5, 0x0A, 0x20);
    ExpectMeta(ev[9], 48, 0x2F, {});
}

TEST(StandardMidiFileParse, NoteOnWithVelocityZeroBecomesNoteOffOnTheSameChannelAndNote)
{
    for (std::uint8_t channel = 0; channel < 16; ++channel) {
        const Bytes body{0x00, std::uint8_t(0x90 | channel), 0x45, 0x00};
        const smf::File file = smf::Parse(FileOf(1, 480, {body}), "v0.mid");
        ExpectChannel(file.tracks[0].events[0], 0, std::uint8_t(0x80 | channel), 0x45, 0x40);
    }
}

TEST(StandardMidiFileParse, SystemExclusiveEventsAreSkippedButTheirDeltaTimesCount)
{
    const Bytes body{0x10, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7, // sysex at 16
                     0x10, 0xF7, 0x02, 0xF3, 0x01,                   // escape at 32
                     0x10, 0xF0, 0x00,                               // empty sysex at 48
                     0x10, 0x92, 0x30, 0x40};                        // note at 64
    const smf::File file = smf::Parse(FileOf(1, 480, {body}), "sx.mid");
    const auto& ev = file.tracks[0].events;
    ASSERT_EQ(ev.size(), 2u);
    ExpectChannel(ev[0], 64, 0x92, 0x30, 0x40);
    ExpectMeta(ev[1], 64, 0x2F, {});
}

TEST(StandardMidiFileParse, MetaEventsKeepTheirTypeAndDataIncludingEmptyAndLongOnes)
{
    const Bytes longText(200, 'x');
    const Bytes body = Cat({{0x00, 0xFF, 0x21, 0x01, 0x01},           // MIDI port 1
                            {0x00, 0xFF, 0x01, 0x00},                 // empty text
                            {0x00, 0xFF, 0x59, 0x02, 0xFE, 0x01},     // key: 2 flats, minor
                            {0x00, 0xFF, 0x05, 0x81, 0x48}, longText, // lyric of 200 bytes
                            {0x00, 0xFF, 0x7F, 0x03, 0x00, 0x00, 0x41}});
    const smf::File file = smf::Parse(FileOf(1, 480, {body}), "meta.mid");
    const auto& ev = file.tracks[0].events;
    ASSERT_EQ(ev.size(), 6u);
    ExpectMeta(ev[0], 0, 0x21, {0x01});
    ExpectMeta(ev[1], 0, 0x01, {});
    ExpectMeta(ev[2], 0, 0x59, {0xFE, 0x01});
    ExpectMeta(ev[3], 0, 0x05, longText);
    ExpectMeta(ev[4], 0, 0x7F, {0x00, 0x00, 0x41});
}

TEST(StandardMidiFileParse, DeltaTimesAreVariableLengthQuantitiesOfUpToFourBytes)
{
    struct Case {
        Bytes delta;
        std::uint32_t tick;
    };
    const Case cases[] = {
        {{0x00}, 0},
        {{0x40}, 0x40},
        {{0x7F}, 0x7F},
        {{0x81, 0x00}, 0x80},
        {{0xC0, 0x00}, 0x2000},
        {{0xFF, 0x7F}, 0x3FFF},
        {{0x81, 0x80, 0x00}, 0x4000},
        {{0xFF, 0xFF, 0x7F}, 0x1FFFFF},
        {{0x81, 0x80, 0x80, 0x00}, 0x200000},
        {{0xFF, 0xFF, 0xFF, 0x7F}, 0x0FFFFFFF},
    };
    for (const Case& c : cases) {
        const smf::File file = smf::Parse(FileOf(1, 480, {Cat({c.delta, {0x90, 0x3C, 0x40}})}), "vlq.mid");
        EXPECT_EQ(file.tracks[0].events[0].tick, c.tick) << "delta of " << c.delta.size() << " bytes";
    }
}

TEST(StandardMidiFileParse, TrailingBytesAfterEndOfTrackAreIgnoredAndAMissingEndOfTrackIsAccepted)
{
    const Bytes withTrailing = Cat({Header(1, 1, 480),
                                    Chunk("MTrk", {0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00, 0x99, 0x98})});
    const smf::File a = smf::Parse(withTrailing, "a.mid");
    ASSERT_EQ(a.tracks[0].events.size(), 2u);
    ExpectMeta(a.tracks[0].events[1], 0, 0x2F, {});

    const smf::File b = smf::Parse(Cat({Header(1, 1, 480), Chunk("MTrk", {0x00, 0x90, 0x3C, 0x40})}), "b.mid");
    ASSERT_EQ(b.tracks[0].events.size(), 1u);
    ExpectChannel(b.tracks[0].events[0], 0, 0x90, 0x3C, 0x40);
}

TEST(StandardMidiFileParse, UnknownChunksAndExtraHeaderBytesAreSkipped)
{
    const Bytes longHeader = Chunk("MThd", {0x00, 0x01, 0x00, 0x02, 0x01, 0xE0, 0xAA, 0xBB});
    const Bytes bytes = Cat({longHeader, Chunk("XFIH", {1, 2, 3}),
                             Chunk("MTrk", Cat({{0x00, 0x90, 0x3C, 0x40}, kEndOfTrack})),
                             Chunk("junk", {}), Chunk("MTrk", Cat({{0x00, 0x91, 0x3D, 0x41}, kEndOfTrack})),
                             Chunk("MThd", {9, 9, 9, 9, 9, 9})});
    const smf::File file = smf::Parse(bytes, "u.mid");
    EXPECT_EQ(file.division, 480);
    ASSERT_EQ(file.tracks.size(), 2u);
    ExpectChannel(file.tracks[0].events[0], 0, 0x90, 0x3C, 0x40);
    ExpectChannel(file.tracks[1].events[0], 0, 0x91, 0x3D, 0x41);
}

struct MalformedCase {
    const char* what;
    Bytes bytes;
    std::string message;
};

std::string At(std::size_t bodyOffset)
{
    return std::to_string(kFirstTrackBody + bodyOffset);
}

// Offsets in the expected texts count from the start of the file: the first track body starts at 22.
std::vector<MalformedCase> MalformedCases()
{
    const Bytes okTrack = Chunk("MTrk", kEndOfTrack);
    Bytes overflow;
    for (int i = 0; i < 17; ++i) {
        overflow = Cat({overflow, {0xFF, 0xFF, 0xFF, 0x7F, 0x90, 0x3C, 0x40}});
    }
    return {
        {"empty file", {}, "bad.mid: header too short: the file has 0 bytes"},
        {"seven bytes", {'M', 'T', 'h', 'd', 0, 0, 0}, "bad.mid: header too short: the file has 7 bytes"},
        {"track tag first", Cat({Chunk("MTrk", {0, 1, 0, 1, 1, 0xE0}), okTrack}),
         "bad.mid: wrong header tag, expected \"MThd\""},
        {"lower-case tag", Cat({Chunk("mthd", {0, 1, 0, 1, 1, 0xE0}), okTrack}),
         "bad.mid: wrong header tag, expected \"MThd\""},
        {"header length 5", Cat({Chunk("MThd", {0, 1, 0, 1, 1}), okTrack}),
         "bad.mid: header too short: length 5, expected at least 6"},
        {"header length past the end", Cat({Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 20}, Bytes{0, 1, 0, 1, 1, 0xE0}}),
         "bad.mid: truncated header chunk: length 20, only 6 bytes left"},
        {"format 2", Cat({Header(2, 1, 480), okTrack}), "bad.mid: format 2 (independent sequences) is not supported"},
        {"format 7", Cat({Header(7, 1, 480), okTrack}), "bad.mid: unknown format 7"},
        {"format 0 with two tracks", Cat({Header(0, 2, 480), okTrack, okTrack}),
         "bad.mid: format 0 declares 2 tracks, expected 1"},
        {"SMPTE division", Cat({Header(1, 1, 0xE728), okTrack}),
         "bad.mid: division 0xE728 is in SMPTE form, only ticks per quarter note are supported"},
        {"division 0", Cat({Header(1, 1, 0), okTrack}), "bad.mid: division 0 ticks per quarter note"},
        {"fewer tracks than declared", Cat({Header(1, 3, 480), okTrack, okTrack}),
         "bad.mid: track count mismatch: the header declares 3, the file holds 2 track chunks"},
        {"more tracks than declared", Cat({Header(1, 1, 480), okTrack, okTrack}),
         "bad.mid: track count mismatch: the header declares 1, the file holds 2 track chunks"},
        {"no track at all", Header(1, 1, 480),
         "bad.mid: track count mismatch: the header declares 1, the file holds 0 track chunks"},
        {"second track chunk longer than the file",
         Cat({Header(1, 2, 480), okTrack, Bytes{'M', 'T', 'r', 'k', 0, 0, 0x10, 0}, kEndOfTrack}),
         "bad.mid: truncated track chunk 2 at byte 26: length 4096, only 4 bytes left"},
        {"unknown chunk longer than the file",
         Cat({Header(1, 1, 480), okTrack, Bytes{'a', 'b', 'c', 'd', 0xFF, 0xFF, 0xFF, 0xFF}}),
         "bad.mid: truncated chunk at byte 26: length 4294967295, only 0 bytes left"},
        {"half a chunk header after the tracks", Cat({Header(1, 1, 480), okTrack, Bytes{'M', 'T', 'r', 'k'}}),
         "bad.mid: truncated chunk header at byte 26"},
        {"delta of five bytes", FileOf(1, 480, {{0x81, 0x80, 0x80, 0x80, 0x00, 0x90, 0x3C, 0x40}}),
         "bad.mid: bad variable-length quantity (longer than 4 bytes) in track chunk 1 at byte " + At(0)},
        {"delta cut by the chunk end", Cat({Header(1, 1, 480), Chunk("MTrk", {0x00, 0x90, 0x3C, 0x40, 0x81})}),
         "bad.mid: truncated variable-length quantity in track chunk 1 at byte " + At(4)},
        {"data byte first", FileOf(1, 480, {{0x00, 0x3C, 0x40}}),
         "bad.mid: data byte 0x3C where a status byte is needed in track chunk 1 at byte " + At(1)},
        {"data byte after a meta event that opens the track",
         FileOf(1, 480, {{0x00, 0xFF, 0x01, 0x00, 0x00, 0x3C, 0x00}}),
         "bad.mid: data byte 0x3C where a status byte is needed in track chunk 1 at byte " + At(5)},
        {"data byte after a sysex that opens the track",
         FileOf(1, 480, {{0x00, 0xF0, 0x01, 0xF7, 0x00, 0x3C, 0x00}}),
         "bad.mid: data byte 0x3C where a status byte is needed in track chunk 1 at byte " + At(5)},
        {"running status does not pass from one track chunk to the next",
         FileOf(1, 480, {{0x00, 0x90, 0x3C, 0x40}, {0x00, 0x3C, 0x00}}),
         "bad.mid: data byte 0x3C where a status byte is needed in track chunk 2 at byte 39"},
        {"status byte inside a note", FileOf(1, 480, {{0x00, 0x90, 0x3C, 0x80, 0x3C, 0x00}}),
         "bad.mid: status byte 0x80 where a data byte is needed in track chunk 1 at byte " + At(3)},
        {"note cut by the chunk end", Cat({Header(1, 1, 480), Chunk("MTrk", {0x00, 0x90, 0x3C})}),
         "bad.mid: truncated event in track chunk 1 at byte " + At(1)},
        {"program change cut by the chunk end", Cat({Header(1, 1, 480), Chunk("MTrk", {0x00, 0xC0})}),
         "bad.mid: truncated event in track chunk 1 at byte " + At(1)},
        {"delta without an event", Cat({Header(1, 1, 480), Chunk("MTrk", {0x00})}),
         "bad.mid: truncated event in track chunk 1 at byte " + At(1)},
        {"meta without its type", Cat({Header(1, 1, 480), Chunk("MTrk", {0x00, 0xFF})}),
         "bad.mid: truncated meta event in track chunk 1 at byte " + At(1)},
        {"meta longer than its chunk",
         Cat({Header(1, 1, 480), Chunk("MTrk", {0x00, 0xFF, 0x03, 0x05, 'a', 'b'}), okTrack}),
         "bad.mid: truncated meta event in track chunk 1 at byte " + At(1)},
        {"meta length of 256 megabytes",
         Cat({Header(1, 1, 480), Chunk("MTrk", {0x00, 0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0x7F, 'a'})}),
         "bad.mid: truncated meta event in track chunk 1 at byte " + At(1)},
        {"sysex longer than its chunk", Cat({Header(1, 1, 480), Chunk("MTrk", {0x00, 0xF0, 0x08, 0x01, 0xF7})}),
         "bad.mid: truncated system-exclusive event in track chunk 1 at byte " + At(1)},
        {"system common status", FileOf(1, 480, {{0x00, 0xF4, 0x00}}),
         "bad.mid: unexpected status byte 0xF4 in track chunk 1 at byte " + At(1)},
        {"ticks past 32 bits", FileOf(1, 480, {overflow}),
         "bad.mid: tick overflow in track chunk 1 at byte " + At(16 * 7 + 4)},
        {"fault in the second track chunk after an unknown chunk",
         Cat({Header(1, 2, 480), okTrack, Chunk("XXXX", {1}), Chunk("MTrk", {0x00, 0x45})}),
         "bad.mid: data byte 0x45 where a status byte is needed in track chunk 2 at byte 44"},
    };
}

TEST(StandardMidiFileParse, MalformedFilesThrowFormatErrorNamingTheFileTheFaultAndWhere)
{
    for (const MalformedCase& c : MalformedCases()) {
        try {
            smf::Parse(c.bytes, "bad.mid");
            ADD_FAILURE() << c.what << ": no exception";
        } catch (const smf::FormatError& e) {
            EXPECT_EQ(std::string(e.what()), c.message) << c.what;
        }
    }
}

TEST(StandardMidiFileParse, FormatErrorIsCaughtAsTheLibraryRuntimeError)
{
    EXPECT_THROW(smf::Parse({}, "x.mid"), fennic::RuntimeError);
}

// A file that uses every construct the reader handles.
Bytes RichFile()
{
    return FileOf(1, 480,
                  {{0x00, 0xFF, 0x03, 0x04, 'S', 'o', 'n', 'g', 0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20},
                   {0x00, 0xFF, 0x21, 0x01, 0x01, 0x00, 0xF0, 0x03, 0x43, 0x10, 0xF7, 0x00, 0xB0, 0x07, 0x64,
                    0x00, 0x0A, 0x40, 0x00, 0x90, 0x3C, 0x64, 0x83, 0x60, 0x3C, 0x00, 0x81, 0x80, 0x00, 0xE0,
                    0x00, 0x40, 0x00, 0xC0, 0x10},
                   {0x00, 0x99, 0x24, 0x7F, 0x60, 0x24, 0x00}});
}

TEST(StandardMidiFileParse, EveryTruncationOfAValidFileThrowsFormatError)
{
    const Bytes full = RichFile();
    ASSERT_NO_THROW(smf::Parse(full, "rich.mid"));
    for (std::size_t length = 0; length < full.size(); ++length) {
        const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_THROW(smf::Parse(cut, "rich.mid"), smf::FormatError) << "cut at " << length;
    }
}

TEST(StandardMidiFileParse, EverySingleByteCorruptionGivesAFileOrAFormatErrorAndNothingElse)
{
    const Bytes full = RichFile();
    for (std::size_t at = 0; at < full.size(); ++at) {
        for (const std::uint8_t value : {0x00, 0x01, 0x3C, 0x7F, 0x80, 0xF0, 0xF7, 0xFF}) {
            Bytes corrupt = full;
            corrupt[at] = value;
            try {
                smf::Parse(corrupt, "rich.mid");
            } catch (const smf::FormatError&) {
            } catch (const std::exception& e) {
                ADD_FAILURE() << "byte " << at << " = " << int(value) << ": " << e.what();
            }
        }
    }
}

class StandardMidiFileRead : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = std::filesystem::path(::testing::TempDir()) / (std::string("smf_") + info->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string Write(const std::string& name, const Bytes& bytes) const
    {
        const std::filesystem::path path = dir / name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    std::filesystem::path dir;
};

TEST_F(StandardMidiFileRead, ReadsTheFileFromDiskLikeParse)
{
    const smf::File file = smf::ReadFile(Write("rich.mid", RichFile()));
    const smf::File expected = smf::Parse(RichFile(), "rich.mid");
    ASSERT_EQ(file.tracks.size(), expected.tracks.size());
    for (std::size_t t = 0; t < file.tracks.size(); ++t) {
        const auto& got = file.tracks[t].events;
        const auto& want = expected.tracks[t].events;
        ASSERT_EQ(got.size(), want.size()) << "track " << t;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].tick, want[i].tick);
            EXPECT_EQ(got[i].status, want[i].status);
            EXPECT_EQ(got[i].data1, want[i].data1);
            EXPECT_EQ(got[i].data2, want[i].data2);
            EXPECT_EQ(got[i].metaData, want[i].metaData);
        }
    }
}

TEST_F(StandardMidiFileRead, MissingFileOrDirectoryThrowsIoErrorNamingThePath)
{
    for (const std::string& path : {(dir / "absent.mid").string(), dir.string()}) {
        try {
            smf::ReadFile(path);
            ADD_FAILURE() << path << ": no exception";
        } catch (const fennic::IoError& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
    }
}

TEST_F(StandardMidiFileRead, MalformedFileOnDiskThrowsFormatErrorNamingThePath)
{
    const std::string path = Write("cut.mid", Header(1, 2, 480));
    try {
        smf::ReadFile(path);
        ADD_FAILURE() << "no exception";
    } catch (const smf::FormatError& e) {
        EXPECT_EQ(std::string(e.what()),
                  path + ": track count mismatch: the header declares 2, the file holds 0 track chunks");
    }
}

} // namespace
