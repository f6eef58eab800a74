#include <brix_player_core/BrixExt.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CL::ChangeLog ThreeSongs() {
    CL::ChangeLog log;
    for (const char* number : {"1", "2A", "10"}) {
        log.AddSongLog(CL::SongLog(number, "x"));
    }
    return log;
}

TEST(BrixExt, NeighbouringSongsFollowTheChangeLogsOrder) {
    const CL::ChangeLog log = ThreeSongs();
    EXPECT_EQ(brix_ext::get_song_after(log, "1"), "2A");
    EXPECT_EQ(brix_ext::get_song_after(log, "2A"), "10");
    EXPECT_EQ(brix_ext::get_song_before(log, "10"), "2A");
    EXPECT_EQ(brix_ext::get_song_before(log, "2A"), "1");
}

TEST(BrixExt, EndsOfTheShowAndUnknownSongsThrow) {
    const CL::ChangeLog log = ThreeSongs();
    EXPECT_THROW(brix_ext::get_song_after(log, "10"), brix_ext::EndOfShow);
    EXPECT_THROW(brix_ext::get_song_before(log, "1"), brix_ext::StartOfShow);
    EXPECT_THROW(brix_ext::get_song_after(log, "7"), std::out_of_range);
    EXPECT_THROW(brix_ext::get_song_before(CL::ChangeLog(), "1"), std::out_of_range);
    EXPECT_STREQ(brix_ext::EndOfShow().what(), "End of show");
    EXPECT_STREQ(brix_ext::StartOfShow().what(), "Start of show");
    EXPECT_STREQ(brix_ext::NoNextMarker().what(), "No next marker");
}

}  // namespace
