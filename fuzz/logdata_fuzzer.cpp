// libFuzzer entry point for the ".logdata" reader (CL::ReadLogData). Any input must end in a change
// log or in CL::ChangeLogVersionError / fennic::IoError; a log that was read, written and read again
// must write the same bytes.
//
// Build with clang from the repository root (the reader and what it needs, no other library):
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined \
//     -Iplatform/brix_core/include -Iplatform/fennic/include fuzz/logdata_fuzzer.cpp \
//     platform/brix_core/src/{BinaryReader,BRIXSequence,BRIXVersion,BrixEvent,ChangeLog,EventCodes,LogDataFile}.cpp \
//     platform/fennic/src/CoutBuffer.cpp -o logdata_fuzzer
// Run on the seeds: ./logdata_fuzzer -max_total_time=60 fuzz/logdata/seeds
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
