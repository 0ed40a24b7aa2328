// Each demo, played headless through the player's main loop, shows the
// physics it claims: its number is compared with the closed form. The step is
// 0.001 s; tolerances allow for the integrator and for sampling once a frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "demos/demo_titles.h"
#include "demos/demos.h"
#include "model/gbk.h"
#include "model/vec.h"
#include "played_demo.h"
#include "player/interaction.h"
#include "player/player.h"
#include "script/bridge.h"
#include "support/objects.h"

namespace quorrel {
namespace {
using test::EARTH_G;
using test::PlayedDemo;

TEST(FieldDemos, ChargeInElectricFieldFallsAtQEOverM) {
    PlayedDemo run("electric_deflection.exp");
    run.frames(100);  // 2 s: 0.5 s to reach the field at 8 m/s, then 1.5 s in it
    const double a = 0.5 * 0.4 / 0.1, t = 1.5;
    // The field is felt from the first step inside it: the entry time is off
    // by at most one step, a·t·dt = 0.003 m/s and less than 0.01 m in y.
    EXPECT_NEAR(run.o(0).vx, 8.0, 1e-9);
    EXPECT_NEAR(run.o(0).vy, -a * t, 0.005);
    EXPECT_NEAR(run.o(0).y, 3.0 - a * t * t / 2, 0.01);
}

TEST(FieldDemos, ChargesCircleAtRadiusMvOverQBAndKeepTheirSpeed) {
    PlayedDemo run("magnetic_circles.exp");
    double ymin[2] = {run.o(0).y, run.o(1).y}, ymax[2] = {ymin[0], ymin[1]}, xmax0 = run.o(0).x;
    for (int f = 0; f < 80; ++f) {  // 1.6 s: half a turn of the first charge, a full turn of the second
        ASSERT_TRUE(run.frame());
        for (int i = 0; i < 2; ++i) {
            ymin[i] = std::min(ymin[i], run.o(i).y);
            ymax[i] = std::max(ymax[i], run.o(i).y);
        }
        xmax0 = std::max(xmax0, run.o(0).x);
    }
    // Sampled every 0.02 s at 2 rad/s (4 rad/s for the second): an extreme
    // is missed by at most r·(ω·0.01)²/2 < 2e-3 m.
    EXPECT_NEAR(ymax[0] - ymin[0], 2 * 1.0 * 6 / (1.0 * 2.0), 2e-3);
    EXPECT_NEAR(ymax[1] - ymin[1], 2 * 0.5 * 6 / (1.0 * 2.0), 2e-3);
    // The positive charge turns clockwise: right of its start, about (−3, 0).
    EXPECT_NEAR(xmax0, -3 + 3.0, 2e-3);
    // Half the first charge's period π·m/(|q|·B) = π/2 s: it is moving left.
    EXPECT_LT(run.o(0).vx, -5.9);
    for (int i = 0; i < 2; ++i) EXPECT_NEAR(length(run.o(i).vx, run.o(i).vy), 6.0, 1e-3) << i;
}

TEST(FieldDemos, BlockAndPlankAccelerateByTheirFrictionCoefficients) {
    PlayedDemo run("block_on_plank.exp");
    run.frames(50);  // 0.5 s
    const double m = 1, M = 2, F = 10, mu1 = 0.5, mu2 = 0.1, t = 0.5;
    const double a_block = (F - mu1 * m * EARTH_G) / m;
    const double a_plank = (mu1 * m * EARTH_G - mu2 * (M + m) * EARTH_G) / M;
    // Friction reaches the plank from the second step: one step's lag is
    // a·dt = 0.005 m/s at most.
    EXPECT_NEAR(run.o(1).vx, a_block * t, 0.01);
    EXPECT_NEAR(run.o(0).vx, a_plank * t, 0.01);
    EXPECT_EQ(run.o(1).vy, 0.0);
    // The block's centre reaches the plank's front after √(2·3.5/(a1 − a2))
    // ≈ 1.30 s; the program pauses the frame before, the block still on it.
    int frame = 50;
    while (run.frame() && frame < 300) ++frame;
    EXPECT_EQ(frame, 129);  // advanced frames: the 130th pauses
    EXPECT_TRUE(run.m().stop_message.empty());
    EXPECT_LE(run.o(1).x, run.o(0).x + 2.0);
    EXPECT_GT(run.o(1).x, run.o(0).x + 1.9);
}

TEST(FieldDemos, BounceCounterCountsBouncesAndItsLabelRestarts) {
    PlayedDemo run("bounce_counter.exp");
    // Dropped 8 m: the first bounce at √(2·8/g) = 1.28 s, then each flight
    // lasts 2·e·v/g with e = 0.8: the second at 3.32 s, the third at 4.96 s.
    int rises = 0;
    double vlast = 0, peak = 0;
    for (int f = 0; f < 450; ++f) {
        ASSERT_TRUE(run.frame());
        if (vlast < 0 && run.o(0).vy > 0) ++rises;
        vlast = run.o(0).vy;
        if (rises == 1) peak = std::max(peak, run.o(0).y);
    }
    EXPECT_EQ(rises, 2);
    EXPECT_EQ(run.variable("n"), "2");
    // Rebound height e²·8 m above the floor (the centre is 0.3 m up); a
    // bounce reverses the speed of the step's start, g·dt below the impact
    // speed: well under 1 %.
    EXPECT_NEAR(peak - 0.3, 0.64 * 8, 0.05);
    EXPECT_NE(gbk_to_utf8(str_bl_to_str(run.m(), run.m().annotation_text[1])).find("2"), std::string::npos);

    // A click on the framed label runs 重新运行: time and count start again.
    const Annotation& button = run.m().annotations[2];
    Image1MouseDown(run.p, MouseButton::Left, button.x + 10, button.y + 8);
    Image1MouseUp(run.p, MouseButton::Left, button.x + 10, button.y + 8);
    EXPECT_TRUE(run.m().running);
    EXPECT_LT(run.m().sim_time, 0.05);
    EXPECT_EQ(run.variable("n"), "0");
    EXPECT_NEAR(run.o(0).y, 8.3, 1e-9);
}

// Once the rebounds are too small to leave the floor within a step, the ball
// lands for good: it lies still on the floor and the program stops counting.
TEST(FieldDemos, BounceCounterStopsCountingOnceTheBallRests) {
    PlayedDemo run("bounce_counter.exp");
    // The run pauses by itself at 16 s, long after the bounces have died out.
    while (run.frame()) {
    }
    EXPECT_NEAR(run.m().sim_time, 16.0, 1e-6);
    const std::string counted = run.variable("n");
    EXPECT_EQ(run.o(0).vy, 0.0);
    EXPECT_NEAR(run.o(0).y, 0.3, 1e-12);
    press_pause(run.p, *run.p.model);  // continue
    run.frames(100);
    EXPECT_EQ(run.variable("n"), counted);
    EXPECT_NEAR(std::stoi(counted), 25, 5);
}

TEST(MechanismDemos, BlockSlidesDownTheInclineAtGTimesSinMinusMuCos) {
    PlayedDemo run("block_on_incline.exp");
    run.frames(50);  // 0.5 s
    const double theta = 30 * DEG, a = EARTH_G * (std::sin(theta) - 0.3 * std::cos(theta));
    // One step's lag at the start: a·dt = 0.0024 m/s.
    EXPECT_NEAR(length(run.o(1).vx, run.o(1).vy), a * 0.5, 0.005);
    EXPECT_NEAR(std::atan2(-run.o(1).vy, -run.o(1).vx), theta, 1e-3);  // down the slope
    // Its program pauses on the last frame before the middle of its base,
    // (0.3/2)·sin 30° right of its centre, passes the foot at −2W/3.
    run.play(300);
    EXPECT_TRUE(run.m().stop_message.empty());
    const double base = run.o(1).x + 0.15 * std::sin(theta), foot = run.o(0).x - 2 * 4.0 / 3;
    EXPECT_GE(base, foot);
    EXPECT_LT(base, foot + 0.05);  // 4 m/s: within a frame of it
}

TEST(BasicDemos, SpringOscillatorHasPeriodTwoPiRootMOverK) {
    PlayedDemo run("spring_oscillator.exp");
    // The two crossings of the natural length (80 m) are half a period apart;
    // each is interpolated between frames 0.02 s apart, where x is nearly
    // straight, so the error is far below 1 ms.
    double crossings[2] = {0, 0};
    int found = 0;
    double last = run.o(0).x - 80, last_t = 0;
    for (int f = 0; f < 90 && found < 2; ++f) {
        ASSERT_TRUE(run.frame());
        const double now = run.o(0).x - 80, t = run.m().sim_time;
        if ((last > 0) != (now > 0)) crossings[found++] = last_t + (t - last_t) * last / (last - now);
        last = now;
        last_t = t;
    }
    ASSERT_EQ(found, 2);
    EXPECT_NEAR(2 * (crossings[1] - crossings[0]), 2 * PI * std::sqrt(1.0 / 10.0), 2e-3);
}

TEST(MechanismDemos, DriftingChargeKeepsItsEnergyInTheStaticFields) {
    PlayedDemo run("fields_and_charges.exp");
    // The magnetic force does no work: kinetic energy plus the potential
    // energy of the uniform field and of the two fixed charges stays put.
    const auto energy = [&] {
        const MovingObject& o = run.o(0);
        const Model& m = run.m();
        double e = 0.5 * o.mass * (o.vx * o.vx + o.vy * o.vy) - o.charge * 1.5 * o.y;
        for (int i = 0; i < 2; ++i)
            e += m.settings.k * o.charge * m.E.rec[i].charge / length(o.x - m.E.rec[i].x, o.y - m.E.rec[i].y);
        return e;
    };
    const double start = energy();
    run.frames(100);                   // 2 s, a third of a cycloid arch
    EXPECT_GT(run.o(0).y - 1.5, 1.0);  // it has gained height, so energy has changed form
    EXPECT_NEAR(energy(), start, 1e-3);
}

// The launcher lists every demo under its own Chinese title.
TEST(DemoTitles, EveryDemoHasItsOwnChineseTitle) {
    const std::vector<DemoTitle> list = demo_titles();
    ASSERT_EQ(list.size(), all_demos().size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string& t = list[i].title;
        EXPECT_STREQ(list[i].file_name, all_demos()[i].file_name);
        EXPECT_TRUE(std::any_of(t.begin(), t.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
            << list[i].file_name << ": " << t;
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(t, list[j].title) << list[i].file_name;
    }
    EXPECT_EQ(demo_title(*find_demo("block_on_plank.exp")), "板块模型");
}

}  // namespace
}  // namespace quorrel
