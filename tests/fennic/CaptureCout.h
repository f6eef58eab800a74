#pragma once

#include <iostream>
#include <sstream>
#include <string>

// Redirects std::cout into a string for the lifetime of the object (set up before any thread that
// writes starts, restored after they are joined).
class CaptureCout {
public:
    CaptureCout() : previous_(std::cout.rdbuf(captured_.rdbuf())) {}
    ~CaptureCout() { std::cout.rdbuf(previous_); }

    CaptureCout(const CaptureCout&) = delete;
    CaptureCout& operator=(const CaptureCout&) = delete;

    std::string Text() const { return captured_.str(); }

private:
    std::ostringstream captured_;
    std::streambuf* previous_;
};
