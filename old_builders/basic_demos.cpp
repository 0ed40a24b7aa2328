// Basic demos: a body thrown under gravity and a body on a spring.
//
// Scenes are laid out in the pixels of the default 700 x 420 picture as one
// compact whole: the player fits that whole to its window. Texts keep clear of
// the axes, their tick numbers, the bodies and one another.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "old_builders/builder.h"
#include "old_builders/old_demos.h"
#include "model/gbk.h"

namespace quorrel {
namespace {

using namespace demo_colour;

constexpr std::int32_t Q_X = 100;  // quantity codes of a moving object
constexpr std::int32_t Q_Y = 101;

// Thrown at 40 m/s and 60 degrees from the origin: it flies 141 m wide and
// 61 m high for 7.1 s, with its trail, strobe stamps every second and the
// velocity arrows. The clock program keeps the greatest height in `hmax` and
// pauses the run when the ball is back on the ground, over the marked landing
// point. 0.25 m per pixel: 100 m is 400 px.
void build_thrown_ball(Model& m) {
    demo_settings(m, 40, 330, 0.25, 50);  // 0.05 s per frame
    Settings& s = m.settings;
    s.show_grid = 1;
    s.use_gravity = 1;
    s.v_scale = 20.0;  // an arrow is 50 px per v_scale: 40 m/s is 100 px

    const double v0 = 40.0, angle = 60.0 * std::numbers::pi / 180.0;
    MovingObject& b = demo_ball(m, 0, "小球", 0.0, 0.0, 2.0, 1.0, 230, 60, 40);
    demo_velocity(b, v0 * std::cos(angle), v0 * std::sin(angle));
    b.trail_colour = YELLOW;
    b.show_trail = 1;
    b.strobe_on = 1;
    b.strobe_interval = 1.0;
    b.readout_flags[READ_T] = 1;
    b.readout_flags[READ_Y] = 1;
    b.strobe_vector_flags[VEC_V] = 1;
    b.live_vector_flags[VEC_V] = 1;
    b.live_vector_flags[VEC_VX] = 1;
    b.live_vector_flags[VEC_VY] = 1;
    demo_point(m, "落点", v0 * v0 * std::sin(2 * angle) / s.g, 0.0, GREEN, "");

    demo_variable(m, "h", "小球的高度", "0");
    demo_variable(m, "hmax", "最大高度", "0");
    demo_variable(m, "landed", "落地后为1", "0");
    demo_reading(m, MEASURE_QUANTITY, Q_Y, {{REF_OBJECT, "小球"}}, "高度 h=", "h", 450, 16, GREEN);

    demo_program_line(m, 0, "判断1:如果(h>hmax)则执行");
    demo_program_line(m, 0, "hmax=h");
    demo_program_line(m, 0, "结束判断1");
    // Pause once when the ball comes back to the ground; Continue lets it fall on.
    demo_program_line(m, 0, "判断2:如果(h<0和landed=0)则执行");
    demo_program_line(m, 0, "landed=1");
    demo_program_line(m, 0, "暂停");
    demo_program_line(m, 0, "结束判断2");

    demo_annotation(m, 80, 12, 360, WHITE, "斜抛运动：初速度 40 m/s，抛射角 60°");
    demo_text_block(m, 450, 45, GREY, {"射程 R = v0^2·sin2θ/g ≈ 141 m", "最大高度 H = (v0·sinθ)^2/2g ≈ 61.2 m"});
    demo_text_block(m, 80, 362, GREY, {"每隔 1 s 频闪一次，标出时刻 T 与高度 y；绿点是预计的落点"});
}

// A 1 kg body on a horizontal spring (k = 10 N/m, natural length 80 m) to an
// anchor at the origin, let go 40 m beyond the natural length: it swings
// between 40 m and 120 m with a period of 2π·√(m/k) ≈ 1.99 s, and a graph
// draws x against t over the 6 s of the run (three periods), when it pauses.
// 0.4 m per pixel: 100 m is 250 px.
void build_spring_oscillator(Model& m) {
    demo_settings(m, 50, 120, 0.4, 20);  // 0.02 s per frame
    Settings& s = m.settings;
    s.show_grid = 1;
    s.pause_time = 6.0;
    // Arrows are 50 px per scale unit: the top speed of 126 m/s is 79 px and
    // the largest spring force of 400 N is 67 px.
    s.v_scale = 80.0;
    s.f_scale = 300.0;

    MovingObject& b = demo_ball(m, 0, "振子", 120.0, 0.0, 6.0, 1.0, 60, 120, 230);
    b.trail_colour = CYAN;
    b.live_vector_flags[VEC_V] = 1;
    b.live_vector_flags[VEC_SPRING] = 1;

    AnchorSpring& th = m.TH.rec[0];
    th.anchor_x = 0.0;
    th.anchor_y = 0.0;
    th.natural_length = 80.0;
    th.stiffness = 10.0;
    th.mode = 0.0;    // acts both stretched and compressed
    th.object = 0.0;  // the object's slot, stored as a real
    m.TH.name[0] = utf8_to_gbk("弹簧");

    demo_variable(m, "x", "振子的位置", "120");
    demo_variable(m, "k", "劲度系数", "10");
    demo_reading(m, MEASURE_QUANTITY, Q_X, {{REF_OBJECT, "振子"}}, "位置 x=", "x", 70, 190, GREEN);

    demo_annotation(m, 90, 12, 400, WHITE, "水平弹簧振子：k = 10 N/m，m = 1 kg，周期约 1.99 s");
    demo_text_block(m, 70, 230, GREY, {"周期 T = 2π√(m/k)", "右图：位置 x 随时间 t 变化"});

    // x against t: 1 s and 20 m per 30 pixels, t = 0 near the left edge.
    const int g = demo_graph(m, 520, 290, 1.0, 20.0, 14.0, 14.0, 0x302010, 0xA0A0A0);
    demo_curve(m, g, 0, "t", "x", CYAN);
}

constexpr OldDemo BASIC[] = {
    {"thrown_ball.exp", build_thrown_ball},
    {"spring_oscillator.exp", build_spring_oscillator},
};

}  // namespace

std::span<const OldDemo> basic_demos() {
    return BASIC;
}

}  // namespace quorrel
