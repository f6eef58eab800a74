#include "Signal.h"

#include <brix_core/CallbackDispatcher.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

TEST(CallbackDispatcher, NotifyCallsTheNamesCallbacksInOrderWithTheData) {
    notify::CallbackDispatcher dispatcher;
    int first = 0;
    int second = 0;
    std::vector<std::string> calls;
    dispatcher.AddCallback(&first, "songLoaded", [&](void* data) {
        calls.push_back("first " + std::to_string(*static_cast<int*>(data)));
    });
    dispatcher.AddCallback(&second, "songLoaded", [&](void* data) {
        calls.push_back("second " + std::to_string(*static_cast<int*>(data)));
    });
    dispatcher.AddCallback(&second, "statusPulse", [&](void*) { calls.push_back("pulse"); });

    int value = 7;
    dispatcher.Notify("songLoaded", &value);
    EXPECT_EQ(calls, (std::vector<std::string>{"first 7", "second 7"}));

    dispatcher.RemoveCallbacksForTarget(&first);
    calls.clear();
    dispatcher.Notify("songLoaded", &value);
    dispatcher.Notify("statusPulse", nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"second 7", "pulse"}));
}

TEST(CallbackDispatcher, NotifyFromInsideACallbackRunsTheInnerCallbacksFirst) {
    notify::CallbackDispatcher dispatcher;
    int outer = 0;
    int inner = 0;
    std::vector<std::string> calls;
    dispatcher.AddCallback(&outer, "outer", [&](void*) {
        calls.push_back("outer begins");
        dispatcher.Notify("inner", nullptr);
        calls.push_back("outer ends");
    });
    dispatcher.AddCallback(&inner, "inner", [&](void*) { calls.push_back("inner"); });

    dispatcher.Notify("outer", nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"outer begins", "inner", "outer ends"}));
}

TEST(CallbackDispatcher, TargetRemovedByAnEarlierCallbackOfTheSameDispatchIsSkipped) {
    notify::CallbackDispatcher dispatcher;
    int remover = 0;
    int removed = 0;
    int removedCalls = 0;
    dispatcher.AddCallback(&remover, "n", [&](void*) { dispatcher.RemoveCallbacksForTarget(&removed); });
    dispatcher.AddCallback(&removed, "n", [&](void*) { ++removedCalls; });

    dispatcher.Notify("n", nullptr);
    EXPECT_EQ(removedCalls, 0);
}

TEST(CallbackDispatcher, CallbackMayRemoveItsOwnTargetWithoutDeadlock) {
    notify::CallbackDispatcher dispatcher;
    int self = 0;
    int calls = 0;
    dispatcher.AddCallback(&self, "n", [&](void*) {
        ++calls;
        dispatcher.RemoveCallbacksForTarget(&self);
    });
    dispatcher.AddCallback(&self, "n", [&](void*) { ++calls; });

    dispatcher.Notify("n", nullptr);
    dispatcher.Notify("n", nullptr);
    EXPECT_EQ(calls, 1);
}

TEST(CallbackDispatcher, CallbackAddedDuringADispatchIsNotCalledByIt) {
    notify::CallbackDispatcher dispatcher;
    int adder = 0;
    int added = 0;
    int addedCalls = 0;
    dispatcher.AddCallback(&adder, "n", [&](void*) {
        dispatcher.AddCallback(&added, "n", [&](void*) { ++addedCalls; });
    });
    dispatcher.Notify("n", nullptr);
    EXPECT_EQ(addedCalls, 0);
    dispatcher.RemoveCallbacksForTarget(&adder);
    dispatcher.Notify("n", nullptr);
    EXPECT_EQ(addedCalls, 1);
}

TEST(CallbackDispatcher, ExceptionFromACallbackReachesTheNotifierAndLeavesTheHubUsable) {
    notify::CallbackDispatcher dispatcher;
    int thrower = 0;
    dispatcher.AddCallback(&thrower, "n", [](void*) { throw std::runtime_error("callback failed"); });
    EXPECT_THROW(dispatcher.Notify("n", nullptr), std::runtime_error);
    // The failed call no longer counts as running: removal returns at once.
    dispatcher.RemoveCallbacksForTarget(&thrower);
    EXPECT_NO_THROW(dispatcher.Notify("n", nullptr));
}

TEST(CallbackDispatcher, RemovalOnAnotherThreadWaitsUntilTheRunningCallbackReturns) {
    notify::CallbackDispatcher dispatcher;
    int target = 0;
    Signal entered;
    Signal release;
    Signal removed;
    std::atomic<int> probes{0};
    std::atomic<bool> removedBeforeCallbackReturned{false};
    dispatcher.AddCallback(&target, "block", [&](void*) {
        entered.Raise();
        release.WaitFor(10s);
        removedBeforeCallbackReturned = removed.IsRaised();
    });
    dispatcher.AddCallback(&target, "probe", [&](void*) { ++probes; });

    std::thread notifier([&] { dispatcher.Notify("block", nullptr); });
    ASSERT_TRUE(entered.WaitFor(10s));
    std::thread remover([&] {
        dispatcher.RemoveCallbacksForTarget(&target);
        removed.Raise();
    });
    // The remover drops the registrations and starts waiting under one hold of the lock, so once a
    // probe no longer arrives it is waiting for the blocked callback.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    bool registrationsGone = false;
    while (!registrationsGone && std::chrono::steady_clock::now() < deadline) {
        const int before = probes;
        dispatcher.Notify("probe", nullptr);
        registrationsGone = probes == before;
        std::this_thread::yield();
    }
    EXPECT_TRUE(registrationsGone);
    EXPECT_FALSE(removed.IsRaised());
    release.Raise();
    notifier.join();
    remover.join();
    EXPECT_FALSE(removedBeforeCallbackReturned);
    EXPECT_TRUE(removed.IsRaised());
}

TEST(CallbackDispatcher, ConcurrentNotifiesAddsAndRemovesReachEveryStayingTargetEveryTime) {
    notify::CallbackDispatcher dispatcher;
    constexpr int kNotifiers = 4;
    constexpr int kNotifies = 2000;
    constexpr int kChurners = 2;
    constexpr int kChurns = 500;

    int staying = 0;
    std::atomic<int> stayingCalls{0};
    dispatcher.AddCallback(&staying, "n", [&](void*) { ++stayingCalls; });

    // Targets that come and go; they live until the end of the test, so a late call is harmless
    // here, and the count shows nothing runs after removal returned.
    struct Churned {
        std::atomic<int> callsAfterRemoval{0};
        std::atomic<bool> removed{false};
    };
    std::vector<Churned> churned(kChurners);

    std::vector<std::thread> threads;
    for (int t = 0; t < kNotifiers; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kNotifies; ++i) {
                dispatcher.Notify("n", nullptr);
            }
        });
    }
    for (int t = 0; t < kChurners; ++t) {
        threads.emplace_back([&, t] {
            Churned& self = churned[t];
            for (int i = 0; i < kChurns; ++i) {
                self.removed = false;
                dispatcher.AddCallback(&self, "n", [&self](void*) {
                    if (self.removed) {
                        ++self.callsAfterRemoval;
                    }
                });
                dispatcher.RemoveCallbacksForTarget(&self);
                self.removed = true;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(stayingCalls, kNotifiers * kNotifies);
    for (const Churned& c : churned) {
        EXPECT_EQ(c.callsAfterRemoval, 0);
    }
}

}  // namespace
