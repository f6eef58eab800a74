// Every edit tool's window on a real display (Xvfb in ctest), opened on an existing event of the test
// song; saved in the pictures folder for a person to check.

#include "EditToolFixture.h"
#include "WindowPicture.h"
#include "position_tools.h"
#include "range_tools.h"
#include "value_tools.h"

#include <functional>
#include <string>

namespace musical_test {
namespace {

using namespace brix::qt;

class EditToolPictures : public EditToolTest {
protected:
    template <class Tool>
    void Picture(const char* name, const char* closing, const std::string& eventId,
                 const std::function<void(Tool&, cmn::BrixEvent*)>& open)
    {
        networks_ = {CL::NetworkPath("Lights", "N1", "127.0.0.1", 53000, false)};
        MakeTool(
            [](QQmlEngine* engine, EditController* edits, std::shared_ptr<Interface> fake) {
                return std::make_unique<Tool>(engine, edits, std::move(fake));
            },
            closing);
        cmn::BrixEvent event = Stored(eventId);
        if (eventId == "N1")
            event.SetVersionTarget(1);
        open(static_cast<Tool&>(*tool_), &event);
        SaveWindowPicture(Window(), QStringLiteral(PICTURES_DIR), QString::fromLatin1(name));
    }
};

TEST_F(EditToolPictures, RangeTools)
{
    Picture<CutToolController>("tool_cut", SIGNAL(cutToolClosing()), "B1",
                               [](auto& tool, auto* event) { tool.onCutEdit(event); });
    Picture<SkipToolController>("tool_skip", SIGNAL(skipToolClosing()), "M1",
                                [](auto& tool, auto*) { tool.onSkipButtonClicked(); });
    Picture<VampToolController>("tool_vamp", SIGNAL(vampToolClosing()), "@1",
                                [](auto& tool, auto* event) { tool.onVampEdit(event); });
    Picture<RepeatToolController>("tool_repeat", SIGNAL(repeatToolClosing()), "A1",
                                  [](auto& tool, auto* event) { tool.onRepeatEdit(event); });
}

TEST_F(EditToolPictures, ValueTools)
{
    Picture<TempoToolController>("tool_tempo", SIGNAL(tempoToolClosing()), "F1",
                                 [](auto& tool, auto* event) { tool.onTempoEdit(event); });
    Picture<TransposeToolController>("tool_transpose", SIGNAL(transposeToolClosing()), "C1",
                                     [](auto& tool, auto*) { tool.onTransposeButtonClicked(); });
}

TEST_F(EditToolPictures, PositionTools)
{
    Picture<CaesuraToolController>("tool_caesura", SIGNAL(caesuraToolClosing()), "N1",
                                   [](auto& tool, auto* event) { tool.onCaesuraEdit(event); });
    Picture<MarkerToolController>("tool_marker", SIGNAL(markerToolClosing()), "E3",
                                  [](auto& tool, auto* event) { tool.onMarkerEdit(event); });
    Picture<OscToolController>("tool_osc", SIGNAL(toolClosing()), "S1",
                               [](auto& tool, auto* event) { tool.onToolEdit(event); });
}

}  // namespace
}  // namespace musical_test

namespace musical_test {
namespace {

TEST_F(EditToolPictures, ClickTool)
{
    ON_CALL(*engine_, GetClickValues(::testing::_, ::testing::_))
        .WillByDefault(::testing::Return(std::vector<int>{1, 2, 3, 4, 6, 8, 12, 16, 24, 32}));
    Picture<ClickToolController>("tool_click", SIGNAL(clickToolClosing()), "L1",
                                 [](auto& tool, auto* event) { tool.onClickEdit(event); });
    // The choices, open.
    QObject* combo = FindByName(Window(), QStringLiteral("clickInput"));
    ASSERT_NE(combo, nullptr);
    QMetaObject::invokeMethod(combo->property("choices").value<QObject*>(), "open");
    SaveWindowPicture(Window(), QStringLiteral(PICTURES_DIR), QStringLiteral("tool_click_open"));
}

}  // namespace
}  // namespace musical_test
