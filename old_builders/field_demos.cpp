// Field and interaction demos: a charge bent into a parabola by a uniform
// electric field, charges circling in a magnetic field, a block pulled across
// a plank that slides on the ground, and a bouncing ball whose bounces an
// event program counts. Each is laid out in the pixels of the default
// 700 x 420 picture as one compact whole that the player fits to its window.
#include <cmath>

#include "demos/bench_scenes.h"
#include "old_builders/builder.h"
#include "old_builders/old_demos.h"
#include "model/gbk.h"
#include "model/vec.h"

namespace quorrel {
namespace {

using namespace demo_colour;

// A 0.1 kg charge of 0.5 C enters a downward field of 0.4 N/C at 8 m/s: it
// falls at qE/m = 2 m/s² along a parabola while it crosses the 20 m wide
// region (2.5 s, 6.25 m down) and leaves along a straight line; the run
// pauses 0.25 s after it has left. No gravity. 0.05 m per pixel, the field
// centred on the origin.
void build_electric_deflection(Model& m) {
    demo_settings(m, 340, 170, 0.05, 20);
    m.settings.pause_time = 3.25;
    m.settings.v_scale = 8.0;  // 8 m/s is 50 px
    m.settings.f_scale = 0.2;  // the force of 0.2 N is 50 px

    MovingObject& q = demo_ball(m, 0, "带电粒子", -14, 3, 0.45, 0.1, 240, 80, 60);
    demo_charge(m, 0, 0.5);
    demo_velocity(q, 8, 0);
    demo_trail(q, YELLOW);
    q.strobe_on = 1;
    q.strobe_interval = 0.5;
    q.strobe_vector_flags[VEC_V] = 1;
    q.live_vector_flags[VEC_V] = 1;
    q.live_vector_flags[VEC_ELECTRIC] = 1;

    m.EA.rec[0] = {-10, -5, 10, 5, -PI / 2, 0.4};
    m.EA.name[0] = utf8_to_gbk("匀强电场");
    demo_point(m, "入口", -10, 3, GREEN, "");

    demo_annotation(m, 20, 12, 300, WHITE, "带电粒子在匀强电场中的偏转：类平抛运动");
    demo_text_block(m, 370, 300, GREY,
                    {"q = 0.5 C，m = 0.1 kg，E = 0.4 N/C，v0 = 8 m/s", "加速度 a = qE/m = 2 m/s^2",
                     "穿过电场用时 2.5 s，偏移 y = at^2/2 = 6.25 m"});
}

// Two charges in a uniform magnetic field of 2 T out of the plane: a 1 kg
// charge of +1 C at 6 m/s turns clockwise on a circle of m·v/(|q|·B) = 3 m,
// a 0.5 kg charge of −1 C at 6 m/s counter-clockwise on one of 1.5 m; the
// periods are 2π·m/(|q|·B) = π s and π/2 s. No gravity. 0.025 m per pixel.
void build_magnetic_circles(Model& m) {
    demo_settings(m, 350, 190, 0.025, 20);
    m.settings.show_axes = 0;
    m.settings.v_scale = 4.0;  // 6 m/s is 75 px
    m.settings.f_scale = 8.0;  // the Lorentz forces of 12 N are 75 px

    MovingObject& a = demo_ball(m, 0, "正电荷", -3, 3, 0.25, 1.0, 240, 80, 60);
    demo_charge(m, 0, 1.0);
    demo_velocity(a, 6, 0);
    demo_trail(a, YELLOW);
    a.live_vector_flags[VEC_V] = 1;
    a.live_vector_flags[VEC_LORENTZ] = 1;

    MovingObject& b = demo_ball(m, 1, "负电荷", 3.5, -1.5, 0.25, 0.5, 80, 140, 240);
    demo_charge(m, 1, -1.0);
    demo_velocity(b, 6, 0);
    demo_trail(b, CYAN);
    b.live_vector_flags[VEC_V] = 1;
    b.live_vector_flags[VEC_LORENTZ] = 1;

    m.BA.rec[0] = {-6.8, -3.8, 6.8, 3.6, 1, 2.0};  // out of the plane
    m.BA.name[0] = utf8_to_gbk("匀强磁场");

    demo_annotation(m, 20, 12, 460, WHITE, "带电粒子在匀强磁场中的圆周运动：r = mv/(qB)");
    // The centres of the two circles.
    demo_point(m, "圆心1", -3, 0, GREEN, "");
    demo_point(m, "圆心2", 3.5, 0, GREEN, "");
    demo_text_block(m, 78, 352, GREY,
                    {"B = 2 T，垂直纸面向外；正电荷 1 kg，负电荷 0.5 kg，v = 6 m/s",
                     "半径 r = 3 m 与 1.5 m，周期 T = 2πm/(qB) = π s 与 π/2 s"});
}

// A 1 kg block on a 2 kg plank, pulled by 10 N. The plank's surface has
// μ1 = 0.5 and the ground μ2 = 0.1: the block slides forward at
// (F − μ1·m·g)/m = 5.1 m/s², and its friction drags the plank along at
// (μ1·m·g − μ2·(M + m)·g)/M = 0.98 m/s². The run stops by itself when the
// block runs off the plank's front. 0.0125 m per pixel.
void build_block_on_plank(Model& m) {
    demo_settings(m, 260, 250, 0.0125, 10);
    m.settings.show_axes = 0;
    m.settings.use_gravity = 1;
    m.settings.v_scale = 3.0;  // the block's 6.6 m/s at the end is 110 px
    m.settings.f_scale = 5.0;  // the pull of 10 N is 100 px

    const double plank_w = 4.0, plank_h = 0.3, block_w = 1.0, block_h = 0.5;
    MovingObject& plank = demo_object(m, 0, KIND_PLANK, "平板", 0, plank_h / 2, 2.0);
    plank.width = plank_w;
    plank.height = plank_h;
    plank.surface_mu = 0.5;
    plank.ground_mu = 0.1;
    demo_box_picture(m, 0, 0x2A6AA0, 0);
    demo_trail(plank, CYAN);
    plank.live_vector_flags[VEC_V] = 1;
    plank.live_vector_flags[VEC_FRICTION] = 1;

    MovingObject& block = demo_object(m, 1, KIND_BLOCK, "木块", -1.5, plank_h + block_h / 2, 1.0);
    block.width = block_w;
    block.height = block_h;
    block.host = 0;
    block.fx = 10.0;
    demo_box_picture(m, 1, 0x3070D0, 0);
    demo_trail(block, YELLOW);
    block.live_vector_flags[VEC_V] = 1;
    block.live_vector_flags[VEC_APPLIED] = 1;
    block.live_vector_flags[VEC_FRICTION] = 1;

    const int ground = add_straight_track(m, -2.8, 0, 5.0, 0, 0, 0);
    if (ground >= 0) m.TB.name[ground] = utf8_to_gbk("地面");

    demo_annotation(m, 20, 12, 420, WHITE, "板块模型：拉力 10 N 作用在木块上");
    demo_text_block(
        m, 20, 280, GREY,
        {"木块 1 kg，平板 2 kg；板面 μ1 = 0.5，地面 μ2 = 0.1", "木块 a1 = 5.1 m/s^2，平板 a2 = 0.98 m/s^2"});
}

// A ball dropped from 8 m onto a floor, keeping 80 % of its speed at each
// bounce (loss 0.2) and drifting right at 0.5 m/s. The clock program reads
// vy and counts each change from falling to rising in `n`, which the second
// annotation shows; clicking the framed label "重新运行" starts the run again.
// The bounces die out after about 11.5 s; the run pauses at 16 s.
// 0.025 m per pixel, the floor near the bottom.
void build_bounce_counter(Model& m) {
    demo_settings(m, 60, 370, 0.025, 10);
    m.settings.use_gravity = 1;
    m.settings.pause_time = 16.0;
    m.settings.v_scale = 10.0;  // 12.5 m/s at the first impact is 62 px

    MovingObject& b = demo_ball(m, 0, "小球", 0, 8.3, 0.3, 1.0, 230, 90, 40);
    demo_velocity(b, 0.5, 0);
    b.loss = 0.2;
    demo_trail(b, PINK);
    b.live_vector_flags[VEC_V] = 1;

    const int floor = add_straight_track(m, -1, 0, 10, 0, 0, 0);
    if (floor >= 0) m.TB.name[floor] = utf8_to_gbk("地面");

    demo_variable(m, "v", "小球的竖直速度", "0");
    demo_variable(m, "vlast", "上一帧的竖直速度", "0");
    demo_variable(m, "n", "弹跳次数", "0");
    demo_program_line(m, 0, "读值(运动对象,小球,vy,v)");
    demo_program_line(m, 0, "判断1:如果(v>0和vlast<0)则执行");
    demo_program_line(m, 0, "n=n+1");
    demo_program_line(m, 0, "结束判断1");
    demo_program_line(m, 0, "vlast=v");

    // Annotation k runs program k + 1 when clicked: the third is the button.
    demo_annotation(m, 90, 12, 380, WHITE, "小球弹跳计数：每次碰地后速度变为原来的 0.8 倍");
    demo_annotation(m, 420, 80, 160, YELLOW, "已弹跳 {n} 次");
    const int button = demo_annotation(m, 420, 120, 80, GREEN, "重新运行");
    if (button >= 0) m.annotations[button].in_use = 2;  // framed
    demo_program_line(m, button + 1, "重新运行");
    demo_text_block(m, 420, 170, GREY, {"每次反弹的高度是上一次的 0.64 倍"});
}

constexpr OldDemo demos[] = {
    {"electric_deflection.exp", build_electric_deflection},
    {"magnetic_circles.exp", build_magnetic_circles},
    {"block_on_plank.exp", build_block_on_plank},
    {"bounce_counter.exp", build_bounce_counter},
};

}  // namespace

std::span<const OldDemo> field_demos() {
    return demos;
}

}  // namespace quorrel
