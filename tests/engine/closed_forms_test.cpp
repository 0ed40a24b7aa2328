// Scenes built from scratch and run with the default 1 ms step, each against
// the closed form a physics teacher would check: a block on a pulled plank,
// bodies landing on tracks, and linked bodies keeping their energy and
// momentum.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "demos/bench_scenes.h"
#include "engine/constraints.h"
#include "engine/engine.h"
#include "model/vec.h"
#include "support/engine_run.h"
#include "support/objects.h"

namespace quorrel {
namespace {
using test::EARTH_G;

// An experiment stepped one time step per movin call.
struct Lab {
    std::unique_ptr<Model> m = make_model();
    explicit Lab(bool gravity = true) {
        Settings& s = m->settings;
        s.g = EARTH_G;
        s.use_gravity = gravity ? 1 : 0;
        s.time_step = 0.001;
        s.steps_per_frame = 1;
        s.scale = 0.05;  // the drawable range reaches 320 m
        s.origin_x = 400;
        s.origin_y = 300;
    }
    int body(double x, double y, double vx = 0, double vy = 0, double mass = 1, double radius = 0.1) {
        return add_body(*m, "b", x, y, vx, vy, mass, radius);
    }
    int box(std::int32_t kind, double x, double y, double mass, double width, double height) {
        const int i = add_body(*m, "o", x, y, 0, 0, mass, 0);
        o(i).kind = kind;
        o(i).width = width;
        o(i).height = height;
        return i;
    }
    // A rope or rod from the anchor (x, y) to object i (its length is set at the start).
    void anchor(int table, double x, double y, int i) {
        const double r[6] = {x, y, 0, 1, 0, static_cast<double>(i)};
        add_element(*m, table, r);
    }
    // A spring between objects i and j.
    void spring(int i, int j, double length, double stiffness) {
        const double r[5] = {static_cast<double>(i), static_cast<double>(j), length, stiffness, 0};
        add_element(*m, T_E_TH, r);
    }
    void start() { test::start_engine_run(*m); }
    void run_to(double t) {
        while (m->sim_time < t - 1e-9) {
            ASSERT_EQ(movin(*m), MOVIN_NORMAL);
            ASSERT_TRUE(m->stop_message.empty()) << m->stop_message;
        }
    }
    MovingObject& o(int i) { return m->objects[i]; }
    double kinetic(int i) { return o(i).mass * (o(i).vx * o(i).vx + o(i).vy * o(i).vy) / 2; }
    double energy(int i) { return kinetic(i) + (m->settings.use_gravity ? o(i).mass * EARTH_G * o(i).y : 0.0); }
};

// A 1 kg block on a 2 kg plank (friction 0.3 between them) whose plank is
// pulled by F. Up to F_c = (μ + μ_ground)(M + m)g they move together at
// F/(M + m) − μ_ground·g; beyond it the block slides back at μg and the plank
// takes (F − μmg − μ_ground(M + m)g)/M.
TEST(ClosedForms, PulledPlankShedsItsBlockAboveTheCriticalForce) {
    const double M = 2, mb = 1, mu = 0.3;
    for (double ground : {0.0, 0.1}) {
        const double fc = (mu + ground) * (M + mb) * EARTH_G;
        for (double factor : {0.5, 0.95, 1.05, 2.0, 100.0}) {
            Lab lab;
            const int plank = lab.box(KIND_PLANK, 0, 0.1, M, 20, 0.2);
            lab.o(plank).surface_mu = mu;
            lab.o(plank).ground_mu = ground;
            lab.o(plank).fx = factor * fc;
            const int block = lab.box(KIND_BLOCK, 8, 0.35, mb, 0.5, 0.3);
            lab.o(block).host = plank;
            lab.start();
            // Long enough for the transition, short enough to stay on the plank.
            const double t0 = factor > 10 ? 0.02 : 0.2, t1 = factor > 10 ? 0.1 : 1.0;
            lab.run_to(t0);
            const double vb0 = lab.o(block).vx, vp0 = lab.o(plank).vx;
            lab.run_to(t1);
            const double ab = (lab.o(block).vx - vb0) / (t1 - t0), ap = (lab.o(plank).vx - vp0) / (t1 - t0);
            const double together = factor * fc / (M + mb) - ground * EARTH_G;
            const double block_a = factor <= 1 ? together : mu * EARTH_G;
            const double plank_a =
                factor <= 1 ? together : (factor * fc - mu * mb * EARTH_G - ground * (M + mb) * EARTH_G) / M;
            EXPECT_NEAR(ab, block_a, 0.02 * block_a) << "F = " << factor << " F_c, ground " << ground;
            EXPECT_NEAR(ap, plank_a, 0.02 * plank_a) << "F = " << factor << " F_c, ground " << ground;
        }
    }
}

// A ball with loss 1 dropped onto a track lands and is held: friction brakes
// it on a floor (2 m/s stop after 2/(μg)), and on a 30° slope it slides down
// at g(sin 30° − μ cos 30°).
TEST(ClosedForms, LandedBallIsHeldAndFeelsFriction) {
    {
        Lab lab;
        const int b = lab.body(0, 0.3, 2, 0);
        lab.o(b).loss = 1;
        add_straight_track(*lab.m, -5, 0, 50, 0, 0.3, 0.3);
        lab.start();
        double landed = -1, stopped = -1;
        while (lab.m->sim_time < 2 && stopped < 0) {
            lab.run_to(lab.m->sim_time + 0.001);
            if (landed < 0 && lab.o(b).y <= 0.1 + 1e-9) landed = lab.m->sim_time;
            if (landed >= 0 && lab.o(b).vx == 0) stopped = lab.m->sim_time;
        }
        ASSERT_GT(landed, 0);
        EXPECT_NEAR(stopped - landed, 2 / (0.3 * EARTH_G), 0.02 * 2 / (0.3 * EARTH_G));
        EXPECT_NEAR(lab.o(b).y, 0.1, 1e-9);  // held at one radius
        lab.run_to(lab.m->sim_time + 1);
        EXPECT_EQ(lab.o(b).vx, 0.0);
        EXPECT_EQ(lab.o(b).vy, 0.0);
    }
    {
        Lab lab;
        const double c = std::cos(30 * DEG), s = std::sin(30 * DEG);
        // The slope rises to the right from the origin; the ball falls onto it.
        add_straight_track(*lab.m, -1, -s / c, 20 * c, 20 * s, 0.2, 0.2);
        const int b = lab.body(10 * c, 10 * s + 0.3, 0, 0);
        lab.o(b).loss = 1;
        lab.start();
        lab.run_to(0.3);
        const double v0 = std::hypot(lab.o(b).vx, lab.o(b).vy);
        lab.run_to(1.3);
        const double v1 = std::hypot(lab.o(b).vx, lab.o(b).vy);
        const double along = EARTH_G * (s - 0.2 * c);
        EXPECT_NEAR(v1 - v0, along, 0.02 * along);
        EXPECT_NEAR(lab.o(b).vy / lab.o(b).vx, s / c, 1e-6);  // along the slope
    }
}

// Pendulums on a rope and on a rod keep their swing energy; two bodies on a
// spring keep their centre of mass. (Pairs spinning on a rod or a rope are
// checked on their demos, by the conservation test.)
TEST(ClosedForms, LinkedBodiesKeepEnergyAndMomentum) {
    struct Pendulum {
        int table;
        double length, angle;
    };
    for (const Pendulum& p : {Pendulum{T_SH, 1.6, 25 * DEG}, Pendulum{T_GAN, 2.2, 50 * DEG}}) {
        Lab lab;
        const int b = lab.body(p.length * std::sin(p.angle), -p.length * std::cos(p.angle));
        lab.anchor(p.table, 0, 0, b);
        lab.start();
        const double swing = EARTH_G * p.length * (1 - std::cos(p.angle));  // per kg, above the lowest point
        const double e0 = lab.energy(b);
        lab.run_to(30);
        // The rope holds the bob 1e-5 of its length outside: 1e-4 of the swing.
        EXPECT_NEAR((lab.energy(b) - e0) / swing, 0, 2e-4) << (p.table == T_SH ? "rope" : "rod");
    }

    // 1 kg and 3 kg on a spring, nothing else acting: momentum stays 0.
    {
        Lab lab(false);
        const int a = lab.body(-2.25, 0, 0, 0.3, 1.0);
        const int b = lab.body(0.75, 0, 0, -0.1, 3.0);
        lab.spring(a, b, 2.0, 12.0);
        lab.start();
        double worst_p = 0, worst_x = 0;
        while (lab.m->sim_time < 30 - 1e-9) {
            lab.run_to(lab.m->sim_time + 0.01);
            worst_p = std::max(worst_p, std::hypot(lab.o(a).vx + 3 * lab.o(b).vx, lab.o(a).vy + 3 * lab.o(b).vy));
            worst_x = std::max(worst_x, std::hypot(lab.o(a).x + 3 * lab.o(b).x, lab.o(a).y + 3 * lab.o(b).y) / 4);
        }
        EXPECT_LT(worst_p, 1e-4);
        EXPECT_LT(worst_x, 1e-3);
    }
}

}  // namespace
}  // namespace quorrel
