#include <ConsoleOption.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ConsoleOption, OnlyAnExactShortOrLongOptionAfterTheProgramNameCounts) {
    const struct {
        std::vector<const char*> arguments;  // after the program name
        bool console;
    } table[] = {
        {{}, false},
        {{"-c"}, true},
        {{"--console"}, true},
        {{"show", "-c"}, true},
        {{"--console", "x", "--console"}, true},
        {{"-c", "-c"}, true},
        {{"-C"}, false},
        {{"--Console"}, false},
        {{"-cx"}, false},
        {{"--console=1"}, false},
        {{"-console"}, false},
        {{"--c"}, false},
        {{"c"}, false},
        {{""}, false},
    };
    for (const auto& row : table) {
        std::vector<const char*> argv{"tarnwick2"};
        argv.insert(argv.end(), row.arguments.begin(), row.arguments.end());
        std::string shown;
        for (const char* argument : row.arguments) {
            shown += std::string("'") + argument + "' ";
        }
        EXPECT_EQ(brix::qt::HasConsoleOption(static_cast<int>(argv.size()), argv.data()), row.console)
            << shown;
    }
}

TEST(ConsoleOption, TheProgramNameItselfIsNotAnOption) {
    const char* argv[] = {"-c"};
    EXPECT_FALSE(brix::qt::HasConsoleOption(1, argv));
}

}  // namespace
