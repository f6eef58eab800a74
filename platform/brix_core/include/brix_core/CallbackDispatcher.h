#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace notify {

// Calls the callbacks that objects registered for a notification name, on the thread that notifies.
//
// Owner: the process (notify::callbackDispatcher); every registering object removes its callbacks in
// its destructor with RemoveCallbacksForTarget(this).
// Threads: any thread may add, remove and notify at any time, also from inside a callback.
// Lock: one mutex guards the registrations and the list of running calls. A dispatch copies the
// callbacks for the name under the lock, then calls them one by one with the lock released; just
// before each call it checks under the lock that the registration still exists, so a callback whose
// target was removed meanwhile (on another thread, or by an earlier callback of the same dispatch) is
// skipped. Callbacks added during a dispatch are not called by it.
// Stop guarantee: when RemoveCallbacksForTarget returns, none of the target's callbacks is running
// on another thread and none will start; it waits for running ones to return. A callback may remove
// its own target (the call on its own thread is not waited for). A callback must not wait for a
// thread that is removing the callback's own target: that removal waits for the callback.
// An exception from a callback ends the dispatch and reaches the caller of Notify.
class CallbackDispatcher {
public:
    using Callback = std::function<void(void*)>;

    CallbackDispatcher() = default;
    CallbackDispatcher(const CallbackDispatcher&) = delete;
    CallbackDispatcher& operator=(const CallbackDispatcher&) = delete;

    void AddCallback(const void* target, const std::string& name, Callback callback);
    // Calls every callback registered for name, in the order they were added, with data.
    void Notify(const std::string& name, void* data);
    void RemoveCallbacksForTarget(const void* target);

private:
    struct Registration {
        const void* target;
        std::string name;
        std::shared_ptr<const Callback> callback;
    };
    struct RunningCall {
        const void* target;
        std::thread::id thread;
    };
    class RunningCallScope;

    bool IsRunningElsewhere(const void* target, std::thread::id self) const;

    std::mutex mutex_;
    std::condition_variable callEnded_;
    std::map<std::uint64_t, Registration> registrations_;  // by registration number, ascending
    std::vector<RunningCall> running_;
    std::uint64_t nextNumber_ = 0;
};

// The process's notification hub.
extern CallbackDispatcher callbackDispatcher;

}  // namespace notify
