#include "render/canvas.h"

#include <gtest/gtest.h>

#include "render/fonts.h"
#include "render_support.h"

namespace quorrel {
namespace {
using namespace test;

struct Pic {
    QImage image{40, 30, QImage::Format_RGB32};
    Canvas c;
    Pic() {
        image.fill(0xFF000000u);
        canvas_attach(c, &image);
    }
    QRgb px(int x, int y) {
        canvas_end(c);
        return image.pixel(x, y);
    }
    int count(Colour colour) {
        canvas_end(c);
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == to_rgb(colour);
        return n;
    }
};

TEST(Canvas, ColourConversionSwapsRedAndBlue) {
    EXPECT_EQ(to_rgb(0x0000FF), 0xFFFF0000u);
    EXPECT_EQ(to_rgb(0x7F123456), 0xFF563412u);  // the high byte is ignored
    EXPECT_EQ(from_rgb(0xFF563412u), 0x123456);
}

TEST(Canvas, LineKeepsStartAndLeavesEndInEitherDirection) {
    Pic p;
    set_pen(p.c, RED, 1);
    line(p.c, 2, 2, 8, 2);
    line(p.c, 8, 5, 2, 5);
    line(p.c, 3, 10, 3, 10);  // zero length: nothing
    line(p.c, 10, 10, 15, 20);
    EXPECT_EQ(p.px(2, 2), to_rgb(RED));
    EXPECT_EQ(p.px(7, 2), to_rgb(RED));
    EXPECT_NE(p.px(8, 2), to_rgb(RED));
    EXPECT_EQ(p.px(8, 5), to_rgb(RED));
    EXPECT_EQ(p.px(3, 5), to_rgb(RED));
    EXPECT_NE(p.px(2, 5), to_rgb(RED));
    EXPECT_NE(p.px(3, 10), to_rgb(RED));
    EXPECT_EQ(p.px(10, 10), to_rgb(RED));
    EXPECT_NE(p.px(15, 20), to_rgb(RED));
    // A y-major line paints one pixel per row, 10 rows.
    int steep = 0;
    for (int y = 10; y < 21; ++y)
        for (int x = 9; x < 17; ++x) steep += p.px(x, y) == to_rgb(RED);
    EXPECT_EQ(steep, 10);
}

TEST(Canvas, FarAwayLinesAreClippedWithoutWalkingThem) {
    Pic p;
    set_pen(p.c, GREEN, 1);
    line(p.c, -2000000000, 7, 2000000000, 7);
    line(p.c, -2000000000, -2000000000, -1900000000, 2000000000);  // entirely left of the picture
    EXPECT_EQ(p.count(GREEN), 40);
    EXPECT_EQ(p.px(0, 7), to_rgb(GREEN));
    EXPECT_EQ(p.px(39, 7), to_rgb(GREEN));
}

TEST(Canvas, ExclusiveOrTwiceRestoresThePicture) {
    Pic p;
    p.image.fill(to_rgb(0x203040));
    set_brush(p.c, 0x405060);
    fill_rect(p.c, 5, 5, 20, 20);
    canvas_end(p.c);
    const QImage before = p.image.copy();
    set_pen_mode(p.c, PenMode::Xor);
    set_brush_clear(p.c);
    for (int width : {1, 2}) {
        set_pen(p.c, 0xB4B4B4, width);
        for (int round = 0; round < 2; ++round) {
            line(p.c, 0, 0, 39, 29);
            const QPoint zig[] = {{3, 3}, {30, 8}, {4, 20}, {35, 25}};
            polyline(p.c, zig, 4);
            rectangle(p.c, 2, 2, 30, 25);
            ellipse(p.c, 6, 4, 28, 22);
        }
        canvas_end(p.c);
        EXPECT_EQ(p.image, before) << "pen width " << width;
    }
}

TEST(Canvas, RectangleLeavesRightColumnAndBottomRowOut) {
    Pic p;
    set_pen(p.c, RED, 1);
    set_brush(p.c, GREEN);
    rectangle(p.c, 5, 5, 15, 10);
    EXPECT_EQ(p.px(5, 5), to_rgb(RED));
    EXPECT_EQ(p.px(14, 9), to_rgb(RED));
    EXPECT_EQ(p.px(10, 7), to_rgb(GREEN));
    EXPECT_NE(p.px(15, 7), to_rgb(RED));
    EXPECT_NE(p.px(10, 10), to_rgb(RED));
    EXPECT_EQ(p.count(RED), 2 * 10 + 2 * 3);
}

TEST(Canvas, PicturesAreClippedAndKeyColourLeftOut) {
    Pic p;
    QImage pic = solid_picture(6, 4, GREEN);
    pic.setPixel(0, 0, to_rgb(RED));
    draw_picture(p.c, -1, -1, pic);  // its first row and column fall outside
    EXPECT_EQ(p.count(GREEN), 5 * 3);
    draw_transparent(p.c, 37, 27, pic, GREEN);  // only the key pixel would differ
    EXPECT_EQ(p.px(37, 27), to_rgb(RED));
    EXPECT_EQ(p.count(RED), 1);
    EXPECT_EQ(p.count(GREEN), 15);
}

TEST(Canvas, CopyRectStretchesOnlyWhenSizesDiffer) {
    Pic p;
    QImage src = solid_picture(4, 4, RED);
    copy_rect(p.c, QRect(10, 10, 4, 4), src, QRect(0, 0, 4, 4));
    EXPECT_EQ(p.count(RED), 16);
    copy_rect(p.c, QRect(0, 0, 8, 2), src, QRect(0, 0, 4, 1));
    EXPECT_EQ(p.count(RED), 32);
}

TEST(Canvas, TextIsSmoothed) {
    Pic p;
    set_brush_clear(p.c);
    set_font(p.c, scene_font("Arial", 13), 0x00FFFF);
    text_out(p.c, 2, 2, QStringLiteral("H8"));
    const int yellow = p.count(0x00FFFF), black = p.count(0);
    EXPECT_GT(yellow + black, 40 * 30 / 2);
    EXPECT_GT(40 * 30 - yellow - black, 5);  // blended edge pixels
    EXPECT_GT(text_width(p.c, QStringLiteral("H8")), 8);
}

TEST(Fonts, SpecHeightStyleAndFaceMapping) {
    FontSpec spec{};
    spec.height = -16;
    spec.style = 1 | 2 | 4;
    const QFont f = font_from_spec(spec, "Arial");
    EXPECT_EQ(f.pixelSize(), 16);
    EXPECT_TRUE(f.bold() && f.italic() && f.underline());
    EXPECT_FALSE(f.strikeOut());
    EXPECT_EQ(f.families().value(0), QStringLiteral("Liberation Sans"));
    Text face;
    annotation_font_spec(spec, face);
    EXPECT_EQ(font_from_spec(spec, face).families().value(0), QString::fromUtf8(CHINESE_FACE));
    spec.height = -2000000000;  // damaged: falls back instead of a giant font
    EXPECT_LE(font_from_spec(spec, face).pixelSize(), 1000);
    FontCache cache;
    const QFont& a = cached_font(cache, spec, face);
    EXPECT_EQ(&a, &cached_font(cache, spec, face));
}

TEST(Canvas, HugeFiguresFromDamagedDataStayCheap) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(0xFF000000u);
    Canvas c;
    canvas_attach(c, &image);
    set_brush_clear(c);
    for (int width : {1, 2}) {
        set_pen(c, 0x0000FF, width);
        ellipse(c, -2000000000, -2000000000, 2000000000, 2000000000);
        arc(c, -2000000000, -2000000000, 2000000000, 2000000000, 0, 0, 5, 5);
        rectangle(c, -2000000000, 10, 2000000000, 2000000000);
        line(c, -2000000000, -2000000000, 2000000000, 2000000000);
    }
    canvas_end(c);
    EXPECT_EQ(image.pixel(5, 10), to_rgb(0x0000FF));  // the rectangle's top edge
}

}  // namespace
}  // namespace quorrel
