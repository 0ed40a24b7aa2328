// Function graph pictures: frame (grid, axes, tick labels), curve segments,
// and the placing of the pictures on Image1.
#include "render/graphs.h"

#include <gtest/gtest.h>

#include <limits>

#include "render_support.h"

namespace quorrel {
namespace {
using namespace test;

constexpr Colour BACK = 0x402010;
constexpr Colour AXIS = 0xC0C0C0;
constexpr Colour GRID = 0x60483C;  // per channel 3 * (back div 4) + axis div 4

struct GraphTest : ::testing::Test {
    std::unique_ptr<Model> model = plain_model();
    Model& m = *model;
    Scene s;
    void SetUp() override {
        scene_init(s, 700, 420);
        FunctionGraph& g = m.graphs[0];
        g.kind = 1;
        g.x = 300;
        g.y = 200;
        g.x_scale = g.y_scale = 1;
        g.origin_x = g.origin_y = 120;
        g.background = BACK;
        g.colour = AXIS;
        g.curve_colour[0] = RED;
        create_graph_picture(m, 0);
    }
    const QImage& pic() { return m.graph_pictures[0]; }
    QRgb px(int x, int y) { return at(s, pic(), x, y); }
    int axis_pixels(QRect r) { return count_ink(s, pic(), r, AXIS, BACK); }
};

TEST_F(GraphTest, PictureStartsFilledWithItsBackground) {
    ASSERT_EQ(pic().size(), QSize(GRAPH_PICTURE_SIZE, GRAPH_PICTURE_SIZE));
    EXPECT_EQ(count_colour(s, pic(), pic().rect(), BACK), GRAPH_PICTURE_SIZE * GRAPH_PICTURE_SIZE);
}

TEST_F(GraphTest, FrameGridEveryThirtyPixelsAxesAndLabels) {
    m.graph_pictures[0].fill(Qt::white);
    draw_graph_frame(m, s, 0);
    EXPECT_EQ(px(15, 15), rgb(BACK));
    // Grid lines at 30, 60, 90 and 120 pixels each side of both axes (the
    // ones at 240 fall just outside the picture).
    for (int d : {30, 60, 90, 120}) {
        EXPECT_EQ(px(230, 120 - d), rgb(GRID)) << d;
        EXPECT_EQ(px(120 - d, 5), rgb(GRID)) << d;
        if (d < 120) {
            EXPECT_EQ(px(230, 120 + d), rgb(GRID)) << d;
            EXPECT_EQ(px(120 + d, 5), rgb(GRID)) << d;
        }
        EXPECT_EQ(px(230, 120 - d + 15), rgb(BACK)) << d;
    }
    EXPECT_EQ(px(230, 120), rgb(AXIS));
    EXPECT_EQ(px(120, 5), rgb(AXIS));
    EXPECT_EQ(px(120, 235), rgb(AXIS));

    // Labels below the x axis at 30, 60 and 90 pixels on both sides, and on
    // the left one more at the border (pixel 0).
    for (int x : {150, 180, 210, 90, 60, 30}) EXPECT_GT(axis_pixels(QRect(x - 2, 121, 14, 12)), 2) << x;
    EXPECT_GT(axis_pixels(QRect(0, 121, 10, 12)), 2);
    EXPECT_EQ(axis_pixels(QRect(234, 121, 6, 12)), 0);  // none at 120 px right
    // Labels right of the y axis at 30, 60 and 90 pixels above and below it,
    // none at 120 below.
    for (int y : {90, 60, 30, 150, 180, 210}) EXPECT_GT(axis_pixels(QRect(123, y - 8, 20, 12)), 2) << y;
    EXPECT_EQ(axis_pixels(QRect(122, 225, 40, 15)), 0);
}

// The labels on a large view stand out: the axis colour when it does, else
// white on a dark background and black on a light one.
TEST(GraphLabels, ColourStandsOutFromTheBackground) {
    const struct {
        Colour background, axis, label;
    } cases[] = {
        {0x800000, 0x808080, 0xFFFFFF},  // grey on navy: too faint
        {0x800000, 0x00FFFF, 0x00FFFF},  // yellow on navy: kept
        {0xFFFFFF, 0xC0C0C0, 0x000000},  // silver on white: too faint
        {0xFFFFFF, 0x000080, 0x000080},  // maroon on white: kept
        {0x808080, 0x909090, 0x000000},  // on mid grey black reads better
    };
    for (const auto& c : cases) EXPECT_EQ(readable_label_colour(c.background, c.axis), c.label) << c.axis;
}

// At twice the design scale grey labels on navy turn white and grow; an x
// axis near the bottom edge gets its labels above it. At scale 1 the labels
// keep the design's colour and place.
TEST_F(GraphTest, LabelsOnALargeViewAreLightLargerAndInside) {
    constexpr Colour NAVY = 0x800000, GREY = 0x808080, WHITE = 0xFFFFFF;
    m.graphs[0].background = NAVY;
    m.graphs[0].colour = GREY;
    m.graphs[0].origin_y = 5;  // the x axis 5 design pixels above the bottom
    for (const double scale : {1.0, 2.0}) {
        SCOPED_TRACE(scale);
        canvas_set_view(s.graph_canvas, scale, 0, 0);
        draw_graph_frame(m, s, 0);
        const int axis = static_cast<int>(235 * scale);
        const int side = pic().width();
        const int white_above = count_ink(s, pic(), QRect(0, axis - 30 * scale, side, 30 * scale), WHITE, NAVY);
        const int below =
            count_ink(s, pic(), QRect(0, axis + 2, side, side - axis - 2), scale == 1 ? GREY : WHITE, NAVY);
        if (scale == 1) {
            EXPECT_EQ(white_above, 0);
            EXPECT_GT(below, 0);  // the design's labels under the axis, cut by the edge
        } else {
            EXPECT_GT(white_above, 100);
            EXPECT_EQ(below, 0);
        }
    }
}

TEST_F(GraphTest, NonFiniteOriginDrawsOnlyTheBackgroundAndFarOffOnesFinish) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    for (double o : {std::numeric_limits<double>::quiet_NaN(), inf, -inf}) {
        m.graphs[0].origin_x = m.graphs[0].origin_y = o;
        draw_graph_frame(m, s, 0);
        EXPECT_EQ(count_not(s, pic(), pic().rect(), BACK), 0) << o;
    }
    // Where ++k no longer changes k the loops must still end.
    for (double o : {1e300, -1e300, 1e17}) {
        m.graphs[0].origin_x = m.graphs[0].origin_y = o;
        draw_graph_frame(m, s, 0);
    }
}

TEST_F(GraphTest, TransparentGraphShowsTheSceneThroughItsBackground) {
    draw_graph_frame(m, s, 0);
    s.image1.fill(to_rgb(0x00FFFF));
    m.graphs[0].transparent = 1;
    Draw_fun_graph(m, s);
    // The picture's top-left corner is at (300 - 120, 200 - 120).
    EXPECT_EQ(at(s, s.image1, 180 + 15, 80 + 15), rgb(0x00FFFF));
    EXPECT_EQ(at(s, s.image1, 180 + 30, 80 + 15), rgb(GRID));
    EXPECT_EQ(at(s, s.image1, 180 + 120, 80 + 5), rgb(AXIS));

    m.graphs[0].transparent = 0;
    Draw_fun_graph(m, s);
    EXPECT_EQ(at(s, s.image1, 180 + 15, 80 + 15), rgb(BACK));
    EXPECT_EQ(at(s, s.image1, 179, 80 + 15), rgb(0x00FFFF));
}

TEST_F(GraphTest, CurveSegmentInItsColourWithWidthTwo) {
    m.graph_pictures[0].fill(Qt::white);
    // From (0, 0) at pixel (120, 120) to (2, 1) at pixel (180, 90).
    const CurveSegment seg{0, 0, 0, 0, 2, 1};
    draw_curve_segments(m, s, &seg, 1);
    EXPECT_EQ(px(150, 105), rgb(RED));
    EXPECT_EQ(px(120, 120), rgb(RED));
    EXPECT_EQ(px(180, 90), rgb(RED));
    EXPECT_EQ(px(150, 130), qRgb(255, 255, 255));
    // The pen is two pixels wide.
    EXPECT_GE(count_colour(s, pic(), QRect(150, 100, 1, 10), RED), 2);
}

TEST_F(GraphTest, NonFiniteSegmentsAndMissingPicturesDrawNothing) {
    m.graph_pictures[0].fill(Qt::white);
    m.graphs[0].y_scale = 0;
    const CurveSegment bad[] = {
        {0, 0, 0, 0, 2, 1}, {0, 0, 1, std::numeric_limits<double>::quiet_NaN(), 2, 1}, {7, 9, 0, 0, 1, 1}};
    draw_curve_segments(m, s, bad, 3);
    EXPECT_EQ(count_not(s, pic(), pic().rect(), 0xFFFFFF), 0);
    m.graph_pictures[0] = QImage();
    draw_curve_segments(m, s, bad, 1);
    draw_graph_frame(m, s, 0);
    Draw_fun_graph(m, s);
}

}  // namespace
}  // namespace quorrel
