// Sampling of the live curves: the segments handed to the drawing and the
// cached previous samples.
#include "engine/curves.h"

#include <gtest/gtest.h>

#include <string>

#include "model/gbk.h"

namespace quorrel {
namespace {

// A test evaluator: a variable's value text as a number, "fail" fails.
bool evaluate(void*, Model& m, const Text& expression, double& value) {
    if (expression == "fail") return false;
    const int v = find_variable(m, expression);
    if (v < 0) return false;
    value = std::stod(m.variable_texts[v][VT_VALUE]);
    return true;
}

struct Curves {
    std::unique_ptr<Model> m = make_model();
    CurveSegment seg[MAX_CURVE_SEGMENTS]{};
    Curves() {
        for (const char* v : {"x", "y"}) {
            const int i = m->variable_count++;
            m->variable_texts[i][VT_NAME] = v;
            m->variable_texts[i][VT_VALUE] = "0";
        }
    }
    void graph(int gi) {
        m->graphs[gi].kind = 1;
        m->graphs[gi].x_scale = m->graphs[gi].y_scale = 1;
    }
    void curve(int gi, int c, const Text& x, const Text& y) {
        m->graph_texts1[gi][c] = x;
        m->graph_texts2[gi][c] = y;
    }
    void set(const char* name, const char* value) { m->variable_texts[find_variable(*m, name)][VT_VALUE] = value; }
    int sample(int capacity = MAX_CURVE_SEGMENTS) { return sample_live_curves(*m, evaluate, nullptr, seg, capacity); }
};

TEST(LiveCurves, SegmentFromThePreviousSampleWhichItThenReplaces) {
    Curves f;
    f.graph(0);
    f.curve(0, 0, "x", "y");
    f.set("x", "2");
    f.set("y", "1");
    ASSERT_EQ(f.sample(), 1);
    EXPECT_EQ(f.seg[0].graph, 0);
    EXPECT_EQ(f.seg[0].curve, 0);
    EXPECT_EQ(f.seg[0].x0, 0.0);
    EXPECT_EQ(f.seg[0].y0, 0.0);
    EXPECT_EQ(f.seg[0].x1, 2.0);
    EXPECT_EQ(f.seg[0].y1, 1.0);
    EXPECT_EQ(f.m->graphs[0].curve_x_value[0], 2.0);
    EXPECT_EQ(f.m->graphs[0].curve_y_value[0], 1.0);
    f.set("x", "3");
    ASSERT_EQ(f.sample(), 1);
    EXPECT_EQ(f.seg[0].x0, 2.0);
    EXPECT_EQ(f.seg[0].x1, 3.0);
}

TEST(LiveCurves, ValueZeroNameSamplesZeroAndFailuresKeepTheSample) {
    Curves f;
    f.graph(0);
    f.curve(0, 0, gbk::VALUE_ZERO, "y");
    f.curve(0, 1, gbk::VALUE_ZERO, gbk::VALUE_ZERO);  // both zero: no curve at all
    f.curve(0, 2, "fail", "y");
    f.m->graphs[0].curve_x_value[2] = 7;
    f.set("y", "3");
    ASSERT_EQ(f.sample(), 1);
    EXPECT_EQ(f.seg[0].curve, 0);
    EXPECT_EQ(f.seg[0].x1, 0.0);
    EXPECT_EQ(f.seg[0].y1, 3.0);
    EXPECT_EQ(f.m->graphs[0].curve_x_value[2], 7.0);
    EXPECT_EQ(f.m->graphs[0].curve_y_value[2], 0.0);
    // Without an evaluator only "数值0" can be sampled.
    EXPECT_EQ(sample_live_curves(*f.m, nullptr, nullptr, f.seg, MAX_CURVE_SEGMENTS), 0);
}

TEST(LiveCurves, FirstEightGraphsUpToTheFirstUnusedAndNoMoreThanTheCapacity) {
    Curves f;
    for (int gi = 0; gi < MAX_GRAPHS; ++gi) {
        f.graph(gi);
        f.curve(gi, 0, "x", "y");
    }
    f.set("y", "5");
    EXPECT_EQ(f.sample(), 8);
    EXPECT_EQ(f.m->graphs[8].curve_y_value[0], 0.0);  // the ninth graph is not sampled

    // A full output still updates every sample.
    f.set("y", "6");
    EXPECT_EQ(f.sample(3), 3);
    EXPECT_EQ(f.m->graphs[7].curve_y_value[0], 6.0);

    f.m->graphs[2].kind = 0;  // the list ends here
    EXPECT_EQ(f.sample(), 2);
}

}  // namespace
}  // namespace quorrel
