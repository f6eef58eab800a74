// Scheduling of the calling thread.
#pragma once

namespace winmm_impl {

// SCHED_FIFO priorities. The timer thread sits above THREAD_PRIORITY_HIGHEST:
// a clock firing late costs more than a buffer filled late.
constexpr int kHighestFifoPriority = 40;
constexpr int kTimerFifoPriority = 50;

// 0 on success, else the errno of pthread_setschedparam.
int SetCurrentThreadPolicy(int policy, int priority);

}  // namespace winmm_impl
