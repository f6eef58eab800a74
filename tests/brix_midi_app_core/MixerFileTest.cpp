#include "MixerFixtures.h"
#include "PlayerHarness.h"

#include "MixerIoError.h"
#include "TarnwickMixer.h"

#include <brix_player_core/ActiveSongNumber.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace std::string_literals;
using mixer_test::MakeShow;
using mixer_test::SongSpec;
using mixer_test::TempShowFolder;

namespace {

// Encoders for damaged files (the golden tests below spell the bytes out instead).
std::string Str(const std::string& text)
{
    return std::string(1, static_cast<char>(text.size())) + text;
}

std::string U16(unsigned int value)
{
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

struct TrackRecord {
    unsigned short id = 0;
    std::string name = "Piano";
    unsigned int volume = 90;
    unsigned int pan = 64;
    int program = -1;
    unsigned int defaultProgram = 0;
};

std::string Encode(const TrackRecord& t)
{
    return U16(t.id) + Str(t.name) + static_cast<char>(t.volume) + static_cast<char>(t.pan) +
           U16(static_cast<unsigned int>(t.program) & 0xFFFF) + static_cast<char>(t.defaultProgram) + "\x00\x00\x00"s;
}

std::string Section(const std::string& number, const std::vector<TrackRecord>& tracks,
                    std::optional<unsigned int> trackCount = std::nullopt, const std::string& tag = "TarnwickSongMixer")
{
    std::string bytes = Str(tag) + Str(number) + "\x01"s + U16(trackCount.value_or(tracks.size()));
    for (const TrackRecord& track : tracks) {
        bytes += Encode(track);
    }
    return bytes;
}

std::string File(const std::vector<std::string>& sections, std::optional<unsigned int> songCount = std::nullopt,
                 const std::string& tag = "TarnwickMixerSettings")
{
    std::string bytes = Str(tag) + U16(songCount.value_or(sections.size()));
    for (const std::string& section : sections) {
        bytes += section;
    }
    return bytes;
}

// The show of the file tests: songs "1" and "2", each with a piano and a vocal track.
const std::vector<SongSpec> kTwoSongs = {{"1", {{0, "Piano", 0}, {16, "Vocal Lead", 53}}},
                                         {"2", {{0, "Piano", 0}, {16, "Vocal Lead", 53}}}};

// A stored mix: the piano at volume 100 (the default is 90).
constexpr unsigned int kStoredVolume = 100;
const TrackRecord kStoredPiano{0, "Piano", kStoredVolume, 64, -1, 0};
const TrackRecord kVocal{16, "Vocal Lead", 90, 64, -1, 53};

std::string IntactFile()
{
    return File({Section("1", {kStoredPiano, kVocal}), Section("2", {kStoredPiano, kVocal})});
}

class MixerFileTest : public ::testing::Test {
protected:
    // Which songs of the show kept the stored mix (true) or got the defaults (false).
    std::map<std::string, bool> KeptSongs(TarnwickMixer& mixer, const brix_midi::ShowData& show)
    {
        std::map<std::string, bool> kept;
        for (const auto& [number, song] : show.GetSongs()) {
            activeSong.Set(number);
            kept[number] = mixer.GetTrackVolume(0) == kStoredVolume;
        }
        return kept;
    }

    app_test::PlayerHarness harness;
    TempShowFolder folder;
    ActiveSongNumber activeSong;
};

TEST_F(MixerFileTest, WritesTheFileByteForByte)
{
    const struct {
        const char* what;
        std::vector<SongSpec> songs;
        std::string bytes;
    } cases[] = {
        {"an empty show", {}, "\x15" "TarnwickMixerSettings" "\x00\x00"s},
        {"one song's defaults",
         {{"1", {{16, "Vocal Lead", 53}, {0, "Piano", 0}}}},
         "\x15" "TarnwickMixerSettings" "\x01\x00"
         "\x11" "TarnwickSongMixer" "\x01" "1" "\x01" "\x02\x00"
         "\x00\x00" "\x05" "Piano" "\x5A" "\x40" "\xFF\xFF" "\x00" "\x00" "\x00" "\x00"
         "\x10\x00" "\x0A" "Vocal Lead" "\x5A" "\x40" "\xFF\xFF" "\x35" "\x01" "\x00" "\x00"s},
        {"songs in byte-wise order of their numbers",
         {{"2", {}}, {"10", {}}},
         "\x15" "TarnwickMixerSettings" "\x02\x00"
         "\x11" "TarnwickSongMixer" "\x02" "10" "\x01" "\x00\x00"
         "\x11" "TarnwickSongMixer" "\x01" "2" "\x01" "\x00\x00"s},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(folder.File());
        const brix_midi::ShowData show = MakeShow(c.songs);
        { TarnwickMixer mixer(activeSong, show, *harness.player, folder.path.string()); }
        EXPECT_EQ(folder.ReadFile(), c.bytes) << c.what;
    }
}

TEST_F(MixerFileTest, LoadsEveryFieldOfAStoredMixAndWritesItBackUnchanged)
{
    const std::string stored =
        "\x15" "TarnwickMixerSettings" "\x01\x00"
        "\x11" "TarnwickSongMixer" "\x01" "1" "\x00" "\x02\x00"
        "\x00\x00" "\x05" "Piano" "\x64" "\x0A" "\x05\x00" "\x00" "\x01" "\x01" "\x00"
        "\x10\x00" "\x0A" "Vocal Lead" "\x7F" "\x00" "\xFF\xFF" "\x35" "\x00" "\x00" "\x01"s;
    folder.WriteFile(stored);
    const brix_midi::ShowData show = MakeShow({{"1", {{0, "Piano", 0}, {16, "Vocal Lead", 53}}}});
    {
        TarnwickMixer mixer(activeSong, show, *harness.player, folder.path.string());
        activeSong.Set("1");
        EXPECT_FALSE(mixer.GetVocalTracksAreMuted());
        EXPECT_EQ(mixer.GetTrackVolume(0), 100);
        EXPECT_EQ(mixer.GetTrackPan(0), 10);
        EXPECT_TRUE(mixer.GetTrackHasProgramId(0));
        EXPECT_EQ(mixer.GetTrackProgramId(0), 5);
        EXPECT_TRUE(mixer.GetTrackIsMuted(0));
        EXPECT_TRUE(mixer.GetTrackIsSoloed(0));
        EXPECT_FALSE(mixer.GetTrackIsMutedByOtherSolo(0));
        EXPECT_FALSE(mixer.GetTrackIsVocalTrack(0));
        EXPECT_EQ(mixer.GetTrackVolume(16), 127);
        EXPECT_EQ(mixer.GetTrackPan(16), 0);
        EXPECT_FALSE(mixer.GetTrackHasProgramId(16));
        EXPECT_EQ(mixer.GetTrackProgramId(16), 53);  // no choice and no report: the default program
        EXPECT_EQ(mixer.GetTrackDefaultProgramId(16), 53);
        EXPECT_FALSE(mixer.GetTrackIsMuted(16));
        EXPECT_FALSE(mixer.GetTrackIsSoloed(16));
        EXPECT_TRUE(mixer.GetTrackIsMutedByOtherSolo(16));
        EXPECT_TRUE(mixer.GetTrackIsVocalTrack(16));
        EXPECT_EQ(mixer.GetTrackName(16), "Vocal Lead");
        EXPECT_NO_THROW(mixer.TestSerialization());
    }
    EXPECT_EQ(folder.ReadFile(), stored);
}

TEST_F(MixerFileTest, ADamagedFileGivesTheDefaultsOrKeepsTheIntactSongs)
{
    TrackRecord loudPiano = kStoredPiano;
    loudPiano.volume = 128;
    TrackRecord widePiano = kStoredPiano;
    widePiano.pan = 200;
    TrackRecord program128 = kStoredPiano;
    program128.program = 128;
    TrackRecord programMinus2 = kStoredPiano;
    programMinus2.program = -2;
    const std::string song2 = Section("2", {kStoredPiano, kVocal});
    const struct {
        const char* what;
        std::string bytes;
        std::map<std::string, bool> kept;
    } cases[] = {
        {"intact", IntactFile(), {{"1", true}, {"2", true}}},
        {"empty", "", {{"1", false}, {"2", false}}},
        {"wrong file tag", File({Section("1", {kStoredPiano, kVocal}), song2}, std::nullopt, "TarnwickMixerSetting"),
         {{"1", false}, {"2", false}}},
        {"wrong section tag",
         File({Section("1", {kStoredPiano, kVocal}), Section("2", {kStoredPiano, kVocal}, std::nullopt, "SongMixer")}),
         {{"1", false}, {"2", false}}},
        {"huge song count", File({Section("1", {kStoredPiano, kVocal}), song2}, 0xFFFF), {{"1", false}, {"2", false}}},
        {"huge track count", File({Section("1", {kStoredPiano, kVocal}, 0xFFFF), song2}),
         {{"1", false}, {"2", false}}},
        {"repeated track id", File({Section("1", {kStoredPiano, kStoredPiano}), song2}),
         {{"1", false}, {"2", false}}},
        {"repeated song number", File({Section("1", {kStoredPiano, kVocal}), Section("1", {kStoredPiano, kVocal})}),
         {{"1", false}, {"2", false}}},
        {"volume 128", File({Section("1", {loudPiano, kVocal}), song2}), {{"1", false}, {"2", true}}},
        {"pan 200", File({song2, Section("1", {widePiano, kVocal})}), {{"1", false}, {"2", true}}},
        {"program 128", File({Section("1", {program128, kVocal}), song2}), {{"1", false}, {"2", true}}},
        {"program -2", File({Section("1", {programMinus2, kVocal}), song2}), {{"1", false}, {"2", true}}},
    };
    const brix_midi::ShowData show = MakeShow(kTwoSongs);
    for (const auto& c : cases) {
        folder.WriteFile(c.bytes);
        TarnwickMixer mixer(activeSong, show, *harness.player, folder.path.string());
        EXPECT_EQ(KeptSongs(mixer, show), c.kept) << c.what;
    }
}

TEST_F(MixerFileTest, AFileCutShortAnywhereGivesTheDefaultsForTheWholeShow)
{
    const std::string intact = IntactFile();
    const brix_midi::ShowData show = MakeShow(kTwoSongs);
    const std::map<std::string, bool> defaults = {{"1", false}, {"2", false}};
    for (std::size_t length = 0; length < intact.size(); ++length) {
        folder.WriteFile(intact.substr(0, length));
        TarnwickMixer mixer(activeSong, show, *harness.player, folder.path.string());
        EXPECT_EQ(KeptSongs(mixer, show), defaults) << "cut to " << length << " bytes";
    }
}

TEST_F(MixerFileTest, LoadingReportsWhatIsWrongWithTheFileAndKeepsTheMixInForce)
{
    const struct {
        const char* what;
        std::optional<std::string> bytes;  // none: no file
        bool invalid;                      // MixerInvalidFileError rather than a plain MixerIoError
        const char* message;
    } cases[] = {
        {"no file", std::nullopt, false, "Unable to read from mixer settings file."},
        {"cut short", IntactFile().substr(0, 40), false, "Error occurred while reading mixer settings from file."},
        {"wrong file tag", File({}, std::nullopt, "MixerSettings"), true, "Not a valid mixer settings file."},
        {"wrong section tag", File({Section("1", {kVocal}, std::nullopt, "TarnwickSong")}), true,
         "Found invalid SongMixer section."},
        {"repeated track id", File({Section("1", {kVocal, kVocal})}), true, "Found two tracks with the same trackId"},
        {"repeated song number", File({Section("1", {kVocal}), Section("1", {kVocal})}), true,
         "Found two SongMixers with the same songNumber"},
    };
    const brix_midi::ShowData show = MakeShow(kTwoSongs);
    folder.WriteFile(IntactFile());
    TarnwickMixer mixer(activeSong, show, *harness.player, folder.path.string());
    for (const auto& c : cases) {
        std::filesystem::remove(folder.File());
        if (c.bytes) {
            folder.WriteFile(*c.bytes);
        }
        try {
            mixer.LoadFromFile();
            ADD_FAILURE() << c.what << ": loaded";
        } catch (const MixerInvalidFileError& error) {
            EXPECT_TRUE(c.invalid) << c.what;
            EXPECT_STREQ(error.what(), c.message) << c.what;
        } catch (const MixerIoError& error) {
            EXPECT_FALSE(c.invalid) << c.what;
            EXPECT_STREQ(error.what(), c.message) << c.what;
        }
        EXPECT_EQ(KeptSongs(mixer, show), (std::map<std::string, bool>{{"1", true}, {"2", true}})) << c.what;
    }
}

TEST_F(MixerFileTest, KeepsTheMixOfEverySongThatStillMatchesTheShow)
{
    const std::vector<mixer_test::TrackSpec> unchanged = {{0, "Piano", 0}, {16, "Vocal Lead", 53}};
    const struct {
        const char* change;
        std::vector<SongSpec> songs;
        std::map<std::string, bool> kept;
    } cases[] = {
        {"none", kTwoSongs, {{"1", true}, {"2", true}}},
        {"a track of song 1 renamed", {{"1", {{0, "Piano", 0}, {16, "Vocal Solo", 53}}}, {"2", unchanged}},
         {{"1", false}, {"2", true}}},
        {"a track added to song 1", {{"1", {{0, "Piano", 0}, {16, "Vocal Lead", 53}, {1, "Bass", 32}}}, {"2", unchanged}},
         {{"1", false}, {"2", true}}},
        {"a track removed from song 1", {{"1", {{0, "Piano", 0}}}, {"2", unchanged}},
         {{"1", false}, {"2", true}}},
        {"a default program of song 1 changed", {{"1", {{0, "Piano", 1}, {16, "Vocal Lead", 53}}}, {"2", unchanged}},
         {{"1", false}, {"2", true}}},
        {"song 1 left the show", {{"2", unchanged}}, {{"2", true}}},
        {"song 3 joined the show", {{"1", unchanged}, {"2", unchanged}, {"3", unchanged}},
         {{"1", true}, {"2", true}, {"3", false}}},
    };
    folder.WriteFile(IntactFile());
    const brix_midi::ShowData stored = MakeShow(kTwoSongs);
    {
        TarnwickMixer mixer(activeSong, stored, *harness.player, folder.path.string());
        for (const auto& c : cases) {
            // Only the show the file was written for matches it as a whole.
            EXPECT_EQ(mixer.ShowDataMatchesMixerData(MakeShow(c.songs)), std::string(c.change) == "none") << c.change;
        }
    }
    for (const auto& c : cases) {
        folder.WriteFile(IntactFile());
        const brix_midi::ShowData show = MakeShow(c.songs);
        TarnwickMixer mixer(activeSong, show, *harness.player, folder.path.string());
        EXPECT_TRUE(mixer.ShowDataMatchesMixerData(show)) << c.change;
        EXPECT_EQ(KeptSongs(mixer, show), c.kept) << c.change;
        if (!c.kept.contains("1")) {
            activeSong.Set("1");
            EXPECT_THROW(mixer.GetTrackVolume(0), std::out_of_range) << c.change;
        }
    }
}

TEST_F(MixerFileTest, AMixWithATrackNameTooLongForTheFileIsSavedAndKept)
{
    const std::string longName(300, 'x');
    const brix_midi::ShowData show = MakeShow({{"1", {{5, longName, 0}}}});
    activeSong.Set("1");
    {
        TarnwickMixer mixer(activeSong, show, *harness.player, folder.path.string());
        ASSERT_TRUE(mixer.GetTrackIsMuted(5));  // a vocal track: its volume is only stored
        mixer.SetTrackVolume(5, 33);
    }
    ASSERT_TRUE(folder.HasFile());
    EXPECT_NE(folder.ReadFile().find("\xFF"s + std::string(255, 'x')), std::string::npos);
    TarnwickMixer mixer(activeSong, show, *harness.player, folder.path.string());
    EXPECT_EQ(mixer.GetTrackVolume(5), 33);
    EXPECT_EQ(mixer.GetTrackName(5), std::string(255, 'x'));
}

TEST_F(MixerFileTest, ASaveThatCannotCompleteLeavesThePreviousFileWhole)
{
    const struct {
        const char* what;
        std::vector<SongSpec> songs;
        bool blockTemporaryFile;
        const char* message;
    } cases[] = {
        {"the file cannot be written", kTwoSongs, true, "Unable to write to mixer settings file."},
        {"a song number too long for the file", {{std::string(256, '7'), {{0, "Piano", 0}}}}, false,
         "Error occurred while writing mixer settings to file."},
    };
    for (const auto& c : cases) {
        folder.WriteFile(IntactFile());
        std::filesystem::remove_all(folder.path / "mixersettings.tmp");
        if (c.blockTemporaryFile) {
            std::filesystem::create_directory(folder.path / "mixersettings.tmp");
        }
        const brix_midi::ShowData show = MakeShow(c.songs);
        {
            TarnwickMixer mixer(activeSong, show, *harness.player, folder.path.string());
            try {
                mixer.SaveToFile();
                ADD_FAILURE() << c.what << ": saved";
            } catch (const MixerIoError& error) {
                EXPECT_STREQ(error.what(), c.message) << c.what;
            }
        }  // the destructor's save fails the same way and is dropped
        EXPECT_EQ(folder.ReadFile(), IntactFile()) << c.what;
    }
}

}  // namespace
