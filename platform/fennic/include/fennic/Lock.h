#pragma once

namespace fennic {

// LockInterface: a lock held by a caller, handed down so that a callee can release it around a call
// that must not run under it, and take it again before returning (lock order stays with the caller).
// The operations are const because the interface is passed as `const LockInterface&`: they act on the
// referenced lock, not on the interface object.
// Threads: only the thread that holds the lock may use the interface, as with the lock itself.
class LockInterface {
public:
    virtual ~LockInterface() = default;

    virtual void lock() const = 0;
    virtual void unlock() const = 0;
    virtual bool owns() const = 0;  // whether the lock is currently held through this lock object
};

// LockReference<L>: the LockInterface over a lock object L (with lock(), unlock() and owns_lock())
// that the caller owns and keeps alive, typically a held std::unique_lock<std::recursive_mutex>. lock() and unlock() are L's; owns() is
// L::owns_lock(). It stores a reference only: it never outlives the lock object.
template <class L>
class LockReference : public LockInterface {
public:
    explicit LockReference(L& lock) : lock_(lock) {}

    void lock() const override { lock_.lock(); }
    void unlock() const override { lock_.unlock(); }
    bool owns() const override { return lock_.owns_lock(); }

    L& Get() const { return lock_; }

private:
    L& lock_;
};

}  // namespace fennic
