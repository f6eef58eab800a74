#include "MidiBuffer.h"
#include "TestMidiOutput.h"
#include "win32/StandardMidiClockImpl.h"

#include <winmm_virtual/VirtualMidi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

using namespace std::chrono_literals;

// An output whose per-clock step runs on the clock's firings, as the platform's does: under the player
// lock it waits for the play buffer, takes it out under the output and buffer locks, and moves on.
class ClockedOutput : public TestMidiOutput {
public:
    ClockedOutput(StandardMidiClock& clock, std::recursive_mutex& playerLock)
        : TestMidiOutput([this](MidiBuffer& buffer) { Fill(buffer); }, [](unsigned int) {}, [this] { Stopped(); },
                         [] {}, [](unsigned int) { return false; }, clock, &playerLock)
    {
        clock.SetMidiClockCallback([this](double) { ProcessMidiClock(); });
    }
    // The threads call into this class: they end before its members go.
    ~ClockedOutput() override { ExitThreads(); }

    bool WaitForSent(unsigned int count)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 2s, [&] { return sent_ >= count; });
    }
    bool WaitForStopped(unsigned int count)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return stopped_ >= count; });
    }
    unsigned int Sent()
    {
        std::lock_guard lock(mutex_);
        return sent_;
    }

private:
    void Fill(MidiBuffer& buffer)
    {
        std::lock_guard bufferLock(buffer.GetMutex());
        buffer.AddEventToBuffer(0, brix_midi::VoiceEvent(0, 0xB0, 7, 100));
        buffer.DoneAddingEventsToBuffer();
        buffer.SetHasData(true);
    }
    void Stopped()
    {
        {
            std::lock_guard lock(mutex_);
            ++stopped_;
        }
        changed_.notify_all();
    }
    void ProcessMidiClock()
    {
        std::lock_guard player(*GetPlayerLock());
        if (!PlaybackIsActive()) {
            return;
        }
        MidiBuffer& buffer = GetPlayBuffer();
        if (!buffer.WaitUntilReadyForOutput()) {
            return;
        }
        {
            std::unique_lock<std::recursive_mutex> output(GetMutex(), std::defer_lock);
            std::unique_lock<std::recursive_mutex> bufferLock(buffer.GetMutex(), std::defer_lock);
            std::lock(output, bufferLock);
            if (!PlaybackIsActive()) {
                return;
            }
            GetPorts().SendMidiBuffer(buffer);
            SetBpmAtTickIndex(120.0, buffer.GetTickIndex());
            buffer.SetHasData(false);
            IncrementPlayBufferIndex();
        }
        {
            std::lock_guard lock(mutex_);
            ++sent_;
        }
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    unsigned int sent_ = 0;
    unsigned int stopped_ = 0;
};

// The player's stop: prime, arm and start; let a few clocks go out; disarm and report the stop. Run
// under ThreadSanitizer, this shows no race, no lost signal and no hang.
TEST(MidiOutputStopLoop, ThousandArmDisarmAndStopRoundsLoseNothing)
{
    winmm_virtual::ResetTimePeriodCounts();
    constexpr unsigned int kRounds = 1000;
    {
        std::recursive_mutex playerLock;
        auto clockOwner = std::make_unique<StandardMidiClockImpl>();
        StandardMidiClockImpl& clock = *clockOwner;
        ClockedOutput output(clock, playerLock);
        output.Initialize(1);

        for (unsigned int round = 0; round < kRounds; ++round) {
            {
                std::lock_guard player(playerLock);
                std::unique_lock lock(output.GetMutex());
                output.PrimeBuffers(lock);
                ASSERT_TRUE(output.ArmPlayback()) << "round " << round;
                clock.ArmPlayback(20, 24, 0.001, 0, 0);
            }
            clock.ContinuousMode();
            // Vary how far the round gets: the disarm meets the queue thread filling, waiting or
            // parked, and the clock chain with or without a pending timer.
            ASSERT_TRUE(output.WaitForSent(output.Sent() + round % 3)) << "round " << round;
            {
                std::lock_guard player(playerLock);
                output.DisarmPlayback();
            }
            output.SignalAsyncStoppedCallback();
        }
        EXPECT_TRUE(output.WaitForStopped(kRounds));
        // The clock goes first: no firing may reach the output once it is destroyed.
        clockOwner.reset();
    }
    const auto counts = winmm_virtual::GetTimePeriodCounts();
    EXPECT_EQ(counts.begin, counts.end);
    EXPECT_GE(counts.begin, 1u);
}

}  // namespace
