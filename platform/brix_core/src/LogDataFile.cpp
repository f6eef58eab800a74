#include <brix_core/LogDataFile.h>

#include <brix_core/BinaryReader.h>
#include <fennic/ReplaceFile.h>

#include "LittleEndian.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <vector>

using brix_core_detail::WriteLengthAndBytes;
using brix_core_detail::WriteLittleEndian;

namespace CL {

namespace {

// The least a song, a network and an output path take in the file: their texts empty.
constexpr std::size_t kMinimumSongSize = 4 + 4 + 4;
constexpr std::size_t kMinimumNetworkSize = 3 * 4 + 4 + 1;
constexpr std::size_t kMinimumOutputPathSize = 2 * 4;
constexpr std::size_t kSequenceHeaderSize = 1 + 4;

void WriteCount(std::ostream& out, std::size_t count) {
    if (count > UINT32_MAX) {
        throw std::length_error("a change log of more than 2^32 - 1 elements cannot be written");
    }
    WriteLittleEndian(out, static_cast<std::uint32_t>(count));
}

void ReadNetworks(cmn::BinaryReader& in, ChangeLog& log) {
    const std::uint32_t count = in.ReadCount(kMinimumNetworkSize, "network count");
    NetworkPathVectorT networks;
    std::set<std::string> ids;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string name = in.ReadString("network name");
        std::string id = in.ReadString("network id");
        std::string address = in.ReadString("network IP address");
        const std::int32_t port = in.ReadI32("network port");
        const std::uint8_t tcp = in.ReadU8("network TCP flag");
        if (tcp > 1) {
            in.Fail("network TCP flag", "is " + std::to_string(tcp) + ", not 0 or 1");
        }
        if (!ids.insert(id).second) {
            in.Fail("network id", "\"" + id + "\" appears twice");
        }
        networks.emplace_back(std::move(name), std::move(id), std::move(address), port, tcp == 1);
    }
    log.SetNetworks(std::move(networks));
}

void ReadOutputPaths(cmn::BinaryReader& in, ChangeLog& log) {
    const std::uint32_t count = in.ReadCount(kMinimumOutputPathSize, "output path count");
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string id = in.ReadString("output path id");
        std::string name = in.ReadString("output path name");
        if (log.GetOutputPaths().count(id) > 0) {
            in.Fail("output path id", "\"" + id + "\" appears twice");
        }
        log.SetOutputPath(OutputPath(std::move(id), std::move(name), "", ""));
    }
}

void ReadEvent(cmn::BinaryReader& in, const cmn::FileVersion& version, unsigned char sequenceCode,
               std::set<std::string>& ids, SongLog& song) {
    const cmn::BrixEvent event = cmn::BrixEvent::ReadBinary(in, version);
    if (event.code() != sequenceCode) {
        in.Fail("event", "code " + std::to_string(event.code()) + " in the sequence of code " +
                             std::to_string(sequenceCode));
    }
    if (event.IsPairedEvent() != codes::IsRegionCode(event.code())) {
        in.Fail("event " + event.EventId(), "its region flag does not fit its kind");
    }
    // A loop (vamp, repeat) ending before its start is read as it is: the engine turns it round and
    // reports it.
    const bool loop = event.code() == codes::vamp || event.code() == codes::repeat;
    if (event.IsPairedEvent() ? event.end() < event.start() && !loop : event.end() != event.start()) {
        in.Fail("event " + event.EventId(), "its end does not fit its start");
    }
    if (!ids.insert(event.EventId()).second) {
        in.Fail("event id", "\"" + event.EventId() + "\" appears twice");
    }
    song.AddEvent(event);
}

SongLog ReadSong(cmn::BinaryReader& in, const cmn::FileVersion& version, std::set<std::string>& ids) {
    std::string number = in.ReadString("song number");
    std::string name = in.ReadString("song name");
    SongLog song(std::move(number), std::move(name));
    const std::uint32_t sequences = in.ReadCount(kSequenceHeaderSize, "sequence count");
    std::set<unsigned char> seen;
    for (std::uint32_t s = 0; s < sequences; ++s) {
        const auto header = cmn::BRIXSequence::ReadBinaryHeader(in, cmn::BrixEvent::kMinimumBinarySize);
        if (!codes::IsChangeLogCode(header.code)) {
            in.Fail("sequence", "code " + std::to_string(header.code) + " is no change-log kind");
        }
        if (!seen.insert(header.code).second) {
            in.Fail("sequence", "code " + std::to_string(header.code) + " appears twice in song " +
                                    song.GetSongNumber());
        }
        for (std::uint32_t e = 0; e < header.count; ++e) {
            ReadEvent(in, version, header.code, ids, song);
        }
    }
    return song;
}

ChangeLog ReadFrom(cmn::BinaryReader& in, const std::string& name) {
    if (in.ReadBytes(kLogDataMagic.size(), "magic word") != kLogDataMagic) {
        in.Fail("magic word", "this is no change-log file");
    }
    const std::uint32_t format = in.ReadU32("format number");
    if (format > kLogDataFormat) {
        throw ChangeLogVersionError(name + ": the change log has format " + std::to_string(format) +
                                    ", but this program reads formats up to " +
                                    std::to_string(kLogDataFormat));
    }
    ChangeLog log;
    const std::uint16_t major = in.ReadU16("version major");
    const std::uint16_t minor = in.ReadU16("version minor");
    log.SetVersion(cmn::BRIXVersion(major, minor));
    ReadNetworks(in, log);
    ReadOutputPaths(in, log);
    const std::uint32_t songs = in.ReadCount(kMinimumSongSize, "song count");
    std::set<std::string> ids;
    for (std::uint32_t i = 0; i < songs; ++i) {
        SongLog song = ReadSong(in, log.GetVersion().GetFileVersion(), ids);
        if (log.HasSongLog(song.GetSongNumber())) {
            in.Fail("song number", "\"" + song.GetSongNumber() + "\" appears twice");
        }
        log.AddSongLog(std::move(song));
    }
    if (in.GetBytesLeft() != 0) {
        in.Fail("end of file", std::to_string(in.GetBytesLeft()) + " bytes follow the last song");
    }
    return log;
}

std::int64_t ModificationTime(const std::filesystem::path& file) {
    std::error_code error;
    const std::filesystem::file_time_type time = std::filesystem::last_write_time(file, error);
    if (error) {
        return 0;
    }
    const auto system = std::chrono::file_clock::to_sys(time);
    return std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
}

}  // namespace

std::string LogDataFileName(const std::string& showKey, const cmn::BRIXVersion& version) {
    if (showKey.empty() || showKey.find_first_of(std::string("/\0", 2)) != std::string::npos) {
        throw std::invalid_argument("a show key for a change-log file name must not be empty or hold "
                                    "'/' or NUL: \"" + showKey + "\"");
    }
    return showKey + "-" + version.GetAsString() + std::string(kLogDataExtension);
}

std::optional<cmn::BRIXVersion> LogDataFileVersion(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    if (name.size() <= kLogDataExtension.size() || !name.ends_with(kLogDataExtension)) {
        return std::nullopt;
    }
    const std::string stem = name.substr(0, name.size() - kLogDataExtension.size());
    const std::size_t dash = stem.rfind('-');
    cmn::BRIXVersion version;
    if (!version.SetWithString(dash == std::string::npos ? stem : stem.substr(dash + 1))) {
        return std::nullopt;
    }
    return version;
}

std::optional<std::filesystem::path> FindLatestLogDataFile(const std::filesystem::path& folder) {
    std::optional<std::filesystem::path> latest;
    std::optional<cmn::BRIXVersion> latestVersion;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) {
            continue;
        }
        const std::optional<cmn::BRIXVersion> version = LogDataFileVersion(it->path());
        if (version && (!latestVersion || *version > *latestVersion ||
                        (*version == *latestVersion && it->path() < *latest))) {
            latest = it->path();
            latestVersion = version;
        }
    }
    return latest;
}

std::string WriteLogData(const ChangeLog& log) {
    std::ostringstream out;
    const cmn::FileVersion& version = log.GetVersion().GetFileVersion();
    out.write(kLogDataMagic.data(), static_cast<std::streamsize>(kLogDataMagic.size()));
    WriteLittleEndian(out, kLogDataFormat);
    WriteLittleEndian(out, version.major);
    WriteLittleEndian(out, version.minor);
    WriteCount(out, log.GetNetworks().size());
    for (const NetworkPath& network : log.GetNetworks()) {
        WriteLengthAndBytes(out, network.Name());
        WriteLengthAndBytes(out, network.NetworkId());
        WriteLengthAndBytes(out, network.IpAddress());
        WriteLittleEndian(out, static_cast<std::uint32_t>(network.Port()));
        WriteLittleEndian(out, static_cast<std::uint8_t>(network.IsTcp() ? 1 : 0));
    }
    WriteCount(out, log.GetOutputPaths().size());
    for (const auto& [id, path] : log.GetOutputPaths()) {
        WriteLengthAndBytes(out, id);
        WriteLengthAndBytes(out, path.GetName());
    }
    WriteCount(out, log.GetSongLogs().size());
    for (const SongLog& song : log.GetSongLogs()) {
        WriteLengthAndBytes(out, song.GetSongNumber());
        WriteLengthAndBytes(out, song.GetSongName());
        WriteCount(out, std::size(codes::changeLogCodes));
        const std::vector<cmn::BrixEvent> events = song.GetAllEvents();
        for (const unsigned char code : codes::changeLogCodes) {
            const auto count = std::count_if(events.begin(), events.end(),
                                             [&](const cmn::BrixEvent& e) { return e.code() == code; });
            cmn::BRIXSequence::WriteBinaryHeader(out, code, static_cast<std::size_t>(count));
            for (const cmn::BrixEvent& event : events) {
                if (event.code() == code) {
                    event.WriteBinary(out, version);
                }
            }
        }
    }
    return std::move(out).str();
}

ChangeLog ReadLogData(std::string_view bytes, const std::string& name) {
    cmn::BinaryReader in(bytes);
    try {
        return ReadFrom(in, name);
    } catch (const cmn::BinaryFormatError& error) {
        throw fennic::IoError(name + ": damaged change-log file: " + error.what());
    }
}

std::filesystem::path WriteLogDataFile(const std::filesystem::path& folder, const std::string& showKey,
                                       const ChangeLog& log) {
    const std::filesystem::path target = folder / LogDataFileName(showKey, log.GetVersion());
    fennic::ReplaceFileContents(target, WriteLogData(log));
    return target;
}

ChangeLog ReadLogDataFile(const std::filesystem::path& file) {
    const std::string name = file.string();
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        throw fennic::IoError(name + ": cannot be read: " + error.message());
    }
    if (size > kMaxLogDataFileSize) {
        throw fennic::IoError(name + ": cannot be read: " + std::to_string(size) +
                              " bytes is more than a change-log file holds");
    }
    std::ifstream in(file, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())) ||
        in.peek() != std::ifstream::traits_type::eof()) {
        throw fennic::IoError(name + ": cannot be read: it changed or vanished while being read");
    }
    ChangeLog log = ReadLogData(bytes, name);
    log.SetModificationTime(ModificationTime(file));
    return log;
}

ChangeLog LoadLatestLogData(const std::filesystem::path& folder, const ChangeLog& showLog) {
    const std::optional<std::filesystem::path> latest = FindLatestLogDataFile(folder);
    if (!latest) {
        return showLog;
    }
    const ChangeLog file = ReadLogDataFile(*latest);
    ChangeLog merged;
    merged.SetVersion(file.GetVersion());
    merged.SetModificationTime(file.GetModificationTime());
    merged.SetNetworks(file.GetNetworks());
    for (const auto& [id, path] : file.GetOutputPaths()) {
        merged.SetOutputPath(path);
    }
    for (const SongLog& showSong : showLog.GetSongLogs()) {
        SongLog song = file.HasSongLog(showSong.GetSongNumber())
                           ? file.GetSongLog(showSong.GetSongNumber())
                           : showSong;
        song.SetSongName(showSong.GetSongName());
        merged.AddSongLog(std::move(song));
    }
    for (const SongLog& fileSong : file.GetSongLogs()) {
        if (!merged.HasSongLog(fileSong.GetSongNumber())) {
            merged.AddSongLog(fileSong);
        }
    }
    return merged;
}

}  // namespace CL
