// Collisions: momentum exchange along the line of centres with the restitution
// of the two loss values, separation of overlapping bodies, blocks colliding on
// a plank, and whole steps through the kernel.
#include <gtest/gtest.h>

#include <cmath>

#include "demos/demos.h"
#include "engine/constraints.h"
#include "engine/engine.h"
#include "engine/solvers.h"
#include "support/objects.h"

namespace quorrel {
namespace {
using test::place_object;

struct CollisionFixture {
    std::unique_ptr<Model> m = make_model();
    CollisionFixture() { m->step.step_dt = 0.001; }
    int add(std::int32_t kind, double x, double y, double vx, double vy, double mass, double radius) {
        return place_object(*m, kind, x, y, vx, vy, mass, radius);
    }
    int body(double x, double y, double vx, double vy, double mass = 1, double radius = 0.5) {
        return add(KIND_BODY, x, y, vx, vy, mass, radius);
    }
    MovingObject& o(int i) { return m->objects[i]; }
};

TEST(BodyCollision, EqualMassesWithoutLossExchangeNormalVelocities) {
    CollisionFixture f;
    // Centres along 45 degrees; each body also moves across that line.
    const double s = std::sqrt(0.5);
    const int a = f.body(0, 0, 2 * s + s, 2 * s - s, 1, 0.5);                        // normal 2, tangential -1
    const int b = f.body(0.9 * s, 0.9 * s, -1 * s + 3 * s, -1 * s - 3 * s, 1, 0.5);  // normal -1, tangential -3
    body_collision(*f.m, a, b);
    auto normal = [&](int i) { return (f.o(i).vx + f.o(i).vy) * s; };
    auto tangential = [&](int i) { return (f.o(i).vx - f.o(i).vy) * s; };
    EXPECT_NEAR(normal(a), -1.0, 1e-12);
    EXPECT_NEAR(normal(b), 2.0, 1e-12);
    EXPECT_NEAR(tangential(a), 1.0, 1e-12);
    EXPECT_NEAR(tangential(b), 3.0, 1e-12);
    // b is put at touching distance and advanced by its new velocity.
    EXPECT_NEAR(f.o(b).x, s * 1.0 + f.o(b).vx * 0.001, 1e-12);
}

TEST(BodyCollision, FullLossLeavesACommonNormalVelocityAndKeepsMomentum) {
    CollisionFixture f;
    const int a = f.body(0, 0, 3, 0, 2.0);
    const int b = f.body(0.8, 0, -1, 0, 1.0);
    f.o(b).loss = 1;
    body_collision(*f.m, a, b);
    EXPECT_NEAR(f.o(a).vx, f.o(b).vx, 1e-12);
    EXPECT_NEAR(2.0 * f.o(a).vx + 1.0 * f.o(b).vx, 2.0 * 3 - 1.0, 1e-12);
}

TEST(BodyCollision, SeparatingOverlapIsOnlyPushedApart) {
    CollisionFixture f;
    const int a = f.body(0, 0, -1, 0);
    const int b = f.body(0, 0.5, 0, 2);
    body_collision(*f.m, a, b);
    EXPECT_EQ(f.o(a).vx, -1.0);
    EXPECT_EQ(f.o(b).vy, 2.0);
    EXPECT_NEAR(f.o(b).y, 1.01, 1e-12);
    EXPECT_NEAR(f.o(b).x, 0.0, 1e-12);
}

TEST(BodyCollision, MasslessBodiesAndBadIndexesStayFinite) {
    CollisionFixture f;
    const int a = f.body(0, 0, 1, 0, 0.0);
    const int b = f.body(0.5, 0, -1, 0, 0.0);
    body_collision(*f.m, a, b);
    body_collision(*f.m, a, a);
    body_collision(*f.m, a, 49);
    body_collision(*f.m, -1, a);
    for (int i : {a, b}) EXPECT_TRUE(std::isfinite(f.o(i).x) && std::isfinite(f.o(i).vx));
}

TEST(BodyCollision, WholeStepsExchangeVelocitiesOfEqualBodies) {
    CollisionFixture f;
    Model& m = *f.m;
    m.settings.use_collisions = 1;
    m.settings.steps_per_frame = 200;
    const int a = f.body(-1, 0, 5, 0);
    const int b = f.body(1, 0, -5, 0);
    set_presence(m);
    prepare_initial_state(m);
    m.running = true;
    ASSERT_EQ(movin(m), MOVIN_NORMAL);
    EXPECT_NEAR(f.o(a).vx, -5.0, 1e-9);
    EXPECT_NEAR(f.o(b).vx, 5.0, 1e-9);
    EXPECT_GT(f.o(b).x - f.o(a).x, 1.0);
}

struct PlankCollisionFixture : CollisionFixture {
    int plank, a, p;
    PlankCollisionFixture() {
        plank = add(KIND_PLANK, 0, 0, 0, 0, 10, 0);
        o(plank).width = 10;
        a = add(KIND_BLOCK, 0, 1, 2, 0, 1, 0);
        p = add(KIND_BLOCK, 0.8, 1, -1, 0, 1, 0);
        for (int i : {a, p}) {
            o(i).width = 1;
            o(i).host = plank;
            o(i).stuck = 1;
        }
    }
};

TEST(BlockCollisions, BlocksOnOnePlankExchangeVelocitiesAlongX) {
    PlankCollisionFixture f;
    block_collisions(*f.m, f.a);
    EXPECT_NEAR(f.o(f.a).vx, -1.0, 1e-12);
    EXPECT_NEAR(f.o(f.p).vx, 2.0, 1e-12);
    EXPECT_EQ(f.o(f.a).prev_vx, f.o(f.a).vx);
    EXPECT_EQ(f.o(f.p).prev_vx, f.o(f.p).vx);
    EXPECT_NEAR(f.o(f.p).x, 1.0 + 2.0 * 0.001, 1e-12);
    EXPECT_EQ(f.o(f.a).stuck, 0);
    EXPECT_EQ(f.o(f.p).stuck, 0);
}

TEST(BlockCollisions, SeparatingBlocksKeepTheirVelocities) {
    PlankCollisionFixture f;
    f.o(f.a).vx = -1;
    f.o(f.p).vx = 1;
    block_collisions(*f.m, f.a);
    EXPECT_EQ(f.o(f.a).vx, -1.0);
    EXPECT_EQ(f.o(f.p).vx, 1.0);
    EXPECT_NEAR(f.o(f.p).x, 1.0 + 0.001, 1e-12);
}

TEST(BlockCollisions, ARidingBlockCarriesItsPlankAndFellowRiders) {
    PlankCollisionFixture f;
    Model& m = *f.m;
    const int rider = f.add(KIND_BLOCK, 3, 1, 0, 0, 1, 0);
    for (int i : {f.p, rider}) {
        f.o(i).riding = 1;
        f.o(i).rel_x = f.o(i).x - f.o(f.plank).x;
    }
    f.o(rider).host = f.plank;
    f.o(rider).width = 1;
    block_collisions(m, f.a);
    const double shift = f.o(f.p).x - 0.8;
    EXPECT_EQ(f.o(f.p).stuck, 1);  // a riding block stays fixed
    EXPECT_NEAR(f.o(f.plank).x, f.o(f.p).x - 0.8, 1e-12);
    EXPECT_EQ(f.o(f.plank).vx, f.o(f.p).vx);
    EXPECT_NEAR(f.o(rider).x, 3 + shift, 1e-12);
}

TEST(BlockCollisions, OnlyForNonRidingBlocksOnAPlank) {
    PlankCollisionFixture f;
    f.o(f.a).riding = 1;
    block_collisions(*f.m, f.a);
    EXPECT_EQ(f.o(f.a).vx, 2.0);
    f.o(f.a).riding = 0;
    f.o(f.a).host = 77;  // damaged host index
    block_collisions(*f.m, f.a);
    EXPECT_EQ(f.o(f.a).vx, 2.0);
}

TEST(CollidingBodiesDemo, BallsStayOnTheTableAndKeepTheirEnergy) {
    auto m = make_model();
    load_demo(*m, *find_demo("colliding_bodies.exp"));
    set_presence(*m);
    prepare_initial_state(*m);
    m->running = true;
    auto energy = [&] {
        double e = 0;
        for (int i = 0; i < object_count(*m); ++i) {
            const MovingObject& o = m->objects[i];
            e += 0.5 * o.mass * (o.vx * o.vx + o.vy * o.vy);
        }
        return e;
    };
    const double e0 = energy();
    m->settings.steps_per_frame = 100;
    for (int frame = 0; frame < 200; ++frame) {
        ASSERT_EQ(movin(*m), MOVIN_NORMAL);
        for (int i = 0; i < object_count(*m); ++i) {
            const MovingObject& o = m->objects[i];
            ASSERT_LT(std::fabs(o.x), 6.5) << "ball " << i << " at frame " << frame;
            ASSERT_LT(std::fabs(o.y), 3.5) << "ball " << i << " at frame " << frame;
        }
    }
    EXPECT_NEAR(energy(), e0, 0.01 * e0);
}

}  // namespace
}  // namespace quorrel
