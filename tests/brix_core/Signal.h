#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// A flag that one thread raises and another waits for, with a time limit.
class Signal {
public:
    void Raise() {
        {
            std::lock_guard lock(mutex_);
            raised_ = true;
        }
        changed_.notify_all();
    }
    bool WaitFor(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return raised_; });
    }
    bool IsRaised() {
        std::lock_guard lock(mutex_);
        return raised_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool raised_ = false;
};
