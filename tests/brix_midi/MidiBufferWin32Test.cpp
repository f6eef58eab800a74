#include "BrixMidiError.h"
#include "win32/MidiBufferWin32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr unsigned short kDemoBytes = 65535;

// (status, data 1, data 2) of every record of a data buffer, and whether the frame is delta 0, id 0.
std::vector<std::tuple<int, int, int>> ShortMessages(const DataBuffer& buffer)
{
    std::vector<std::tuple<int, int, int>> messages;
    for (unsigned short i = 0; i < buffer.GetEventCount(); ++i) {
        const unsigned char* record = buffer.GetRawData() + i * DataBuffer::kEventSize;
        DWORD delta = 1, id = 1, word = 0;
        std::memcpy(&delta, record, 4);
        std::memcpy(&id, record + 4, 4);
        std::memcpy(&word, record + 8, 4);
        EXPECT_EQ(delta, 0u);
        EXPECT_EQ(id, 0u);
        EXPECT_EQ(word >> 24, 0u) << "not a short message";
        messages.emplace_back(word & 0xFF, (word >> 8) & 0xFF, (word >> 16) & 0xFF);
    }
    return messages;
}

TEST(MidiBufferWin32, PortsFromOnePlayOnChannelSixteen)
{
    MidiBufferWin32 buffer(3, kDemoBytes, "Main Buffer 0");
    for (unsigned char port = 0; port < 3; ++port) {
        ASSERT_TRUE(buffer.AddEventToBuffer(port, brix_midi::VoiceEvent(0, 0x90, 60, 100)));
        ASSERT_TRUE(buffer.AddEventToBuffer(port, brix_midi::VoiceEvent(0, 0xB3, 7, 90)));
    }
    using M = std::tuple<int, int, int>;
    EXPECT_EQ(ShortMessages(buffer.GetDataBuffer(0)), (std::vector<M>{{0x90, 60, 100}, {0xB3, 7, 90}}));
    EXPECT_EQ(ShortMessages(buffer.GetDataBuffer(1)), (std::vector<M>{{0x9F, 60, 100}, {0xBF, 7, 90}}));
    EXPECT_EQ(ShortMessages(buffer.GetDataBuffer(2)), (std::vector<M>{{0x9F, 60, 100}, {0xBF, 7, 90}}));
    EXPECT_EQ(buffer.GetPortEventCount(1), 2);
}

TEST(MidiBufferWin32, SixtyFiveThousandBytesHoldFiveThousandRecordsThenReportFull)
{
    MidiBufferWin32 buffer(1, kDemoBytes, "b");
    EXPECT_EQ(buffer.GetDataBuffer(0).GetCapacity(), 5461);
    for (int i = 0; i < 5461; ++i) {
        ASSERT_FALSE(buffer.GetBufferIsFull(0)) << i;
        ASSERT_TRUE(buffer.AddEventToBuffer(0, brix_midi::VoiceEvent(0, 0x90, 60, 1)));
    }
    EXPECT_TRUE(buffer.GetBufferIsFull(0));
    EXPECT_FALSE(buffer.AddEventToBuffer(0, brix_midi::VoiceEvent(0, 0x80, 60, 0)));
    EXPECT_EQ(buffer.GetPortEventCount(0), 5461);
    EXPECT_FALSE(buffer.AddPositionCallback()) << "a marker must not be written past the storage";
    EXPECT_EQ(buffer.GetPortEventCount(0), 5461);
}

TEST(MidiBufferWin32, PositionCallbackMarkerGoesToPortZeroOnly)
{
    MidiBufferWin32 buffer(2, 120, "b");
    EXPECT_TRUE(buffer.AddPositionCallback());
    EXPECT_EQ(buffer.GetPortEventCount(0), 1);
    EXPECT_EQ(buffer.GetPortEventCount(1), 0);
    DWORD word = 0;
    std::memcpy(&word, buffer.GetDataBuffer(0).GetRawData() + 8, 4);
    EXPECT_EQ(word, 0x42000000u);
}

TEST(MidiBufferWin32, InvalidVoiceEventIsLeftOutAndTheBufferGoesOn)
{
    MidiBufferWin32 buffer(1, 120, "b");
    const std::vector<brix_midi::VoiceEvent> invalid = {
        {0, 0x90, 0x80, 10},  // data 1 above 127
        {0, 0xC0, 200, 0},    // a program that does not exist
        {0, 0xF8, 0, 0},      // not a channel voice message
    };
    for (const auto& event : invalid) {
        EXPECT_TRUE(buffer.AddEventToBuffer(0, event));
    }
    EXPECT_TRUE(buffer.AddEventToBuffer(0, brix_midi::VoiceEvent(0, 0x91, 62, 80)));
    EXPECT_EQ(ShortMessages(buffer.GetDataBuffer(0)), (std::vector<std::tuple<int, int, int>>{{0x91, 62, 80}}));
}

TEST(MidiBufferWin32, ResetEmptiesEveryPortButKeepsTheStorage)
{
    MidiBufferWin32 buffer(2, 120, "b");
    buffer.AddEventToBuffer(0, brix_midi::VoiceEvent(0, 0x90, 60, 1));
    buffer.AddEventToBuffer(1, brix_midi::VoiceEvent(0, 0x90, 60, 1));
    buffer.SetTickIndex(480);
    EXPECT_EQ(buffer.GetDataBuffer(0).GetTickIndex(), 480u);
    buffer.Reset();
    EXPECT_EQ(buffer.GetPortEventCount(0), 0);
    EXPECT_EQ(buffer.GetPortEventCount(1), 0);
    const DWORD recorded = buffer.GetDataBuffer(0).GetMidiHeader()->dwBytesRecorded;  // packed: copy out
    EXPECT_EQ(recorded, 0u);
}

TEST(MidiBufferWin32, PortsBeyondTheBufferAreRefused)
{
    MidiBufferWin32 buffer(2, 120, "b");
    EXPECT_THROW(buffer.GetDataBuffer(2), std::out_of_range);
    EXPECT_THROW(buffer.QuarantineDataBuffer(2, nullptr), std::out_of_range);
}

TEST(DataBuffer, HeaderPointsAtItsOwnStorageAndOwnerAlsoAfterAMove)
{
    DataBuffer source(120, 1, "oneShotBuffer");
    source.SetUseChannel15();
    source.AddVoiceEvent(brix_midi::VoiceEvent(0, 0x90, 60, 1));
    source.SetTickIndex(99);
    const unsigned char* storage = source.GetRawData();

    DataBuffer moved(std::move(source));
    // The header is byte-packed: its fields are copied out before they are compared.
    const MIDIHDR header = *moved.GetMidiHeader();
    const LPSTR data = header.lpData;
    const DWORD_PTR user = header.dwUser;
    const DWORD recorded = header.dwBytesRecorded;
    const DWORD flags = header.dwFlags;
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(data), storage);
    EXPECT_EQ(user, reinterpret_cast<DWORD_PTR>(&moved));
    EXPECT_EQ(recorded, 12u);
    EXPECT_EQ(flags & MHDR_ISSTRM, MHDR_ISSTRM);
    EXPECT_EQ(moved.GetTickIndex(), 0u);
    EXPECT_EQ(moved.GetBufferName(), "oneShotBuffer data buffer 1");

    DataBuffer assigned(12, 0, "other");
    assigned = std::move(moved);
    const MIDIHDR assignedHeader = *assigned.GetMidiHeader();
    const LPSTR assignedData = assignedHeader.lpData;
    const DWORD_PTR assignedUser = assignedHeader.dwUser;
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(assignedData), storage);
    EXPECT_EQ(assignedUser, reinterpret_cast<DWORD_PTR>(&assigned));
    EXPECT_EQ(ShortMessages(assigned), (std::vector<std::tuple<int, int, int>>{{0x9F, 60, 1}}))
        << "the channel flag moves with the storage";
}

TEST(DataBuffer, SecondSendBeforeDoneThrowsInUseWithItsName)
{
    DataBuffer buffer(120, 0, "Main Buffer 2");
    buffer.SetInUse();
    try {
        buffer.SetInUse();
        FAIL() << "no exception";
    } catch (const MidiImplementationError& e) {
        EXPECT_STREQ(e.what(), "Main Buffer 2 data buffer 0 in use");
    }
    EXPECT_FALSE(buffer.WaitForMidiStreamOutDone(0));
    buffer.SignalMidiStreamOutDone();
    EXPECT_TRUE(buffer.WaitForMidiStreamOutDone(0));
    EXPECT_NO_THROW(buffer.SetInUse());
}

}  // namespace
