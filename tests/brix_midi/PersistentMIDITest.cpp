#include "PersistentMIDI.h"
#include "StreamSongs.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace stream_songs;
using EventMap = PersistentMIDI::EventMap;

std::set<int> KeysOf(const EventMap& events)
{
    std::set<int> keys;
    for (const auto& [key, event] : events) {
        keys.insert(key);
    }
    return keys;
}

std::map<int, int> ValuesOf(const EventMap& events)
{
    std::map<int, int> values;
    for (const auto& [key, event] : events) {
        values[key] = event.message.data2;
    }
    return values;
}

struct RecordingCase {
    std::string name;
    std::vector<brix_midi::VoiceEvent> events;
    std::set<int> notes;
    std::set<int> switches;
    std::map<int, int> ccs;
    bool hasProgram;
    bool hasPitchBend;
};

// Range 36..96 on channel 2.
TEST(PersistentMIDI, RecordsWhatEachKindOfEventLeavesInForce)
{
    const std::vector<RecordingCase> cases{
        {"note within range is a note", {On(0, 2, 60)}, {60}, {}, {}, false, false},
        {"note outside range is a switch", {On(0, 2, 20), On(0, 2, 100)}, {}, {20, 100}, {}, false, false},
        {"note-off releases", {On(0, 2, 60), On(0, 2, 20), Off(5, 2, 60), Off(5, 2, 20)}, {}, {}, {}, false, false},
        {"note-on with velocity 0 releases", {On(0, 2, 60), On(0, 2, 20), On(5, 2, 60, 0), On(5, 2, 20, 0)},
         {}, {}, {}, false, false},
        {"velocity 0 without a held note holds nothing", {On(0, 2, 61, 0)}, {}, {}, {}, false, false},
        {"last controller value wins", {CC(0, 2, 7, 90), CC(1, 2, 7, 40), CC(1, 2, 64, 127)}, {}, {}, {{7, 40}, {64, 127}},
         false, false},
        {"program and pitch bend", {PC(0, 2, 5), PB(0, 2, 0, 70)}, {}, {}, {}, true, true},
        {"pressure is ignored", {{0, 0xA2, 60, 30}, {0, 0xD2, 40, 0}}, {}, {}, {}, false, false},
    };
    for (const auto& c : cases) {
        PersistentMIDI state({36, 96});
        for (const auto& event : c.events) {
            state.AddEvent(event);
        }
        EXPECT_EQ(KeysOf(state.GetNotes()), c.notes) << c.name;
        EXPECT_EQ(KeysOf(state.GetSwitches()), c.switches) << c.name;
        EXPECT_EQ(ValuesOf(state.GetCCs()), c.ccs) << c.name;
        EXPECT_EQ(state.HasProgramChange(), c.hasProgram) << c.name;
        EXPECT_EQ(state.GetHasPitchBend(), c.hasPitchBend) << c.name;
    }
}

TEST(PersistentMIDI, WithoutRangeEveryNoteIsAnUntransposedSwitch)
{
    PersistentMIDI drums;
    const auto sent = drums.AddEvent(On(0, 9, 60), 5);
    EXPECT_EQ(sent.message.data1, 60);
    EXPECT_EQ(KeysOf(drums.GetSwitches()), std::set<int>{60});
    EXPECT_TRUE(drums.GetNotes().empty());
    EXPECT_EQ(drums.AddEvent(Off(10, 9, 60), 5).message.data1, 60);
}

TEST(PersistentMIDI, RecordingReturnsNotesAndTheirReleasesTransposed)
{
    PersistentMIDI state({36, 96});
    EXPECT_EQ(state.AddEvent(On(0, 0, 60), 3).message.data1, 63);
    EXPECT_EQ(state.AddEvent(On(0, 0, 20), 3).message.data1, 20);  // switch
    EXPECT_EQ(state.AddEvent(On(5, 0, 60, 0), 3).message.data1, 63);  // release by velocity 0
    EXPECT_EQ(state.AddEvent(CC(5, 0, 60, 9), 3).message.data1, 60);  // controller number untouched
    // stored untransposed
    state.AddEvent(On(6, 0, 62), 3);
    EXPECT_EQ(KeysOf(state.GetNotes()), std::set<int>{62});
}

TEST(PersistentMIDI, TransposedNotesFoldIntoTheRangeAndStayValidMidi)
{
    struct Case {
        PersistentMIDI::NoteRange range;
        int note;
        int transposition;
        int expected;
    };
    const std::vector<Case> cases{
        {{0, 127}, 60, 0, 60},
        {{0, 127}, 60, 7, 67},
        {{0, 127}, 3, -5, 10},     // -2 raised an octave
        {{0, 127}, 125, 5, 118},   // 130 lowered an octave
        {{0, 127}, 120, 30, 126},  // 150 lowered two octaves
        {{0, 127}, 5, -30, 11},    // -25 raised three octaves
        {{0, 127}, 127, 127, 122},
        {{0, 127}, 0, -128, 4},
        {{60, 65}, 64, 5, 57},     // narrower than an octave: folds below, stays a MIDI note
        {{125, 127}, 126, -3, 127},  // folds to 135, kept at 127
        {{36, 96}, 90, 20, 86},    // 110 lowered two octaves into the range
        {PersistentMIDI::kNoRange, 60, 7, 60},
    };
    for (const auto& c : cases) {
        const PersistentMIDI state(c.range);
        const int result = state.GetTransposedNote(static_cast<unsigned char>(c.note), static_cast<signed char>(c.transposition));
        EXPECT_EQ(result, c.expected) << "range " << int(c.range.first) << ".." << int(c.range.second) << " note "
                                      << c.note << " by " << c.transposition;
        EXPECT_LE(result, 127);
    }
}

TEST(PersistentMIDI, InversesReleaseHeldNotesAndReturnControllersToTheirDefaults)
{
    PersistentMIDI state({36, 96});
    state.AddEvent(On(10, 3, 60, 99));
    state.AddEvent(On(10, 3, 20, 77));
    for (int controller : {1, 7, 10, 11, 64}) {
        state.AddEvent(CC(20, 3, controller, 33));
    }

    const EventMap offs = state.GetInverseNotes({});
    ASSERT_EQ(offs.size(), 1u);
    EXPECT_EQ(SentOf(0, offs.at(60)), Sent(0, 0x83, 60, 99));
    const EventMap switchOffs = state.GetInverseSwitches({});
    ASSERT_EQ(switchOffs.size(), 1u);
    EXPECT_EQ(SentOf(0, switchOffs.at(20)), Sent(0, 0x83, 20, 77));

    // volume 100, pan centre, expression full, everything else 0
    const std::map<int, int> expected{{1, 0}, {7, 100}, {10, 64}, {11, 127}, {64, 0}};
    EXPECT_EQ(ValuesOf(state.GetInverseCCs({})), expected);
    EXPECT_EQ(state.GetInverseCCs({}).at(7).message.status, 0xB3);

    const EventMap exclude{{60, On(0, 3, 60)}, {7, CC(0, 3, 7, 0)}};
    EXPECT_TRUE(state.GetInverseNotes(exclude).empty());
    EXPECT_FALSE(state.GetInverseCCs(exclude).contains(7));
}

TEST(PersistentMIDI, FilteringTakesSharedNotesAndSwitchesOutButKeepsControllers)
{
    PersistentMIDI target({36, 96});
    target.AddEvent(On(0, 0, 60));
    target.AddEvent(On(0, 0, 64));
    target.AddEvent(On(0, 0, 20));
    target.AddEvent(CC(0, 0, 7, 90));

    const EventMap candidates{{60, Off(0, 0, 60)}, {62, Off(0, 0, 62)}};
    EXPECT_EQ(KeysOf(target.FilterNotes(candidates)), std::set<int>{60});
    EXPECT_EQ(KeysOf(target.GetNotes()), std::set<int>{64});

    EXPECT_EQ(KeysOf(target.FilterSwitches({{20, Off(0, 0, 20)}, {21, Off(0, 0, 21)}})), std::set<int>{20});
    EXPECT_TRUE(target.GetSwitches().empty());

    EXPECT_EQ(KeysOf(target.FilterCCs({{7, CC(0, 0, 7, 100)}, {11, CC(0, 0, 11, 127)}})), std::set<int>{7});
    EXPECT_EQ(ValuesOf(target.GetCCs()), (std::map<int, int>{{7, 90}}));
}

TEST(PersistentMIDI, PrintsAnEmptyRecordAsItsHeadings)
{
    testing::internal::CaptureStdout();
    PersistentMIDI().PrintYourself();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "PersistentMidi\n  Notes:\n  Switches:\n  CCs:\n\n");
}

TEST(PersistentMIDI, PrintsHeldNotesByNameAndControllersByNumber)
{
    PersistentMIDI state({36, 96});
    state.AddEvent(On(0, 0, 60));
    state.AddEvent(CC(0, 0, 7, 90));
    testing::internal::CaptureStdout();
    state.PrintYourself();
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("  Notes:\n    C4      "), std::string::npos) << printed;
    EXPECT_NE(printed.find("  CCs:\n    7       "), std::string::npos) << printed;
}

}  // namespace
