// Motion demos: free fall, two bodies on a spring, a pendulum on a rope, planets
// about a fixed mass and bodies slowed by resistance regions. Each shows one
// fact with a closed form, laid out in the pixels of the default 700 x 420
// picture as one compact whole that the player fits to its window.
#include <cmath>
#include <initializer_list>

#include "demos/bench_scenes.h"
#include "old_builders/builder.h"
#include "old_builders/old_demos.h"
#include "model/gbk.h"
#include "model/vec.h"

namespace quorrel {
namespace {

using namespace demo_colour;

constexpr Colour GRAPH_BACK = 0x302010;
constexpr Colour GRAPH_AXES = 0xA0A0A0;

constexpr std::int32_t Q_X = 100;  // quantity codes of a moving object's x,
constexpr std::int32_t Q_Y = 101;  // y
constexpr std::int32_t Q_V = 106;  // and speed

// A 1 kg ball let go from 80 m and a second one thrown sideways at 15 m/s from
// the same height: both land after √(2h/g) = 4.04 s. A reading copies the
// first ball's height into `h`, a graph draws h against t, and the clock
// program notes the landing time in `tland` and pauses there.
// 0.25 m per pixel: 80 m is 320 px.
void build_free_fall(Model& m) {
    demo_settings(m, 50, 360, 0.25, 10);
    Settings& s = m.settings;
    s.use_gravity = 1;
    s.show_grid = 1;
    s.v_scale = 20.0;  // 50 px per 20 m/s: 99 px at the landing

    MovingObject& drop = demo_ball(m, 0, "自由落体", 0.0, 80.0, 2.0, 1.0, 230, 80, 60);
    demo_trail(drop, YELLOW);
    drop.strobe_on = 1;
    drop.strobe_interval = 0.5;
    drop.live_vector_flags[VEC_V] = 1;
    MovingObject& thrown = demo_ball(m, 1, "平抛小球", 0.0, 80.0, 2.0, 1.0, 60, 160, 230);
    demo_velocity(thrown, 15.0, 0.0);
    demo_trail(thrown, CYAN);
    thrown.strobe_on = 1;
    thrown.strobe_interval = 0.5;
    thrown.live_vector_flags[VEC_V] = 1;
    thrown.live_vector_flags[VEC_VX] = 1;
    thrown.live_vector_flags[VEC_VY] = 1;

    demo_variable(m, "t", "时间", "0");  // the first variable receives the time
    demo_variable(m, "h", "下落小球的高度", "80");
    demo_variable(m, "tland", "落地时刻", "0");
    demo_variable(m, "landed", "落地后为1", "0");
    demo_reading(m, MEASURE_QUANTITY, Q_Y, {{REF_OBJECT, "自由落体"}}, "高度 h=", "h", 450, 40, GREEN);

    demo_program_line(m, 0, "判断1:如果(h<0和landed=0)则执行");
    demo_program_line(m, 0, "tland=t");
    demo_program_line(m, 0, "landed=1");
    demo_program_line(m, 0, "暂停");
    demo_program_line(m, 0, "结束判断1");

    demo_annotation(m, 90, 12, 400, WHITE, "自由落体与平抛：从 80 m 高处同时出发，同时落地");
    demo_text_block(m, 450, 385, GREY, {"h = h0 - g·t^2/2", "落地时间 t = √(2h0/g) ≈ 4.04 s"});
    // h against t: 0.6 s and 15 m per 30 pixels, over the 4.04 s of the fall.
    const int g = demo_graph(m, 570, 185, 0.6, 15.0, 8.0, 20.0, GRAPH_BACK, GRAPH_AXES);
    demo_curve(m, g, 0, "t", "h", YELLOW);
}

// Two bodies (1 kg and 3 kg) on a spring (k = 12 N/m, natural length 2 m)
// stretched to 3 m and let go: they swing against each other with the period
// 2π·√(μ/k) = π/2 s of the reduced mass μ = 0.75 kg, and their centre of mass
// stays at the origin. The run pauses after two periods, when the graph of
// the distance is full. 0.01 m per pixel.
void build_two_body_spring(Model& m) {
    demo_settings(m, 300, 120, 0.01, 10);
    Settings& s = m.settings;
    s.show_axes = 0;
    s.pause_time = 3.2;
    s.v_scale = 2.0;  // the 1 kg body's top speed of 3 m/s is 75 px
    s.f_scale = 8.0;  // the largest spring force of 12 N is 75 px

    MovingObject& a = demo_ball(m, 0, "甲", -2.25, 0.0, 0.2, 1.0, 230, 120, 40);
    demo_trail(a, ORANGE);
    a.live_vector_flags[VEC_V] = 1;
    a.live_vector_flags[VEC_SPRING] = 1;
    MovingObject& b = demo_ball(m, 1, "乙", 0.75, 0.0, 0.3, 3.0, 60, 120, 230);
    demo_trail(b, CYAN);
    b.live_vector_flags[VEC_V] = 1;
    b.live_vector_flags[VEC_SPRING] = 1;

    m.E_TH.rec[0] = {0, 1, 2.0, 12.0, 0};
    m.E_TH.name[0] = utf8_to_gbk("弹簧");

    demo_variable(m, "t", "时间", "0");
    demo_variable(m, "d", "两物体的距离", "3");
    demo_reading(m, MEASURE_DISTANCE, 0, {{REF_OBJECT, "甲"}, {REF_OBJECT, "乙"}}, "距离 d=", "d", 60, 200, GREEN);
    demo_point(m, "质心", 0.0, -0.5, PINK, "质心 (静止)");

    demo_annotation(m, 20, 12, 420, WHITE, "两物体间的弹簧振动：m1 = 1 kg，m2 = 3 kg，k = 12 N/m");
    demo_text_block(m, 20, 290, GREY, {"周期 T = 2π√(μ/k)，μ = m1m2/(m1+m2) = 0.75 kg", "T = π/2 ≈ 1.571 s"});
    // d against t: 0.5 s and 0.5 m per 30 pixels over the 3.2 s of the run.
    const int g = demo_graph(m, 570, 200, 0.5, 0.5, 14.0, 16.0, GRAPH_BACK, GRAPH_AXES);
    demo_curve(m, g, 0, "t", "d", CYAN);
}

// A 1 kg bob on a 2.45 m rope let go 20 degrees from the vertical: the rope
// stays taut at its length, and the bob swings with the period
// 2π·√(L/g)/agm(1, cos 10°) ≈ 3.16 s (π s for small swings). An angle reading
// at the hanging point gives θ, a hidden reading the bob's x, the clock
// program the signed angle φ (θ on the side of x), and a graph draws φ
// against t for the 6.4 s of the run, two periods. 0.01 m per pixel, the
// hanging point near the top.
void build_rope_pendulum(Model& m) {
    demo_settings(m, 200, 60, 0.01, 10);
    Settings& s = m.settings;
    s.show_axes = 0;
    s.use_gravity = 1;
    s.pause_time = 6.4;
    s.v_scale = 1.5;  // the top speed of 1.7 m/s is 57 px
    s.f_scale = 8.0;  // the weight of 9.8 N is 61 px

    const double length = 2.45, angle = 20 * DEG;
    MovingObject& bob =
        demo_ball(m, 0, "摆球", length * std::sin(angle), -length * std::cos(angle), 0.12, 1.0, 230, 200, 60);
    demo_trail(bob, ORANGE);
    bob.live_vector_flags[VEC_V] = 1;
    bob.live_vector_flags[VEC_GRAVITY] = 1;
    bob.live_vector_flags[VEC_ROPE_ROD] = 1;

    // Run sets the rope's length again from the start position.
    m.SH.rec[0] = {0, 0, length, 1.0, 0, 0};
    m.SH.name[0] = utf8_to_gbk("细绳");

    demo_point(m, "悬点", 0.0, 0.0, WHITE, "");
    demo_point(m, "竖直", 0.0, -1.0, GREY, "");
    demo_variable(m, "t", "时间", "0");
    demo_variable(m, "theta", "摆角", "20");
    demo_variable(m, "bx", "摆球的 x 坐标", "0.838");
    demo_variable(m, "phi", "带符号的摆角", "20");
    demo_reading(m, MEASURE_ANGLE, 0, {{REF_POINT, "竖直"}, {REF_POINT, "悬点"}, {REF_OBJECT, "摆球"}},
                 "摆角 θ=", "theta", 30, 110, GREEN);
    demo_reading(m, MEASURE_HIDDEN, Q_X, {{REF_OBJECT, "摆球"}}, "", "bx", 0, 0, GREEN);
    demo_program_line(m, 0, "phi=theta*signum(bx)");

    demo_annotation(m, 20, 12, 360, WHITE, "单摆：绳长 2.45 m，从 20° 处释放");
    demo_text_block(m, 360, 335, GREY, {"小角度周期 T = 2π√(L/g) = π s", "20° 时 T ≈ 3.16 s"});
    // φ against t, positive on the right: 1 s and 10 degrees per 30 pixels,
    // φ = 0 across the middle.
    const int g = demo_graph(m, 480, 200, 1.0, 10.0, 14.0, 120.0, GRAPH_BACK, GRAPH_AXES);
    demo_curve(m, g, 0, "t", "phi", YELLOW);
}

// Two planets about a fixed mass of 1.5e12 kg (G·M ≈ 100 N·m²/kg with the
// standard G): the inner one on a circle of radius 3 m with the period
// 2π·√(r³/(G·M)) ≈ 3.26 s, the outer one let go at 5 m with 0.7 of the
// circular speed on an ellipse. 0.02 m per pixel.
void build_planet_orbit(Model& m) {
    demo_settings(m, 320, 200, 0.02, 10);
    Settings& s = m.settings;
    s.show_axes = 0;
    s.v_scale = 4.0;   // the inner planet's 5.8 m/s is 72 px
    s.f_scale = 10.0;  // its pull of 11 N is 56 px

    const double M = 1.5e12, GM = s.G * M;
    m.M.rec[0] = {0, 0, M};
    m.M.name[0] = utf8_to_gbk("恒星");

    const double r1 = 3.0, r2 = 5.0;
    MovingObject& inner = demo_ball(m, 0, "行星甲", r1, 0.0, 0.15, 1.0, 60, 140, 240);
    demo_velocity(inner, 0.0, std::sqrt(GM / r1));
    demo_trail(inner, CYAN);
    inner.live_vector_flags[VEC_V] = 1;
    inner.live_vector_flags[VEC_RESULTANT] = 1;
    MovingObject& outer = demo_ball(m, 1, "行星乙", -r2, 0.0, 0.15, 1.0, 230, 130, 60);
    demo_velocity(outer, 0.0, -0.7 * std::sqrt(GM / r2));
    demo_trail(outer, ORANGE);
    outer.live_vector_flags[VEC_V] = 1;
    outer.live_vector_flags[VEC_RESULTANT] = 1;
    outer.strobe_on = 1;
    outer.strobe_interval = 0.25;

    demo_variable(m, "t", "时间", "0");
    demo_variable(m, "r", "行星乙到恒星的距离", "5");
    demo_reading(m, MEASURE_DISTANCE, 0, {{REF_OBJECT, "行星乙"}, {REF_POINT, "恒星"}}, "距离 r=", "r", 500, 60, GREEN);
    demo_point(m, "恒星", 0.0, 0.0, YELLOW, "");

    demo_annotation(m, 20, 12, 380, WHITE, "行星绕恒星运动：圆轨道与椭圆轨道");
    demo_text_block(m, 500, 332, GREY, {"圆轨道周期 T = 2π√(r^3/GM)", "r = 3 m 时 T ≈ 3.26 s"});
}

// Two 2 kg bodies slide at 4 m/s along frictionless floors into resistance
// regions: the upper one against F = 0.4·m·v, so its speed falls by 0.4 m/s
// per metre of the region; the lower one against F = 0.25·v^2, so its speed
// falls as 4·e^(-x/8) with the depth x in metres. 0.025 m per pixel.
void build_resistance_region(Model& m) {
    demo_settings(m, 350, 250, 0.025, 10);
    Settings& s = m.settings;
    s.show_axes = 0;
    s.use_gravity = 1;
    s.v_scale = 4.0;  // 4 m/s is 50 px
    s.f_scale = 3.0;  // the entry drags of 3.2 N and 4 N are 53 px and 67 px

    const double r = 0.2, upper = 1.5, lower = -2.0;
    const double floors[2] = {upper, lower};
    const char* names[2] = {"甲", "乙"};
    const int colours[2][3] = {{230, 120, 40}, {60, 160, 230}};
    for (int i = 0; i < 2; ++i) {
        MovingObject& b =
            demo_ball(m, i, names[i], -6.0, floors[i] + r, r, 2.0, colours[i][0], colours[i][1], colours[i][2]);
        demo_velocity(b, 4.0, 0.0);
        demo_trail(b, i == 0 ? ORANGE : CYAN);
        b.strobe_on = 1;
        b.strobe_interval = 0.5;
        b.loss = 0.5;
        b.live_vector_flags[VEC_V] = 1;
        b.live_vector_flags[VEC_RESULTANT] = 1;
        const int slot = add_straight_track(m, -6.8, floors[i], 6.8, floors[i], 0, 0);
        if (slot >= 0) m.TB.name[slot] = utf8_to_gbk("地面");
    }
    // A wall at the far end turns the bodies back into the regions.
    const int wall = add_straight_track(m, 6.8, lower, 6.8, upper + 2.0, 0, 0);
    if (wall >= 0) m.TB.name[wall] = utf8_to_gbk("挡板");

    m.Z.rec[0] = {-2.0, upper, 6.8, upper + 2.0, 0.4, 1.0, 1.0};  // w = 0.4·m, F = w·v
    m.Z.name[0] = utf8_to_gbk("阻力区甲");
    m.Z.rec[1] = {-2.0, lower, 6.8, lower + 2.0, 0.25, 2.0, 0.0};  // w = 0.25, F = w·v²
    m.Z.name[1] = utf8_to_gbk("阻力区乙");

    demo_variable(m, "t", "时间", "0");
    demo_variable(m, "v1", "甲的速率", "4");
    demo_variable(m, "v2", "乙的速率", "4");
    demo_reading(m, MEASURE_QUANTITY, Q_V, {{REF_OBJECT, "甲"}}, "甲 v=", "v1", 60, 150, GREEN);
    demo_reading(m, MEASURE_QUANTITY, Q_V, {{REF_OBJECT, "乙"}}, "乙 v=", "v2", 60, 290, GREEN);

    demo_annotation(m, 20, 12, 420, WHITE, "阻力区：甲受阻力 f = 0.4·m·v，乙受阻力 f = 0.25·v^2");
    demo_text_block(m, 60, 350, GREY, {"甲：每进入 1 m 速率减小 0.4 m/s", "乙：v = v0·e^(-x/8)"});
}

constexpr OldDemo demos[] = {
    {"free_fall.exp", build_free_fall},
    {"two_body_spring.exp", build_two_body_spring},
    {"rope_pendulum.exp", build_rope_pendulum},
    {"planet_orbit.exp", build_planet_orbit},
    {"resistance_region.exp", build_resistance_region},
};

}  // namespace

std::span<const OldDemo> motion_demos() {
    return demos;
}

}  // namespace quorrel
