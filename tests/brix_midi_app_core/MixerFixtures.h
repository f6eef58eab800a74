#pragma once

#include <brix_core/Directories.h>
#include <brix_core/SongData.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace mixer_test {

// A show folder of its own for the running test, made the process's show directory while it lives.
class TempShowFolder {
public:
    TempShowFolder()
        : path(std::filesystem::temp_directory_path() /
               ("brix-mixer-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                std::to_string(::getpid())))
    {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        directories.SetShowDirectory(path.string());
    }
    ~TempShowFolder()
    {
        directories.SetShowDirectory("");
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempShowFolder(const TempShowFolder&) = delete;
    TempShowFolder& operator=(const TempShowFolder&) = delete;

    std::filesystem::path File() const { return path / "mixersettings"; }
    bool HasFile() const { return std::filesystem::exists(File()); }
    std::string ReadFile() const
    {
        std::ifstream in(File(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void WriteFile(const std::string& bytes) const
    {
        std::ofstream out(File(), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    const std::filesystem::path path;
};

// One voice track of a show built for a test: id, name, default program. It has no events.
struct TrackSpec {
    unsigned short id;
    std::string name;
    std::uint8_t defaultProgram;
};

struct SongSpec {
    std::string number;
    std::vector<TrackSpec> tracks;
};

inline brix_midi::ShowData MakeShow(const std::vector<SongSpec>& songs)
{
    brix_midi::ShowData show;
    for (const SongSpec& spec : songs) {
        auto song = std::make_shared<brix_midi::SongData>();
        song->SetSongNumber(spec.number);
        for (const TrackSpec& track : spec.tracks) {
            song->SetVoiceTrack(std::make_shared<brix_midi::VoiceTrack>(
                track.id, track.name, std::vector<brix_midi::VoiceEvent>{}, track.defaultProgram,
                brix_midi::VoiceTrack::kNoNoteRange));
        }
        show.AddSong(std::move(song));
    }
    return show;
}

}  // namespace mixer_test
