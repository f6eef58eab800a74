#include "HowToPlay.h"
#include "PositionSnapshot.h"
#include "TestSongs.h"
#include "UserControls.h"

#include <brix_core/ChangeLog.h>
#include <brix_core/Timeline.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace testsongs;

TEST(HowToPlay, SetDataRefusesASongThatWouldDivideByZeroOrReadAMissingRecord)
{
    struct Case {
        char const* name;
        std::function<void(SongParts&)> spoil;
        char const* text;
    };
    double const nan = std::numeric_limits<double>::quiet_NaN();
    double const inf = std::numeric_limits<double>::infinity();
    std::vector<Case> const cases = {
        {"resolution below 24", [](SongParts& s) { s.resolution = 23; }, "ticks per quarter note must be from 24 to 65535, not 23"},
        {"resolution beyond 16 bits", [](SongParts& s) { s.resolution = 65536 + 480; }, "not 66016"},
        {"no tempo", [](SongParts& s) { s.tempos.clear(); }, "the timeline has no tempo"},
        {"no bars", [](SongParts& s) { s.barsBeats.clear(); }, "the timeline has no bars and beats"},
        {"no meter", [](SongParts& s) { s.meters.clear(); }, "the timeline has no meter"},
        {"no key", [](SongParts& s) { s.keys.clear(); }, "the timeline has no key"},
        {"tempo of 0", [](SongParts& s) { s.tempos.emplace_back(960, 0); }, "the tempo at tick 960 has 0 microseconds"},
        {"0 clocks per click", [](SongParts& s) { s.meters.emplace_back(1920, 4, 4, 0, 8); },
         "the meter at tick 1920 has 0 clocks per click"},
        {"0 notated 32nds", [](SongParts& s) { s.meters.emplace_back(1920, 4, 4, 24, 0); },
         "the meter at tick 1920 has 0 notated 32nd notes per click"},
        {"tempo scale 0", [](SongParts& s) { s.tempoScales.emplace_back(0, 960, "F1", 0.0); }, "the tempo scale at tick 0"},
        {"tempo scale negative", [](SongParts& s) { s.tempoScales.emplace_back(480, 960, "F1", -1.0); },
         "the tempo scale at tick 480"},
        {"tempo scale NaN", [nan](SongParts& s) { s.tempoScales.emplace_back(0, 960, "F1", nan); }, "finite and above 0"},
        {"tempo scale infinite", [inf](SongParts& s) { s.tempoScales.emplace_back(0, 960, "F1", inf); }, "finite and above 0"},
        {"click of 0", [](SongParts& s) { s.clicks.emplace_back(960, 1920, "L1", 0); },
         "the click at tick 960 of 0 notated 32nd notes comes to less than 1 clock per click in the meter at tick 0"},
        {"click of 1 in a later meter of 32 notated 32nds",
         [](SongParts& s) {
             s.meters.emplace_back(3840, 4, 4, 24, 32);
             s.clicks.emplace_back(960, 5000, "L1", 1);
         },
         "in the meter at tick 3840"},
    };
    for (auto const& c : cases) {
        SongParts song = FourBars();
        c.spoil(song);
        UserControls controls;
        HowToPlay model(controls);
        try {
            Load(model, song);
            ADD_FAILURE() << c.name << ": no exception";
        } catch (HowToPlayException const& e) {
            EXPECT_NE(std::string(e.what()).find(c.text), std::string::npos) << c.name << ": " << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("HowToPlay::SetData: ", 0), 0u) << c.name;
        }
    }
}

TEST(HowToPlay, SetDataAcceptsAClickThatFitsEveryMeterItSpans)
{
    SongParts song = FourBars();
    song.meters.emplace_back(3840, 4, 4, 24, 32);
    song.clicks.emplace_back(960, 3840, "L1", 1); // ends where the 32-per-click meter begins
    UserControls controls;
    HowToPlay model(controls);
    ASSERT_NO_THROW(Load(model, song));
    model.Seek(1000);
    EXPECT_EQ(model.GetClocksPerClick(), 3);
}

TEST(HowToPlay, RefusedSongLeavesTheLoadedSongAndPositionAsTheyWere)
{
    UserControls controls;
    HowToPlay model(controls);
    Load(model, FourBars());
    model.AdvanceToTickIndex(5000);
    SongParts bad = FourBars();
    bad.name = "Broken";
    bad.meters.front().clocks_per_click = 0;
    EXPECT_THROW(Load(model, bad), HowToPlayException);
    EXPECT_EQ(model.GetTickIndex(), 5000u);
    EXPECT_EQ(model.GetSongTitle(), "12 Finale");
    EXPECT_EQ(model.GetClocksPerClick(), 24);
    EXPECT_EQ(model.GetTempo().microsecondsPerQuarter, 600000u);
}

TEST(HowToPlay, TempoScaleIsLimitedTheSameWayInEveryQuery)
{
    struct Case {
        double user;
        double regionFactor; // 0: no region
        double effective;
        char const* percent;
        char const* tempo;
    };
    std::vector<Case> const cases = {
        {1.0, 0.0, 1.0, "100%\n", "120.00"},
        {3.0, 0.0, 2.0, "200%\n", "240.00"},
        {0.25, 0.0, 0.5, "50%\n", "60.00"},
        {1.0, 0.4, 0.5, "50%\n", "60.00"},
        {1.5, 1.2, 1.8, "180%\n", "216.00"},
        {1.5, 2.0, 2.0, "200%\n", "240.00"},
        {2.0, 0.3, 0.6, "60%\n", "72.00"},
    };
    for (auto const& c : cases) {
        SongParts song = FourBars();
        if (c.regionFactor != 0.0) {
            song.tempoScales.emplace_back(0, kBar, "F1", c.regionFactor);
        }
        UserControls controls;
        controls.SetTempoScale(c.user);
        HowToPlay model(controls);
        Load(model, song);
        model.AdvanceToTickIndex(100);
        SCOPED_TRACE(testing::Message() << "user " << c.user << " region " << c.regionFactor);
        EXPECT_DOUBLE_EQ(model.GetTempoScaleValue(), c.effective);
        EXPECT_DOUBLE_EQ(model.GetTempoScaleValueAtTickIndex(100), c.effective);
        EXPECT_DOUBLE_EQ(model.GetClockTime(), 0.5 / 24.0 / c.effective);
        EXPECT_DOUBLE_EQ(model.GetLastSeekClockTime(), 0.5 / 24.0 / c.effective);
        EXPECT_DOUBLE_EQ(model.GetPreAdvanceTempoScale(), c.effective);
        EXPECT_EQ(model.GetTempoScaleString(), c.percent);
        EXPECT_EQ(model.GetTempoString(), c.tempo);
        EXPECT_EQ(model.GetTempoInteger(), std::lround(120.0 * c.effective));
    }
}

TEST(HowToPlay, AdvancingBeyondTheLastTickStopsAtTheLastTick)
{
    UserControls controls;
    HowToPlay model(controls);
    Load(model, FourBars());
    model.AdvanceToTickIndex(kLastTick + 1000);
    EXPECT_EQ(model.GetTickIndex(), kLastTick);
    model.Seek(std::numeric_limits<unsigned int>::max());
    EXPECT_EQ(model.GetTickIndex(), kLastTick);
    EXPECT_EQ(model.GetLastTickIndex(), kLastTick);
}

TEST(HowToPlay, AdvancingBackwardsSeeksAndReportsEveryChangeOnceMore)
{
    SongParts song = FourBars();
    song.tempoScales.emplace_back(2 * kBar, kLastTick, "F1", 1.5);
    song.transpositions.emplace_back(2 * kBar, kLastTick, "C1", 3);
    UserControls controls;
    HowToPlay advanced(controls);
    HowToPlay sought(controls);
    Load(advanced, song);
    Load(sought, song);
    for (HowToPlay* model : {&advanced, &sought}) {
        model->AdvanceToTickIndex(4000);
        model->UpdateClockTime();
        model->UpdateBar();
        model->UpdateKey();
    }
    advanced.AdvanceToTickIndex(1000);
    sought.Seek(1000);
    for (HowToPlay* model : {&advanced, &sought}) {
        EXPECT_EQ(model->GetTickIndex(), 1000u);
        EXPECT_DOUBLE_EQ(model->GetPreSeekTempoScale(), 1.5);
        EXPECT_EQ(model->GetPreSeekPitchShift(), 3);
        EXPECT_DOUBLE_EQ(model->GetLastSeekClockTime(), 0.5 / 24.0);
        EXPECT_EQ(model->GetLastSeekClocksPerClick(), 24);
        EXPECT_TRUE(model->UpdateTempo());  // first element: once
        EXPECT_FALSE(model->UpdateTempo());
        EXPECT_TRUE(model->UpdateBar());    // beyond the first element: until the next step
        EXPECT_TRUE(model->UpdateBar());
        EXPECT_TRUE(model->UpdateKey());
    }
}

TEST(HowToPlay, AdvancingTwiceToTheSameTickReportsTheChangeAgain)
{
    UserControls controls;
    HowToPlay model(controls);
    Load(model, FourBars());
    model.AdvanceToTickIndex(kBar);
    EXPECT_TRUE(model.UpdateBar());
    EXPECT_TRUE(model.UpdateKey());
    model.AdvanceToTickIndex(kBar);
    EXPECT_TRUE(model.UpdateBar());
    EXPECT_TRUE(model.UpdateKey());
    model.AdvanceToTickIndex(kBar + 10);
    EXPECT_FALSE(model.UpdateBar());
    EXPECT_FALSE(model.UpdateKey());
}

TEST(HowToPlay, ChangeQueriesReportTheStepThatMovedTheirElement)
{
    SongParts song = FourBars();
    song.meters.emplace_back(3 * kBar, 3, 4, 24, 8);
    song.pages = {TL::PageNum(0, 1), TL::PageNum(2 * kBar, 2)};
    song.markers = {CL::Marker(0, "Intro", "E1"), CL::Marker(3 * kBar, "Coda", "E2")};
    UserControls controls;
    HowToPlay model(controls);
    Load(model, song);

    struct Step {
        std::uint32_t tick;
        bool bar, key, meter, page, marker, tempo, clockTime, clocksPerClick;
    };
    // After SetData every element is on its first element: reported once.
    std::vector<Step> const steps = {
        {0, true, true, true, true, true, true, false, false},
        {100, false, false, false, false, false, false, false, false},
        {kBeat, true, false, false, false, false, false, false, false},
        {kBar, true, true, false, false, false, false, false, false},
        {2 * kBar + 5, true, false, false, true, false, true, true, false},
        {3 * kBar, true, false, true, false, true, false, false, true},
        {3 * kBar + 1, false, false, false, false, false, false, false, false},
    };
    for (auto const& s : steps) {
        model.AdvanceToTickIndex(s.tick);
        SCOPED_TRACE(testing::Message() << "tick " << s.tick);
        EXPECT_EQ(model.UpdateBar(), s.bar);
        EXPECT_EQ(model.UpdateKey(), s.key);
        EXPECT_EQ(model.UpdateMeter(), s.meter);
        EXPECT_EQ(model.UpdatePageNumber(), s.page);
        EXPECT_EQ(model.UpdateMarker(), s.marker);
        EXPECT_EQ(model.UpdateTempo(), s.tempo);
        // Combined queries after the single ones: a first-element report is spent.
        EXPECT_EQ(model.UpdateClockTime(), s.clockTime);
        EXPECT_EQ(model.UpdateClocksPerClick(), s.clocksPerClick);
    }
}

TEST(HowToPlay, SetMarkerUpdatedArmsOrSilencesTheFirstMarker)
{
    SongParts song = FourBars();
    song.markers = {CL::Marker(0, "Intro", "E1")};
    UserControls controls;
    HowToPlay model(controls);
    Load(model, song);
    model.SetMarkerUpdated(true);
    EXPECT_FALSE(model.UpdateMarker());
    model.SetMarkerUpdated(false);
    EXPECT_TRUE(model.UpdateMarker());
    EXPECT_FALSE(model.UpdateMarker());
}

TEST(HowToPlay, RegionEndingOnTheLastTickIsInForceThereExceptForClicksAndTickQueries)
{
    SongParts song = FourBars();
    song.transpositions.emplace_back(2 * kBar, kLastTick, "C1", 2);
    song.tempoScales.emplace_back(2 * kBar, kLastTick, "F1", 1.5);
    song.clicks.emplace_back(2 * kBar, kLastTick, "L1", 4);
    UserControls controls;
    HowToPlay model(controls);
    Load(model, song);

    struct Case {
        std::uint32_t tick;
        int transposition;
        double tempoScale;
        int clocksPerClick;
        int transpositionAtTick;
        double tempoScaleAtTick;
        int clocksPerClickAtTick;
    };
    std::vector<Case> const cases = {
        {kLastTick - 1, 2, 1.5, 12, 2, 1.5, 12},
        {kLastTick, 2, 1.5, 24, 0, 1.0, 24},
    };
    for (auto const& c : cases) {
        model.Seek(c.tick);
        SCOPED_TRACE(testing::Message() << "tick " << c.tick);
        EXPECT_EQ(model.GetTranspositionValue(), c.transposition);
        EXPECT_DOUBLE_EQ(model.GetTempoScaleValue(), c.tempoScale);
        EXPECT_EQ(model.GetClocksPerClick(), c.clocksPerClick);
        EXPECT_EQ(model.GetTranspositionValueAtTickIndex(c.tick), c.transpositionAtTick);
        EXPECT_DOUBLE_EQ(model.GetTempoScaleValueAtTickIndex(c.tick), c.tempoScaleAtTick);
        EXPECT_EQ(model.GetClocksPerClickAtTickIndex(c.tick), c.clocksPerClickAtTick);
    }
}

TEST(HowToPlay, EnteringARegionOnANewElementIsReportedOnTwoSteps)
{
    SongParts song = FourBars();
    song.transpositions = {CL::Transpose(960, 1920, "C1", 1), CL::Transpose(2880, 3840, "C2", -2)};
    song.tempoScales = {CL::TempoScale(960, 1920, "F1", 1.1), CL::TempoScale(2880, 3840, "F2", 0.9)};
    song.clicks = {CL::Click(960, 1920, "L1", 4), CL::Click(2880, 3840, "L2", 2)};
    UserControls controls;
    HowToPlay model(controls);
    Load(model, song);

    struct Step {
        std::uint32_t tick;
        bool changed;
        int transposition;
    };
    std::vector<Step> const steps = {
        {0, false, 0},     // before the first region: its cursor waits on it, silently
        {500, false, 0},
        {960, true, 1},    // into the first region: the first element, not yet reported
        {1000, false, 1},
        {1920, true, 0},   // out of it
        {2000, false, 0},
        {2880, true, -2},  // onto the second element
        {2900, true, -2},  // the inside flag catches up one step later
        {3000, false, -2},
        {3840, true, 0},
        {4000, false, 0},
    };
    for (auto const& s : steps) {
        model.AdvanceToTickIndex(s.tick);
        SCOPED_TRACE(testing::Message() << "tick " << s.tick);
        EXPECT_EQ(model.UpdateTransposition(), s.changed);
        EXPECT_EQ(model.UpdateTempoScale(), s.changed);
        EXPECT_EQ(model.UpdateClick(), s.changed);
        EXPECT_EQ(model.GetTranspositionValue(), s.transposition);
    }
}

TEST(HowToPlay, BeforeTheFirstEventItsCursorDesignatesItButNothingIsInForce)
{
    SongParts song = FourBars();
    song.clicks = {CL::Click(kBar, 2 * kBar, "L1", 4)};
    song.markers = {CL::Marker(kBar, "Verse", "E1")};
    song.pages = {TL::PageNum(kBar, 5)};
    UserControls controls;
    HowToPlay model(controls);
    Load(model, song);

    EXPECT_EQ(model.GetMarker().abs_time(), kBar);
    EXPECT_EQ(model.GetClick().abs_time(), kBar);
    EXPECT_FALSE(model.UpdateMarker());
    EXPECT_FALSE(model.UpdateClick());
    EXPECT_FALSE(model.UpdatePageNumber());
    EXPECT_EQ(model.GetClocksPerClick(), 24);
    EXPECT_EQ(model.GetNotated32PerClick(), 8);

    model.AdvanceToTickIndex(kBar);
    EXPECT_TRUE(model.UpdateMarker());
    EXPECT_TRUE(model.UpdateClick());
    EXPECT_TRUE(model.UpdatePageNumber());
    EXPECT_EQ(model.GetMarkerString(), "Verse");
    EXPECT_EQ(model.GetMarkerTickIndex(), kBar);
    EXPECT_EQ(model.GetPageNumberValue(), 5);
    EXPECT_EQ(model.GetClocksPerClick(), 12);
    EXPECT_EQ(model.GetNotated32PerClick(), 4);
}

TEST(HowToPlay, ElementGettersOfAnEmptySequenceThrowOutOfRange)
{
    UserControls controls;
    HowToPlay model(controls);
    Load(model, FourBars());
    EXPECT_EQ(model.GetPageNumberValue(), 1);

    struct Case {
        std::function<void()> call;
        char const* message;
    };
    std::vector<Case> const cases = {
        {[&] { model.GetClick(); }, "no Click"},
        {[&] { model.GetMarker(); }, "no markers"},
        {[&] { model.GetMarkerString(); }, "there are no markers"},
        {[&] { model.GetMarkerTickIndex(); }, "there are no markers"},
        {[&] { model.GetPageNumber(); }, "There are no PageNums"},
        {[&] { model.GetTempoScale(); }, "no TempoScale"},
        {[&] { model.GetTranspose(); }, "no Transposition"},
    };
    for (auto const& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.message << ": no exception";
        } catch (std::out_of_range const& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST(HowToPlay, ClockTicksRoundToTheResolutionsMidiClock)
{
    struct Case {
        unsigned int resolution;
        unsigned int tick;
        bool onClock;
        unsigned int next;
        unsigned int roundedDown;
    };
    std::vector<Case> const cases = {
        {480, 0, true, 0, 0},      {480, 40, true, 40, 40}, {480, 41, false, 60, 40},
        {480, 59, false, 60, 40},  {96, 5, false, 8, 4},    {100, 9, false, 12, 8},
        {24, 7, true, 7, 7},
    };
    for (auto const& c : cases) {
        SongParts song = FourBars();
        song.resolution = c.resolution;
        UserControls controls;
        HowToPlay model(controls);
        Load(model, song);
        SCOPED_TRACE(testing::Message() << c.resolution << " tick " << c.tick);
        EXPECT_EQ(model.GetNextClockTickIndex(c.tick), std::make_pair(c.onClock, c.next));
        EXPECT_EQ(model.RoundDownToNearestClock(c.tick), c.roundedDown);
    }
}

TEST(HowToPlay, MeasureNeighboursAndTheirEnds)
{
    UserControls controls;
    HowToPlay model(controls);
    Load(model, FourBars());

    struct Case {
        unsigned int tick;
        long long next;     // -1: SongEnd
        long long previous; // -1: SongBegin
    };
    std::vector<Case> const cases = {
        {0, kBar, -1}, {1, kBar, 0}, {kBar, 2 * kBar, 0}, {kBar + 1, 2 * kBar, kBar},
        {3 * kBar, -1, 2 * kBar}, {kLastTick, -1, 3 * kBar},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(testing::Message() << "tick " << c.tick);
        if (c.next < 0) {
            try {
                model.GetNextMeasureTickIndex(c.tick);
                ADD_FAILURE() << "no SongEnd";
            } catch (HowToPlay::SongEnd const& e) {
                EXPECT_STREQ(e.what(), "");
            }
        } else {
            EXPECT_EQ(model.GetNextMeasureTickIndex(c.tick), c.next);
        }
        if (c.previous < 0) {
            try {
                model.GetPreviousMeasureTickIndex(c.tick);
                ADD_FAILURE() << "no SongBegin";
            } catch (HowToPlay::SongBegin const& e) {
                EXPECT_STREQ(e.what(), "");
            }
        } else {
            EXPECT_EQ(model.GetPreviousMeasureTickIndex(c.tick), c.previous);
        }
    }
}

TEST(HowToPlay, SongTitleIsNumberBlankName)
{
    struct Case {
        char const* number;
        char const* name;
        char const* title;
    };
    std::vector<Case> const cases = {{"12", "Finale", "12 Finale"}, {"", "Finale", " Finale"}, {"2A", "", "2A "}};
    for (auto const& c : cases) {
        SongParts song = FourBars();
        song.number = c.number;
        song.name = c.name;
        UserControls controls;
        HowToPlay model(controls);
        Load(model, song);
        EXPECT_EQ(model.GetSongTitle(), c.title);
        EXPECT_TRUE(model.GetSendMarkerAndSongTitle());
        EXPECT_FALSE(model.GetSendMarkerAndSongTitle());
    }
}

TEST(HowToPlay, TranspositionPairCarriesTheLastReportedValue)
{
    SongParts song = FourBars();
    song.transpositions.emplace_back(0, kBar, "C1", 2);
    UserControls controls;
    HowToPlay model(controls);
    Load(model, song);
    EXPECT_EQ(model.GetTranspositionPair(), std::make_pair(2, 2));
    controls.SetTransposition(1);
    EXPECT_EQ(model.GetTranspositionPair(), std::make_pair(3, 2));
    EXPECT_EQ(model.GetTranspositionPair(), std::make_pair(3, 3));
    model.AdvanceToTickIndex(kBar);
    EXPECT_EQ(model.GetPreAdvanceTransposition(), 3);
    EXPECT_EQ(model.GetTranspositionPair(), std::make_pair(1, 3));
}

TEST(HowToPlay, KeyNameFollowsTheTransposition)
{
    SongParts song = FourBars();
    song.transpositions.emplace_back(kBar, 2 * kBar, "C1", 2);
    UserControls controls;
    HowToPlay model(controls);
    Load(model, song);
    struct Case {
        std::uint32_t tick;
        int user;
        char const* key;
    };
    std::vector<Case> const cases = {{0, 0, "C major"}, {kBar, 0, "E major"}, {kBar, -2, "D major"}, {2 * kBar, 1, "Eb major"}};
    for (auto const& c : cases) {
        controls.SetTransposition(c.user);
        model.Seek(c.tick);
        EXPECT_EQ(model.GetKeyString(), c.key) << c.tick << " " << c.user;
    }
}

TEST(HowToPlay, ClicksToSongEndCountTheBeatsAfterThePosition)
{
    struct Case {
        char const* name;
        std::function<void(SongParts&)> shape;
        std::uint32_t tick;
        int clicks;
    };
    std::vector<Case> const cases = {
        {"first beat", [](SongParts&) {}, 0, 15},
        {"within the first beat", [](SongParts&) {}, kBeat - 1, 15},
        {"second beat", [](SongParts&) {}, kBeat, 14},
        {"last beat", [](SongParts&) {}, 15 * kBeat, 0},
        {"song end", [](SongParts&) {}, kLastTick, 0},
        {"click region of half beats", [](SongParts& s) { s.clicks.emplace_back(0, kBar, "L1", 4); }, 0, 19},
        {"before the first beat",
         [](SongParts& s) {
             for (auto& b : s.barsBeats) b.tick += kBeat;
         },
         0, 16},
        {"no beat before the end",
         [](SongParts& s) {
             for (auto& b : s.barsBeats) b.tick += kBeat;
             s.lastTick = kBeat - 1;
         },
         0, 0},
    };
    for (auto const& c : cases) {
        SongParts song = FourBars();
        c.shape(song);
        UserControls controls;
        HowToPlay model(controls);
        Load(model, song);
        model.Seek(c.tick);
        EXPECT_EQ(model.GetClicksToSongEnd(), c.clicks) << c.name;
    }
}

TEST(HowToPlay, ClockNumberCountsFromTheBarOrTheClickRegionStart)
{
    SongParts song = FourBars();
    song.clicks.emplace_back(kBeat, kBar, "L1", 3); // 9 clocks per click from beat 2
    UserControls controls;
    HowToPlay model(controls);
    Load(model, song);
    struct Case {
        std::uint32_t tick;
        int clocksPerClick;
        int clockNumber;       // from the bar start
        int clockNumberAtTick; // from the click region's start inside it
    };
    std::vector<Case> const cases = {
        {0, 24, 0, 0},   {100, 24, 5, 5},   {kBeat, 9, 6, 0},      {1500, 9, 3, 6},
        {kBar, 24, 0, 0}, {kBar + 500, 24, 1, 1},
    };
    for (auto const& c : cases) {
        model.Seek(c.tick);
        SCOPED_TRACE(testing::Message() << "tick " << c.tick);
        EXPECT_EQ(model.GetClocksPerClick(), c.clocksPerClick);
        EXPECT_EQ(model.GetClocksPerClickAtTickIndex(c.tick), c.clocksPerClick);
        EXPECT_EQ(model.GetClockNumber(), c.clockNumber);
        EXPECT_EQ(model.GetClockNumberAtTickIndex(c.tick), c.clockNumberAtTick);
    }
}

TEST(HowToPlay, NextDspEventIsTheNextRegionBoundaryOrTheSongEnd)
{
    SongParts song = FourBars();
    song.transpositions.emplace_back(960, 1920, "C1", 1);
    song.tempoScales.emplace_back(1920, 3840, "F1", 1.2);
    UserControls controls;
    HowToPlay model(controls);
    Load(model, song);
    struct Case {
        std::uint32_t tick;
        unsigned int next;
    };
    std::vector<Case> const cases = {{0, 960}, {960, 1920}, {1919, 1920}, {1920, 3840}, {3840, kLastTick}, {kLastTick, kLastTick}};
    for (auto const& c : cases) {
        model.Seek(c.tick);
        EXPECT_EQ(model.GetTickIndexOfNextDspEvent(), c.next) << c.tick;
    }

    HowToPlay plain(controls);
    Load(plain, FourBars());
    EXPECT_EQ(plain.GetTickIndexOfNextDspEvent(), kLastTick);
}

TEST(HowToPlay, DspEventsListingNamesBothRegionKinds)
{
    SongParts song = FourBars();
    song.transpositions.emplace_back(960, 1920, "C1", 1);
    UserControls controls;
    HowToPlay model(controls);
    Load(model, song);

    std::ostringstream transpositionLine;
    song.transpositions.front().WriteString(transpositionLine);
    testing::internal::CaptureStdout();
    model.WriteDspEvents();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "HowToPlay dsp events:\nTranspositions:\n\tTransposeSequence(code=0x43, event count = 1)\n\t\t" +
                  transpositionLine.str() + "\nTempo Scales:\n\tTempoScaleSequence(code=0x46, event count = 0)\n");
}

SongParts RichSong()
{
    SongParts song = FourBars();
    song.meters.emplace_back(3 * kBar, 3, 4, 24, 8);
    song.pages = {TL::PageNum(0, 1), TL::PageNum(2 * kBar, 2)};
    song.markers = {CL::Marker(kBeat, "A", "E1"), CL::Marker(3 * kBar, "B", "E2")};
    song.clicks.emplace_back(kBar, 2 * kBar, "L1", 4);
    song.tempoScales.emplace_back(kBar, kLastTick, "F1", 1.25);
    song.transpositions.emplace_back(2 * kBar, 3 * kBar, "C1", -1);
    return song;
}

TEST(HowToPlay, CopyAndMoveKeepTheSongAndPositionInTheirOwnSequences)
{
    UserControls controls;
    controls.SetTempoScale(1.1);
    HowToPlay reference(controls);
    Load(reference, RichSong());
    reference.AdvanceToTickIndex(2 * kBar + 100);

    auto original = std::make_unique<HowToPlay>(controls);
    Load(*original, RichSong());
    original->AdvanceToTickIndex(2 * kBar + 100);

    HowToPlay copy(*original);
    EXPECT_NE(&copy.GetTempo(), &original->GetTempo());
    HowToPlay moved(std::move(*original));
    original.reset();

    EXPECT_EQ(Snapshot(copy), Snapshot(reference));
    EXPECT_EQ(Snapshot(moved), Snapshot(reference));
    for (std::uint32_t tick : {2 * kBar + 200, 3 * kBar, kLastTick}) {
        for (HowToPlay* model : {&reference, &copy, &moved}) {
            model->AdvanceToTickIndex(tick);
        }
        SCOPED_TRACE(testing::Message() << "tick " << tick);
        bool const meter = reference.UpdateMeter();
        bool const marker = reference.UpdateMarker();
        for (HowToPlay* model : {&copy, &moved}) {
            EXPECT_EQ(Snapshot(*model), Snapshot(reference));
            EXPECT_EQ(model->UpdateMeter(), meter);
            EXPECT_EQ(model->UpdateMarker(), marker);
        }
    }
}

TEST(HowToPlay, SeekAnswersAsAdvancingFromTheStartDoes)
{
    UserControls controls;
    controls.SetTempoScale(1.7);
    controls.SetTransposition(2);
    SongParts const song = RichSong();
    HowToPlay advancing(controls);
    HowToPlay seeking(controls);
    Load(advancing, song);
    Load(seeking, song);
    for (std::uint32_t tick = 0; tick <= kLastTick; tick += 40) {
        advancing.AdvanceToTickIndex(tick);
        seeking.Seek(tick);
        ASSERT_EQ(Snapshot(seeking), Snapshot(advancing));
    }
}

} // namespace
