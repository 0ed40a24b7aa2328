// Scenes built from scratch and run with the default 1 ms step, each against
// the closed form a physics teacher would check: a block on a pulled plank,
// bodies landing on tracks, balls resting, swinging and leaving arcs, and
// linked bodies keeping their energy and momentum.
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
    // An arc about (cx, cy) from angle `from` to `to`, counter-clockwise.
    void arc(double cx, double cy, double radius, double from, double to, double mu = 0) {
        const double r[7] = {cx, cy, from, to, radius, mu, mu};
        add_element(*m, T_CT, r);
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

// A ball of radius r against an arc about the origin, at direction `at` from
// its centre, inside the circle (side -1) or outside it (+1), moving
// counter-clockwise along it at v.
int ball_on_arc(Lab& lab, double R, double r, double at, double side, double v, double mu = 0) {
    lab.arc(0, 0, R, -PI / 2, 3 * PI / 2, mu);  // the whole circle
    const double rho = R + side * r;
    return lab.body(rho * std::cos(at), rho * std::sin(at), -v * std::sin(at), v * std::cos(at), 1, r);
}

// Angle swept counter-clockwise from `from` to the direction of object i.
double swept(Lab& lab, int i, double from) {
    double a = vec_angle(lab.o(i).x, lab.o(i).y) - from;
    while (a < -PI) a += 2 * PI;
    while (a > PI) a -= 2 * PI;
    return a;
}

// A frictionless 45° ramp runs into a bowl tangentially: the ball arrives on
// the arc touching it and rolls on with its energy, its centre on the circle
// R - r, reaching the bottom at √(2gh).
TEST(ClosedForms, BallFromARampRollsIntoABowlKeepingItsEnergy) {
    const double R = 3, r = 0.15, rho = R - r, h = std::sqrt(0.5);
    Lab lab;
    const double tx = -R * h, ty = -R * h;  // where the ramp meets the arc, at 225°
    add_straight_track(*lab.m, tx - 2 * h, ty + 2 * h, tx, ty, 0, 0);
    lab.arc(0, 0, R, 225 * DEG, 315 * DEG);
    // 1.2 m up the ramp, one radius above it.
    const int b = lab.body(tx - 1.2 * h + r * h, ty + 1.2 * h + r * h, 0, 0, 1, r);
    lab.start();
    const double e0 = lab.energy(b), drop = lab.o(b).y + rho;
    double worst_e = 0, worst_d = 0, bottom = 0;
    while (lab.o(b).x < rho * h) {  // until it leaves the arc at 315°
        lab.run_to(lab.m->sim_time + 0.001);
        worst_e = std::max(worst_e, std::fabs(lab.energy(b) - e0));
        const double at = vec_angle(lab.o(b).x, lab.o(b).y);
        if (at > 226 * DEG && at < 314 * DEG)
            worst_d = std::max(worst_d, std::fabs(std::hypot(lab.o(b).x, lab.o(b).y) - rho));
        if (lab.o(b).y < -rho + 1e-3) bottom = std::max(bottom, std::hypot(lab.o(b).vx, lab.o(b).vy));
    }
    EXPECT_LT(worst_e, 0.005 * EARTH_G * drop);
    EXPECT_LT(worst_d, 1e-9);
    EXPECT_NEAR(bottom, std::sqrt(2 * EARTH_G * drop), 0.002 * std::sqrt(2 * EARTH_G * drop));
}

// In a bowl of radius 3 m a ball at rest at the bottom stays there, one given
// a small swing oscillates with the period 2π√((R - r)/g), and friction acts
// as on a straight track: static friction holds a ball on the slope below
// tan φ = μ, and a ball rolling along the nearly flat bottom of a wide bowl
// stops after v/(μg).
TEST(ClosedForms, BallInABowlRestsSwingsAndFeelsFriction) {
    const double r = 0.15;
    {
        Lab lab;
        const int b = ball_on_arc(lab, 3, r, -PI / 2, -1, 0);
        lab.start();
        lab.run_to(10);
        EXPECT_EQ(std::hypot(lab.o(b).vx, lab.o(b).vy), 0.0);
        EXPECT_LT(std::hypot(lab.o(b).x, lab.o(b).y - (r - 3)), 1e-12);
    }
    {
        Lab lab;
        const double rho = 3 - r, period = 2 * PI * std::sqrt(rho / EARTH_G);
        const int b = ball_on_arc(lab, 3, r, -PI / 2 + 3 * DEG, -1, 0);
        lab.start();
        double first = -1, last = -1, prev = lab.o(b).x;
        int crossings = 0;
        while (lab.m->sim_time < 5.2 * period) {
            lab.run_to(lab.m->sim_time + 0.001);
            const double x = lab.o(b).x;
            if (prev > 0 && x <= 0) {  // swinging leftwards through the bottom
                const double t = lab.m->sim_time - 0.001 * x / (x - prev);
                if (first < 0) first = t;
                last = t;
                ++crossings;
            }
            prev = x;
        }
        ASSERT_EQ(crossings, 5);
        EXPECT_NEAR((last - first) / 4, period, 0.01 * period);
        EXPECT_NEAR(std::hypot(lab.o(b).x, lab.o(b).y), rho, 1e-9);
    }
    for (const double mu : {0.3, 0.1}) {  // tan 10° = 0.176
        Lab lab;
        const int b = ball_on_arc(lab, 3, r, -PI / 2 - 10 * DEG, -1, 0, mu);
        lab.start();
        lab.run_to(1);
        if (mu > 0.2)
            EXPECT_LT(std::hypot(lab.o(b).vx, lab.o(b).vy), 1e-12);
        else
            EXPECT_GT(swept(lab, b, -PI / 2 - 10 * DEG), 5 * DEG);
    }
    {
        Lab lab;
        const double v = 2, mu = 0.3;
        const int b = ball_on_arc(lab, 300, r, -PI / 2, -1, v, mu);
        lab.start();
        while (std::fabs(lab.o(b).vx) > 1e-12 && lab.m->sim_time < 2) lab.run_to(lab.m->sim_time + 0.001);
        EXPECT_NEAR(lab.m->sim_time, v / (mu * EARTH_G), 0.01 * v / (mu * EARTH_G));
        lab.run_to(lab.m->sim_time + 1);
        EXPECT_LT(std::fabs(lab.o(b).vx), 1e-12);
    }
}

// A ball given a speed v0 on top of a hump leaves it, sliding, where
// cos θ = 2/3 + v0²/(3gρ); inside a loop, from the bottom, where
// cos φ = (2gρ - v0²)/(3gρ), and not at all from v0² = 5gρ (ρ: the circle its
// centre runs on). A ball with loss 1 dropped into a bowl lands on it and
// stays on the circle R - r.
TEST(ClosedForms, BallsLeaveArcsWhereTheSupportWouldHaveToPull) {
    struct Row {
        const char* what;
        double side, v2;  // v0² in units of gρ
        double leave;     // the angle swept when it leaves (0: it never does)
    };
    const Row rows[] = {
        {"hump, nudged", 1, 0.01, std::acos(2.0 / 3 + 0.01 / 3)},
        {"hump, pushed", 1, 0.5, std::acos(2.0 / 3 + 0.5 / 3)},
        {"loop, too slow", -1, 3.5, std::acos(-0.5)},
        {"loop, fast enough", -1, 5.5, 0},
    };
    for (const Row& row : rows) {
        const double R = 2, r = 0.15, rho = R + row.side * r;
        const double at = row.side > 0 ? PI / 2 : -PI / 2;
        Lab lab;
        const int b = ball_on_arc(lab, R, r, at, row.side, std::sqrt(row.v2 * EARTH_G * rho));
        lab.start();
        double angle = 0, left = 0;
        while (lab.m->sim_time < 3 && left == 0) {
            lab.run_to(lab.m->sim_time + 0.001);
            const double step = swept(lab, b, at + angle);
            if (std::fabs(std::hypot(lab.o(b).x, lab.o(b).y) - rho) > 1e-6) left = angle + step;
            angle += step;
        }
        if (row.leave == 0) {
            EXPECT_EQ(left, 0.0) << row.what;
            EXPECT_GT(angle, 2 * PI) << row.what;
        } else {
            EXPECT_NEAR(left, row.leave, 1 * DEG) << row.what;
        }
    }
    {
        Lab lab;
        lab.arc(0, 0, 3, PI, 2 * PI);
        const int b = lab.body(-1, 0, 0, 0, 1, 0.15);
        lab.o(b).loss = 1;
        lab.start();
        lab.run_to(1);
        // Landing keeps the part of the drop's speed along the arc: 1/2.85 of it.
        const double y_landed = -std::sqrt(2.85 * 2.85 - 1), fall = -2 * EARTH_G * y_landed;
        const double landed = EARTH_G * y_landed + fall / (2 * 2.85 * 2.85);
        EXPECT_NEAR(lab.energy(b), landed, 0.01 * fall / 2);
        for (int k = 0; k < 2000; ++k) {
            lab.run_to(lab.m->sim_time + 0.001);
            ASSERT_NEAR(std::hypot(lab.o(b).x, lab.o(b).y), 2.85, 1e-9) << lab.m->sim_time;
        }
        EXPECT_NEAR(lab.energy(b), landed, 0.01 * fall / 2);
    }
}

}  // namespace
}  // namespace quorrel
