#include "Fixtures.h"
#include "TempoDifference.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/NotifyNames.h>

#include <gtest/gtest.h>

#include <cmath>

using namespace app_test;

namespace {

TEST(TempoDifference, ReportsTheDifferenceInWholePerCentOfTheTarget)
{
    struct Case {
        double target;
        double actual;
        int percent;
    };
    const Case cases[] = {
        {120.0, 126.0, 5}, {120.0, 119.4, -1}, {120.0, 120.6, 1}, {100.0, 100.4, 0}, {100.0, 50.0, -50},
        {0.0, 120.0, 0},  // no target: no meaningful difference, and no division by zero
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.target << " -> " << c.actual);
        TempoDifference difference;
        GuiRecorder gui;
        double target = c.target;
        double actual = c.actual;
        notify::callbackDispatcher.Notify(notify::names::reportTargetTempo, &target);
        notify::callbackDispatcher.Notify(notify::names::reportActualTempo, &actual);
        const auto differences = gui.Of(notify::GuiEventKind::StatusTempoDifference);
        ASSERT_FALSE(differences.empty());
        EXPECT_EQ(differences.back().value, c.percent);
        ASSERT_EQ(gui.Of(notify::GuiEventKind::StatusActualTempo).size(), 1u);
        EXPECT_EQ(gui.Of(notify::GuiEventKind::StatusActualTempo)[0].value, static_cast<int>(std::round(c.actual)));
    }
}

TEST(TempoDifference, StopsListeningWhenDestroyed)
{
    GuiRecorder gui;
    {
        TempoDifference difference;
    }
    double target = 90.0;
    notify::callbackDispatcher.Notify(notify::names::reportTargetTempo, &target);
    EXPECT_TRUE(gui.Of(notify::GuiEventKind::StatusTargetTempo).empty());
}

}  // namespace
