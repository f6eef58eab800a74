#include "ChannelVolumeGain.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

namespace {

TEST(ChannelVolumeGain, ScalesALevelByTheGainRoundedAndKeptInRange)
{
    struct Case {
        double gain;
        int level;
        int expected;
    };
    const std::vector<Case> cases{
        {1.0, 127, 127}, {0.5, 105, 53}, {0.5, 1, 1}, {0.25, 1, 0}, {0.0, 127, 0},
        {2.0, 100, 100},  // a gain above 1 counts as 1
        {-1.0, 100, 0},   // below 0 as 0
        {std::nan(""), 100, 0},
    };
    for (const Case& c : cases) {
        ChannelVolumeGain gain;
        gain.SetGain(c.gain);
        EXPECT_EQ(gain.Scale(3, static_cast<unsigned char>(c.level)), c.expected) << c.level << " at " << c.gain;
    }
}

TEST(ChannelVolumeGain, AChangedGainGivesOnlyTheTracksWhoseSentVolumeChanges)
{
    ChannelVolumeGain gain;
    EXPECT_EQ(gain.Scale(0, 90), 90);
    EXPECT_EQ(gain.Scale(1, 1), 1);
    const std::vector<unsigned short> tracks{0, 1, 9};
    EXPECT_TRUE(gain.TakeChangedVolumes(tracks).empty()) << "nothing changed";

    gain.SetGain(0.5);
    // Track 9 was never given a volume: it counts as 100, a device's starting volume.
    EXPECT_EQ(gain.TakeChangedVolumes(tracks), (std::map<unsigned short, unsigned char>{{0, 45}, {9, 50}}));
    EXPECT_TRUE(gain.TakeChangedVolumes(tracks).empty()) << "each change is given once";

    // A level given under the gain is sent scaled and is the level a later gain change scales.
    EXPECT_EQ(gain.Scale(0, 120), 60);
    gain.SetGain(1.0);
    EXPECT_EQ(gain.TakeChangedVolumes({0}), (std::map<unsigned short, unsigned char>{{0, 120}}));
}

}  // namespace
