#include "render/connectors.h"

#include <gtest/gtest.h>

#include <limits>

#include "render/frame.h"
#include "render_support.h"

namespace quorrel {
namespace {
using namespace test;

constexpr Colour SPRING = 0xB49696, ROPE = 0xB4A0A0, ROD = 0xAFAFAF;

// Origin at the top-left corner, one world unit per pixel: the anchor at
// pixel (x, y) is the world point (x, -y).
struct ConnectorsTest : ::testing::Test {
    std::unique_ptr<Model> model = plain_model();
    Model& m = *model;
    Scene s;
    void SetUp() override { unit_scene(m, s); }
    void object(int slot, int x, int y) {
        MovingObject& o = place_body(m, x, -y, slot);
        o.screen_x = x;
        o.screen_y = y;
    }
    int count(Colour c, QRect r) { return count_colour(s, s.image1, r, c); }
    QRgb px(int x, int y) { return at(s, s.image1, x, y); }
    // Columns of x0..x1 painted in c over the whole of rows y0..y1.
    int full_columns(Colour c, int x0, int x1, int y0, int y1) {
        int n = 0;
        for (int x = x0; x <= x1; ++x) n += count(c, QRect(x, y0, 1, y1 - y0 + 1)) == y1 - y0 + 1;
        return n;
    }
};

TEST_F(ConnectorsTest, SpringTeethAndAnchorCross) {
    object(0, 300, 100);
    m.TH.rec[0] = AnchorSpring{100, -100, 0, 1, 0, 0};  // horizontal, pointing right; mode 0
    Draw_TH(m, s, 0);
    // 20 vertical teeth, one every 10 px from 5 % of the way to the object.
    EXPECT_EQ(full_columns(SPRING, 101, 310, 96, 104), 20);
    for (int k = 1; k <= 20; ++k) EXPECT_EQ(px(100 + 10 * k, 96), rgb(SPRING)) << k;
    EXPECT_EQ(count(SPRING, QRect(101, 90, 8, 5)), 0);  // nothing joins the anchor to the first tooth
    // The anchor's slanted cross.
    for (const QPoint p : {QPoint(96, 96), QPoint(104, 104), QPoint(104, 96), QPoint(96, 104)})
        EXPECT_EQ(px(p.x(), p.y()), rgb(SPRING));
    EXPECT_EQ(s.canvas.pen_mode, PenMode::Copy);
}

TEST_F(ConnectorsTest, SpringBetweenObjectsRunsFromBToA) {
    object(0, 300, 200);
    object(1, 100, 200);
    object(2, 50, 50);
    m.E_TH.rec[0] = ObjectSpring{0, 1, 0, 1, 0};
    m.E_TH.rec[1] = ObjectSpring{2, 2, 0, 1, 0};  // both ends on one point: teeth stacked
    Draw_E_TH(m, s, 0);
    EXPECT_EQ(full_columns(SPRING, 90, 310, 196, 204), 20);
    EXPECT_EQ(count(SPRING, QRect(95, 190, 10, 20)), 0);  // no tooth at object B itself
    EXPECT_EQ(px(300, 196), rgb(SPRING));                 // the last tooth at object A
    EXPECT_EQ(count(SPRING, QRect(40, 40, 21, 21)), count(SPRING, QRect(50, 40, 1, 21)));
    EXPECT_EQ(count(SPRING, QRect(50, 46, 1, 9)), 9);
}

TEST_F(ConnectorsTest, RopesAndRodsColoursAndWidth) {
    object(0, 300, 100);
    object(1, 300, 250);
    m.SH.rec[0] = AnchorLink{100, -100, 0, 1, 0, 0};
    m.E_SH.rec[0] = ObjectLink{0, 1, 0, 1, 0};
    m.E_SH.rec[1] = ObjectLink{1, 1, 0, 1, 0};  // zero length
    Draw_SH(m, s, 0);
    Draw_E_SH(m, s, 0);
    EXPECT_EQ(px(200, 100), rgb(ROPE));
    EXPECT_EQ(px(300, 180), rgb(ROPE));
    EXPECT_EQ(px(104, 96), rgb(ROPE));  // anchor cross
    EXPECT_EQ(count(ROPE, QRect(200, 95, 1, 10)), 1);

    fill_scene_background(m, s);
    m.GAN.rec[0] = m.SH.rec[0];
    m.E_GAN.rec[0] = m.E_SH.rec[0];
    Draw_GAN(m, s, 0);
    Draw_E_GAN(m, s, 0);
    EXPECT_EQ(count(ROD, QRect(200, 95, 1, 10)), 2);
    EXPECT_EQ(count(ROD, QRect(295, 180, 10, 1)), 2);
    EXPECT_EQ(s.canvas.pen_width, 1);
}

TEST_F(ConnectorsTest, BadIndexesAndUnusedSlotsAreSkipped) {
    object(0, 200, 200);
    object(2, 100, 100);  // after an empty slot: not a live object
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(), -1, 50, 1e300, 2, 1};
    for (int i = 0; i < 6; ++i) {
        m.TH.rec[i] = AnchorSpring{50, -50, 0, 1, 1, bad[i]};
        m.SH.rec[i] = AnchorLink{50, -50, 0, 1, 0, bad[i]};
        m.GAN.rec[i] = AnchorLink{50, -50, 0, 1, 0, bad[i]};
        m.E_TH.rec[i] = ObjectSpring{0, bad[i], 0, 1, 1};
        m.E_SH.rec[i] = ObjectLink{bad[i], 0, 0, 1, 0};
        m.E_GAN.rec[i] = ObjectLink{0, bad[i], 0, 1, 0};
    }
    m.TH.rec[7] = AnchorSpring{300, -300, 0, 1, 1, 0};  // after the unused slot 6
    frame_connectors(m, s, 0);
    EXPECT_EQ(count_not(s, s.image1, s.image1.rect(), 0), 0);
}

TEST_F(ConnectorsTest, ExclusiveOrTwiceRestoresThePicture) {
    m.settings.background_colour = 0x203040;
    m.settings.line_width = 2;
    object(0, 200, 200);
    object(1, 320, 120);
    object(2, 200, 200);
    m.TH.rec[0] = AnchorSpring{60, -60, 0, 1, 1, 0};
    m.E_TH.rec[0] = ObjectSpring{0, 1, 0, 1, 1};
    m.E_TH.rec[1] = ObjectSpring{0, 2, 0, 1, 1};
    m.SH.rec[0] = AnchorLink{350, -300, 0, 1, 0, 1};
    m.E_SH.rec[0] = ObjectLink{1, 2, 0, 1, 0};
    m.GAN.rec[0] = AnchorLink{20, -300, 0, 1, 0, 0};
    m.E_GAN.rec[0] = ObjectLink{0, 1, 0, 1, 0};
    fill_scene_background(m, s);
    s.canvas.font_colour = 0;
    set_pen(s.canvas, 0x00C0FF, 3);
    line(s.canvas, 0, 0, 400, 320);  // something under the connectors
    scene_end(s);
    const QImage before = s.image1.copy();

    frame_connectors(m, s, 1);
    scene_end(s);
    EXPECT_NE(s.image1, before);
    EXPECT_EQ(s.canvas.pen_mode, PenMode::Copy);
    frame_connectors(m, s, 1);
    scene_end(s);
    EXPECT_EQ(s.image1, before);
}

}  // namespace
}  // namespace quorrel
