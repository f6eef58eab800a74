// Checks that the demo show in shows/demo is sound: show.json names readable MIDI files, and each
// file holds what the generator's table says (bars, meters, tempos, keys, tracks) with every note
// closed and every track on one channel; the change log holds the generator's edits, one of every
// kind the program edits; the score archive holds a readable PNG for every page that show.json
// names; the album art is a JPEG.

#include "brix_core/smf/StandardMidiFile.h"

#include <brix_core/ChangeLog.h>
#include <brix_core/EventCodes.h>
#include <brix_core/LogDataFile.h>

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::filesystem::path kDemo = std::filesystem::path(BRIX_SOURCE_DIR) / "shows" / "demo";

struct TimedValue {
    std::uint32_t tick;
    int value;
    bool operator==(const TimedValue&) const = default;
};

struct MeterAt {
    std::uint32_t tick;
    int numerator;
    int denominator;
    bool operator==(const MeterAt&) const = default;
};

struct ExpectedSong {
    std::string number;
    std::string file;
    bool attacca;
    int pickup;
    int bars;
    std::uint32_t endTick;
    std::vector<MeterAt> meters;
    std::vector<TimedValue> tempos; // microseconds per quarter
    std::vector<TimedValue> keys;   // sharps, negative for flats
    std::set<int> trackIds;
    std::vector<std::pair<int, int>> pages;
};

// The generator's table, in show order.
const std::vector<ExpectedSong> kExpected = {
    {"1", "01_overture.mid", true, 0, 12, 23040,
     {{0, 4, 4}},
     {{0, 500000}, {15360, 454545}},
     {{0, 0}},
     {0, 1, 2, 3, 9},
     {{1, 1}, {7, 2}}},
    {"2", "02_harbour_lights.mid", false, 1, 17, 29280,
     {{0, 4, 4}, {23520, 3, 4}},
     {{0, 625000}},
     {{0, 1}},
     {0, 1, 2, 20, 16, 17},
     {{1, 3}, {8, 4}, {14, 5}}},
    {"2A", "02a_harbour_lights_reprise.mid", false, 0, 16, 23040,
     {{0, 6, 8}},
     {{0, 666667}, {20160, 750000}},
     {{0, 2}, {11520, -3}},
     {1, 2, 20, 16, 17},
     {{1, 6}, {9, 7}}},
    {"10", "10_finale.mid", false, 0, 20, 32640,
     {{0, 4, 4}, {15360, 3, 4}, {21120, 6, 8}},
     {{0, 535714}, {15360, 600000}, {21120, 476190}, {31200, 625000}},
     {{0, -1}, {21120, 1}},
     {0, 1, 2, 3, 9, 20, 16, 17, 25},
     {{1, 8}, {9, 9}, {13, 10}, {17, 11}}},
};

std::string ReadBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

rapidjson::Document ReadShowJson()
{
    rapidjson::Document doc;
    doc.Parse(ReadBytes(kDemo / "show.json").c_str());
    return doc;
}

// Bars from the time signatures and the pickup; fails when the end is not on a bar line.
int CountBars(const std::vector<MeterAt>& meters, int pickup, std::uint32_t endTick)
{
    int bars = 0;
    std::uint32_t tick = 0;
    std::size_t next = 0;
    MeterAt meter = meters.front();
    while (tick < endTick) {
        while (next < meters.size() && meters[next].tick <= tick) {
            EXPECT_EQ(meters[next].tick, tick) << "time signature off the bar line";
            meter = meters[next++];
        }
        const std::uint32_t beat = 1920u / static_cast<std::uint32_t>(meter.denominator);
        tick += (bars == 0 && pickup > 0 ? static_cast<std::uint32_t>(pickup) : meter.numerator) * beat;
        ++bars;
    }
    EXPECT_EQ(tick, endTick) << "the song does not end on a bar line";
    return bars;
}

// Every note-on is closed by a later note-off of the same pitch, and no pitch is struck again while
// it sounds.
void ExpectNotesClosed(const smf::Track& track, const std::string& where)
{
    std::map<int, std::uint32_t> sounding;
    for (const smf::Event& e : track.events) {
        const int kind = e.status & 0xF0;
        if (kind == 0x90) {
            EXPECT_TRUE(sounding.emplace(e.data1, e.tick).second) << where << ": note " << int(e.data1)
                                                                  << " struck again at " << e.tick;
        } else if (kind == 0x80) {
            EXPECT_EQ(sounding.erase(e.data1), 1u) << where << ": note-off without note-on at " << e.tick;
        }
    }
    EXPECT_TRUE(sounding.empty()) << where << ": " << sounding.size() << " notes never end";
}

TEST(DemoShowFiles, ShowJsonListsTheSongsInShowOrderWithTheirFlagsPickupsAndPages)
{
    const rapidjson::Document doc = ReadShowJson();
    ASSERT_TRUE(doc.IsObject()) << "show.json is not a JSON object";
    EXPECT_EQ(doc["format"].GetInt(), 1);
    EXPECT_TRUE(doc["name"].IsString());
    EXPECT_TRUE(doc["customer"].IsString());
    const auto& songs = doc["songs"].GetArray();
    ASSERT_EQ(songs.Size(), kExpected.size());
    for (rapidjson::SizeType i = 0; i < songs.Size(); ++i) {
        const ExpectedSong& want = kExpected[i];
        const auto& song = songs[i];
        EXPECT_EQ(song["number"].GetString(), want.number);
        EXPECT_TRUE(song["name"].IsString());
        EXPECT_EQ(song["midi"].GetString(), want.file);
        EXPECT_EQ(song["attacca"].GetBool(), want.attacca) << want.number;
        EXPECT_EQ(song["pickup"].GetInt(), want.pickup) << want.number;
        std::vector<std::pair<int, int>> pages;
        for (const auto& page : song["pages"].GetArray()) {
            pages.emplace_back(page["bar"].GetInt(), page["page"].GetInt());
        }
        EXPECT_EQ(pages, want.pages) << want.number;
    }
}

TEST(DemoShowFiles, GroupsHoldEveryTrackIdOfTheShowOnce)
{
    const rapidjson::Document doc = ReadShowJson();
    ASSERT_TRUE(doc.IsObject());
    std::set<int> grouped;
    std::set<int> vocal;
    for (const char* group : {"Instruments", "Vocal Parts"}) {
        for (const auto& id : doc["groups"][group].GetArray()) {
            EXPECT_TRUE(grouped.insert(id.GetInt()).second) << "id " << id.GetInt() << " in two groups";
            if (std::string(group) == "Vocal Parts") {
                vocal.insert(id.GetInt());
            }
        }
    }
    std::set<int> used;
    for (const ExpectedSong& song : kExpected) {
        used.insert(song.trackIds.begin(), song.trackIds.end());
    }
    EXPECT_EQ(grouped, used);
    EXPECT_EQ(vocal, (std::set<int>{16, 17}));
}

TEST(DemoShowFiles, EverySongFileReadsAndHoldsTheTabledBarsMetersTempoKeysAndTracks)
{
    for (const ExpectedSong& want : kExpected) {
        SCOPED_TRACE(want.file);
        const smf::File file = smf::ReadFile((kDemo / want.file).string());
        EXPECT_EQ(file.format, 1);
        EXPECT_EQ(file.division, 480);
        ASSERT_GE(file.tracks.size(), 2u);

        std::vector<MeterAt> meters;
        std::vector<TimedValue> tempos;
        std::vector<TimedValue> keys;
        for (const smf::Event& e : file.tracks[0].events) {
            ASSERT_EQ(e.status, 0xFF) << "channel event in the conductor track";
            if (e.metaType == 0x58) {
                meters.push_back({e.tick, e.metaData.at(0), 1 << e.metaData.at(1)});
            } else if (e.metaType == 0x51) {
                tempos.push_back({e.tick, (e.metaData.at(0) << 16) | (e.metaData.at(1) << 8) | e.metaData.at(2)});
            } else if (e.metaType == 0x59) {
                keys.push_back({e.tick, static_cast<std::int8_t>(e.metaData.at(0))});
            }
        }
        EXPECT_EQ(meters, want.meters);
        EXPECT_EQ(tempos, want.tempos);
        EXPECT_EQ(keys, want.keys);
        EXPECT_EQ(CountBars(meters, want.pickup, want.endTick), want.bars);

        std::set<int> ids;
        for (std::size_t t = 0; t < file.tracks.size(); ++t) {
            const smf::Track& track = file.tracks[t];
            const std::string where = want.file + " track " + std::to_string(t);
            ASSERT_FALSE(track.events.empty()) << where;
            const smf::Event& last = track.events.back();
            EXPECT_TRUE(last.status == 0xFF && last.metaType == 0x2F && last.tick == want.endTick)
                << where << " does not end at the song's end";
            if (t == 0) {
                continue;
            }
            int port = 0;
            std::set<int> channels;
            bool named = false;
            for (const smf::Event& e : track.events) {
                if (e.status == 0xFF) {
                    named = named || (e.metaType == 0x03 && !e.metaData.empty());
                    port = e.metaType == 0x21 ? e.metaData.at(0) : port;
                } else {
                    channels.insert(e.status & 0x0F);
                }
            }
            EXPECT_TRUE(named) << where << " has no name";
            ASSERT_EQ(channels.size(), 1u) << where;
            EXPECT_TRUE(ids.insert((port << 4) | *channels.begin()).second) << where << ": id used twice";
            ExpectNotesClosed(track, where);
        }
        EXPECT_EQ(ids, want.trackIds);
    }
}

// The generator's change-log table.
const char* const kLogFile = "lanterns_on_the_quay-1.0.logdata";

struct ExpectedEdit {
    std::string song;
    cmn::BrixEvent event;
};

const std::vector<ExpectedEdit> kExpectedEdits = {
    {"1", CL::Vamp(0, 3840, "@1", 0)},
    {"1", CL::Cut(7680, 15360, "B1", 0)},
    {"1", CL::Marker(15360, "Piu mosso", "E1")},
    {"1", CL::Caesura(21120, "N1", 0)},
    {"2", CL::Transpose(0, 29280, "C1", -2)},
    {"2", CL::Click(480, 15840, "L1", 16)},
    {"2", CL::Marker(15840, "Chorus", "E2")},
    {"2", CL::Repeat(15840, 23520, "A1", 2)},
    {"2", CL::TempoScale(23520, 29280, "F1", 0.9)},
    {"2", CL::Osc(23520, "S1", CL::OscProperties("/cue/14/go", "lights"))},
};

TEST(DemoShowFiles, ChangeLogIsTheShowsLatestAndHoldsTheTabledEditsOfEveryKind)
{
    EXPECT_EQ(CL::FindLatestLogDataFile(kDemo), kDemo / kLogFile);
    const CL::ChangeLog log = CL::ReadLogDataFile(kDemo / kLogFile);
    EXPECT_EQ(log.GetVersion().GetAsString(), "1.0");
    ASSERT_EQ(log.GetNetworks().size(), 1u);
    const CL::NetworkPath& lights = log.GetNetworks().front();
    EXPECT_EQ(lights, CL::NetworkPath("Lighting desk", "lights", "127.0.0.1", 53000, false));

    std::map<std::string, std::map<std::string, cmn::BrixEvent>> expected;
    for (const ExpectedEdit& edit : kExpectedEdits) {
        expected[edit.song].emplace(edit.event.EventId(), edit.event);
    }
    std::map<std::string, std::map<std::string, cmn::BrixEvent>> stored;
    std::set<int> kinds;
    for (const CL::SongLog& song : log.GetSongLogs()) {
        for (const cmn::BrixEvent& event : song.GetAllEvents()) {
            stored[song.GetSongNumber()].emplace(event.EventId(), event);
            kinds.insert(event.code());
            if (event.code() == codes::osc) {
                EXPECT_EQ(event.osc_properties().NetworkId(), lights.NetworkId())
                    << "cue " << event.EventId() << " goes to no network of the log";
            }
        }
    }
    EXPECT_EQ(stored, expected);
    EXPECT_EQ(kinds, (std::set<int>{codes::cut, codes::vamp, codes::repeat, codes::caesura, codes::marker,
                                    codes::tempoScale, codes::click, codes::transpose, codes::osc}));
}

std::uint32_t BigEndian32(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = value << 8 | static_cast<std::uint8_t>(bytes.at(at + i));
    }
    return value;
}

// The width and height of an intact PNG: the signature, then chunks each with its length, type, data
// and a CRC over type and data, the first IHDR and the last IEND, with nothing after it. Fails the
// test and gives {0, 0} otherwise.
std::pair<std::uint32_t, std::uint32_t> PngSize(const std::string& png, const std::string& name)
{
    if (png.compare(0, 8, std::string("\x89PNG\r\n\x1A\n", 8)) != 0) {
        ADD_FAILURE() << name << ": no PNG signature";
        return {0, 0};
    }
    std::vector<std::string> types;
    std::size_t at = 8;
    while (at + 12 <= png.size() && (types.empty() || types.back() != "IEND")) {
        const std::uint32_t length = BigEndian32(png, at);
        if (length > png.size() - at - 12) {
            break;
        }
        const auto* typeAndData = reinterpret_cast<const Bytef*>(png.data() + at + 4);
        if (crc32(0, typeAndData, length + 4) != BigEndian32(png, at + 8 + length)) {
            ADD_FAILURE() << name << ": bad CRC in chunk " << png.substr(at + 4, 4);
            return {0, 0};
        }
        types.push_back(png.substr(at + 4, 4));
        at += 12 + length;
    }
    if (types.empty() || types.front() != "IHDR" || types.back() != "IEND" || at != png.size()) {
        ADD_FAILURE() << name << ": chunks do not run from IHDR to IEND at the end";
        return {0, 0};
    }
    return {BigEndian32(png, 16), BigEndian32(png, 20)};
}

TEST(DemoShowFiles, ScoreArchiveHoldsOneReadablePngPagePerPageNumberOfShowJson)
{
    const rapidjson::Document doc = ReadShowJson();
    ASSERT_TRUE(doc.IsObject());
    std::set<int> pageNumbers;
    for (const auto& song : doc["songs"].GetArray()) {
        for (const auto& page : song["pages"].GetArray()) {
            pageNumbers.insert(page["page"].GetInt());
        }
    }
    ASSERT_FALSE(pageNumbers.empty());

    // Read from memory as the score viewer reads it.
    const std::string tar = ReadBytes(kDemo / "score.tar");
    const std::unique_ptr<archive, int (*)(archive*)> reader(archive_read_new(), archive_read_free);
    archive_read_support_format_tar(reader.get());
    archive_read_support_filter_all(reader.get());
    ASSERT_EQ(archive_read_open_memory(reader.get(), tar.data(), tar.size()), ARCHIVE_OK)
        << archive_error_string(reader.get());
    std::multiset<int> pagesFound;
    archive_entry* entry = nullptr;
    int result = ARCHIVE_OK;
    while ((result = archive_read_next_header(reader.get(), &entry)) == ARCHIVE_OK) {
        const std::string name = archive_entry_pathname(entry);
        const bool framed = name.size() > 9 && name.starts_with("page-") && name.ends_with(".png");
        const std::string digits = framed ? name.substr(5, name.size() - 9) : "";
        ASSERT_TRUE(!digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos)
            << name << " is not page-<number>.png";
        pagesFound.insert(std::stoi(digits));
        std::string png;
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        while ((result = archive_read_data_block(reader.get(), &block, &size, &offset)) == ARCHIVE_OK) {
            png.append(static_cast<const char*>(block), size);
        }
        ASSERT_EQ(result, ARCHIVE_EOF) << name << ": " << archive_error_string(reader.get());
        EXPECT_EQ(PngSize(png, name), (std::pair<std::uint32_t, std::uint32_t>{600, 800})) << name;
    }
    EXPECT_EQ(result, ARCHIVE_EOF) << archive_error_string(reader.get());
    EXPECT_EQ(pagesFound, std::multiset<int>(pageNumbers.begin(), pageNumbers.end()));
}

TEST(DemoShowFiles, AlbumArtworkIsAWholeJpeg)
{
    const std::string jpeg = ReadBytes(kDemo / "AlbumArtwork.jpg");
    ASSERT_GT(jpeg.size(), 4u);
    EXPECT_EQ(jpeg.substr(0, 3), "\xFF\xD8\xFF") << "no start-of-image marker";
    EXPECT_EQ(jpeg.substr(jpeg.size() - 2), "\xFF\xD9") << "no end-of-image marker";
}

} // namespace
