#include "fennic/Format.h"

#include <cstdarg>
#include <cstdio>

namespace fennic {

std::string format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string result;
    if (length > 0) {
        result.resize(static_cast<std::size_t>(length));
        // vsnprintf writes the terminating NUL at result[length], which std::string provides.
        std::vsnprintf(result.data(), result.size() + 1, fmt, args);
    }
    va_end(args);
    return result;
}

std::string CreateFailureMessage(const char* file, int line, const std::string& text) {
    return format("%s line %d: %s", file, line, text.c_str());
}

std::string CreateFailureMessage(const char* file, int line, const std::string& name,
                                 const std::string& detail) {
    if (detail.empty()) {
        return format("%s line %d: %s failed.", file, line, name.c_str());
    }
    return format("%s line %d: %s failed: %s.", file, line, name.c_str(), detail.c_str());
}

}  // namespace fennic
