#include <brix_player_core/Fader.h>

#include <algorithm>
#include <cmath>

namespace {

double ClampPercent(double percent) {
    return std::isnan(percent) ? 0.0 : std::clamp(percent, 0.0, 100.0);
}

}  // namespace

Fader::Fader() : thread_([this] { Run(); }) {}

Fader::~Fader() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void Fader::Start(double targetPercent, double seconds, std::function<void()> onDone) {
    {
        std::lock_guard lock(mutex_);
        from_ = level_;
        to_ = ClampPercent(targetPercent);
        begin_ = Clock::now();
        const double length = std::isfinite(seconds) && seconds > 0.0 ? seconds : 0.0;
        end_ = begin_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(length));
        onDone_ = std::move(onDone);
        running_ = true;
        ++generation_;
    }
    wake_.notify_all();
}

void Fader::Cancel() {
    {
        std::lock_guard lock(mutex_);
        running_ = false;
        onDone_ = nullptr;
        ++generation_;
    }
    wake_.notify_all();
}

bool Fader::IsRunning() const {
    std::lock_guard lock(mutex_);
    return running_;
}

double Fader::GetLevel() const {
    std::lock_guard lock(mutex_);
    return level_;
}

double Fader::GetLevelAfter(double seconds) const {
    std::lock_guard lock(mutex_);
    if (!running_) {
        return level_;
    }
    const double ahead = std::isfinite(seconds) && seconds > 0.0 ? seconds : 0.0;
    const Clock::time_point when =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(ahead));
    if (when >= end_) {
        return to_;
    }
    const double done = std::chrono::duration<double>(when - begin_).count() /
                        std::chrono::duration<double>(end_ - begin_).count();
    return from_ + (to_ - from_) * std::max(0.0, done);
}

void Fader::SetLevel(double percent) {
    {
        std::lock_guard lock(mutex_);
        running_ = false;
        onDone_ = nullptr;
        ++generation_;
        level_ = ClampPercent(percent);
    }
    wake_.notify_all();
}

void Fader::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || running_; });
        if (stop_) {
            return;
        }
        const Clock::time_point now = Clock::now();
        if (now >= end_) {
            level_ = to_;
            running_ = false;
            std::function<void()> onDone = std::move(onDone_);
            onDone_ = nullptr;
            lock.unlock();
            if (onDone) {
                onDone();
            }
            lock.lock();
            continue;
        }
        const double done = std::chrono::duration<double>(now - begin_).count() /
                            std::chrono::duration<double>(end_ - begin_).count();
        level_ = from_ + (to_ - from_) * done;
        const std::uint64_t generation = generation_;
        const Clock::time_point deadline = std::min(now + std::chrono::milliseconds(10), end_);
        wake_.wait_until(lock, deadline, [&] { return stop_ || generation_ != generation; });
    }
}
