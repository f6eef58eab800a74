#pragma once

#include <brix_core/ChangeLog.h>
#include <brix_core/SongData.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Builders shared by the change-log editor and ".logdata" tests.
namespace change_log_fixtures {

// 480 ticks per quarter note in 4/4: a beat every 480 ticks, a bar every 1920.
inline constexpr std::uint32_t kBeat = 480;
inline constexpr std::uint32_t kBar = 4 * kBeat;

// A song of whole 4/4 bars: one bars-and-beats record per beat, the last tick index at the end of
// the last bar.
inline std::shared_ptr<brix_midi::SongData> MakeSong(const std::string& number, std::uint32_t bars) {
    TL::Timeline timeline;
    for (std::uint32_t beat = 0; beat < 4 * bars; ++beat) {
        timeline.Add(TL::BarsBeats(beat * kBeat, beat / 4 + 1, beat % 4 + 1));
    }
    timeline.SetLastTickIndex(bars * kBar);
    auto song = std::make_shared<brix_midi::SongData>();
    song->SetSongNumber(number);
    song->SetSongName("Song " + number);
    song->SetResolution(kBeat);
    song->SetTimeline(std::move(timeline));
    return song;
}

// Song "1" of 8 bars (ends at tick 15360) and song "2" of 2 bars (ends at tick 3840).
inline brix_midi::ShowData MakeShow() {
    brix_midi::ShowData show;
    show.AddSong(MakeSong("1", 8));
    show.AddSong(MakeSong("2", 2));
    return show;
}

// One event of every kind, with every field the kind uses set.
inline std::vector<cmn::BrixEvent> EveryKind() {
    cmn::BrixEvent caesura = CL::Caesura(2000, "N1", 0);
    caesura.SetVersionTarget(2);
    return {
        CL::Click(0, 1920, "L1", 2),
        CL::TempoScale(1920, 3840, "F1", 0.95),
        CL::Transpose(3840, 5760, "C1", -2),
        CL::Marker(960, "Verse", "E1"),
        CL::Cut(5760, 7680, "B1", 0),
        CL::Repeat(7680, 9600, "A1", 3),
        CL::Vamp(9600, 11520, "@1", 0),
        CL::Fermata(11520, 13440, "M1", 0),
        caesura,
        CL::Osc(480, "S1", CL::OscProperties("/brix/volume -6", "NETWORK0")),
    };
}

// The events sorted by id: the order-free form in which two event sets are compared.
inline std::vector<cmn::BrixEvent> ById(std::vector<cmn::BrixEvent> events) {
    std::sort(events.begin(), events.end(),
              [](const cmn::BrixEvent& a, const cmn::BrixEvent& b) { return a.EventId() < b.EventId(); });
    return events;
}

}  // namespace change_log_fixtures
