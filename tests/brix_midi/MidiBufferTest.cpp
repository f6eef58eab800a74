#include "MidiBuffer.h"
#include "TestMidiBuffer.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/NotifyNames.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::tuple<int, int, int>;

Bytes BytesOf(const brix_midi::VoiceEvent& e)
{
    return {e.message.status, e.message.data1, e.message.data2};
}

TEST(MidiBuffer, OffRequestsAreIgnoredOnTheFirstBufferAndReportedOnce)
{
    VectorMidiBuffer first;
    first.SetIsFirstBuffer();
    first.SetShouldSendAllNotesOff();
    first.SetShouldSendAllCCsOff();
    EXPECT_FALSE(first.GetShouldSendAllNotesOff());
    EXPECT_FALSE(first.GetShouldSendAllCCsOff());

    VectorMidiBuffer other;
    other.SetShouldSendAllNotesOff();
    other.SetShouldSendAllCCsOff();
    EXPECT_TRUE(other.GetShouldSendAllNotesOff());
    EXPECT_FALSE(other.GetShouldSendAllNotesOff());
    EXPECT_TRUE(other.GetShouldSendAllCCsOff());
    EXPECT_FALSE(other.GetShouldSendAllCCsOff());
}

TEST(MidiBuffer, ResetClearsBothOffRequestsAndTheClockFields)
{
    VectorMidiBuffer buffer;
    buffer.SetTickIndex(480);
    buffer.SetClockNumber(3);
    buffer.SetIsLastBuffer(true);
    buffer.SetShouldSendAllNotesOff();
    buffer.SetShouldSendAllCCsOff();
    buffer.SetPluginIds({1, {2, 3}});
    buffer.Reset();
    EXPECT_FALSE(buffer.GetShouldSendAllNotesOff());
    EXPECT_FALSE(buffer.GetShouldSendAllCCsOff());
    EXPECT_EQ(buffer.GetTickIndex(), 0u);
    EXPECT_EQ(buffer.GetClockNumber(), 0);
    EXPECT_FALSE(buffer.GetIsLastBuffer());
    EXPECT_FALSE(buffer.GetHasPluginIds());
    // has data is cleared too: the sender's wait times out
    EXPECT_FALSE(buffer.WaitUntilReadyForOutput());
}

TEST(MidiBuffer, ProgramChangesAreRecordedByPortAndChannelAndPosted)
{
    VectorMidiBuffer buffer(2);
    buffer.AddEventToBuffer(1, brix_midi::VoiceEvent(0, 0xC5, 12, 0));
    buffer.AddEventToBuffer(1, brix_midi::VoiceEvent(0, 0xB5, 7, 100));
    buffer.AddEventToBuffer(0, brix_midi::VoiceEvent(0, 0xC0, 40, 0));

    MidiBuffer::ProgramChanges posted;
    int target = 0;
    notify::callbackDispatcher.AddCallback(&target, notify::names::currentProgramIds, [&](void* data) {
        posted = *static_cast<MidiBuffer::ProgramChanges*>(data);
    });
    buffer.SendProgramChanges();
    notify::callbackDispatcher.RemoveCallbacksForTarget(&target);

    const MidiBuffer::ProgramChanges expected{{0x0000, 40}, {0x0105, 12}};
    EXPECT_EQ(posted, expected);
}

TEST(MidiBuffer, ClockTimeSecondsFollowsTempoAndClocksPerClick)
{
    VectorMidiBuffer buffer;
    buffer.SetClocksPerClick(24);
    EXPECT_DOUBLE_EQ(buffer.GetClockTimeSeconds(120.0), 1.0 / 48.0);
}

TEST(MidiBuffer, AllNotesOffReachesEveryPortInChannelOrder)
{
    VectorMidiBuffer buffer(3);
    AddAllNotesOff(buffer);
    EXPECT_EQ(buffer.doneCalls, 1);
    for (const auto& port : buffer.ports) {
        ASSERT_EQ(port.size(), 32u);
        EXPECT_EQ(BytesOf(port[0]), Bytes(0xB0, 123, 0));
        EXPECT_EQ(BytesOf(port[1]), Bytes(0xB0, 121, 0));
        EXPECT_EQ(BytesOf(port[2]), Bytes(0xB1, 123, 0));
        EXPECT_EQ(BytesOf(port[31]), Bytes(0xBF, 121, 0));
    }
}

TEST(MidiBuffer, AllControllersOffReachesEveryPort)
{
    VectorMidiBuffer buffer(2);
    AddAllCCsOff(buffer);
    EXPECT_EQ(buffer.doneCalls, 1);
    for (const auto& port : buffer.ports) {
        ASSERT_EQ(port.size(), 16u);
        for (std::size_t channel = 0; channel < 16; ++channel) {
            EXPECT_EQ(BytesOf(port[channel]), Bytes(0xB0 | static_cast<int>(channel), 121, 0));
        }
    }
}

TEST(MidiBuffer, WaitForOutputReturnsWhenDataIsHandedOverFromAnotherThread)
{
    VectorMidiBuffer buffer;
    std::thread filler([&] { buffer.SetIsLastBuffer(true); });
    EXPECT_TRUE(buffer.WaitUntilReadyForOutput());
    filler.join();
}

TEST(MidiBuffer, WaitForOutputTimesOutOnAnEmptyBuffer)
{
    VectorMidiBuffer buffer;
    EXPECT_FALSE(buffer.WaitUntilReadyForOutput());
}

// A filler and a sender pass one buffer back and forth: every clock's tick reaches the sender, in
// order, exactly once.
TEST(MidiBuffer, HandOffBetweenFillerAndSenderDeliversEveryClockInOrder)
{
    VectorMidiBuffer buffer;
    constexpr unsigned int kClocks = 500;
    std::vector<unsigned int> sent;
    std::atomic<bool> senderTimedOut{false};

    std::thread sender([&] {
        while (sent.size() < kClocks) {
            if (!buffer.WaitUntilReadyForOutput()) {
                senderTimedOut = true;
                return;
            }
            {
                std::lock_guard<std::recursive_mutex> lock(buffer.GetMutex());
                sent.push_back(buffer.GetTickIndex());
                buffer.ports[0].clear();
            }
            buffer.SetHasData(false);
        }
    });
    for (unsigned int clock = 0; clock < kClocks; ++clock) {
        buffer.WaitUntilNeedsData();
        {
            std::lock_guard<std::recursive_mutex> lock(buffer.GetMutex());
            buffer.SetTickIndex(clock * 20);
            buffer.AddEventToBuffer(0, brix_midi::VoiceEvent(0, 0x90, 60, 100));
        }
        buffer.SetHasData(true);
    }
    sender.join();

    ASSERT_FALSE(senderTimedOut);
    ASSERT_EQ(sent.size(), kClocks);
    for (unsigned int clock = 0; clock < kClocks; ++clock) {
        EXPECT_EQ(sent[clock], clock * 20);
    }
}

}  // namespace
