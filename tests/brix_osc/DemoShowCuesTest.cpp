#include "BrixPlayerOscCallback.h"
#include "OscDatagram.h"

#include "CueReceiver.h"

#include <brix_tarnwick2/Tarnwick2Interface.h>

#include <brix_core/Editor.h>

#include <winmm_virtual/VirtualMidi.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>

namespace {

using brix::BrixPlayerOscCallback;
using osc_test::CueReceiver;

// Song "2" of the demo show: 480 ticks a quarter at 96 quarters a minute (625 ms a quarter); its
// lighting cue "/cue/14/go" to the network "lights" sits on bar 14, tick 23520.
constexpr unsigned int kCueTick = 23520;
constexpr double kMsPerTick = 625.0 / 480.0;

TEST(DemoShowCues, TheLightingCueReachesItsDestinationAtItsTickAndNoneFollowsStop)
{
    QTemporaryDir root;
    const std::filesystem::path show = std::filesystem::path(root.path().toStdString()) / "demo";
    std::filesystem::copy(BRIX_DEMO_SHOW_DIR, show, std::filesystem::copy_options::recursive);
    std::filesystem::create_directories(show.parent_path() / "data");
    winmm_virtual::VirtualMidiOutput device(u"osc cue test output");
    CueReceiver receiver;

    auto callback = std::make_shared<BrixPlayerOscCallback>(receiver.Port());
    std::atomic<int> sent{0};
    QObject::connect(callback.get(), &BrixPlayerOscCallback::OutgoingNotification, [&] { ++sent; });
    auto engine = std::make_shared<brix::Tarnwick2Interface>(show.string(), (show.parent_path() / "data").string(), callback);
    callback->SetInterface(engine);

    CL::Editor& editor = *engine->GetChangeLogEditor();
    // The lighting desk is the test's receiver.
    editor.UpdateNetworks({CL::NetworkPath("Lighting desk", "lights", "127.0.0.1", receiver.Port(), false)});
    editor.SelectSongLogForEditing("2");
    // Without the chorus repeat the song plays straight into bar 14; a second cue a bar later must
    // never leave, since playback stops before it.
    editor.DeleteEvent(editor.GetEventsByEventId().at("A1"));
    editor.AddEvent(CL::Osc(kCueTick + 1440, "S9", CL::OscProperties("/cue/15/go", "lights")));
    engine->LoadNewChangeLog();
    engine->DoOscProcessing(true);
    engine->LoadSong("2");
    const unsigned int start = kCueTick - 960;
    engine->Seek(start);

    const qint64 playedAt = receiver.NowMs();
    engine->Play();
    ASSERT_TRUE(receiver.WaitForCount(1, 20000));
    engine->Stop();
    const CueReceiver::Received cue = receiver.All().front();
    EXPECT_EQ(cue.datagram, brix::osc::BuildOscDatagram("/cue/14/go"));
    // Not early: buffers are filled at most the ring's four MIDI clocks (about 105 ms here) ahead
    // of what sounds; 250 ms leaves room.
    EXPECT_GE(cue.atMs - playedAt, static_cast<qint64>((kCueTick - start) * kMsPerTick) - 250);

    ASSERT_TRUE(receiver.Sentinel());
    callback->ReleaseInterface();
    engine->Shutdown();
    engine.reset();
    callback.reset();
    ASSERT_TRUE(receiver.Sentinel());
    EXPECT_EQ(receiver.Cues().size(), 1u) << "a cue left after Stop";
    EXPECT_EQ(sent, 1);
}

}  // namespace
