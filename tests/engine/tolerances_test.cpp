#include "engine/tolerances.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/vec.h"

namespace quorrel {
namespace {

// Opposite speeds count as a reversal only beyond rounding: a product of two
// vanishing speeds, or a speed that reaches exactly 0, does not.
TEST(Tolerances, ReversalNeedsOppositeSpeedsBeyondRounding) {
    EXPECT_TRUE(reverses(1.0, -1e-3));
    EXPECT_TRUE(reverses(-2.0, 0.5));
    EXPECT_FALSE(reverses(1.0, 0.0));
    EXPECT_FALSE(reverses(1.0, 0.5));
    EXPECT_FALSE(reverses(1e-60, -1e-60));
}

// The sliding threshold is strict on both sides: a speed of exactly
// SLIDING_EPS still counts as no sliding.
TEST(Tolerances, SlidingSignIgnoresSpeedsWithinTheThreshold) {
    EXPECT_EQ(sliding_sign(SLIDING_EPS), 0.0);
    EXPECT_EQ(sliding_sign(-SLIDING_EPS), 0.0);
    EXPECT_EQ(sliding_sign(2 * SLIDING_EPS), 1.0);
    EXPECT_EQ(sliding_sign(-2 * SLIDING_EPS), -1.0);
    EXPECT_EQ(sliding_sign(0.0), 0.0);
}

// Axis angles are matched inclusively, and only within AXIS_ANGLE_EPS: an
// angle that is a float away from pi/2 is not vertical.
TEST(Tolerances, NearAxisIsInclusiveAndTight) {
    EXPECT_TRUE(near_axis(AXIS_ANGLE_EPS, 0.0));
    EXPECT_TRUE(near_axis(-AXIS_ANGLE_EPS, 0.0));
    EXPECT_FALSE(near_axis(2 * AXIS_ANGLE_EPS, 0.0));
    EXPECT_TRUE(near_axis(PI / 2, PI / 2));
    EXPECT_FALSE(near_axis(std::nextafter(PI / 2, 4.0), PI / 2));
}

}  // namespace
}  // namespace quorrel
