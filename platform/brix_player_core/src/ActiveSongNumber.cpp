#include <brix_player_core/ActiveSongNumber.h>

#include <stdexcept>
#include <utility>

std::string ActiveSongNumber::Get() const {
    std::lock_guard guard(mutex_);
    return songNumber_;
}

void ActiveSongNumber::Set(std::string songNumber) {
    std::lock_guard guard(mutex_);
    songNumber_ = std::move(songNumber);
}

std::unique_lock<std::mutex> ActiveSongNumber::Lock() const { return std::unique_lock(mutex_); }

const std::string& ActiveSongNumber::GetLocked(const std::unique_lock<std::mutex>& guard) const {
    if (guard.mutex() != &mutex_ || !guard.owns_lock()) {
        throw std::logic_error("ActiveSongNumber::GetLocked: the guard does not hold the song number");
    }
    return songNumber_;
}
