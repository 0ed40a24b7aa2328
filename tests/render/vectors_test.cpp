#include "render/vectors.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render/frame.h"
#include "render/objects.h"
#include "render_support.h"

namespace quorrel {
namespace {
using namespace test;

constexpr Colour V = 0x00FF00;

struct VectorsTest : ::testing::Test {
    std::unique_ptr<Model> model = plain_model();
    Model& m = *model;
    Scene s;
    void SetUp() override {
        scene_init(s, 1700, 420);
        m.settings.v_colour = V;
        m.settings.v_scale = 5.0;
        m.settings.f_scale = 1.0;
    }
    int count(Colour c, QRect r = QRect(0, 0, 1700, 420)) { return count_colour(s, s.image1, r, c); }
};

TEST(VectorPolar, AnglesFollowTheQuadrants) {
    EXPECT_DOUBLE_EQ(vector_polar(0, -2).angle * 180 / M_PI, 270.0);
    EXPECT_NEAR(vector_polar(-1, -1).angle * 180 / M_PI, 225.0, 1e-12);
    EXPECT_NEAR(vector_polar(1, -1).angle * 180 / M_PI, -45.0, 1e-12);
    EXPECT_EQ(vector_polar(0, 0).angle, 0.0);
    EXPECT_DOUBLE_EQ(vector_polar(3, 4).magnitude, 5.0);
}

TEST_F(VectorsTest, VelocityArrowDirectionAndLength) {
    MovingObject& o = place_body(m, 0.0, 0.0);
    o.live_vector_flags[VEC_V] = 1;
    o.vx = 10.0;  // 10 / 5 * 50 = 100 px to the right
    Draw_obj_v(m, s, 0);
    EXPECT_EQ(count(V, QRect(200, 150, 86, 1)), 86);  // shaft from the object
    EXPECT_EQ(count(V, QRect(302, 140, 30, 20)), 0);  // nothing beyond the tip
    EXPECT_EQ(count(V, QRect(0, 0, 199, 420)), 0);
    EXPECT_GE(count(V, QRect(286, 144, 14, 6)), 10);  // upper barb
    EXPECT_GE(count(V, QRect(286, 151, 14, 6)), 10);  // lower barb

    fill_scene_background(m, s);
    o.vx = 3.0;
    o.vy = 4.0;  // 50 px up and to the right: tip at (230, 110)
    Draw_obj_v(m, s, 0);
    EXPECT_EQ(at(s, s.image1, 215, 130), rgb(V));
    EXPECT_EQ(count(V, QRect(232, 90, 20, 19)), 0);
    EXPECT_EQ(count(V, QRect(190, 151, 60, 50)), 0);  // nothing below the object
}

TEST_F(VectorsTest, LengthIsCappedLiveAndAtStrobeMoments) {
    m.settings.origin_x = 0;
    m.settings.v_scale = 10.0;
    MovingObject& o = place_body(m, 0.0, 0.0);
    o.vx = 1000.0;  // 5000 px
    o.live_vector_flags[VEC_V] = 1;
    o.strobe_vector_flags[VEC_V] = 1;
    o.strobe_on = 1;
    Draw_obj_v(m, s, 0);
    EXPECT_EQ(at(s, s.image1, 1199, 150), rgb(V));
    EXPECT_EQ(count(V, QRect(1201, 140, 499, 20)), 0);
    m.running = true;
    draw_flash(m, s);
    EXPECT_EQ(at(s, s.scene_bitmap, 1599, 150), rgb(V));
    EXPECT_EQ(count_colour(s, s.scene_bitmap, QRect(1601, 140, 99, 20), V), 0);
}

TEST_F(VectorsTest, ComponentsOfAVerticalVelocity) {
    MovingObject& o = place_body(m, 0.0, 0.0);
    o.vy = -5.0;  // 50 px down
    o.live_vector_flags[VEC_VX] = 1;
    Draw_obj_v(m, s, 0);
    EXPECT_EQ(count(V), 0);  // x shaft of length 0, no barbs
    o.live_vector_flags[VEC_VY] = 1;
    Draw_obj_v(m, s, 0);
    EXPECT_EQ(count(V, QRect(200, 150, 1, 50)), 50);
    EXPECT_GT(count(V, QRect(195, 186, 4, 14)), 3);  // barbs back up from (200, 200)
    EXPECT_EQ(count(V, QRect(190, 201, 20, 20)), 0);
    o.vy = 0.0;
    fill_scene_background(m, s);
    Draw_obj_v(m, s, 0);
    EXPECT_EQ(count(V), 0);
}

TEST_F(VectorsTest, ErasableVectorsTwiceRestoreThePicture) {
    m.settings.background_colour = 0x102030;
    m.settings.use_gravity = 1;
    fill_scene_background(m, s);
    MovingObject& o = place_body(m, 5.0, 5.0);
    o.vx = 7.0;
    o.vy = -3.0;
    o.ax = 2.0;
    o.fx = 30.0;
    for (int k = 0; k < VECTOR_COUNT; ++k) o.live_vector_flags[k] = 1;
    m.forces[0].electric = XY{10.0, 10.0};
    m.forces[0].lorentz = XY{-10.0, 20.0};
    m.forces[0].th[3] = XY{0.0, 40.0};
    scene_end(s);
    const QImage before = s.image1.copy();
    Draw_obj_v(m, s, 1);
    EXPECT_GT(count(V), 30);  // over the background each arrow shows its own colour
    EXPECT_NE(s.image1, before);
    Draw_obj_v(m, s, 1);
    scene_end(s);
    EXPECT_EQ(s.image1, before);
}

TEST_F(VectorsTest, MissingElectricForceHidesTheLaterArrows) {
    const Colour applied = m.settings.force_colours[0], resultant = m.settings.force_colours[1];
    MovingObject& o = place_body(m, 0.0, 0.0);
    o.fx = 50.0;
    o.live_vector_flags[VEC_APPLIED] = 1;
    o.live_vector_flags[VEC_ELECTRIC] = 1;
    o.live_vector_flags[VEC_RESULTANT] = 1;
    m.forces[0].total = XY{0.0, 50.0};
    Draw_obj_v(m, s, 0);
    EXPECT_GT(count(applied), 40);
    EXPECT_EQ(count(resultant), 0);
    m.forces[0].electric = XY{0.0, -1.0};
    Draw_obj_v(m, s, 0);
    EXPECT_GT(count(resultant), 40);

    fill_scene_background(m, s);
    o.kind = KIND_PLANK;  // planks and inclines get no force arrows
    o.live_vector_flags[VEC_V] = 1;
    o.vx = 5.0;
    Draw_obj_v(m, s, 0);
    EXPECT_EQ(count(applied) + count(resultant), 0);
    EXPECT_GT(count(V), 40);
}

TEST_F(VectorsTest, ConstraintAnalysisOfRopesRodsAndHeldFriction) {
    place_body(m, 0.0, 0.0);
    ForceBreakdown& fb = m.forces[0];
    fb.total = XY{0.0, -9.8};
    m.SH.rec[0] = AnchorLink{0.0, 10.0, 10.0, 1.0, 0.0, 0.0};  // rope from above: taut
    constraint_analysis(m, s, 0);
    const ConstraintDraw& cd = s.constraints[0];
    ASSERT_TRUE(cd.slot[0].used);
    EXPECT_NEAR(cd.slot[0].fx, 0.0, 1e-12);
    EXPECT_NEAR(cd.slot[0].fy, 9.8, 1e-12);
    EXPECT_FALSE(cd.slot[1].used);

    m.SH.rec[0].anchor_y = -10.0;  // rope from below would push: slack
    constraint_analysis(m, s, 0);
    EXPECT_FALSE(cd.slot[0].used);

    m.SH.rec[0] = AnchorLink{};
    m.GAN.rec[0] = AnchorLink{-10.0, 10.0, 1.0, 1.0, 0.0, 0.0};
    m.GAN.rec[1] = AnchorLink{10.0, 10.0, 1.0, 1.0, 0.0, 0.0};
    constraint_analysis(m, s, 0);
    ASSERT_TRUE(cd.slot[0].used && cd.slot[1].used);
    EXPECT_NEAR(cd.slot[0].fx, -4.9, 1e-12);  // toward its anchor up left
    EXPECT_NEAR(cd.slot[0].fy, 4.9, 1e-12);
    EXPECT_NEAR(cd.slot[1].fx, 4.9, 1e-12);
    EXPECT_NEAR(cd.slot[1].fy, 4.9, 1e-12);

    m.GAN.rec[0] = m.GAN.rec[1] = AnchorLink{};
    fb.total = XY{5.0, 0.0};
    fb.friction_state = 2;
    fb.friction_angle = 0.0;
    constraint_analysis(m, s, 0);
    EXPECT_EQ(fb.friction_state, 1);
    EXPECT_NEAR(fb.friction.x, -5.0, 1e-12);
    EXPECT_FALSE(cd.slot[0].used);
}

}  // namespace
}  // namespace quorrel
