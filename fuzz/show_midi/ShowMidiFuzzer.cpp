// Fuzzes the show folder loader through a song's MIDI file: the reader, and what the loader makes of
// the events (tracks, ports, names, tempos, meters, keys, bars and beats, pages).

#include "ShowFolderFuzzing.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string showJson =
        R"({"format": 1, "name": "Fuzz", "songs": [{"number": "1", "name": "Song", "midi": "song.mid",)"
        R"( "pages": [{"bar": 1, "page": 1}]}], "groups": {"Instruments": [0, 1, 9]}})";
    fuzz::DemoShowFolder::Get().Write("show.json", reinterpret_cast<const std::uint8_t*>(showJson.data()),
                                      showJson.size());
    fuzz::LoadWithInputAs("song.mid", data, size);
    return 0;
}
