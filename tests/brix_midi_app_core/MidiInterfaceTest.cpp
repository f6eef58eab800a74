#include "PlayerHarness.h"

#include "MidiInterface.h"
#include "MockInterface.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/NotifyNames.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace app_test;

namespace {

// The product's interface: the chosen source gives conductor beats when learnedSources says so.
class DemoInterface : public engine_test::MockInterface<MidiInterface> {
public:
    DemoInterface(const std::string& folder, DemoPlayer& player) : MockInterface(folder, "log"), player(player) {}

    std::map<std::string, std::string, fennic::NumericStringCompare> GetSongNamesBySongNumber() override { return {}; }
    unsigned int GetCurrentStartTickIndex() override { return 0; }
    bool GetHasConductBeat() override { return GetMidiSource() == sourceWithConductBeat; }
    Player& GetPlayer() override { return player; }
    MidiPlayer& GetMidiPlayer() override { return player; }

    int sourceWithConductBeat = 2;
    DemoPlayer& player;
};

std::string ReadAll(std::istream& in)
{
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(MidiInterface, ThePlayersConductBeatFlagFollowsTheMidiSourceAtOnce)
{
    PlayerHarness harness;
    DemoInterface interface(BRIX_DEMO_SHOW_DIR, *harness.player);
    struct Case {
        int source;
        bool conductBeat;
    };
    for (const Case c : {Case{2, true}, Case{0, false}, Case{2, true}, Case{-1, false}}) {
        SCOPED_TRACE(c.source);
        interface.SetMidiSource(c.source);
        EXPECT_EQ(harness.player->GetHasConductBeat(), c.conductBeat);
    }
    // A command learned for the chosen source is reported: the flag is read again.
    interface.sourceWithConductBeat = -1;
    notify::callbackDispatcher.Notify(notify::names::midiCommandLearned, nullptr);
    EXPECT_TRUE(harness.player->GetHasConductBeat());
}

TEST(MidiInterface, HandsOverTheShowsScoreArchiveOrAnEmptyStream)
{
    PlayerHarness harness;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "midi_interface_score_test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    {
        DemoInterface interface(folder.string(), *harness.player);
        EXPECT_EQ(ReadAll(interface.GetScoreTar()), "");
    }
    const std::string archive("tar bytes\0with a zero", 21);
    std::ofstream(folder / MidiInterface::kScoreArchiveFileName, std::ios::binary) << archive;
    {
        DemoInterface interface(folder.string(), *harness.player);
        EXPECT_EQ(ReadAll(interface.GetScoreTar()), archive);
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
