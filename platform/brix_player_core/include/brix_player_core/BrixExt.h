#pragma once

#include <brix_core/ChangeLog.h>

#include <fennic/Exceptions.h>

#include <string>

// Song stepping over the active change log's song order, and the ends of the road it throws at.
namespace brix_ext {

// There is no song after the current one.
class EndOfShow : public fennic::RuntimeError {
public:
    EndOfShow() : fennic::RuntimeError("End of show") {}
};

// There is no song before the current one.
class StartOfShow : public fennic::RuntimeError {
public:
    StartOfShow() : fennic::RuntimeError("Start of show") {}
};

// There is no marker to the right of the position.
class NoNextMarker : public fennic::RuntimeError {
public:
    NoNextMarker() : fennic::RuntimeError("No next marker") {}
};

// The song number after / before songNumber in the change log's song order. Throw EndOfShow /
// StartOfShow at the ends, and std::out_of_range naming the song when the log has no such song.
std::string get_song_after(const CL::ChangeLog& changeLog, const std::string& songNumber);
std::string get_song_before(const CL::ChangeLog& changeLog, const std::string& songNumber);

}  // namespace brix_ext
