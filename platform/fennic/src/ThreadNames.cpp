#include "fennic/ThreadNames.h"

#include <pthread.h>

namespace fennic {

ThreadNames threadNames;

// Lives in thread-local storage of each thread that named itself; removes the thread's entry when
// the thread ends.
struct ThreadNameRegistration {
    ThreadNames* registry = nullptr;
    ~ThreadNameRegistration() {
        if (registry != nullptr) {
            registry->ForgetCurrentThread_();
        }
    }
};

namespace {
thread_local ThreadNameRegistration registration;
}  // namespace

void ThreadNames::SetNameOfCurrentThread(const std::string& name) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        names_[std::this_thread::get_id()] = name;
    }
    registration.registry = this;
    const std::string osName = name.substr(0, kMaxOsNameLength);
    pthread_setname_np(pthread_self(), osName.c_str());
}

std::string ThreadNames::GetNameOfCurrentThread() const {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        auto it = names_.find(std::this_thread::get_id());
        if (it != names_.end()) {
            return it->second;
        }
    }
    char osName[kMaxOsNameLength + 1] = {};
    if (pthread_getname_np(pthread_self(), osName, sizeof osName) != 0) {
        return std::string();
    }
    return osName;
}

std::string ThreadNames::GetNameOfThread(std::thread::id id) const {
    std::lock_guard<std::mutex> guard(mutex_);
    auto it = names_.find(id);
    return it == names_.end() ? std::string() : it->second;
}

void ThreadNames::ForgetCurrentThread_() {
    std::lock_guard<std::mutex> guard(mutex_);
    names_.erase(std::this_thread::get_id());
}

}  // namespace fennic
