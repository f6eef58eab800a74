#include "Fixtures.h"

#include "MockInterface.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using namespace player_test;

class TestInterface : public engine_test::MockInterface<> {
public:
    TestInterface(Player& player) : MockInterface("/shows/demo", "demo.logdata"), player_(player) {}
    std::istream& GetScoreTar() override { return scoreTar_; }
    bool GetHasConductBeat() override { return GetMidiSource() >= 0; }
    Player& GetPlayer() override { return player_; }

private:
    Player& player_;
    std::istringstream scoreTar_;
};

TEST(Interface, VolumesAndTheOutputDeviceGoToThePlayer) {
    brix_midi::ShowData show;
    TestPlayer player(show);
    TestInterface engine(player);
    EXPECT_EQ(engine.GetShowDirectory(), "/shows/demo");
    EXPECT_EQ(engine.GetChangelogFilename(), "demo.logdata");

    engine.SetVolume(0.7);
    engine.SetVolume(0.3, brix_audio::VolumeType::User);
    engine.SetOutputDeviceUid("port-3");
    EXPECT_EQ(player.GetVolume(), 0.7);
    EXPECT_EQ(player.GetVolume(brix_audio::VolumeType::User), 0.3);
    EXPECT_EQ(engine.GetVolume(), 0.7);
    EXPECT_EQ(engine.GetVolume(brix_audio::VolumeType::User), 0.3);
    EXPECT_EQ(engine.GetOutputDeviceUid(), "port-3");
}

TEST(Interface, MidiSourceIsKeptAndAnIndexBelowNoneIsRefused) {
    brix_midi::ShowData show;
    TestPlayer player(show);
    TestInterface engine(player);
    EXPECT_EQ(engine.GetMidiSource(), -1);
    engine.SetMidiSource(2);
    EXPECT_EQ(engine.GetMidiSource(), 2);
    EXPECT_THROW(engine.SetMidiSource(-2), std::out_of_range);
    EXPECT_EQ(engine.GetMidiSource(), 2);
    engine.SetMidiSource(-1);
    EXPECT_EQ(engine.GetMidiSource(), -1);
}

}  // namespace
