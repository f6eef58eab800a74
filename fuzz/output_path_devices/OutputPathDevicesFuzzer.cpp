// Fuzzes the reader of the output-path device file "outputpathdevices.json". Any bytes give pairs and
// at most a failure text, never a crash; a failure of the whole file keeps no pair; and the pairs read,
// written out again, read back whole and unchanged.

#include "FuzzSupport.h"

#include "OutputPathDeviceFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const brix::OutputPathDevices read =
        brix::ParseOutputPathDevices(std::string_view(reinterpret_cast<const char*>(data), size));
    fuzz::Require(!read.unreadable || !read.error.empty(), "an unreadable file says why");
    fuzz::Require(!read.unreadable || read.hwids.empty(), "an unreadable file gives no pair");

    const brix::OutputPathDevices again = brix::ParseOutputPathDevices(brix::FormatOutputPathDevices(read.hwids));
    fuzz::Require(again.error.empty() && !again.unreadable, "a written file reads back whole");
    fuzz::Require(again.hwids == read.hwids, "a written file reads back the same pairs");
    return 0;
}
