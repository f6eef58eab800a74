#include "brix_paths/Paths.h"

#include <fennic/Exceptions.h>
#include <fennic/Path.h>

#include <QFile>

#include <cstdlib>
#include <string>

namespace brix::paths {

namespace {

// The variable's value when it is set to an absolute path; empty otherwise.
std::string AbsolutePathFrom(const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr || value[0] != '/') {
        return {};
    }
    return value;
}

}  // namespace

QString UserDataBasePath() {
    std::string base = AbsolutePathFrom("XDG_DATA_HOME");
    if (base.empty()) {
        const std::string home = AbsolutePathFrom("HOME");
        if (home.empty()) {
            throw fennic::IoError(
                "Cannot find the user-data folder: XDG_DATA_HOME is not an absolute path and HOME is "
                "not set to one.");
        }
        base = fennic::path::Join(home, ".local/share");
    }
    return QFile::decodeName(base.c_str());
}

}  // namespace brix::paths
