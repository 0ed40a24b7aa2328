// Tracks: the line of a straight track, the contact tests, bodies sliding and
// resting on tracks through whole kernel steps, leaving a track, bounces off a
// second track, arcs across direction 0, and degenerate records.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "engine/constraints.h"
#include "engine/engine.h"
#include "engine/solvers.h"
#include "support/objects.h"

namespace quorrel {
namespace {
using test::EARTH_G;
using test::place_object;

struct TrackFixture {
    std::unique_ptr<Model> m = make_model();
    TrackFixture() {
        m->step.step_dt = 0.001;
        m->settings.scale = 0.05;
    }
    int body(double x, double y, double vx, double vy, double mass = 1, double radius = 0.2) {
        return place_object(*m, KIND_BODY, x, y, vx, vy, mass, radius);
    }
    int track(double x1, double y1, double x2, double y2, double mu_k = 0, double mu_s = 0) {
        int k = 0;
        while (m->TB.rec[k].a != 0 || m->TB.rec[k].b != 0) ++k;
        StraightTrack& t = m->TB.rec[k];
        t = {};
        t.x1 = x1, t.y1 = y1, t.x2 = x2, t.y2 = y2;
        t.kinetic_mu = mu_k;
        t.static_mu = mu_s;
        tb_line(*m, k);
        return k;
    }
    int arc(double cx, double cy, double r, double start, double end) {
        int k = 0;
        while (m->CT.rec[k].radius != 0) ++k;
        m->CT.rec[k] = {cx, cy, start, end, r, 0, 0};
        return k;
    }
    void run(int steps) {
        m->settings.use_gravity = 1;
        m->settings.steps_per_frame = steps;
        set_presence(*m);
        prepare_initial_state(*m);
        m->running = true;
        ASSERT_EQ(movin(*m), MOVIN_NORMAL);
    }
    MovingObject& o(int i) { return m->objects[i]; }
};

TEST(TrackLine, PassesThroughBothEndsAndClassifiesItsDirection) {
    TrackFixture f;
    const int k = f.track(1, 2, 4, 6);
    const StraightTrack& t = f.m->TB.rec[k];
    EXPECT_EQ(t.a, 1.0);
    EXPECT_NEAR(t.a * 1 + t.b * 2 + t.c, 0.0, 1e-12);
    EXPECT_NEAR(t.a * 4 + t.b * 6 + t.c, 0.0, 1e-12);
    EXPECT_NEAR(t.norm, std::hypot(t.a, t.b), 1e-12);
    EXPECT_NEAR(t.direction, std::atan2(4.0, 3.0), 1e-12);
    EXPECT_EQ(line_kind(t.direction), LineKind::General);
    EXPECT_EQ(line_kind(f.m->TB.rec[f.track(-5, 1, 5, 1)].direction), LineKind::Horizontal);
    EXPECT_EQ(line_kind(f.m->TB.rec[f.track(2, -5, 2, 5)].direction), LineKind::Vertical);
    EXPECT_EQ(line_kind(f.m->TB.rec[f.track(2, 5, 2, -5)].direction), LineKind::Vertical);
    // Very long nearly horizontal tracks keep a finite norm.
    const int flat = f.track(-1e200, 0, 1e200, 0);
    EXPECT_TRUE(std::isfinite(f.m->TB.rec[flat].norm));
}

TEST(TrackContact, CandidatesWithinTheRadiusOnly) {
    TrackFixture f;
    f.track(0, 0, 10, 0);
    f.m->present[T_TB] = 1;
    const int on = f.body(5, 0.19, 0, 0);
    const int above = f.body(5, 0.21, 0, 0);
    const int beyond = f.body(10.3, 0.1, 0, 0);
    TB_contact(*f.m, on);
    EXPECT_EQ(f.m->step.on_tb_track, 1);
    EXPECT_EQ(f.m->step.tb_track_index, 0);
    TB_contact(*f.m, above);
    EXPECT_EQ(f.m->step.on_tb_track, 0);
    // The side-effect-free test agrees and leaves the scratch alone.
    EXPECT_TRUE(is_on_TB(*f.m, on));
    EXPECT_FALSE(is_on_TB(*f.m, beyond));
    EXPECT_EQ(f.m->step.on_tb_track, 0);
}

TEST(StraightTrack, FrictionlessSlopeAcceleratesAtGSinTheta) {
    TrackFixture f;
    const double c = std::cos(PI / 6), s = std::sin(PI / 6);
    // A 30-degree track through the origin; the body rests on it, r above it.
    f.track(-20 * c, -20 * s, 20 * c, 20 * s);
    const int b = f.body(-0.2 * s, 0.2 * c, 0, 0);
    f.run(1000);
    const double v = f.o(b).vx * c + f.o(b).vy * s;
    EXPECT_NEAR(v, -EARTH_G * s * 1.0, 1e-6);
    EXPECT_NEAR(f.o(b).vy / f.o(b).vx, std::tan(PI / 6), 1e-9);  // along the track
    // Still r from the line.
    const StraightTrack& t = f.m->TB.rec[0];
    EXPECT_NEAR((t.a * f.o(b).x + t.b * f.o(b).y + t.c) / t.norm, -0.2, 1e-9);
}

TEST(StraightTrack, FrictionSlowsTheSlideAndHoldsAtRest) {
    const double c = std::cos(PI / 6), s = std::sin(PI / 6);
    TrackFixture slide;
    slide.track(-20 * c, -20 * s, 20 * c, 20 * s, 0.2, 0.2);
    const int b = slide.body(-0.2 * s, 0.2 * c, -c * 1e-3, -s * 1e-3);
    slide.run(1000);
    EXPECT_NEAR(std::hypot(slide.o(b).vx, slide.o(b).vy), EARTH_G * (s - 0.2 * c) + 1e-3, 1e-4);

    TrackFixture hold;
    hold.track(-20 * c, -20 * s, 20 * c, 20 * s, 0.5, 0.7);  // tan 30 < 0.7
    const int h = hold.body(-0.2 * s, 0.2 * c, 0, 0);
    hold.run(500);
    EXPECT_LT(std::hypot(hold.o(h).vx, hold.o(h).vy), 1e-9);
}

TEST(StraightTrack, RestingOnAHorizontalTrackKeepsVyZero) {
    TrackFixture f;
    f.track(-10, 0, 10, 0);
    const int b = f.body(0, 0.2, 1, 0, 2.0);
    f.run(300);
    EXPECT_EQ(f.o(b).vy, 0.0);
    EXPECT_EQ(f.o(b).y, 0.2);
    EXPECT_NEAR(f.o(b).vx, 1.0, 1e-12);
    EXPECT_NEAR(f.m->forces[b].tb[0].y, 2.0 * EARTH_G, 1e-9);  // the support equals the weight
}

TEST(StraightTrack, BodyMovingUpAndClearOfAHorizontalTrackLeavesIt) {
    TrackFixture f;
    f.track(-10, 0, 10, 0);
    const int b = f.body(0, 0.199, 0, 5);
    f.o(b).y = f.o(b).y0 = f.o(b).prev_y = 0.2;
    f.run(100);
    EXPECT_GT(f.o(b).y, 0.5);
    EXPECT_GT(f.o(b).vy, 0.0);
}

TEST(StraightTrack, BounceOffASecondTrackReversesTheNormalVelocity) {
    for (double loss : {0.0, 1.0}) {
        TrackFixture f;
        Model& m = *f.m;
        f.track(-10, 0, 10, 0);  // the floor the body is not on
        const int b = f.body(0, 0.25, 3, -4);
        m.present[T_TB] = 1;
        f.o(b).loss = loss;
        m.step.on_tb_track = 0;
        // The position update brought it within reach of the floor.
        f.o(b).y = 0.196;
        TB_bounce(m, b);
        EXPECT_NEAR(f.o(b).vy, loss == 0 ? 4.0 : 0.0, 1e-12);
        EXPECT_NEAR(f.o(b).y, 0.196 + 4 * 0.001, 1e-12);
        EXPECT_EQ(f.o(b).vx, 3.0);

        // Moving away already: left to leave.
        f.o(b).y = 0.19;
        f.o(b).vy = 1;
        TB_bounce(m, b);
        EXPECT_EQ(f.o(b).vy, 1.0);
    }
}

// A body meeting a second track almost along it (its speed across the track at
// most 2 % of its speed along it) lands on it, whatever its loss; a steeper one
// bounces.
TEST(StraightTrack, BodyGrazingASecondTrackLandsOnIt) {
    for (const double vy : {-0.05, -0.1}) {
        TrackFixture f;
        Model& m = *f.m;
        f.track(-10, 0, 10, 0);
        const int b = f.body(0, 0.196, 3, vy);
        m.present[T_TB] = 1;
        TB_bounce(m, b);
        const bool grazes = vy > -0.06;
        EXPECT_EQ(f.o(b).vy, grazes ? 0.0 : -vy) << vy;
        EXPECT_NEAR(f.o(b).y, grazes ? 0.2 : 0.196 - vy * 0.001, 1e-12) << vy;
        EXPECT_EQ(f.o(b).vx, 3.0);
    }
}

TEST(StraightTrack, BounceOffASlantedTrackKeepsTheTangentialPart) {
    TrackFixture f;
    Model& m = *f.m;
    f.track(-10, -10, 10, 10);  // 45 degrees
    m.present[T_TB] = 1;
    const double s = std::sqrt(0.5);
    const int b = f.body(-0.19 * s, 0.19 * s, 1 * s + 2 * s, 1 * s - 2 * s);  // tangential 1, into the line 2
    TB_bounce(m, b);
    const MovingObject& o = f.o(b);
    EXPECT_NEAR((o.vx + o.vy) * s, 1.0, 1e-12);
    EXPECT_NEAR((o.vy - o.vx) * s, 2.0, 1e-12);
}

TEST(ArcTrack, ArcAcrossDirectionZeroHoldsABodyAt355Degrees) {
    TrackFixture f;
    Model& m = *f.m;
    f.arc(0, 0, 5, -10 * PI / 180, 10 * PI / 180);
    m.present[T_CT] = 1;
    const double a = 355 * PI / 180;
    const int b = f.body(5 * std::cos(a), 5 * std::sin(a), 0, 0);
    CT_contact(m, b);
    EXPECT_EQ(m.step.on_ct_track, 1);
    EXPECT_TRUE(is_on_CT(m, b));
    f.o(b).y = -f.o(b).y + 0.0;
    const int outside = f.body(5 * std::cos(15 * PI / 180), 5 * std::sin(15 * PI / 180), 0, 0);
    EXPECT_FALSE(is_on_CT(m, outside));
}

TEST(ArcTrack, BodyInsideALoopFollowsTheCircle) {
    TrackFixture f;
    // A full circle of radius 3; the body runs along its inside at the bottom.
    f.arc(0, 3, 3, 0, 2 * PI);
    const int b = f.body(0, 0.2, 6, 0);
    f.run(400);
    const MovingObject& o = f.o(b);
    EXPECT_NEAR(std::hypot(o.x, o.y - 3), 2.8, 1e-6);  // kept at the contact distance
    EXPECT_GT(o.y, 0.5);                               // it climbed the loop
    // Energy within the scheme's error.
    const double e0 = 0.5 * 36, e1 = 0.5 * (o.vx * o.vx + o.vy * o.vy) + EARTH_G * (o.y - 0.2);
    EXPECT_NEAR(e1, e0, 0.05 * e0);
    // The support points towards the centre and exceeds the weight.
    const XY support = f.m->forces[b].ct[0];
    EXPECT_LT((support.x * o.x + support.y * (o.y - 3)), 0.0);
}

TEST(ArcTrack, BounceOffAnArcTopAppliesTheLoss) {
    TrackFixture f;
    Model& m = *f.m;
    f.arc(0, 0, 2, 0, PI);
    m.present[T_CT] = 1;
    const int b = f.body(0, 2.19, 0, -3);
    f.o(b).loss = 0.5;
    m.step.on_ct_track = 0;
    CT_bounce(m, b);
    EXPECT_NEAR(f.o(b).vy, 1.5, 1e-12);
}

TEST(TrackGuards, DegenerateRecordsHoldNothingAndStayFinite) {
    TrackFixture f;
    Model& m = *f.m;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    f.track(1, 1, 1, 1);  // no length
    f.arc(0, 0, -2, 0, PI);
    f.arc(nan, 0, 2, 0, PI);
    m.present[T_TB] = m.present[T_CT] = 1;
    const int b = f.body(1, 1, 1, 1);
    const int c = f.body(0, 2, 1, 1);
    for (int i : {b, c}) {
        TB_contact(m, i);
        CT_contact(m, i);
        EXPECT_EQ(m.step.on_tb_track, 0);
        EXPECT_EQ(m.step.on_ct_track, 0);
        TB_bounce(m, i);
        CT_bounce(m, i);
    }
    // A stale or damaged track index is ignored.
    m.step.on_tb_track = 1;
    m.step.tb_track_index = 57;
    m.step.on_ct_track = 1;
    m.step.ct_track_index = -2;
    TB_force(m, b);
    TB_velocity(m, b);
    TB_position(m, b);
    CT_force(m, b);
    CT_velocity(m, b);
    CT_position(m, b);
    EXPECT_EQ(f.o(b).vx, 1.0);
    EXPECT_EQ(f.o(b).x, 1.0);
}

// A ball of radius 0.15 let go at 195° inside a bowl of radius 3 (the lower
// half circle) rolls to and fro on it.
TEST(CircularTrack, BallStaysInTheBowlAndKeepsItsEnergy) {
    auto m = make_model();
    m->settings.use_gravity = 1;
    m->settings.g = EARTH_G;
    m->settings.time_step = 0.001;
    const double R = 3.0, r = 0.15, start = 195 * PI / 180;
    place_object(*m, KIND_BODY, (R - r) * std::cos(start), (R - r) * std::sin(start), 0, 0, 1.0, r);
    m->CT.rec[0] = {0, 0, PI, 2 * PI, R, 0, 0};
    set_presence(*m);
    prepare_initial_state(*m);
    m->running = true;
    const MovingObject& o = m->objects[0];
    const double h0 = o.y;
    m->settings.steps_per_frame = 100;
    for (int frame = 0; frame < 80; ++frame) {
        ASSERT_EQ(movin(*m), MOVIN_NORMAL);
        ASSERT_NEAR(std::hypot(o.x, o.y), 3.0 - 0.15, 1e-6) << "frame " << frame;
    }
    const double e = 0.5 * (o.vx * o.vx + o.vy * o.vy) + EARTH_G * (o.y - h0);
    EXPECT_NEAR(e, 0.0, 0.5);  // of about 22 J per kg at the bottom
}

}  // namespace
}  // namespace quorrel
