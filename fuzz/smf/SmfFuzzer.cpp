// Fuzzes the Standard MIDI File reader: any bytes give a file or an smf::FormatError.

#include "FuzzSupport.h"

#include <brix_core/smf/StandardMidiFile.h>

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    smf::File file;
    try {
        file = smf::Parse(std::vector<std::uint8_t>(data, data + size), "fuzz.mid");
    } catch (const smf::FormatError&) {
        return 0;
    }
    fuzz::Require(file.format <= 1 && file.division > 0 && file.division < 0x8000, "format 0 or 1 in ticks");
    for (const smf::Track& track : file.tracks) {
        std::uint32_t tick = 0;
        for (const smf::Event& event : track.events) {
            fuzz::Require(event.tick >= tick, "ticks never go back within a track");
            tick = event.tick;
            if (event.status == 0xFF) {
                fuzz::Require(event.data1 == 0 && event.data2 == 0, "meta events have no data bytes");
            } else {
                fuzz::Require(event.status >= 0x80 && event.status < 0xF0, "channel voice status");
                fuzz::Require(event.data1 < 0x80 && event.data2 < 0x80, "data bytes below 0x80");
                fuzz::Require(event.metaType == 0 && event.metaData.empty(), "voice events have no meta data");
            }
        }
    }
    return 0;
}
