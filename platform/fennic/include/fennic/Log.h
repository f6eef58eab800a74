#pragma once

#include <string>

namespace fennic {

// Call logging: a platform call is logged before it is made (LogAttempt) and after it returned
// (LogSuccess), with its name and source location. Wrapping a call:
//
//     fennic::LogFilter logFilter("timeSetEvent");
//     fennic::LogAttempt(logFilter, __FILE__, __LINE__);
//     timerId = timeSetEvent(...);
//     fennic::LogSuccess(logFilter, __FILE__, __LINE__);
//
// Logging is off by default: the lines cost nothing but an atomic load. When switched on
// (LogFilter::SetEnabled(true)) each is one console line through CoutBuffer:
//     "[CALL] timeSetEvent attempt at <file> line <line>"
//     "[CALL] timeSetEvent success at <file> line <line>"
//
// LogFilter: names one call and reads the process-wide switch once when built, so the attempt and the
// success line of one call always come as a pair, even if the switch changes in between.
// Threads: any thread; the switch is an atomic, the lines go through CoutBuffer's lock.
class LogFilter {
public:
    explicit LogFilter(std::string name);

    const std::string& GetName() const { return name_; }
    bool IsEnabled() const { return enabled_; }

    // The process-wide switch (off by default).
    static void SetEnabled(bool enabled);
    static bool GetEnabled();

private:
    std::string name_;
    bool enabled_;
};

void LogAttempt(const LogFilter& filter, const char* file, int line);
void LogSuccess(const LogFilter& filter, const char* file, int line);

// Shorthands without a filter object; they read the switch at each call.
void LogAttempt(const std::string& name, const char* file, int line);
void LogSuccess(const std::string& name, const char* file, int line);

}  // namespace fennic
