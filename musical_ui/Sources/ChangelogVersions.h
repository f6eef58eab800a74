#pragma once

#include <brix_core/BRIXVersion.h>

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

// The change-log versions of a show folder: its ".logdata" files (named "<show key>-<major>.<minor>
// .logdata"; the version follows the last "-" of the name, or is the whole name without "-"), the
// version a save writes next, and the pruning of duplicate copies. Plain C++; no Qt.
namespace brix::changelog {

struct LocalVersion {
    std::filesystem::path path;
    cmn::BRIXVersion version;
    // The file's last write time, whole seconds since the Unix epoch.
    std::int64_t modified = 0;
};

// The regular ".logdata" files of the folder (not its subfolders), in the folder's order. A file whose
// name gives no version is skipped with a line on `warnings`. Throws std::filesystem::filesystem_error
// when the folder cannot be read.
std::vector<LocalVersion> ListLocalVersions(const std::filesystem::path& folder, std::ostream& warnings = std::cerr);

// The file of the greatest version (of equal versions, the name that sorts first); empty without one.
std::optional<LocalVersion> LatestLocalVersion(const std::vector<LocalVersion>& versions);

// The version a local save writes after `latest`: the next minor number. Minor numbers run to 255; the
// save after minor 255 takes the next major number with minor 0, so it never overwrites an older file
// nor sorts below one. Throws std::overflow_error when no greater version is left.
cmn::BRIXVersion NextLocalVersion(const cmn::BRIXVersion& latest);

// The major number a share saves: one more than the greatest the server stores, 1 when it stores
// none. Throws std::overflow_error when the server already stores 65535.
std::uint16_t NextSharedMajor(const std::vector<cmn::BRIXVersion>& serverVersions);

// Reduces the folder to one file per version of each show key: of two files with the same key (the
// name before its last "-") and the same version, the one written earlier is deleted; files written
// in the same second are both kept, and files of other keys, names without "-" or without a version
// are never touched (the last are reported on `warnings`). Returns the deleted files. Throws
// std::filesystem::filesystem_error when the folder cannot be read or a file cannot be deleted.
std::vector<std::filesystem::path> PruneLocalVersions(const std::filesystem::path& folder,
                                                      std::ostream& warnings = std::cerr);

}  // namespace brix::changelog
