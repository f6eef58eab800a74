#pragma once

#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace fennic {

// ThreadNames: the registry of thread names, used through the global fennic::threadNames.
// Each thread names itself; the registry keeps the full name, and the operating system gets the first
// 15 characters (the Linux limit, pthread_setname_np), which debuggers and `top -H` show.
//
// Threads: any thread. Lock: one mutex guards the map from thread id to name.
// A thread's entry is removed when the thread ends (thread ids are reused), so a name is never
// reported for a thread that did not give it.
class ThreadNames {
public:
    static constexpr std::size_t kMaxOsNameLength = 15;

    void SetNameOfCurrentThread(const std::string& name);

    // The full name this thread gave itself; when it gave none, the name the OS knows it by.
    std::string GetNameOfCurrentThread() const;

    // The full name registered for a thread, or "" when it registered none.
    std::string GetNameOfThread(std::thread::id id) const;

private:
    friend struct ThreadNameRegistration;
    void ForgetCurrentThread_();

    mutable std::mutex mutex_;
    std::map<std::thread::id, std::string> names_;
};

extern ThreadNames threadNames;

}  // namespace fennic
