// Demos of forces between moving objects and of the relativistic mass: a
// binary star held by mutual gravitation, two repelling charges tied by a
// rope, a dumbbell (two balls on a rod) thrown while it spins, and a fast and
// a slow charge circling in a magnetic field with a small speed of light.
// Each is laid out in the pixels of the default 700 x 420 picture as one
// compact whole that the player fits to its window.
#include <cmath>

#include "old_builders/builder.h"
#include "old_builders/old_demos.h"
#include "model/gbk.h"
#include "model/vec.h"

namespace quorrel {
namespace {

using namespace demo_colour;

constexpr std::int32_t Q_X = 100;  // quantity codes of a moving object or a point
constexpr std::int32_t Q_Y = 101;

// An object-to-object link (rope E_SH or rod E_GAN) between slots a and b; its
// length is taken from the start positions when the run starts.
void link(ElementList<ObjectLink>& table, int slot, int a, int b, const char* name) {
    table.rec[slot] = ObjectLink{static_cast<double>(a), static_cast<double>(b), 0.0, 1.0, 0.0};
    table.name[slot] = utf8_to_gbk(name);
}

// Two stars of 1.5e12 kg each, 4 m apart, on one circle about their common
// centre: each moves at √(G·M/(2d)) ≈ 3.54 m/s, the period is
// 2π·√(d³/(G·2M)) ≈ 3.55 s. Only their mutual gravitation acts.
// 0.02 m per pixel: the circle is 200 px across.
void build_binary_stars(Model& m) {
    demo_settings(m, 420, 170, 0.02, 20);
    m.settings.show_axes = 0;
    m.settings.use_mutual_gravitation = 1;
    m.settings.v_scale = 3.0;  // 3.54 m/s is 59 px
    const double M = 1.5e12, d = 4.0;
    const double v = std::sqrt(m.settings.G * M / (2 * d));
    MovingObject& a = demo_ball(m, 0, "恒星甲", -d / 2, 0, 0.25, M, 250, 200, 80);
    demo_velocity(a, 0, -v);
    demo_trail(a, YELLOW);
    a.live_vector_flags[VEC_V] = 1;
    MovingObject& b = demo_ball(m, 1, "恒星乙", d / 2, 0, 0.25, M, 120, 160, 250);
    demo_velocity(b, 0, v);
    demo_trail(b, CYAN);
    b.live_vector_flags[VEC_V] = 1;
    demo_point(m, "质心", 0, 0, PINK, "");
    demo_annotation(m, 20, 12, 460, WHITE, "双星：两颗恒星在相互引力作用下绕共同质心转动");
    demo_text_block(m, 20, 262, GREY, {"质量各 1.5e12 kg，相距 4 m", "周期 T = 2π√(d^3/(G·2M))", "≈ 3.55 s"});
}

// Two 0.1 kg balls with 20 µC each, 1 m apart and tied by a 1 m rope, spin
// about their centre at 1 m/s each: the rope holds them against both their
// repulsion and the spin, so they keep their distance and turn once every
// π s (2π·0.5 m / 1 m/s). 0.005 m per pixel: the circle is 200 px across.
void build_charges_on_a_rope(Model& m) {
    demo_settings(m, 420, 170, 0.005, 10);
    m.settings.show_axes = 0;
    m.settings.use_mutual_charge = 1;
    m.settings.v_scale = 1.0;  // 1 m/s is 50 px
    m.settings.f_scale = 4.0;  // the repulsion of 3.6 N is 45 px
    demo_ball(m, 0, "电荷甲", -0.5, 0, 0.06, 0.1, 240, 80, 60);
    demo_charge(m, 0, 2e-5);
    MovingObject& a = m.objects[0];
    demo_velocity(a, 0, -1);
    demo_trail(a, YELLOW);
    demo_ball(m, 1, "电荷乙", 0.5, 0, 0.06, 0.1, 240, 80, 60);
    demo_charge(m, 1, 2e-5);
    MovingObject& b = m.objects[1];
    demo_velocity(b, 0, 1);
    demo_trail(b, CYAN);
    for (MovingObject* o : {&a, &b}) {
        o->live_vector_flags[VEC_V] = 1;
        o->live_vector_flags[VEC_ELECTRIC] = 1;
    }
    link(m.E_SH, 0, 0, 1, "绳子");
    demo_annotation(m, 20, 12, 460, WHITE, "绳连电荷：同种电荷相互排斥，绳子拉住它们一起转动");
    demo_text_block(m, 20, 255, GREY,
                    {"两球各带 20 μC，质量 0.1 kg，相距 1 m", "各以 1 m/s 绕中点转动", "绳的拉力 = kq^2/d^2 + mv^2/r",
                     "        = 3.6 N + 0.2 N"});
}

// Two balls (1 kg and 2 kg) on a light 2 m rod, thrown at (6, 8) m/s while
// the rod spins: the rod keeps its length, and the centre of mass flies on
// the parabola of a single thrown body. The clock program puts a point with
// a trail on the centre of mass; the run pauses at 1.6 s, just before the
// centre is back at its starting height. 0.025 m per pixel.
void build_dumbbell(Model& m) {
    demo_settings(m, 60, 235, 0.025, 10);
    m.settings.show_axes = 0;
    m.settings.use_gravity = 1;
    m.settings.g = 9.8;
    m.settings.pause_time = 1.6;
    MovingObject& a = demo_ball(m, 0, "小球", 0, 0, 0.25, 1.0, 240, 120, 60);
    demo_velocity(a, 6, 8 - 4);
    demo_trail(a, YELLOW);
    MovingObject& b = demo_ball(m, 1, "大球", 2, 0, 0.35, 2.0, 80, 160, 240);
    demo_velocity(b, 6, 8 + 2);
    demo_trail(b, PINK);
    link(m.E_GAN, 0, 0, 1, "刚杆");

    const int centre = demo_point(m, "质心", 4.0 / 3.0, 0, 0x80FF80, "");
    if (centre >= 0) m.points[centre].show_trail = 1;
    for (const char* name : {"x1", "y1", "x2", "y2", "cx", "cy"}) demo_variable(m, name, "", "0");
    demo_reading(m, MEASURE_HIDDEN, Q_X, {{REF_OBJECT, "小球"}}, "", "x1", 0, 0, WHITE);
    demo_reading(m, MEASURE_HIDDEN, Q_Y, {{REF_OBJECT, "小球"}}, "", "y1", 0, 0, WHITE);
    demo_reading(m, MEASURE_HIDDEN, Q_X, {{REF_OBJECT, "大球"}}, "", "x2", 0, 0, WHITE);
    demo_reading(m, MEASURE_HIDDEN, Q_Y, {{REF_OBJECT, "大球"}}, "", "y2", 0, 0, WHITE);
    demo_reading(m, MEASURE_HIDDEN, Q_X, {{REF_POINT, "质心"}}, "", "cx", 0, 0, WHITE);
    demo_reading(m, MEASURE_HIDDEN, Q_Y, {{REF_POINT, "质心"}}, "", "cy", 0, 0, WHITE);
    // The readings written back move the point to the centre of mass.
    demo_program_line(m, 0, "cx=(x1+2*x2)/3");
    demo_program_line(m, 0, "cy=(y1+2*y2)/3");

    demo_annotation(m, 20, 12, 460, WHITE, "哑铃抛体：两球由刚杆相连，边转边飞，质心走抛物线");
    demo_text_block(m, 400, 300, GREY, {"绿点是质心：v0 = (6, 8) m/s", "射程 R = 2·vx·vy/g ≈ 9.8 m"});
}

// With the speed of light set to 10 m/s, a 1 kg, 1 C charge at 8 m/s in a
// 1 T field circles on r = γ·m·v/(qB) = 13.3 m (γ = 5/3) instead of 8 m; a
// slow one at 2 m/s beside it keeps nearly its classical 2.04 m.
// 0.09 m per pixel.
void build_relativistic_circles(Model& m) {
    demo_settings(m, 400, 210, 0.09, 20);
    m.settings.show_axes = 0;
    m.settings.use_relativity = 1;
    m.settings.c = 10.0;
    m.settings.v_scale = 5.0;  // 8 m/s is 80 px
    demo_ball(m, 0, "快粒子", 0, 13.333333333333334, 0.9, 1.0, 240, 80, 60);
    demo_charge(m, 0, 1.0);
    MovingObject& fast = m.objects[0];
    demo_velocity(fast, 8, 0);
    demo_trail(fast, YELLOW);
    fast.live_vector_flags[VEC_V] = 1;
    demo_ball(m, 1, "慢粒子", 0, 2.0412, 0.9, 1.0, 240, 80, 60);
    demo_charge(m, 1, 1.0);
    MovingObject& slow = m.objects[1];
    demo_velocity(slow, 2, 0);
    demo_trail(slow, CYAN);
    slow.live_vector_flags[VEC_V] = 1;
    m.BA.rec[0] = {-15, -14.5, 15, 14.5, 1, 1.0};  // out of the plane
    m.BA.name[0] = utf8_to_gbk("匀强磁场");
    demo_annotation(m, 20, 12, 460, WHITE, "相对论质量：光速取 10 m/s，快粒子的回旋半径变大");
    demo_point(m, "圆心", 0, 0, 0x80FF80, "");
    demo_text_block(m, 20, 60, GREY,
                    {"B = 1 T，q = 1 C，m0 = 1 kg", "r = γm0v/(qB)", "快：v = 8 m/s，γ = 5/3",
                     "     r = 13.3 m（经典 8 m）", "慢：v = 2 m/s，r ≈ 2.04 m"});
}

constexpr OldDemo LINKED[] = {
    {"binary_stars.exp", build_binary_stars},
    {"charges_on_a_rope.exp", build_charges_on_a_rope},
    {"dumbbell.exp", build_dumbbell},
    {"relativistic_circles.exp", build_relativistic_circles},
};

}  // namespace

std::span<const OldDemo> linked_demos() {
    return LINKED;
}

}  // namespace quorrel
