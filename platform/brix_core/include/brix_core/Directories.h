#pragma once

#include <filesystem>
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

namespace brix {

// Creates the folder and any missing parents; nothing when it exists. Throws fennic::IoError naming the
// folder when it cannot be created or the path names something that is not a folder.
void MakeDirectoryIfNeeded(const std::filesystem::path& folder);

}  // namespace brix
