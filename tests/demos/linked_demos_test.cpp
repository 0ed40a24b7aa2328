// The demos of forces between moving objects and of the relativistic mass,
// each checked against its closed form. The tolerances allow for the error of
// the 1 ms step and of the rope and rod corrections.
#include <gtest/gtest.h>

#include <cmath>

#include "engine_run.h"
#include "model/vec.h"

namespace quorrel {
namespace {
using test::EngineRun;
using test::object_distance;

// Two equal stars on one circle keep their distance, their centre of mass
// stays put, and after 2π·√(d³/(G·2M)) they are back where they started.
TEST(LinkedDemos, BinaryStarsCircleTheirCentreOnce) {
    EngineRun r("binary_stars.exp");
    const double M = r.o(0).mass, d = 4.0;
    const double period = 2 * PI * std::sqrt(d * d * d / (r.m->settings.G * 2 * M));
    const double x0 = r.o(0).x, y0 = r.o(0).y;
    while (r.t() < period - 5e-4) {
        r.step();
        ASSERT_NEAR(object_distance(r.o(0), r.o(1)), d, 0.01 * d) << "t = " << r.t();
    }
    // The second star is pulled toward the first one's already advanced
    // position, so the centre drifts a little over a period: 1 cm of 4 m.
    EXPECT_NEAR(r.o(0).x + r.o(1).x, 0.0, 0.02);
    EXPECT_NEAR(r.o(0).y + r.o(1).y, 0.0, 0.02);
    EXPECT_NEAR(length(r.o(0).x - x0, r.o(0).y - y0), 0.0, 0.05);
}

// The rope holds the two repelling charges at its length while they spin at
// 1 m/s about their centre: half a turn takes π/2 s.
TEST(LinkedDemos, ChargesOnARopeKeepTheirDistanceAndSpin) {
    EngineRun r("charges_on_a_rope.exp");
    while (r.t() < PI / 2 - 5e-4) {
        r.step();
        ASSERT_NEAR(object_distance(r.o(0), r.o(1)), 1.0, 1e-6) << "t = " << r.t();
    }
    // Half a turn: the charges have swapped sides.
    EXPECT_NEAR(r.o(0).x, 0.5, 1e-3);
    EXPECT_NEAR(r.o(1).x, -0.5, 1e-3);
    // The rope moves both ends at once, each by the other's share of the
    // mass: the centre stays.
    EXPECT_NEAR(r.o(0).y + r.o(1).y, 0.0, 1e-12);
}

// The rod keeps its 2 m while the dumbbell spins, and the centre of mass of
// the 1 kg and 2 kg balls flies on the parabola of one thrown body.
TEST(LinkedDemos, DumbbellCentreOfMassFliesOnAParabola) {
    EngineRun r("dumbbell.exp");
    const double g = r.m->settings.g;
    for (int i = 0; i < 1500; ++i) {
        r.step();
        ASSERT_NEAR(object_distance(r.o(0), r.o(1)), 2.0, 1e-12) << "t = " << r.t();
    }
    const double t = r.t(), m0 = r.o(0).mass, m1 = r.o(1).mass;
    const double cx = (m0 * r.o(0).x + m1 * r.o(1).x) / (m0 + m1);
    const double cy = (m0 * r.o(0).y + m1 * r.o(1).y) / (m0 + m1);
    EXPECT_NEAR(cx, 4.0 / 3.0 + 6 * t, 1e-9);
    EXPECT_NEAR(cy, 8 * t - g * t * t / 2, 1e-9);
}

// With c = 10 m/s the fast charge (γ = 5/3) circles on γ·m·v/(qB), the slow
// one on nearly its classical radius; both centres are at the origin.
TEST(LinkedDemos, RelativisticChargeCirclesOnTheLargerRadius) {
    EngineRun r("relativistic_circles.exp");
    const double c = r.m->settings.c;
    for (int i = 0; i < 4000; ++i) r.step();
    const double gamma_fast = 1 / std::sqrt(1 - 64 / (c * c)), gamma_slow = 1 / std::sqrt(1 - 4 / (c * c));
    // The step keeps the speed to about 1e-6 of itself, and γ with it.
    EXPECT_NEAR(r.o(0).mass, gamma_fast, 1e-5);
    EXPECT_NEAR(length(r.o(0).x, r.o(0).y), gamma_fast * 8, 0.005 * gamma_fast * 8);
    EXPECT_NEAR(length(r.o(1).x, r.o(1).y), gamma_slow * 2, 0.01 * gamma_slow * 2);
}

}  // namespace
}  // namespace quorrel
