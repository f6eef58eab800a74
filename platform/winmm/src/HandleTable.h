// Maps handle values to the objects behind them. Values are never reused, so
// a stale or forged handle is refused instead of reaching a freed object.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace winmm_impl {

// A fresh process-wide handle value (never 0, never reused).
std::uintptr_t NextHandleValue();

// Thread-safe; a found object stays alive while the caller holds it.
template <class T>
class HandleTable {
public:
    std::uintptr_t Insert(std::shared_ptr<T> object)
    {
        const std::uintptr_t value = NextHandleValue();
        std::lock_guard lock(mutex_);
        objects_.emplace(value, std::move(object));
        return value;
    }

    std::shared_ptr<T> Find(std::uintptr_t value) const
    {
        std::lock_guard lock(mutex_);
        auto it = objects_.find(value);
        return it == objects_.end() ? nullptr : it->second;
    }

    std::shared_ptr<T> Remove(std::uintptr_t value)
    {
        std::lock_guard lock(mutex_);
        auto it = objects_.find(value);
        if (it == objects_.end()) {
            return nullptr;
        }
        auto object = std::move(it->second);
        objects_.erase(it);
        return object;
    }

private:
    mutable std::mutex mutex_;
    std::unordered_map<std::uintptr_t, std::shared_ptr<T>> objects_;
};

template <class Handle>
std::uintptr_t HandleValue(Handle handle)
{
    return reinterpret_cast<std::uintptr_t>(handle);
}

template <class Handle>
Handle ToHandle(std::uintptr_t value)
{
    return reinterpret_cast<Handle>(value);
}

}  // namespace winmm_impl
