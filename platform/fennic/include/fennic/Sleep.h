#pragma once

namespace fennic {

// Blocks the calling thread for at least the given number of milliseconds.
void Sleep(unsigned int milliseconds);

}  // namespace fennic
