#pragma once

// Helpers shared by the fuzzers' entry points (LLVMFuzzerTestOneInput).
//
// An entry point feeds one input to a parser and catches only the errors the parser documents for
// bad input. Anything else (another exception, a crash, a sanitizer report, a failed Require) is a
// fault that libFuzzer reports with the input that caused it. The same entry points are built
// without libFuzzer into replay programs that ctest runs on the seeds and on the inputs kept under
// regressions/.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <unistd.h>

namespace fuzz {

// Stops the run as a crash when a property of the parser's result does not hold.
inline void Require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz property violated: %s\n", property);
        std::abort();
    }
}

// A folder of the process's own under the system's temporary folder, removed when the process ends
// normally. Parsers that read a path get their input written there.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name)
        : path(std::filesystem::temp_directory_path() / ("brix-fuzz-" + name + "-" + std::to_string(::getpid())))
    {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Replaces the file of that name in the folder with the bytes; returns its path.
    std::string Write(const std::string& name, const std::uint8_t* data, std::size_t size) const
    {
        const std::filesystem::path file = path / name;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        out.close();
        Require(out.good(), "the scratch file is written");
        return file.string();
    }

    std::string Path(const std::string& name) const { return (path / name).string(); }
    std::string Folder() const { return path.string(); }

private:
    const std::filesystem::path path;
};

}  // namespace fuzz
