#include "MidiBuffer.h"
#include "TestMidiOutput.h"
#include "win32/MidiOutputWin32.h"
#include "win32/StandardMidiClockImpl.h"

#include <winmm_virtual/VirtualMidi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <tuple>
#include <vector>

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

// A song of kClocks clocks (one controller event each, its value the clock's number) that the platform
// output plays to its end; every stop report starts the song again, as a continue after a caesura
// does. The last buffer is answered inside the clock's step: all notes off, disarm, stop report.
class RestartingSong {
public:
    static constexpr unsigned int kClocks = 6;

    RestartingSong(unsigned int rounds, std::recursive_mutex& playerLock)
        : rounds_(rounds), playerLock_(playerLock), clock_(std::make_unique<StandardMidiClockImpl>())
    {
        output_ = std::make_unique<MidiOutputWin32>(
            1, [this](MidiBuffer& buffer) { Fill(buffer); }, [](unsigned int) {}, [this] { Stopped(); }, [] {},
            [](unsigned int) { return false; }, *clock_, &playerLock_);
        output_->Initialize(1);
        output_->CreateSynthOutput("");
    }
    ~RestartingSong()
    {
        {
            std::lock_guard player(playerLock_);
            output_->DisarmPlayback();
        }
        // The clock goes first: no firing may reach the output once it is destroyed.
        clock_.reset();
        output_.reset();
    }

    void Start()
    {
        std::lock_guard player(playerLock_);
        std::unique_lock lock(output_->GetMutex());
        {
            std::lock_guard state(mutex_);
            fills_ = 0;
        }
        output_->PrimeBuffers(lock);
        if (!output_->ArmPlayback()) {
            ADD_FAILURE() << "the primed output did not arm";
        }
        clock_->ArmPlayback(20, 24, 0.001, 0, 0);
        lock.unlock();
        clock_->ContinuousMode();
    }
    bool WaitForAllRounds()
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 60s, [&] { return stops_ >= rounds_; });
    }
    unsigned int Stops()
    {
        std::lock_guard lock(mutex_);
        return stops_;
    }

private:
    void Fill(MidiBuffer& buffer)
    {
        std::lock_guard bufferLock(buffer.GetMutex());
        unsigned int clock = 0;
        {
            std::lock_guard state(mutex_);
            clock = fills_++;
        }
        buffer.SetTickIndex(clock * 20);
        buffer.SetClockNumber(static_cast<int>(clock % 24));
        if (clock >= kClocks) {
            buffer.SetIsLastBuffer(true);
            return;
        }
        buffer.AddEventToBuffer(0, brix_midi::VoiceEvent(0, 0xB0, 7, static_cast<std::uint8_t>(clock)));
        buffer.DoneAddingEventsToBuffer();
        buffer.SetHasData(true);
    }
    void Stopped()
    {
        bool again = false;
        {
            std::lock_guard lock(mutex_);
            again = ++stops_ < rounds_;
        }
        changed_.notify_all();
        if (again) {
            Start();
        }
    }

    const unsigned int rounds_;
    std::recursive_mutex& playerLock_;
    std::mutex mutex_;
    std::condition_variable changed_;
    unsigned int fills_ = 0;
    unsigned int stops_ = 0;
    std::unique_ptr<StandardMidiClockImpl> clock_;
    std::unique_ptr<MidiOutputWin32> output_;
};

TEST(MidiOutputStopLoop, EverySongEndReachedInTheClockStepSendsItsClocksOnceThenAllNotesOff)
{
    winmm_virtual::VirtualMidiOutput device(u"Stop loop synth");
    ASSERT_EQ(device.GetDeviceId(), 0u);
    winmm_virtual::ResetTimePeriodCounts();
    constexpr unsigned int kRounds = 200;
    {
        std::recursive_mutex playerLock;
        RestartingSong song(kRounds, playerLock);
        song.Start();
        ASSERT_TRUE(song.WaitForAllRounds()) << song.Stops() << " of " << kRounds << " rounds";
    }
    // Each round: its clocks in order, each once, then all notes off on the 16 channels.
    using Message = std::tuple<int, int, int>;
    std::vector<Message> round;
    for (unsigned int clock = 0; clock < RestartingSong::kClocks; ++clock) {
        round.emplace_back(0xB0, 7, clock);
    }
    for (int channel = 0; channel < 16; ++channel) {
        round.emplace_back(0xB0 | channel, 123, 0);
        round.emplace_back(0xB0 | channel, 121, 0);
    }
    std::vector<Message> expected;
    for (unsigned int i = 0; i < kRounds; ++i) {
        expected.insert(expected.end(), round.begin(), round.end());
    }
    std::vector<Message> received;
    for (const auto& event : device.GetEvents()) {
        received.emplace_back(event.status, event.data1, event.data2);
    }
    EXPECT_EQ(received.size(), expected.size());
    EXPECT_TRUE(received == expected) << "the rounds' messages differ";
    const auto counts = winmm_virtual::GetTimePeriodCounts();
    EXPECT_EQ(counts.begin, counts.end);
    EXPECT_GE(counts.begin, kRounds);
}

}  // namespace
