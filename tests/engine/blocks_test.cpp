// Blocks on planks and inclines: static and kinetic friction against the
// exact values, the reactions that reach the host, the ground friction, the
// six stop messages, and whole steps through the kernel.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "demos/demos.h"
#include "engine/constraints.h"
#include "engine/engine.h"
#include "engine/solvers.h"
#include "support/objects.h"

namespace quorrel {
namespace {
using test::EARTH_G;
using test::place_object;

struct BlockFixture {
    std::unique_ptr<Model> m = make_model();
    BlockFixture() {
        m->step.step_dt = 0.001;
        m->running = true;
    }
    int add(std::int32_t kind, double x, double y, double mass, double width, double height) {
        const int i = place_object(*m, kind, x, y, 0, 0, mass, 0);
        o(i).width = width;
        o(i).height = height;
        return i;
    }
    // A 30-degree incline (orientation 0 rises to the right) with a block on it.
    int incline(double angle = 30, int orientation = 0, double mu = 0.5) {
        const int h = add(KIND_INCLINE, 0, 0, 20, 6, 3);
        o(h).angle_a = orientation == 0 ? angle : 0;
        o(h).angle_b = orientation == 0 ? 0 : angle;
        o(h).orientation = orientation;
        o(h).surface_mu = mu;
        o(h).ground_mu = 1;
        return h;
    }
    int block_on(int h, double x, double mass = 2) {
        const int b = add(KIND_BLOCK, x, 0, mass, 0.5, 0.5);
        o(b).host = h;
        return b;
    }
    // The force sequence's gravity, then the block solver.
    void weigh_and_solve(int i) {
        o(i).force_x = o(i).fx;
        o(i).force_y = o(i).fy - o(i).mass * EARTH_G;
        block_on_host(*m, i);
    }
    MovingObject& o(int i) { return m->objects[i]; }
};

TEST(BlockOnIncline, HoldsWhenTanThetaIsBelowMuAndSlidesOtherwise) {
    for (int orientation : {0, 1}) {
        BlockFixture held;
        const int h1 = held.incline(30, orientation, 0.7);
        const int b1 = held.block_on(h1, 0);
        held.weigh_and_solve(b1);
        EXPECT_EQ(held.o(b1).stuck, 1);
        EXPECT_EQ(held.o(b1).force_x, 0.0);
        EXPECT_EQ(held.o(b1).force_y, 0.0);
        EXPECT_EQ(held.m->forces[b1].friction_state, 2);
        EXPECT_TRUE(held.m->stop_message.empty());

        BlockFixture sliding;
        const int h2 = sliding.incline(30, orientation, 0.5);
        const int b2 = sliding.block_on(h2, 0);
        sliding.weigh_and_solve(b2);
        EXPECT_EQ(sliding.o(b2).stuck, 0);
        // Down the slope with m g (sin - mu cos).
        const double s = std::sin(PI / 6), c = std::cos(PI / 6);
        const double along = 2 * EARTH_G * (s - 0.5 * c);
        const double dir_x = orientation == 0 ? -c : c;
        EXPECT_NEAR(sliding.o(b2).force_x, along * dir_x, 1e-9);
        EXPECT_NEAR(sliding.o(b2).force_y, -along * s, 1e-9);
        EXPECT_NEAR(sliding.m->step.support_normal[h2], 2 * EARTH_G * c, 1e-9);
        EXPECT_EQ(sliding.m->forces[b2].friction_state, 1);
    }
}

TEST(BlockOnIncline, KineticFrictionOpposesTheMotionAlongTheSlope) {
    BlockFixture f;
    const int h = f.incline(30, 0, 0.2);
    const int b = f.block_on(h, 0);
    f.o(b).vx = 2 * std::cos(PI / 6);  // moving up the slope
    f.o(b).vy = 2 * std::sin(PI / 6);
    f.weigh_and_solve(b);
    // Gravity and friction both point down the slope.
    const double c = std::cos(PI / 6), s = std::sin(PI / 6);
    const double along = -2 * EARTH_G * (s + 0.2 * c);
    EXPECT_NEAR(f.o(b).force_x, along * c, 1e-9);
    EXPECT_NEAR(f.o(b).force_y, along * s, 1e-9);
}

TEST(BlockOnIncline, EveryBlockReachesItsInclineOnce) {
    BlockFixture f;
    const int h = f.incline(30, 0, 0.1);
    const int b1 = f.block_on(h, -1, 2);
    const int b2 = f.block_on(h, 0, 5);
    f.weigh_and_solve(b1);
    f.weigh_and_solve(b2);
    ASSERT_EQ(f.o(b1).stuck, 0);
    ASSERT_EQ(f.o(b2).stuck, 0);
    f.o(h).force_x = 0;
    f.o(h).force_y = 0;
    block_on_host(*f.m, h);
    // The incline receives minus the sum of what it does to the blocks:
    // normal force and friction, i.e. the blocks' resultants minus their weights.
    const double rx = -(f.o(b1).force_x + f.o(b2).force_x);
    const double ry = -(f.o(b1).force_y + 2 * EARTH_G + f.o(b2).force_y + 5 * EARTH_G);
    EXPECT_NEAR(f.o(h).force_x, rx, 1e-9);
    EXPECT_NEAR(f.o(h).force_y, ry, 1e-9);
}

TEST(BlockOnIncline, StopsWhenOffTheSlopeOrLifted) {
    BlockFixture off;
    const int h = off.incline();
    const int b = off.block_on(h, 2.5);  // the base spans -4 .. 2
    off.weigh_and_solve(b);
    EXPECT_EQ(off.m->stop_message, MSG_BLOCK_OFF_INCLINE);

    BlockFixture lifted;
    const int h2 = lifted.incline();
    const int b2 = lifted.block_on(h2, 0);
    lifted.o(b2).fy = 100;  // pulled up harder than its weight
    lifted.weigh_and_solve(b2);
    EXPECT_EQ(lifted.m->stop_message, MSG_BLOCK_LIFTS_OFF_INCLINE);
    EXPECT_EQ(lifted.m->forces[b2].host_normal[h2].x, 0.0);
    EXPECT_EQ(lifted.m->forces[b2].host_normal[h2].y, 0.0);
    EXPECT_NEAR(lifted.m->forces[b2].total.y, 0.0, 1e-12);  // the breakdown keeps no normal force
}

TEST(BlockOnIncline, WholeStepsHoldAtMuPointSevenAndSlideAtPointFive) {
    for (double mu : {0.7, 0.5}) {
        BlockFixture f;
        Model& m = *f.m;
        m.settings.use_gravity = 1;
        m.settings.steps_per_frame = 500;
        const int h = f.incline(30, 0, mu);
        f.o(h).ground_mu = 10;
        const int b = f.block_on(h, 0);
        set_presence(m);
        prepare_initial_state(m);
        ASSERT_EQ(movin(m), MOVIN_NORMAL);
        EXPECT_TRUE(m.stop_message.empty()) << m.stop_message;
        const double speed = std::hypot(f.o(b).vx, f.o(b).vy);
        if (mu == 0.7) {
            EXPECT_LT(speed, 1e-9);
        } else {
            // 0.5 s at g (sin 30 - 0.5 cos 30) along the slope.
            const double expected = EARTH_G * (0.5 - 0.5 * std::cos(PI / 6)) * 0.5;
            EXPECT_NEAR(speed, expected, 0.01 * expected);
            EXPECT_LT(f.o(b).vx, 0);
            EXPECT_NEAR(f.o(b).vy / f.o(b).vx, std::tan(PI / 6), 1e-6);  // along the slope
        }
        EXPECT_EQ(f.o(h).vy, 0.0);
        EXPECT_NEAR(f.o(h).vx, 0.0, 1e-12);
    }
}

TEST(BlockOnIncline, AHeavyAndALightBlockBothHoldOnOneIncline) {
    // Each stuck block is held by its own normal force: the heavy block must not
    // be judged by the light one's (processed last) and slip.
    BlockFixture f;
    Model& m = *f.m;
    m.settings.use_gravity = 1;
    m.settings.steps_per_frame = 300;
    const int h = f.incline(30, 0, 0.7);
    f.o(h).ground_mu = 10;
    const int heavy = f.block_on(h, -0.5, 10);
    const int light = f.block_on(h, 0.5, 1);
    set_presence(m);
    prepare_initial_state(m);
    ASSERT_EQ(movin(m), MOVIN_NORMAL);
    EXPECT_TRUE(m.stop_message.empty()) << m.stop_message;
    for (int b : {heavy, light}) {
        EXPECT_LT(std::hypot(f.o(b).vx, f.o(b).vy), 1e-9);
        EXPECT_EQ(f.o(b).stuck, 1) << b;
        EXPECT_EQ(m.forces[b].friction_state, 2) << b;
    }
}

struct PlankBlockFixture : BlockFixture {
    int plank, block;
    PlankBlockFixture(double mu = 0.5) {
        plank = add(KIND_PLANK, 0, 0, 10, 10, 0.5);
        o(plank).surface_mu = mu;
        o(plank).ground_mu = 0.3;
        block = add(KIND_BLOCK, 0, 0.5, 2, 1, 0.5);
        o(block).host = plank;
    }
};

TEST(BlockOnPlank, StaticFrictionCancelsASmallPullAndReducesALargeOne) {
    PlankBlockFixture small;
    small.o(small.block).fx = 5;  // mu N = 0.5 * 19.6 = 9.8
    small.weigh_and_solve(small.block);
    EXPECT_EQ(small.o(small.block).force_x, 0.0);
    EXPECT_EQ(small.m->forces[small.block].friction.x, -5.0);

    PlankBlockFixture large;
    large.o(large.block).fx = -15;
    large.weigh_and_solve(large.block);
    EXPECT_NEAR(large.o(large.block).force_x, -15 + 9.8, 1e-12);
    EXPECT_NEAR(large.m->forces[large.block].host_normal[large.plank].y, 19.6, 1e-12);
}

TEST(BlockOnPlank, KineticFrictionAndStickingWhenItWouldReverse) {
    PlankBlockFixture f;
    f.o(f.block).vx = 3;
    f.weigh_and_solve(f.block);
    EXPECT_NEAR(f.o(f.block).force_x, -9.8, 1e-12);
    EXPECT_EQ(f.o(f.block).stuck, 0);

    PlankBlockFixture slow;
    slow.o(slow.block).vx = 0.001;  // friction would stop it within the step
    slow.weigh_and_solve(slow.block);
    EXPECT_EQ(slow.o(slow.block).stuck, 1);
    EXPECT_EQ(slow.o(slow.block).force_x, 0.0);
    EXPECT_EQ(slow.m->forces[slow.block].friction_state, 2);
}

TEST(BlockOnPlank, PlankCarriesReactionsOfSlidingAndStuckBlocks) {
    PlankBlockFixture f;
    const int stuck = f.add(KIND_BLOCK, 2, 0.5, 3, 1, 0.5);
    f.o(stuck).host = f.plank;
    f.o(stuck).stuck = 1;
    f.o(stuck).force_x = 4;
    f.o(stuck).force_y = -3 * EARTH_G;
    f.o(f.block).vx = 1;  // slides to the right over the plank
    f.o(f.block).force_y = -2 * EARTH_G;
    f.o(f.plank).force_x = 0;
    block_on_host(*f.m, f.plank);
    EXPECT_NEAR(f.o(f.plank).force_x, 0.5 * 2 * EARTH_G + 4, 1e-12);
    EXPECT_EQ(f.o(f.plank).mass, 13.0);
}

// A riding block is fixed to its plank: pressed onto it, no friction acts.
TEST(BlockOnPlank, ARidingBlockIsHeldWithoutFriction) {
    PlankBlockFixture f;
    f.o(f.block).riding = 1;
    f.o(f.block).fx = 50;
    f.o(f.block).vx = 3;
    f.weigh_and_solve(f.block);
    EXPECT_EQ(f.o(f.block).stuck, 1);
    EXPECT_EQ(f.o(f.block).force_x, 50.0);
    EXPECT_EQ(f.m->forces[f.block].friction_state, 0);
    EXPECT_NEAR(f.m->forces[f.block].host_normal[f.plank].y, 19.6, 1e-12);
}

TEST(BlockOnPlank, OverhangOfAFifthIsCarried) {
    PlankBlockFixture inside;
    inside.o(inside.block).x = 5 + 0.2;  // plank half-width 5, block width 1
    inside.weigh_and_solve(inside.block);
    EXPECT_TRUE(inside.m->stop_message.empty());

    PlankBlockFixture outside;
    outside.o(outside.block).x = 5 + 0.21;
    outside.weigh_and_solve(outside.block);
    EXPECT_EQ(outside.m->stop_message, MSG_BLOCK_OFF_PLANK);
}

TEST(BlockOnPlank, LiftingStopsTheRun) {
    PlankBlockFixture f;
    f.o(f.block).fy = 30;
    f.weigh_and_solve(f.block);
    EXPECT_EQ(f.m->stop_message, MSG_BLOCK_LIFTS_OFF_PLANK);

    // Seen from the plank: the run is cleared at once.
    PlankBlockFixture p;
    p.o(p.block).force_y = 1;
    block_on_host(*p.m, p.plank);
    EXPECT_EQ(p.m->stop_message, MSG_BLOCK_LIFTS_OFF_PLANK);
    EXPECT_FALSE(p.m->running);
}

TEST(HostOnGround, GroundFrictionBrakesStopsAndHolds) {
    PlankBlockFixture f;
    MovingObject& plank = f.o(f.plank);
    f.o(f.block).force_y = -2 * EARTH_G;
    plank.force_y = -10 * EARTH_G;
    plank.vx = 2;
    plank.force_x = 1;
    host_on_ground(*f.m, f.plank);
    EXPECT_NEAR(plank.force_x, 1 - 0.3 * 12 * EARTH_G, 1e-12);  // the block's weight loads the ground too

    plank.vx = 0.001;  // would reverse within the step
    plank.force_x = 0;
    host_on_ground(*f.m, f.plank);
    EXPECT_EQ(plank.vx, 0.0);
    EXPECT_EQ(plank.force_x, 0.0);
    EXPECT_EQ(f.m->step.stop_velocity, 1);

    plank.vx = 0;
    plank.force_x = -20;
    host_on_ground(*f.m, f.plank);
    EXPECT_EQ(plank.force_x, 0.0);  // reduced to zero, never reversed
}

TEST(HostOnGround, LiftedHostsStop) {
    PlankBlockFixture p;
    p.o(p.plank).force_y = 200;
    host_on_ground(*p.m, p.plank);
    EXPECT_EQ(p.m->stop_message, MSG_PLANK_LIFTS_OFF_GROUND);

    BlockFixture i;
    const int h = i.incline();
    i.o(h).force_y = 1;
    host_on_ground(*i.m, h);
    EXPECT_EQ(i.m->stop_message, MSG_INCLINE_LIFTS_OFF_GROUND);
}

TEST(BlockGuards, MasslessBlocksAndDamagedHostsStayFinite) {
    BlockFixture f;
    const int h = f.incline(90, 0, 0.5);  // a vertical slope
    const int b = f.block_on(h, 0, 0.0);
    f.weigh_and_solve(b);
    const int lost = f.block_on(h, 0, 1.0);
    f.o(lost).host = -5;
    f.weigh_and_solve(lost);
    const int self = f.block_on(h, 0, 1.0);
    f.o(self).host = self;
    f.weigh_and_solve(self);
    for (int i : {b, lost, self}) EXPECT_TRUE(std::isfinite(f.o(i).force_x) && std::isfinite(f.o(i).force_y));
    EXPECT_EQ(block_host(*f.m, lost), -1);
    EXPECT_EQ(block_host(*f.m, self), -1);
}

TEST(BlockOnInclineDemo, SlidesDownAndStopsAtTheFootOfTheSlope) {
    auto m = make_model();
    load_demo(*m, *find_demo("block_on_incline.exp"));
    set_presence(*m);
    prepare_initial_state(*m);
    m->running = true;
    m->settings.steps_per_frame = 1;
    while (m->stop_message.empty() && m->sim_time < 5) ASSERT_EQ(movin(*m), MOVIN_NORMAL);
    EXPECT_EQ(m->stop_message, MSG_BLOCK_OFF_INCLINE);
    // 4 m down the slope at g (sin 30 - 0.3 cos 30): about 1.84 s.
    const double a = EARTH_G * (0.5 - 0.3 * std::cos(PI / 6));
    EXPECT_NEAR(m->sim_time, std::sqrt(2 * 4.0 / a), 0.05);
    EXPECT_EQ(m->objects[0].vx, 0.0);  // the rough ground holds the incline
}

}  // namespace
}  // namespace quorrel
