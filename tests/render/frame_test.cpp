#include "render/frame.h"

#include <gtest/gtest.h>

#include "render/objects.h"
#include "render_support.h"

namespace quorrel {
namespace {
using namespace test;

constexpr Colour AXES = 0x30C060;

struct FrameTest : ::testing::Test {
    std::unique_ptr<Model> model = plain_model();
    Model& m = *model;
    Scene s;
    void SetUp() override {
        scene_init(s, 700, 420);
        m.settings.axes_colour = AXES;
    }
    QRgb px(int x, int y) { return at(s, s.image1, x, y); }
};

TEST_F(FrameTest, AxesAndLabelsAtTheOrigin) {
    m.settings.show_axes = 1;
    fill_scene_background(m, s);
    Draw_Cross(m, s, 0);
    const int ox = m.settings.origin_x, oy = m.settings.origin_y;
    EXPECT_EQ(px(ox, 50), rgb(AXES));
    EXPECT_EQ(px(ox, 419), rgb(AXES));
    EXPECT_EQ(px(600, oy), rgb(AXES));
    EXPECT_EQ(px(50, 50), rgb(0));
    // The label 100 px above the origin ("1000" with scale 10): right of the y axis.
    EXPECT_GT(count_colour(s, s.image1, QRect(ox + 3, oy - 108, 40, 14), AXES), 10);
    // "0" under the origin, left of the y axis; no y label for k = 0.
    EXPECT_GT(count_colour(s, s.image1, QRect(ox - 10, oy + 3, 9, 14), AXES), 3);
    EXPECT_EQ(count_colour(s, s.image1, QRect(ox + 3, oy - 8, 40, 6), AXES), 0);
    // x labels every 100 px: "1000" right of the origin, "-1000" left of it.
    EXPECT_GT(count_colour(s, s.image1, QRect(ox + 90, oy + 3, 40, 14), AXES), 10);
    EXPECT_GT(count_colour(s, s.image1, QRect(ox - 110, oy + 3, 45, 14), AXES), 10);
}

TEST_F(FrameTest, GridsWithoutAxesUseScaledColours) {
    m.settings.axes_colour = 0x90C060;
    m.settings.show_grid = 1;
    m.settings.show_fine_grid = 1;
    fill_scene_background(m, s);
    Draw_Cross(m, s, 0);
    const Colour fine = 0x304020, coarse = 0x608040;
    EXPECT_EQ(px(210, 5), rgb(fine));
    EXPECT_EQ(px(5, 160), rgb(fine));
    EXPECT_EQ(px(300, 5), rgb(coarse));
    EXPECT_EQ(px(0 + 5, 50), rgb(coarse));  // horizontal line at origin_y - 100
    EXPECT_EQ(px(200, 5), rgb(coarse));     // no axis drawn over the grid line
    EXPECT_EQ(px(205, 5), rgb(0));
    EXPECT_EQ(count_colour(s, s.image1, s.image1.rect(), 0x90C060), 0);
}

TEST_F(FrameTest, GridStopsTwoThousandPixelsLeftOfTheOrigin) {
    scene_init(s, 3000, 100);
    s.window_width = 3000;
    m.settings.show_fine_grid = 1;
    m.settings.origin_x = 2500;
    fill_scene_background(m, s);
    Draw_Cross(m, s, 0);
    const Colour fine = 0x104020;
    EXPECT_EQ(count_not(s, s.image1, QRect(0, 5, 500, 1), 0), 0);
    EXPECT_EQ(px(500, 5), rgb(fine));
    EXPECT_EQ(px(2990, 5), rgb(fine));
}

TEST_F(FrameTest, FarOffOriginDoesNotHang) {
    m.settings.show_grid = m.settings.show_fine_grid = m.settings.show_axes = 1;
    m.settings.origin_x = -2000000000;
    m.settings.origin_y = 2000000000;
    fill_scene_background(m, s);
    Draw_Cross(m, s, 0);
    // Vertical lines far right of the origin still fall on the picture every
    // 10 px; horizontal lines would all be below it.
    EXPECT_NE(px(10, 5), rgb(0));
    EXPECT_EQ(px(15, 5), rgb(0));
    EXPECT_EQ(count_not(s, s.image1, QRect(5, 0, 1, 420), 0), 0);
}

TEST_F(FrameTest, ErasableCrossTwiceRestores) {
    m.settings.background_colour = 0x112233;
    fill_scene_background(m, s);
    scene_end(s);
    const QImage before = s.image1.copy();
    Draw_Cross(m, s, 1);
    EXPECT_EQ(px(m.settings.origin_x, 40), rgb(0x112233 ^ 0xB4B4B4));
    Draw_Cross(m, s, 1);
    scene_end(s);
    EXPECT_EQ(s.image1, before);
}

TEST_F(FrameTest, BackgroundModesPlaceThePicture) {
    const Colour PIC = 0x00FFFF, BG = 0x400000;
    m.settings.background_colour = BG;
    m.background_picture = solid_picture(101, 51, PIC);
    const QRect full = s.image1.rect();
    m.settings.background_mode = 0;
    prepare_scene_ground(m, s);
    EXPECT_EQ(count_colour(s, s.image1, full, PIC), 0);
    EXPECT_EQ(px(0, 0), rgb(BG));

    m.settings.background_mode = 1;
    prepare_scene_ground(m, s);
    EXPECT_EQ(count_colour(s, s.image1, full, PIC), 101 * 51);
    EXPECT_EQ(count_colour(s, s.image1, QRect(0, 0, 101, 51), PIC), 101 * 51);

    m.settings.background_mode = 2;  // ((700 - 101) / 2, (420 - 51) / 2) = (299, 184)
    prepare_scene_ground(m, s);
    EXPECT_EQ(count_colour(s, s.image1, QRect(299, 184, 101, 51), PIC), 101 * 51);
    EXPECT_EQ(count_colour(s, s.image1, full, PIC), 101 * 51);

    m.settings.background_mode = 3;
    prepare_scene_ground(m, s);
    EXPECT_EQ(count_colour(s, s.image1, full, PIC), 700 * 420);

    m.settings.background_mode = 2;  // a picture larger than the scene starts left of and above it
    m.background_picture = solid_picture(901, 621, PIC);
    prepare_scene_ground(m, s);
    EXPECT_EQ(count_colour(s, s.image1, full, PIC), 700 * 420);
}

TEST_F(FrameTest, StaticSceneIsKeptAndRestoredEachFrame) {
    m.settings.background_colour = 0x224466;
    m.settings.show_axes = 1;
    build_static_scene(m, s);
    scene_end(s);
    EXPECT_EQ(s.scene_bitmap, s.image1);
    const QImage kept = s.scene_bitmap.copy();
    // The first frame restores the whole picture, the next ones only what was drawn since.
    for (int frame = 0; frame < 3; ++frame) {
        set_brush(s.canvas, 0x00FFFF);  // something dynamic over Image1
        fill_rect(s.canvas, 100 + 60 * frame, 80, 220 + 60 * frame, 150);
        draw_frame(m, s, nullptr, nullptr);
        scene_end(s);
        EXPECT_EQ(s.image1, kept) << "frame " << frame;
    }
}

TEST_F(FrameTest, TouMingBlendsAndKeepsKeyPixels) {
    QImage fg = solid_picture(3, 1, 0x0000C8);  // red 200
    fg.setPixel(2, 0, to_rgb(0x00FF00));
    QImage bg = solid_picture(4, 1, 0x000064);  // red 100
    QImage f1 = fg, f0 = fg, fh = fg;
    EXPECT_EQ(TouMing(0, 0, 0.0, f0, false, 0, bg), 0);
    EXPECT_EQ(f0.pixel(0, 0), to_rgb(0x000064));
    TouMing(0, 0, 1.0, f1, false, 0, bg);
    EXPECT_EQ(f1.pixel(0, 0), to_rgb(0x0000C8));
    TouMing(1, 0, 0.55, fh, true, 0x00FF00, bg);
    EXPECT_EQ(fh.pixel(0, 0), to_rgb(0x00000000 | 155));  // trunc(100 * 0.45 + 200 * 0.55) = 155
    EXPECT_EQ(fh.pixel(2, 0), to_rgb(0x00FF00));          // the key pixel is never blended
    QImage fn = fg;
    TouMing(10, 10, std::nan(""), fn, false, 0, bg);  // outside the background: left alone
    EXPECT_EQ(fn, fg);
}

TEST_F(FrameTest, TimeReadoutUsesDigits) {
    m.sim_time = 1.23456;
    m.digits = 3;
    EXPECT_EQ(time_readout(m), "  t = 1.23");
}

}  // namespace
}  // namespace quorrel
