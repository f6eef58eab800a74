#pragma once

#include <QString>

// The paths library: where the program keeps its per-user data.
namespace brix::paths {

// The base folder of the user's data, to which the program appends its own short name. It follows
// the XDG base-directory rules: $XDG_DATA_HOME when it is set to an absolute path, otherwise
// $HOME/.local/share (a relative or empty XDG_DATA_HOME is ignored, as those rules ask). The folder
// is only named here, neither created nor checked.
//
// Throws fennic::IoError ("Cannot find the user-data folder: ...") when XDG_DATA_HOME gives no
// absolute path and HOME is unset, empty or relative, since any folder chosen then would depend on
// the working directory.
//
// Reads the environment: thread-safe as long as no thread changes it meanwhile.
QString UserDataBasePath();

}  // namespace brix::paths
