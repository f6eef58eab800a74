#pragma once

// The show folder of the two show fuzzers: a scratch folder holding the demo show's MIDI files,
// where each input becomes one file (show.json or a song's MIDI file) before the folder is loaded.

#include "FuzzSupport.h"

#include <brix_core/ShowFolder.h>

#include <fennic/Exceptions.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace fuzz {

// The scratch folder with copies of the demo show's MIDI files, made once per process.
class DemoShowFolder : public ScratchFolder {
public:
    DemoShowFolder() : ScratchFolder("show")
    {
        for (const auto& entry : std::filesystem::directory_iterator(BRIX_DEMO_SHOW_DIR)) {
            if (entry.path().extension() == ".mid") {
                std::filesystem::copy_file(entry.path(), Path(entry.path().filename().string()));
            }
        }
    }

    static const DemoShowFolder& Get()
    {
        static const DemoShowFolder folder;
        return folder;
    }
};

// Writes the input as the named file of the folder and loads the show. Every fault of the input
// must come as one of the loader's documented errors; a show that loads has one song log per song.
inline void LoadWithInputAs(const std::string& fileName, const std::uint8_t* data, std::size_t size)
{
    const DemoShowFolder& folder = DemoShowFolder::Get();
    folder.Write(fileName, data, size);
    try {
        const brix_midi::LoadedShow loaded = brix_midi::LoadShowFolder(folder.Folder());
        Require(loaded.show.GetSongs().size() == loaded.changeLog.GetSongLogs().size(), "one song log per song");
    } catch (const fennic::IoError&) {
    } catch (const fennic::RuntimeError&) {
    }
}

}  // namespace fuzz
