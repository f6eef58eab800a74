#include <brix_core/ShowFolder.h>

#include <fennic/Exceptions.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// ---- the demo show -----------------------------------------------------------------------------

struct ExpectedTrack {
    unsigned short id;
    const char* name;
    std::uint8_t program;
};

struct ExpectedSong {
    const char* number;
    const char* name;
    bool attacca;
    std::uint32_t lastTick;
    std::size_t bars;
    std::size_t beats;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> tempos;  // tick, microseconds per quarter
    std::vector<std::vector<std::uint32_t>> meters;              // tick, numerator, denominator, clocks
    std::vector<std::vector<std::int32_t>> keys;                 // tick, mode, sharps/flats
    std::vector<std::pair<std::uint32_t, std::int32_t>> pages;    // tick, page
    std::vector<std::uint32_t> firstBarStarts;                    // ticks of bars 1, 2, 3 ...
    std::vector<unsigned short> trackIds;
};

const std::map<unsigned short, ExpectedTrack> kDemoTracks{
    {0, {0, "Piano", 0}},          {1, {1, "Bass", 32}},          {2, {2, "Strings", 48}},
    {3, {3, "Winds", 73}},         {9, {9, "Drums", 0}},          {20, {20, "Guitar", 25}},
    {16, {16, "Vocal Lead", 53}},  {17, {17, "Vocal Harmony", 54}}, {25, {25, "Click", 0}},
};

// From the table at the top of tools/make_demo_show/make_demo_show.cpp.
const std::vector<ExpectedSong> kDemoSongs{
    {"1", "Overture", true, 23040, 12, 48,
     {{0, 500000}, {15360, 454545}},
     {{0, 4, 4, 24}},
     {{0, 0, 0}},
     {{0, 1}, {11520, 2}},
     {0, 1920, 3840},
     {0, 1, 2, 3, 9}},
    {"2", "Harbour Lights", false, 29280, 17, 61,
     {{0, 625000}},
     {{0, 4, 4, 24}, {23520, 3, 4, 24}},
     {{0, 0, 1}},
     {{0, 3}, {12000, 4}, {23520, 5}},
     {0, 480, 2400},
     {0, 1, 2, 16, 17, 20}},
    {"2A", "Harbour Lights (Reprise)", false, 23040, 16, 32,
     {{0, 666667}, {20160, 750000}},
     {{0, 6, 8, 36}},
     {{0, 0, 2}, {11520, 0, -3}},
     {{0, 6}, {11520, 7}},
     {0, 1440, 2880},
     {1, 2, 16, 17, 20}},
    {"10", "Finale", false, 32640, 20, 60,
     {{0, 535714}, {15360, 600000}, {21120, 476190}, {31200, 625000}},
     {{0, 4, 4, 24}, {15360, 3, 4, 24}, {21120, 6, 8, 36}},
     {{0, 0, -1}, {21120, 0, 1}},
     {{0, 8}, {15360, 9}, {21120, 10}, {26880, 11}},
     {0, 1920, 3840},
     {0, 1, 2, 3, 9, 16, 17, 20, 25}},
};

class DemoShow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        loaded_ = new brix_midi::LoadedShow(brix_midi::LoadShowFolder(BRIX_SOURCE_DIR "/shows/demo"));
    }
    static void TearDownTestSuite() {
        delete loaded_;
        loaded_ = nullptr;
    }
    static brix_midi::LoadedShow* loaded_;
};

brix_midi::LoadedShow* DemoShow::loaded_ = nullptr;

TEST_F(DemoShow, HasItsNameGroupsAndSongsOrderedAsNumbers) {
    const brix_midi::ShowData& show = loaded_->show;
    EXPECT_EQ(show.GetName(), "Lanterns on the Quay");
    EXPECT_EQ(show.GetCustomer(), "Brix Demo Company");
    std::vector<std::string> numbers;
    for (const auto& [number, song] : show.GetSongs()) {
        numbers.push_back(number);
    }
    EXPECT_EQ(numbers, (std::vector<std::string>{"1", "2", "2A", "10"}));

    ASSERT_EQ(show.GetGroups().GetGroupCount(), 2u);
    EXPECT_EQ(show.GetGroups().GetGroupName(0), "Instruments");
    EXPECT_EQ(show.GetGroups().GetGroup(0), (std::set<unsigned short>{0, 1, 2, 3, 9, 20, 25}));
    EXPECT_EQ(show.GetGroups().GetGroupName(1), "Vocal Parts");
    EXPECT_EQ(show.GetGroups().GetGroup(1), (std::set<unsigned short>{16, 17}));
    EXPECT_TRUE(show.GetGroups().GetGroup(2).empty());
}

TEST_F(DemoShow, ChangeLogHasOneEmptySongLogPerSongInShowOrder) {
    const auto& logs = loaded_->changeLog.GetSongLogs();
    ASSERT_EQ(logs.size(), kDemoSongs.size());
    for (std::size_t i = 0; i < logs.size(); ++i) {
        EXPECT_EQ(logs[i].GetSongNumber(), kDemoSongs[i].number);
        EXPECT_EQ(logs[i].GetSongName(), kDemoSongs[i].name);
        EXPECT_TRUE(logs[i].GetClicks().empty());
        EXPECT_EQ(logs[i].GetMarkers().GetEventCount(), 0u);
    }
}

TEST_F(DemoShow, EachSongHasTheExpectedTimeline) {
    for (const ExpectedSong& expected : kDemoSongs) {
        SCOPED_TRACE(std::string("song ") + expected.number);
        const brix_midi::SongData& song = loaded_->show.GetSong(expected.number);
        EXPECT_EQ(song.GetSongName(), expected.name);
        EXPECT_EQ(song.GetAttacca(), expected.attacca);
        EXPECT_EQ(song.GetResolution(), 480);
        EXPECT_EQ(song.GetSongStartTickIndex(), 0u);
        const TL::Timeline& timeline = song.GetTimeline();
        EXPECT_EQ(timeline.GetLastTickIndex(), expected.lastTick);

        std::vector<std::pair<std::uint32_t, std::uint32_t>> tempos;
        for (const TL::Tempo& t : timeline.GetTempos()) {
            tempos.emplace_back(t.tick, t.microsecondsPerQuarter);
        }
        EXPECT_EQ(tempos, expected.tempos);

        std::vector<std::vector<std::uint32_t>> meters;
        for (const TL::Meter& m : timeline.GetMeters()) {
            meters.push_back({m.tick, m.numerator, m.denominator, m.clocks_per_click});
            EXPECT_EQ(m.notated_32_per_click(), 8);
        }
        EXPECT_EQ(meters, expected.meters);

        std::vector<std::vector<std::int32_t>> keys;
        for (const TL::Key& k : timeline.GetKeys()) {
            keys.push_back({static_cast<std::int32_t>(k.tick), k.mode, k.sharpsFlats});
        }
        EXPECT_EQ(keys, expected.keys);

        std::vector<std::pair<std::uint32_t, std::int32_t>> pages;
        for (const TL::PageNum& p : timeline.GetPageNums()) {
            pages.emplace_back(p.tick, p.page);
        }
        EXPECT_EQ(pages, expected.pages);

        const auto& beats = timeline.GetBarsBeats();
        EXPECT_EQ(beats.size(), expected.beats);
        std::vector<std::uint32_t> barStarts;
        std::uint32_t previousBar = 0;
        for (const TL::BarsBeats& b : beats) {
            if (b.beat == 1) {
                barStarts.push_back(b.tick);
                EXPECT_EQ(b.bar_number(), std::to_string(++previousBar));
            }
            EXPECT_LT(b.tick, expected.lastTick);
        }
        EXPECT_EQ(barStarts.size(), expected.bars);
        barStarts.resize(std::min(barStarts.size(), expected.firstBarStarts.size()));
        EXPECT_EQ(barStarts, expected.firstBarStarts);
    }
}

TEST_F(DemoShow, EachSongHasItsTracksWithNamesProgramsAndEventsInTickOrder) {
    for (const ExpectedSong& expected : kDemoSongs) {
        SCOPED_TRACE(std::string("song ") + expected.number);
        const brix_midi::SongData& song = loaded_->show.GetSong(expected.number);
        std::vector<unsigned short> ids;
        for (const auto& [id, track] : song.GetVoiceData()) {
            ids.push_back(id);
            const ExpectedTrack& t = kDemoTracks.at(id);
            EXPECT_EQ(track->GetTrackNumber(), id);
            EXPECT_EQ(track->GetTrackName(), t.name);
            EXPECT_EQ(track->GetDefaultProgramChange(), t.program);
            const std::pair<std::uint8_t, std::uint8_t> pitched{0, 127};
            EXPECT_EQ(track->GetNoteRange(), (id & 0x0F) == 9 ? brix_midi::VoiceTrack::kNoNoteRange : pitched);
            const auto& events = track->GetEvents();
            EXPECT_FALSE(events.empty());
            EXPECT_TRUE(std::is_sorted(events.begin(), events.end(),
                                       [](const auto& a, const auto& b) { return a.tick < b.tick; }));
            for (const brix_midi::VoiceEvent& e : events) {
                EXPECT_TRUE(e.IsValidVoiceEvent());
                EXPECT_EQ(e.message.status & 0x0F, id & 0x0F);
                EXPECT_FALSE((e.message.status & 0xF0) == 0x90 && e.message.data2 == 0)
                    << "a note-on of velocity 0 is kept as a note-off";
            }
        }
        EXPECT_EQ(ids, expected.trackIds);
    }
}

TEST_F(DemoShow, AskingForASongTheShowDoesNotHaveNamesTheSong) {
    try {
        loaded_->show.GetSong("99");
        FAIL() << "no exception";
    } catch (const std::out_of_range& error) {
        EXPECT_NE(std::string(error.what()).find("\"99\""), std::string::npos) << error.what();
    }
}

// ---- small shows written by the tests -----------------------------------------------------------

void PutBigEndian(Bytes& out, std::uint32_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

// A Standard MIDI File of format 1 with the given division and track chunks (raw event bytes,
// delta times included).
Bytes MidiFile(std::uint16_t division, const std::vector<Bytes>& tracks) {
    Bytes out{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    PutBigEndian(out, static_cast<std::uint32_t>(tracks.size()), 2);
    PutBigEndian(out, division, 2);
    for (const Bytes& track : tracks) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        PutBigEndian(out, static_cast<std::uint32_t>(track.size()), 4);
        out.insert(out.end(), track.begin(), track.end());
    }
    return out;
}

const Bytes kEndOfTrack{0x00, 0xFF, 0x2F, 0x00};

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        for (const std::uint8_t byte : part) {
            out.push_back(byte);
        }
    }
    return out;
}

// One 4/4 bar at 480 ticks per quarter: a time signature, a C held for the whole bar, end of track.
Bytes OneBarTrack(const Bytes& extraMetaAtZero = {}) {
    const Bytes timeSignature{0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08};
    const Bytes heldNote{0x00, 0x90, 0x3C, 0x64, 0x8F, 0x00, 0x80, 0x3C, 0x40};  // off 1920 ticks later
    return Concat({timeSignature, extraMetaAtZero, heldNote, kEndOfTrack});
}

std::string SongJson(const std::string& number, const std::string& midi, const std::string& extra = "") {
    return R"({"number": ")" + number + R"(", "name": "Song )" + number + R"(", "midi": ")" + midi +
           "\"" + extra + "}";
}

std::string ShowJson(const std::vector<std::string>& songs) {
    std::string list;
    for (const std::string& song : songs) {
        list += (list.empty() ? "" : ", ") + song;
    }
    return R"({"format": 1, "name": "Test", "customer": "Us", "songs": [)" + list + "]}";
}

class ShowFolderFixture : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() /
                  ("brix_core_tests_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

public:
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(folder_ / name, std::ios::binary) << text;
    }
    void Write(const std::string& name, const Bytes& bytes) const {
        std::ofstream(folder_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::string Folder() const { return folder_.string(); }

private:
    fs::path folder_;
};

TEST_F(ShowFolderFixture, PickupBarAndMidiPortGiveShortFirstBarAndTrackIdOnThePort) {
    const Bytes portTrack = Concat({
        {0x00, 0xFF, 0x21, 0x01, 0x01},                               // MIDI port 1
        {0x00, 0xFF, 0x03, 0x04, 'L', 'e', 'a', 'd'},                 // track name
        {0x00, 0xC3, 0x35},                                           // program 53, channel 4
        {0x00, 0x93, 0x40, 0x50, 0x83, 0x60, 0x83, 0x40, 0x40},       // a note of 480 ticks
        kEndOfTrack});
    const Bytes song = MidiFile(480, {OneBarTrack(), portTrack});
    // The conductor's bar lasts 1920 ticks: a pickup of 1 quarter leaves bar 2 of 1440 ticks there.
    Write("a.mid", song);
    Write("show.json", ShowJson({SongJson("1", "a.mid", R"(, "pickup": 1, "pages": [{"bar": 2, "page": 5}])")}));

    const brix_midi::LoadedShow loaded = brix_midi::LoadShowFolder(Folder());
    const brix_midi::SongData& data = loaded.show.GetSong("1");
    std::vector<std::pair<std::string, std::uint32_t>> beats;
    for (const TL::BarsBeats& b : data.GetTimeline().GetBarsBeats()) {
        beats.emplace_back(TL::as_string(b), b.tick);
    }
    EXPECT_EQ(beats, (std::vector<std::pair<std::string, std::uint32_t>>{
                         {"1:1", 0}, {"2:1", 480}, {"2:2", 960}, {"2:3", 1440}}));
    ASSERT_EQ(data.GetTimeline().GetPageNums().size(), 1u);
    EXPECT_EQ(data.GetTimeline().GetPageNums()[0].tick, 480u);
    // Defaults where the file has no tempo or key.
    EXPECT_EQ(data.GetTimeline().GetTempos().at(0).microsecondsPerQuarter, 500000u);
    EXPECT_EQ(data.GetTimeline().GetKeys().size(), 1u);

    const unsigned short leadId = (1 << 4) | 3;
    ASSERT_EQ(data.GetVoiceData().count(leadId), 1u);
    const auto& lead = *data.GetVoiceData().at(leadId);
    EXPECT_EQ(lead.GetTrackName(), "Lead");
    EXPECT_EQ(lead.GetDefaultProgramChange(), 53);
    ASSERT_EQ(lead.GetEvents().size(), 3u);
    EXPECT_EQ(lead.GetEvents()[2], brix_midi::VoiceEvent(480, 0x83, 0x40, 0x40));
    EXPECT_EQ(data.GetVoiceData().count(0), 1u);  // the C on channel 1, port 0
}

// A delta time as a variable-length quantity.
Bytes Delta(std::uint32_t ticks) {
    Bytes out{static_cast<std::uint8_t>(ticks & 0x7F)};
    while ((ticks >>= 7) != 0) {
        out.insert(out.begin(), static_cast<std::uint8_t>(0x80 | (ticks & 0x7F)));
    }
    return out;
}

TEST_F(ShowFolderFixture, TheWholeShowIsBoundedInBeatsAndEventsNotOnlyEachSong) {
    // At 24 ticks per quarter note in 4/4 a beat lasts 24 ticks.
    const Bytes longSong = MidiFile(24, {Concat({{0x00, 0x90, 0x3C, 0x40}, Delta(999000 * 24),
                                                 {0x80, 0x3C, 0x40}, kEndOfTrack})});
    Bytes denseTrack{0x00, 0x90, 0x3C, 0x40};
    for (int i = 1; i < 1000000; ++i) {
        denseTrack.insert(denseTrack.end(), {0x01, 0x3C, static_cast<std::uint8_t>(i % 2 == 0 ? 0x40 : 0x00)});
    }
    const Bytes denseSong = MidiFile(480, {Concat({denseTrack, kEndOfTrack})});

    struct Case {
        const char* what;
        const Bytes& midi;
        int songsPastTheBound;
        std::string fault;
    };
    const Case cases[] = {
        {"999001 beats per song", longSong, 3, "past 2000000 beats in all"},
        {"a million events per song", denseSong, 5, "past 4000000 MIDI events in all"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Write("long.mid", c.midi);
        Write("show.json", ShowJson({SongJson("1", "long.mid")}));
        EXPECT_NO_THROW(brix_midi::LoadShowFolder(Folder())) << "one song is within the bounds of a song";

        std::vector<std::string> songs;
        for (int number = 1; number <= c.songsPastTheBound; ++number) {
            songs.push_back(SongJson(std::to_string(number), "long.mid"));
        }
        Write("show.json", ShowJson(songs));
        try {
            brix_midi::LoadShowFolder(Folder());
            ADD_FAILURE() << "no exception";
        } catch (const brix_midi::ShowFolderError& error) {
            const std::string expected = (fs::path(Folder()) / "show.json").string() + ": song \"" +
                                         std::to_string(c.songsPastTheBound) + "\" (long.mid) takes the show " +
                                         c.fault;
            EXPECT_EQ(error.what(), expected);
        }
    }
}

struct BadShowCase {
    const char* name;
    std::function<void(const ShowFolderFixture&)> write;
    enum { Io, Format, Folder } kind;
    std::vector<std::string> textParts;  // each must appear in the message
};

class BadShowFolder : public ShowFolderFixture {};

// Loads the folder and tells which kind of error it threw, with its text; a load that succeeds is
// reported as the kind -1.
std::pair<int, std::string> LoadAndCatch(const std::string& folder) {
    try {
        brix_midi::LoadShowFolder(folder);
        return {-1, "no exception"};
    } catch (const fennic::IoError& error) {
        return {BadShowCase::Io, error.what()};
    } catch (const brix_midi::ShowFolderError& error) {
        return {BadShowCase::Folder, error.what()};
    } catch (const fennic::RuntimeError& error) {
        return {BadShowCase::Format, error.what()};
    }
}

TEST_F(BadShowFolder, EachFaultThrowsItsErrorNamingTheFileAndTheFault) {
    const Bytes good = MidiFile(480, {OneBarTrack()});
    Bytes truncated = good;
    truncated.resize(truncated.size() - 6);
    Bytes smpte = good;
    smpte[12] = 0xE7;  // -25 frames per second
    smpte[13] = 40;

    const std::vector<BadShowCase> cases{
        {"no show.json", [](const auto&) {}, BadShowCase::Io, {"show.json"}},
        {"malformed show.json", [](const auto& f) { f.Write("show.json", std::string(R"({"format": 1,)")); },
         BadShowCase::Folder, {"show.json", "malformed JSON"}},
        {"show.json not an object", [](const auto& f) { f.Write("show.json", std::string("[1, 2]")); },
         BadShowCase::Folder, {"show.json", "object"}},
        {"unknown format", [](const auto& f) { f.Write("show.json", std::string(R"({"format": 2, "songs": []})")); },
         BadShowCase::Folder, {"show.json", "format 2"}},
        {"song without midi", [](const auto& f) {
             f.Write("show.json", ShowJson({R"({"number": "1", "name": "x"})"}));
         }, BadShowCase::Folder, {"show.json", "song 1", "\"midi\" is missing"}},
        {"song number given twice", [&](const auto& f) {
             f.Write("a.mid", good);
             f.Write("show.json", ShowJson({SongJson("3", "a.mid"), SongJson("3", "a.mid")}));
         }, BadShowCase::Folder, {"show.json", "\"3\" is given twice"}},
        {"midi outside the folder", [&](const auto& f) {
             f.Write("show.json", ShowJson({SongJson("1", "../a.mid")}));
         }, BadShowCase::Folder, {"show.json", "../a.mid"}},
        {"missing midi file", [](const auto& f) { f.Write("show.json", ShowJson({SongJson("1", "gone.mid")})); },
         BadShowCase::Io, {"gone.mid"}},
        {"truncated midi file", [&](const auto& f) {
             f.Write("a.mid", truncated);
             f.Write("show.json", ShowJson({SongJson("1", "a.mid")}));
         }, BadShowCase::Format, {"a.mid"}},
        {"SMPTE division", [&](const auto& f) {
             f.Write("a.mid", smpte);
             f.Write("show.json", ShowJson({SongJson("1", "a.mid")}));
         }, BadShowCase::Format, {"a.mid"}},
        {"division too small", [&](const auto& f) {
             f.Write("a.mid", MidiFile(12, {OneBarTrack()}));
             f.Write("show.json", ShowJson({SongJson("1", "a.mid")}));
         }, BadShowCase::Folder, {"a.mid", "below 24"}},
        {"zero tempo", [&](const auto& f) {
             f.Write("a.mid", MidiFile(480, {OneBarTrack({0x00, 0xFF, 0x51, 0x03, 0, 0, 0})}));
             f.Write("show.json", ShowJson({SongJson("1", "a.mid")}));
         }, BadShowCase::Folder, {"a.mid", "tempo of 0"}},
        {"time signature of zero clocks", [&](const auto& f) {
             f.Write("a.mid", MidiFile(480, {OneBarTrack({0x00, 0xFF, 0x58, 0x04, 0x03, 0x02, 0x00, 0x08})}));
             f.Write("show.json", ShowJson({SongJson("1", "a.mid")}));
         }, BadShowCase::Folder, {"a.mid", "time signature", "not usable"}},
        {"page on a bar the song lacks", [&](const auto& f) {
             f.Write("a.mid", good);
             f.Write("show.json", ShowJson({SongJson("1", "a.mid", R"(, "pages": [{"bar": 9, "page": 2}])")}));
         }, BadShowCase::Folder, {"show.json", "bar 9"}},
        {"pickup as long as a bar", [&](const auto& f) {
             f.Write("a.mid", good);
             f.Write("show.json", ShowJson({SongJson("1", "a.mid", R"(, "pickup": 4)")}));
         }, BadShowCase::Folder, {"show.json", "pickup of 4"}},
        {"show.json nested a million levels deep", [](const auto& f) {
             f.Write("show.json", std::string(1000000, '[') + std::string(1000000, ']'));
         }, BadShowCase::Folder, {"show.json", "must hold a JSON object"}},
        {"a song list opened a million levels deep", [](const auto& f) {
             f.Write("show.json", R"({"format": 1, "songs": )" + std::string(1000000, '['));
         }, BadShowCase::Folder, {"show.json", "malformed JSON"}},
        {"NUL character in a midi file name", [&](const auto& f) {
             f.Write("a.mid", good);
             f.Write("show.json", ShowJson({SongJson("1", R"(a.mid\u0000.txt)")}));
         }, BadShowCase::Folder, {"show.json", "song 1", "\"midi\" must not hold a NUL character"}},
        {"NUL character in a song number", [&](const auto& f) {
             f.Write("a.mid", good);
             f.Write("show.json", ShowJson({SongJson("1", "a.mid"), SongJson(R"(1\u0000)", "a.mid")}));
         }, BadShowCase::Folder, {"show.json", "song 2", "\"number\" must not hold a NUL character"}},
        {"second song broken", [&](const auto& f) {
             f.Write("a.mid", good);
             f.Write("b.mid", truncated);
             f.Write("show.json", ShowJson({SongJson("1", "a.mid"), SongJson("2", "b.mid")}));
         }, BadShowCase::Format, {"b.mid"}},
    };
    for (const BadShowCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& entry : fs::directory_iterator(Folder())) {
            fs::remove(entry.path());
        }
        c.write(*this);
        const auto [kind, message] = LoadAndCatch(Folder());
        EXPECT_EQ(kind, c.kind) << message;
        for (const std::string& part : c.textParts) {
            EXPECT_NE(message.find(part), std::string::npos) << message;
        }
    }
}

}  // namespace
