#include <mmsystem.h>
#include <winmm_virtual/VirtualMidi.h>

#include <gtest/gtest.h>

#include <array>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using winmm_virtual::Call;
using winmm_virtual::VirtualMidiOutput;

constexpr auto kTimeout = 5s;

// One stream buffer: a header over its own storage of 12-byte records.
struct StreamBuffer {
    explicit StreamBuffer(std::vector<DWORD> eventWords)
    {
        storage.resize(eventWords.size() * 3);
        for (std::size_t i = 0; i < eventWords.size(); ++i) {
            storage[i * 3 + 2] = eventWords[i];  // delta time and stream id stay 0
        }
        header.lpData = reinterpret_cast<LPSTR>(storage.data());
        header.dwBufferLength = static_cast<DWORD>(storage.size() * sizeof(DWORD));
        header.dwBytesRecorded = header.dwBufferLength;
        header.dwFlags = MHDR_ISSTRM;
    }

    std::vector<DWORD> storage;
    MIDIHDR header{};
};

DWORD Short(BYTE status, BYTE data1, BYTE data2)
{
    return DWORD{status} | (DWORD{data1} << 8) | (DWORD{data2} << 16);
}

constexpr DWORD kCallbackMarker = MEVT_F_CALLBACK | (DWORD{MEVT_NOP} << 24);

// What the stream callback saw.
struct DoneLog {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<LPMIDIHDR> headers;
    std::vector<std::thread::id> threads;
    std::vector<UINT> otherMessages;
    HMIDISTRM stopFromCallback = nullptr;
    MMRESULT stopFromCallbackResult = MMSYSERR_NOERROR;

    bool WaitForCount(std::size_t count)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, kTimeout, [&] { return headers.size() >= count; });
    }

    std::size_t Count()
    {
        std::lock_guard lock(mutex);
        return headers.size();
    }
};

void CALLBACK StreamCallback(HMIDIOUT, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR)
{
    auto& log = *reinterpret_cast<DoneLog*>(instance);
    MMRESULT stopResult = MMSYSERR_NOERROR;
    if (log.stopFromCallback != nullptr) {
        stopResult = midiStreamStop(log.stopFromCallback);
    }
    // Notifies under the lock: the test may destroy the log once it sees the
    // count it waits for.
    std::lock_guard lock(log.mutex);
    if (message == MOM_DONE) {
        log.headers.push_back(reinterpret_cast<LPMIDIHDR>(param1));
        log.threads.push_back(std::this_thread::get_id());
        log.stopFromCallbackResult = stopResult;
    } else {
        log.otherMessages.push_back(message);
    }
    log.changed.notify_all();
}

// [GIVEN] a stream opened on a virtual output.
class MidiStreamTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UINT device = output.GetDeviceId();
        ASSERT_EQ(midiStreamOpen(&stream, &device, 1, reinterpret_cast<DWORD_PTR>(&StreamCallback),
                                 reinterpret_cast<DWORD_PTR>(&log), CALLBACK_FUNCTION),
                  MMSYSERR_NOERROR);
    }

    // Every test stops the stream before its buffers go out of scope.
    void TearDown() override
    {
        output.WithholdDone(false);
        winmm_virtual::ClearFailures();
        EXPECT_EQ(midiStreamStop(stream), MMSYSERR_NOERROR);
        EXPECT_EQ(midiStreamClose(stream), MMSYSERR_NOERROR);
    }

    HMIDIOUT Out() const { return reinterpret_cast<HMIDIOUT>(stream); }

    void PrepareAndQueue(StreamBuffer& buffer)
    {
        ASSERT_EQ(midiOutPrepareHeader(Out(), &buffer.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
        ASSERT_EQ(midiStreamOut(stream, &buffer.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    }

    VirtualMidiOutput output{u"Stream Test Synth"};
    DoneLog log;
    HMIDISTRM stream = nullptr;
};

TEST_F(MidiStreamTest, SendsShortMessagesOfAllHeadersInOrderAndSkipsNops)
{
    StreamBuffer first({Short(0x90, 60, 100), kCallbackMarker, Short(0x80, 60, 0)});
    StreamBuffer second({Short(0xB0, 7, 90), Short(0xC0, 5, 0)});
    PrepareAndQueue(first);
    PrepareAndQueue(second);

    ASSERT_EQ(midiStreamRestart(stream), MMSYSERR_NOERROR);

    ASSERT_TRUE(log.WaitForCount(2));
    const std::vector<std::array<BYTE, 3>> expected = {
        {0x90, 60, 100}, {0x80, 60, 0}, {0xB0, 7, 90}, {0xC0, 5, 0}};
    const auto events = output.GetEvents();
    ASSERT_EQ(events.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ((std::array<BYTE, 3>{events[i].status, events[i].data1, events[i].data2}), expected[i])
            << "event " << i;
        if (i > 0) {
            EXPECT_LE(events[i - 1].sentAt, events[i].sentAt);
        }
    }
}

TEST_F(MidiStreamTest, ReportsEachHeaderDoneOnceInOrderOnTheStreamThread)
{
    std::vector<std::unique_ptr<StreamBuffer>> buffers;
    for (BYTE note = 60; note < 63; ++note) {
        buffers.push_back(std::make_unique<StreamBuffer>(std::vector<DWORD>{Short(0x90, note, 64)}));
        PrepareAndQueue(*buffers.back());
    }

    ASSERT_EQ(midiStreamRestart(stream), MMSYSERR_NOERROR);
    ASSERT_TRUE(log.WaitForCount(3));
    ASSERT_TRUE(output.WaitForEventCount(3, kTimeout));

    std::lock_guard lock(log.mutex);
    ASSERT_EQ(log.headers.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(log.headers[i], &buffers[i]->header);
        EXPECT_NE(log.threads[i], std::this_thread::get_id());
        EXPECT_EQ(buffers[i]->header.dwFlags & (MHDR_DONE | MHDR_INQUEUE), MHDR_DONE);
    }
    EXPECT_TRUE(log.otherMessages.empty());
}

TEST_F(MidiStreamTest, OpensPausedAndStopReturnsQueuedHeadersUnsentBeforeItReturns)
{
    StreamBuffer first({Short(0x90, 60, 100)});
    StreamBuffer second({Short(0x90, 62, 100)});
    PrepareAndQueue(first);
    PrepareAndQueue(second);

    ASSERT_EQ(midiStreamStop(stream), MMSYSERR_NOERROR);

    EXPECT_EQ(log.Count(), 2u);
    EXPECT_TRUE(output.GetEvents().empty());
    EXPECT_EQ(first.header.dwFlags & MHDR_INQUEUE, 0u);
    EXPECT_EQ(midiOutUnprepareHeader(Out(), &first.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(first.header.dwFlags & MHDR_PREPARED, 0u);
}

TEST_F(MidiStreamTest, RefusesToUnprepareOrCloseWhileAHeaderIsQueued)
{
    StreamBuffer buffer({Short(0x90, 60, 100)});
    PrepareAndQueue(buffer);

    EXPECT_EQ(midiOutUnprepareHeader(Out(), &buffer.header, sizeof(MIDIHDR)), MIDIERR_STILLPLAYING);
    EXPECT_EQ(midiStreamClose(stream), MIDIERR_STILLPLAYING);
    EXPECT_EQ(midiStreamOut(stream, &buffer.header, sizeof(MIDIHDR)), MIDIERR_STILLPLAYING);

    ASSERT_EQ(midiStreamStop(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutUnprepareHeader(Out(), &buffer.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
}

TEST_F(MidiStreamTest, WithheldHeaderStaysQueuedThroughStopUntilTheDeviceReturnsIt)
{
    output.WithholdDone(true);
    StreamBuffer buffer({Short(0x90, 60, 100)});
    PrepareAndQueue(buffer);
    ASSERT_EQ(midiStreamRestart(stream), MMSYSERR_NOERROR);
    ASSERT_TRUE(output.WaitForEventCount(1, kTimeout));

    ASSERT_EQ(midiStreamStop(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(log.Count(), 0u);
    EXPECT_EQ(midiOutUnprepareHeader(Out(), &buffer.header, sizeof(MIDIHDR)), MIDIERR_STILLPLAYING);

    output.WithholdDone(false);
    ASSERT_TRUE(log.WaitForCount(1));
    EXPECT_EQ(midiOutUnprepareHeader(Out(), &buffer.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
}

TEST_F(MidiStreamTest, RefusesMalformedOrUnpreparedHeaders)
{
    StreamBuffer prepared({Short(0x90, 60, 100), Short(0x80, 60, 0)});
    ASSERT_EQ(midiOutPrepareHeader(Out(), &prepared.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    StreamBuffer unprepared({Short(0x90, 60, 100)});

    struct Case {
        const char* name;
        void (*spoil)(MIDIHDR&);
        UINT size;
        MMRESULT expected;
    };
    const Case cases[] = {
        {"part of a record", [](MIDIHDR& h) { h.dwBytesRecorded = 13; }, sizeof(MIDIHDR), MMSYSERR_INVALPARAM},
        {"more recorded than the buffer holds", [](MIDIHDR& h) { h.dwBytesRecorded = h.dwBufferLength + 12; },
         sizeof(MIDIHDR), MMSYSERR_INVALPARAM},
        {"long event past the end",
         [](MIDIHDR& h) { reinterpret_cast<DWORD*>(h.lpData)[2] = 0x80000000UL | 64; }, sizeof(MIDIHDR),
         MMSYSERR_INVALPARAM},
        {"header size too small", [](MIDIHDR&) {}, sizeof(MIDIHDR) - 1, MMSYSERR_INVALPARAM},
    };
    for (const Case& c : cases) {
        StreamBuffer copy({Short(0x90, 60, 100), Short(0x80, 60, 0)});
        ASSERT_EQ(midiOutPrepareHeader(Out(), &copy.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
        c.spoil(copy.header);
        EXPECT_EQ(midiStreamOut(stream, &copy.header, c.size), c.expected) << c.name;
        copy.header.dwBytesRecorded = 0;
        EXPECT_EQ(midiOutUnprepareHeader(Out(), &copy.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR) << c.name;
    }
    EXPECT_EQ(midiStreamOut(stream, &unprepared.header, sizeof(MIDIHDR)), MIDIERR_UNPREPARED);
    EXPECT_EQ(midiStreamOut(stream, nullptr, sizeof(MIDIHDR)), MMSYSERR_INVALPARAM);
    EXPECT_EQ(midiStreamOut(nullptr, &prepared.header, sizeof(MIDIHDR)), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiOutUnprepareHeader(Out(), &prepared.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
}

TEST_F(MidiStreamTest, HeaderPreparedForAnotherStreamIsUnpreparedForThisOne)
{
    HMIDISTRM other = nullptr;
    UINT device = output.GetDeviceId();
    ASSERT_EQ(midiStreamOpen(&other, &device, 1, reinterpret_cast<DWORD_PTR>(&StreamCallback),
                             reinterpret_cast<DWORD_PTR>(&log), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    StreamBuffer buffer({Short(0x90, 60, 100)});
    ASSERT_EQ(midiOutPrepareHeader(reinterpret_cast<HMIDIOUT>(other), &buffer.header, sizeof(MIDIHDR)),
              MMSYSERR_NOERROR);

    EXPECT_EQ(midiStreamOut(stream, &buffer.header, sizeof(MIDIHDR)), MIDIERR_UNPREPARED);
    EXPECT_EQ(midiStreamClose(other), MMSYSERR_NOERROR);
}

TEST_F(MidiStreamTest, FailedCallHasNoEffectAndTheNextCallSucceeds)
{
    StreamBuffer buffer({Short(0x90, 60, 100)});
    ASSERT_EQ(midiOutPrepareHeader(Out(), &buffer.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    winmm_virtual::FailNextCall(Call::midiStreamOut, MMSYSERR_INVALPARAM);

    EXPECT_EQ(midiStreamOut(stream, &buffer.header, sizeof(MIDIHDR)), MMSYSERR_INVALPARAM);
    EXPECT_EQ(buffer.header.dwFlags & MHDR_INQUEUE, 0u);
    EXPECT_EQ(midiStreamOut(stream, &buffer.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(midiStreamStop(stream), MMSYSERR_NOERROR);
}

TEST_F(MidiStreamTest, StopFromItsOwnCallbackIsRefusedAsBusy)
{
    log.stopFromCallback = stream;
    StreamBuffer buffer({Short(0x90, 60, 100)});
    PrepareAndQueue(buffer);
    ASSERT_EQ(midiStreamRestart(stream), MMSYSERR_NOERROR);
    ASSERT_TRUE(log.WaitForCount(1));

    std::lock_guard lock(log.mutex);
    EXPECT_EQ(log.stopFromCallbackResult, MMSYSERR_HANDLEBUSY);
}

TEST(MidiStreamOpenTest, RefusesBadArguments)
{
    VirtualMidiOutput output(u"Open Test Synth");
    DoneLog log;
    const auto callback = reinterpret_cast<DWORD_PTR>(&StreamCallback);
    const auto instance = reinterpret_cast<DWORD_PTR>(&log);
    struct Case {
        const char* name;
        UINT device;
        DWORD streams;
        DWORD_PTR callback;
        DWORD flags;
        MMRESULT expected;
    };
    const Case cases[] = {
        {"device out of range", midiOutGetNumDevs(), 1, callback, CALLBACK_FUNCTION, MMSYSERR_BADDEVICEID},
        {"two streams", output.GetDeviceId(), 2, callback, CALLBACK_FUNCTION, MMSYSERR_INVALPARAM},
        {"no callback", output.GetDeviceId(), 1, 0, CALLBACK_FUNCTION, MMSYSERR_INVALPARAM},
        {"no callback kind", output.GetDeviceId(), 1, callback, 0, MMSYSERR_INVALFLAG},
    };
    for (const Case& c : cases) {
        HMIDISTRM stream = nullptr;
        UINT device = c.device;
        EXPECT_EQ(midiStreamOpen(&stream, &device, c.streams, c.callback, instance, c.flags), c.expected) << c.name;
        EXPECT_EQ(stream, nullptr) << c.name;
    }
}

TEST(MidiStreamOpenTest, ClosedHandleIsNeverValidAgain)
{
    VirtualMidiOutput output(u"Close Test Synth");
    DoneLog log;
    HMIDISTRM stream = nullptr;
    UINT device = output.GetDeviceId();
    ASSERT_EQ(midiStreamOpen(&stream, &device, 1, reinterpret_cast<DWORD_PTR>(&StreamCallback),
                             reinterpret_cast<DWORD_PTR>(&log), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    ASSERT_EQ(midiStreamClose(stream), MMSYSERR_NOERROR);

    EXPECT_EQ(midiStreamClose(stream), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiStreamRestart(stream), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiStreamStop(stream), MMSYSERR_INVALHANDLE);
}

}  // namespace
