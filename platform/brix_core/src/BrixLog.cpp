#include <brix_core/BrixLog.h>

#include <deque>
#include <exception>
#include <iostream>
#include <mutex>

namespace {

std::mutex logMutex;
std::deque<BrixLogRecord> records;

}  // namespace

void BrixLogException(const std::string& message, const std::string& file, int line) {
    const std::string text = "EXCEPTION " + file + " line " + std::to_string(line) + ": " + message + "\n";
    std::lock_guard lock(logMutex);
    std::cerr << text << std::flush;
    records.push_back(BrixLogRecord{message, file, line});
    if (records.size() > kMaxBrixLogRecords) {
        records.pop_front();
    }
}

std::vector<BrixLogRecord> GetBrixLogRecords() {
    std::lock_guard lock(logMutex);
    return {records.begin(), records.end()};
}

void ClearBrixLogRecords() {
    std::lock_guard lock(logMutex);
    records.clear();
}

std::string CurrentExceptionText()
{
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown exception.";
    }
}

void BrixLogCurrentException(const std::string& file, int line)
{
    BrixLogException(CurrentExceptionText(), file, line);
}
