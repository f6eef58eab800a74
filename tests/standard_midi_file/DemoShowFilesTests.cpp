// Checks that the demo show in shows/demo is sound: show.json names readable MIDI files, and each
// file holds what the generator's table says (bars, meters, tempos, keys, tracks) with every note
// closed and every track on one channel.

#include "brix_core/smf/StandardMidiFile.h"

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <filesystem>
#include <fstream>
#include <map>
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
     {0, 1, 2, 3, 9, 20, 16, 17},
     {{1, 8}, {9, 9}, {13, 10}, {17, 11}}},
};

rapidjson::Document ReadShowJson()
{
    std::ifstream in(kDemo / "show.json");
    std::stringstream text;
    text << in.rdbuf();
    rapidjson::Document doc;
    doc.Parse(text.str().c_str());
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

} // namespace
