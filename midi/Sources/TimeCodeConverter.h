#pragma once

#include "TimeCodeReference.h"

#include <string>
#include <utility>

// TimeCodeConverter: the seconds of the show-wide time line at a tick of the current song, for MIDI
// time code. Built once for a show, switched to each song as it is loaded.
//
// A plain value, not thread-safe. A copy converts for the same song as its source, from its own copy
// of the show's references. Before the first UpdateToNewSong every tick converts to 0.0 seconds.
class TimeCodeConverter {
public:
    explicit TimeCodeConverter(const brix_midi::ShowData& show);

    TimeCodeConverter(const TimeCodeConverter& other);
    TimeCodeConverter(TimeCodeConverter&& other) noexcept = default;
    TimeCodeConverter& operator=(const TimeCodeConverter& other);
    TimeCodeConverter& operator=(TimeCodeConverter&& other) noexcept = default;

    // resolution: ticks per quarter note of the song. An unknown key gives a song whose ticks all
    // convert to 0.0 seconds.
    void UpdateToNewSong(const std::string& songKey, unsigned int resolution);

    double ConvertTickIndexToSeconds(unsigned int tickIndex) const;
    // The seconds at the tick and at one MIDI clock (resolution / 24 ticks) later.
    std::pair<double, double> GetTimeCodeSecondsPair(unsigned int tickIndex) const;

private:
    // The entry of showReference that `song` (an entry of another reference map) stands for.
    SongTimeCodeReference* FindSameSong(const ShowTimeCodeReference& otherReference,
                                        const SongTimeCodeReference* song);

    ShowTimeCodeReference showReference;
    SongTimeCodeReference* currentSong = nullptr;
    unsigned int resolution = 0;
};
