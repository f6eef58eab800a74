#include "DeviceWait.h"
#include "EngineFixture.h"

#include "MidiEndPoint.h"
#include "MidiPlayer.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/Directories.h>
#include <brix_core/NotifyNames.h>
#include <brix_tarnwick/TarnwickInterface.h>

#include <condition_variable>
#include <fstream>
#include <mutex>
#include <iterator>
#include <unistd.h>

using namespace engine_test;
using notify::EngineEvent;

namespace {

// Song "1" at 120 quarters a minute: bar 6 begins 10 seconds in, bar 9 15 seconds in.
constexpr unsigned int kMarkerBar6 = 5 * 1920, kMarkerBar9 = 8 * 1920;

std::vector<CL::SongLog> MarkedSongOne()
{
    CL::SongLog log("1", "Overture");
    log.AddMarker(CL::Marker(kMarkerBar6, "Verse", "E1"));
    log.AddMarker(CL::Marker(kMarkerBar9, "Chorus", "E2"));
    return {log};
}

// Chooses the input as the engine's MIDI source.
void ChooseSource(Engine& e, const std::string& name)
{
    const auto sources = e.engine->GetMidiSources();
    for (std::size_t row = 0; row < sources.size(); ++row) {
        if (sources[row].GetSourceName() == name) {
            e.engine->SetMidiSource(static_cast<int>(row));
        }
    }
    ASSERT_TRUE(e.engine->HasMidiSource());
}

// Teaches the command the note-on of note on channel 1, through the input.
void Learn(Engine& e, winmm_virtual::VirtualMidiInput& input, std::uint8_t commandId, BYTE note)
{
    e.engine->LearnMidiCommand(commandId);
    input.Inject(0x90, note, 100);
    const int packed = (commandId << 16) | (0x90 << 8) | note;
    ASSERT_TRUE(e.events.WaitUntil([&](const std::vector<Received>& events) {
        return std::any_of(events.begin(), events.end(), [&](const Received& r) {
            return r.event == EngineEvent::LearnedMIDICommand && r.value == packed;
        });
    })) << "command " << int(commandId);
}

bool Has(const std::vector<Received>& events, EngineEvent event, const std::string& text = {})
{
    return std::any_of(events.begin(), events.end(),
                       [&](const Received& r) { return r.event == event && (text.empty() || r.text == text); });
}

TEST(EngineRemoteControl, EachLearnedCommandActsWhenItsMessageArrives)
{
    Engine e(MarkedSongOne());
    winmm_virtual::VirtualMidiInput input(u"remote test input");
    ChooseSource(e, "remote test input");

    const struct {
        const char* name;
        std::uint8_t commandId;
        BYTE note;
        std::function<bool(Engine&, const std::vector<Received>&)> done;
    } cases[] = {
        {"Play", 2, 60,
         [](Engine& en, const auto& events) { return Has(events, EngineEvent::PlaybackStarted) && en.engine->GetIsPlaying(); }},
        {"Pause", 3, 61,
         [](Engine& en, const auto& events) { return Has(events, EngineEvent::PlaybackPaused) && en.engine->GetIsPaused(); }},
        {"Continue", 9, 62,
         [](Engine& en, const auto& events) { return Has(events, EngineEvent::PlaybackStarted) && en.engine->GetIsPlaying(); }},
        {"Stop", 4, 63,
         [](Engine& en, const auto& events) { return Has(events, EngineEvent::PlaybackStopped) && en.engine->IsStopped(); }},
        {"Next Marker", 7, 64, [](Engine& en, const auto&) { return en.engine->GetTickIndex() == kMarkerBar6; }},
        {"Previous Marker", 8, 65, [](Engine& en, const auto&) { return en.engine->GetTickIndex() == 0; }},
        {"Next Song", 5, 66, [](Engine&, const auto& events) { return Has(events, EngineEvent::SongLoaded, "2"); }},
        {"Previous Song", 6, 67, [](Engine&, const auto& events) { return Has(events, EngineEvent::SongLoaded, "1"); }},
    };
    for (const auto& c : cases) {
        Learn(e, input, c.commandId, c.note);
    }
    for (const auto& c : cases) {
        e.events.Clear();
        input.Inject(0x90, c.note, 100);
        EXPECT_TRUE(e.events.WaitUntil([&](const std::vector<Received>& events) { return c.done(e, events); }))
            << c.name;
    }
    EXPECT_EQ(e.engine->GetCurrentSongNumber(), "1");
}

TEST(EngineRemoteControl, PlaybackWaitingForTheConductorStartsOnABeatOrOnContinuousMode)
{
    Engine e;
    winmm_virtual::VirtualMidiInput input(u"conductor test input");
    ChooseSource(e, "conductor test input");
    Learn(e, input, 0, 70);  // "Conduct Beat": from now on Play waits for the conductor
    Learn(e, input, 1, 71);  // "Continuous Mode"
    ASSERT_TRUE(e.engine->GetHasConductBeat());
    MidiPlayer& player = static_cast<TarnwickInterface&>(*e.engine).GetMidiPlayer();

    for (const BYTE note : {70, 71}) {
        e.engine->Play();
        EXPECT_TRUE(player.IsWaitingForConductor()) << int(note);
        const std::size_t from = e.device.GetEvents().size();
        input.Inject(0x90, note, 100);
        EXPECT_TRUE(WaitForDevice(e.device, [&](const CapturedEvents& events) { return NoteOnCount(events, from) >= 5; }))
            << int(note);
        EXPECT_FALSE(player.IsWaitingForConductor()) << int(note);
        e.engine->Stop();
    }
}

TEST(EngineRemoteControl, NoCommandReachesTheEngineOnceItIsShutDown)
{
    Engine e;
    winmm_virtual::VirtualMidiInput input(u"shutdown test input");
    ChooseSource(e, "shutdown test input");
    Learn(e, input, 2, 60);
    e.engine->Shutdown();

    // A listener of our own hears the command after the engine would have.
    std::mutex mutex;
    std::condition_variable heard;
    bool fired = false;
    notify::callbackDispatcher.AddCallback(&fired, notify::names::midiCommandPlay, [&](void*) {
        std::lock_guard lock(mutex);
        fired = true;
        heard.notify_all();
    });
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(input.Inject(0x90, 60, 100), 1u);
    {
        std::unique_lock lock(mutex);
        EXPECT_TRUE(heard.wait_for(lock, 10s, [&] { return fired; }));
    }
    notify::callbackDispatcher.RemoveCallbacksForTarget(&fired);
    const std::string output = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(output.find("MIDI command"), std::string::npos) << output;
    EXPECT_FALSE(e.engine->GetIsPlaying());
}

TEST(EngineStartUp, WithoutASequencerTheEnginePlaysIntoTheNullDeviceAfterOneWarning)
{
    if (access("/dev/snd/seq", F_OK) == 0) {
        GTEST_SKIP() << "this machine has an ALSA sequencer";
    }
    ShowCopy show;
    EngineEventLog events;
    ::testing::internal::CaptureStderr();
    std::unique_ptr<brix::Tarnwick2Interface> engine;
    ASSERT_NO_THROW(engine = std::make_unique<brix::Tarnwick2Interface>(show.Folder().string(),
                                                                        show.DataFolder().string(), nullptr));
    const std::string output = ::testing::internal::GetCapturedStderr();
    std::size_t warnings = 0;
    for (std::size_t at = output.find("null device"); at != std::string::npos; at = output.find("null device", at + 1)) {
        ++warnings;
    }
    EXPECT_EQ(warnings, 1u) << output;
    engine->Play();
    EXPECT_TRUE(events.WaitFor(EngineEvent::BarBeat, "0001|02"));
    engine->Stop();
    EXPECT_TRUE(engine->IsStopped());
}

TEST(EngineShowFolder, TheMixerSavesIntoItsOwnShowFolderWhateverShowWasOpenedSince)
{
    Engine e;
    auto& engine = static_cast<TarnwickInterface&>(*e.engine);
    engine.SetTrackVolume(0, 33);
    const std::filesystem::path other = e.show.DataFolder() / "another show";
    std::filesystem::create_directories(other);
    directories.SetShowDirectory(other.string());  // the process opened another show meanwhile
    e.engine.reset();
    EXPECT_TRUE(std::filesystem::exists(e.show.Folder() / "mixersettings"));
    EXPECT_FALSE(std::filesystem::exists(other / "mixersettings"));
    directories.SetShowDirectory("");

    // The next engine of the show finds its mix.
    brix::Tarnwick2Interface again(e.show.Folder().string(), e.show.DataFolder().string(), nullptr);
    EXPECT_EQ(again.GetTrackVolume(0), 33);
}

TEST(EngineShowFolder, LoadShowDataReadsTheScoreArchiveAgainIntoTheSameStream)
{
    Engine e;
    std::istream& score = e.engine->GetScoreTar();
    const std::string before{std::istreambuf_iterator<char>(score), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(before.empty()) << "the demo show has a score archive";
    std::ofstream(e.show.Folder() / "score.tar", std::ios::binary | std::ios::trunc) << "a new archive";
    e.engine->LoadShowData();
    EXPECT_EQ(&e.engine->GetScoreTar(), &score);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(score), std::istreambuf_iterator<char>()), "a new archive");
    std::filesystem::remove(e.show.Folder() / "score.tar");
    e.engine->LoadShowData();
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(score), std::istreambuf_iterator<char>()), "");
}

}  // namespace
