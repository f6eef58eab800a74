#include "Fixtures.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using namespace player_test;

// The operator's flow-control exit, given when the walk reaches `tick` for the `occurrence`-th time.
struct Exit {
    unsigned int tick;
    int occurrence;
};

struct WalkCase {
    std::string name;
    CL::SongLog log;
    std::optional<unsigned int> seek;  // a user's seek before the walk
    std::vector<Exit> exits;
    std::string road;  // what is played, with caesura stops
};

CL::SongLog Log(std::initializer_list<std::function<void(CL::SongLog&)>> adds) {
    CL::SongLog log("1", "Song 1");
    for (const auto& add : adds) {
        add(log);
    }
    return log;
}

auto Cut(unsigned int s, unsigned int e) {
    return [=](CL::SongLog& log) { log.AddCut(CL::Cut(s, e, "B" + std::to_string(s), 0)); };
}
auto Repeat(unsigned int s, unsigned int e, int n) {
    return [=](CL::SongLog& log) { log.AddRepeat(CL::Repeat(s, e, "A" + std::to_string(s), n)); };
}
auto Vamp(unsigned int s, unsigned int e, int n) {
    return [=](CL::SongLog& log) { log.AddVamp(CL::Vamp(s, e, "@" + std::to_string(s), n)); };
}
auto Skip(unsigned int s, unsigned int e) {
    return [=](CL::SongLog& log) { log.AddFermata(CL::Fermata(s, e, "M" + std::to_string(s), 0)); };
}
auto Caesura(unsigned int t) {
    return [=](CL::SongLog& log) { log.AddCaesura(CL::Caesura(t, "N" + std::to_string(t), 0)); };
}

// Walks song "1" (two bars, ticks 0 to 3840) with the case's change log until its end.
std::string Walk(const WalkCase& c) {
    brix_midi::ShowData show;
    show.AddSong(MakeSong("1", 2));
    SetActiveLog(c.log);
    ActiveSongNumber active;
    active.Set("1");
    WalkingShowControl control(active, show);
    control.LoadSong();
    Road road;
    if (c.seek && !control.Seek(*c.seek)) {
        control.StopAtCaesura(road);
    }
    std::vector<int> seen(c.exits.size(), 0);
    for (int window = 0; window < 2000; ++window) {
        for (std::size_t i = 0; i < c.exits.size(); ++i) {
            if (control.GetTickIndex() == c.exits[i].tick && ++seen[i] == c.exits[i].occurrence) {
                control.FlowControlExit(control.GetTickIndex());
            }
        }
        if (!control.Advance(road)) {
            return road.Text();
        }
    }
    return road.Text() + " ...";
}

TEST(SongRoadWalk, PlaysTheTicksTheChangeLogAsksForInOrder) {
    const std::vector<WalkCase> cases{
        {"no events", Log({}), {}, {}, "0-3840"},
        {"cut", Log({Cut(960, 1920)}), {}, {}, "0-960 1920-3840"},
        {"cut at the song's start moves the start", Log({Cut(0, 480)}), {}, {}, "480-3840"},
        {"cut to the song's end ends it", Log({Cut(2880, 3840)}), {}, {}, "0-2880"},
        {"cut ending inside another cut", Log({Cut(960, 1440), Cut(1200, 1920)}), {}, {}, "0-960 1920-3840"},
        {"repeat twice", Log({Repeat(960, 1920, 2)}), {}, {}, "0-1920 960-3840"},
        {"repeat three times", Log({Repeat(960, 1920, 3)}), {}, {}, "0-1920 960-1920 960-3840"},
        {"repeat once plays once", Log({Repeat(960, 1920, 1)}), {}, {}, "0-3840"},
        {"repeat count 0 counts as once", Log({Repeat(960, 1920, 0)}), {}, {}, "0-3840"},
        {"vamp with a count", Log({Vamp(960, 1920, 2)}), {}, {}, "0-1920 960-3840"},
        {"endless vamp released in its third pass", Log({Vamp(960, 1920, 0)}), {}, {{1000, 3}},
         "0-1920 960-1920 960-3840"},
        {"counted vamp released in its first pass", Log({Vamp(960, 1920, 4)}), {}, {{1000, 1}}, "0-3840"},
        {"skip not taken", Log({Skip(960, 1920)}), {}, {}, "0-3840"},
        {"skip taken", Log({Skip(960, 1920)}), {}, {{1200, 1}}, "0-1200 1920-3840"},
        {"exit outside every range does nothing", Log({Skip(960, 1920)}), {}, {{500, 1}}, "0-3840"},
        {"caesura", Log({Caesura(960)}), {}, {}, "0-960 C960 960-3840"},
        {"caesura inside a cut is never reached", Log({Cut(960, 1920), Caesura(1200)}), {}, {}, "0-960 1920-3840"},
        {"caesura at a cut's start stops before the cut", Log({Cut(960, 1920), Caesura(960)}), {}, {},
         "0-960 C960 1920-3840"},
        {"cut landing on a caesura stops there", Log({Cut(960, 1920), Caesura(1920)}), {}, {},
         "0-960 C1920 1920-3840"},
        {"caesura at a repeat's start stops every pass", Log({Repeat(960, 1920, 2), Caesura(960)}), {}, {},
         "0-960 C960 960-1920 C960 960-3840"},
        {"caesura at a repeat's end stops after the last pass", Log({Repeat(960, 1920, 2), Caesura(1920)}),
         {}, {}, "0-1920 960-1920 C1920 1920-3840"},
        {"nested repeats multiply", Log({Repeat(0, 1920, 2), Repeat(480, 960, 2)}), {}, {},
         "0-960 480-1920 0-960 480-3840"},
        {"repeat starting where another ends", Log({Repeat(0, 960, 2), Repeat(960, 1920, 2)}), {}, {},
         "0-960 0-1920 960-3840"},
        {"overlapping repeats end", Log({Repeat(0, 1920, 2), Repeat(960, 2880, 2)}), {}, {},
         "0-1920 0-2880 960-3840"},
        {"cut of a repeat's tail still repeats", Log({Repeat(0, 1920, 2), Cut(1440, 1920)}), {}, {},
         "0-1440 0-1440 1920-3840"},
        {"cut at a repeat's start", Log({Repeat(960, 1920, 2), Cut(960, 1440)}), {}, {},
         "0-960 1440-1920 1440-3840"},
        {"skip left inside a vamp, the vamp goes on", Log({Vamp(0, 1920, 2), Skip(960, 1920)}), {}, {{1200, 1}},
         "0-1200 0-3840"},
        {"vamp inside a skip released, then the skip left", Log({Skip(0, 2880), Vamp(960, 1920, 0)}), {},
         {{1000, 2}, {2000, 1}}, "0-1920 960-2000 2880-3840"},
        {"seek into a repeat counts the partial pass", Log({Repeat(960, 1920, 2)}), 1200, {}, "1200-1920 960-3840"},
        {"seek into a cut lands at its end", Log({Cut(960, 1920)}), 1200, {}, "1920-3840"},
        {"seek onto a caesura stops there", Log({Caesura(960)}), 960, {}, "C960 960-3840"},
        {"seek to a repeat's end does not repeat", Log({Repeat(960, 1920, 2)}), 1920, {}, "1920-3840"},
        {"seek beyond the song lands at its end", Log({}), 9999, {}, ""},
        {"seek into an endless vamp loops it", Log({Vamp(960, 1920, 0)}), 1500, {{1000, 2}},
         "1500-1920 960-1920 960-3840"},
    };
    for (const WalkCase& c : cases) {
        EXPECT_EQ(Walk(c), c.road) << c.name;
    }
}

TEST(SongRoadWalk, EndlessVampWithoutReleaseNeverEnds) {
    const std::string road = Walk({"", Log({Vamp(960, 1920, 0)}), {}, {}, ""});
    EXPECT_EQ(road.substr(0, 30), "0-1920 960-1920 960-1920 960-1");
    EXPECT_EQ(road.substr(road.size() - 4), " ...");
}

}  // namespace
