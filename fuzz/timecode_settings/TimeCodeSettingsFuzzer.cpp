// Fuzzes the reader of the time-code settings file: the controller's constructor reports a bad file
// on the console and keeps going with what it could read; it never throws. What it saves is read back
// unchanged.

#include "FuzzSupport.h"

#include "FrameRate.h"
#include "MidiTimeCodeController.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::ScratchFolder folder("timecode");
    const std::string path = folder.Write("timecodesettings", data, size);
    MidiTimeCodeController loaded(path);
    fuzz::Require(IsFrameRate(static_cast<unsigned int>(loaded.GetFrameRate())), "a frame rate of 0 to 3");
    loaded.Shutdown();

    const MidiTimeCodeController reloaded(path);
    fuzz::Require(!reloaded.GetIsActive(), "a whole file starts inactive");
    fuzz::Require(reloaded.GetHasOutputPortIndex() == loaded.GetHasOutputPortIndex() &&
                      reloaded.GetOutputPortIndex() == loaded.GetOutputPortIndex() &&
                      reloaded.GetFrameRate() == loaded.GetFrameRate(),
                  "saved settings read back unchanged");
    return 0;
}
