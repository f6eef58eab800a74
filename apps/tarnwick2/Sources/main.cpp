#include "TarnwickApp.h"

// Runs the program; its status is 0 after a normal end and 1 after an exception ended it (the error
// log tells which).
int main(int argc, char** argv) {
    int exitCode = 0;
    {
        brix::qt::TarnwickApp app(argc, argv);
        exitCode = app.ExitCode();
    }
    return exitCode;
}
