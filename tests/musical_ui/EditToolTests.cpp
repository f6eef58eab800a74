// The change-log edit tools over the edit controller and a real change-log editor: opening on a new
// and on an existing event, the request that reaches the editor, Cancel, clamped inputs, refused
// edits, and the base's bar and beat pickers.
#include "EditToolFixture.h"
#include "range_tools.h"
#include "value_tools.h"

#include <gtest/gtest.h>

#include <QVariantList>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace musical_test {
namespace {

using brix::qt::EditToolController;
using Song = TimelineSong;

template <class Tool>
std::unique_ptr<EditToolController> Make(QQmlEngine* engine, brix::qt::EditController* edits,
                                         std::shared_ptr<Interface> fake)
{
    return std::make_unique<Tool>(engine, edits, std::move(fake));
}

// One range tool: how to make and open it, its kind, an event of the song to change, and a value typed
// into its spin box (empty for the tools without one) with the event value expected from it.
struct RangeTool {
    const char* name;
    ToolFactory make;
    const char* closing;
    std::function<void(EditToolController&, TL::BarsBeats, TL::BarsBeats)> openNew;
    std::function<void(EditToolController&, cmn::BrixEvent*)> openOn;
    unsigned char code;
    std::string existingId;
    QString shownForExisting;  // the spin box text when opened on the existing event
    QString typed;
    int expectedInt;
    double expectedFloat;
};

#define RANGE_TOOL(Kind, kind, code, id, shown, typed, expectedInt, expectedFloat)                            \
    RangeTool{#Kind,                                                                                          \
              Make<brix::qt::Kind##ToolController>,                                                           \
              SIGNAL(kind##ToolClosing()),                                                                    \
              [](EditToolController& tool, TL::BarsBeats start, TL::BarsBeats end) {                          \
                  static_cast<brix::qt::Kind##ToolController&>(tool).on##Kind##ButtonClicked(start, end);     \
              },                                                                                              \
              [](EditToolController& tool, cmn::BrixEvent* event) {                                           \
                  static_cast<brix::qt::Kind##ToolController&>(tool).on##Kind##Edit(event);                   \
              },                                                                                              \
              code, id, shown, typed, expectedInt, expectedFloat}

const std::vector<RangeTool>& RangeTools()
{
    static const std::vector<RangeTool> tools{
        RANGE_TOOL(Cut, cut, 66, "B1", "", "", 0, 0.0),
        RANGE_TOOL(Skip, skip, 77, "M1", "", "", 0, 0.0),
        RANGE_TOOL(Vamp, vamp, 64, "@1", "\u221e", "7", 7, 0.0),
        RANGE_TOOL(Repeat, repeat, 65, "A1", "2", "3", 3, 0.0),
        RANGE_TOOL(Tempo, tempo, 70, "F1", "90", "95", 0, 0.95),
        RANGE_TOOL(Transpose, transpose, 67, "C1", "2", "-3", -3, 0.0),
    };
    return tools;
}

class EditToolsTest : public EditToolTest {
protected:
    void Type(const QString& text) const
    {
        if (!text.isEmpty())
            Window()->setProperty("value", text);
    }
    void ExpectValue(const RangeTool& tool, const cmn::BrixEvent& event) const
    {
        if (tool.expectedFloat != 0.0) {
            EXPECT_NEAR(event.float_value(), tool.expectedFloat, 1e-6) << tool.name;
        } else {
            EXPECT_EQ(event.int_value(), tool.expectedInt) << tool.name;
        }
    }
};

TEST_F(EditToolsTest, ANewRangeIsAddedOnceWithTheChosenTicksAndValueAndTheWindowCloses)
{
    for (const RangeTool& tool : RangeTools()) {
        SCOPED_TRACE(tool.name);
        MakeTool(tool.make, tool.closing);
        const std::size_t before = editor_->GetEventsByEventId().size();
        const int stepsBefore = HistorySteps();
        tool.openNew(*tool_, PositionAt(9 * Song::kBar), PositionAt(10 * Song::kBar + Song::kBeat));
        ASSERT_TRUE(Visible());
        EXPECT_FALSE(Window()->property("isEdit").toBool());
        EXPECT_EQ(Text("inBarInput"), "10");
        EXPECT_EQ(Text("inBeatInput"), "1");
        EXPECT_EQ(Text("outBarInput"), "11");
        EXPECT_EQ(Text("outBeatInput"), "2");
        const std::string suggested = Window()->property("eventId").toString().toStdString();
        EXPECT_EQ(suggested, editor_->GetSuggestedEventIdAtTick(9 * Song::kBar, tool.code));

        Type(tool.typed);
        Press("okButton");
        ASSERT_EQ(editor_->GetEventsByEventId().size(), before + 1);
        const cmn::BrixEvent made = Stored(suggested);
        EXPECT_EQ(made.code(), tool.code);
        EXPECT_EQ(made.start(), 9 * Song::kBar);
        EXPECT_EQ(made.end(), 10 * Song::kBar + Song::kBeat);
        ExpectValue(tool, made);
        EXPECT_EQ(HistorySteps(), stepsBefore + 1);
        EXPECT_FALSE(Visible());
        EXPECT_EQ(closing_->count(), 1);
        EXPECT_EQ(updated_->count(), 0);
        EXPECT_TRUE(errors_.empty());
        tool_.reset();
        RunDeferredDeletes();
    }
}

TEST_F(EditToolsTest, AnExistingRangeOpensWithItsValuesAndIsMovedAndChanged)
{
    for (const RangeTool& tool : RangeTools()) {
        SCOPED_TRACE(tool.name);
        MakeTool(tool.make, tool.closing);
        cmn::BrixEvent event = Stored(tool.existingId);
        tool.openOn(*tool_, &event);
        ASSERT_TRUE(Visible());
        EXPECT_TRUE(Window()->property("isEdit").toBool());
        EXPECT_TRUE(Window()->property("title").toString().startsWith("Edit"));
        EXPECT_EQ(Window()->property("eventId").toString().toStdString(), tool.existingId);
        EXPECT_EQ(Text("inBarInput").toStdString(), PositionAt(event.start()).bar_number());
        EXPECT_EQ(Text("outBarInput").toStdString(), PositionAt(event.end()).bar_number());
        if (!tool.shownForExisting.isEmpty()) {
            EXPECT_EQ(Window()->property("value").toString(), tool.shownForExisting);
        }

        // The in position moves one beat later; the value changes too.
        Choose("inBeatInput", 1);
        Type(tool.typed);
        Press("okButton");
        const cmn::BrixEvent changed = Stored(tool.existingId);
        EXPECT_EQ(changed.start(), event.start() + Song::kBeat);
        EXPECT_EQ(changed.end(), event.end());
        ExpectValue(tool, changed);
        EXPECT_EQ(updated_->count(), 1);
        EXPECT_FALSE(Visible());
        EXPECT_EQ(closing_->count(), 1);
        EXPECT_TRUE(errors_.empty());
        // The id the window shows stays the event's.
        EXPECT_EQ(editor_->GetEventsByEventId().count(tool.existingId), 1u);
        tool_.reset();
        RunDeferredDeletes();
    }
}

TEST_F(EditToolsTest, CancelLeavesTheLogAsItWas)
{
    for (const RangeTool& tool : RangeTools()) {
        SCOPED_TRACE(tool.name);
        for (bool onExisting : {false, true}) {
            MakeTool(tool.make, tool.closing);
            const auto before = editor_->GetEventsByEventId();
            cmn::BrixEvent event = Stored(tool.existingId);
            if (onExisting)
                tool.openOn(*tool_, &event);
            else
                tool.openNew(*tool_, PositionAt(9 * Song::kBar), PositionAt(10 * Song::kBar));
            Choose("inBeatInput", 2);
            Type(tool.typed);
            Press("cancelButton");
            EXPECT_EQ(editor_->GetEventsByEventId(), before);
            EXPECT_FALSE(Visible());
            EXPECT_EQ(closing_->count(), 1);
            EXPECT_EQ(updated_->count(), 0);
            tool_.reset();
            RunDeferredDeletes();
        }
    }
}

TEST_F(EditToolsTest, OutOfRangeValuesAreBroughtIntoRangeBeforeTheyAreSent)
{
    struct Case {
        std::size_t tool;  // index into RangeTools()
        QString typed;
        int expectedInt;
        double expectedFloat;
        QString shownAfter;
    };
    const std::vector<Case> cases{
        {2, "0", 0, 0.0, "\u221e"},      {2, "-5", 0, 0.0, "\u221e"},  {2, "abc", 0, 0.0, "\u221e"},
        {2, "900", 500, 0.0, "500"},     {3, "0", 1, 0.0, "1"},        {3, "900", 500, 0.0, "500"},
        {3, "many", 2, 0.0, "2"},        {4, "30", 0, 0.5, "50"},      {4, "250", 0, 2.0, "200"},
        {4, "fast", 0, 1.0, "100"},      {5, "9", 6, 0.0, "6"},        {5, "-9", -6, 0.0, "-6"},
        {5, "up", 0, 0.0, "up"},
    };
    for (const Case& c : cases) {
        const RangeTool& tool = RangeTools()[c.tool];
        SCOPED_TRACE(std::string(tool.name) + " " + c.typed.toStdString());
        MakeTool(tool.make, tool.closing);
        tool.openNew(*tool_, PositionAt(9 * Song::kBar), PositionAt(10 * Song::kBar));
        const std::string id = Window()->property("eventId").toString().toStdString();
        Type(c.typed);
        Press("okButton");
        EXPECT_EQ(Window()->property("value").toString(), c.shownAfter);
        const cmn::BrixEvent made = Stored(id);
        if (c.expectedFloat != 0.0) {
            EXPECT_NEAR(made.float_value(), c.expectedFloat, 1e-6);
        } else {
            EXPECT_EQ(made.int_value(), c.expectedInt);
        }
        editor_->Undo();
        tool_.reset();
        RunDeferredDeletes();
    }
}

TEST_F(EditToolsTest, ARefusedEditLeavesTheWindowOpenAndTheLogUnchanged)
{
    const RangeTool& cut = RangeTools()[0];
    const RangeTool& transpose = RangeTools()[5];
    struct Case {
        const RangeTool* tool;
        bool withEditController;
        std::uint32_t start;
        std::uint32_t end;
        bool errorShown;
    };
    const std::vector<Case> cases{
        {&cut, true, 10 * Song::kBar, 9 * Song::kBar, true},              // ends before it starts
        {&transpose, true, 3 * Song::kBar, 5 * Song::kBar, true},         // overlaps C1
        {&cut, false, 9 * Song::kBar, 10 * Song::kBar, false},            // no edit controller
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tool->name);
        errors_.clear();
        MakeTool(c.tool->make, c.tool->closing, c.withEditController);
        const auto before = editor_->GetEventsByEventId();
        c.tool->openNew(*tool_, PositionAt(c.start), PositionAt(c.end));
        Press("okButton");
        EXPECT_EQ(editor_->GetEventsByEventId(), before);
        EXPECT_TRUE(Visible());
        EXPECT_EQ(closing_->count(), 0);
        EXPECT_EQ(!errors_.empty(), c.errorShown);
        tool_.reset();
        RunDeferredDeletes();
    }
}

TEST_F(EditToolsTest, AChangeRefusedForTheValueLeavesTheWindowOpen)
{
    // A vamp edit whose ticks cross the repeat A1 (7..9 bars) is refused at the tick step; the count
    // is then not sent and no update is announced.
    const RangeTool& vamp = RangeTools()[2];
    MakeTool(vamp.make, vamp.closing);
    cmn::BrixEvent event = Stored("@1");
    vamp.openOn(*tool_, &event);
    Choose("outBarInput", 8);  // bar 9: the vamp would end inside the repeat
    Type("4");
    Press("okButton");
    EXPECT_EQ(Stored("@1"), event);
    EXPECT_TRUE(Visible());
    EXPECT_EQ(updated_->count(), 0);
    EXPECT_EQ(errors_.size(), 1u);
}

TEST_F(EditToolsTest, AStartBeforeTheCurrentStartTickIsRaisedToIt)
{
    startTick_ = 8 * Song::kBar + Song::kBeat + 10;
    const RangeTool& cut = RangeTools()[0];
    MakeTool(cut.make, cut.closing);
    cut.openNew(*tool_, PositionAt(9 * Song::kBar), PositionAt(10 * Song::kBar));
    const std::string id = Window()->property("eventId").toString().toStdString();
    // The bar list starts with bar 9, which holds the start tick: its first beat lies before it.
    Choose("inBarInput", 0);
    QMetaObject::invokeMethod(Child("barAndBeatPanel"), "inBeatInputUpdateRequest", Q_ARG(QVariant, 0));
    Choose("inBeatInput", 0);
    ASSERT_EQ(Text("inBarInput"), "9");
    Press("okButton");
    EXPECT_EQ(Stored(id).start(), startTick_);
}

TEST_F(EditToolsTest, ATempoScaleOpensAsItsWholePercent)
{
    const RangeTool& tempo = RangeTools()[4];
    for (const auto& [factor, shown] : std::vector<std::pair<double, int>>{{0.95, 95}, {0.5, 50}, {1.999, 199}}) {
        MakeTool(tempo.make, tempo.closing);
        cmn::BrixEvent event = CL::TempoScale(0, Song::kBar, "F9", factor);
        tempo.openOn(*tool_, &event);
        EXPECT_EQ(Window()->property("intValue").toInt(), shown) << factor;
        EXPECT_EQ(Window()->property("value").toString(), QString::number(shown)) << factor;
        tool_.reset();
        RunDeferredDeletes();
    }
}

// The base's pickers, on a song whose first bar is a pickup of beats 3 and 4.
class EditToolPickersTest : public EditToolTest {
protected:
    void SetUp() override
    {
        EditToolTest::SetUp();
        std::vector<TL::BarsBeats> beats{{0, 0, 3}, {Song::kBeat, 0, 4}};
        for (std::uint32_t bar = 1; bar <= 3; ++bar) {
            for (std::uint32_t beat = 1; beat <= 4; ++beat)
                beats.emplace_back(2 * Song::kBeat + (bar - 1) * Song::kBar + (beat - 1) * Song::kBeat, bar, beat);
        }
        bars_ = TL::TimelineSequence<TL::BarsBeats>(std::move(beats));
        MakeTool(Make<brix::qt::CutToolController>, SIGNAL(cutToolClosing()));
    }
    QStringList Beats(const char* combo) const
    {
        QStringList beats;
        for (const QVariant& beat : Child(combo)->property("model").toList())
            beats << beat.toString();
        return beats;
    }
};

TEST_F(EditToolPickersTest, BeatInputsFollowTheBarsOfBothPositions)
{
    struct Case {
        const char* name;
        TL::BarsBeats start;
        TL::BarsBeats end;
        QStringList inBeats;
        int inIndex;
        QStringList outBeats;
        int outIndex;
    };
    const QStringList pickup{"3", "4"};
    const QStringList full{"1", "2", "3", "4"};
    const TL::BarsBeats unknown(0, 9, 2);  // bar 9 is not in this song
    const std::vector<Case> cases{
        {"pickup beats are searched", {Song::kBeat, 0, 4}, {0, 0, 3}, pickup, 1, pickup, 0},
        {"an unknown bar gives the first bar", unknown, unknown, pickup, 0, pickup, 0},
        {"an end before the start takes the in bar", {0, 2, 3}, {0, 1, 2}, full, 2, full, 2},
        {"each position its own bar", {0, 1, 2}, {0, 3, 4}, full, 1, full, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tool_->SetBarInputs(c.start, c.end);
        tool_->SetBeatInputs(c.start, c.end);
        EXPECT_EQ(Beats("inBeatInput"), c.inBeats);
        EXPECT_EQ(Child("inBeatInput")->property("currentIndex").toInt(), c.inIndex);
        EXPECT_EQ(Beats("outBeatInput"), c.outBeats);
        EXPECT_EQ(Child("outBeatInput")->property("currentIndex").toInt(), c.outIndex);
    }
    EXPECT_EQ(tool_->IndexOfBar(unknown), -1);
}

TEST_F(EditToolPickersTest, ChoosingABarLoadsItsBeatsAndSuggestsAnIdForANewEvent)
{
    auto& cutTool = static_cast<brix::qt::CutToolController&>(*tool_);
    cutTool.onCutButtonClicked();
    ASSERT_TRUE(Visible());
    EXPECT_EQ(Text("inBarInput"), "0");
    // The user picks bar 2: the panel asks for its beats.
    Choose("inBarInput", 2);
    QMetaObject::invokeMethod(Child("barAndBeatPanel"), "inBeatInputUpdateRequest", Q_ARG(QVariant, 2));
    EXPECT_EQ(Beats("inBeatInput"), (QStringList{"1", "2", "3", "4"}));
    Choose("inBeatInput", 1);
    EXPECT_EQ(Window()->property("eventId").toString().toStdString(),
              editor_->GetSuggestedEventIdAtTick(2 * Song::kBeat + Song::kBar + Song::kBeat, 66));

    // Opened on an event, the id stays the event's.
    cmn::BrixEvent cut = Stored("B1");
    cutTool.onCutEdit(&cut);
    Choose("inBeatInput", 2);
    EXPECT_EQ(Window()->property("eventId").toString(), "B1");
}

}  // namespace
}  // namespace musical_test

namespace musical_test {
namespace {

// The click tool: the engine offers {2, 4, 8} for a range of a bar or less, {4, 8, 16} for a longer one.
class ClickToolTest : public EditToolTest {
protected:
    void SetUp() override
    {
        EditToolTest::SetUp();
        ON_CALL(*engine_, GetClickValues(::testing::_, ::testing::_))
            .WillByDefault([this](unsigned int start, unsigned int end) {
                asked_ = {start, end};
                return end - start <= Song::kBar ? std::vector<int>{2, 4, 8} : std::vector<int>{4, 8, 16};
            });
        MakeTool(Make<brix::qt::ClickToolController>, SIGNAL(clickToolClosing()));
    }
    brix::qt::ClickToolController& Tool() const { return static_cast<brix::qt::ClickToolController&>(*tool_); }
    QVariantList Offered() const { return Window()->property("clickCountModel").toList(); }
    int Chosen() const { return Window()->property("clickCountIndex").toInt(); }

    std::pair<unsigned int, unsigned int> asked_;
};

TEST_F(ClickToolTest, ANewClickRegionTakesTheChosenValueOfTheRange)
{
    Tool().onClickButtonClicked(PositionAt(9 * Song::kBar), PositionAt(10 * Song::kBar));
    ASSERT_TRUE(Visible());
    EXPECT_EQ(Window()->property("title").toString(), "Change Click Resolution");
    EXPECT_EQ(asked_, std::make_pair(9 * Song::kBar, 10 * Song::kBar));
    EXPECT_EQ(Offered(), (QVariantList{2, 4, 8}));
    EXPECT_EQ(Chosen(), 0);
    const std::string id = Window()->property("eventId").toString().toStdString();
    Window()->setProperty("clickCountIndex", 1);
    Press("okButton");
    const cmn::BrixEvent made = Stored(id);
    EXPECT_EQ(made.code(), 76);
    EXPECT_EQ(made.start(), 9 * Song::kBar);
    EXPECT_EQ(made.end(), 10 * Song::kBar);
    EXPECT_EQ(made.int_value(), 4);
    EXPECT_FALSE(Visible());
    EXPECT_EQ(closing_->count(), 1);
}

TEST_F(ClickToolTest, AnExistingClickShowsItsValueAndTheListFollowsTheRange)
{
    cmn::BrixEvent click = Stored("L1");  // bars 1 and 2, a click every 8 32nds
    Tool().onClickEdit(&click);
    EXPECT_EQ(Window()->property("title").toString(), "Edit Click Resolution");
    EXPECT_EQ(Offered(), (QVariantList{4, 8, 16}));
    EXPECT_EQ(Chosen(), 1);
    // A shorter range: its values, the first chosen.
    Choose("outBarInput", 1);
    EXPECT_EQ(Offered(), (QVariantList{2, 4, 8}));
    EXPECT_EQ(Chosen(), 0);
    Window()->setProperty("clickCountIndex", 2);
    Press("okButton");
    const cmn::BrixEvent changed = Stored("L1");
    EXPECT_EQ(changed.end(), Song::kBar);
    EXPECT_EQ(changed.int_value(), 8);
    EXPECT_EQ(updated_->count(), 1);
    EXPECT_FALSE(Visible());
}

TEST_F(ClickToolTest, AClickValueNoLongerOfferedOpensOnTheFirstChoice)
{
    cmn::BrixEvent click = CL::Click(0, 2 * Song::kBar, "L7", 3);
    Tool().onClickEdit(&click);
    EXPECT_EQ(Offered(), (QVariantList{4, 8, 16}));
    EXPECT_EQ(Chosen(), 0);
}

}  // namespace
}  // namespace musical_test
