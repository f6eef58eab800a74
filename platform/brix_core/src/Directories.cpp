#include <brix_core/Directories.h>

#include <fennic/Exceptions.h>

#include <system_error>

Directories directories;

std::string Directories::GetShowDirectory() const {
    std::lock_guard lock(mutex_);
    return showDirectory_;
}

void Directories::SetShowDirectory(std::string folder) {
    std::lock_guard lock(mutex_);
    showDirectory_ = std::move(folder);
}

namespace brix {

void MakeDirectoryIfNeeded(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder)) {
        throw fennic::IoError("cannot create the folder " + folder.string() +
                              (error ? ": " + error.message() : ": a file of that name is in the way"));
    }
}

}  // namespace brix
