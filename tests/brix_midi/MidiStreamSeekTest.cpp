#include "TarnwickMidiStream.h"
#include "TestMidiBuffer.h"
#include "StreamSongs.h"

#include <brix_core/ShowFolder.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace stream_songs;

constexpr signed char kTransposition = 2;

unsigned char PortCountOf(const brix_midi::SongData& song)
{
    unsigned short highest = 0;
    for (const auto& [id, track] : song.GetVoiceData()) {
        highest = std::max(highest, id);
    }
    return static_cast<unsigned char>((highest >> 4) + 1);
}

// What a stream sends as its held state at a tick index: everything EnqueueInitialEvents puts into an
// empty buffer there (switches, controllers, pitch bend, program and notes of every track).
std::vector<Sent> HeldStateBySeeking(const brix_midi::SongData& song, unsigned int tick)
{
    TarnwickMidiStream stream(song);
    stream.Seek(tick);
    VectorMidiBuffer held(PortCountOf(song));
    stream.EnqueueInitialEvents(tick, kTransposition, held);
    return SentOf(held.added);
}

// The same, after playing the song from its beginning one MIDI clock per buffer.
std::map<unsigned int, std::vector<Sent>> HeldStatesByPlaying(const brix_midi::SongData& song,
                                                               const std::set<unsigned int>& ticks)
{
    const unsigned int clock = std::max(1, song.GetResolution() / 24);
    TarnwickMidiStream stream(song);
    stream.Seek(0);
    VectorMidiBuffer played(PortCountOf(song));
    std::map<unsigned int, std::vector<Sent>> states;
    unsigned int position = 0;
    for (unsigned int tick : ticks) {
        while (position < tick) {
            position = std::min(position + clock, tick);
            played.Clear();
            stream.EnqueueEvents(position, kTransposition, played, false);
        }
        VectorMidiBuffer held(PortCountOf(song));
        stream.EnqueueInitialEvents(tick, kTransposition, held);
        states[tick] = SentOf(held.added);
    }
    return states;
}

// The ends of the song, every bar start and its neighbours, each track's last event with the bar
// starts after it, and a stride through the song.
std::set<unsigned int> InterestingTicks(const brix_midi::SongData& song)
{
    const unsigned int last = song.GetTimeline().GetLastTickIndex();
    std::set<unsigned int> ticks{0, song.GetSongStartTickIndex(), last, last + 1};
    std::vector<unsigned int> barStarts;
    for (const auto& beat : song.GetTimeline().GetBarsBeats()) {
        if (beat.beat == 1) {
            barStarts.push_back(beat.tick);
            ticks.insert({beat.tick, beat.tick + 1, beat.tick > 0 ? beat.tick - 1 : 0});
        }
    }
    for (const auto& [id, track] : song.GetVoiceData()) {
        if (!track->GetEvents().empty()) {
            const unsigned int end = track->GetEvents().back().tick;
            ticks.insert({end, end + 1});
        }
    }
    for (unsigned int tick = 0; tick <= last; tick += 97) {
        ticks.insert(tick);
    }
    return ticks;
}

void ExpectSeekingEqualsPlaying(const brix_midi::SongData& song)
{
    const auto ticks = InterestingTicks(song);
    const auto played = HeldStatesByPlaying(song, ticks);
    for (unsigned int tick : ticks) {
        EXPECT_EQ(HeldStateBySeeking(song, tick), played.at(tick)) << "song " << song.GetSongNumber() << " tick " << tick;
    }
}

// The song with each track cut off after its third bar, leaving notes and controllers held: a track
// that falls silent long before the song ends.
brix_midi::SongData WithTracksFallingSilent(const brix_midi::SongData& song)
{
    std::vector<unsigned int> barStarts;
    for (const auto& beat : song.GetTimeline().GetBarsBeats()) {
        if (beat.beat == 1) {
            barStarts.push_back(beat.tick);
        }
    }
    const unsigned int end = barStarts.size() > 3 ? barStarts[3] : song.GetTimeline().GetLastTickIndex() / 2;
    brix_midi::SongData cut = song;
    for (const auto& [id, track] : song.GetVoiceData()) {
        std::vector<brix_midi::VoiceEvent> events;
        std::copy_if(track->GetEvents().begin(), track->GetEvents().end(), std::back_inserter(events),
                     [end](const brix_midi::VoiceEvent& e) { return e.tick < end; });
        cut.SetVoiceTrack(std::make_shared<brix_midi::VoiceTrack>(id, track->GetTrackName(), events,
                                                                  track->GetDefaultProgramChange(),
                                                                  track->GetNoteRange()));
    }
    return cut;
}

TEST(MidiStreamSeek, EverySongOfTheDemoShowHoldsAfterASeekWhatPlayingFromTheStartHolds)
{
    const auto loaded = brix_midi::LoadShowFolder(BRIX_DEMO_SHOW_DIR);
    ASSERT_FALSE(loaded.show.GetSongs().empty());
    for (const auto& [number, song] : loaded.show.GetSongs()) {
        ExpectSeekingEqualsPlaying(*song);
        ExpectSeekingEqualsPlaying(WithTracksFallingSilent(*song));
    }
}

// Track 0 sets everything in its first bar and never plays again; track 1 plays to the end.
brix_midi::SongData EarlyEndingSong()
{
    Track early{0, {On(0, 0, 60), On(0, 0, 20), CC(10, 0, 7, 80), CC(10, 0, 64, 127), PC(10, 0, 5), PB(20, 0, 0, 70)}};
    Track late{1, {}};
    for (unsigned int bar = 0; bar < 8; ++bar) {
        late.events.push_back(On(bar * kBar, 1, 50 + bar));
        late.events.push_back(Off(bar * kBar + 960, 1, 50 + bar));
    }
    return MakeSong({early, late}, 8);
}

TEST(MidiStreamSeek, ATrackThatEndedLongAgoKeepsItsStateAfterASeek)
{
    ExpectSeekingEqualsPlaying(EarlyEndingSong());

    const std::vector<Sent> expected{{0, 0xB0, 7, 80}, {0, 0xB0, 64, 127}, {0, 0xE0, 0, 70}, {0, 0xC0, 5, 0},
                                     {0, 0x90, 22, 100}, {0, 0x90, 62, 100}, {0, 0xE1, 0, 0x40}};
    for (unsigned int tick : {kBar * 3, kBar * 6 + 961, kBar * 8}) {
        EXPECT_EQ(HeldStateBySeeking(EarlyEndingSong(), tick), expected) << "tick " << tick;
    }
}

TEST(MidiStreamSeek, TheHeldStateHoldsExactlyTheEventsBeforeTheTick)
{
    Track track{0, {On(kBar, 0, 60), Off(kBar + 1, 0, 60), On(kBar + 1, 0, 64)}};
    const auto song = MakeSong({track});
    const Sent centre{0, 0xE0, 0, 0x40};
    struct Case {
        unsigned int tick;
        std::vector<Sent> held;
    };
    const std::vector<Case> cases{
        {0, {centre}},
        {kBar, {centre}},  // the event at the tick itself belongs to the next fill
        {kBar + 1, {centre, {0, 0x90, 62, 100}}},
        {kBar + 2, {centre, {0, 0x90, 66, 100}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HeldStateBySeeking(song, c.tick), c.held) << "tick " << c.tick;
    }
}

TEST(MidiStreamSeek, ACopyKeepsItsOwnPositionAndState)
{
    const auto song = EarlyEndingSong();
    TarnwickMidiStream original(song);
    original.Seek(kBar * 2);
    TarnwickMidiStream copy = original;
    original.Seek(0);
    VectorMidiBuffer fromCopy(1);
    copy.EnqueueInitialEvents(kBar * 2, kTransposition, fromCopy);
    EXPECT_EQ(SentOf(fromCopy.added), HeldStateBySeeking(song, kBar * 2));
}

}  // namespace
