#pragma once

// The generated song of the timeline benchmarks: 300 bars of 4/4 with its change log.

#include <brix_core/ChangeLog.h>
#include <brix_core/Timeline.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace bench_song {

constexpr std::uint32_t kBeat = 480;
constexpr std::uint32_t kBar = 4 * kBeat;
constexpr std::uint32_t kBars = 300;

struct Song {
    TL::Timeline timeline;
    TL::TimelineSequence<TL::BarsBeats> barsBeats;
    CL::SongLog log{"1", "Generated"};
};

// 300 bars of 4/4 with a key, tempo and meter change every 25 bars, and 200 events: every 10 bars a
// skip, vamp, cut, repeat, click, tempo scale and transposition of one bar (7 x 30 = 210 would be too
// many, so the first 20 groups only, 140), 30 markers, 20 caesuras and 10 OSC cues.
inline Song Generate()
{
    Song song;
    std::vector<TL::BarsBeats> beats;
    for (std::uint32_t bar = 0; bar < kBars; ++bar) {
        for (std::uint32_t beat = 0; beat < 4; ++beat)
            beats.emplace_back(bar * kBar + beat * kBeat, bar + 1, beat + 1);
        if (bar % 25 == 0) {
            song.timeline.Add(TL::Key(bar * kBar, 0, static_cast<std::int16_t>(bar / 25 % 7)));
            song.timeline.Add(TL::Tempo(bar * kBar, 500000 - bar * 200));
            song.timeline.Add(TL::Meter(bar * kBar, 4, 4, 24, 8));
        }
    }
    song.barsBeats = TL::TimelineSequence<TL::BarsBeats>(std::move(beats));
    int events = 0;
    for (std::uint32_t group = 0; group < 20; ++group) {
        const std::uint32_t at = group * 15 * kBar;
        const std::string n = std::to_string(group);
        song.log.AddFermata(CL::Fermata(at, at + kBar, "M" + n, 0));
        song.log.AddVamp(CL::Vamp(at + 2 * kBar, at + 3 * kBar, "@" + n, 0));
        song.log.AddCut(CL::Cut(at + 4 * kBar, at + 5 * kBar, "B" + n, 0));
        song.log.AddRepeat(CL::Repeat(at + 6 * kBar, at + 7 * kBar, "A" + n, 2));
        song.log.AddClick(CL::Click(at, at + kBar, "L" + n, 8));
        song.log.AddTempoScale(CL::TempoScale(at + kBar, at + 2 * kBar, "F" + n, 0.9));
        song.log.AddTranspose(CL::Transpose(at + 3 * kBar, at + 4 * kBar, "C" + n, 1));
        events += 7;
    }
    for (std::uint32_t i = 0; i < 30; ++i, ++events)
        song.log.AddMarker(CL::Marker(i * 10 * kBar + kBeat, "Marker " + std::to_string(i), "E" + std::to_string(i)));
    for (std::uint32_t i = 0; i < 20; ++i, ++events)
        song.log.AddCaesura(CL::Caesura(i * 15 * kBar + 8 * kBar, "N" + std::to_string(i), 0));
    for (std::uint32_t i = 0; i < 10; ++i, ++events)
        song.log.AddOsc(CL::Osc(i * 30 * kBar + 9 * kBar, "S" + std::to_string(i), CL::OscProperties("/go", "N1")));
    std::printf("generated song: %u bars, %d change-log events\n", kBars, events);
    return song;
}

}  // namespace bench_song
