// The integration step: free fall against the exact sums, evaluation mode, the
// processing order, planks and stuck blocks, and the guards for bad values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "demos/bench_scenes.h"
#include "engine/engine.h"
#include "engine/solvers.h"
#include "support/engine_run.h"

namespace quorrel {
namespace {

std::unique_ptr<Model> fresh() {
    auto m = make_model();
    m->settings.scale = 0.02;
    return m;
}

using test::start_engine_run;

TEST(Kernel, FreeFallFollowsTheTrapezoidRule) {
    auto m = fresh();
    m->settings.use_gravity = 1;
    m->settings.steps_per_frame = 250;
    const int b = add_body(*m, "ball", 0, 10, 0, 0, 2.0, 0.1);
    start_engine_run(*m);
    ASSERT_EQ(movin(*m), MOVIN_NORMAL);

    const double g = 9.8, dt = 0.001, n = 250;
    const MovingObject& o = m->objects[b];
    // Both evaluations see the same force, so the velocity is exact up to rounding
    // and the trapezoid positions sum to g dt^2 n^2 / 2.
    EXPECT_NEAR(o.vy, -g * n * dt, 1e-12);
    EXPECT_NEAR(o.y, 10 - g * dt * dt * n * n / 2, 1e-12);
    EXPECT_NEAR(o.ay, -g, 1e-9);
    EXPECT_EQ(o.x, 0.0);
    EXPECT_NEAR(m->forces[b].total.y, -g * 2.0, 1e-12);
}

TEST(Kernel, EvaluationModeGivesForceOverMassAndKeepsTheStart) {
    auto m = fresh();
    const int b = add_body(*m, "pushed", 1, 2, 3, -1, 4.0, 0.1);
    m->objects[b].fx = 2;
    m->objects[b].fy = -6;
    set_presence(*m);
    prepare_initial_state(*m);
    m->running = false;
    kernel(*m);
    EXPECT_NEAR(m->objects[b].ax, 0.5, 1e-9);
    EXPECT_NEAR(m->objects[b].ay, -1.5, 1e-9);
    EXPECT_EQ(m->forces[b].total.x, 2.0);
    EXPECT_EQ(m->forces[b].total.y, -6.0);

    reset_for_display(*m);
    const MovingObject& o = m->objects[b];
    EXPECT_EQ(o.x, 1.0);
    EXPECT_EQ(o.y, 2.0);
    EXPECT_EQ(o.vx, 3.0);
    EXPECT_EQ(o.vy, -1.0);
    EXPECT_NEAR(o.ax, 0.5, 1e-9);  // the accelerations stay for display
}

// Object 0 rushes towards object 1; with mutual gravitation the force on the
// later object shows which position of the earlier one it saw.
double pull_on_second(bool first_is_plank) {
    auto m = fresh();
    m->settings.use_mutual_gravitation = 1;
    m->settings.G = 1.0;
    m->settings.steps_per_frame = 1;
    const int a = add_body(*m, "fast", 0, 0, 1000, 0, 1.0, 0.1);
    if (first_is_plank) m->objects[a].kind = KIND_PLANK;
    const int b = add_body(*m, "slow", 10, 0, 0, 0, 1.0, 0.1);
    start_engine_run(*m);
    movin(*m);
    EXPECT_NEAR(m->objects[a].x, 1.0, 1e-6);
    return m->objects[b].ax;
}

TEST(Kernel, LaterObjectsSeeTheAdvancedStateOfEarlierOnes) {
    // A body in slot 0 is stepped first: the body in slot 1 sees it at x = 1.
    EXPECT_NEAR(pull_on_second(false), -1.0 / 81.0, 1e-6);
    // Planks come after bodies whatever their slot: the body still sees it at 0.
    EXPECT_NEAR(pull_on_second(true), -1.0 / 100.0, 1e-6);
}

TEST(Kernel, PlanksAndBlocksOnThemNeverMoveVertically) {
    auto m = fresh();
    m->settings.use_gravity = 1;
    const int plank = add_body(*m, "plank", 0, 0, 1, 2, 5.0, 0);
    m->objects[plank].kind = KIND_PLANK;
    m->objects[plank].width = 4;
    m->objects[plank].height = 0.2;
    m->objects[plank].fx = 2;
    const int block = add_body(*m, "block", 0, 0.35, 0, 3, 1.0, 0);
    m->objects[block].kind = KIND_BLOCK;
    m->objects[block].width = 0.5;
    m->objects[block].height = 0.5;
    m->objects[block].host = plank;
    start_engine_run(*m);
    m->settings.steps_per_frame = 20;
    movin(*m);
    EXPECT_EQ(m->objects[plank].vy, 0.0);
    EXPECT_EQ(m->objects[block].vy, 0.0);
    EXPECT_GT(m->objects[plank].x, 0.0);
}

TEST(Kernel, StuckBlockFollowsItsPlankUntilFrictionGivesWay) {
    for (double pull : {1.0, 1000.0}) {
        auto m = fresh();
        m->settings.use_gravity = 1;
        const int plank = add_body(*m, "plank", 0, 0, 0, 0, 2.0, 0);
        m->objects[plank].kind = KIND_PLANK;
        m->objects[plank].surface_mu = 0.5;
        m->objects[plank].fx = pull;
        const int block = add_body(*m, "block", 0.5, 0.3, 0, 0, 1.0, 0);
        m->objects[block].kind = KIND_BLOCK;
        m->objects[block].host = plank;
        m->objects[block].stuck = 1;
        const int rider = add_body(*m, "rider", 0, 0.3, 0, 0, 1.0, 0);
        m->objects[rider].kind = KIND_BLOCK;
        m->objects[rider].host = plank;
        m->objects[rider].stuck = 1;
        m->objects[rider].riding = 1;
        m->objects[rider].rel_x = -0.5;
        m->objects[rider].rel_y = 0.3;
        start_engine_run(*m);
        m->settings.steps_per_frame = 1;
        movin(*m);

        const MovingObject& p = m->objects[plank];
        const MovingObject& b = m->objects[block];
        EXPECT_EQ(b.vx, p.vx);
        EXPECT_EQ(b.ax, p.ax);
        EXPECT_EQ(m->objects[rider].x, p.x - 0.5);
        EXPECT_EQ(m->objects[rider].y, p.y + 0.3);
        // Needed: ax * m = pull / 2; available: m g mu = 4.9.
        if (pull < 9.8) {
            EXPECT_EQ(b.stuck, 1);
            EXPECT_EQ(m->forces[block].friction_state, 2);
        } else {
            EXPECT_EQ(b.stuck, 0);
        }
    }
}

TEST(Kernel, ZeroMassIsNotAcceleratedButKeepsItsVelocity) {
    auto m = fresh();
    m->settings.use_gravity = 1;
    m->settings.steps_per_frame = 100;
    const int b = add_body(*m, "marker", 0, 0, 1, 0, 0.0, 0.1);
    m->objects[b].fx = 5;
    const double spring[6] = {0, 0, 1, 10, 0, 0};
    add_element(*m, T_TH, spring);
    start_engine_run(*m);
    movin(*m);
    EXPECT_EQ(m->objects[b].vx, 1.0);
    EXPECT_EQ(m->objects[b].vy, 0.0);
    EXPECT_NEAR(m->objects[b].x, 0.1, 1e-12);
    EXPECT_TRUE(m->stop_message.empty());
}

TEST(Kernel, UnusableTimeStepStopsTheRunWithoutMoving) {
    for (double dt : {0.0, -0.001, std::numeric_limits<double>::quiet_NaN(), HUGE_VAL}) {
        auto m = fresh();
        const int b = add_body(*m, "ball", 0, 0, 1, 0, 1.0, 0.1);
        m->objects[b].fx = 1;
        m->settings.time_step = dt;
        start_engine_run(*m);
        EXPECT_EQ(movin(*m), MOVIN_NORMAL);
        EXPECT_EQ(m->stop_message, BAD_TIME_STEP_MESSAGE);
        EXPECT_EQ(m->sim_time, 0.0);
        EXPECT_EQ(m->objects[b].x, 0.0);

        // Before a run the forces are still shown.
        m->running = false;
        kernel(*m);
        EXPECT_NEAR(m->objects[b].ax, 1.0, 1e-9);
    }
}

TEST(Kernel, NonFiniteStateIsNotCarriedOn) {
    auto m = fresh();
    m->settings.use_relativity = 1;
    const int b = add_body(*m, "broken", 1, 1, 0, 0, 1.0, 0.1);
    m->objects[b].fx = std::numeric_limits<double>::quiet_NaN();
    const int f = add_body(*m, "fine", 0, 0, 0, 0, 1.0, 0.1);
    start_engine_run(*m);
    m->settings.steps_per_frame = 10;
    movin(*m);
    EXPECT_EQ(m->stop_message, NON_FINITE_MESSAGE);
    EXPECT_EQ(m->objects[b].x, 1.0);
    EXPECT_EQ(m->objects[b].vx, 0.0);
    EXPECT_EQ(m->objects[f].x, 0.0);
    // The frame ends at the step that posted the message.
    EXPECT_NEAR(m->sim_time, 0.001, 1e-15);
}

TEST(Kernel, RelativisticMassStaysFiniteAtTheSpeedOfLight) {
    auto m = fresh();
    m->settings.use_relativity = 1;
    m->settings.c = 10;
    m->settings.scale = 1;
    const int b = add_body(*m, "fast", 0, 0, 20, 0, 1.0, 0.1);
    m->objects[b].fx = 1;
    start_engine_run(*m);
    movin(*m);
    EXPECT_TRUE(std::isfinite(m->objects[b].mass));
    EXPECT_GT(m->objects[b].mass, 1e5);
    EXPECT_TRUE(std::isfinite(m->objects[b].vx));
    EXPECT_TRUE(m->stop_message.empty());

    m->settings.c = 0;  // no usable speed of light: the rest mass
    apply_relativity(*m, b);
    EXPECT_EQ(m->objects[b].mass, 1.0);
}

TEST(Kernel, ResistanceThatStopsABodyLeavesItAtRest) {
    auto m = fresh();
    const double region[7] = {-10, -10, 10, 10, 2.0, 0.0, 0.0};
    add_element(*m, T_Z, region);
    const int b = add_body(*m, "slider", 0, 0, 0.001, 0, 1.0, 0.1);
    start_engine_run(*m);
    m->settings.steps_per_frame = 1;
    movin(*m);
    EXPECT_EQ(m->objects[b].vx, 0.0);
    EXPECT_EQ(m->objects[b].vy, 0.0);
    EXPECT_EQ(m->objects[b].x, 0.0);  // explicit rule with the zero velocity
    // It stays at rest: the at-rest rule cancels nothing, nothing pushes.
    m->settings.steps_per_frame = 50;
    movin(*m);
    EXPECT_EQ(m->objects[b].vx, 0.0);
}

TEST(Kernel, BadObjectIndexesInElementsAreIgnored) {
    auto m = fresh();
    const int b = add_body(*m, "ball", 0, 0, 0, 0, 1.0, 0.1);
    for (double idx : {-1.0, 50.0, 1e300, std::numeric_limits<double>::quiet_NaN(), 7.0}) {
        const double spring[5] = {0.0, idx, 1.0, 10.0, 0.0};
        add_element(*m, T_E_TH, spring);
    }
    auto block = add_body(*m, "block", 0, 1, 0, 0, 1.0, 0);
    m->objects[block].kind = KIND_BLOCK;
    m->objects[block].host = 1000;
    m->objects[block].stuck = 1;
    start_engine_run(*m);
    movin(*m);
    EXPECT_EQ(m->objects[b].x, 0.0);
    EXPECT_TRUE(m->stop_message.empty());
}

TEST(Kernel, EveryReferenceSceneRunsFinite) {
    for (const BenchScene& s : bench_scenes()) {
        auto m = make_model();
        s.build(*m);
        start_engine_run(*m);
        for (int f = 0; f < 20; ++f) movin(*m);
        for (int i = 0; i < object_count(*m); ++i) {
            const MovingObject& o = m->objects[i];
            EXPECT_TRUE(std::isfinite(o.x) && std::isfinite(o.y) && std::isfinite(o.vx) && std::isfinite(o.vy))
                << s.name << " object " << i;
        }
    }
}

}  // namespace
}  // namespace quorrel
