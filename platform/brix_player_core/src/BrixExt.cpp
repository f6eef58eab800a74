#include <brix_player_core/BrixExt.h>

#include <algorithm>
#include <stdexcept>

namespace brix_ext {

namespace {

std::vector<CL::SongLog>::const_iterator Find(const CL::ChangeLog& changeLog,
                                              const std::string& songNumber) {
    const auto& logs = changeLog.GetSongLogs();
    const auto found = std::find_if(logs.begin(), logs.end(), [&](const CL::SongLog& log) {
        return log.GetSongNumber() == songNumber;
    });
    if (found == logs.end()) {
        throw std::out_of_range("change log has no song " + songNumber);
    }
    return found;
}

}  // namespace

std::string get_song_after(const CL::ChangeLog& changeLog, const std::string& songNumber) {
    const auto found = Find(changeLog, songNumber);
    if (std::next(found) == changeLog.GetSongLogs().end()) {
        throw EndOfShow();
    }
    return std::next(found)->GetSongNumber();
}

std::string get_song_before(const CL::ChangeLog& changeLog, const std::string& songNumber) {
    const auto found = Find(changeLog, songNumber);
    if (found == changeLog.GetSongLogs().begin()) {
        throw StartOfShow();
    }
    return std::prev(found)->GetSongNumber();
}

}  // namespace brix_ext
