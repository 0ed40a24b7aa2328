// Force fields and springs: the solvers on single objects, and the Lorentz
// force over a whole circle through the integration step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "demos/bench_scenes.h"
#include "engine/engine.h"
#include "engine/solvers.h"

namespace quorrel {
namespace {

struct ForceFixture : ::testing::Test {
    std::unique_ptr<Model> m = make_model();
    int body(double x, double y, double vx = 0, double vy = 0, double mass = 1, double r = 0.1) {
        const int i = add_body(*m, "b", x, y, vx, vy, mass, r);
        MovingObject& o = m->objects[i];
        o.x = x;
        o.y = y;
        o.vx = vx;
        o.vy = vy;
        o.prev_x = x;
        o.prev_y = y;
        o.mass = mass;
        return i;
    }
    MovingObject& obj(int i) { return m->objects[i]; }
};

TEST(VecAngle, QuadrantsAndThresholds) {
    EXPECT_EQ(vec_angle(0, 0), 0.0);
    EXPECT_EQ(vec_angle(1e-101, -1e-101), 0.0);
    EXPECT_DOUBLE_EQ(vec_angle(0, 2), PI / 2);
    EXPECT_DOUBLE_EQ(vec_angle(0, -2), 3 * PI / 2);
    EXPECT_DOUBLE_EQ(vec_angle(-1, 0), PI);
    EXPECT_DOUBLE_EQ(vec_angle(1, -1), 7 * PI / 4);
    EXPECT_DOUBLE_EQ(vec_angle(-1, -1), 5 * PI / 4);
    EXPECT_DOUBLE_EQ(vec_angle(3, 4), std::atan(4.0 / 3.0));
}

using Gravitation = ForceFixture;

TEST_F(Gravitation, FixedMassAttractsAndCoincidentPointsExertNothing) {
    m->settings.G = 2.0;
    const double mass[3] = {3, 4, 10};
    add_element(*m, T_M, mass);
    const int a = body(0, 0, 0, 0, 5);
    apply_M(*m, a);
    EXPECT_NEAR(obj(a).force_x, 2.0 * 5 * 10 / 25 * 0.6, 1e-12);
    EXPECT_NEAR(obj(a).force_y, 2.0 * 5 * 10 / 25 * 0.8, 1e-12);

    const int b = body(3, 4);
    apply_M(*m, b);
    EXPECT_EQ(obj(b).force_x, 0.0);
    EXPECT_EQ(obj(b).force_y, 0.0);
}

TEST_F(Gravitation, MutualUsesCurrentPositionsAndSkipsCoincidentObjects) {
    m->settings.G = 1.0;
    const int a = body(0, 0, 0, 0, 2);
    const int b = body(0, 2, 0, 0, 3);
    const int c = body(0, 0, 0, 0, 7);  // same place as a
    apply_mutual_gravitation(*m, a);
    EXPECT_EQ(obj(a).force_x, 0.0);
    EXPECT_NEAR(obj(a).force_y, 2.0 * 3 / 4, 1e-12);
    obj(b).prev_y = 100;  // the start-of-step position does not enter
    apply_mutual_gravitation(*m, c);
    EXPECT_NEAR(obj(c).force_y, 7.0 * 3 / 4, 1e-12);
}

using Coulomb = ForceFixture;

TEST_F(Coulomb, FixedChargeRepelsLikeCharges) {
    m->settings.k = 1.0;
    const double q[3] = {0, 0, 2};
    add_element(*m, T_E, q);
    const int a = body(2, 0);
    obj(a).charge = 3;
    apply_E(*m, a);
    EXPECT_NEAR(obj(a).force_x, 1.5, 1e-12);
    obj(a).force_x = 0;
    obj(a).x = 0;
    apply_E(*m, a);
    EXPECT_EQ(obj(a).force_x, 0.0);
}

TEST_F(Coulomb, MutualChargeUsesStartOfStepPositions) {
    m->settings.k = 1.0;
    const int a = body(0, 0);
    const int b = body(10, 0);
    obj(a).charge = 1;
    obj(b).charge = -1;
    obj(a).x = 9;  // already advanced within the step: ignored
    apply_mutual_charge(*m, b);
    EXPECT_NEAR(obj(b).force_x, -1.0 / 100, 1e-15);
    apply_mutual_charge(*m, a);
    EXPECT_NEAR(obj(a).force_x, 1.0 / 100, 1e-15);
}

using Fields = ForceFixture;

TEST_F(Fields, UniformFieldActsInsideItsInclusiveRectangle) {
    const double field[6] = {0, 0, 2, 2, PI / 2, 5};
    add_element(*m, T_EA, field);
    const int edge = body(2, 2);
    obj(edge).charge = -2;
    apply_EA(*m, edge);
    EXPECT_NEAR(obj(edge).force_y, -10, 1e-12);
    EXPECT_NEAR(obj(edge).force_x, 0, 1e-12);
    const int out = body(2.001, 1);
    obj(out).charge = 1;
    apply_EA(*m, out);
    EXPECT_EQ(obj(out).force_y, 0.0);
}

TEST_F(Fields, MagneticShapeCodes) {
    const double none[6] = {-5, -5, 5, 5, 5, 1};
    const double none_neg[6] = {-5, -5, 5, 5, -5, 1};
    add_element(*m, T_BA, none);
    add_element(*m, T_BA, none_neg);
    const int a = body(0, 0, 1, 0);
    obj(a).charge = 1;
    apply_BA(*m, a);
    EXPECT_EQ(obj(a).force_x, 0.0);
    EXPECT_EQ(obj(a).force_y, 0.0);

    // A circle inscribed in the x-extent: (0, 3) is inside the box but outside
    // the circle of radius 2 around (0, 0).
    const double circle[6] = {-2, -4, 2, 4, 6, 1};
    add_element(*m, T_BA, circle);
    const int outside = body(0, 3, 1, 0);
    obj(outside).charge = 1;
    apply_BA(*m, outside);
    EXPECT_EQ(obj(outside).force_y, 0.0);
    apply_BA(*m, a);  // inside: q v x B with B out of the plane pushes -y
    EXPECT_NEAR(obj(a).force_y, -1.0, 1e-12);
    EXPECT_NEAR(obj(a).force_x, 0.0, 1e-12);
}

TEST(Lorentz, ChargeCirclesWithTheCyclotronRadius) {
    auto m = make_model();
    m->settings.scale = 0.02;
    m->settings.steps_per_frame = 100;
    const double field[6] = {-50, -50, 50, 50, -1, 0.5};  // into the plane
    add_element(*m, T_BA, field);
    const double mass = 2, q = 1.5, v = 3, b = 0.5;
    const int a = add_body(*m, "ion", 0, 0, v, 0, mass, 0.1);
    m->objects[a].charge = q;
    set_presence(*m);
    prepare_initial_state(*m);
    m->running = true;
    const double radius = mass * v / (q * b);  // 8
    const double period = 2 * PI * mass / (q * b);
    double lo = 0, hi = 0;
    while (m->sim_time < period) {
        ASSERT_EQ(movin(*m), MOVIN_NORMAL);
        lo = std::min(lo, m->objects[a].y);
        hi = std::max(hi, m->objects[a].y);
        const double speed = std::hypot(m->objects[a].vx, m->objects[a].vy);
        ASSERT_NEAR(speed, v, 1e-6);
    }
    // Field into the plane, positive charge moving +x: the force is +y.
    EXPECT_NEAR(lo, 0.0, 1e-4);
    EXPECT_NEAR(hi, 2 * radius, 2 * radius * 1e-4);
    EXPECT_NEAR(m->forces[a].lorentz.x, -q * m->objects[a].vy * b, 2e-3);
}

using Resistance = ForceFixture;

TEST_F(Resistance, AtRestAPushIsCancelledButNeverReversed) {
    const double region[7] = {-1, -1, 1, 1, 3.0, 0.0, 0.0};
    add_element(*m, T_Z, region);
    const int a = body(0, 0);
    obj(a).force_x = 2;
    obj(a).force_y = -1;
    apply_Z(*m, a);
    EXPECT_EQ(obj(a).force_x, 0.0);
    EXPECT_EQ(obj(a).force_y, 0.0);

    obj(a).force_x = 5;  // larger than the resistance: reduced by it
    obj(a).force_y = 0;
    apply_Z(*m, a);
    EXPECT_NEAR(obj(a).force_x, 2.0, 1e-12);
    EXPECT_EQ(obj(a).force_y, 0.0);
}

TEST_F(Resistance, AtRestOnlyAVelocityIndependentRegionActs) {
    const double viscous[7] = {-1, -1, 1, 1, 3.0, 1.0, 0.0};
    const double dry[7] = {-1, -1, 1, 1, 3.0, 0.0, 0.0};
    add_element(*m, T_Z, viscous);
    add_element(*m, T_Z, dry);
    const int a = body(0, 0);
    obj(a).force_x = 2;
    apply_Z(*m, a);
    EXPECT_EQ(obj(a).force_x, 2.0);
}

TEST_F(Resistance, MovingLawsScaleWithSpeedMassAndVolume) {
    const double law1[7] = {-1, -1, 1, 1, 0.5, 2.0, 1.0};
    add_element(*m, T_Z, law1);
    const int a = body(0, 0, 0, -2, 3.0, 0.5);
    apply_Z(*m, a);
    EXPECT_NEAR(obj(a).force_y, 0.5 * 3 * 4, 1e-12);  // against the motion
    EXPECT_NEAR(obj(a).force_x, 0.0, 1e-12);

    m->Z.rec[0].law = 2;
    obj(a).force_y = 0;
    apply_Z(*m, a);
    EXPECT_NEAR(obj(a).force_y, 0.5 * 4.0 / 3.0 * PI * 0.125 * 4, 1e-12);
    EXPECT_EQ(m->step.stop_velocity, 0);
}

TEST_F(Resistance, ReversalWithinTheStepStopsTheObject) {
    m->step.step_dt = 0.001;
    const double region[7] = {-1, -1, 1, 1, 10.0, 0.0, 0.0};
    add_element(*m, T_Z, region);
    const int a = body(0, 0, 0.003, 0.004);  // both components reverse
    apply_Z(*m, a);
    EXPECT_EQ(m->step.stop_velocity, 1);
    EXPECT_EQ(obj(a).vy, 0.0);
    EXPECT_EQ(obj(a).force_y, 0.0);

    m->step.stop_velocity = 0;
    const int along = body(0, 0, 0.005, 0);  // moving along an axis
    apply_Z(*m, along);
    EXPECT_EQ(m->step.stop_velocity, 1);

    m->step.stop_velocity = 0;
    const int fast = body(0, 0, 3, 4);
    apply_Z(*m, fast);
    EXPECT_EQ(m->step.stop_velocity, 0);
}

using Springs = ForceFixture;

TEST_F(Springs, AnchoredSpringPullsAndRecordsItsSlot) {
    const double other[6] = {0, 0, 1, 5, 0, 7};  // another object's spring
    const double s[6] = {0, 0, 1, 10, 0, 1};
    add_element(*m, T_TH, other);
    add_element(*m, T_TH, s);
    body(50, 50);
    const int a = body(0, 3);
    apply_TH(*m, a);
    EXPECT_NEAR(obj(a).force_y, -20, 1e-12);
    EXPECT_NEAR(obj(a).force_x, 0, 1e-12);
    EXPECT_NEAR(m->forces[a].th[1].y, -20, 1e-12);
    EXPECT_EQ(m->forces[a].th[0].y, 0.0);

    // Within its own radius of the anchor: no force.
    obj(a).force_y = 0;
    obj(a).y = 0.05;
    apply_TH(*m, a);
    EXPECT_EQ(obj(a).force_y, 0.0);
}

TEST_F(Springs, ModesActOnlyWhenStretchedOrCompressed) {
    const double s[6] = {0, 0, 2, 10, 1, 0};
    add_element(*m, T_TH, s);
    const int a = body(-1, 0);  // compressed
    apply_TH(*m, a);
    EXPECT_EQ(obj(a).force_x, 0.0);
    obj(a).x = -3;  // stretched
    apply_TH(*m, a);
    EXPECT_NEAR(obj(a).force_x, 10.0, 1e-12);

    m->TH.rec[0].mode = 2;
    obj(a).force_x = 0;
    apply_TH(*m, a);
    EXPECT_EQ(obj(a).force_x, 0.0);
    obj(a).x = -1;
    apply_TH(*m, a);
    EXPECT_NEAR(obj(a).force_x, -10.0, 1e-12);
}

TEST_F(Springs, SpringBetweenObjectsActsOnBothEnds) {
    const int a = body(0, 0);
    const int b = body(3, 4);
    const double s[5] = {static_cast<double>(b), static_cast<double>(a), 4, 2, 0};
    add_element(*m, T_E_TH, s);
    apply_E_TH(*m, a);
    apply_E_TH(*m, b);
    EXPECT_NEAR(obj(a).force_x, 1.2, 1e-12);
    EXPECT_NEAR(obj(a).force_y, 1.6, 1e-12);
    EXPECT_NEAR(obj(b).force_x, -1.2, 1e-12);
    EXPECT_NEAR(obj(b).force_y, -1.6, 1e-12);
    EXPECT_NEAR(m->forces[b].e_th[0].y, -1.6, 1e-12);
}

TEST_F(Springs, CoincidentEndsAndHugeDistancesStayFinite) {
    const int a = body(0, 0);
    const int b = body(0, 0);
    const double s[5] = {0, 1, 1, 2, 0};
    add_element(*m, T_E_TH, s);
    apply_E_TH(*m, a);
    EXPECT_TRUE(std::isfinite(obj(a).force_x) && std::isfinite(obj(a).force_y));
    obj(b).x = 1e200;
    obj(b).y = -1e200;
    apply_E_TH(*m, a);
    EXPECT_TRUE(std::isfinite(obj(a).force_x) && std::isfinite(obj(a).force_y));
    obj(b).x = 0;
    obj(b).y = 1e-170;  // the square underflows
    apply_E_TH(*m, a);
    EXPECT_TRUE(std::isfinite(obj(a).force_x) && std::isfinite(obj(a).force_y));
}

TEST(Breakdown, ElectricAndLorentzEntriesOfTheFirstEvaluation) {
    auto m = make_model();
    m->settings.scale = 0.02;
    const double field[6] = {-5, -5, 5, 5, 0, 4};
    add_element(*m, T_EA, field);
    const double mag[6] = {-5, -5, 5, 5, 1, 2};
    add_element(*m, T_BA, mag);
    const int a = add_body(*m, "q", 0, 0, 0, 1, 1, 0.1);
    m->objects[a].charge = 0.5;
    set_presence(*m);
    prepare_initial_state(*m);
    m->running = false;
    kernel(*m);
    EXPECT_NEAR(m->forces[a].electric.x, 2.0, 1e-12);
    EXPECT_NEAR(m->forces[a].electric.y, 0.0, 1e-12);
    // v = (0, 1), B out of the plane: q v x B = (0.5 * 1 * 2, 0).
    EXPECT_NEAR(m->forces[a].lorentz.x, 1.0, 1e-12);
    EXPECT_NEAR(m->forces[a].total.x, 3.0, 1e-12);
}

}  // namespace
}  // namespace quorrel
