// Run preparation: presence flags and the initial state of the objects.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "demos/bench_scenes.h"
#include "engine/engine.h"

namespace quorrel {
namespace {

TEST(Prepare, PresenceFollowsTheFirstRecordOfEachTable) {
    auto m = make_model();
    const double track_without_a[11] = {0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    add_element(*m, T_TB, track_without_a);
    const double spring[6] = {0, 0, 1, 5, 0, 0};
    add_element(*m, T_TH, spring);
    // A second record alone does not make a table present.
    m->M.rec[1].mass = 5;
    set_presence(*m);
    EXPECT_EQ(m->present[T_TB], 1);
    EXPECT_EQ(m->present[T_TH], 1);
    EXPECT_EQ(m->present[T_M], 0);
    EXPECT_EQ(m->present[T_CT], 0);

    // A track record whose first two reals are zero makes all tracks absent.
    m->TB.rec[0].b = 0;
    m->TB.rec[0].c = 7;
    m->TB.rec[1].a = 1;
    set_presence(*m);
    EXPECT_EQ(m->present[T_TB], 0);
}

TEST(Prepare, InitialStateAndScreenPosition) {
    auto m = make_model();
    m->settings.scale = 0.1;
    m->settings.origin_x = 100;
    m->settings.origin_y = 200;
    const int b = add_body(*m, "ball", 2.04, -3.0, 1, 2, 3, 0.1);  // 1 pixel radius
    MovingObject& o = m->objects[b];
    o.x = 99;
    o.ax = 5;
    o.step_ax = 4;
    o.mass = 0;
    prepare_initial_state(*m);
    EXPECT_EQ(o.x, 2.04);
    EXPECT_EQ(o.prev_x, 2.04);
    EXPECT_EQ(o.y, -3.0);
    EXPECT_EQ(o.vx, 1.0);
    EXPECT_EQ(o.prev_vy, 2.0);
    EXPECT_EQ(o.ax, 0.0);
    EXPECT_EQ(o.step_ax, 0.0);
    EXPECT_EQ(o.mass, 3.0);
    EXPECT_EQ(o.screen_x, 120);
    EXPECT_EQ(o.screen_y, 230);
    EXPECT_EQ(o.screen_radius, 3);

    m->objects[b].radius = 2.0;
    prepare_initial_state(*m);
    EXPECT_EQ(o.screen_radius, 20);
}

TEST(Prepare, BlockOnAnInclineFollowsTheSlope) {
    for (int orientation : {0, 1}) {
        auto m = make_model();
        const int incline = add_body(*m, "incline", 0, 0, 0, 0, 5, 0);
        m->objects[incline].kind = KIND_INCLINE;
        m->objects[incline].orientation = orientation;
        m->objects[incline].angle_a = 30;
        m->objects[incline].angle_b = 30;
        const int block = add_body(*m, "block", 0, 1, 1, 7, 1, 0);
        m->objects[block].kind = KIND_BLOCK;
        m->objects[block].host = incline;
        prepare_initial_state(*m);
        const double slope = std::tan(30 * std::acos(-1.0) / 180);
        EXPECT_NEAR(m->objects[block].vx, 1.0, 1e-15);
        EXPECT_NEAR(m->objects[block].vy, orientation == 0 ? slope : -slope, 1e-15);
        EXPECT_NEAR(m->objects[block].vy, orientation == 0 ? 0.577 : -0.577, 1e-3);

        // Before a run the display shows the designed values again.
        reset_for_display(*m);
        EXPECT_EQ(m->objects[block].vy, 7.0);
    }
}

TEST(Prepare, DamagedValuesStartAsZero) {
    auto m = make_model();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const int b = add_body(*m, "broken", nan, HUGE_VAL, nan, -HUGE_VAL, nan, 1e300);
    const int k = add_body(*m, "bad host", 1, 1, 1, 1, 1, 1);
    m->objects[k].kind = KIND_BLOCK;
    m->objects[k].host = -7;
    prepare_initial_state(*m);
    const MovingObject& o = m->objects[b];
    EXPECT_EQ(o.x, 0.0);
    EXPECT_EQ(o.y, 0.0);
    EXPECT_EQ(o.vx, 0.0);
    EXPECT_EQ(o.vy, 0.0);
    EXPECT_EQ(o.mass, 0.0);
    EXPECT_EQ(o.screen_radius, 3);  // a radius beyond the pixel range
    EXPECT_EQ(m->objects[k].vy, 1.0);
}

TEST(Prepare, ScreenPositionOverflowIsClamped) {
    auto m = make_model();
    const int b = add_body(*m, "far", 1e30, 5, 0, 0, 1, 1);
    prepare_initial_state(*m);
    EXPECT_EQ(m->objects[b].screen_x, 1000000000);
    EXPECT_EQ(m->objects[b].screen_y, 150);
    m->objects[b].x = 1;
    update_screen_positions(*m);
    EXPECT_EQ(m->objects[b].screen_x, 200);
}

}  // namespace
}  // namespace quorrel
