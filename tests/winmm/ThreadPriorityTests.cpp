#include <windows.h>
#include <winmm_virtual/VirtualMidi.h>

#include <gtest/gtest.h>

#include <pthread.h>
#include <sched.h>
#include <thread>

namespace {

int CurrentPolicy()
{
    int policy = -1;
    sched_param param{};
    pthread_getschedparam(pthread_self(), &policy, &param);
    return policy;
}

// Each case runs on a thread of its own, so that no test thread keeps a
// real-time policy.
template <class Body>
void OnFreshThread(Body body)
{
    std::thread thread(body);
    thread.join();
}

TEST(ThreadPriorityTest, HighestGivesFifoOrFailsWithAccessDeniedLeavingThePolicy)
{
    OnFreshThread([] {
        const int before = CurrentPolicy();
        if (SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST)) {
            EXPECT_EQ(CurrentPolicy(), SCHED_FIFO);
            EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL));
            EXPECT_EQ(CurrentPolicy(), SCHED_OTHER);
        } else {
            EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
            EXPECT_EQ(CurrentPolicy(), before);
        }
    });
}

TEST(ThreadPriorityTest, RefusesOtherThreadsUnknownPrioritiesAndInjectedFailures)
{
    OnFreshThread([] {
        int other = 0;
        struct Case {
            const char* name;
            HANDLE thread;
            int priority;
            DWORD error;
        };
        const Case cases[] = {
            {"another handle", &other, THREAD_PRIORITY_HIGHEST, ERROR_INVALID_HANDLE},
            {"unknown priority", GetCurrentThread(), 7, ERROR_INVALID_PARAMETER},
        };
        for (const Case& c : cases) {
            EXPECT_FALSE(SetThreadPriority(c.thread, c.priority)) << c.name;
            EXPECT_EQ(GetLastError(), c.error) << c.name;
        }
        winmm_virtual::FailNextCall(winmm_virtual::Call::SetThreadPriority, ERROR_ACCESS_DENIED);
        EXPECT_FALSE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL));
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
        EXPECT_EQ(CurrentPolicy(), SCHED_OTHER);
    });
}

TEST(ThreadPriorityTest, LastErrorBelongsToTheCallingThread)
{
    OnFreshThread([] { EXPECT_FALSE(SetThreadPriority(GetCurrentThread(), 7)); });
    OnFreshThread([] { EXPECT_EQ(GetLastError(), ERROR_SUCCESS); });
}

}  // namespace
