#include "fennic/StackTrace.h"

#include <execinfo.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace fennic {

void PrintStackTrace(int depth) {
    std::fprintf(stderr, "Stack trace (depth %d):\n", depth);
    std::fflush(stderr);
    if (depth <= 0) {
        return;
    }
    // One frame more than asked for: this function's own frame is left out.
    std::vector<void*> frames(static_cast<std::size_t>(depth) + 1);
    const int count = backtrace(frames.data(), static_cast<int>(frames.size()));
    if (count > 1) {
        backtrace_symbols_fd(frames.data() + 1, count - 1, STDERR_FILENO);
    }
}

}  // namespace fennic
