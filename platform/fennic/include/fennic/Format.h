#pragma once

#include <string>

namespace fennic {

// printf-style formatting into a std::string of any length. The format is checked by the compiler.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// A failure text with its source location: "<file> line <line>: <text>".
std::string CreateFailureMessage(const char* file, int line, const std::string& text);

// A failed call's text with its source location:
// "<file> line <line>: <name> failed." or, with a detail, "<file> line <line>: <name> failed: <detail>."
std::string CreateFailureMessage(const char* file, int line, const std::string& name,
                                 const std::string& detail);

}  // namespace fennic
