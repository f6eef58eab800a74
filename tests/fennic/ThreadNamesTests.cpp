#include "fennic/ThreadNames.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace {

std::string OsNameOfCurrentThread() {
    char name[64] = {};
    pthread_getname_np(pthread_self(), name, sizeof name);
    return name;
}

}  // namespace

TEST(ThreadNames, RegistryKeepsFullNameAndOsGetsFirst15Characters) {
    const std::string longName = "MidiOutput::AsyncStoppedThread";
    std::string registered;
    std::string os;
    std::thread thread([&] {
        fennic::threadNames.SetNameOfCurrentThread(longName);
        registered = fennic::threadNames.GetNameOfCurrentThread();
        os = OsNameOfCurrentThread();
    });
    thread.join();
    EXPECT_EQ(registered, longName);
    EXPECT_EQ(os, "MidiOutput::Asy");
}

TEST(ThreadNames, OtherThreadsSeeTheNameWhileTheThreadRunsAndNotAfterItEnds) {
    std::mutex mutex;
    std::condition_variable changed;
    bool named = false;
    bool release = false;
    std::thread thread([&] {
        fennic::threadNames.SetNameOfCurrentThread("run_load_streams");
        std::unique_lock<std::mutex> lock(mutex);
        named = true;
        changed.notify_all();
        changed.wait(lock, [&] { return release; });
    });
    const std::thread::id id = thread.get_id();
    {
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(10), [&] { return named; }));
        EXPECT_EQ(fennic::threadNames.GetNameOfThread(id), "run_load_streams");
        release = true;
        changed.notify_all();
    }
    thread.join();
    EXPECT_EQ(fennic::threadNames.GetNameOfThread(id), "");
}

TEST(ThreadNames, ShortNameReachesTheOsUnchanged) {
    std::string registered;
    std::string os;
    std::thread thread([&] {
        fennic::threadNames.SetNameOfCurrentThread("midi_queue_run");
        registered = fennic::threadNames.GetNameOfCurrentThread();
        os = OsNameOfCurrentThread();
    });
    thread.join();
    EXPECT_EQ(registered, "midi_queue_run");
    EXPECT_EQ(os, "midi_queue_run");
}

TEST(ThreadNames, UnregisteredThreadReportsItsOsName) {
    std::string name;
    std::thread thread([&] {
        pthread_setname_np(pthread_self(), "raw_os_name");
        name = fennic::threadNames.GetNameOfCurrentThread();
    });
    thread.join();
    EXPECT_EQ(name, "raw_os_name");
}
