#include "AsyncStoppedThread.h"

#include <brix_core/BrixLog.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>

namespace {

using namespace std::chrono_literals;

TEST(AsyncStoppedThread, AReportThatThrowsIsLoggedAndLaterStopsAreStillReported)
{
    ClearBrixLogRecords();
    std::mutex mutex;
    std::condition_variable reported;
    int calls = 0;
    AsyncStoppedThread thread([&] {
        int call = 0;
        {
            std::lock_guard lock(mutex);
            call = ++calls;
        }
        reported.notify_all();
        if (call == 1) {
            throw std::runtime_error("listener failed");
        }
    });
    thread.Start();
    for (int i = 0; i < 3; ++i) {
        thread.Signal();
        std::unique_lock lock(mutex);
        ASSERT_TRUE(reported.wait_for(lock, 5s, [&] { return calls == i + 1; })) << "signal " << i;
    }
    thread.ExitAndJoin();

    const auto records = GetBrixLogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].message, "listener failed");
}

}  // namespace
