#include "fennic/Lock.h"

#include <gtest/gtest.h>

#include <mutex>

namespace {

// A callee that releases the caller's lock around a call and takes it again, through the interface.
bool OwnedWhileReleased(const fennic::LockInterface& lock) {
    lock.unlock();
    const bool ownedInside = lock.owns();
    lock.lock();
    return ownedInside;
}

}  // namespace

TEST(LockReference, ForwardsLockUnlockAndOwnsToTheReferencedLock) {
    std::recursive_mutex mutex;
    std::unique_lock<std::recursive_mutex> held(mutex);
    fennic::LockReference<std::unique_lock<std::recursive_mutex>> reference(held);

    EXPECT_TRUE(reference.owns());
    EXPECT_FALSE(OwnedWhileReleased(reference));
    EXPECT_TRUE(held.owns_lock());
    EXPECT_TRUE(reference.owns());
    EXPECT_EQ(&reference.Get(), &held);
}

TEST(LockReference, ReleasedLockCanBeTakenByAnotherThread) {
    std::recursive_mutex mutex;
    std::unique_lock<std::recursive_mutex> held(mutex);
    fennic::LockReference<std::unique_lock<std::recursive_mutex>> reference(held);

    reference.unlock();
    bool otherThreadGotIt = false;
    std::thread other([&] {
        std::unique_lock<std::recursive_mutex> attempt(mutex, std::try_to_lock);
        otherThreadGotIt = attempt.owns_lock();
    });
    other.join();
    reference.lock();
    EXPECT_TRUE(otherThreadGotIt);
    EXPECT_TRUE(held.owns_lock());
}
