#include "fennic/Log.h"

#include <atomic>
#include <utility>

#include "fennic/CoutBuffer.h"

namespace fennic {

namespace {

std::atomic<bool> loggingEnabled{false};

void WriteCallLine(const std::string& name, const char* what, const char* file, int line) {
    CoutBuffer() << "[CALL] " << name << ' ' << what << " at " << file << " line " << line << endl;
}

}  // namespace

LogFilter::LogFilter(std::string name)
    : name_(std::move(name)), enabled_(loggingEnabled.load(std::memory_order_relaxed)) {}

void LogFilter::SetEnabled(bool enabled) {
    loggingEnabled.store(enabled, std::memory_order_relaxed);
}

bool LogFilter::GetEnabled() {
    return loggingEnabled.load(std::memory_order_relaxed);
}

void LogAttempt(const LogFilter& filter, const char* file, int line) {
    if (filter.IsEnabled()) {
        WriteCallLine(filter.GetName(), "attempt", file, line);
    }
}

void LogSuccess(const LogFilter& filter, const char* file, int line) {
    if (filter.IsEnabled()) {
        WriteCallLine(filter.GetName(), "success", file, line);
    }
}

void LogAttempt(const std::string& name, const char* file, int line) {
    if (LogFilter::GetEnabled()) {
        WriteCallLine(name, "attempt", file, line);
    }
}

void LogSuccess(const std::string& name, const char* file, int line) {
    if (LogFilter::GetEnabled()) {
        WriteCallLine(name, "success", file, line);
    }
}

}  // namespace fennic
