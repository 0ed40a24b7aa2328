#include "render/static_objects.h"

#include <gtest/gtest.h>

#include <QDir>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "render/connectors.h"
#include "render/frame.h"
#include "render_support.h"

namespace quorrel {
namespace {
using namespace test;

constexpr Colour Z_OUTLINE = 0x647878, Z_DOT = 0x646464;
constexpr Colour EA_LINE = 0xFAB4B4, EA_ARROW = 0x78FA78;
constexpr Colour BA_OUTLINE = 0x78EBB4, BA_SYMBOL = 0xB4B4B4;
constexpr Colour TRACK_WIDE = 0x64C8C8, TRACK_NARROW = 0x96FAFA;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Origin at the top-left corner and one world unit per pixel: a pixel (x, y)
// is the world point (x, -y).
struct StaticTest : ::testing::Test {
    std::unique_ptr<Model> model = plain_model();
    Model& m = *model;
    Scene s;
    void SetUp() override { unit_scene(m, s); }
    int count(Colour c, QRect r) { return count_colour(s, s.image1, r, c); }
    QRgb px(int x, int y) { return at(s, s.image1, x, y); }
    void redraw(void (*draw)(const Model&, Scene&)) {
        fill_scene_background(m, s);
        draw(m, s);
    }
};

// Pixel box (left, top)-(right, bottom) as region corners.
template <class R>
void box(R& r, double left, double top, double right, double bottom) {
    r.x1 = left;
    r.y2 = -top;
    r.x2 = right;
    r.y1 = -bottom;
}

TEST_F(StaticTest, GravitySignOnlyWhenGravityIsOn) {
    m.settings.use_gravity = 0;
    Draw_G(m, s);
    EXPECT_EQ(count_not(s, s.image1, QRect(0, 0, 60, 100), 0), 0);
    m.settings.use_gravity = 1;
    Draw_G(m, s);
    EXPECT_EQ(px(30, 60), rgb(0xC8C8C8));
    EXPECT_EQ(px(27, 73), rgb(0xC8C8C8));  // left barb
    EXPECT_GT(count_ink(s, s.image1, QRect(8, 48, 22, 26), 0x64FAFA), 10);
}

TEST_F(StaticTest, ZRegionOutlineAndRepeatableDots) {
    m.Z.rec[0].coefficient = 1.0;
    box(m.Z.rec[0], 100, 100, 300, 200);  // 20000 px²: 20 dots
    m.Z.rec[1].coefficient = 1.0;
    box(m.Z.rec[1], 320, 10, 350, 40);  // 900 px²: none
    m.Z.rec[3].coefficient = 1.0;       // after an unused slot: not drawn
    box(m.Z.rec[3], 10, 250, 390, 310);
    Draw_Z(m, s);
    EXPECT_EQ(px(100, 150), rgb(Z_OUTLINE));
    EXPECT_EQ(px(299, 199), rgb(Z_OUTLINE));
    const int dots = count(Z_DOT, QRect(100, 100, 200, 100));
    EXPECT_GE(dots, 17);
    EXPECT_LE(dots, 20);
    EXPECT_EQ(px(320, 10), rgb(Z_OUTLINE));
    EXPECT_EQ(count(Z_DOT, QRect(320, 10, 30, 30)), 0);
    EXPECT_EQ(count_not(s, s.image1, QRect(0, 245, 400, 75), 0), 0);

    scene_end(s);
    const QImage first = s.image1.copy();
    redraw(Draw_Z);
    scene_end(s);
    EXPECT_EQ(s.image1, first);
}

TEST_F(StaticTest, StraightHatchingAndReversedArrows) {
    ElectricField& f = m.EA.rec[0];
    box(f, 100, 100, 300, 260);
    f.strength = 1.0;
    f.direction = 0.0;
    Draw_EA(m, s);
    EXPECT_EQ(px(200, 120), rgb(EA_LINE));
    EXPECT_EQ(px(200, 240), rgb(EA_LINE));
    EXPECT_EQ(count(EA_LINE, QRect(101, 101, 198, 18)), 0);  // none on or near the border
    EXPECT_GT(count(EA_ARROW, QRect(280, 110, 20, 140)), 0);
    EXPECT_EQ(count(EA_ARROW, QRect(100, 100, 100, 160)), 0);

    f.strength = -1.0;  // the same θ, arrows to the left
    redraw(Draw_EA);
    EXPECT_GT(count(EA_ARROW, QRect(100, 110, 20, 140)), 0);
    EXPECT_EQ(count(EA_ARROW, QRect(200, 100, 101, 160)), 0);

    f.strength = 2.0;
    f.direction = PI / 2;  // up: vertical lines, heads at the top
    redraw(Draw_EA);
    EXPECT_EQ(px(120, 180), rgb(EA_LINE));
    EXPECT_EQ(px(280, 180), rgb(EA_LINE));
    EXPECT_GT(count(EA_ARROW, QRect(100, 100, 200, 20)), 0);
    EXPECT_EQ(count(EA_ARROW, QRect(100, 130, 200, 131)), 0);

    f.strength = -2.0;  // down
    redraw(Draw_EA);
    EXPECT_GT(count(EA_ARROW, QRect(100, 240, 200, 20)), 0);
    EXPECT_EQ(count(EA_ARROW, QRect(100, 100, 200, 130)), 0);
}

TEST_F(StaticTest, ObliqueHatchingPointsDownstream) {
    ElectricField& f = m.EA.rec[0];
    box(f, 100, 100, 300, 260);
    f.strength = 1.0;
    f.direction = 30.0 * DEG;  // up and to the right: heads on the top or right edge
    Draw_EA(m, s);
    const QRect lower_left(100, 160, 140, 100), upper_right(160, 100, 141, 100);
    EXPECT_GT(count(EA_LINE, lower_left), 100);
    EXPECT_EQ(count(EA_ARROW, lower_left), 0);
    EXPECT_GT(count(EA_ARROW, QRect(100, 100, 200, 14)), 20);
    EXPECT_GT(count(EA_ARROW, QRect(286, 100, 14, 160)), 5);

    f.strength = -1.0;  // reversed: heads on the left or bottom edge
    redraw(Draw_EA);
    EXPECT_EQ(count(EA_ARROW, upper_right), 0);
    EXPECT_GT(count(EA_ARROW, QRect(100, 246, 200, 14)), 20);

    f.strength = 1.0;
    f.direction = 120.0 * DEG;  // up and to the left: lines start from the right corner
    redraw(Draw_EA);
    EXPECT_GT(count(EA_LINE, QRect(180, 160, 120, 100)), 100);
    EXPECT_EQ(count(EA_ARROW, QRect(180, 160, 120, 100)), 0);
}

TEST_F(StaticTest, MagneticDotsCrossesAndCircle) {
    MagneticField& b = m.BA.rec[0];
    box(b, 100, 100, 300, 200);
    b.shape = 1.0;
    b.induction = 1.0;
    Draw_BA(m, s);
    EXPECT_EQ(px(200, 100), rgb(BA_OUTLINE));
    const int dot = count(BA_SYMBOL, QRect(102, 107, 6, 6));  // lattice point (105, 110)
    EXPECT_GT(dot, 0);
    EXPECT_LE(dot, 6);
    EXPECT_NE(px(108, 107), rgb(BA_SYMBOL));
    EXPECT_EQ(count(BA_SYMBOL, QRect(290, 101, 9, 98)), 0);  // the lattice stops 10 px short

    b.induction = -1.0;  // crosses
    redraw(Draw_BA);
    EXPECT_EQ(px(106, 109), rgb(BA_SYMBOL));  // (105, 110)-(112, 103)
    EXPECT_EQ(px(106, 105), rgb(BA_SYMBOL));  // (105, 104)-(112, 111)
    EXPECT_GT(count(BA_SYMBOL, QRect(102, 100, 12, 14)), dot);

    box(b, 100, 100, 300, 300);
    b.shape = 5.0;
    b.induction = 1.0;  // dots inside a circle
    redraw(Draw_BA);
    EXPECT_EQ(px(200, 100), rgb(BA_OUTLINE));
    EXPECT_NE(px(101, 101), rgb(BA_OUTLINE));
    EXPECT_GT(count(BA_SYMBOL, QRect(197, 197, 6, 6)), 0);
    EXPECT_EQ(count(BA_SYMBOL, QRect(110, 110, 20, 20)), 0);  // box corner outside the circle
}

TEST_F(StaticTest, TracksTwoStrokesAndPenWidthBack) {
    m.settings.line_width = 1;
    m.TB.rec[0].a = 1.0;
    m.TB.rec[0].x1 = 100;
    m.TB.rec[0].y1 = -200;
    m.TB.rec[0].x2 = 300;
    m.TB.rec[0].y2 = -200;
    Draw_TB(m, s);
    EXPECT_EQ(px(200, 200), rgb(TRACK_NARROW));
    EXPECT_GT(count(TRACK_WIDE, QRect(150, 197, 100, 7)), 50);
    EXPECT_EQ(s.canvas.pen_width, 1);

    // A quarter arc, counter-clockwise from east to north, around (200, 150),
    // after an empty slot; empty slots leave no mark at the origin.
    m.settings.line_width = 2;
    m.CT.rec[1] = ArcTrack{200, -150, 0.0, PI / 2, 50, 0, 0};
    fill_scene_background(m, s);
    Draw_CT(m, s);
    EXPECT_EQ(s.canvas.pen_width, 2);
    EXPECT_GT(count(TRACK_WIDE, QRect(200, 90, 70, 60)) + count(TRACK_NARROW, QRect(200, 90, 70, 60)), 50);
    EXPECT_EQ(count_not(s, s.image1, QRect(130, 152, 140, 80), 0), 0);  // lower half
    EXPECT_EQ(count_not(s, s.image1, QRect(130, 80, 68, 70), 0), 0);    // upper left quarter
    EXPECT_EQ(count_not(s, s.image1, QRect(0, 0, 4, 4), 0), 0);
}

// Damaged or extreme records draw at most clipped figures and finish quickly.
TEST_F(StaticTest, DegenerateAndHugeValuesAreHarmless) {
    const double big = 1e300, inf = std::numeric_limits<double>::infinity();
    m.settings.use_gravity = 1;
    m.Z.rec[0] = ZRegion{-big, -big, big, big, 1, 0, 0};
    m.Z.rec[1] = ZRegion{NaN, 0, 5, 5, 1, 0, 0};
    m.Z.rec[2] = ZRegion{-1e7, -1e7, 1e7, 1e7, 1, 0, 0};
    m.M.rec[0] = FixedMass{NaN, inf, 1};
    m.E.rec[0] = FixedCharge{big, -big, NaN};
    m.EA.rec[0] = ElectricField{-1e8, -1e8, 1e8, 1e8, 0.3, 1};
    m.EA.rec[1] = ElectricField{-1e8, -1e8, 1e8, 1e8, 2 * PI, -1};
    m.EA.rec[2] = ElectricField{-1e8, -1e8, 1e8, 1e8, PI / 2, -1};
    m.EA.rec[3] = ElectricField{0, 0, 0, 0, 1.0, 1};  // zero size
    m.EA.rec[4] = ElectricField{NaN, 0, 10, 10, NaN, 1};
    m.EA.rec[5] = ElectricField{300, 0, 100, -100, 0.5, 1};  // corners reversed
    m.BA.rec[0] = MagneticField{-1e8, -1e8, 1e8, 1e8, 5, 1};
    m.BA.rec[1] = MagneticField{-1e8, -1e8, 1e8, 1e8, 1, -1};
    m.BA.rec[2] = MagneticField{NaN, inf, -inf, 0, 0, 1};
    m.TB.rec[0] = StraightTrack{1, 0, 0, 0, 0, -big, NaN, big, 3, 0, 0};
    m.CT.rec[0] = ArcTrack{0, 0, NaN, inf, 1e12, 0, 0};
    m.CT.rec[1] = ArcTrack{NaN, 0, 0, 1, -5, 0, 0};
    const auto start = std::chrono::steady_clock::now();
    for (const double scale : {1.0, 1e-9, 0.0, NaN}) {
        m.settings.scale = scale;
        redraw(Draw_G);
        for (auto* draw : {Draw_Z, Draw_M, Draw_E, Draw_EA, Draw_BA, Draw_TB, Draw_CT}) draw(m, s);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(s.canvas.pen_mode, PenMode::Copy);
}

// The static objects and connectors of a small scene without text, pixel for
// pixel against a committed picture (rewritten when QUORREL_UPDATE_REFERENCE is set).
TEST_F(StaticTest, WholeSceneMatchesReference) {
    m.settings.origin_x = 200;
    m.settings.origin_y = 160;
    m.settings.scale = 2.0;
    m.Z.rec[0] = ZRegion{-380, 100, -200, 300, 1, 0, 0};
    m.EA.rec[0] = ElectricField{-150, 60, 100, 280, 40 * DEG, 1};
    m.BA.rec[0] = MagneticField{150, 120, 360, 300, 1, -1};
    m.BA.rec[1] = MagneticField{-380, -280, -180, -80, 5, 1};
    m.TB.rec[0] = StraightTrack{1, 1, 0, 0, 0, -150, -200, 150, -120, 0, 0};
    m.CT.rec[0] = ArcTrack{60, -160, PI, 2 * PI, 80, 0, 0};
    for (int i = 0; i < 3; ++i) {
        MovingObject& o = place_body(m, 0, 0, i);
        o.screen_x = 200 + 60 * i;
        o.screen_y = 230 - 20 * i;
    }
    m.TH.rec[0] = AnchorSpring{-150, -20, 0, 1, 1, 0};
    m.E_TH.rec[0] = ObjectSpring{0, 1, 0, 1, 1};
    m.SH.rec[0] = AnchorLink{250, 0, 0, 1, 0, 2};
    m.E_GAN.rec[0] = ObjectLink{1, 2, 0, 1, 0};
    m.GAN.rec[0] = AnchorLink{330, -100, 0, 1, 0, 2};
    build_static_scene(m, s);
    frame_connectors(m, s, 0);
    scene_end(s);

    const QString path = QStringLiteral(QUORREL_REFERENCE_DIR "/static_scene.png");
    if (std::getenv("QUORREL_UPDATE_REFERENCE") != nullptr) {
        QDir().mkpath(QStringLiteral(QUORREL_REFERENCE_DIR));
        ASSERT_TRUE(s.image1.save(path));
    }
    QImage expected(path);
    ASSERT_FALSE(expected.isNull()) << "missing " << path.toStdString();
    EXPECT_EQ(s.image1.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
}

}  // namespace
}  // namespace quorrel
