// Mechanism demos: one experiment per family of mechanisms (fields and
// charges, a rod pendulum, colliding bodies, a block on an incline, bodies on
// straight and circular tracks), each laid out in the pixels of the default
// 700 x 420 picture as one compact whole that the player fits to its window.
#include <cmath>
#include <numbers>

#include "demos/bench_scenes.h"
#include "old_builders/builder.h"
#include "old_builders/old_demos.h"
#include "model/gbk.h"

namespace quorrel {
namespace {

using namespace demo_colour;

constexpr double pi = std::numbers::pi;

// A charge starting at rest in crossed uniform electric and magnetic fields
// drifts along a cycloid at E/B = 1.5 m/s with arches 3 m high, one every 2π
// s; the run pauses after three arches, before the charge reaches the
// field's end. Below, a second charge circles a fixed opposite charge
// (k·q·Q = 1.8 N·m², radius 2.5 m, period 18.5 s), slightly disturbed by a
// small positive fixed charge beside it. 0.05 m per pixel: the field is
// 32 m x 8 m.
void build_fields_and_charges(Model& m) {
    demo_settings(m, 350, 220, 0.05, 20);
    m.settings.show_axes = 0;
    m.settings.pause_time = 18.85;  // three arches, 6π s
    m.settings.v_scale = 1.5;       // the drift's top speed of 3 m/s is 100 px
    m.settings.f_scale = 2.0;       // its electric force of 1.5 N is 37 px

    demo_ball(m, 0, "漂移电荷", -15, 1.5, 0.45, 1.0, 240, 80, 60);
    demo_charge(m, 0, 1.0);
    MovingObject& drift = m.objects[0];
    demo_trail(drift, YELLOW);
    drift.live_vector_flags[VEC_V] = 1;
    drift.live_vector_flags[VEC_ELECTRIC] = 1;
    drift.live_vector_flags[VEC_LORENTZ] = 1;

    const double radius = 2.5, kqQ = 1.8;
    demo_ball(m, 1, "环绕电荷", 0, -6 + radius, 0.45, 1.0, 240, 80, 60);
    demo_charge(m, 1, 1.0);
    MovingObject& orbit = m.objects[1];
    demo_velocity(orbit, -std::sqrt(kqQ / radius), 0);
    demo_trail(orbit, CYAN);
    orbit.live_vector_flags[VEC_V] = 1;

    m.EA.rec[0] = {-16, 1, 16, 9, pi / 2, 1.5};  // upwards, 1.5 N/C
    m.EA.name[0] = utf8_to_gbk("匀强电场");
    m.BA.rec[0] = {-16, 1, 16, 9, 1, 1.0};  // out of the plane, 1 T
    m.BA.name[0] = utf8_to_gbk("匀强磁场");
    m.E.rec[0] = {0, -6, -kqQ / m.settings.k};
    m.E.name[0] = utf8_to_gbk("负点电荷");
    // Its pull on the orbit, below 0.5 % of the central force, matches that of
    // a 2e-11 C charge three times as far.
    m.E.rec[1] = {6.5, -6, 2e-11 / 9};
    m.E.name[1] = utf8_to_gbk("正点电荷");

    demo_annotation(m, 20, 12, 420, WHITE, "正交电磁场中电荷的摆线运动；下方电荷绕固定点电荷运动");
    demo_text_block(m, 20, 380, GREY, {"E = 1.5 N/C 向上，B = 1 T 垂直纸面向外", "漂移速度 v = E/B = 1.5 m/s"});
}

// A 1 kg bob on a 3 m rigid rod, let go 60 degrees from the vertical: the rod
// keeps its length exactly. An angle reading at the pivot shows θ.
// 0.01 m per pixel, the pivot near the top.
void build_rod_pendulum(Model& m) {
    demo_settings(m, 350, 60, 0.01, 10);
    m.settings.show_axes = 0;
    m.settings.use_gravity = 1;
    m.settings.v_scale = 4.0;   // the top speed of 5.4 m/s is 68 px
    m.settings.f_scale = 10.0;  // the weight of 9.8 N is 49 px

    const double length = 3.0, angle = 60 * pi / 180;
    MovingObject& bob =
        demo_ball(m, 0, "摆球", length * std::sin(angle), -length * std::cos(angle), 0.15, 1.0, 230, 200, 60);
    demo_trail(bob, ORANGE);
    bob.live_vector_flags[VEC_V] = 1;
    bob.live_vector_flags[VEC_GRAVITY] = 1;
    bob.live_vector_flags[VEC_ROPE_ROD] = 1;

    // Run sets the length and state again from the start position.
    m.GAN.rec[0] = {0, 0, length, 1.0, 0, 0};
    m.GAN.name[0] = utf8_to_gbk("刚杆");

    demo_point(m, "支点", 0.0, 0.0, WHITE, "");
    demo_point(m, "竖直", 0.0, -1.0, GREY, "");
    demo_reading(m, MEASURE_ANGLE, 0, {{REF_POINT, "竖直"}, {REF_POINT, "支点"}, {REF_OBJECT, "摆球"}}, "摆角 θ=", "",
                 50, 60, GREEN);

    demo_annotation(m, 20, 12, 300, WHITE, "刚杆摆：杆长 3 m，从 60° 处释放");
    demo_text_block(m, 20, 385, GREY, {"最低点速率 v = √(2gL(1-cos60°)) ≈ 5.4 m/s"});
}

// A billiard break on a frictionless table walled by four straight tracks:
// the cue ball runs into a triangle of three balls; every collision is
// elastic. 0.02 m per pixel: the table is 13 m x 7 m.
void build_colliding_bodies(Model& m) {
    demo_settings(m, 350, 210, 0.02, 10);
    m.settings.use_collisions = 1;
    m.settings.show_axes = 0;
    m.settings.v_scale = 4.0;  // the cue ball's 5 m/s is 62 px

    const double r = 0.3;
    MovingObject& cue = demo_ball(m, 0, "母球", -5, 0.05, r, 1.0, 240, 240, 240);
    demo_velocity(cue, 5, 0);
    demo_trail(cue, WHITE);
    cue.live_vector_flags[VEC_V] = 1;
    const double dx = 2 * r * std::cos(pi / 6) * 1.02, dy = r * 1.02;
    const double spots[3][2] = {{2, 0}, {2 + dx, dy}, {2 + dx, -dy}};
    const char* names[3] = {"红球", "黄球", "蓝球"};
    const int colours[3][3] = {{230, 40, 40}, {230, 210, 40}, {40, 80, 230}};
    const Colour trails[3] = {0x4040FF, YELLOW, 0xFF8040};
    for (int i = 0; i < 3; ++i) {
        MovingObject& b = demo_ball(m, i + 1, names[i], spots[i][0], spots[i][1], r, 1.0, colours[i][0], colours[i][1],
                                    colours[i][2]);
        demo_trail(b, trails[i]);
        b.live_vector_flags[VEC_V] = 1;
    }

    // The cushions: straight tracks whose lines are derived from their ends.
    const double corners[4][4] = {
        {-6.5, -3.5, 6.5, -3.5}, {6.5, -3.5, 6.5, 3.5}, {6.5, 3.5, -6.5, 3.5}, {-6.5, 3.5, -6.5, -3.5}};
    for (int k = 0; k < 4; ++k) {
        const int slot = add_straight_track(m, corners[k][0], corners[k][1], corners[k][2], corners[k][3], 0, 0);
        if (slot >= 0) m.TB.name[slot] = utf8_to_gbk("台边");
    }

    demo_annotation(m, 20, 8, 360, WHITE, "弹性碰撞：母球撞击三个静止的球");
    // The cue ball's start stays marked once it has left.
    demo_point(m, "起点", -5, 0.05, 0x80FF80, "");
    demo_text_block(m, 20, 392, GREY, {"台面光滑，碰撞无能量损失；四条台边是直轨道。"});
}

// A 1 kg block on a 30-degree incline with friction coefficient 0.3 (less
// than tan 30°, so it slides at g(sin 30° - 0.3 cos 30°) = 2.35 m/s²); the
// 5 kg incline stands on rough ground. The run stops by itself when the block
// reaches the foot of the slope. 0.008 m per pixel, the ground near the bottom.
void build_block_on_incline(Model& m) {
    demo_settings(m, 410, 370, 0.008, 10);
    m.settings.show_axes = 0;
    m.settings.use_gravity = 1;
    m.settings.v_scale = 4.0;  // 4.3 m/s at the foot is 54 px
    m.settings.f_scale = 5.0;  // the weight of 9.8 N is 98 px, the friction of 2.5 N 25 px

    const double angle = 30, theta = angle * pi / 180;
    const double W = 4.0, H = W * std::tan(theta);
    // An incline's position is the centroid of its section: its base lies at
    // y - H/3 and spans x - 2W/3 .. x + W/3.
    MovingObject& incline = demo_object(m, 0, KIND_INCLINE, "斜面", 0, H / 3, 5.0);
    incline.width = W;
    incline.height = H;
    incline.angle_a = angle;
    incline.orientation = 0;
    incline.surface_mu = 0.3;
    incline.ground_mu = 0.8;
    demo_incline_picture(m, 0, 0x5A8AB0);

    const double w = 0.4, h = 0.3, x = 0.8;
    const double y = (h / 2) / std::cos(theta) + std::tan(theta) * (x - (0 - 2 * W / 3));
    MovingObject& block = demo_object(m, 1, KIND_BLOCK, "木块", x, y, 1.0);
    block.width = w;
    block.height = h;
    block.angle_a = angle;
    block.orientation = 0;
    block.host = 0;
    block.rel_x = x - incline.x0;
    block.rel_y = y - incline.y0;
    demo_box_picture(m, 1, 0x3070D0, angle);
    demo_trail(block, YELLOW);
    block.live_vector_flags[VEC_V] = 1;
    block.live_vector_flags[VEC_GRAVITY] = 1;
    block.live_vector_flags[VEC_NORMAL] = 1;
    block.live_vector_flags[VEC_FRICTION] = 1;

    demo_annotation(m, 20, 12, 380, WHITE, "斜面上的木块：倾角 30°，动摩擦因数 0.3");
    demo_text_block(m, 300, 382, GREY, {"μ < tan30°，木块加速下滑", "a = g(sin30° - μcos30°) ≈ 2.35 m/s^2"});
}

// A skate ramp without friction: two straight 45-degree slopes meet the lower
// quarter of a circle of radius 3 m tangentially. Both balls are threaded on
// the tracks (their centres run on the lines and the arc), so the tracks hold
// them firmly. A ball let go on the left slope (centre 1.73 m above its lowest
// point) slides down at g·sin 45° and runs into an equal ball resting at the
// bottom of the arc at √(2·g·h) ≈ 5.8 m/s; the elastic collision hands its
// speed on, and the two balls take turns climbing the slopes. 0.01 m per
// pixel; the arc's centre lies above the picture's top.
void build_circular_track(Model& m) {
    demo_settings(m, 350, -20, 0.01, 10);
    m.settings.show_axes = 0;
    m.settings.use_gravity = 1;
    m.settings.use_collisions = 1;
    m.settings.v_scale = 4.0;   // 5.7 m/s at the bottom is 71 px
    m.settings.f_scale = 10.0;  // the weight of 9.8 N is 49 px

    const double R = 3.0, r = 0.15, slope = 1.4;
    // The tangent points at 225° and 315°; the slopes rise outwards from them.
    const double px = R * std::cos(225 * pi / 180), py = R * std::sin(225 * pi / 180);
    const double ux = -std::sqrt(0.5), uy = std::sqrt(0.5);  // up the left slope
    int t = add_straight_track(m, px + slope * ux, py + slope * uy, px, py, 0, 0);
    if (t >= 0) m.TB.name[t] = utf8_to_gbk("左斜轨");
    t = add_straight_track(m, -px, py, -px - slope * ux, py + slope * uy, 0, 0);
    if (t >= 0) m.TB.name[t] = utf8_to_gbk("右斜轨");
    m.CT.rec[0] = {0, 0, 225 * pi / 180, 315 * pi / 180, R, 0, 0};
    m.CT.name[0] = utf8_to_gbk("圆弧轨道");

    // 1.2 m up the left slope, threaded on it.
    const double s = 1.2;
    MovingObject& a = demo_ball(m, 0, "小球甲", px + s * ux, py + s * uy, r, 1.0, 60, 200, 120);
    demo_trail(a, PINK);
    a.live_vector_flags[VEC_V] = 1;
    a.live_vector_flags[VEC_GRAVITY] = 1;
    a.live_vector_flags[VEC_NORMAL] = 1;
    MovingObject& b = demo_ball(m, 1, "小球乙", 0, -R, r, 1.0, 230, 200, 60);
    demo_trail(b, YELLOW);
    b.live_vector_flags[VEC_V] = 1;
    b.live_vector_flags[VEC_NORMAL] = 1;

    demo_annotation(m, 20, 12, 380, WHITE, "斜轨与圆弧轨道：光滑轨道上两球弹性碰撞");
    demo_text_block(m, 280, 60, GREY, {"斜面上 a = g·sin45°", "到达底部 v = √(2gh)"});
}

constexpr OldDemo demos[] = {
    {"fields_and_charges.exp", build_fields_and_charges}, {"rod_pendulum.exp", build_rod_pendulum},
    {"colliding_bodies.exp", build_colliding_bodies},     {"block_on_incline.exp", build_block_on_incline},
    {"circular_track.exp", build_circular_track},
};

}  // namespace

std::span<const OldDemo> mechanism_demos() {
    return demos;
}

}  // namespace quorrel
