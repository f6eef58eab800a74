#pragma once

namespace fennic {

// Writes the calling thread's stack, at most `depth` frames (the caller's frame first), to the
// standard error stream: a line "Stack trace (depth N):" then one line per frame (backtrace()).
// Symbol names appear for exported functions; addresses otherwise. A depth <= 0 writes the header only.
void PrintStackTrace(int depth);

}  // namespace fennic
