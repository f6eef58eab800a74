#pragma once

#include <filesystem>
#include <string_view>

namespace fennic {

// Replaces the file at target with the bytes in one step: writes them to "<target>.tmp" and renames
// that over the target, so a crash or a full disk while writing leaves the previous file whole.
// Throws fennic::IoError "<target>: cannot be written: <why>" when the temporary file cannot be created
// or written or the rename fails; the temporary file is removed then and the target left untouched.
// Not thread-safe for one target: two writers of the same file share the temporary file.
void ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes);

}  // namespace fennic
