#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <iosfwd>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace brix::qt {

// One mounted volume as the error log lists it. Texts in the local 8-bit encoding.
struct VolumeRecord {
    bool valid = false;
    bool ready = false;
    std::string name;
    std::string root;
    std::string fileSystem;
    std::int64_t availableBytes = 0;
    std::int64_t totalBytes = 0;
};

// What the error log's header tells of the moment and the machine. Texts in the local 8-bit encoding.
struct ErrorLogEnvironment {
    // The local time in the form of ctime(): 24 characters and a line break.
    std::string createdOn;
    std::string cpuArchitecture;
    std::string productType;
    std::string kernelType;
    std::string kernelVersion;
    // Only its hash is written, never the name itself.
    std::string hostName;
    std::vector<VolumeRecord> volumes;

    // This machine, now.
    static ErrorLogEnvironment Current();
};

// The 64-bit FNV-1a hash of the host name's bytes, the machine's identifier in the error log.
std::uint64_t HashMachineId(std::string_view hostName);

// A hash in lower-case hexadecimal without prefix or leading zeros.
std::string HashText(std::uint64_t hash);

// One diagnostic line: the monotonic clock in nanoseconds (arbitrary origin, the same for every
// process of the machine), ": ", the text and a line break.
std::string StampedLine(std::string_view text);

// ErrorLogWriter: writes the error log of an exception that ended the program.
//
// The header goes to the file in one piece at construction and is echoed to the header echo (the
// standard error stream); every later line goes through WriteLine, which stamps it and echoes it to
// the line echo (the standard output stream). The writer does not own its streams.
// Threads: WriteLine and LogException may be called from any thread; the recursive mutex keeps each
// line whole in the file and in the echo.
class ErrorLogWriter {
public:
    ErrorLogWriter(std::ostream& file, std::string application, std::string version);
    // With the environment and the echo streams given (tests).
    ErrorLogWriter(std::ostream& file, std::string application, std::string version,
                   const ErrorLogEnvironment& environment, std::ostream& headerEcho,
                   std::ostream& lineEcho);

    ErrorLogWriter(const ErrorLogWriter&) = delete;
    ErrorLogWriter& operator=(const ErrorLogWriter&) = delete;

    // The exception entry: its dynamic type's name (demangled) and its text.
    void LogException(const std::exception& error);
    void WriteLine(std::string_view text);

private:
    void WriteHeader(const ErrorLogEnvironment& environment);

    std::ostream& file_;
    std::ostream& headerEcho_;
    std::ostream& lineEcho_;
    std::recursive_mutex mutex_;
    const std::string application_;
    const std::string version_;
};

// The error log's file name.
inline constexpr const char* kErrorLogFileName = "brix_vs_error_log.txt";

// Writes the error log of `error` into `folder` (the product's user-data folder), replacing an
// earlier log. When the folder is empty (the exception came before it was known) or the log cannot
// be written there, the log goes to the current directory instead. The file is written in full under
// a temporary name and then renamed, so an earlier log is never left half overwritten. The echo to
// the console happens once, whether or not a file could be written. Returns the file written, or an
// empty path when none could be.
std::filesystem::path WriteErrorLog(const std::string& folder, const std::string& application,
                                    const std::string& version, const std::exception& error,
                                    const ErrorLogEnvironment& environment = ErrorLogEnvironment::Current());

}  // namespace brix::qt
