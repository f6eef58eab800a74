#include "UserControls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace {

TEST(UserControls, StartsAtUnitTempoScaleAndNoTransposition)
{
    UserControls controls;
    EXPECT_EQ(controls.GetTempoScale(), 1.0);
    EXPECT_EQ(controls.GetTransposition(), 0);
    EXPECT_FALSE(controls.GetTranspositionChanged());
}

TEST(UserControls, TempoStepsAreMultiplicativeAndUnbounded)
{
    UserControls controls;
    EXPECT_DOUBLE_EQ(controls.IncreaseTempo(), 1.01);
    EXPECT_DOUBLE_EQ(controls.IncreaseTempo(), 1.0201);
    EXPECT_DOUBLE_EQ(controls.IncreaseTempo(), 1.030301);
    EXPECT_DOUBLE_EQ(controls.GetTempoScale(), 1.030301);

    UserControls upDown;
    upDown.IncreaseTempo();
    EXPECT_DOUBLE_EQ(upDown.DecreaseTempo(), 0.9999);

    UserControls fast;
    fast.SetTempoScale(1.99);
    EXPECT_GT(fast.IncreaseTempo(), 2.0);
}

TEST(UserControls, SetTempoScaleStoresAnyFinitePositiveFactor)
{
    for (double factor : {0.001, 0.5, 1.0, 3.0, 1000.0}) {
        UserControls controls;
        controls.SetTempoScale(factor);
        EXPECT_EQ(controls.GetTempoScale(), factor);
    }
}

TEST(UserControls, SetTempoScaleRejectsNonFiniteOrNonPositiveFactorAndKeepsTheOldOne)
{
    std::vector<double> const bad = {0.0, -0.0, -1.0, std::numeric_limits<double>::quiet_NaN(),
                                     std::numeric_limits<double>::infinity(),
                                     -std::numeric_limits<double>::infinity()};
    for (double factor : bad) {
        UserControls controls;
        controls.SetTempoScale(1.5);
        EXPECT_THROW(controls.SetTempoScale(factor), std::invalid_argument) << factor;
        EXPECT_EQ(controls.GetTempoScale(), 1.5) << factor;
    }
}

TEST(UserControls, TranspositionChangedIsReportedOnceAndOnlyForANewValue)
{
    UserControls controls;
    controls.SetTransposition(3);
    controls.SetTransposition(3);
    EXPECT_EQ(controls.GetTransposition(), 3);
    EXPECT_TRUE(controls.GetTranspositionChanged());
    EXPECT_FALSE(controls.GetTranspositionChanged());

    controls.SetTransposition(3);
    EXPECT_FALSE(controls.GetTranspositionChanged());
}

TEST(UserControls, TranspositionSetBackBeforeBeingReadStaysChanged)
{
    UserControls controls;
    controls.SetTransposition(-2);
    controls.SetTransposition(0);
    EXPECT_EQ(controls.GetTransposition(), 0);
    EXPECT_TRUE(controls.GetTranspositionChanged());
    EXPECT_FALSE(controls.GetTranspositionChanged());
}

} // namespace
