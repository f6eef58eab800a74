#include "HowToPlay.h"
#include "PositionSnapshot.h"
#include "UserControls.h"

#include <brix_core/ShowFolder.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// The song's change log with regions laid over its own bars: two transpositions (the
// second ending on the last tick), two tempo scales (one pushing a 1.7 user scale
// past the limit), a click region from the second beat of bar 2, three markers.
CL::SongLog RegionsOver(brix_midi::SongData const& song, std::vector<std::uint32_t> const& measures)
{
    std::uint32_t const last = song.GetTimeline().GetLastTickIndex();
    std::size_t const k = measures.size();
    std::uint32_t secondBeatOfBar2 = measures[1];
    for (auto const& beat : song.GetTimeline().GetBarsBeats()) {
        if (beat.tick > measures[1] && beat.beat == 2) {
            secondBeatOfBar2 = beat.tick;
            break;
        }
    }
    CL::SongLog log(song.GetSongNumber(), song.GetSongName());
    log.AddTranspose(CL::Transpose(measures[1], measures[3], "C1", 2));
    log.AddTranspose(CL::Transpose(measures[k / 2], last, "C2", -1));
    log.AddTempoScale(CL::TempoScale(secondBeatOfBar2, measures[k / 2], "F1", 1.25));
    log.AddTempoScale(CL::TempoScale(measures[k - 1], last, "F2", 0.8));
    log.AddClick(CL::Click(secondBeatOfBar2, measures[std::min<std::size_t>(4, k - 1)], "L1", 4));
    log.AddMarker(CL::Marker(measures[0], "Top", "E1"));
    log.AddMarker(CL::Marker(measures[2], "Verse", "E2"));
    log.AddMarker(CL::Marker(measures[k - 1], "Tag", "E3"));
    return log;
}

// The ends, every bar/beat line, every tempo and meter change and every region
// boundary with their neighbours, and a stride through the whole song.
std::set<std::uint32_t> PositionsOf(brix_midi::SongData const& song, CL::SongLog const& log)
{
    TL::Timeline const& timeline = song.GetTimeline();
    std::uint32_t const last = timeline.GetLastTickIndex();
    std::set<std::uint32_t> ticks;
    auto const around = [&](std::uint32_t tick) {
        for (std::uint32_t t : {tick - 1, tick, tick + 1}) {
            if (t <= last) {
                ticks.insert(t);
            }
        }
    };
    ticks.insert(0);
    around(last);
    for (auto const& r : timeline.GetBarsBeats()) around(r.tick);
    for (auto const& r : timeline.GetTempos()) around(r.tick);
    for (auto const& r : timeline.GetMeters()) around(r.tick);
    for (auto const& r : timeline.GetKeys()) around(r.tick);
    for (auto const& r : timeline.GetPageNums()) around(r.tick);
    for (auto const& e : log.GetTranspositions()) { around(e.start()); around(e.end()); }
    for (auto const& e : log.GetTempoScales()) { around(e.start()); around(e.end()); }
    for (auto const& e : log.GetClicks()) { around(e.start()); around(e.end()); }
    for (std::uint32_t t = 0; t <= last; t += 37) ticks.insert(t);
    return ticks;
}

TEST(HowToPlayOnTheDemoShow, SeekAnswersEveryQueryAsAdvancingFromTheStartDoes)
{
    brix_midi::LoadedShow const loaded = brix_midi::LoadShowFolder(BRIX_DEMO_SHOW_DIR);
    ASSERT_FALSE(loaded.show.GetSongs().empty());
    for (auto const& [number, song] : loaded.show.GetSongs()) {
        SCOPED_TRACE("song " + number);
        std::vector<std::uint32_t> measures;
        for (auto const& beat : song->GetTimeline().GetBarsBeats()) {
            if (beat.beat == 1) measures.push_back(beat.tick);
        }
        ASSERT_GE(measures.size(), 5u);
        CL::SongLog const log = RegionsOver(*song, measures);

        UserControls controls;
        controls.SetTempoScale(1.7);
        controls.SetTransposition(3);
        HowToPlay advancing(controls);
        HowToPlay seeking(controls);
        advancing.SetData(log, song->GetTimeline(), song->GetResolution());
        seeking.SetData(log, song->GetTimeline(), song->GetResolution());

        std::set<std::uint32_t> const positions = PositionsOf(*song, log);
        std::map<std::uint32_t, std::string> advanced;
        for (std::uint32_t tick : positions) {
            advancing.AdvanceToTickIndex(tick);
            advanced[tick] = Snapshot(advancing);
        }
        // Seek backwards through the song, so that every seek starts from a later position.
        for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
            seeking.Seek(*it);
            ASSERT_EQ(Snapshot(seeking), advanced[*it]);
        }
    }
}

} // namespace
