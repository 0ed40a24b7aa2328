// Track services: placing a dropped body onto straight and circular tracks,
// the arc hit test, reading removal with compaction of the list, and the live
// curves drawn into the graph pictures.
#include "engine/track_services.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <numbers>
#include <string>

#include "engine/solvers.h"
#include "model/gbk.h"

namespace quorrel {
namespace {

constexpr double pi = std::numbers::pi;

struct Fixture {
    std::unique_ptr<Model> m = make_model();
    int body(double x, double y, double radius = 1) {
        int i = object_count(*m);
        MovingObject& o = m->objects[i];
        o.kind = KIND_BODY;
        o.x0 = x;
        o.y0 = y;
        o.rest_mass = 1;
        o.radius = radius;
        return i;
    }
    void track(double x1, double y1, double x2, double y2) {
        int k = 0;
        while (m->TB.rec[k].a != 0 || m->TB.rec[k].b != 0) ++k;
        m->TB.rec[k] = {};
        m->TB.rec[k].x1 = x1, m->TB.rec[k].y1 = y1, m->TB.rec[k].x2 = x2, m->TB.rec[k].y2 = y2;
        tb_line(*m, k);
    }
    MovingObject& o(int i) { return m->objects[i]; }
};

struct Asker {
    Placement answer;
    int calls = 0;
    static Placement ask(void* self) {
        auto* a = static_cast<Asker*>(self);
        ++a->calls;
        return a->answer;
    }
};

TEST(TrackPlacement, AgainstAHorizontalTrackWithinOneAndAHalfRadii) {
    Fixture f;
    f.track(-10, 0, 10, 0);
    const int near = f.body(1, 1.4);
    const int below = f.body(2, -1.2);
    const int far = f.body(3, 1.6);
    Asker asker{Placement::Against};
    EXPECT_TRUE(s_obj_TB_CT_position(*f.m, near, Asker::ask, &asker));
    EXPECT_TRUE(s_obj_TB_CT_position(*f.m, below, Asker::ask, &asker));
    EXPECT_FALSE(s_obj_TB_CT_position(*f.m, far, Asker::ask, &asker));
    EXPECT_EQ(asker.calls, 2);  // not asked when no track is near
    EXPECT_EQ(f.o(near).y0, 1.0);
    EXPECT_EQ(f.o(near).x0, 1.0);
    EXPECT_EQ(f.o(below).y0, -1.0);
    EXPECT_EQ(f.o(far).y0, 1.6);
}

TEST(TrackPlacement, ThreadedAndCustomOnASlantedTrack) {
    Fixture f;
    f.track(-10, -10, 10, 10);
    const int threaded = f.body(0, 1);
    const int against = f.body(0, 1);
    const int custom = f.body(0, 1);
    Asker t{Placement::Threaded}, a{Placement::Against}, c{Placement::Custom};
    s_obj_TB_CT_position(*f.m, threaded, Asker::ask, &t);
    s_obj_TB_CT_position(*f.m, against, Asker::ask, &a);
    s_obj_TB_CT_position(*f.m, custom, Asker::ask, &c);
    EXPECT_NEAR(f.o(threaded).x0, 0.5, 1e-12);
    EXPECT_NEAR(f.o(threaded).y0, 0.5, 1e-12);
    // One radius from the line, on the side it was dropped.
    EXPECT_NEAR((f.o(against).y0 - f.o(against).x0) / std::sqrt(2.0), 1.0, 1e-12);
    EXPECT_EQ(f.o(custom).x0, 0.0);
    EXPECT_EQ(f.o(custom).y0, 1.0);
    // A null question counts as the custom position.
    EXPECT_TRUE(s_obj_TB_CT_position(*f.m, custom, nullptr, nullptr));
    EXPECT_EQ(f.o(custom).y0, 1.0);
}

TEST(TrackPlacement, ArcsUseTheirStoredRangeOnly) {
    Fixture f;
    f.m->CT.rec[0] = {0, 0, 0, pi, 10, 0, 0};
    f.m->CT.rec[1] = {100, 0, -pi / 4, pi / 4, 10, 0, 0};
    const int outside = f.body(0, 11);
    const int inside = f.body(0, 9.5);
    const int across_zero = f.body(100 + 11 * std::cos(-0.1), 11 * std::sin(-0.1));
    Asker a{Placement::Against};
    s_obj_TB_CT_position(*f.m, outside, Asker::ask, &a);
    s_obj_TB_CT_position(*f.m, inside, Asker::ask, &a);
    EXPECT_NEAR(f.o(outside).y0, 11.0, 1e-12);
    EXPECT_NEAR(f.o(inside).y0, 9.0, 1e-12);
    // Direction 354 degrees lies only in the range raised by 2 pi: not placed.
    EXPECT_FALSE(s_obj_TB_CT_position(*f.m, across_zero, Asker::ask, &a));

    Asker t{Placement::Threaded};
    s_obj_TB_CT_position(*f.m, inside, Asker::ask, &t);
    EXPECT_NEAR(std::hypot(f.o(inside).x0, f.o(inside).y0), 10.0, 1e-12);
}

TEST(ArcHit, WithinThreePixelsOfTheArcAndInItsRange) {
    Fixture f;
    Model& m = *f.m;
    m.settings.origin_x = 200;
    m.settings.origin_y = 150;
    m.settings.scale = 0.5;                 // the arc's radius of 20 is 40 pixels
    m.CT.rec[0] = {0, 0, 0, pi, 20, 0, 0};  // upper half
    EXPECT_TRUE(arc_hit(m, 0, 200, 110));
    EXPECT_TRUE(arc_hit(m, 0, 240, 147));
    EXPECT_TRUE(arc_hit(m, 0, 200, 107));
    EXPECT_FALSE(arc_hit(m, 0, 200, 106));
    EXPECT_FALSE(arc_hit(m, 0, 200, 190));  // lower half
    EXPECT_FALSE(arc_hit(m, 0, 200, 150));  // the centre
    EXPECT_FALSE(arc_hit(m, 25, 200, 110));
    m.settings.scale = 0;
    EXPECT_FALSE(arc_hit(m, 0, 200, 110));
}

// A reading of quantity x bound to the variable `var`, and that variable.
void bound_reading(Model& m, int slot, const char* var) {
    m.measurements[slot].type = MEASURE_QUANTITY;
    m.measurements[slot].value = slot;
    m.measurement_texts[slot][MT_VARIABLE] = var;
    m.prev_measurements[slot].value = slot;
    const int v = m.variable_count++;
    m.variable_texts[v][VT_NAME] = var;
    m.variable_texts[v][VT_VALUE] = std::to_string(slot);
}

TEST(ReadingRemoval, EmptiesBoundReadingsAndCompactsTheList) {
    Fixture f;
    Model& m = *f.m;
    bound_reading(m, 0, "a");
    bound_reading(m, 1, "b");
    bound_reading(m, 2, "c");
    bound_reading(m, 3, "b");
    ASSERT_EQ(m.variable_count, 5);  // t and the four above (b twice)
    remove_readings(m, "b");
    EXPECT_EQ(measurement_count(m), 2);
    EXPECT_EQ(m.measurement_texts[0][MT_VARIABLE], "a");
    EXPECT_EQ(m.measurement_texts[1][MT_VARIABLE], "c");
    EXPECT_EQ(m.measurements[1].value, 2.0);
    EXPECT_EQ(m.prev_measurements[1].value, 2.0);  // previous readings move along
    EXPECT_EQ(m.measurements[2].type, 0);
    EXPECT_TRUE(m.measurement_texts[2][MT_VARIABLE].empty());
    EXPECT_EQ(m.measurements[2].show_lines, 1);
    // Both variables named b are gone; the others moved up.
    EXPECT_EQ(m.variable_count, 3);
    EXPECT_EQ(find_variable(m, "b"), -1);
    EXPECT_EQ(find_variable(m, "c"), 2);
}

TEST(ReadingRemoval, NeverDeletesTheTimeVariable) {
    Fixture f;
    Model& m = *f.m;
    m.measurements[0].type = MEASURE_QUANTITY;
    m.measurement_texts[0][MT_VARIABLE] = m.variable_texts[0][VT_NAME];
    const int before = m.variable_count;
    remove_readings(m, m.variable_texts[0][VT_NAME]);
    EXPECT_EQ(measurement_count(m), 0);
    EXPECT_EQ(m.variable_count, before);
}

TEST(ReadingRemoval, CompactionClosesAGapInsideTheList) {
    Fixture f;
    Model& m = *f.m;
    bound_reading(m, 0, "a");
    bound_reading(m, 2, "c");
    compact_readings(m);
    EXPECT_EQ(measurement_count(m), 2);
    EXPECT_EQ(m.measurement_texts[1][MT_VARIABLE], "c");
}

// A test evaluator: a variable's value text as a number, "fail" fails.
bool evaluate(Model& m, const Text& expression, double& value) {
    if (expression == "fail") return false;
    const int v = find_variable(m, expression);
    if (v < 0) return false;
    value = std::stod(m.variable_texts[v][VT_VALUE]);
    return true;
}

struct GraphFixture : Fixture {
    GraphFixture() {
        FunctionGraph& g = m->graphs[0];
        g.kind = 1;
        g.x_scale = g.y_scale = 1;
        g.origin_x = g.origin_y = 120;
        g.curve_colour[0] = 0x0000FF;  // red
        m->graph_pictures[0] = QImage(GRAPH_PICTURE_SIZE, GRAPH_PICTURE_SIZE, QImage::Format_RGB32);
        m->graph_pictures[0].fill(Qt::white);
        for (const char* v : {"x", "y"}) {
            const int i = m->variable_count++;
            m->variable_texts[i][VT_NAME] = v;
            m->variable_texts[i][VT_VALUE] = "0";
        }
    }
    void set(const char* name, const char* value) { m->variable_texts[find_variable(*m, name)][VT_VALUE] = value; }
    QRgb at(int x, int y) { return m->graph_pictures[0].pixel(x, y); }
};

TEST(LiveCurves, SegmentFromThePreviousSampleInTheCurveColour) {
    GraphFixture f;
    f.m->graph_texts1[0][0] = "x";
    f.m->graph_texts2[0][0] = "y";
    f.set("x", "2");
    f.set("y", "1");
    draw_live_curves(*f.m, evaluate);
    // From (0, 0) at pixel (120, 120) to (2, 1) at pixel (180, 90).
    EXPECT_EQ(f.at(150, 105), qRgb(255, 0, 0));
    EXPECT_EQ(f.at(120, 120), qRgb(255, 0, 0));
    EXPECT_EQ(f.at(150, 130), qRgb(255, 255, 255));
    EXPECT_EQ(f.m->graphs[0].curve_x_value[0], 2.0);
    EXPECT_EQ(f.m->graphs[0].curve_y_value[0], 1.0);
}

TEST(LiveCurves, ValueZeroNameDrawsAgainstZeroAndFailuresKeepTheSample) {
    GraphFixture f;
    f.m->graph_texts1[0][0] = gbk::VALUE_ZERO;
    f.m->graph_texts2[0][0] = "y";
    f.m->graph_texts1[0][1] = gbk::VALUE_ZERO;  // both zero: not drawn at all
    f.m->graph_texts2[0][1] = gbk::VALUE_ZERO;
    f.m->graph_texts1[0][2] = "fail";
    f.m->graph_texts2[0][2] = "y";
    f.m->graphs[0].curve_x_value[2] = 7;
    f.set("y", "3");
    draw_live_curves(*f.m, evaluate);
    EXPECT_EQ(f.at(120, 60), qRgb(255, 0, 0));  // x = 0, y from 0 to 3 (pixels 120 to 30)
    EXPECT_EQ(f.at(120, 30), qRgb(255, 0, 0));
    EXPECT_EQ(f.m->graphs[0].curve_x_value[2], 7.0);
    EXPECT_EQ(f.m->graphs[0].curve_y_value[2], 0.0);

    // A zero scale or a missing picture draws nothing and does not crash.
    f.m->graphs[0].y_scale = 0;
    f.set("y", "1");
    draw_live_curves(*f.m, evaluate);
    f.m->graph_pictures[0] = QImage();
    draw_live_curves(*f.m, nullptr);
}

}  // namespace
}  // namespace quorrel
