#include "ConsoleOption.h"

#include <cstdio>
#include <string_view>

namespace brix::qt {

bool HasConsoleOption(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "-c" || argument == "--console") {
            return true;
        }
    }
    return false;
}

void UseConsole(bool console) {
    if (console) {
        return;
    }
    // Should the null device not open, freopen closes the stream all the same: its output is lost,
    // which is what is asked for.
    std::fflush(stdout);
    std::fflush(stderr);
    static_cast<void>(std::freopen("/dev/null", "w", stdout));
    static_cast<void>(std::freopen("/dev/null", "w", stderr));
}

}  // namespace brix::qt
