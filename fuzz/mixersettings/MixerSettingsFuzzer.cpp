// Fuzzes the reader of the "mixersettings" file: its tag and song count, then the song sections.
// Any bytes give sections or the reader's errors (MixerInvalidFileError, a stream failure); every
// section read passes the mixer's own write-and-read-back self-test.

#include "FuzzSupport.h"

#include "MixerIoError.h"
#include "MixerStreamReader.h"
#include "SongMixer.h"

#include <cstddef>
#include <cstdint>
#include <ios>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<SongMixer> sections;
    try {
        MixerStreamReader reader(in);
        reader.ReadString();
        const std::uint16_t songCount = reader.ReadU16();
        for (std::uint16_t i = 0; i < songCount; ++i) {
            sections.emplace_back(in);
        }
    } catch (const MixerInvalidFileError&) {
    } catch (const std::ios_base::failure&) {
    }
    for (const SongMixer& section : sections) {
        section.TestSerialization();
        for (const auto& [trackId, track] : section.GetTrackSettingsByTrackId()) {
            fuzz::Require(track.GetTrackId() == trackId, "each track under its own id");
        }
    }
    return 0;
}
