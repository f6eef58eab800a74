#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

// A fresh, empty folder for one test's files, removed with everything in it at the end. The name
// carries the process id and the test's name, so tests running in parallel never share a folder.
class ScratchFolder {
public:
    ScratchFolder() {
        static std::atomic<int> counter{0};
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "brix_midi_" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
        if (test != nullptr) {
            name += std::string("_") + test->test_suite_name() + "_" + test->name();
        }
        for (char& c : name) {
            if (c == '/') {
                c = '_';
            }
        }
        folder = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Path(const std::string& fileName) const { return (folder / fileName).string(); }
    const std::filesystem::path& Folder() const { return folder; }

    static void WriteBytes(const std::string& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static std::string ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path folder;
};
