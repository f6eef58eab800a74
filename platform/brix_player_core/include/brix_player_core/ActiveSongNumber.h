#pragma once

#include <mutex>
#include <string>

// The number of the song the player has loaded ("" before the first load).
// Owner: the Player; the show control and the mixer hold references.
// Threads: any. Lock: one mutex, the guard, held by each operation, or by a caller that must read the
// number and act on it in one step (Lock, then GetLocked).
class ActiveSongNumber {
public:
    ActiveSongNumber() = default;
    ActiveSongNumber(const ActiveSongNumber&) = delete;
    ActiveSongNumber& operator=(const ActiveSongNumber&) = delete;

    std::string Get() const;
    void Set(std::string songNumber);

    // Takes the guard; keep it while acting on the number read with GetLocked.
    std::unique_lock<std::mutex> Lock() const;
    // The number, read under a guard from Lock(); throws std::logic_error for a guard that does not
    // hold this object's mutex.
    const std::string& GetLocked(const std::unique_lock<std::mutex>& guard) const;

private:
    mutable std::mutex mutex_;
    std::string songNumber_;
};
