#include "DeviceWait.h"
#include "EngineFixture.h"

#include <brix_tarnwick/TarnwickInterface.h>

#include <cmath>
#include <condition_variable>
#include <mutex>
#include <set>

using namespace engine_test;

namespace {

// Plays song "1" (port 0 only) until notes sound; returns the channel volumes the device holds then
// (the last one sent on each channel). The mixer starts the strings and winds (channels 2 and 3)
// muted, so piano, bass and drums (0, 1, 9) sound.
std::map<int, int> PlayUntilNotesSound(Engine& e)
{
    e.engine->Play();
    EXPECT_TRUE(WaitForDevice(e.device, [](const CapturedEvents& events) { return NoteOnCount(events) >= 10; }));
    std::map<int, int> held;
    for (const auto& [channel, values] : ChannelVolumes(e.device.GetEvents())) {
        held[channel] = values.back();
    }
    return held;
}

TEST(EngineVolume, SetVolumeScalesTheChannelVolumeOfEveryChannelAtOnce)
{
    Engine e;
    const std::map<int, int> full = PlayUntilNotesSound(e);
    ASSERT_EQ(full.size(), 3u) << "song 1 sounds on three channels";
    for (const double gain : {0.5, 0.0, 1.0}) {
        const std::size_t from = e.device.GetEvents().size();
        e.engine->SetVolume(gain, brix_audio::VolumeType::User);
        EXPECT_TRUE(WaitForDevice(e.device, [&](const CapturedEvents& events) {
            const auto sent = ChannelVolumes(events, from);
            return std::all_of(full.begin(), full.end(), [&](const auto& channel) {
                const auto found = sent.find(channel.first);
                return found != sent.end() && found->second.back() == std::lround(channel.second * gain);
            });
        })) << "gain " << gain;
    }
    e.engine->Stop();
}

TEST(EngineVolume, AFadeLowersTheChannelVolumesStepByStepToSilenceByItsEnd)
{
    Engine e;
    const std::map<int, int> full = PlayUntilNotesSound(e);
    const std::size_t from = e.device.GetEvents().size();
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    e.engine->Fade(
        [&] {
            std::lock_guard lock(mutex);
            done = true;
            ended.notify_all();
        },
        0.5f);
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(ended.wait_for(lock, 10s, [&] { return done; }));
    }
    EXPECT_TRUE(e.engine->GetIsFaded());
    // The buffers that sound after the fade's end carry volume 0; they leave within the output's lead.
    EXPECT_TRUE(WaitForDevice(e.device, [&](const CapturedEvents& events) {
        const auto sent = ChannelVolumes(events, from);
        return std::all_of(full.begin(), full.end(), [&](const auto& channel) {
            const auto found = sent.find(channel.first);
            return found != sent.end() && found->second.back() == 0;
        });
    }));
    const auto faded = ChannelVolumes(e.device.GetEvents(), from);
    for (const auto& [channel, level] : full) {
        const std::vector<int>& values = faded.at(channel);
        const std::set<int> between(values.begin(), values.end());
        EXPECT_GE(std::count_if(between.begin(), between.end(), [&](int v) { return v > 0 && v < level; }), 3)
            << "channel " << channel << " steps down, not at once";
        EXPECT_LE(*between.rbegin(), level) << "channel " << channel;
    }
    // Back to full once the fade is cancelled.
    const std::size_t cancelled = e.device.GetEvents().size();
    e.engine->CancelFade();
    EXPECT_TRUE(WaitForDevice(e.device, [&](const CapturedEvents& events) {
        const auto sent = ChannelVolumes(events, cancelled);
        return std::all_of(full.begin(), full.end(), [&](const auto& channel) {
            const auto found = sent.find(channel.first);
            return found != sent.end() && found->second.back() == channel.second;
        });
    }));
    e.engine->Stop();
}

TEST(EngineVolume, PlayingStartsAtTheVolumeSetWhileStopped)
{
    Engine e;
    e.engine->SetVolume(0.5);
    const std::map<int, int> half = PlayUntilNotesSound(e);
    // Song 1 sets its own channel volumes at its start: piano 100, bass 105, drums 100; the muted
    // strings and winds keep a device's starting volume, 100, halved as well.
    const std::map<int, int> expected{{0, 50}, {1, 53}, {2, 50}, {3, 50}, {9, 50}};
    EXPECT_EQ(half, expected);
    e.engine->Stop();
}

TEST(EngineVolume, TheClickVolumeIsTheVolumeOfTheClickTrackThroughTheMixer)
{
    Engine e;
    auto& engine = static_cast<TarnwickInterface&>(*e.engine);
    constexpr std::uint16_t kClick = (1 << 4) | 9;  // port 1, channel 9: song "10" only
    engine.SetClickVolume(70);

    e.engine->LoadSong("10");
    ASSERT_EQ(engine.GetTrackNamesByTrackId().at(kClick), "Click");
    EXPECT_EQ(engine.GetTrackVolume(kClick), 70) << "a song loaded later gets the click volume";
    engine.SetClickVolume(40);
    EXPECT_EQ(engine.GetTrackVolume(kClick), 40);
    // Songs without a click track are left alone.
    e.engine->LoadSong("1");
    EXPECT_THROW(engine.GetTrackVolume(kClick), std::out_of_range);
    EXPECT_EQ(engine.GetTrackVolume(0), 90);
}

TEST(EngineVolume, TheClickVolumeIsSentOnTheClickChannelWhenTheTrackSounds)
{
    // Both ports play on the engine's output device, port 1 on its channel 16.
    Engine e;
    auto& engine = static_cast<TarnwickInterface&>(*e.engine);
    constexpr std::uint16_t kClick = (1 << 4) | 9;
    e.engine->LoadSong("10");
    engine.SetTrackIsMuted(kClick, false);
    e.engine->SetVolume(0.5);
    const std::size_t from = e.device.GetEvents().size();
    engine.SetClickVolume(100);
    EXPECT_TRUE(WaitForDevice(e.device, [&](const CapturedEvents& events) {
        const auto sent = ChannelVolumes(events, from);
        return sent.contains(15) && sent.at(15).back() == 50;
    }));
}

}  // namespace
