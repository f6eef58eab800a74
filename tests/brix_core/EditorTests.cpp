#include "ChangeLogFixtures.h"

#include <brix_core/Editor.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace change_log_fixtures;

// ---- edit scripts ------------------------------------------------------------------------------

struct Step {
    std::function<void(CL::Editor&)> run;
    bool undoOrRedo = false;
};

// An event that carries only an id: edits must find the stored event by it.
cmn::BrixEvent Ref(const std::string& id) {
    cmn::BrixEvent event;
    event.SetEventId(id);
    return event;
}

Step Add(const cmn::BrixEvent& event) {
    return {[event](CL::Editor& e) { e.AddEvent(event); }};
}
Step Delete(const std::string& id) {
    return {[id](CL::Editor& e) { e.DeleteEvent(Ref(id)); }};
}
Step Move(const cmn::BrixEvent& event, std::uint32_t start, std::uint32_t end, bool left = false,
          bool right = false) {
    return {[=](CL::Editor& e) { e.EditEventStartEndValues(event, start, end, left, right); }};
}
Step Move(const std::string& id, std::uint32_t start, std::uint32_t end, bool left = false,
          bool right = false) {
    return Move(Ref(id), start, end, left, right);
}
Step Int(const std::string& id, int value) {
    return {[=](CL::Editor& e) { e.EditEventIntValue(Ref(id), value); }};
}
Step Float(const std::string& id, double value) {
    return {[=](CL::Editor& e) { e.EditEventFloatValue(Ref(id), value); }};
}
Step Text(const std::string& id, const std::string& text) {
    return {[=](CL::Editor& e) { e.EditEventStringValue(Ref(id), text); }};
}
Step Cue(const cmn::BrixEvent& event, const CL::OscProperties& properties) {
    return {[=](CL::Editor& e) { e.EditEventOscPropertyValues(event, properties); }};
}
Step Sfx(const std::string& id) {
    return {[=](CL::Editor& e) { e.EditEventSFXPropertyValues(Ref(id), CL::SfxProperties("boom")); }};
}
Step Select(const std::string& song) {
    return {[=](CL::Editor& e) { e.SelectSongLogForEditing(song); }};
}
Step Undo() { return {[](CL::Editor& e) { e.Undo(); }, true}; }
Step Redo() { return {[](CL::Editor& e) { e.Redo(); }, true}; }

std::vector<Step> AddAll(const std::vector<cmn::BrixEvent>& events) {
    std::vector<Step> steps;
    for (const cmn::BrixEvent& event : events) {
        steps.push_back(Add(event));
    }
    return steps;
}

template <class Kind>
cmn::BrixEvent With(Kind event, const std::function<void(cmn::BrixEvent&)>& change) {
    cmn::BrixEvent changed = event;
    change(changed);
    return changed;
}

class EditorTest : public ::testing::Test {
protected:
    EditorTest() : editor(MakeShow(), CL::ChangeLog()) { editor.SelectSongLogForEditing("1"); }

    std::vector<cmn::BrixEvent> Events() const {
        return editor.GetChangeLog().GetSongLog("1").GetAllEvents();
    }
    void Run(const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            step.run(editor);
        }
    }

    CL::Editor editor;
};

struct ScriptCase {
    const char* name;
    std::vector<Step> steps;
    std::vector<cmn::BrixEvent> expected;
};

const CL::Osc kCue(480, "S1", CL::OscProperties("/brix/volume -6", "NETWORK0"));

std::vector<ScriptCase> Scripts() {
    return {
        {"add one event of every kind", AddAll(EveryKind()), EveryKind()},
        {"move regions and single-position events (a single event ignores the end)",
         {Add(CL::Click(0, 1920, "L1", 2)), Add(CL::Marker(960, "Intro", "E1")),
          Add(CL::Caesura(2000, "N1", 0)), Add(CL::Osc(0, "S1", {})), Move("L1", 3840, 5760),
          Move("E1", 100, 9999), Move("N1", 4000, 4275), Move("S1", 15360, 0)},
         {CL::Click(3840, 5760, "L1", 2), CL::Marker(100, "Intro", "E1"), CL::Caesura(4000, "N1", 0),
          CL::Osc(15360, "S1", {})}},
        {"an adjusted edge moves alone; the other edge keeps its stored tick",
         {Add(CL::Cut(1920, 3840, "B1", 0)), Move("B1", 960, 1000, true, false),
          Move("B1", 0, 5000, false, true), Add(CL::Repeat(7680, 9600, "A1", 2)),
          Move("A1", 5760, 9000, true, true)},
         {CL::Cut(960, 5000, "B1", 0), CL::Repeat(5760, 9000, "A1", 2)}},
        {"change the value of every kind that has one",
         {Add(CL::Vamp(0, 960, "@1", 2)), Int("@1", 0), Add(CL::Repeat(960, 1920, "A1", 2)),
          Int("A1", 4), Add(CL::Transpose(0, 1920, "C1", 1)), Int("C1", -5),
          Add(CL::Click(0, 1920, "L1", 8)), Int("L1", 4), Add(CL::TempoScale(0, 1920, "F1", 1.0)),
          Float("F1", 0.5), Add(CL::Marker(0, "A", "E1")), Text("E1", "Bridge"), Add(kCue),
          Cue(Ref("S1"), CL::OscProperties("/brix/fadeto -10 5", "NETWORK1")),
          Add(CL::Caesura(480, "N1", 0)), Int("N1", 1), Add(CL::Cut(1920, 2880, "B1", 0)),
          Int("B1", 7), Add(CL::Fermata(1920, 2880, "M1", 0)), Int("M1", 3)},
         {CL::Vamp(0, 960, "@1", 0), CL::Repeat(960, 1920, "A1", 4), CL::Transpose(0, 1920, "C1", -5),
          CL::Click(0, 1920, "L1", 4), CL::TempoScale(0, 1920, "F1", 0.5),
          CL::Marker(0, "Bridge", "E1"), CL::Osc(480, "S1", {"/brix/fadeto -10 5", "NETWORK1"}),
          CL::Caesura(480, "N1", 1), CL::Cut(1920, 2880, "B1", 7), CL::Fermata(1920, 2880, "M1", 3)}},
        {"delete, then add again under the same id",
         {Add(CL::Cut(0, 1920, "B1", 0)), Delete("B1"), Add(CL::Cut(0, 960, "B1", 0))},
         {CL::Cut(0, 960, "B1", 0)}},
        {"undo and redo in mixed orders; a new edit forgets what could be redone",
         {Add(CL::Click(0, 1920, "L1", 2)), Add(CL::TempoScale(1920, 3840, "F1", 0.9)),
          Move("L1", 3840, 5760), Undo(), Undo(), Redo(), Int("L1", 4)},
         {CL::Click(0, 1920, "L1", 4), CL::TempoScale(1920, 3840, "F1", 0.9)}},
        {"undoing a delete brings the event back",
         {Add(CL::Repeat(0, 7680, "A1", 2)), Add(CL::Vamp(1920, 3840, "@1", 0)), Delete("A1"),
          Undo()},
         {CL::Repeat(0, 7680, "A1", 2), CL::Vamp(1920, 3840, "@1", 0)}},
        {"an edit made with the event as it was before an earlier edit acts on it as it is now",
         {Add(kCue), Move(kCue, 960, 960), Cue(kCue, CL::OscProperties("/brix/fadeout 3", "N2"))},
         {CL::Osc(960, "S1", {"/brix/fadeout 3", "N2"})}},
        {"value regions may touch, loops may nest (equal edges too), cuts and skips may overlap",
         {Add(CL::Click(0, 1920, "L1", 2)), Add(CL::Click(1920, 3840, "L2", 4)),
          Add(CL::Repeat(0, 7680, "A1", 2)), Add(CL::Vamp(1920, 3840, "@1", 0)),
          Add(CL::Repeat(0, 1920, "A2", 3)), Add(CL::Cut(960, 2880, "B1", 0)),
          Add(CL::Fermata(0, 7680, "M1", 0)), Add(CL::Cut(0, 1000, "B2", 0))},
         {CL::Click(0, 1920, "L1", 2), CL::Click(1920, 3840, "L2", 4), CL::Repeat(0, 7680, "A1", 2),
          CL::Vamp(1920, 3840, "@1", 0), CL::Repeat(0, 1920, "A2", 3), CL::Cut(960, 2880, "B1", 0),
          CL::Fermata(0, 7680, "M1", 0), CL::Cut(0, 1000, "B2", 0)}},
        {"events keep their version target through edits",
         {Add(With(CL::Caesura(960, "N1", 0), [](cmn::BrixEvent& e) { e.SetVersionTarget(1); })),
          Move("N1", 1440, 1440)},
         {With(CL::Caesura(1440, "N1", 0), [](cmn::BrixEvent& e) { e.SetVersionTarget(1); })}},
    };
}

TEST_F(EditorTest, EditScriptsEndInTheExpectedEventSets) {
    for (const ScriptCase& script : Scripts()) {
        CL::Editor fresh(MakeShow(), CL::ChangeLog());
        fresh.SelectSongLogForEditing("1");
        for (const Step& step : script.steps) {
            step.run(fresh);
        }
        EXPECT_EQ(ById(fresh.GetChangeLog().GetSongLog("1").GetAllEvents()), ById(script.expected))
            << script.name;
        EXPECT_TRUE(fresh.GetChangeLog().GetSongLog("2").GetAllEvents().empty()) << script.name;
    }
}

// After every edit of every script, undo gives back the song's log exactly as it was before the
// edit (order included) and redo the log exactly as the edit left it.
TEST_F(EditorTest, UndoAfterEveryEditOfEveryScriptRestoresTheExactPreviousLog) {
    for (const ScriptCase& script : Scripts()) {
        for (std::size_t last = 0; last < script.steps.size(); ++last) {
            if (script.steps[last].undoOrRedo) {
                continue;
            }
            CL::Editor fresh(MakeShow(), CL::ChangeLog());
            fresh.SelectSongLogForEditing("1");
            for (std::size_t i = 0; i < last; ++i) {
                script.steps[i].run(fresh);
            }
            const CL::SongLog before = fresh.GetChangeLog().GetSongLog("1");
            script.steps[last].run(fresh);
            const CL::SongLog after = fresh.GetChangeLog().GetSongLog("1");
            if (after == before) {
                continue;  // an edit that changed nothing
            }
            fresh.Undo();
            EXPECT_EQ(fresh.GetChangeLog().GetSongLog("1"), before) << script.name << ", step " << last;
            fresh.Redo();
            EXPECT_EQ(fresh.GetChangeLog().GetSongLog("1"), after) << script.name << ", step " << last;
        }
    }
}

TEST_F(EditorTest, EachEditReturnsTheEventAsStoredAfterIt) {
    const cmn::BrixEvent added = editor.AddEvent(CL::Vamp(0, 960, "@1", 2));
    EXPECT_EQ(added, CL::Vamp(0, 960, "@1", 2));
    EXPECT_EQ(editor.EditEventStartEndValues(Ref("@1"), 960, 1920, false, false),
              CL::Vamp(960, 1920, "@1", 2));
    EXPECT_EQ(editor.EditEventIntValue(Ref("@1"), 5), CL::Vamp(960, 1920, "@1", 5));
    EXPECT_EQ(editor.DeleteEvent(Ref("@1")), CL::Vamp(960, 1920, "@1", 5));
    EXPECT_TRUE(Events().empty());
}

TEST_F(EditorTest, AnEventWithoutAnIdGetsTheSuggestedOne) {
    editor.AddEvent(CL::Click(0, 1920, "L1", 2));
    const cmn::BrixEvent added = editor.AddEvent(CL::Click(1920, 3840, "", 4));
    EXPECT_EQ(added.EventId(), "L2");
    EXPECT_EQ(ById(Events()), ById({CL::Click(0, 1920, "L1", 2), CL::Click(1920, 3840, "L2", 4)}));
}

// ---- refusals ----------------------------------------------------------------------------------

struct RefusalCase {
    const char* name;
    std::vector<Step> setup;  // after every kind was added to song 1
    Step action;
    const char* message;      // part of what()
};

TEST_F(EditorTest, RefusedEditsThrowAReadableEditorErrorAndChangeNothing) {
    cmn::BrixEvent twoPositions = CL::Marker(960, "Two", "E9");
    twoPositions.SetEnd(1920);
    const std::vector<RefusalCase> cases = {
        {"end before start", {}, Move("L1", 1920, 960), "The end of a Click must come after its start."},
        {"a region of no length", {}, Add(CL::Cut(13440, 13440, "B9", 0)),
         "The end of a Cut must come after its start."},
        {"a region past the song's end", {}, Move("B1", 14400, 15361),
         "The Cut reaches past the end of song 1."},
        {"a single event past the song's end", {}, Move("N1", 15361, 15361),
         "The Caesura lies past the end of song 1."},
        {"a single event with an end of its own", {}, Add(twoPositions), "has one position"},
        {"an id the song does not have", {}, Int("X9", 1), "Song 1 has no event with id \"X9\""},
        {"an event deleted before", {Delete("B1")}, Move("B1", 0, 960), "has no event with id \"B1\""},
        {"an id the song has already", {}, Add(CL::Cut(13440, 14400, "L1", 0)),
         "An event with id \"L1\" already exists."},
        {"an id another song has", {Select("2"), Add(CL::Cut(0, 960, "B7", 0)), Select("1")},
         Add(CL::Cut(13440, 14400, "B7", 0)), "An event with id \"B7\" already exists."},
        {"overlapping clicks", {}, Add(CL::Click(960, 2880, "L2", 4)),
         "A Click must not overlap another Click (id \"L1\")."},
        {"overlapping tempo scales", {}, Add(CL::TempoScale(3000, 4000, "F2", 1.0)),
         "A Tempo Scale must not overlap another Tempo Scale (id \"F1\")."},
        {"overlapping transpositions", {}, Add(CL::Transpose(5000, 6000, "C2", 1)),
         "A Transposition must not overlap another Transposition (id \"C1\")."},
        {"a vamp crossing a repeat", {}, Add(CL::Vamp(8640, 10560, "@2", 1)),
         "A Vamp must not partly overlap the Repeat (id \"A1\")"},
        {"a repeat moved across a vamp", {}, Move("A1", 8640, 10560), "partly overlap the Vamp"},
        {"two caesuras at one tick", {}, Add(CL::Caesura(2000, "N2", 0)),
         "There is already a Caesura at this position (id \"N1\")."},
        {"a tempo scale above 200%", {}, Float("F1", 2.5), "between 50% and 200%"},
        {"a tempo scale that is no number", {}, Float("F1", std::nan("")), "between 50% and 200%"},
        {"a negative vamp count", {}, Int("@1", -1), "A vamp count cannot be negative"},
        {"a repeat played no time", {}, Int("A1", 0), "at least once"},
        {"a click of no length", {}, Int("L1", 0), "A click must sound"},
        {"text on a cut", {}, Text("B1", "x"), "A Cut has no text to change."},
        {"a tempo scale on a click", {}, Float("L1", 1.0), "A Click has no tempo scale to change."},
        {"a number on a marker", {}, Int("E1", 3), "A Marker has no number to change."},
        {"an OSC command on a caesura", {}, Cue(Ref("N1"), {"/go", "N"}),
         "A Caesura has no OSC command to change."},
        {"a sound effect on any kind", {}, Sfx("S1"), "An OSC Cue has no sound effect to change."},
        {"an event of no change-log kind", {}, Add(cmn::BrixEvent()),
         "Events of code 0 cannot be kept in the change log."},
        {"nothing to undo", {Undo(), Undo(), Undo(), Undo(), Undo(), Undo(), Undo(), Undo(), Undo(),
                             Undo()},
         Undo(), "There is nothing to undo in song 1."},
        {"nothing to redo", {}, Redo(), "There is nothing to redo in song 1."},
    };
    for (const RefusalCase& c : cases) {
        CL::Editor fresh(MakeShow(), CL::ChangeLog());
        fresh.SelectSongLogForEditing("1");
        for (const cmn::BrixEvent& event : EveryKind()) {
            fresh.AddEvent(event);
        }
        for (const Step& step : c.setup) {
            step.run(fresh);
        }
        const CL::ChangeLog before = fresh.GetChangeLog();
        const bool couldUndo = fresh.CanUndo();
        const bool couldRedo = fresh.CanRedo();
        try {
            c.action.run(fresh);
            ADD_FAILURE() << c.name << ": not refused";
        } catch (const CL::EditorError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos)
                << c.name << ": " << error.what();
        }
        EXPECT_EQ(fresh.GetChangeLog(), before) << c.name;
        EXPECT_TRUE(fresh.GetEditedCodes().empty()) << c.name;
        EXPECT_EQ(fresh.CanUndo(), couldUndo) << c.name;
        EXPECT_EQ(fresh.CanRedo(), couldRedo) << c.name;
    }
}

TEST(Editor, EditsNeedASelectedSongOfTheShow) {
    CL::Editor editor(MakeShow(), CL::ChangeLog());
    EXPECT_THROW(editor.AddEvent(CL::Cut(0, 960, "B1", 0)), CL::EditorError);
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_TRUE(editor.GetEventsByEventId().empty());
    try {
        editor.SelectSongLogForEditing("7");
        ADD_FAILURE() << "song 7 selected";
    } catch (const CL::EditorError& error) {
        EXPECT_STREQ(error.what(), "The show has no song \"7\".");
    }
    EXPECT_EQ(editor.GetSelectedSongNumber(), "");
}

TEST(Editor, SongsOfTheShowThatTheLogLacksGetAnEmptyLog) {
    CL::ChangeLog log;
    CL::SongLog one("1", "Old name");
    one.AddCut(CL::Cut(0, 960, "B1", 0));
    log.AddSongLog(one);
    CL::Editor editor(MakeShow(), log);
    editor.SelectSongLogForEditing("2");
    EXPECT_EQ(editor.AddEvent(CL::Cut(0, 960, "B2", 0)).EventId(), "B2");
    EXPECT_EQ(editor.GetChangeLog().GetSongLogs().size(), 2u);
    EXPECT_EQ(editor.GetChangeLog().GetSongLog("1"), one);
}

// ---- history -----------------------------------------------------------------------------------

TEST_F(EditorTest, UndoAndRedoReturnTheAppliedItemsAndTheirCodes) {
    editor.AddEvent(CL::Click(0, 1920, "L1", 2));
    EXPECT_EQ(editor.GetEditedCodes(), (std::vector<int>{76}));
    editor.EditEventStartEndValues(Ref("L1"), 1920, 3840, false, false);

    const std::list<CL::HistoryItem> undone = editor.Undo();
    const std::list<CL::HistoryItem> expectedUndo{
        {"1", CL::Click(1920, 3840, "L1", 2), CL::Click(0, 1920, "L1", 2)}};
    EXPECT_EQ(undone, expectedUndo);
    EXPECT_EQ(CL::GetAffectedCodes(undone), (std::vector<int>{76}));
    EXPECT_EQ(editor.GetEditedCodes(), (std::vector<int>{76}));

    const std::list<CL::HistoryItem> redone = editor.Redo();
    const std::list<CL::HistoryItem> expectedRedo{
        {"1", CL::Click(0, 1920, "L1", 2), CL::Click(1920, 3840, "L1", 2)}};
    EXPECT_EQ(redone, expectedRedo);

    editor.Undo();
    editor.Undo();  // the add: the item turns into a removal
    EXPECT_TRUE(Events().empty());
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_TRUE(editor.CanRedo());
}

TEST(Editor, AffectedCodesAreAscendingAndDistinct) {
    const std::list<CL::HistoryItem> items{
        {"1", std::nullopt, CL::Marker(0, "A", "E1")},
        {"1", CL::Cut(0, 960, "B1", 0), std::nullopt},
        {"1", CL::Marker(0, "A", "E2"), CL::Marker(960, "A", "E2")},
        {"2", CL::Vamp(0, 960, "@1", 0), CL::Vamp(0, 1920, "@1", 0)},
    };
    EXPECT_EQ(CL::GetAffectedCodes(items), (std::vector<int>{64, 66, 69}));
    EXPECT_TRUE(CL::GetAffectedCodes({}).empty());
}

TEST_F(EditorTest, EachSongHasItsOwnHistory) {
    editor.AddEvent(CL::Cut(0, 960, "B1", 0));
    editor.SelectSongLogForEditing("2");
    EXPECT_FALSE(editor.CanUndo());
    editor.AddEvent(CL::Cut(0, 960, "B2", 0));
    editor.Undo();
    EXPECT_TRUE(editor.GetChangeLog().GetSongLog("2").GetCuts().empty());
    EXPECT_EQ(editor.GetChangeLog().GetSongLog("1").GetCuts().size(), 1u);
    editor.SelectSongLogForEditing("1");
    EXPECT_TRUE(editor.CanUndo());
    EXPECT_FALSE(editor.CanRedo());
}

TEST_F(EditorTest, AnEditThatChangesNothingMakesNoStep) {
    editor.AddEvent(CL::Cut(0, 960, "B1", 0));
    editor.EditEventStartEndValues(Ref("B1"), 0, 960, false, false);
    editor.EditEventIntValue(Ref("B1"), 0);
    EXPECT_TRUE(editor.GetEditedCodes().empty());
    editor.Undo();
    EXPECT_FALSE(editor.CanUndo());
}

TEST_F(EditorTest, TheHistoryKeepsTheLatestSteps) {
    editor.AddEvent(CL::Repeat(0, 960, "A1", 1));
    for (int count = 2; count <= static_cast<int>(CL::Editor::kMaxUndoSteps) + 5; ++count) {
        editor.EditEventIntValue(Ref("A1"), count);
    }
    std::size_t undone = 0;
    while (editor.CanUndo()) {
        editor.Undo();
        ++undone;
    }
    EXPECT_EQ(undone, CL::Editor::kMaxUndoSteps);
    EXPECT_EQ(editor.GetChangeLog().GetSongLog("1").GetRepeats().at(0).int_value(), 5);
}

// ---- ids, networks, bars and beats -------------------------------------------------------------

TEST_F(EditorTest, SuggestedIdsAreTheCodeAndTheLowestNumberNoEventOfTheShowHas) {
    editor.AddEvent(CL::Click(0, 960, "L1", 2));
    editor.AddEvent(CL::Click(960, 1920, "L2", 2));
    editor.SelectSongLogForEditing("2");
    editor.AddEvent(CL::Click(0, 960, "L3", 2));
    EXPECT_EQ(editor.GetSuggestedEventIdAtTick(0, 76), "L4");
    EXPECT_EQ(editor.GetSuggestedEventIdAtTick(99999, 76), "L4");
    EXPECT_EQ(editor.GetSuggestedEventIdAtTick(0, 70), "F1");
    EXPECT_EQ(editor.GetSuggestedEventIdAtTick(0, 64), "@1");
    editor.SelectSongLogForEditing("1");
    editor.DeleteEvent(Ref("L1"));
    EXPECT_EQ(editor.GetSuggestedEventIdAtTick(0, 76), "L1");
    // The tempo scale's code is 70 ('F'); 68 is no kind.
    EXPECT_THROW(editor.GetSuggestedEventIdAtTick(0, 68), CL::EditorError);
    EXPECT_THROW(editor.GetSuggestedEventIdAtTick(0, 0), CL::EditorError);
}

TEST_F(EditorTest, EventsByIdAreTheSelectedSongsAsStored) {
    for (const cmn::BrixEvent& event : EveryKind()) {
        editor.AddEvent(event);
    }
    editor.SelectSongLogForEditing("2");
    editor.AddEvent(CL::Vamp(0, 960, "@2", 0));
    editor.SelectSongLogForEditing("1");
    const std::map<std::string, cmn::BrixEvent> events = editor.GetEventsByEventId();
    ASSERT_EQ(events.size(), EveryKind().size());
    for (const cmn::BrixEvent& event : EveryKind()) {
        EXPECT_EQ(events.at(event.EventId()), event);
    }
    EXPECT_EQ(events.count("@2"), 0u);
    EXPECT_EQ(events.at("N1").end(), events.at("N1").start());
    EXPECT_FALSE(events.at("N1").IsPairedEvent());
}

TEST_F(EditorTest, NetworksAreReplacedWholeAndIdsMustDiffer) {
    const CL::NetworkPathVectorT networks{{"Lights", "NETWORK0", "10.0.0.5", 53000, false},
                                          {"Sound", "NETWORK1", "127.0.0.1", 8001, true}};
    editor.UpdateNetworks(networks);
    EXPECT_EQ(editor.GetNetworks(), networks);
    EXPECT_EQ(editor.GetChangeLog().GetNetworks(), networks);
    EXPECT_FALSE(editor.CanUndo());

    const CL::NetworkPathVectorT twice{{"A", "NETWORK2", "1.1.1.1", 1, false},
                                       {"B", "NETWORK2", "2.2.2.2", 2, false}};
    try {
        editor.UpdateNetworks(twice);
        ADD_FAILURE() << "duplicate network id taken";
    } catch (const CL::EditorError& error) {
        EXPECT_NE(std::string(error.what()).find("\"NETWORK2\""), std::string::npos);
    }
    EXPECT_EQ(editor.GetNetworks(), networks);
    editor.UpdateNetworks({});
    EXPECT_TRUE(editor.GetNetworks().empty());
}

TEST(Editor, BarAndBeatQueriesFindTheBeatAtOrBeforeATick) {
    brix_midi::ShowData show = MakeShow();
    // Song "3" starts with its first beat at 240 (a late first record).
    TL::Timeline late;
    late.Add(TL::BarsBeats(240, 1, 1));
    late.Add(TL::BarsBeats(720, 1, 2));
    late.SetLastTickIndex(1200);
    auto song = std::make_shared<brix_midi::SongData>();
    song->SetSongNumber("3");
    song->SetTimeline(late);
    show.AddSong(song);
    auto bare = std::make_shared<brix_midi::SongData>();
    bare->SetSongNumber("4");
    show.AddSong(bare);
    const CL::Editor editor(show, CL::ChangeLog());

    struct Case {
        const char* song;
        std::uint32_t tick;
        std::uint32_t floor;
        std::optional<std::uint32_t> lowerOrZero;
    };
    const Case cases[] = {
        {"1", 0, 0, 0},          {"1", 479, 0, 0},      {"1", 480, 480, 0},  {"1", 1000, 960, 960},
        {"1", 15359, 14880, 14880}, {"1", 99999, 14880, 14880},
        {"3", 100, 240, std::nullopt}, {"3", 240, 240, 0}, {"3", 700, 240, 240}, {"3", 720, 720, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(editor.GetBarBeatFloorTick(c.song, c.tick), c.floor) << c.song << " at " << c.tick;
        EXPECT_EQ(editor.GetLowerBarBeatTickOrZeroIfExact(c.song, c.tick), c.lowerOrZero)
            << c.song << " at " << c.tick;
    }
    EXPECT_THROW(editor.GetBarBeatFloorTick("9", 0), CL::EditorError);
    EXPECT_THROW(editor.GetLowerBarBeatTickOrZeroIfExact("9", 0), CL::EditorError);
    EXPECT_THROW(editor.GetBarBeatFloorTick("4", 0), CL::EditorError);
    EXPECT_EQ(editor.GetLowerBarBeatTickOrZeroIfExact("4", 0), std::nullopt);
}

TEST(Editor, TheVersionIsTheLogsAndANewLogIsVersionOnePointZero) {
    CL::Editor editor(MakeShow(), CL::ChangeLog());
    EXPECT_EQ(editor.GetVersion(), cmn::BRIXVersion(1, 0));
    editor.SetVersion(cmn::BRIXVersion(4, 2));
    EXPECT_EQ(editor.GetChangeLog().GetVersion(), cmn::BRIXVersion(4, 2));
}

}  // namespace
