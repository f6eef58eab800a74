#pragma once

// Small songs built record by record for the position model's tests.

#include "HowToPlay.h"

#include <brix_core/ChangeLog.h>
#include <brix_core/Timeline.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testsongs {

constexpr unsigned int kResolution = 480;
constexpr std::uint32_t kBeat = 480;
constexpr std::uint32_t kBar = 4 * kBeat;
constexpr std::uint32_t kLastTick = 4 * kBar; // 7680

// The parts of a song, kept apart so that a case can spoil one of them.
struct SongParts {
    std::vector<TL::Tempo> tempos;
    std::vector<TL::BarsBeats> barsBeats;
    std::vector<TL::Meter> meters;
    std::vector<TL::Key> keys;
    std::vector<TL::PageNum> pages;
    std::uint32_t lastTick = kLastTick;
    std::vector<CL::Click> clicks;
    std::vector<CL::TempoScale> tempoScales;
    std::vector<CL::Transpose> transpositions;
    std::vector<CL::Marker> markers;
    std::string number = "12";
    std::string name = "Finale";
    unsigned int resolution = kResolution;

    TL::Timeline Timeline() const
    {
        TL::Timeline timeline;
        for (auto const& r : tempos) timeline.Add(r);
        for (auto const& r : barsBeats) timeline.Add(r);
        for (auto const& r : meters) timeline.Add(r);
        for (auto const& r : keys) timeline.Add(r);
        for (auto const& r : pages) timeline.Add(r);
        timeline.SetLastTickIndex(lastTick);
        return timeline;
    }

    CL::SongLog Log() const
    {
        CL::SongLog log(number, name);
        for (auto const& e : clicks) log.AddClick(e);
        for (auto const& e : tempoScales) log.AddTempoScale(e);
        for (auto const& e : transpositions) log.AddTranspose(e);
        for (auto const& e : markers) log.AddMarker(e);
        return log;
    }
};

// Four bars of 4/4 at 480 ticks per quarter note: 120 quarter notes per minute, 100
// from bar 3; C major, D major from bar 2.
inline SongParts FourBars()
{
    SongParts song;
    song.tempos = {TL::Tempo(0, 500000), TL::Tempo(2 * kBar, 600000)};
    for (std::uint32_t beat = 0; beat < 16; ++beat) {
        song.barsBeats.emplace_back(beat * kBeat, beat / 4 + 1, beat % 4 + 1);
    }
    song.meters = {TL::Meter(0, 4, 4, 24, 8)};
    song.keys = {TL::Key(0, 0, 0), TL::Key(kBar, 0, 2)};
    return song;
}

inline void Load(HowToPlay& model, SongParts const& song)
{
    model.SetData(song.Log(), song.Timeline(), song.resolution);
}

}  // namespace testsongs
