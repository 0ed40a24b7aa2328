// The step driver: automatic pauses, the range stop, trails and the
// previous-step bookkeeping.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demos/bench_scenes.h"
#include "engine/engine.h"
#include "support/engine_run.h"

namespace quorrel {
namespace {

struct Segment {
    int x0, y0, x1, y1;
    Colour colour;
    int width;
};

struct Recorder {
    std::vector<Segment> segments;
    TrailSink sink() {
        TrailSink s;
        s.context = this;
        s.segment = [](void* c, int x0, int y0, int x1, int y1, Colour colour, int width) {
            static_cast<Recorder*>(c)->segments.push_back({x0, y0, x1, y1, colour, width});
        };
        return s;
    }
};

std::unique_ptr<Model> running_model() {
    auto m = make_model();
    m->settings.scale = 0.02;
    return m;
}

void start(Model& m) {
    test::start_engine_run(m);
    m.next_pause = m.settings.pause_time;
}

TEST(Movin, PausesAfterTheStepThatReachesThePauseTime) {
    auto m = running_model();
    add_body(*m, "ball", 0, 0, 1, 0, 1, 0.1);
    m->settings.pause_time = 2;
    m->settings.steps_per_frame = 700;
    start(*m);
    int frames = 0, result = MOVIN_NORMAL;
    while ((result = movin(*m)) == MOVIN_NORMAL) ++frames;
    EXPECT_EQ(result, MOVIN_PAUSE);
    EXPECT_EQ(frames, 2);  // 1400 steps, then 600 more in the third frame
    EXPECT_NEAR(m->sim_time, 2.0, 1e-6);
    EXPECT_EQ(m->next_pause, 4.0);
    // The pausing step's bookkeeping is done.
    EXPECT_EQ(m->objects[0].prev_x, m->objects[0].x);

    while ((result = movin(*m)) == MOVIN_NORMAL) {
    }
    EXPECT_EQ(result, MOVIN_PAUSE);
    EXPECT_NEAR(m->sim_time, 4.0, 1e-6);
    EXPECT_EQ(m->next_pause, 6.0);
}

TEST(Movin, NoPauseTimeNeverPauses) {
    auto m = running_model();
    m->settings.pause_time = 0;
    m->settings.steps_per_frame = 1000;
    start(*m);
    for (int f = 0; f < 5; ++f) EXPECT_EQ(movin(*m), MOVIN_NORMAL);
    EXPECT_NEAR(m->sim_time, 5.0, 1e-9);
}

TEST(Movin, DrawsTrailsAndStopsBeyondTheRangeAfterTheSegment) {
    auto m = running_model();
    m->settings.scale = 1;
    m->settings.origin_x = 0;
    m->settings.line_width = 2;
    m->settings.steps_per_frame = 100;
    const int quiet = add_body(*m, "quiet", 0, 0, 0, 0, 1, 1);
    m->objects[quiet].show_trail = 1;
    const int fast = add_body(*m, "fast", 6399, 0, 1000, 0, 1, 1);
    m->objects[fast].show_trail = 1;
    m->objects[fast].trail_colour = 0x123456;
    start(*m);
    Recorder rec;
    EXPECT_EQ(movin(*m, rec.sink()), MOVIN_OUT_OF_RANGE);
    // After one step the body is at 6400, whose pixel 6400.5 is beyond the range.
    EXPECT_EQ(m->sim_time, 0.001);
    ASSERT_EQ(rec.segments.size(), 2u);
    const Segment& s = rec.segments[1];
    EXPECT_EQ(s.x0, 6399);
    EXPECT_EQ(s.x1, 6400);
    EXPECT_EQ(s.colour, 0x123456);
    EXPECT_EQ(s.width, 2);
}

TEST(Movin, TrailsAreOnlyDrawnWhenAsked) {
    auto m = running_model();
    m->settings.steps_per_frame = 10;
    const int b = add_body(*m, "ball", 0, 0, 1, 0, 1, 0.1);
    m->objects[b].show_trail = 0;
    start(*m);
    Recorder rec;
    EXPECT_EQ(movin(*m, rec.sink()), MOVIN_NORMAL);
    EXPECT_TRUE(rec.segments.empty());
    EXPECT_EQ(movin(*m), MOVIN_NORMAL);  // no sink at all
}

TEST(Movin, KeepsThePreviousStepAndItsAcceleration) {
    auto m = running_model();
    m->settings.steps_per_frame = 3;
    const int b = add_body(*m, "ball", 0, 0, 0, 0, 2, 0.1);
    m->objects[b].fx = 4;
    start(*m);
    movin(*m);
    const MovingObject& o = m->objects[b];
    EXPECT_EQ(o.prev_x, o.x);
    EXPECT_EQ(o.prev_vx, o.vx);
    EXPECT_NEAR(o.step_ax, 2.0, 1e-9);
    EXPECT_NEAR(o.vx, 0.006, 1e-15);
    EXPECT_NEAR(o.x, 0.5 * 2 * 0.003 * 0.003, 1e-15);
}

TEST(Movin, NonFiniteScaleCountsAsOutOfRange) {
    auto m = running_model();
    add_body(*m, "ball", 0, 0, 0, 0, 1, 0.1);
    start(*m);
    m->settings.scale = 0;
    EXPECT_EQ(movin(*m), MOVIN_OUT_OF_RANGE);
}

TEST(Movin, NegativeStepsPerFrameDoNothing) {
    auto m = running_model();
    m->settings.steps_per_frame = -5;
    start(*m);
    EXPECT_EQ(movin(*m), MOVIN_NORMAL);
    EXPECT_EQ(m->sim_time, 0.0);
}

}  // namespace
}  // namespace quorrel
