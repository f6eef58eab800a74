#include <brix_core/CallbackDispatcher.h>

#include <algorithm>

namespace notify {

CallbackDispatcher callbackDispatcher;

// Marks one callback call as running for the time it runs, also when it throws.
class CallbackDispatcher::RunningCallScope {
public:
    RunningCallScope(CallbackDispatcher& dispatcher, const void* target)
        : dispatcher_(dispatcher), call_{target, std::this_thread::get_id()} {
        dispatcher_.running_.push_back(call_);  // the caller holds the lock
    }
    ~RunningCallScope() {
        {
            std::lock_guard lock(dispatcher_.mutex_);
            auto& running = dispatcher_.running_;
            const auto it = std::find_if(running.begin(), running.end(), [&](const RunningCall& c) {
                return c.target == call_.target && c.thread == call_.thread;
            });
            running.erase(it);
        }
        dispatcher_.callEnded_.notify_all();
    }
    RunningCallScope(const RunningCallScope&) = delete;
    RunningCallScope& operator=(const RunningCallScope&) = delete;

private:
    CallbackDispatcher& dispatcher_;
    RunningCall call_;
};

void CallbackDispatcher::AddCallback(const void* target, const std::string& name, Callback callback) {
    auto shared = std::make_shared<const Callback>(std::move(callback));
    std::lock_guard lock(mutex_);
    registrations_.emplace(nextNumber_++, Registration{target, name, std::move(shared)});
}

void CallbackDispatcher::Notify(const std::string& name, void* data) {
    std::vector<std::uint64_t> numbers;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [number, registration] : registrations_) {
            if (registration.name == name) {
                numbers.push_back(number);
            }
        }
    }
    for (const std::uint64_t number : numbers) {
        std::unique_lock lock(mutex_);
        const auto found = registrations_.find(number);
        if (found == registrations_.end()) {
            continue;  // removed since the dispatch began
        }
        const std::shared_ptr<const Callback> callback = found->second.callback;
        RunningCallScope running(*this, found->second.target);
        lock.unlock();
        (*callback)(data);
    }
}

void CallbackDispatcher::RemoveCallbacksForTarget(const void* target) {
    std::unique_lock lock(mutex_);
    std::erase_if(registrations_, [&](const auto& entry) { return entry.second.target == target; });
    const std::thread::id self = std::this_thread::get_id();
    callEnded_.wait(lock, [&] { return !IsRunningElsewhere(target, self); });
}

bool CallbackDispatcher::IsRunningElsewhere(const void* target, std::thread::id self) const {
    return std::any_of(running_.begin(), running_.end(), [&](const RunningCall& call) {
        return call.target == target && call.thread != self;
    });
}

}  // namespace notify
