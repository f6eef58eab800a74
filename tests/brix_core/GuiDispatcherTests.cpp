#include <brix_core/GuiDispatcher.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using notify::GuiEvent;
using notify::GuiEventKind;

TEST(GuiDispatcher, EachSendReachesTheListenerAsOneEventWithItsValues) {
    notify::GuiDispatcher gui;
    std::vector<GuiEvent> received;
    int listener = 0;
    gui.AddListener(&listener, [&](const GuiEvent& event) { received.push_back(event); });

    struct Case {
        std::function<void()> send;
        GuiEvent expected;
    };
    const std::vector<Case> cases{
        {[&] { gui.SendPlaybackStarted(); }, {GuiEventKind::PlaybackStarted, 0, 0, ""}},
        {[&] { gui.SendPlaybackPaused(); }, {GuiEventKind::PlaybackPaused, 0, 0, ""}},
        {[&] { gui.SendPlaybackStopped(); }, {GuiEventKind::PlaybackStopped, 0, 0, ""}},
        {[&] { gui.SendCaesura(4000000000u); }, {GuiEventKind::Caesura, 4000000000, 0, ""}},
        {[&] { gui.SendSongLoaded("2A"); }, {GuiEventKind::SongLoaded, 0, 0, "2A"}},
        {[&] { gui.SendGuiDelayMessage(220); }, {GuiEventKind::GuiDelay, 220, 0, ""}},
        {[&] { gui.SendMidiCommandCanceled(11); }, {GuiEventKind::MidiCommandCanceled, 11, 0, ""}},
        {[&] { gui.SendLearnedMIDICommand(0x029045); }, {GuiEventKind::LearnedMidiCommand, 0x029045, 0, ""}},
        {[&] { gui.SendSourceConnected(3); }, {GuiEventKind::SourceConnected, 3, 0, ""}},
        {[&] { gui.SendMidiNotification(); }, {GuiEventKind::MidiNotification, 0, 0, ""}},
        {[&] { gui.SendMtcFrameRateNotification("25"); }, {GuiEventKind::MtcFrameRate, 0, 0, "25"}},
        {[&] { gui.SendMtcOutputPortNotification(2); }, {GuiEventKind::MtcOutputPort, 2, 0, ""}},
        {[&] { gui.SendMtcActiveStateNotification(true); }, {GuiEventKind::MtcActiveState, 1, 0, ""}},
        {[&] { gui.SendStatusFlowControl("PickupBeat", 2); }, {GuiEventKind::StatusFlowControl, 2, 0, "PickupBeat"}},
        {[&] { gui.SendProgramChange(0x13, 48); }, {GuiEventKind::ProgramChange, 0x13, 48, ""}},
        {[&] { gui.SendStatusTargetTempo(120); }, {GuiEventKind::StatusTargetTempo, 120, 0, ""}},
        {[&] { gui.SendStatusActualTempo(118); }, {GuiEventKind::StatusActualTempo, 118, 0, ""}},
        {[&] { gui.SendStatusTempoDifference(-2); }, {GuiEventKind::StatusTempoDifference, -2, 0, ""}},
        {[&] { gui.SendPlayhead(3840u); }, {GuiEventKind::Playhead, 3840, 0, ""}},
        {[&] { gui.SendPlaybackError("no song 2"); }, {GuiEventKind::PlaybackError, 0, 0, "no song 2"}},
        {[&] { gui.SendMidiClockDebugMessage("a\nb\n"); }, {GuiEventKind::MidiClockDebugMessage, 0, 0, "a\nb\n"}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        received.clear();
        cases[i].send();
        ASSERT_EQ(received.size(), 1u) << "case " << i;
        EXPECT_EQ(received[0], cases[i].expected) << "case " << i;
    }
}

TEST(GuiDispatcher, RemovedListenerReceivesNothingMore) {
    notify::GuiDispatcher gui;
    int listener = 0;
    int calls = 0;
    gui.AddListener(&listener, [&](const GuiEvent&) { ++calls; });
    gui.SendPlaybackStarted();
    gui.RemoveListenersForTarget(&listener);
    gui.SendPlaybackStarted();
    EXPECT_EQ(calls, 1);
}

}  // namespace
