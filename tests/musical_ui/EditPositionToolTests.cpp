// The single-position edit tools (caesura, marker, OSC cue) over the edit controller and a real
// change-log editor: new and existing events, the shift and its range, the destinations, Cancel.
#include "EditToolFixture.h"
#include "position_tools.h"

#include <QQuickWindow>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace musical_test {
namespace {

using Song = TimelineSong;
using namespace brix::qt;

template <class Tool>
std::unique_ptr<EditToolController> Make(QQmlEngine* engine, EditController* edits, std::shared_ptr<Interface> fake)
{
    return std::make_unique<Tool>(engine, edits, std::move(fake));
}

class PositionToolsTest : public EditToolTest {
protected:
    void SetUp() override
    {
        EditToolTest::SetUp();
        networks_ = {CL::NetworkPath("Lights", "N1", "127.0.0.1", 53000, false),
                     CL::NetworkPath("Sound", "N2", "127.0.0.1", 53001, true)};
    }
    template <class Tool>
    Tool& Open(const char* closing)
    {
        MakeTool(Make<Tool>, closing);
        return static_cast<Tool&>(*tool_);
    }
    void SetText(const char* field, const QString& text) const { Child(field)->setProperty("text", text); }
    double Prop(const char* name) const { return Window()->property(name).toDouble(); }
    std::string NewId() const { return Window()->property("eventId").toString().toStdString(); }
};

TEST_F(PositionToolsTest, ANewMarkerIsAddedAtTheChosenBeatWithItsText)
{
    auto& tool = Open<MarkerToolController>(SIGNAL(markerToolClosing()));
    tool.onMarkerButtonClicked(PositionAt(8 * Song::kBar + Song::kBeat));
    ASSERT_TRUE(Visible());
    EXPECT_EQ(Window()->property("title").toString(), "Create Marker");
    EXPECT_EQ(Text("inBarInput"), "9");
    EXPECT_EQ(Text("inBeatInput"), "2");
    const std::string id = NewId();
    const int steps = HistorySteps();
    SetText("markerText", "Bridge");
    Press("okButton");
    const cmn::BrixEvent made = Stored(id);
    EXPECT_EQ(made.code(), 69);
    EXPECT_EQ(made.start(), 8 * Song::kBar + Song::kBeat);
    EXPECT_EQ(made.value(), "Bridge");
    EXPECT_EQ(HistorySteps(), steps + 1);
    EXPECT_FALSE(Visible());
    EXPECT_EQ(closing_->count(), 1);
}

TEST_F(PositionToolsTest, AnExistingMarkerIsMovedAndRenamed)
{
    auto& tool = Open<MarkerToolController>(SIGNAL(markerToolClosing()));
    cmn::BrixEvent verse = Stored("E3");
    tool.onMarkerEdit(&verse);
    EXPECT_EQ(Window()->property("title").toString(), "Edit Marker");
    EXPECT_EQ(Window()->property("strValue").toString(), "Verse");
    EXPECT_EQ(Text("inBarInput"), "7");
    Choose("inBeatInput", 2);
    SetText("markerText", "Chorus");
    Press("okButton");
    const cmn::BrixEvent changed = Stored("E3");
    EXPECT_EQ(changed.start(), 6 * Song::kBar + 2 * Song::kBeat);
    EXPECT_EQ(changed.value(), "Chorus");
    EXPECT_EQ(updated_->count(), 1);
    EXPECT_FALSE(Visible());
}

TEST_F(PositionToolsTest, ACaesuraIsPlacedAfterItsBeatByTheTruncatedShift)
{
    auto& tool = Open<CaesuraToolController>(SIGNAL(caesuraToolClosing()));
    tool.onCaesuraButtonClicked(PositionAt(Song::kBar / 2));
    ASSERT_TRUE(Visible());
    EXPECT_EQ(Window()->property("title").toString(), "Create Caesura");
    EXPECT_EQ(Prop("inShiftMax"), shiftRoom_);
    EXPECT_TRUE(Window()->property("inShiftEnabled").toBool());
    const std::string id = NewId();
    Window()->setProperty("inShift", 12.7);
    Press("okButton");
    const cmn::BrixEvent made = Stored(id);
    EXPECT_EQ(made.code(), 78);
    EXPECT_EQ(made.start(), Song::kBar / 2 + 12);
    EXPECT_FALSE(Visible());
}

TEST_F(PositionToolsTest, AnExistingCaesuraShowsItsShiftAndNoteAndMoves)
{
    struct Case {
        int target;
        QString note;
    };
    const std::vector<Case> cases{{0, ""},
                                  {1, "Note: This caesura will only occur in Tarn|Wick."},
                                  {2, "Note: This caesura will only occur in Vell|Stroud."}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        auto& tool = Open<CaesuraToolController>(SIGNAL(caesuraToolClosing()));
        cmn::BrixEvent caesura = Stored("N1");
        caesura.SetStart(10 * Song::kBar + 30);
        caesura.SetVersionTarget(c.target);
        tool.onCaesuraEdit(&caesura);
        EXPECT_EQ(Window()->property("toolNote").toString(), c.note);
        EXPECT_EQ(Prop("inShift"), 30.0);
        EXPECT_EQ(Window()->property("eventId").toString(), "N1");
        tool_.reset();
        RunDeferredDeletes();
    }
    auto& tool = Open<CaesuraToolController>(SIGNAL(caesuraToolClosing()));
    cmn::BrixEvent caesura = Stored("N1");
    tool.onCaesuraEdit(&caesura);
    Choose("inBeatInput", 1);
    Window()->setProperty("inShift", 5.0);
    Press("okButton");
    EXPECT_EQ(Stored("N1").start(), 10 * Song::kBar + Song::kBeat + 5);
    EXPECT_EQ(updated_->count(), 1);
    EXPECT_FALSE(Visible());
}

TEST_F(PositionToolsTest, TheShiftRangeFollowsTheBeat)
{
    // The song starts in bar 2; the tool may reach back 100 ticks before it.
    startTick_ = Song::kBar + 10;
    auto& tool = Open<CaesuraToolController>(SIGNAL(caesuraToolClosing()));
    tool.onCaesuraButtonClicked(PositionAt(Song::kBar), Song::kBar - 100);
    EXPECT_EQ(Text("inBarInput"), "2");
    EXPECT_EQ(Prop("inShiftMin"), -100.0);
    EXPECT_EQ(Prop("inShift"), -100.0);
    // Another beat: no reach back.
    Choose("inBeatInput", 1);
    EXPECT_EQ(Prop("inShiftMin"), 0.0);
    EXPECT_EQ(Prop("inShift"), 0.0);
    // No room after the beat: the slider is off.
    shiftRoom_ = 0;
    Choose("inBeatInput", 2);
    EXPECT_FALSE(Window()->property("inShiftEnabled").toBool());
    // Back on the first beat, the event is made before the song's first tick.
    shiftRoom_ = Song::kBeat - 1;
    const std::string id = NewId();
    Choose("inBeatInput", 0);
    Press("okButton");
    EXPECT_EQ(Stored(id).start(), Song::kBar - 100);
}

TEST_F(PositionToolsTest, ANewOscCueIsAddedWithItsCommandDestinationAndShift)
{
    auto& tool = Open<OscToolController>(SIGNAL(toolClosing()));
    tool.onToolButtonClicked(PositionAt(3 * Song::kBar));
    ASSERT_TRUE(Visible());
    EXPECT_EQ(Window()->property("title").toString(), "Create OSC Command");
    const std::string id = NewId();
    SetText("commandText", "/brix/fadeout 5");
    Window()->setProperty("networkCurrentIndex", 1);
    Window()->setProperty("inShift", 3.9);
    Press("okButton");
    const cmn::BrixEvent made = Stored(id);
    EXPECT_EQ(made.code(), 83);
    EXPECT_EQ(made.start(), 3 * Song::kBar + 3);
    EXPECT_EQ(made.osc_properties(), CL::OscProperties("/brix/fadeout 5", "N2"));
    EXPECT_FALSE(Visible());
    EXPECT_EQ(closing_->count(), 1);
}

TEST_F(PositionToolsTest, AnExistingOscCueIsChangedThroughTheEditorOnly)
{
    auto& tool = Open<OscToolController>(SIGNAL(toolClosing()));
    cmn::BrixEvent cue = Stored("S1");
    const cmn::BrixEvent asOpened = cue;
    tool.onToolEdit(&cue);
    EXPECT_EQ(Window()->property("title").toString(), "Edit OSC Command");
    EXPECT_EQ(Window()->property("strValue").toString(), "/lights/cue 5");
    EXPECT_EQ(Window()->property("networkCurrentIndex").toInt(), 0);
    Choose("inBeatInput", 1);
    SetText("commandText", "/lights/cue 6");
    Window()->setProperty("networkCurrentIndex", 1);
    Press("okButton");
    const cmn::BrixEvent changed = Stored("S1");
    EXPECT_EQ(changed.start(), 11 * Song::kBar + Song::kBeat);
    EXPECT_EQ(changed.osc_properties(), CL::OscProperties("/lights/cue 6", "N2"));
    EXPECT_EQ(cue, asOpened);
    EXPECT_EQ(updated_->count(), 1);
    EXPECT_FALSE(Visible());
}

TEST_F(PositionToolsTest, AnOscCueOfAnUnknownDestinationOpensWithNoneChosen)
{
    auto& tool = Open<OscToolController>(SIGNAL(toolClosing()));
    cmn::BrixEvent cue = CL::Osc(11 * Song::kBar, "S9", CL::OscProperties("/x", "GONE"));
    tool.onToolEdit(&cue);
    EXPECT_EQ(Window()->property("networkCurrentIndex").toInt(), -1);
}

TEST_F(PositionToolsTest, CancelLeavesTheLogAsItWas)
{
    const auto before = editor_->GetEventsByEventId();
    {
        auto& tool = Open<MarkerToolController>(SIGNAL(markerToolClosing()));
        tool.onMarkerButtonClicked(PositionAt(0));
        SetText("markerText", "Gone");
        Press("cancelButton");
        EXPECT_EQ(closing_->count(), 1);
    }
    {
        auto& tool = Open<CaesuraToolController>(SIGNAL(caesuraToolClosing()));
        cmn::BrixEvent caesura = Stored("N1");
        tool.onCaesuraEdit(&caesura);
        Choose("inBeatInput", 2);
        Press("cancelButton");
        EXPECT_EQ(closing_->count(), 1);
    }
    {
        auto& tool = Open<OscToolController>(SIGNAL(toolClosing()));
        tool.onToolButtonClicked(PositionAt(0));
        SetText("commandText", "/x");
        Press("cancelButton");
        EXPECT_EQ(closing_->count(), 1);
    }
    EXPECT_EQ(editor_->GetEventsByEventId(), before);
}

}  // namespace
}  // namespace musical_test

namespace musical_test {
namespace {

TEST_F(PositionToolsTest, ReturnInTheTextSendsTheRequestAndEscapeCancels)
{
    const auto before = editor_->GetEventsByEventId().size();
    for (const auto& [key, added] : std::vector<std::pair<Qt::Key, std::size_t>>{{Qt::Key_Escape, 0}, {Qt::Key_Return, 1}}) {
        auto& tool = Open<MarkerToolController>(SIGNAL(markerToolClosing()));
        tool.onMarkerButtonClicked(PositionAt(Song::kBar));
        auto* window = qobject_cast<QQuickWindow*>(Window());
        ASSERT_NE(window, nullptr);
        window->requestActivate();
        QQuickItem* text = qobject_cast<QQuickItem*>(Child("markerText"));
        text->forceActiveFocus();
        ASSERT_TRUE(WaitFor([&] { return window->activeFocusItem() != nullptr; }));
        QTest::keyClick(window, key);
        EXPECT_EQ(editor_->GetEventsByEventId().size(), before + added) << key;
        EXPECT_FALSE(Visible()) << key;
        EXPECT_EQ(closing_->count(), 1) << key;
    }
}

}  // namespace
}  // namespace musical_test
