#pragma once

// The demo show's real engine in a temporary copy of the show, on a virtual MIDI output, with its show
// manager: the fixture of the export and change-log file tests.

#include "ShowManager.h"

#include <brix_tarnwick2/Tarnwick2Interface.h>
#include <winmm_virtual/VirtualMidi.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace changelog_test {

// A fresh temporary folder named after the running test, removed at the end.
class ScratchFolder {
public:
    ScratchFolder()
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "_" + test->name();
        for (char& c : name)
            if (c == '/')
                c = '_';
        root_ = std::filesystem::temp_directory_path() / ("brix_changelog_" + name + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    ~ScratchFolder() { std::filesystem::remove_all(root_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return root_; }

    void Write(const std::filesystem::path& name, const std::string& bytes) const
    {
        std::ofstream out(root_ / name, std::ios::binary | std::ios::trunc);
        out << bytes;
    }

private:
    std::filesystem::path root_;
};

// A copy of the demo show (its change-log version included) with its engine and show manager.
class DemoShow {
public:
    DemoShow() : device_(u"changelog test output")
    {
        std::filesystem::create_directories(scratch_.Path() / "data");
        std::filesystem::copy(BRIX_DEMO_SHOW_DIR, Folder(), std::filesystem::copy_options::recursive);
        engine = std::make_shared<brix::Tarnwick2Interface>(Folder().string(), (scratch_.Path() / "data").string(),
                                                            nullptr);
        showManager = std::make_shared<brix::ShowManager>(engine);
    }
    ~DemoShow()
    {
        showManager->ReleasePlayer();
        showManager.reset();
        engine.reset();
    }
    DemoShow(const DemoShow&) = delete;
    DemoShow& operator=(const DemoShow&) = delete;

    std::filesystem::path Folder() const { return scratch_.Path() / "demo"; }
    std::filesystem::path Scratch() const { return scratch_.Path(); }

    std::shared_ptr<brix::Tarnwick2Interface> engine;
    std::shared_ptr<brix::ShowManager> showManager;

private:
    ScratchFolder scratch_;
    winmm_virtual::VirtualMidiOutput device_;
};

}  // namespace changelog_test
