#pragma once

#include <brix_core/BRIXVersion.h>
#include <brix_core/ChangeLog.h>

#include <fennic/Exceptions.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The ".logdata" file: one saved version of a show's change log, kept in the show folder and named
// "<show key>-<major>.<minor>.logdata" (the version follows the last "-" of the name).
//
// Layout (little-endian, no padding; a text is a u32 length and that many bytes):
//   8 bytes   magic word "BRIXLOGD"
//   u32       format number, kLogDataFormat; a greater number is a format of a later program
//   u16, u16  version: major, minor
//   u32       network count, then each network: name, network id, IP address (texts), i32 port,
//             u8 TCP flag (0 or 1)
//   u32       output path count, then each path: id, name (texts); the device of a path belongs to
//             the machine and is not stored
//   u32       song count, then each song: number, name (texts), u32 sequence count, then each
//             sequence in the binary form of cmn::BRIXSequence (u8 code, u32 event count, the events
//             in the binary form of cmn::BrixEvent, written for the file's version): one sequence
//             per change-log kind, in the order of CL::SongLog, empty ones included
//   nothing after the last song.
// The reader takes the sequences of a song in any order and a missing one as empty.
//
// The sequences are written here with the same header and event writers as the MIDI engine's
// CL::ChangeLogSequence, whose template code lives in that library above this one; this library
// cannot use it, and needs no sequence object to write a vector of events.
namespace CL {

// A change-log file of a newer format than this program reads.
class ChangeLogVersionError : public fennic::RuntimeError {
public:
    using fennic::RuntimeError::RuntimeError;
};

inline constexpr std::string_view kLogDataMagic{"BRIXLOGD", 8};
inline constexpr std::uint32_t kLogDataFormat = 1;
inline constexpr std::string_view kLogDataExtension{".logdata"};
// Larger files are refused unread.
inline constexpr std::uintmax_t kMaxLogDataFileSize = 64 * 1024 * 1024;

// "<showKey>-<major>.<minor>.logdata". Throws std::invalid_argument when the key is empty or holds a
// '/' or a NUL (the name would leave the folder or be cut).
std::string LogDataFileName(const std::string& showKey, const cmn::BRIXVersion& version);

// The version a file's name gives: of the stem (the name without ".logdata"), the part after the last
// "-", or the whole stem when it has no "-". Empty when the name does not end in ".logdata" or the
// text is no version (cmn::BRIXVersion::SetWithString).
std::optional<cmn::BRIXVersion> LogDataFileVersion(const std::filesystem::path& file);

// The regular ".logdata" file of the folder (not its subfolders) whose name gives the greatest version;
// of equal versions, the name that sorts first. Empty when there is none or the folder cannot be read.
std::optional<std::filesystem::path> FindLatestLogDataFile(const std::filesystem::path& folder);

// The file's bytes for a change log (its version included, its modification time not).
std::string WriteLogData(const ChangeLog& log);

// The change log in a file's bytes; name says where they come from in the messages. Throws
// ChangeLogVersionError for a newer format, and fennic::IoError "<name>: damaged change-log file: ..."
// for anything else that is wrong: another magic word, bytes that end early or go on after the last
// song, a count that cannot fit in the bytes left, an unknown or repeated sequence code, an event of
// another code than its sequence, a region flag that does not fit the kind, a region other than a
// vamp or a repeat ending before it starts (such a loop is read as it is, for the engine to repair),
// a single-position event with an end of its own, a repeated song number, event id, network
// id or output path id, a TCP flag other than 0 or 1. Nothing is half-read: it returns a whole log or
// throws.
ChangeLog ReadLogData(std::string_view bytes, const std::string& name);

// Writes the log under LogDataFileName(showKey, its version) in the folder, through a temporary file
// renamed over the final name, so a crash never leaves a half-written version. Returns the path.
// Throws fennic::IoError naming the file when it cannot be written.
std::filesystem::path WriteLogDataFile(const std::filesystem::path& folder, const std::string& showKey,
                                       const ChangeLog& log);

// Reads a file (ReadLogData) and sets the log's modification time from the file's. Throws
// fennic::IoError naming the file when it cannot be read or is larger than kMaxLogDataFileSize.
ChangeLog ReadLogDataFile(const std::filesystem::path& file);

// The change log a show starts with. showLog is the show's own empty log (one song log per song, in
// the show's order). Without a ".logdata" file in the folder that is the result, version 1.0.
// Otherwise the latest file (FindLatestLogDataFile) is read and its songs are put in the show's order
// under the show's song names; songs the show lacks follow in the file's order, so nothing of the
// file is lost. Throws what ReadLogDataFile throws.
ChangeLog LoadLatestLogData(const std::filesystem::path& folder, const ChangeLog& showLog);

}  // namespace CL
