#pragma once

#include <mutex>
#include <string>

// The folders the program works in. Thread-safe.
class Directories {
public:
    // The current show's folder; "" until one is set.
    std::string GetShowDirectory() const;
    void SetShowDirectory(std::string folder);

private:
    mutable std::mutex mutex_;
    std::string showDirectory_;
};

// The process's folders.
extern Directories directories;
