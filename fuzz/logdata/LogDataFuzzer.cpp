// libFuzzer entry point for the ".logdata" reader (CL::ReadLogData). Any input must end in a change
// log or in CL::ChangeLogVersionError / fennic::IoError; a log that was read, written and read again
// must write the same bytes.
#include <brix_core/LogDataFile.h>

#include <fennic/Exceptions.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CL::ChangeLog log;
    try {
        log = CL::ReadLogData(bytes, "fuzz input");
    } catch (const CL::ChangeLogVersionError&) {
        return 0;
    } catch (const fennic::IoError&) {
        return 0;
    }
    const std::string written = CL::WriteLogData(log);
    if (CL::WriteLogData(CL::ReadLogData(written, "written again")) != written) {
        std::abort();
    }
    return 0;
}
