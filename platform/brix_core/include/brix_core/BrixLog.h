#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The exception log: what threads' entry functions caught and survived.
//
// BrixLogException writes one line to the standard error stream ("EXCEPTION <file> line <line>:
// <message>") and records the exception; it returns normally and never throws beyond a failed
// allocation. The log keeps the most recent kMaxBrixLogRecords records, so a thread that fails in a
// loop cannot exhaust memory. Thread-safe.
struct BrixLogRecord {
    std::string message;
    std::string file;
    int line = 0;
};

inline constexpr std::size_t kMaxBrixLogRecords = 256;

void BrixLogException(const std::string& message, const std::string& file, int line);

// The text of the exception being handled ("Unknown exception." for one not derived from
// std::exception); call it only inside a catch block.
std::string CurrentExceptionText();

// Records the exception being handled, as BrixLogException does; call it only inside a catch block.
// An exception not derived from std::exception is recorded as "Unknown exception.".
void BrixLogCurrentException(const std::string& file, int line);

// The recorded exceptions, oldest first.
std::vector<BrixLogRecord> GetBrixLogRecords();
void ClearBrixLogRecords();
