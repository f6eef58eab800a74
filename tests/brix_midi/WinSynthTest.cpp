#include "BrixMidiError.h"
#include "win32/MidiBufferWin32.h"
#include "win32/MidiOutputPortsWin32.h"
#include "win32/WinSynth.h"

#include <brix_core/BrixLog.h>
#include <winmm_virtual/VirtualMidi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <tuple>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Message = std::tuple<int, int, int>;

std::vector<Message> Messages(const winmm_virtual::VirtualMidiOutput& device)
{
    std::vector<Message> messages;
    for (const auto& event : device.GetEvents()) {
        messages.emplace_back(event.status, event.data1, event.data2);
    }
    return messages;
}

// A virtual output as device 0, a synth on it and two-port ports with one registered buffer.
class WinSynthTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(device.GetDeviceId(), 0u) << "the stream opens device 0";
        ports.RegisterMidiBuffer(buffer);
        ports.ConnectSynth(synth);
        ClearBrixLogRecords();
    }
    void TearDown() override
    {
        device.WithholdDone(false);
        winmm_virtual::ClearFailures();
        ports.DisconnectSynth(synth);
    }

    winmm_virtual::VirtualMidiOutput device{u"Test Synth"};
    WinSynth synth;
    MidiOutputPortsWin32 ports{2};
    std::shared_ptr<MidiBufferWin32> buffer = std::make_shared<MidiBufferWin32>(2, 65535, "Main Buffer 0");
};

TEST_F(WinSynthTest, LanesGoOutInPortOrderWithLaneOneOnChannelSixteen)
{
    buffer->AddEventToBuffer(1, brix_midi::VoiceEvent(0, 0x90, 64, 90));
    buffer->AddEventToBuffer(0, brix_midi::VoiceEvent(0, 0x90, 60, 100));
    buffer->AddEventToBuffer(0, brix_midi::VoiceEvent(0, 0x80, 60, 0));
    ports.SendMidiBuffer(*buffer);
    ASSERT_TRUE(device.WaitForEventCount(3, 2s));
    EXPECT_EQ(Messages(device), (std::vector<Message>{{0x90, 60, 100}, {0x80, 60, 0}, {0x9F, 64, 90}}));
}

TEST_F(WinSynthTest, EmptyLaneSendsNothingAndDoesNotWait)
{
    synth.SendDataBuffer(buffer.get(), 1);
    EXPECT_FALSE(buffer->GetDataBuffer(1).GetInUse());
    EXPECT_TRUE(device.GetEvents().empty());
}

TEST_F(WinSynthTest, RefusedStreamOutIsLoggedAndTheNextSendOfThatLaneGoesOut)
{
    buffer->AddEventToBuffer(0, brix_midi::VoiceEvent(0, 0x90, 60, 100));
    winmm_virtual::FailNextCall(winmm_virtual::Call::midiStreamOut, MMSYSERR_INVALPARAM);
    EXPECT_NO_THROW(synth.SendDataBuffer(buffer.get(), 0));
    EXPECT_FALSE(buffer->GetDataBuffer(0).GetInUse()) << "a refused buffer must not stay marked in use";
    const auto records = GetBrixLogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_NE(records[0].message.find("calling midiStreamOut caused error 11, MMSYSERR_INVALPARAM"), std::string::npos);

    EXPECT_NO_THROW(synth.SendDataBuffer(buffer.get(), 0));
    ASSERT_TRUE(device.WaitForEventCount(1, 2s));
    EXPECT_EQ(Messages(device), (std::vector<Message>{{0x90, 60, 100}}));
}

TEST_F(WinSynthTest, BufferRegisteredAfterConnectingIsRefusedAsNotPrepared)
{
    auto late = std::make_shared<MidiBufferWin32>(2, 120, "late");
    late->AddEventToBuffer(0, brix_midi::VoiceEvent(0, 0x90, 60, 100));
    ports.RegisterMidiBuffer(late);
    try {
        ports.SendMidiBuffer(*late);
        FAIL() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "Header is not prepared.");
    }
}

TEST_F(WinSynthTest, DataBufferPreparedForAnotherStreamIsRefused)
{
    WinSynth other;  // a second stream on device 0
    buffer->AddEventToBuffer(0, brix_midi::VoiceEvent(0, 0x90, 60, 100));
    try {
        other.SendDataBuffer(buffer.get(), 0);
        FAIL() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "mismatched output handles.");
    }
    EXPECT_THROW(other.SendDataBuffer(buffer.get(), 2), std::out_of_range);
}

TEST_F(WinSynthTest, WithheldBufferIsQuarantinedAndTheLaneGetsAFreshPreparedOne)
{
    buffer->AddEventToBuffer(0, brix_midi::VoiceEvent(0, 0x90, 60, 100));
    DataBuffer* withheld = &buffer->GetDataBuffer(0);
    device.WithholdDone(true);
    synth.SendDataBuffer(buffer.get(), 0);  // waits the 3 seconds

    EXPECT_EQ(buffer->GetQuarantinedDataBufferCount(), 1u);
    DataBuffer& fresh = buffer->GetDataBuffer(0);
    ASSERT_NE(&fresh, withheld);
    EXPECT_TRUE(fresh.GetHeaderIsPrepared());
    EXPECT_EQ(fresh.GetPreparedOutputHandle(), synth.GetOutputHandle());

    // The driver still holds the old one: a clean-up keeps it.
    buffer->CleanUpQuarantinedDataBuffers(synth.GetOutputHandle());
    EXPECT_EQ(buffer->GetQuarantinedDataBufferCount(), 1u);

    device.WithholdDone(false);
    ASSERT_TRUE(withheld->WaitForMidiStreamOutDone(2));
    buffer->CleanUpQuarantinedDataBuffers(synth.GetOutputHandle());
    EXPECT_EQ(buffer->GetQuarantinedDataBufferCount(), 0u);

    buffer->AddEventToBuffer(0, brix_midi::VoiceEvent(0, 0x91, 62, 100));
    synth.SendDataBuffer(buffer.get(), 0);
    ASSERT_TRUE(device.WaitForEventCount(2, 2s));
    EXPECT_EQ(Messages(device).back(), (Message{0x91, 62, 100}));
}

TEST(WinSynth, OpenFailureThrowsDeviceUnavailableWithTheDeviceSummary)
{
    winmm_virtual::FailNextCall(winmm_virtual::Call::midiStreamOpen, MMSYSERR_ALLOCATED);
    try {
        WinSynth synth;
        FAIL() << "no exception";
    } catch (const MidiDeviceUnavailable& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("CreateSynthOutput() error 4, ", 0), 0u) << text;
        EXPECT_NE(text.find('\n'), std::string::npos);
    }
}

TEST(MidiOutputPortsWin32, WithoutASynthSendsAreDropped)
{
    MidiOutputPortsWin32 ports(2);
    auto buffer = std::make_shared<MidiBufferWin32>(2, 120, "b");
    ports.RegisterMidiBuffer(buffer);
    buffer->AddEventToBuffer(0, brix_midi::VoiceEvent(0, 0x90, 60, 100));
    EXPECT_NO_THROW(ports.SendMidiBuffer(*buffer));
    EXPECT_FALSE(buffer->GetDataBuffer(0).GetInUse());
}

TEST(MidiOutputPortsWin32, FailedConnectionLeavesNoPortBoundAndNothingPrepared)
{
    winmm_virtual::VirtualMidiOutput device(u"Test Synth");
    MidiOutputPortsWin32 ports(2);
    auto buffer = std::make_shared<MidiBufferWin32>(2, 120, "b");
    ports.RegisterMidiBuffer(buffer);
    {
        WinSynth synth;
        winmm_virtual::FailNextCall(winmm_virtual::Call::midiStreamRestart, MMSYSERR_NOMEM);
        EXPECT_THROW(ports.ConnectSynth(synth), MidiImplementationError);
        EXPECT_FALSE(buffer->GetDataBuffer(0).GetHeaderIsPrepared());
        EXPECT_FALSE(buffer->GetDataBuffer(1).GetHeaderIsPrepared());
    }
    // The synth is gone: a send must not reach it.
    buffer->AddEventToBuffer(0, brix_midi::VoiceEvent(0, 0x90, 60, 100));
    EXPECT_NO_THROW(ports.SendMidiBuffer(*buffer));
    EXPECT_TRUE(device.GetEvents().empty());
}

TEST(MidiOutputPortsWin32, OutputPortsAreNamedAfterTheirDevices)
{
    winmm_virtual::VirtualMidiOutput device(u"Caf\u00e9");
    const auto missing = static_cast<unsigned char>(midiOutGetNumDevs());
    MidiOutputPortsWin32 ports(static_cast<unsigned char>(missing + 1));
    EXPECT_EQ(ports.GetPort(0).GetDisplayName(), "Caf\xC3\xA9");
    EXPECT_EQ(ports.GetPort(missing).GetDisplayName(), "Not a valid output device.");
    EXPECT_EQ(ports.GetPort(0).GetUniqueId(), 0);
    EXPECT_THROW(ports.GetPort(0).SetChannelDrumMode(9, true), std::runtime_error);
    EXPECT_THROW(ports.SetChannelDrumMode(9, true), std::runtime_error);
}

}  // namespace
