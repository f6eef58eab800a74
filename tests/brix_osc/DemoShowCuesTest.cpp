#include "OscDatagram.h"

#include "CueReceiver.h"
#include "DemoShowOsc.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

using brix::BrixPlayerOscCallback;
using osc_test::CueReceiver;
using osc_test::DemoShowOsc;

TEST(DemoShowCues, TheLightingCueReachesItsDestinationAtItsTickAndNoneFollowsStop)
{
    CueReceiver receiver;
    DemoShowOsc show(receiver.Port());
    std::atomic<int> sent{0};
    QObject::connect(show.callback.get(), &BrixPlayerOscCallback::OutgoingNotification, [&] { ++sent; });
    // A second cue a bar later must never leave: playback stops before it.
    show.editor().AddEvent(CL::Osc(DemoShowOsc::kCueTick + 1440, "S9", CL::OscProperties("/cue/15/go", "lights")));
    const unsigned int start = DemoShowOsc::kCueTick - 960;
    show.Start(start);

    const qint64 playedAt = receiver.NowMs();
    show.engine->Play();
    ASSERT_TRUE(receiver.WaitForCount(1, 20000));
    show.engine->Stop();
    const CueReceiver::Received cue = receiver.All().front();
    EXPECT_EQ(cue.datagram, brix::osc::BuildOscDatagram("/cue/14/go"));
    // Not early: buffers are filled at most the ring's four MIDI clocks (about 105 ms here) ahead
    // of what sounds; 250 ms leaves room.
    EXPECT_GE(cue.atMs - playedAt, static_cast<qint64>((DemoShowOsc::kCueTick - start) * DemoShowOsc::kMsPerTick) - 250);

    ASSERT_TRUE(receiver.Sentinel());
    show.Close();
    ASSERT_TRUE(receiver.Sentinel());
    EXPECT_EQ(receiver.Cues().size(), 1u) << "a cue left after Stop";
    EXPECT_EQ(sent, 1);
}

}  // namespace
