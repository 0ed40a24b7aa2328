// Each demo run headless shows the physics it is built for: a quantity of the
// run agrees with its closed form. The tolerances allow for the error of the
// 1 ms step (and, where a program samples per frame, of the frame).
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "demos/demos.h"
#include "engine/constraints.h"
#include "engine/engine.h"
#include "engine_run.h"
#include "model/vec.h"
#include "played_demo.h"
#include "support/objects.h"

namespace quorrel {
namespace {
using test::EARTH_G;
using test::EngineRun;
using test::PlayedDemo;

// The time at which f(t) crosses `level` between two samples, linearly interpolated.
double crossing(double t0, double f0, double t1, double f1, double level) {
    return t0 + (t1 - t0) * (level - f0) / (f1 - f0);
}

// A pendulum hung at the origin, run until its bob has passed the bottom
// twice (or a whole period): the time between the two passes and the largest
// departure of the bob from the pendulum's length L.
struct Swing {
    double half_period = -1, stretch = 0;
};
Swing swing(EngineRun& r, double L, double period) {
    double first = -1, second = -1, stretch = 0;
    double t0 = 0, x0 = r.o(0).x;
    while (second < 0 && r.t() < period) {
        r.step();
        const double x = r.o(0).x;
        stretch = std::max(stretch, std::fabs(std::hypot(x, r.o(0).y) - L));
        if (x0 > 0 && x <= 0) first = crossing(t0, x0, r.t(), x, 0);
        if (x0 < 0 && x >= 0) second = crossing(t0, x0, r.t(), x, 0);
        t0 = r.t();
        x0 = x;
    }
    return {second - first, stretch};
}

// Period of a pendulum of length L let go at amplitude a: 2π·√(L/g)/agm(1, cos(a/2)).
double pendulum_period(double L, double amplitude) {
    double x = 1, y = std::cos(amplitude / 2);
    for (int i = 0; i < 8; ++i) {
        const double ax = (x + y) / 2;
        y = std::sqrt(x * y);
        x = ax;
    }
    return 2 * PI * std::sqrt(L / EARTH_G) / x;
}

// Both balls fall from 80 m: with a constant force the step is exact, so y
// follows 80 − g·t²/2 to rounding; the program pauses on the last frame
// (10 ms) before √(2h/g), both balls still above the ground, and the linked
// variable carries 4 digits of y.
TEST(MotionDemos, FreeFallPausesJustBeforeRootOfTwoHOverG) {
    PlayedDemo r("free_fall.exp");
    r.play(1000);  // until its program pauses it
    const Model& m = r.m();
    const double landing = std::sqrt(2 * 80 / EARTH_G), t = m.sim_time;
    EXPECT_LT(t, landing);
    EXPECT_GT(t, landing - 0.0101);
    EXPECT_NEAR(std::stod(r.variable("tland")), t, 1e-6);  // programs compute in single precision
    EXPECT_NEAR(m.objects[0].y, 80 - EARTH_G * t * t / 2, 1e-9);
    EXPECT_NEAR(m.objects[1].y, m.objects[0].y, 1e-12);  // the sideways throw lands with it
    EXPECT_GE(m.objects[0].y, 0.0);
    EXPECT_NEAR(std::stod(r.variable("h")), m.objects[0].y, 5e-4 * std::fabs(m.objects[0].y) + 1e-9);
    EXPECT_GE(std::stod(r.variable("h")), 0.0);
}

// 40 m/s at 60°: the program keeps the greatest height of the per-frame
// readings, which miss the top by at most half a frame (g·0.005²/2 = 0.1 mm),
// and pauses on the last frame (10 ms) before the flight time 2·v·sin θ/g,
// the ball still above the ground.
TEST(MotionDemos, ThrownBallRisesToItsClosedFormHeight) {
    PlayedDemo r("thrown_ball.exp");
    r.play(1000);
    const double vy = 40 * std::sin(60 * DEG);
    EXPECT_NEAR(std::stod(r.variable("hmax")), vy * vy / (2 * EARTH_G), 0.01);
    EXPECT_LT(r.m().sim_time, 2 * vy / EARTH_G);
    EXPECT_GT(r.m().sim_time, 2 * vy / EARTH_G - 0.0101);
    EXPECT_GE(std::stod(r.variable("h")), 0.0);
    EXPECT_EQ(r.variable("landed"), "1");
}

// Separation 2 + cos(ωt) with ω = √(k/μ): it passes the natural length going
// in at T/4 and going out at 3T/4. Both ends feel the spring at the same
// state of the step, so the forces are equal and opposite and the centre of
// mass stays where it was.
TEST(MotionDemos, TwoBodySpringSwingsWithTheReducedMass) {
    EngineRun r("two_body_spring.exp");
    const double period = 2 * PI * std::sqrt(0.75 / 12.0);
    double in = -1, out = -1, drift = 0;
    double t0 = 0, d0 = r.o(1).x - r.o(0).x;
    while (r.t() < 1.2 * period && out < 0) {
        r.step();
        const double d = r.o(1).x - r.o(0).x;
        if (d0 > 2 && d <= 2 && in < 0) in = crossing(t0, d0, r.t(), d, 2);
        if (d0 < 2 && d >= 2 && in > 0) out = crossing(t0, d0, r.t(), d, 2);
        drift = std::max(drift, std::fabs((r.o(0).mass * r.o(0).x + r.o(1).mass * r.o(1).x) / 4));
        t0 = r.t();
        d0 = d;
    }
    EXPECT_NEAR(in, period / 4, period * 1e-3);
    EXPECT_NEAR(2 * (out - in), period, period * 1e-3);
    EXPECT_LT(drift, 1e-12);
}

// The rope stays at its length (it is put back at 1.00001·L when stretched)
// and the half period between two passes through the bottom is that of a
// pendulum at 20°.
TEST(MotionDemos, RopePendulumKeepsItsLengthAndPeriod) {
    EngineRun r("rope_pendulum.exp");
    const double L = 2.45, period = pendulum_period(L, 20 * DEG);
    const Swing w = swing(r, L, period);
    EXPECT_NEAR(2 * w.half_period, period, period * 2e-3);
    EXPECT_LT(w.stretch, 1e-4 * L);
}

// The inner planet keeps its radius and returns to its start direction after
// 2π·√(r³/(G·M)); the step's error over one orbit is far below these bounds.
TEST(MotionDemos, PlanetOnACircleKeepsItsRadiusAndKeplerPeriod) {
    EngineRun r("planet_orbit.exp");
    const double r0 = 3.0, GM = r.m->settings.G * r.m->M.rec[0].mass;
    const double period = 2 * PI * std::sqrt(r0 * r0 * r0 / GM);
    double back = -1, spread = 0;
    double t0 = 0, y0 = 0;
    while (back < 0 && r.t() < 1.2 * period) {
        r.step();
        const double y = r.o(0).y;
        spread = std::max(spread, std::fabs(std::hypot(r.o(0).x, y) - r0));
        if (y0 < 0 && y >= 0 && r.o(0).x > 0) back = crossing(t0, y0, r.t(), y, 0);
        t0 = r.t();
        y0 = y;
    }
    EXPECT_NEAR(back, period, period * 1e-3);
    EXPECT_LT(spread, 1e-3 * r0);
}

// 5 m into the regions: the linear law has taken 0.4·5 m/s off, the
// quadratic one has left 4·e^(-5/8). The region acts from the first step
// inside, at most 4 mm late, which moves the speeds by about 2 mm/s.
TEST(MotionDemos, ResistanceRegionsSlowByTheirLaws) {
    EngineRun r("resistance_region.exp");
    double v[2] = {-1, -1}, px[2] = {r.o(0).x, r.o(1).x}, pv[2] = {4, 4};
    while ((v[0] < 0 || v[1] < 0) && r.t() < 10) {
        r.step();
        for (int i = 0; i < 2; ++i) {
            const double x = r.o(i).x, s = std::hypot(r.o(i).vx, r.o(i).vy);
            if (px[i] < 3 && x >= 3) v[i] = pv[i] + (s - pv[i]) * (3 - px[i]) / (x - px[i]);
            px[i] = x;
            pv[i] = s;
        }
    }
    EXPECT_NEAR(v[0], 4 - 0.4 * 5, 0.01);
    EXPECT_NEAR(v[1], 4 * std::exp(-5.0 / 8), 0.01);
    EXPECT_NEAR(r.o(0).vy, 0, 1e-9);  // the floor holds it
}

// On the 45° slope the ball speeds up at g·sin 45° (the explicit update on a
// track loses only 3e-5 of the energy there). Both balls lie on the rail, so
// their centres run one radius above the lines and on the circle of radius
// R - r: it meets the resting ball when their centres are 2r apart on that
// circle, at the speed √(2·g·Δh) of the height it has lost by then. Both stay
// on the circle but for the step of each collision, which sets the struck ball
// along the line of centres, a chord, up to 0.5 mm off it.
TEST(MotionDemos, CircularTrackBallReachesTheBottomAtRootTwoGH) {
    EngineRun r("circular_track.exp");
    const double rad = 0.15, rho = 3 - rad, start_y = r.o(0).y;
    const double contact = 2 * std::asin(rad / rho);  // angle between the centres
    const double drop = start_y - (-rho * std::cos(contact));
    double slope_speed = -1, last = 0;
    while (r.o(1).vx == 0 && r.t() < 3) {
        last = std::hypot(r.o(0).vx, r.o(0).vy);
        r.step();
        if (slope_speed < 0 && r.t() >= 0.2 - 1e-9) slope_speed = std::hypot(r.o(0).vx, r.o(0).vy);
    }
    EXPECT_NEAR(slope_speed, EARTH_G * std::sin(45 * DEG) * 0.2, 0.01);
    EXPECT_NEAR(last, std::sqrt(2 * EARTH_G * drop), 0.002 * std::sqrt(2 * EARTH_G * drop));
    double worst = 0;
    while (r.t() < 20) {
        r.step();
        for (int i = 0; i < 2; ++i) {
            const double at = std::atan2(r.o(i).y, r.o(i).x);  // the arc runs from -135° to -45°
            if (at > -134 * DEG && at < -46 * DEG)
                worst = std::max(worst, std::fabs(std::hypot(r.o(i).x, r.o(i).y) - rho));
        }
    }
    EXPECT_LT(worst, 1e-3);
}

// The rod holds the bob at exactly 3 m, and it swings with the period of a
// pendulum at 60°.
TEST(MotionDemos, RodPendulumKeepsItsLengthAndPeriod) {
    EngineRun r("rod_pendulum.exp");
    const double L = 3, period = pendulum_period(L, 60 * DEG);
    const Swing w = swing(r, L, period);
    EXPECT_NEAR(2 * w.half_period, period, period * 2e-3);
    EXPECT_LT(w.stretch, 1e-9);
}

// Elastic collisions between free balls keep the momentum and the kinetic
// energy of the cue ball (1 kg at 5 m/s) until the first ball nears a cushion.
TEST(MotionDemos, CollidingBodiesKeepMomentumAndEnergy) {
    EngineRun r("colliding_bodies.exp");
    while (r.t() < 1.9) r.step();
    double px = 0, py = 0, energy = 0, fastest = 0;
    for (int i = 0; i < 4; ++i) {
        const MovingObject& b = r.o(i);
        px += b.mass * b.vx;
        py += b.mass * b.vy;
        energy += b.mass * (b.vx * b.vx + b.vy * b.vy) / 2;
        EXPECT_LT(std::fabs(b.x), 6.5 - b.radius);
        EXPECT_LT(std::fabs(b.y), 3.5 - b.radius);
        if (i > 0) fastest = std::max(fastest, std::hypot(b.vx, b.vy));
    }
    EXPECT_GT(fastest, 1.0);  // the break has happened
    EXPECT_NEAR(px, 5, 1e-9);
    EXPECT_NEAR(py, 0, 1e-9);
    EXPECT_NEAR(energy, 12.5, 1e-9);
}

}  // namespace
}  // namespace quorrel
