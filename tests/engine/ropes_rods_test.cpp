// Ropes and rods: a rope resists only stretching, a rod keeps its length, the
// two-object versions share the radial momentum and split the correction by
// mass (corrected by the end stepped second); the lengths set at Run; damaged
// records are skipped.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "demos/demos.h"
#include "engine/constraints.h"
#include "engine/engine.h"
#include "engine/solvers.h"
#include "support/objects.h"

namespace quorrel {
namespace {
using test::place_object;

struct Fixture {
    std::unique_ptr<Model> m = make_model();
    Fixture() { m->step.step_dt = 0.001; }
    int body(double x, double y, double vx, double vy, double mass = 1, double radius = 0.1) {
        return place_object(*m, KIND_BODY, x, y, vx, vy, mass, radius);
    }
    AnchorLink& anchored(ElementList<AnchorLink>& list, double ax, double ay, double length, int obj) {
        int k = 0;
        while (list.rec[k].state != 0) ++k;
        list.rec[k] = {ax, ay, length, 1.0, 0, static_cast<double>(obj)};
        return list.rec[k];
    }
    ObjectLink& between(ElementList<ObjectLink>& list, int a, int b, double length) {
        int k = 0;
        while (list.rec[k].state != 0) ++k;
        list.rec[k] = {static_cast<double>(a), static_cast<double>(b), length, 1.0, 0};
        return list.rec[k];
    }
    MovingObject& o(int i) { return m->objects[i]; }
};

double radial(const MovingObject& o, double ax, double ay) {
    const double dx = o.x - ax, dy = o.y - ay, d = std::hypot(dx, dy);
    return (o.vx * dx + o.vy * dy) / d;
}

TEST(Rope, OnlyResistsStretching) {
    Fixture f;
    const int slack = f.body(3, 0, 2, 1);  // d = 3 < L = 5
    const int out = f.body(0, -5, 1, -2);  // taut, moving away from the anchor
    const int in = f.body(-5, 0, 1, 0.5);  // taut, moving back towards it
    f.anchored(f.m->SH, 0, 0, 5, slack);
    f.anchored(f.m->SH, 0, 0, 5, out);
    f.anchored(f.m->SH, 0, 0, 5, in);
    for (int i : {slack, out, in}) SH_velocity(*f.m, i);

    EXPECT_EQ(f.o(slack).vx, 2.0);
    EXPECT_EQ(f.o(slack).vy, 1.0);
    EXPECT_NEAR(radial(f.o(out), 0, 0), 0.0, 1e-12);
    EXPECT_NEAR(f.o(out).vx, 1.0, 1e-12);  // the tangential part stays
    EXPECT_EQ(f.o(in).vx, 1.0);
    EXPECT_EQ(f.o(in).vy, 0.5);
}

TEST(Rope, OvershootIsPutJustOutsideTheLength) {
    Fixture f;
    const int over = f.body(6, 8, 0, 0);  // d = 10 > L = 5
    const int slack = f.body(1, 1, 0, 0);
    f.anchored(f.m->SH, 0, 0, 5, over);
    f.anchored(f.m->SH, 0, 0, 5, slack);
    SH_position(*f.m, over);
    SH_position(*f.m, slack);
    EXPECT_NEAR(std::hypot(f.o(over).x, f.o(over).y), 5 * 1.00001, 1e-12);
    EXPECT_NEAR(f.o(over).y / f.o(over).x, 8.0 / 6.0, 1e-12);  // along the same direction
    EXPECT_EQ(f.o(slack).x, 1.0);
    EXPECT_EQ(f.o(slack).y, 1.0);
}

TEST(Rod, KeepsItsLengthAndRemovesRadialVelocityBothWays) {
    Fixture f;
    const int b = f.body(3.3, 4.4, -3, 2);
    f.anchored(f.m->GAN, 0, 0, 5, b);
    GAN_velocity(*f.m, b);
    EXPECT_NEAR(radial(f.o(b), 0, 0), 0.0, 1e-12);
    GAN_position(*f.m, b);
    EXPECT_NEAR(std::hypot(f.o(b).x, f.o(b).y), 5.0, 1e-12);

    // Too close: pushed out to the length as well.
    f.o(b).x = -1;
    f.o(b).y = 0;
    GAN_position(*f.m, b);
    EXPECT_NEAR(f.o(b).x, -5.0, 1e-12);
    EXPECT_NEAR(f.o(b).y, 0.0, 1e-12);
}

TEST(Rod, PendulumKeepsItsLengthOverWholeSteps) {
    Fixture f;
    Model& m = *f.m;
    m.settings.use_gravity = 1;
    const int b = f.body(4, 0, 0, 0, 2.0, 0.2);
    f.anchored(m.GAN, 0, 3, 0, b);
    set_rope_rod_lengths(m);
    EXPECT_NEAR(m.GAN.rec[0].length, 5.0, 1e-12);
    set_presence(m);
    prepare_initial_state(m);
    m.running = true;
    m.settings.steps_per_frame = 1;
    double lowest = 0;
    for (int n = 0; n < 1500; ++n) {
        ASSERT_EQ(movin(m), MOVIN_NORMAL);
        const MovingObject& o = f.o(b);
        ASSERT_NEAR(std::hypot(o.x, o.y - 3), 5.0, 1e-9) << "step " << n;
        lowest = std::min(lowest, o.y);
    }
    EXPECT_LT(lowest, -1.5);  // it did swing down
}

TEST(ObjectRope, SharesRadialMomentumOnlyWhenTautAndSeparating) {
    Fixture f;
    const int a = f.body(0, 0, -2, 1, 1.0);
    const int b = f.body(4, 0, 1, 3, 3.0);
    f.between(f.m->E_SH, a, b, 4);
    E_SH_position(*f.m, b);
    // Radial (x) parts: (1 * -2 + 3 * 1) / 4 = 0.25 for both; y parts unchanged.
    EXPECT_NEAR(f.o(a).vx, 0.25, 1e-12);
    EXPECT_NEAR(f.o(b).vx, 0.25, 1e-12);
    EXPECT_EQ(f.o(a).vy, 1.0);
    EXPECT_EQ(f.o(b).vy, 3.0);

    // Moving towards the other end: the rope does nothing.
    f.o(a).vx = 2;
    E_SH_position(*f.m, b);
    EXPECT_EQ(f.o(a).vx, 2.0);
    EXPECT_NEAR(f.o(b).vx, 0.25, 1e-12);
}

TEST(ObjectRope, CorrectsOnlyAnExcessAboveOnePermilleByMass) {
    Fixture f;
    const int a = f.body(0, 0, 0, 0, 1.0);
    const int b = f.body(10.005, 0, 0, 0, 3.0);
    f.between(f.m->E_SH, a, b, 10);
    E_SH_position(*f.m, a);  // the first end stepped leaves the link to the second
    E_SH_position(*f.m, b);  // 0.05 % too long: left alone
    EXPECT_EQ(f.o(a).x, 0.0);
    EXPECT_EQ(f.o(b).x, 10.005);

    f.o(b).x = f.o(b).prev_x = 12;
    E_SH_position(*f.m, b);
    EXPECT_NEAR(f.o(a).x, 2 * 3.0 / 4.0, 1e-12);
    EXPECT_NEAR(f.o(b).x, 12 - 2 * 1.0 / 4.0, 1e-12);
    EXPECT_NEAR(f.o(b).x - f.o(a).x, 10.0, 1e-12);
}

TEST(ObjectRope, EndOnATrackIsNotMoved) {
    Fixture f;
    Model& m = *f.m;
    const int a = f.body(0, 3, 0, 0, 1.0);
    const int b = f.body(12, 0.1, 0, 0, 1.0);
    f.between(m.E_SH, a, b, 10);
    // A horizontal track under b, touching it.
    m.TB.rec[0] = {};
    m.TB.rec[0].x2 = 20;
    tb_line(m, 0);
    m.present[T_TB] = 1;
    ASSERT_TRUE(is_on_TB(m, b));
    E_SH_position(m, b);
    EXPECT_GT(f.o(a).x, 0.9);
    EXPECT_EQ(f.o(b).x, 12.0);
}

TEST(ObjectRod, PushesTooCloseEndsApart) {
    Fixture f;
    const int a = f.body(0, 0, 0, 0, 1.0);
    const int b = f.body(0, 3, 0, 0, 1.0);
    f.between(f.m->E_GAN, a, b, 5);
    E_GAN_position(*f.m, b);
    EXPECT_NEAR(f.o(a).y, -1.0, 1e-12);
    EXPECT_NEAR(f.o(b).y, 4.0, 1e-12);
    // The radial velocity is shared at any length.
    f.o(a).vy = 3;
    E_GAN_position(*f.m, b);
    EXPECT_NEAR(f.o(a).vy, 1.5, 1e-12);
    EXPECT_NEAR(f.o(b).vy, 1.5, 1e-12);
}

TEST(RopeRodLengths, SetFromTheStartPositions) {
    Fixture f;
    Model& m = *f.m;
    const int a = f.body(3, 4, 0, 0);
    const int b = f.body(0, -2, 0, 0);
    f.anchored(m.SH, 0, 0, 99, a).state = 7;
    f.anchored(m.GAN, 3, 0, 99, b);
    f.between(m.E_GAN, a, b, 99);
    f.between(m.E_SH, a, 49, 42);  // the other end names an empty slot
    f.o(a).x = 100;                // the current position does not count
    set_rope_rod_lengths(m);
    EXPECT_DOUBLE_EQ(m.SH.rec[0].length, 5.0);
    EXPECT_EQ(m.SH.rec[0].state, 1.0);
    EXPECT_DOUBLE_EQ(m.GAN.rec[0].length, std::hypot(3.0, 2.0));
    EXPECT_DOUBLE_EQ(m.E_GAN.rec[0].length, std::hypot(3.0, 6.0));
    EXPECT_EQ(m.E_SH.rec[0].length, 42.0);
    EXPECT_EQ(m.E_SH.rec[0].state, 1.0);
}

TEST(RopeRodGuards, DamagedRecordsAndCoincidentEndsStayFinite) {
    Fixture f;
    Model& m = *f.m;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const int a = f.body(0, 0, 1, 1, 0.0);  // massless
    const int b = f.body(0, 0, 2, 0, 0.0);
    f.between(m.E_GAN, a, b, 1);
    f.between(m.E_SH, a, b, 0).object_b = nan;
    f.between(m.E_SH, a, b, 0).object_b = -3;
    f.anchored(m.GAN, 0, 0, 2, a);
    f.anchored(m.SH, nan, 0, 2, a);
    E_GAN_position(m, b);
    E_SH_position(m, b);
    SH_position(m, a);
    GAN_position(m, a);  // at the anchor: the direction falls back to 0
    for (int i : {a, b}) {
        EXPECT_TRUE(std::isfinite(f.o(i).x) && std::isfinite(f.o(i).y));
        EXPECT_TRUE(std::isfinite(f.o(i).vx) && std::isfinite(f.o(i).vy));
    }
    EXPECT_NEAR(f.o(a).x, 2.0, 1e-12);
}

TEST(MechanismDemos, EveryDemoRunsFiveSecondsWithAFiniteState) {
    for (const char* file : {"fields_and_charges.exp", "rod_pendulum.exp", "colliding_bodies.exp",
                             "block_on_incline.exp", "circular_track.exp"}) {
        const DemoInfo& d = *find_demo(file);
        auto m = make_model();
        ASSERT_TRUE(load_demo(*m, d).ok) << file;
        set_rope_rod_lengths(*m);
        set_presence(*m);
        prepare_initial_state(*m);
        m->running = true;
        m->settings.steps_per_frame = 5000;
        EXPECT_EQ(movin(*m), MOVIN_NORMAL) << d.file_name;
        for (int i = 0; i < object_count(*m); ++i) {
            const MovingObject& o = m->objects[i];
            EXPECT_TRUE(std::isfinite(o.x) && std::isfinite(o.y) && std::isfinite(o.vx) && std::isfinite(o.vy))
                << d.file_name;
        }
        // Only the block demo ends by itself, when the block reaches the foot of the slope.
        if (std::string(d.file_name) != "block_on_incline.exp") {
            EXPECT_TRUE(m->stop_message.empty()) << d.file_name;
        }
    }
}

TEST(MechanismDemos, RodPendulumKeepsItsLength) {
    auto m = make_model();
    load_demo(*m, *find_demo("rod_pendulum.exp"));
    set_rope_rod_lengths(*m);
    set_presence(*m);
    prepare_initial_state(*m);
    m->running = true;
    m->settings.steps_per_frame = 3000;
    ASSERT_EQ(movin(*m), MOVIN_NORMAL);
    const MovingObject& o = m->objects[0];
    EXPECT_NEAR(std::hypot(o.x - m->GAN.rec[0].anchor_x, o.y - m->GAN.rec[0].anchor_y), 3.0, 1e-9);
}

}  // namespace
}  // namespace quorrel
