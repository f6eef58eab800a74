#include "Signal.h"

#include <brix_core/EventObserver.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace {

using notify::EngineEvent;
using Received = std::tuple<int, int, std::string, void*>;

// Collects what the callback receives.
struct Recorder {
    std::mutex mutex;
    std::vector<Received> received;

    notify::EventObserver::CallbackFunc Callback() {
        return [this](int kind, int value, const char* text, void* context) {
            std::lock_guard lock(mutex);
            received.emplace_back(kind, value, text, context);
        };
    }
};

// The main window's registration: the order and the kind numbers it uses.
void RegisterLikeTheMainWindow(notify::EventObserver& observer) {
    observer.RegisterPageNum(12);
    observer.RegisterPlayhead(13);
    observer.RegisterPlaybackStarted(0);
    observer.RegisterPlaybackStopped(1);
    observer.RegisterPlaybackPaused(2);
    observer.RegisterPlaybackFading(3);
    observer.RegisterKey(5);
    observer.RegisterTempo(6);
    observer.RegisterMeter(7);
    observer.RegisterTransposition(8);
    observer.RegisterTempoScale(9);
    observer.RegisterVampOn(20);
    observer.RegisterVampOff(21);
    observer.RegisterBarBeat(10);
    observer.RegisterSongTitle(14);
    observer.RegisterSongLoaded(15);
    observer.RegisterStatusFlowControl(4);
    observer.RegisterMidiNotification(18);
    observer.RegisterLearnedMIDICommand(16);
    observer.RegisterMIDICommandCanceled(17);
    observer.RegisterProgramChange(19);
    observer.RegisterStatusVolume(22);
    observer.RegisterMarker(11);
}

TEST(EventObserver, EveryRegisteredEventReachesTheCallbackWithItsKindValueTextAndContext) {
    Recorder recorder;
    int context = 0;
    notify::EventObserver observer;
    observer.SetCallbackFunc(recorder.Callback(), &context);
    RegisterLikeTheMainWindow(observer);

    struct Case {
        EngineEvent event;
        int kind;
    };
    const Case cases[] = {
        {EngineEvent::PlaybackStarted, 0},   {EngineEvent::PlaybackStopped, 1},
        {EngineEvent::PlaybackPaused, 2},    {EngineEvent::PlaybackFading, 3},
        {EngineEvent::StatusFlowControl, 4}, {EngineEvent::Key, 5},
        {EngineEvent::Tempo, 6},             {EngineEvent::Meter, 7},
        {EngineEvent::Transposition, 8},     {EngineEvent::TempoScale, 9},
        {EngineEvent::BarBeat, 10},          {EngineEvent::Marker, 11},
        {EngineEvent::PageNum, 12},          {EngineEvent::Playhead, 13},
        {EngineEvent::SongTitle, 14},        {EngineEvent::SongLoaded, 15},
        {EngineEvent::LearnedMIDICommand, 16}, {EngineEvent::MIDICommandCanceled, 17},
        {EngineEvent::MidiNotification, 18}, {EngineEvent::ProgramChange, 19},
        {EngineEvent::VampOn, 20},           {EngineEvent::VampOff, 21},
        {EngineEvent::StatusVolume, 22},
    };
    static_assert(std::size(cases) == notify::kEngineEventCount);
    std::vector<Received> expected;
    for (const Case& c : cases) {
        const std::string text = "text " + std::to_string(c.kind);
        notify::SendEngineEvent(c.event, 1000 + c.kind, text);
        expected.emplace_back(c.kind, 1000 + c.kind, text, &context);
    }
    EXPECT_EQ(recorder.received, expected);
}

TEST(EventObserver, OnlyRegisteredEventsArriveAndRegisteringAgainReplacesTheKind) {
    Recorder first;
    Recorder second;
    notify::EventObserver a;
    notify::EventObserver b;
    a.SetCallbackFunc(first.Callback(), nullptr);
    b.SetCallbackFunc(second.Callback(), nullptr);
    a.RegisterPlayhead(13);
    b.RegisterSongLoaded(15);
    notify::SendEngineEvent(EngineEvent::Playhead, 960);
    notify::SendEngineEvent(EngineEvent::SongLoaded, 0, "2A");
    notify::SendEngineEvent(EngineEvent::Tempo, 0, "120");
    a.RegisterPlayhead(99);
    notify::SendEngineEvent(EngineEvent::Playhead, 1920);
    EXPECT_EQ(first.received, (std::vector<Received>{{13, 960, "", nullptr}, {99, 1920, "", nullptr}}));
    EXPECT_EQ(second.received, (std::vector<Received>{{15, 0, "2A", nullptr}}));
}

TEST(EventObserver, WithoutACallbackEventsAreDropped) {
    notify::EventObserver observer;
    observer.RegisterPlayhead(13);
    notify::SendEngineEvent(EngineEvent::Playhead, 1);  // nothing to call
    Recorder recorder;
    observer.SetCallbackFunc(recorder.Callback(), nullptr);
    notify::SendEngineEvent(EngineEvent::Playhead, 2);
    EXPECT_EQ(recorder.received, (std::vector<Received>{{13, 2, "", nullptr}}));
}

TEST(EventObserver, ACallbackMayChangeItsObserverAndDestroyIt) {
    auto observer = std::make_unique<notify::EventObserver>();
    std::vector<int> kinds;
    observer->SetCallbackFunc(
        [&](int kind, int, const char*, void*) {
            kinds.push_back(kind);
            if (kind == 13) {
                observer->RegisterPlayhead(14);  // re-entrant: the lock is not held
            } else {
                observer.reset();  // destroyed from its own callback: not waited for
            }
        },
        nullptr);
    observer->RegisterPlayhead(13);
    notify::SendEngineEvent(EngineEvent::Playhead);
    notify::SendEngineEvent(EngineEvent::Playhead);
    notify::SendEngineEvent(EngineEvent::Playhead);
    EXPECT_EQ(kinds, (std::vector<int>{13, 14}));
    EXPECT_EQ(observer, nullptr);
}

// The observer's owner destroys it while an engine thread is inside its callback: the destructor
// waits for the callback, and the callback never sees its observer's state destroyed.
TEST(EventObserver, AnObserverDestroyedDuringADispatchWaitsForTheCallback) {
    struct Owner {
        std::atomic<bool> alive{true};
        notify::EventObserver observer;  // destroyed before alive
    };
    auto owner = std::make_unique<Owner>();
    Signal inCallback;
    Signal release;
    Signal destroyed;
    std::atomic<bool> ownerAliveAtReturn{false};
    Owner* raw = owner.get();
    owner->observer.SetCallbackFunc(
        [&, raw](int, int, const char*, void*) {
            inCallback.Raise();
            EXPECT_TRUE(release.WaitFor(std::chrono::seconds(30)));
            ownerAliveAtReturn = raw->alive.load() && !destroyed.IsRaised();
        },
        nullptr);
    owner->observer.RegisterPlayhead(13);

    std::thread engine([] { notify::SendEngineEvent(EngineEvent::Playhead, 480); });
    ASSERT_TRUE(inCallback.WaitFor(std::chrono::seconds(30)));
    std::thread gui([&] {
        owner.reset();
        destroyed.Raise();
    });
    // While the callback runs, the destructor must not return.
    EXPECT_FALSE(destroyed.WaitFor(std::chrono::milliseconds(100)));
    release.Raise();
    engine.join();
    gui.join();
    EXPECT_TRUE(ownerAliveAtReturn);
    EXPECT_TRUE(destroyed.IsRaised());
}

// Polls an atomic count until it reaches target; false after the timeout.
bool WaitForCount(const std::atomic<std::size_t>& count, std::size_t target) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (count < target) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

// Engine threads send without pause while observers are made, registered and destroyed: no callback
// reaches an observer once its destructor has returned (ThreadSanitizer and AddressSanitizer also
// check every access).
TEST(EventObserver, NoCallbackArrivesAfterTheDestructorReturnsWhileEngineThreadsSend) {
    std::atomic<std::size_t> controlCalls{0};
    notify::EventObserver control;
    control.SetCallbackFunc([&](int, int, const char*, void*) { ++controlCalls; }, nullptr);
    control.RegisterBarBeat(10);

    // Engine threads sending until the end of the test (also when an assertion ends it early).
    struct Engines {
        std::atomic<bool> stop{false};
        std::vector<std::thread> threads;
        Engines() {
            for (int t = 0; t < 3; ++t) {
                threads.emplace_back([this, t] {
                    while (!stop) {
                        notify::SendEngineEvent(t == 0 ? EngineEvent::Playhead : EngineEvent::BarBeat,
                                                t, "1:1");
                    }
                });
            }
        }
        ~Engines() {
            stop = true;
            for (std::thread& thread : threads) {
                thread.join();
            }
        }
    };
    auto engines = std::make_unique<Engines>();
    // Each round's counter outlives the round, so a stray late callback is counted, not a crash.
    std::vector<std::unique_ptr<std::atomic<std::size_t>>> counts;
    std::vector<std::size_t> atDestruction;
    for (int round = 0; round < 100; ++round) {
        counts.push_back(std::make_unique<std::atomic<std::size_t>>(0));
        auto observer = std::make_unique<notify::EventObserver>();
        observer->SetCallbackFunc(
            [counter = counts.back().get()](int, int, const char*, void*) { ++*counter; }, nullptr);
        observer->RegisterPlayhead(13);
        observer->RegisterBarBeat(10);
        // Let the engines reach the new observer.
        ASSERT_TRUE(WaitForCount(controlCalls, controlCalls + 2));
        observer.reset();
        atDestruction.push_back(counts.back()->load());
    }
    EXPECT_TRUE(WaitForCount(controlCalls, controlCalls + 100));  // more sends after the last round
    engines.reset();
    for (std::size_t round = 0; round < counts.size(); ++round) {
        EXPECT_EQ(counts[round]->load(), atDestruction[round]) << "round " << round;
    }
}

}  // namespace
