#pragma once

#include <brix_core/SongData.h>
#include <brix_core/Timeline.h>

#include <fennic/NumericStringCompare.h>

#include <map>
#include <string>

// The tempo maps of a show turned into seconds of one show-wide time line: each song's tempo changes
// become points (tick, seconds, seconds per tick), and the songs are laid end to end in the show's
// order, so a song starts where the previous one ends. Plain values; they only compute.

// The time line at one tick: the seconds there and the length of a tick from there on.
class TimeCodePoint {
public:
    TimeCodePoint() = default;
    TimeCodePoint(unsigned int tickIndex, double seconds, double secondsPerTick);

    unsigned int GetTickIndex() const { return tickIndex; }
    double GetSeconds() const { return seconds; }
    double GetSecondsPerTick() const { return secondsPerTick; }

private:
    unsigned int tickIndex = 0;
    double seconds = 0.0;
    double secondsPerTick = 0.0;
};

// One song's tempo points, and the seconds at its last tick.
class SongTimeCodeReference {
public:
    // No points; every tick converts to 0.0 seconds and the song ends at 0.0.
    SongTimeCodeReference() = default;
    // The first tempo's point carries startSeconds whatever its tick; each later point adds the ticks
    // since the previous tempo at the previous tempo's speed; of two tempos at one tick the later one
    // holds. A song without tempos runs at the default MIDI tempo (a quarter note a half second).
    SongTimeCodeReference(double startSeconds, const TL::Timeline& timeline, unsigned int resolution);

    // The point at the tick, from the tempo point at or before it. A tick before the first tempo point
    // takes the first point's seconds: the song's time starts at its first tempo.
    TimeCodePoint GetTimeCodeAtTickIndex(unsigned int tickIndex) const;
    double GetSongEndSeconds() const { return songEndSeconds; }

private:
    std::map<unsigned int, TimeCodePoint> points;
    double songEndSeconds = 0.0;
};

// The references of all songs of a show, by song key.
class ShowTimeCodeReference {
public:
    ShowTimeCodeReference() = default;
    // The first song (in the show's order: song numbers ordered as numbers) starts at 0.0; each next
    // song starts at the previous song's end.
    explicit ShowTimeCodeReference(const brix_midi::ShowData& show);

    // The song's reference; an unknown key is added with an empty reference, which is returned.
    SongTimeCodeReference& Get(const std::string& songKey);

private:
    friend class TimeCodeConverter;

    std::map<std::string, SongTimeCodeReference, fennic::NumericStringCompare> songs;
};
