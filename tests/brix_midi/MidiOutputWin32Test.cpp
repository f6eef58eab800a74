#include "StandardMidiClock.h"
#include "TarnwickMidiStream.h"
#include "TestMidiBuffer.h"
#include "win32/MidiBufferWin32.h"
#include "win32/MidiOutputWin32.h"

#include <brix_core/BrixLog.h>
#include <brix_core/GuiDispatcher.h>
#include <brix_core/ShowFolder.h>
#include <winmm_virtual/VirtualMidi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Message = std::tuple<int, int, int>;
using Clock = std::chrono::steady_clock;

// A clock that never fires by itself: the test steps it (DoMidiClockCallback), or fires it as its
// timer would (FireChain, with the arming generation its last start began).
class SteppedClock : public StandardMidiClock {
public:
    bool FireChain(std::uint64_t armGeneration) { return AdvanceClock(armGeneration); }
    unsigned int Tick() const { return GetClockState().GetTickIndex(); }
    std::uint64_t chain = 0;

protected:
    void SetClockTimer(double) override {}
    void StartClock() override { chain = GetArmGeneration(); }
};

// Feeds a song's stream into the ring one MIDI clock per buffer: 20 ticks at 480 per quarter note,
// 24 clocks per click, the buffer at or after the last tick marked last.
class SongFeeder {
public:
    SongFeeder(const brix_midi::SongData& song, unsigned int ticksPerClock)
        : stream_(song), ticksPerClock_(ticksPerClock), lastTick_(song.GetTimeline().GetLastTickIndex())
    {
    }

    // Takes the buffer's lock before its own, as priming (which holds the ring's locks) does.
    void Fill(MidiBuffer& buffer)
    {
        std::lock_guard bufferLock(buffer.GetMutex());
        std::lock_guard lock(mutex_);
        const unsigned int tick = clock_ * ticksPerClock_;
        buffer.SetTickIndex(tick);
        buffer.SetClockNumber(static_cast<int>(clock_ % 24));
        ++clock_;
        if (tick >= lastTick_) {
            buffer.SetIsLastBuffer(true);
            return;
        }
        if (tick == 0) {
            stream_.EnqueueInitialEvents(tick + ticksPerClock_, 0, buffer);
        } else {
            stream_.EnqueueEvents(tick + ticksPerClock_, 0, buffer, false);
        }
        buffer.SetHasData(true);
    }

    // What the device must receive for the song's clocks [0, clocks): each clock's lanes in port
    // order, lanes from 1 on forced to channel 16.
    std::vector<Message> Expected(unsigned int clocks, unsigned char portCount)
    {
        std::vector<Message> expected;
        for (unsigned int clock = 0; clock < clocks; ++clock) {
            VectorMidiBuffer buffer(portCount);
            Fill(buffer);
            if (buffer.GetIsLastBuffer()) {
                break;
            }
            for (unsigned char port = 0; port < portCount; ++port) {
                for (const auto& event : buffer.ports[port]) {
                    const int status = port == 0 ? event.message.status : (event.message.status | 0x0F);
                    expected.emplace_back(status, event.message.data1, event.message.data2);
                }
            }
        }
        return expected;
    }

private:
    std::mutex mutex_;
    TarnwickMidiStream stream_;
    unsigned int ticksPerClock_;
    unsigned int lastTick_;
    unsigned int clock_ = 0;
};

// Every callback the output makes, recorded for the test.
struct Reports {
    std::mutex mutex;
    std::condition_variable changed;
    int stopped = 0;
    std::vector<std::pair<unsigned int, Clock::time_point>> downbeats;

    template <class Predicate>
    bool WaitFor(Predicate predicate)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 10s, predicate);
    }
};

// The song with every second track moved to port 1, so both lanes of the output carry notes.
std::shared_ptr<const brix_midi::SongData> OnTwoPorts(const brix_midi::SongData& song)
{
    auto moved = std::make_shared<brix_midi::SongData>();
    moved->SetSongNumber(song.GetSongNumber());
    moved->SetSongName(song.GetSongName());
    moved->SetResolution(song.GetResolution());
    moved->SetTimeline(song.GetTimeline());
    bool second = false;
    for (const auto& [id, track] : song.GetVoiceData()) {
        const auto newId = static_cast<unsigned short>(second ? (id | 0x10) : id);
        moved->SetVoiceTrack(std::make_shared<brix_midi::VoiceTrack>(newId, track->GetTrackName(), track->GetEvents(),
                                                                     track->GetDefaultProgramChange(),
                                                                     track->GetNoteRange()));
        second = !second;
    }
    return moved;
}

// The demo show's first song played through a two-port output on a virtual device 0.
class DemoSongPlayback : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(device.GetDeviceId(), 0u);
        const auto loaded = brix_midi::LoadShowFolder(BRIX_DEMO_SHOW_DIR);
        song = OnTwoPorts(*loaded.show.GetSongs().begin()->second);
        ASSERT_EQ(song->GetResolution(), 480);
        ClearBrixLogRecords();
    }
    void TearDown() override
    {
        device.WithholdDone(false);
        winmm_virtual::ClearFailures();
    }

    void Build(MidiOutput::CheckCaesuraCallback checkCaesura = [](unsigned int) { return false; },
               MidiOutput::ClockIsActiveCallback clockIsActive = [] {})
    {
        feeder = std::make_unique<SongFeeder>(*song, 20);
        output = std::make_unique<MidiOutputWin32>(
            portCount, [this](MidiBuffer& buffer) { feeder->Fill(buffer); },
            [this](unsigned int tick) {
                std::lock_guard lock(reports.mutex);
                reports.downbeats.emplace_back(tick, Clock::now());
                reports.changed.notify_all();
            },
            [this] {
                std::lock_guard lock(reports.mutex);
                ++reports.stopped;
                reports.changed.notify_all();
            },
            std::move(clockIsActive), std::move(checkCaesura), clock, &playerLock);
        output->Initialize(portCount);
        output->CreateSynthOutput("ignored");
    }

    void Play()
    {
        std::unique_lock lock(output->GetMutex());
        output->PrimeBuffers(lock);
        ASSERT_TRUE(output->ArmPlayback());
    }

    // Steps the clock until the output stops (or a bound is reached); returns the steps taken.
    int StepToStop(int maxSteps = 100000)
    {
        int steps = 0;
        while (output->PlaybackIsActive() && steps < maxSteps) {
            clock.DoMidiClockCallback(120.0);
            ++steps;
        }
        return steps;
    }

    std::vector<Message> Received()
    {
        std::vector<Message> messages;
        for (const auto& event : device.GetEvents()) {
            messages.emplace_back(event.status, event.data1, event.data2);
        }
        return messages;
    }

    // The all-notes-off buffer as the device receives it.
    std::vector<Message> AllNotesOff() const
    {
        std::vector<Message> messages;
        for (unsigned char port = 0; port < portCount; ++port) {
            for (int channel = 0; channel < 16; ++channel) {
                const int status = 0xB0 | (port == 0 ? channel : 0x0F);
                messages.emplace_back(status, 123, 0);
                messages.emplace_back(status, 121, 0);
            }
        }
        return messages;
    }

    winmm_virtual::VirtualMidiOutput device{u"Demo Synth"};
    std::shared_ptr<const brix_midi::SongData> song;
    unsigned char portCount = 2;
    SteppedClock clock;
    std::recursive_mutex playerLock;
    Reports reports;
    std::unique_ptr<SongFeeder> feeder;
    std::unique_ptr<MidiOutputWin32> output;
};

TEST_F(DemoSongPlayback, EverySongEventArrivesInOrderThenAllNotesOffAndOneStop)
{
    Build();
    Play();
    StepToStop();
    ASSERT_TRUE(reports.WaitFor([&] { return reports.stopped >= 1; }));

    std::vector<Message> expected = SongFeeder(*song, 20).Expected(100000, portCount);
    ASSERT_GT(expected.size(), 100u);
    const std::vector<Message> notesOff = AllNotesOff();
    expected.insert(expected.end(), notesOff.begin(), notesOff.end());
    ASSERT_TRUE(device.WaitForEventCount(expected.size(), 5s));
    EXPECT_EQ(Received(), expected);
    const auto noteOns = [&](auto predicate) {
        return std::count_if(expected.begin(), expected.end(), [&](const Message& m) {
            return (std::get<0>(m) & 0xF0) == 0x90 && predicate(std::get<0>(m) & 0x0F);
        });
    };
    EXPECT_GT(noteOns([](int channel) { return channel == 15; }), 0) << "lane 1 plays on channel 16";
    EXPECT_GT(noteOns([](int channel) { return channel != 15; }), 0) << "lane 0 keeps the song's channels";

    // Further clocks send nothing and report nothing.
    for (int i = 0; i < 5; ++i) {
        clock.DoMidiClockCallback(120.0);
    }
    output.reset();
    EXPECT_EQ(reports.stopped, 1);
    EXPECT_EQ(device.GetEvents().size(), expected.size());
    EXPECT_TRUE(GetBrixLogRecords().empty());
}

TEST_F(DemoSongPlayback, WithheldBufferIsQuarantinedAndPlaybackGoesOn)
{
    Build();
    Play();
    // Step until a buffer with events on lane 0 is next, then let the device keep it.
    MidiBufferWin32* withheldBuffer = nullptr;
    for (int step = 0; step < 1000 && withheldBuffer == nullptr; ++step) {
        auto& next = static_cast<MidiBufferWin32&>(output->GetPlayBuffer());
        if (next.WaitUntilReadyForOutput() && next.GetPortEventCount(0) > 0 && step > 0) {
            withheldBuffer = &next;
        } else {
            clock.DoMidiClockCallback(120.0);
        }
    }
    ASSERT_NE(withheldBuffer, nullptr);
    DataBuffer* withheld = &withheldBuffer->GetDataBuffer(0);
    device.WithholdDone(true);
    clock.DoMidiClockCallback(120.0);  // waits 3 seconds, then quarantines
    EXPECT_EQ(withheldBuffer->GetQuarantinedDataBufferCount(), 1u);
    device.WithholdDone(false);
    ASSERT_TRUE(withheld->WaitForMidiStreamOutDone(2));

    StepToStop();
    ASSERT_TRUE(reports.WaitFor([&] { return reports.stopped >= 1; }));
    std::vector<Message> expected = SongFeeder(*song, 20).Expected(100000, portCount);
    const std::vector<Message> notesOff = AllNotesOff();
    expected.insert(expected.end(), notesOff.begin(), notesOff.end());
    ASSERT_TRUE(device.WaitForEventCount(expected.size(), 5s));
    EXPECT_EQ(Received(), expected);
    EXPECT_EQ(withheldBuffer->GetQuarantinedDataBufferCount(), 0u) << "the disarm at the end cleans it up";
}

TEST_F(DemoSongPlayback, RefusedStreamOutLosesOneLaneOfOneClockOnly)
{
    Build();
    Play();
    clock.DoMidiClockCallback(120.0);
    winmm_virtual::FailNextCall(winmm_virtual::Call::midiStreamOut, MMSYSERR_NOMEM);
    StepToStop();
    ASSERT_TRUE(reports.WaitFor([&] { return reports.stopped >= 1; }));
    const auto records = GetBrixLogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_NE(records[0].message.find("calling midiStreamOut caused error 7"), std::string::npos);
    // The play index moved on: the song reached its end instead of repeating the failed buffer.
    const std::vector<Message> received = Received();
    const std::vector<Message> notesOff = AllNotesOff();
    ASSERT_GE(received.size(), notesOff.size());
    EXPECT_TRUE(std::equal(notesOff.begin(), notesOff.end(), received.end() - static_cast<long>(notesOff.size())));
}

TEST_F(DemoSongPlayback, CaesuraStopsAfterItsTickWasSent)
{
    Build([](unsigned int tick) { return tick == 960; });
    Play();
    const int steps = StepToStop();
    EXPECT_EQ(steps, 960 / 20 + 1);
    ASSERT_TRUE(reports.WaitFor([&] { return reports.stopped >= 1; }));
    const std::vector<Message> expected = SongFeeder(*song, 20).Expected(960 / 20 + 1, portCount);
    ASSERT_TRUE(device.WaitForEventCount(expected.size(), 5s));
    EXPECT_EQ(Received(), expected);
}

TEST_F(DemoSongPlayback, ClickTicksReachTheGuiAfterTheDelay)
{
    Build();
    Play();
    std::map<unsigned int, Clock::time_point> sentAt;
    for (unsigned int step = 0; step < 2 * 24 + 1; ++step) {
        sentAt[step * 20] = Clock::now();
        clock.DoMidiClockCallback(120.0);
    }
    ASSERT_TRUE(reports.WaitFor([&] { return reports.downbeats.size() >= 3; }));
    std::lock_guard lock(reports.mutex);
    ASSERT_EQ(reports.downbeats.size(), 3u);
    const std::vector<unsigned int> ticks = {0, 480, 960};
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_EQ(reports.downbeats[i].first, ticks[i]);
        EXPECT_GE(reports.downbeats[i].second - sentAt[ticks[i]], 220ms) << ticks[i];
    }
}

TEST_F(DemoSongPlayback, DisarmDropsGuiTicksNotYetReported)
{
    Build();
    Play();
    clock.DoMidiClockCallback(120.0);  // tick 0 starts a click: queued for the GUI
    output->DisarmPlayback();
    EXPECT_FALSE(output->PlaybackIsActive());
    // Playing on queues later click ticks; the GUI reports in queue order, so tick 0 would come first.
    Play();
    for (int i = 0; i < 30; ++i) {
        clock.DoMidiClockCallback(120.0);
    }
    ASSERT_TRUE(reports.WaitFor([&] { return !reports.downbeats.empty(); }));
    std::lock_guard lock(reports.mutex);
    EXPECT_NE(reports.downbeats.front().first, 0u);
}

TEST_F(DemoSongPlayback, EmptyClockIsActiveCallbackIsLoggedAndTheClockGoesOn)
{
    Build([](unsigned int) { return false; }, nullptr);
    Play();
    EXPECT_NO_THROW(clock.DoMidiClockCallback(120.0));
    EXPECT_NO_THROW(clock.DoMidiClockCallback(120.0));
    EXPECT_EQ(GetBrixLogRecords().size(), 2u);
    EXPECT_TRUE(device.GetEvents().empty());
}

TEST_F(DemoSongPlayback, FiringThatWaitedForThePlayerLockWhileThePlayerReArmedSendsNothing)
{
    std::atomic<int> clockSteps{0};
    Build([](unsigned int) { return false; }, [&] { ++clockSteps; });
    Play();
    clock.ArmPlayback(20, 24, 0.02, 0, 0);
    clock.ContinuousMode();
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(clock.FireChain(clock.chain));
    }
    // Firings announce themselves before the step takes the player lock.
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    clock.SetMidiClockCallback([&](double bpm) {
        {
            std::lock_guard lock(mutex);
            entered = true;
        }
        changed.notify_all();
        output->ProcessMidiClock(bpm);
    });

    const std::uint64_t oldChain = clock.chain;
    std::future<bool> stale;  // waited for after the player lock is released, also on failure
    std::unique_lock player(playerLock);
    stale = std::async(std::launch::async, [&] { return clock.FireChain(oldChain); });
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 5s, [&] { return entered; }));
    }
    // The player's seek: disarm, prime a new ring, arm the clock at its first tick and start it.
    output->DisarmPlayback();
    Play();
    const unsigned int newTick = output->GetPlayBuffer().GetTickIndex();
    clock.ArmPlayback(20, 24, 0.02, newTick, 0);
    clock.ContinuousMode();
    const std::size_t eventsBefore = device.GetEvents().size();
    const unsigned int outputTick = output->GetTickIndex();
    const int stepsBefore = clockSteps.load();
    player.unlock();

    EXPECT_FALSE(stale.get()) << "the old chain went on";
    EXPECT_EQ(device.GetEvents().size(), eventsBefore) << "the old firing sent the new ring's buffer";
    EXPECT_EQ(output->GetPlayBufferIndex(), 0);
    EXPECT_EQ(output->GetTickIndex(), outputTick);
    EXPECT_EQ(clockSteps.load(), stepsBefore);
    EXPECT_EQ(clock.Tick(), newTick) << "the old firing stepped the new arming";

    // The new chain sends the new ring from its first buffer on.
    ASSERT_TRUE(clock.FireChain(clock.chain));
    EXPECT_EQ(output->GetTickIndex(), newTick);
    EXPECT_EQ(output->GetPlayBufferIndex(), 1);
    EXPECT_EQ(clock.Tick(), newTick + 20);
    output->DisarmPlayback();
}

TEST(MidiOutputWin32, GuiDelayMovesInHundredthsWithinZeroToAQuarterSecond)
{
    SteppedClock clock;
    std::recursive_mutex playerLock;
    MidiOutputWin32 output(1, nullptr, nullptr, nullptr, nullptr, nullptr, clock, &playerLock);
    std::vector<std::int64_t> reported;
    notify::guiDispatcher.AddListener(&reported, [&](const notify::GuiEvent& event) {
        if (event.kind == notify::GuiEventKind::GuiDelay) {
            reported.push_back(event.value);
        }
    });
    enum Step { Up, Down };
    const std::vector<std::pair<Step, std::int64_t>> steps = {
        {Up, 230}, {Up, 240}, {Up, 250}, {Up, 250}, {Down, 240}, {Down, 230},
    };
    for (const auto& [step, milliseconds] : steps) {
        step == Up ? output.IncreaseGuiDelay() : output.DecreaseGuiDelay();
        ASSERT_FALSE(reported.empty());
        EXPECT_EQ(reported.back(), milliseconds);
    }
    for (int i = 0; i < 30; ++i) {
        output.DecreaseGuiDelay();
    }
    EXPECT_EQ(reported.back(), 0);
    notify::guiDispatcher.RemoveListenersForTarget(&reported);
}

TEST(MidiOutputWin32, WithoutASynthTheRingTurnsAndNothingReachesADevice)
{
    winmm_virtual::VirtualMidiOutput device(u"Unused");
    SteppedClock clock;
    std::recursive_mutex playerLock;
    unsigned int nextTick = 0;
    MidiOutputWin32 output(
        1,
        [&](MidiBuffer& buffer) {
            buffer.SetTickIndex(nextTick);
            nextTick += 20;
            buffer.AddEventToBuffer(0, brix_midi::VoiceEvent(0, 0x90, 60, 100));
            buffer.SetHasData(true);
        },
        [](unsigned int) {}, [] {}, [] {}, [](unsigned int) { return false; }, clock, &playerLock);
    output.Initialize(1);
    {
        std::unique_lock lock(output.GetMutex());
        output.PrimeBuffers(lock);
    }
    ASSERT_TRUE(output.ArmPlayback());
    for (int i = 0; i < 8; ++i) {
        clock.DoMidiClockCallback(120.0);
    }
    EXPECT_EQ(output.GetTickIndex(), 7 * 20u);
    EXPECT_TRUE(device.GetEvents().empty());
}

}  // namespace
