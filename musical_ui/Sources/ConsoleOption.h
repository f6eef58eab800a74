#pragma once

namespace brix::qt {

// True when an argument after the program name is exactly "-c" or "--console". The scan stops at the
// first such argument; every other argument is ignored.
bool HasConsoleOption(int argc, const char* const* argv);

// Where the program's diagnostics go. With the console option they go to the console the program
// was started from (its standard output and error streams as they are); without it both streams are
// sent to the null device, so diagnostics are visible only when asked for.
void UseConsole(bool console);

}  // namespace brix::qt
