#include "MixerFixtures.h"

#include "SongMixer.h"
#include "TarnwickTrackSettings.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using mixer_test::MakeShow;

namespace {

TEST(TarnwickTrackSettings, AVocalTrackIsOneWhoseNameIsNotAnInstrumentsExactlyAndStartsMuted)
{
    const struct {
        std::string name;
        bool vocal;
    } cases[] = {
        {"Drums", false},         {"Drum Kit", false},      {"Piano", false},
        {"Piano/Conductor", false}, {"Guitar", false},      {"Bass", false},
        {"drums", true},          {"Guitar ", true},        {"Vocal Lead", true},
        {"", true},
    };
    for (const auto& c : cases) {
        const TarnwickTrackSettings track(3, c.name, 40);
        EXPECT_EQ(track.GetIsVocalTrack(), c.vocal) << '"' << c.name << '"';
        EXPECT_EQ(track.GetIsMuted(), c.vocal) << '"' << c.name << '"';
        EXPECT_EQ(track.GetIsMutedByMuteOrSolo(), c.vocal) << '"' << c.name << '"';
    }
}

TEST(TarnwickTrackSettings, HasNoProgramUntilTheUserChoosesOneAndAsksForItThrows)
{
    TarnwickTrackSettings track(0, "Piano", 7);
    EXPECT_FALSE(track.GetHasProgramId());
    try {
        track.GetProgramId();
        FAIL() << "no program was chosen";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ(error.what(), "Does not have programId. Cannot return programId.");
    }
    track.SetProgramId(0);
    ASSERT_TRUE(track.GetHasProgramId());
    EXPECT_EQ(track.GetProgramId(), 0);
    track.SetNoProgramId();
    EXPECT_FALSE(track.GetHasProgramId());
    EXPECT_THROW(track.GetProgramId(), std::logic_error);
}

TEST(TarnwickTrackSettings, SettersKeepVolumePanAndProgramWithinTheMidiDataRange)
{
    const struct {
        unsigned char given;
        unsigned char stored;
    } cases[] = {{0, 0}, {64, 64}, {127, 127}, {128, 127}, {255, 127}};
    for (const auto& c : cases) {
        TarnwickTrackSettings track(0, "Piano", 0);
        track.SetVolume(c.given);
        track.SetPan(c.given);
        track.SetProgramId(c.given);
        EXPECT_EQ(track.GetVolume(), c.stored) << int(c.given);
        EXPECT_EQ(track.GetPan(), c.stored) << int(c.given);
        EXPECT_EQ(track.GetProgramId(), c.stored) << int(c.given);
        EXPECT_TRUE(track.GetValuesAreInRange()) << int(c.given);
    }
}

TEST(TarnwickTrackSettings, ResetRestoresTheDefaultsButKeepsTheDefaultProgram)
{
    for (const std::string name : {"Bass", "Vocal Lead"}) {
        TarnwickTrackSettings track(17, name, 54);
        track.SetVolume(10);
        track.SetPan(0);
        track.SetProgramId(3);
        track.SetIsMuted(name == "Bass");
        track.SetIsSoloed(true);
        track.SetIsMutedByOtherSolo(true);
        track.ResetToDefaultSettings();
        EXPECT_EQ(track.GetVolume(), 90) << name;
        EXPECT_EQ(track.GetPan(), 64) << name;
        EXPECT_FALSE(track.GetHasProgramId()) << name;
        EXPECT_EQ(track.GetDefaultProgramId(), 54) << name;
        EXPECT_EQ(track.GetIsMuted(), track.GetIsVocalTrack()) << name;
        EXPECT_FALSE(track.GetIsSoloed()) << name;
        EXPECT_FALSE(track.GetIsMutedByOtherSolo()) << name;
    }
}

TEST(TrackSettings, StoresANameCutTo255BytesWithoutSplittingACharacter)
{
    const std::string e = "\xC3\xA9";  // a two-byte character
    const struct {
        std::string name;
        std::string stored;
    } cases[] = {
        {std::string(255, 'a'), std::string(255, 'a')},
        {std::string(256, 'a'), std::string(255, 'a')},
        {std::string(1000, 'a'), std::string(255, 'a')},
        {std::string(253, 'a') + e + "b", std::string(253, 'a') + e},
        {std::string(254, 'a') + e, std::string(254, 'a')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrackSettings::StoredTrackName(c.name), c.stored) << c.name.size() << " bytes";
        EXPECT_EQ(TarnwickTrackSettings(0, c.name, 0).GetTrackName(), c.stored) << c.name.size() << " bytes";
    }
}

class SongMixerTest : public ::testing::Test {
protected:
    brix_midi::ShowData show = MakeShow({{"1", {{0, "Piano", 0}, {2, "Strings", 48}, {16, "Vocal Lead", 53}}}});
    SongMixer song{"1", show.GetSong("1").GetVoiceData()};
};

TEST_F(SongMixerTest, HasOneDefaultTrackPerVoiceTrackWithItsNameAndDefaultProgram)
{
    EXPECT_EQ(song.GetSongNumber(), "1");
    EXPECT_TRUE(song.GetVocalTracksAreMuted());
    ASSERT_EQ(song.GetTrackSettingsByTrackId().size(), 3u);
    const std::map<unsigned short, std::string> names = {{0, "Piano"}, {2, "Strings"}, {16, "Vocal Lead"}};
    EXPECT_EQ(song.GetTrackNamesByTrackId(), names);
    EXPECT_EQ(song.GetTrackSettings(16).GetDefaultProgramId(), 53);
    EXPECT_EQ(song.GetTrackSettings(16).GetVolume(), 90);
    EXPECT_TRUE(song.GetHasTrackId(2));
    EXPECT_FALSE(song.GetHasTrackId(1));
    EXPECT_THROW(song.GetTrackSettings(1), std::out_of_range);
    EXPECT_THROW(song.GetTrackName(1), std::out_of_range);
}

TEST_F(SongMixerTest, TheVocalMuteChangesOnlyTheVocalTracksAndResetMutesThemAgain)
{
    song.GetTrackSettings(0).SetIsMuted(true);  // an instrument the user muted stays muted
    song.SetVocalTracksAreMuted(false);
    EXPECT_FALSE(song.GetVocalTracksAreMuted());
    EXPECT_FALSE(song.GetTrackSettings(2).GetIsMuted());
    EXPECT_FALSE(song.GetTrackSettings(16).GetIsMuted());
    EXPECT_TRUE(song.GetTrackSettings(0).GetIsMuted());

    song.ToggleVocalTracksAreMuted();
    EXPECT_TRUE(song.GetVocalTracksAreMuted());
    EXPECT_TRUE(song.GetTrackSettings(16).GetIsMuted());
    EXPECT_TRUE(song.GetTrackSettings(0).GetIsMuted());

    song.SetVocalTracksAreMuted(false);
    song.GetTrackSettings(16).SetVolume(5);
    song.ResetToDefaultSettings();
    EXPECT_TRUE(song.GetVocalTracksAreMuted());
    EXPECT_TRUE(song.GetTrackSettings(16).GetIsMuted());
    EXPECT_EQ(song.GetTrackSettings(16).GetVolume(), 90);
    EXPECT_FALSE(song.GetTrackSettings(0).GetIsMuted());
}

TEST_F(SongMixerTest, MatchesOnlyTheVoiceTracksItWasMadeFor)
{
    const struct {
        const char* change;
        std::vector<mixer_test::TrackSpec> tracks;
        bool matches;
    } cases[] = {
        {"none", {{0, "Piano", 0}, {2, "Strings", 48}, {16, "Vocal Lead", 53}}, true},
        {"renamed", {{0, "Piano", 0}, {2, "strings", 48}, {16, "Vocal Lead", 53}}, false},
        {"other default program", {{0, "Piano", 0}, {2, "Strings", 49}, {16, "Vocal Lead", 53}}, false},
        {"added", {{0, "Piano", 0}, {2, "Strings", 48}, {16, "Vocal Lead", 53}, {17, "Vocal Harmony", 54}}, false},
        {"removed", {{0, "Piano", 0}, {16, "Vocal Lead", 53}}, false},
        {"other id", {{0, "Piano", 0}, {3, "Strings", 48}, {16, "Vocal Lead", 53}}, false},
    };
    for (const auto& c : cases) {
        const brix_midi::ShowData changed = MakeShow({{"1", c.tracks}});
        EXPECT_EQ(song.MatchesVoiceData(changed.GetSong("1").GetVoiceData()), c.matches) << c.change;
    }
}

}  // namespace
