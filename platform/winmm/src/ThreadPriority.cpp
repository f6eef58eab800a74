#include "ThreadPriority.h"

#include "Faults.h"

#include <cerrno>
#include <pthread.h>
#include <sched.h>

namespace winmm_impl {

int SetCurrentThreadPolicy(int policy, int priority)
{
    sched_param param{};
    param.sched_priority = priority;
    return pthread_setschedparam(pthread_self(), policy, &param);
}

}  // namespace winmm_impl

namespace {

const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2));

BOOL Fail(DWORD error)
{
    winmm_impl::SetLastErrorValue(error);
    return FALSE;
}

}  // namespace

HANDLE WINAPI GetCurrentThread()
{
    return kCurrentThread;
}

BOOL WINAPI SetThreadPriority(HANDLE hThread, int nPriority)
{
    if (auto failure = winmm_impl::TakeFailure(winmm_virtual::Call::SetThreadPriority)) {
        return Fail(*failure);
    }
    if (hThread != kCurrentThread) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    int result = 0;
    switch (nPriority) {
    case THREAD_PRIORITY_NORMAL:
        result = winmm_impl::SetCurrentThreadPolicy(SCHED_OTHER, 0);
        break;
    case THREAD_PRIORITY_HIGHEST:
        result = winmm_impl::SetCurrentThreadPolicy(SCHED_FIFO, winmm_impl::kHighestFifoPriority);
        break;
    default:
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (result == EPERM) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    if (result != 0) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    return TRUE;
}
