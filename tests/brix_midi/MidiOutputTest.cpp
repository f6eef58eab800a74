#include "MidiOutput.h"
#include "StandardMidiClock.h"
#include "TempoTable.h"
#include "TestMidiOutput.h"

#include <brix_core/BrixLog.h>
#include <brix_core/CallbackDispatcher.h>
#include <brix_core/NotifyNames.h>
#include <fennic/Exceptions.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Event = RecordingMidiOutputPorts::Event;

// A clock that never fires by itself; the output only disarms it. Disarms are counted (disarms) and
// announced (changed), so a test sees when an output's disarm has begun.
class IdleClock : public StandardMidiClock {
public:
    void DisarmPlayback() override
    {
        StandardMidiClock::DisarmPlayback();
        {
            std::lock_guard lock(mutex);
            ++disarms;
        }
        changed.notify_all();
    }
    bool WaitForDisarms(int count)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(2), [&] { return disarms >= count; });
    }

protected:
    void SetClockTimer(double) override {}
    void StartClock() override {}

private:
    std::mutex mutex;
    std::condition_variable changed;
    int disarms = 0;
};

// What the fill and stopped callbacks saw. A fill can be held inside the callback (holdFills).
struct CallbackLog {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<MidiBuffer*> filled;
    std::vector<bool> filledFirst;
    unsigned int nextTick = 0;
    bool holdFills = false;
    bool fillHeld = false;
    bool failFills = false;
    int stopped = 0;
    bool holdStopped = false;

    void Fill(MidiBuffer& buffer)
    {
        const bool first = buffer.GetIsFirstBuffer();
        std::unique_lock lock(mutex);
        if (failFills) {
            throw std::runtime_error("no song");
        }
        filled.push_back(&buffer);
        filledFirst.push_back(first);
        const unsigned int tick = nextTick;
        nextTick += 20;
        fillHeld = holdFills;
        changed.notify_all();
        changed.wait(lock, [this] { return !holdFills; });
        fillHeld = false;
        lock.unlock();
        buffer.SetTickIndex(tick);
        buffer.SetHasData(true);
    }
    void Stopped()
    {
        std::unique_lock lock(mutex);
        ++stopped;
        changed.notify_all();
        changed.wait(lock, [this] { return !holdStopped; });
    }
    template <class Predicate>
    bool WaitFor(Predicate predicate, std::chrono::milliseconds timeout = 2s)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, predicate);
    }
    void Set(bool CallbackLog::*flag, bool value)
    {
        {
            std::lock_guard lock(mutex);
            this->*flag = value;
        }
        changed.notify_all();
    }
    std::size_t FillCount()
    {
        std::lock_guard lock(mutex);
        return filled.size();
    }
};

// Waits until the predicate holds, at most `timeout`, for state that announces no change.
template <class Predicate>
bool WaitUntil(Predicate predicate, std::chrono::milliseconds timeout = 2s)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

// How long a test waits for something that must not happen.
constexpr auto kMustNotHappenWithin = 200ms;

// Counts the disarmedPlayback notices.
struct DisarmNotices {
    DisarmNotices()
    {
        notify::callbackDispatcher.AddCallback(this, notify::names::disarmedPlayback, [this](void*) { ++count; });
    }
    ~DisarmNotices() { notify::callbackDispatcher.RemoveCallbacksForTarget(this); }
    std::atomic<int> count{0};
};

std::unique_ptr<TestMidiOutput> MakeOutput(CallbackLog& log, MidiClock& clock, std::recursive_mutex& playerLock)
{
    return std::make_unique<TestMidiOutput>([&log](MidiBuffer& buffer) { log.Fill(buffer); },
                                            [](unsigned int) {}, [&log] { log.Stopped(); }, [] {},
                                            [](unsigned int) { return false; }, clock, &playerLock);
}

// TestMidiOutput::GetPorts gives the recording ports as the abstract type; this reaches them.
RecordingMidiOutputPorts& Recording(TestMidiOutput& output)
{
    return output.ports;
}

// [GIVEN] an initialized output over three ports, with a clock that never fires
class MidiOutputTest : public ::testing::Test {
public:
    void SetUp() override
    {
        output = MakeOutput(log, clock, playerLock);
        output->Initialize(3);
    }

    void Prime()
    {
        std::unique_lock lock(output->GetMutex());
        output->PrimeBuffers(lock);
    }
    void PrimeAndArm()
    {
        Prime();
        ASSERT_TRUE(output->ArmPlayback());
    }
    // What the clock path does with the play buffer: wait for it, take it out, move on.
    unsigned int SendPlayBuffer()
    {
        MidiBuffer& buffer = output->GetPlayBuffer();
        EXPECT_TRUE(buffer.WaitUntilReadyForOutput());
        std::unique_lock<std::recursive_mutex> outputLock(output->GetMutex(), std::defer_lock);
        std::unique_lock<std::recursive_mutex> bufferLock(buffer.GetMutex(), std::defer_lock);
        std::lock(outputLock, bufferLock);
        const unsigned int tick = buffer.GetTickIndex();
        buffer.SetHasData(false);
        output->IncrementPlayBufferIndex();
        return tick;
    }
    MidiBuffer* Ring(std::size_t i) { return Recording(*output).GetRegistered().at(i).get(); }

    CallbackLog log;
    IdleClock clock;
    std::recursive_mutex playerLock;
    std::unique_ptr<TestMidiOutput> output;
};

TEST_F(MidiOutputTest, InitializeRegistersTheRingThenTheSpecialBuffers)
{
    const auto registered = Recording(*output).GetRegistered();
    std::vector<std::string> names;
    for (const auto& buffer : registered) {
        names.push_back(output->NameOf(buffer.get()));
    }
    const std::vector<std::string> expected{"Main Buffer 0",     "Main Buffer 1",   "Main Buffer 2", "Main Buffer 3",
                                            "allNotesOffBuffer", "allCCsOffBuffer", "oneShotBuffer"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(log.FillCount(), 0u);
}

TEST_F(MidiOutputTest, ArmSucceedsOnlyAfterPrimingUntilTheNextDisarm)
{
    DisarmNotices notices;
    EXPECT_FALSE(output->ArmPlayback());
    Prime();
    EXPECT_TRUE(output->ArmPlayback());
    EXPECT_TRUE(output->ArmPlayback());
    EXPECT_TRUE(output->PlaybackIsActive());

    output->DisarmPlayback();
    EXPECT_FALSE(output->PlaybackIsActive());
    EXPECT_FALSE(output->ArmPlayback());
    EXPECT_EQ(notices.count.load(), 1);
    Prime();
    EXPECT_TRUE(output->ArmPlayback());
}

TEST_F(MidiOutputTest, PrimeFillsTheRingInOrderAndMarksOnlyTheFirstBuffer)
{
    Prime();
    std::lock_guard lock(log.mutex);
    ASSERT_EQ(log.filled.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(log.filled[i], Ring(i)) << i;
        EXPECT_EQ(log.filledFirst[i], i == 0) << i;
    }
    EXPECT_EQ(output->GetFillBufferIndex(), 0);
    EXPECT_EQ(output->GetPlayBufferIndex(), 0);
    EXPECT_FALSE(output->GetPrimeBuffersInProgress());
}

TEST_F(MidiOutputTest, PrimeWhileArmedThrowsAndLeavesTheRingAlone)
{
    PrimeAndArm();
    log.Set(&CallbackLog::holdFills, true);
    SendPlayBuffer();
    ASSERT_TRUE(log.WaitFor([&] { return log.fillHeld; }));  // the refill of buffer 0 is under way

    {
        std::unique_lock lock(output->GetMutex());
        try {
            output->PrimeBuffers(lock);
            ADD_FAILURE() << "no exception";
        } catch (const std::logic_error& e) {
            EXPECT_STREQ(e.what(), "PrimeBuffers() must only be called when playback is stopped.");
        }
        EXPECT_TRUE(lock.owns_lock());
        EXPECT_EQ(output->GetPlayBufferIndex(), 1);
        EXPECT_EQ(output->GetFillBufferIndex(), 0);
        EXPECT_TRUE(output->PlaybackIsActive());
        EXPECT_FALSE(output->GetPrimeBuffersInProgress());
    }
    log.Set(&CallbackLog::holdFills, false);
    EXPECT_EQ(log.FillCount(), 5u);
}

TEST_F(MidiOutputTest, FailedPrimingLeavesPlaybackUnarmable)
{
    auto failing = std::make_unique<TestMidiOutput>([](MidiBuffer&) { throw std::runtime_error("no song"); },
                                                    [](unsigned int) {}, [] {}, [] {},
                                                    [](unsigned int) { return false; }, clock, &playerLock);
    failing->Initialize(1);
    std::unique_lock lock(failing->GetMutex());
    EXPECT_THROW(failing->PrimeBuffers(lock), std::runtime_error);
    EXPECT_TRUE(lock.owns_lock());
    EXPECT_FALSE(failing->GetPrimeBuffersInProgress());
    EXPECT_FALSE(failing->ArmPlayback());
}

TEST_F(MidiOutputTest, FailedRePrimingLeavesPlaybackUnarmableUntilAPrimingSucceeds)
{
    Prime();
    log.Set(&CallbackLog::failFills, true);
    {
        std::unique_lock lock(output->GetMutex());
        EXPECT_THROW(output->PrimeBuffers(lock), std::runtime_error);
        EXPECT_TRUE(lock.owns_lock());
    }
    EXPECT_FALSE(output->ArmPlayback()) << "armed over a ring whose priming failed";
    log.Set(&CallbackLog::failFills, false);
    Prime();
    EXPECT_TRUE(output->ArmPlayback());
}

TEST_F(MidiOutputTest, WhileADisarmWaitsForTheQueueNeitherArmingNorPrimingGetsIn)
{
    PrimeAndArm();
    log.Set(&CallbackLog::holdFills, true);
    SendPlayBuffer();
    ASSERT_TRUE(log.WaitFor([&] { return log.fillHeld; }));  // the refill of buffer 0 is under way

    std::thread disarm([&] { output->DisarmPlayback(); });
    // Playback is off once the disarm has begun; the disarm then waits for the held fill.
    ASSERT_TRUE(WaitUntil([&] { return !output->PlaybackIsActive(); }));
    EXPECT_FALSE(output->ArmPlayback()) << "armed in the middle of a disarm";
    std::thread prime([&] { Prime(); });
    EXPECT_FALSE(log.WaitFor([&] { return log.filled.size() > 5; }, kMustNotHappenWithin))
        << "the priming filled while the queue thread was still filling";
    log.Set(&CallbackLog::holdFills, false);
    disarm.join();
    prime.join();

    // The priming filled the whole ring after the queue thread had parked.
    std::lock_guard lock(log.mutex);
    ASSERT_EQ(log.filled.size(), 9u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(log.filled[5 + i], Ring(i)) << i;
        EXPECT_EQ(log.filledFirst[5 + i], i == 0) << i;
    }
    EXPECT_EQ(output->GetFillBufferIndex(), 0);
    EXPECT_EQ(output->GetPlayBufferIndex(), 0);
    EXPECT_TRUE(output->ArmPlayback());
}

TEST_F(MidiOutputTest, QueueThreadRefillsEachSentBufferOnceInRingOrder)
{
    PrimeAndArm();
    constexpr unsigned int kSends = 10;
    for (unsigned int i = 0; i < kSends; ++i) {
        EXPECT_EQ(SendPlayBuffer(), i * 20) << "clocks go out in the order they were filled";
    }
    ASSERT_TRUE(log.WaitFor([&] { return log.filled.size() == 4 + kSends; }));
    std::lock_guard lock(log.mutex);
    for (std::size_t i = 0; i < log.filled.size(); ++i) {
        EXPECT_EQ(log.filled[i], Ring(i % 4)) << "fill " << i;
        EXPECT_EQ(log.filledFirst[i], i == 0) << "fill " << i;
    }
}

TEST_F(MidiOutputTest, DisarmWaitsForTheFillInProgressAndTheQueueToPark)
{
    DisarmNotices notices;
    PrimeAndArm();
    log.Set(&CallbackLog::holdFills, true);
    SendPlayBuffer();
    ASSERT_TRUE(log.WaitFor([&] { return log.fillHeld; }));

    std::atomic<bool> disarmed{false};
    std::thread disarm([&] {
        output->DisarmPlayback();
        disarmed = true;
        {
            std::lock_guard lock(log.mutex);
        }
        log.changed.notify_all();
    });
    // The disarm has begun (it stops the clock first); it cannot end while the fill is held.
    ASSERT_TRUE(clock.WaitForDisarms(1));
    EXPECT_FALSE(log.WaitFor([&] { return disarmed.load(); }, kMustNotHappenWithin));
    log.Set(&CallbackLog::holdFills, false);
    disarm.join();

    EXPECT_EQ(output->GetFillBufferIndex(), 1);
    EXPECT_EQ(notices.count.load(), 1);
    // Parked: priming again refills the whole ring, alone.
    Prime();
    EXPECT_EQ(log.FillCount(), 9u);
    EXPECT_TRUE(output->ArmPlayback());
}

TEST_F(MidiOutputTest, DisarmWhileTheQueueWaitsForAFullRingParksIt)
{
    // Repeated, because the queue thread may be anywhere between its park and its wait.
    for (int round = 0; round < 50; ++round) {
        const std::size_t before = log.FillCount();
        PrimeAndArm();
        output->DisarmPlayback();
        EXPECT_EQ(log.FillCount(), before + 4) << "round " << round;
    }
    // After the last disarm the ring still plays in order from a fresh priming.
    const unsigned int firstTick = log.nextTick;
    PrimeAndArm();
    for (unsigned int i = 0; i < 6; ++i) {
        EXPECT_EQ(SendPlayBuffer(), firstTick + i * 20);
    }
}

struct ExitCase {
    const char* name;
    std::function<void(MidiOutputTest&)> reach;
};

class MidiOutputExitTest : public MidiOutputTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(MidiOutputExitTest, DestroyingTheOutputEndsItsThreads)
{
    GetParam().reach(*this);
    std::size_t fills = 0;
    int stops = 0;
    {
        std::lock_guard lock(log.mutex);
        fills = log.filled.size();
        stops = log.stopped;
    }
    output.reset();  // joins the queue and stopped threads; a lost wake-up hangs here
    // Waking the threads to end them filled nothing and reported no stop.
    EXPECT_EQ(log.FillCount(), fills);
    std::lock_guard lock(log.mutex);
    EXPECT_EQ(log.stopped, stops);
}

INSTANTIATE_TEST_SUITE_P(
    FromEveryState, MidiOutputExitTest,
    ::testing::Values(ExitCase{"ParkedAfterInitialize", [](MidiOutputTest&) {}},
                      ExitCase{"WaitingForAFullRingToBeSent",
                               [](MidiOutputTest& t) {
                                   // Out of its park: it refilled the buffer sent, and the next is full.
                                   t.PrimeAndArm();
                                   t.SendPlayBuffer();
                                   ASSERT_TRUE(t.log.WaitFor([&] { return t.log.filled.size() == 5; }));
                               }},
                      ExitCase{"ParkedAfterDisarm",
                               [](MidiOutputTest& t) {
                                   t.PrimeAndArm();
                                   t.output->DisarmPlayback();
                               }},
                      ExitCase{"StoppedCallbackRunning",
                               [](MidiOutputTest& t) {
                                   // Still in the callback when the destruction begins.
                                   t.log.Set(&CallbackLog::holdStopped, true);
                                   t.output->SignalAsyncStoppedCallback();
                                   ASSERT_TRUE(t.log.WaitFor([&] { return t.log.stopped == 1; }));
                                   t.output->onDestroy = [&t] { t.log.Set(&CallbackLog::holdStopped, false); };
                               }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MidiOutputTest, EveryStopSignalRunsTheStoppedCallbackOnce)
{
    log.Set(&CallbackLog::holdStopped, true);
    output->SignalAsyncStoppedCallback();
    ASSERT_TRUE(log.WaitFor([&] { return log.stopped == 1; }));
    // Given while the callback runs: still reported, each once.
    output->SignalAsyncStoppedCallback();
    output->SignalAsyncStoppedCallback();
    log.Set(&CallbackLog::holdStopped, false);
    EXPECT_TRUE(log.WaitFor([&] { return log.stopped == 3; }));
}

TEST(MidiOutputStopped, SignalGivenRightAfterInitializeIsReported)
{
    IdleClock clock;
    std::recursive_mutex playerLock;
    for (int round = 0; round < 50; ++round) {
        CallbackLog log;
        auto output = MakeOutput(log, clock, playerLock);
        output->Initialize(1);
        output->SignalAsyncStoppedCallback();
        ASSERT_TRUE(log.WaitFor([&] { return log.stopped == 1; })) << "round " << round;
    }
}

struct OneShotCase {
    const char* name;
    std::function<void(MidiOutput&)> send;
    std::vector<std::vector<Event>> sends;  // (port, status, data 1, data 2) per send
};

class MidiOutputOneShotTest : public MidiOutputTest, public ::testing::WithParamInterface<OneShotCase> {};

TEST_P(MidiOutputOneShotTest, SendsTheEventsOnTheTrackPortsThroughTheOneShotBuffer)
{
    GetParam().send(*output);
    const auto sends = Recording(*output).GetSends();
    ASSERT_EQ(sends.size(), GetParam().sends.size());
    for (std::size_t i = 0; i < sends.size(); ++i) {
        EXPECT_EQ(output->NameOf(sends[i].buffer), "oneShotBuffer");
        EXPECT_EQ(sends[i].events, GetParam().sends[i]) << "send " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tracks, MidiOutputOneShotTest,
    ::testing::Values(
        OneShotCase{"SendAllNotesOff", [](MidiOutput& o) { o.SendAllNotesOff(0x23); },
                    {{{2, 0xB3, 123, 0}}, {{2, 0xB3, 121, 0}}}},
        OneShotCase{"SetTrackVolume", [](MidiOutput& o) { o.SetTrackVolume(0x11, 90); }, {{{1, 0xB1, 7, 90}}}},
        OneShotCase{"SetTrackPan", [](MidiOutput& o) { o.SetTrackPan(0x0F, 64); }, {{{0, 0xBF, 10, 64}}}},
        OneShotCase{"SetTrackBank", [](MidiOutput& o) { o.SetTrackBank(0x12, 3); }, {{{1, 0xB2, 0, 3}}}},
        OneShotCase{"SetTrackProgramId", [](MidiOutput& o) { o.SetTrackProgramId(0x05, 12); },
                    {{{0, 0xC5, 12, 0}}}},
        OneShotCase{"SetAllTracksPan", [](MidiOutput& o) { o.SetAllTracksPan({{0x10, 20}, {0x05, 64}}); },
                    {{{0, 0xB5, 10, 64}, {1, 0xB0, 10, 20}}}},
        OneShotCase{"SetAllTracksVolume", [](MidiOutput& o) { o.SetAllTracksVolume({{0x01, 100}, {0x1A, 80}}); },
                    {{{0, 0xB1, 7, 100}, {1, 0xBA, 7, 80}}}},
        OneShotCase{"SetAllTracksProgramId",
                    [](MidiOutput& o) { o.SetAllTracksProgramId({{0x00, 5}, {0x19, 40}}); },
                    {{{0, 0xC0, 5, 0}, {1, 0xC9, 40, 0}}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MidiOutputTest, AllNotesOffAndAllControllersOffSendTheirPreparedBuffers)
{
    output->AllNotesOff();
    output->AllCCsOff();
    output->AllNotesOff();
    const auto sends = Recording(*output).GetSends();
    ASSERT_EQ(sends.size(), 3u);
    EXPECT_EQ(output->NameOf(sends[0].buffer), "allNotesOffBuffer");
    EXPECT_EQ(output->NameOf(sends[1].buffer), "allCCsOffBuffer");
    // 16 channels × 2 messages on each of the 3 ports, the same every time.
    EXPECT_EQ(sends[0].events.size(), 96u);
    EXPECT_EQ(sends[1].events.size(), 48u);
    EXPECT_EQ(sends[2].events, sends[0].events);
}

struct InvalidEventCase {
    const char* operation;
    std::function<void(MidiOutput&)> send;
};

class MidiOutputInvalidEventTest : public MidiOutputTest,
                                   public ::testing::WithParamInterface<InvalidEventCase> {};

TEST_P(MidiOutputInvalidEventTest, IsReportedOnTheConsoleAndSwallowed)
{
    Recording(*output).throwInvalidVoiceEvent = true;
    ::testing::internal::CaptureStdout();
    EXPECT_NO_THROW(GetParam().send(*output));
    const std::string console = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(console, std::string("InvalidVoiceEvent ") + GetParam().operation + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Sends, MidiOutputInvalidEventTest,
    ::testing::Values(
        InvalidEventCase{"MidiOutput::AllNotesOff", [](MidiOutput& o) { o.AllNotesOff(); }},
        InvalidEventCase{"MidiOutput::AllCCsOff", [](MidiOutput& o) { o.AllCCsOff(); }},
        InvalidEventCase{"MidiOutput::InjectSingleEvent", [](MidiOutput& o) { o.SetTrackVolume(1, 2); }},
        InvalidEventCase{"MidiOutput::SetAllTracksCc", [](MidiOutput& o) { o.SetAllTracksPan({{1, 2}}); }},
        InvalidEventCase{"MidiOutput::SetAllTracksProgramId",
                         [](MidiOutput& o) { o.SetAllTracksProgramId({{1, 2}}); }}),
    [](const auto& info) {
        std::string name = info.param.operation;
        return name.substr(name.find("::") + 2);
    });

TEST_F(MidiOutputTest, TimeCodeCallbackFailuresAreLoggedNotPassedOn)
{
    ClearBrixLogRecords();
    output->SetTimeCodeCallback([](double, double, double) { throw std::runtime_error("time code broke"); });
    EXPECT_NO_THROW(output->DoTimeCodeCallback(1.0, 2.0, 3.0));
    output->SetTimeCodeCallback(nullptr);
    EXPECT_NO_THROW(output->DoTimeCodeCallback(1.0, 2.0, 3.0));
    const auto records = GetBrixLogRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].message, "time code broke");
}

TEST(TempoTable, HoldsTheMostRecentTicksOnly)
{
    TempoTable table;
    constexpr unsigned int kClocks = 100000;
    for (unsigned int clock = 0; clock < kClocks; ++clock) {
        table.SetBpmAtTickIndex(clock * 20, 100.0 + clock % 7);
    }
    EXPECT_EQ(table.GetSize(), TempoTable::kCapacity);
    const unsigned int last = kClocks - 1;
    EXPECT_EQ(table.GetBpmAtTickIndex(last * 20), 100.0 + last % 7);
    EXPECT_FALSE(table.GetBpmAtTickIndex(0).has_value());
    // A tick sent again (a repeat) answers with its latest tempo.
    table.SetBpmAtTickIndex(last * 20, 90.0);
    EXPECT_EQ(table.GetBpmAtTickIndex(last * 20), 90.0);
}

}  // namespace
