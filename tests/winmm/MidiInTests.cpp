#include <mmsystem.h>
#include <winmm_virtual/VirtualMidi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using winmm_virtual::VirtualMidiInput;

constexpr auto kTimeout = 5s;

// What the input callback saw.
struct InputLog {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<DWORD_PTR> messages;
    std::vector<UINT> kinds;
    std::vector<std::thread::id> threads;
    // When set, the callback waits until midiInClose has begun on this handle.
    std::atomic<HMIDIIN> holdUntilClosing{nullptr};
    std::atomic<bool> callbackFinished{false};

    bool WaitForCount(std::size_t count)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, kTimeout, [&] { return messages.size() >= count; });
    }

    std::vector<DWORD_PTR> Messages()
    {
        std::lock_guard lock(mutex);
        return messages;
    }
};

void CALLBACK InputCallback(HMIDIIN, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR)
{
    auto& log = *reinterpret_cast<InputLog*>(instance);
    {
        std::lock_guard lock(log.mutex);
        log.messages.push_back(param1);
        log.kinds.push_back(message);
        log.threads.push_back(std::this_thread::get_id());
        log.changed.notify_all();
    }
    if (HMIDIIN held = log.holdUntilClosing.load()) {
        // A closing handle refuses midiInStart; give up after the time-out so
        // that a broken close cannot hang the test.
        const auto deadline = std::chrono::steady_clock::now() + kTimeout;
        while (midiInStart(held) != MMSYSERR_INVALHANDLE && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        log.callbackFinished = true;
    }
}

// [GIVEN] an input opened on a virtual input device, not started.
class MidiInTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(midiInOpen(&handle, input.GetDeviceId(), reinterpret_cast<DWORD_PTR>(&InputCallback),
                             reinterpret_cast<DWORD_PTR>(&log), CALLBACK_FUNCTION),
                  MMSYSERR_NOERROR);
    }

    void TearDown() override
    {
        if (handle != nullptr) {
            EXPECT_EQ(midiInClose(handle), MMSYSERR_NOERROR);
        }
    }

    VirtualMidiInput input{u"Test Keyboard"};
    InputLog log;
    HMIDIIN handle = nullptr;
};

TEST_F(MidiInTest, DeliversPackedShortMessagesOnlyAfterStart)
{
    EXPECT_EQ(input.Inject(0x90, 60, 100), 0u);

    ASSERT_EQ(midiInStart(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(input.Inject(0xB1, 64, 127), 1u);
    EXPECT_EQ(input.Inject(0xC2, 9, 0), 1u);

    ASSERT_TRUE(log.WaitForCount(2));
    EXPECT_EQ(log.Messages(), (std::vector<DWORD_PTR>{0x7F40B1, 0x0009C2}));
    std::lock_guard lock(log.mutex);
    EXPECT_EQ(log.kinds, (std::vector<UINT>{MIM_DATA, MIM_DATA}));
    EXPECT_NE(log.threads.front(), std::this_thread::get_id());
}

TEST_F(MidiInTest, ResetStopsInputUntilTheNextStart)
{
    ASSERT_EQ(midiInStart(handle), MMSYSERR_NOERROR);
    ASSERT_EQ(midiInReset(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(input.Inject(0x90, 60, 100), 0u);

    ASSERT_EQ(midiInStart(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(input.Inject(0x90, 62, 100), 1u);
    ASSERT_TRUE(log.WaitForCount(1));
    EXPECT_EQ(log.Messages(), (std::vector<DWORD_PTR>{0x643E90}));
}

TEST_F(MidiInTest, NothingArrivesAfterCloseAndTheHandleIsDead)
{
    ASSERT_EQ(midiInStart(handle), MMSYSERR_NOERROR);
    ASSERT_EQ(midiInClose(handle), MMSYSERR_NOERROR);

    EXPECT_EQ(input.Inject(0x90, 60, 100), 0u);
    EXPECT_TRUE(log.Messages().empty());
    EXPECT_EQ(midiInStart(handle), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiInReset(handle), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiInClose(handle), MMSYSERR_INVALHANDLE);
    handle = nullptr;
}

TEST_F(MidiInTest, CloseReturnsOnlyAfterTheCallbackInFlightHasFinished)
{
    log.holdUntilClosing = handle;
    ASSERT_EQ(midiInStart(handle), MMSYSERR_NOERROR);
    ASSERT_EQ(input.Inject(0x90, 60, 100), 1u);
    ASSERT_TRUE(log.WaitForCount(1));

    // [WHEN] closing while the callback runs
    EXPECT_EQ(midiInClose(handle), MMSYSERR_NOERROR);
    // [THEN] the callback had finished when close returned
    EXPECT_TRUE(log.callbackFinished.load());
    handle = nullptr;
}

TEST(MidiInOpenTest, RefusesBadArguments)
{
    VirtualMidiInput input(u"Open Test Keyboard");
    InputLog log;
    const auto callback = reinterpret_cast<DWORD_PTR>(&InputCallback);
    struct Case {
        const char* name;
        UINT device;
        DWORD_PTR callback;
        DWORD flags;
        MMRESULT expected;
    };
    const Case cases[] = {
        {"device out of range", midiInGetNumDevs(), callback, CALLBACK_FUNCTION, MMSYSERR_BADDEVICEID},
        {"no callback", input.GetDeviceId(), 0, CALLBACK_FUNCTION, MMSYSERR_INVALPARAM},
        {"no callback kind", input.GetDeviceId(), callback, 0, MMSYSERR_INVALFLAG},
    };
    for (const Case& c : cases) {
        HMIDIIN handle = nullptr;
        EXPECT_EQ(midiInOpen(&handle, c.device, c.callback, reinterpret_cast<DWORD_PTR>(&log), c.flags), c.expected)
            << c.name;
        EXPECT_EQ(handle, nullptr) << c.name;
    }
}

}  // namespace
