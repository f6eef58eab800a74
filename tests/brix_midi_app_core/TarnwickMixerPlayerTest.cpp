#include "MixerFixtures.h"
#include "PlayerHarness.h"

#include "TarnwickMixer.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/GuiDispatcher.h>
#include <brix_core/NotifyNames.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using app_test::PlayerHarness;
using mixer_test::TempShowFolder;

namespace {

// Track ids of the demo show. Port 0's tracks sound on their own channels; port 1's (the guitar, 20,
// and the vocal lead and harmony, 16 and 17) all sound on the output's channel 16.
constexpr int kPort1Channel = 15;
constexpr unsigned short kPiano = 0;
constexpr unsigned short kBass = 1;
constexpr unsigned short kWinds = 3;
constexpr unsigned short kDrums = 9;
constexpr unsigned short kGuitar = 20;

struct Message {
    int status;
    int data1;
    int data2;
    friend bool operator==(const Message&, const Message&) = default;
};

// The demo show's player on a virtual device, with a mixer of the show.
struct MixedShow {
    PlayerHarness harness;
    TarnwickMixer mixer{harness.player->GetActiveSongNumber(), harness.loaded.show, *harness.player,
                        directories.GetShowDirectory()};

    app_test::DemoPlayer& Player() { return *harness.player; }

    // The messages the device received, from the first-th on, up to (not including) the last-th.
    std::vector<Message> Messages(std::size_t first, std::size_t last = SIZE_MAX) const
    {
        std::vector<Message> messages;
        const auto events = harness.device.GetEvents();
        for (std::size_t i = first; i < std::min(last, events.size()); ++i) {
            messages.push_back({events[i].status, events[i].data1, events[i].data2});
        }
        return messages;
    }
    // Waits until the device received the message at or after the first-th event.
    bool WaitForMessage(std::size_t first, const Message& message) const
    {
        return harness.WaitUntil([&] {
            const auto received = Messages(first);
            return std::find(received.begin(), received.end(), message) != received.end();
        });
    }
};

bool Contains(const std::vector<Message>& messages, const Message& message)
{
    return std::find(messages.begin(), messages.end(), message) != messages.end();
}

bool HasController(const std::vector<Message>& messages, int channel, int controller)
{
    return std::any_of(messages.begin(), messages.end(),
                       [&](const Message& m) { return m.status == (0xB0 | channel) && m.data1 == controller; });
}

TEST(TarnwickMixerWithPlayer, LoadingASongSendsThatSongsOwnMix)
{
    TempShowFolder folder;
    MixedShow show;
    show.Player().LoadSong("2");
    show.mixer.SetTrackVolume(kBass, 77);
    show.mixer.SetTrackPan(kBass, 20);
    show.mixer.SetTrackProgramId(kBass, 40);

    const std::size_t beforeSong1 = show.harness.EventCount();
    show.Player().LoadSong("1");
    ASSERT_TRUE(show.WaitForMessage(beforeSong1, {0xB1, 7, 90}));
    const std::size_t beforeSong2 = show.harness.EventCount();
    show.Player().LoadSong("2");
    ASSERT_TRUE(show.WaitForMessage(beforeSong2, {0xB1, 7, 77}));
    const auto song1 = show.Messages(beforeSong1, beforeSong2);
    const auto song2 = show.Messages(beforeSong2);

    // Song "1" has the defaults: the bass centred, with no program of the user's.
    EXPECT_TRUE(Contains(song1, {0xB1, 10, 64}));
    EXPECT_FALSE(Contains(song1, {0xC1, 40, 0}));
    // Song "2" gets the bass's mix and the defaults of the other tracks that sound; a muted track gets
    // nothing (the strings, whose name is not an instrument's, start muted).
    EXPECT_TRUE(Contains(song2, {0xB1, 10, 20}));
    EXPECT_TRUE(Contains(song2, {0xC1, 40, 0}));
    EXPECT_TRUE(Contains(song2, {0xB0, 7, 90}));
    EXPECT_TRUE(Contains(song2, {0xB0 | kPort1Channel, 7, 90}));  // the guitar
    EXPECT_FALSE(HasController(song2, 2, 7));
}

TEST(TarnwickMixerWithPlayer, MuteSoloAndTheVocalMuteChangeWhatIsHeard)
{
    const struct {
        const char* what;
        std::function<void(TarnwickMixer&)> mix;
        std::vector<int> heard;   // channels that must sound
        std::vector<int> silent;  // channels that must not
    } cases[] = {
        // The strings (2) and winds (3) count as vocal tracks by their names: muted with the vocals.
        {"the defaults", [](TarnwickMixer&) {}, {0, 1, 9, kPort1Channel}, {2, 3}},
        {"the drums muted", [](TarnwickMixer& m) { m.SetTrackIsMuted(kDrums, true); }, {0, kPort1Channel}, {9}},
        {"the drums muted and unmuted",
         [](TarnwickMixer& m) {
             m.SetTrackIsMuted(kDrums, true);
             m.SetTrackIsMuted(kDrums, false);
         },
         {9},
         {}},
        {"the guitar soloed",
         [](TarnwickMixer& m) {
             m.SetTrackIsSoloed(kGuitar, true);
             for (const auto& [track, name] : m.GetTrackNamesByTrackId()) {
                 if (track != kGuitar) {
                     m.SetTrackIsMutedByOtherSolo(track, true);
                 }
             }
         },
         {kPort1Channel},
         {0, 1, 2, 3, 9}},
        {"the vocal tracks muted, the guitar muted",
         [](TarnwickMixer& m) { m.SetTrackIsMuted(kGuitar, true); },
         {0, 9},
         {2, 3, kPort1Channel}},
        {"the vocal tracks unmuted, the guitar muted",
         [](TarnwickMixer& m) {
             m.SetTrackIsMuted(kGuitar, true);
             m.SetVocalTracksAreMuted(false);
         },
         {2, 3, kPort1Channel},
         {}},
    };
    for (const auto& c : cases) {
        const TempShowFolder folder;  // no mix stored by an earlier case
        MixedShow show;
        show.Player().LoadSong("10");
        c.mix(show.mixer);
        show.Player().SetTempoScale(2.0);
        show.Player().Play();
        for (int channel : c.heard) {
            EXPECT_TRUE(show.harness.WaitForNotes(channel, 3)) << c.what << ": channel " << channel;
        }
        show.Player().Stop();
        for (int channel : c.silent) {
            EXPECT_TRUE(show.harness.NotesHeard(channel).empty()) << c.what << ": channel " << channel;
        }
    }
}

TEST(TarnwickMixerWithPlayer, ReportedProgramsReachTheGuiUnlessTheUserChoseOne)
{
    TempShowFolder folder;
    MixedShow show;
    show.Player().LoadSong("10");
    show.mixer.SetTrackProgramId(kWinds, 40);  // muted by default: stored only
    show.harness.gui.Clear();

    std::map<unsigned short, unsigned char> report = {{kPiano, 5}, {kWinds, 71}, {99, 7}};
    notify::callbackDispatcher.Notify(notify::names::currentProgramIds, &report);
    using notify::GuiEvent;
    using notify::GuiEventKind;
    EXPECT_EQ(show.harness.gui.Of(GuiEventKind::ProgramChange),
              (std::vector<GuiEvent>{{GuiEventKind::ProgramChange, kPiano, 5, ""}}));
    EXPECT_EQ(show.mixer.GetTrackProgramId(kPiano), 5);  // reported
    EXPECT_EQ(show.mixer.GetTrackProgramId(kWinds), 40);  // the user's
    EXPECT_EQ(show.mixer.GetTrackProgramId(kBass), 32);   // neither: the default

    show.harness.gui.Clear();
    show.mixer.NotifyGuiProgramIds();
    EXPECT_EQ(show.harness.gui.Of(GuiEventKind::ProgramChange),
              (std::vector<GuiEvent>{{GuiEventKind::ProgramChange, kPiano, 5, ""},
                                     {GuiEventKind::ProgramChange, kWinds, 71, ""}}));

    show.Player().LoadSong("10");  // a loaded song forgets the reports of the one before
    EXPECT_EQ(show.mixer.GetTrackProgramId(kPiano), 0);
}

TEST(TarnwickMixerWithPlayer, PlayingASongRelaysTheProgramsItsStreamsReport)
{
    TempShowFolder folder;
    MixedShow show;
    show.Player().LoadSong("10");
    show.harness.gui.Clear();
    show.Player().Play();
    ASSERT_TRUE(show.harness.gui.WaitFor(notify::GuiEventKind::ProgramChange, 20s));
    show.Player().Stop();
    const auto& tracks = show.harness.Song("10").GetVoiceData();
    for (const auto& event : show.harness.gui.Of(notify::GuiEventKind::ProgramChange)) {
        const auto track = tracks.find(static_cast<unsigned short>(event.value));
        ASSERT_NE(track, tracks.end()) << "track " << event.value;
        EXPECT_EQ(event.second, track->second->GetDefaultProgramChange()) << "track " << event.value;
    }
}

// The attacca song is loaded on the queue thread; the stop right after its first mix message races
// the rest of the mix being sent from there, which must not wait for the lock the stop holds.
TEST(TarnwickMixerWithPlayer, AnAttaccaSongGetsItsMixAndAStopRightAfterDoesNotHang)
{
    TempShowFolder folder;
    MixedShow show;
    show.Player().LoadSong("2");
    show.mixer.SetTrackVolume(kBass, 77);
    show.Player().LoadSong("1");  // attacca: song "2" follows at once
    const std::size_t before = show.harness.EventCount();
    show.Player().Seek(11 * 1920);  // the last bar
    show.Player().SetTempoScale(2.0);
    show.Player().Play();
    EXPECT_TRUE(show.WaitForMessage(before, {0xB1, 7, 77}));
    show.Player().Stop();
    EXPECT_EQ(show.Player().GetActiveSongNumber().Get(), "2");
}

}  // namespace
