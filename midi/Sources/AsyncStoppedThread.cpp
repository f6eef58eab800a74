#include "AsyncStoppedThread.h"

#include <brix_core/BrixLog.h>
#include <fennic/ThreadNames.h>

#include <exception>
#include <utility>

AsyncStoppedThread::AsyncStoppedThread(std::function<void()> stopped) : stopped_(std::move(stopped)) {}

void AsyncStoppedThread::Start()
{
    thread_ = std::thread([this] { Run(); });
}

void AsyncStoppedThread::Signal()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++pendingSignals_;
    }
    stoppedCondition_.notify_one();
}

void AsyncStoppedThread::ExitAndJoin()
{
    if (!thread_.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        exitRequested_ = true;
    }
    stoppedCondition_.notify_one();
    thread_.join();
}

void AsyncStoppedThread::Run()
{
    fennic::threadNames.SetNameOfCurrentThread("MidiOutput::AsyncStoppedThread");
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        stoppedCondition_.wait(lock, [this] { return pendingSignals_ > 0 || exitRequested_; });
        if (exitRequested_) {
            return;
        }
        --pendingSignals_;
        lock.unlock();
        // A failing report is logged and the thread goes on: later stops must still be reported.
        try {
            stopped_();
        } catch (...) {
            BrixLogCurrentException(__FILE__, __LINE__);
        }
        lock.lock();
    }
}
