// Fuzzes the show folder loader through its show.json, in a folder that holds the demo show's MIDI
// files (so the seeds, the demo show's show.json among them, load whole).

#include "ShowFolderFuzzing.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::LoadWithInputAs("show.json", data, size);
    return 0;
}
