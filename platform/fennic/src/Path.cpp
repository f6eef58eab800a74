#include "fennic/Path.h"

namespace fennic::path {

std::string Join(const std::string& a, const std::string& b) {
    if (a.empty()) {
        return b;
    }
    if (b.empty()) {
        return a;
    }
    std::size_t aEnd = a.find_last_not_of('/');
    std::string head = aEnd == std::string::npos ? std::string() : a.substr(0, aEnd + 1);
    std::size_t bStart = b.find_first_not_of('/');
    std::string tail = bStart == std::string::npos ? std::string() : b.substr(bStart);
    return head + '/' + tail;
}

}  // namespace fennic::path
