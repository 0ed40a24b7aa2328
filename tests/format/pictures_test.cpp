#include "format/pictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "io_fixtures.h"

namespace quorrel {
namespace {

std::unique_ptr<Model> ball_model(double radius, double scale, int r, int g, int b) {
    auto m = make_model();
    m->settings.scale = scale;
    MovingObject& o = m->objects[0];
    o.kind = KIND_BODY;
    o.rest_mass = 1;
    o.radius = radius;
    o.ball_r = r;
    o.ball_g = g;
    o.ball_b = b;
    return m;
}

TEST(BallPicture, ShadingFollowsTheHighlightWithIntegerFallOff) {
    // b = 11, e = 13, fall-off 200/13 = 15, 100/13 = 7, 50/13 = 3, highlight (9, 9).
    auto m = ball_model(10, 1, 200, 100, 50);
    const QImage img = make_ball_picture(*m, 0);
    ASSERT_EQ(img.size(), QSize(22, 22));
    EXPECT_EQ(img.format(), QImage::Format_RGB32);
    EXPECT_EQ(img.pixel(9, 9), qRgb(248, 148, 98));  // distance 0
    // Distance sqrt(8): 200 - 15 * 2.83 = 157.6 -> 157; 100 - 19.8 -> 80; 50 - 8.5 -> 41.
    EXPECT_EQ(img.pixel(11, 11), qRgb(205, 128, 89));
    // Far from the highlight a component drops below 1 and becomes 0, then + 48.
    const double l = std::hypot(20 - 9, 14 - 9);
    const int red = static_cast<int>(std::trunc(200 - 15 * l));
    EXPECT_EQ(qRed(img.pixel(20, 14)), std::min(std::max(red, 0) + 48, 255));
    // Black outside the circle; the circle reaches every edge of the picture.
    EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(img.pixel(21, 21) & 0xFFFFFF, 0u);
    EXPECT_NE(img.pixel(0, 11) & 0xFFFFFF, 0u);
    EXPECT_NE(img.pixel(21, 10) & 0xFFFFFF, 0u);
    EXPECT_NE(img.pixel(11, 0) & 0xFFFFFF, 0u);
    EXPECT_NE(img.pixel(10, 21) & 0xFFFFFF, 0u);
    // The picture is symmetric about the centre line of the circle.
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 22; ++x)
            EXPECT_EQ((img.pixel(x, y) & 0xFFFFFF) == 0, (img.pixel(21 - x, y) & 0xFFFFFF) == 0) << x << "," << y;
}

TEST(BallPicture, BrightComponentsSaturateAndDarkOnesStayAt48) {
    auto m = ball_model(10, 1, 250, 0, -40);
    const QImage img = make_ball_picture(*m, 0);
    EXPECT_EQ(img.pixel(9, 9), qRgb(255, 48, 48));
}

TEST(BallPicture, SizeGuards) {
    EXPECT_EQ(make_ball_picture(*ball_model(1, 10, 1, 1, 1), 0).size(), QSize(6, 6));   // at least 3
    EXPECT_EQ(make_ball_picture(*ball_model(37, 10, 1, 1, 1), 0).size(), QSize(8, 8));  // trunc(4.7)
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(ball_half_size(*ball_model(nan, 1, 0, 0, 0), 0), 3);
    EXPECT_EQ(ball_half_size(*ball_model(5, 0, 0, 0, 0), 0), MAX_BALL_HALF_SIZE);  // zero scale
    EXPECT_EQ(ball_half_size(*ball_model(1e300, 1e-300, 0, 0, 0), 0), MAX_BALL_HALF_SIZE);
    EXPECT_EQ(ball_half_size(*ball_model(-50, 1, 0, 0, 0), 0), 3);
    // Extreme colour words do not overflow.
    const QImage img = make_ball_picture(*ball_model(10, 1, INT32_MAX, INT32_MIN, 0), 0);
    EXPECT_EQ(img.pixel(9, 9), qRgb(255, 48, 48));
}

TEST(Pictures, DecodeFromMemory) {
    const std::string bmp = testing_io::tiny_bmp(qRgb(9, 8, 7), 5, 4);
    const QImage b = decode_bmp(bmp);
    ASSERT_EQ(b.size(), QSize(5, 4));
    EXPECT_EQ(b.format(), QImage::Format_RGB32);
    EXPECT_EQ(b.pixel(4, 3), qRgb(9, 8, 7));
    EXPECT_TRUE(decode_bmp("").isNull());
    EXPECT_TRUE(decode_bmp(bmp.substr(0, 20)).isNull());

    const QImage j = decode_jpeg(testing_io::tiny_jpeg());
    ASSERT_EQ(j.size(), QSize(8, 8));
    EXPECT_EQ(j.format(), QImage::Format_RGB32);
    EXPECT_NEAR(qRed(j.pixel(3, 3)), 200, 4);
    EXPECT_NEAR(qBlue(j.pixel(3, 3)), 50, 4);
    EXPECT_TRUE(decode_jpeg("").isNull());
    EXPECT_TRUE(decode_jpeg("not a jpeg at all").isNull());
}

TEST(Pictures, JpegWithForgedHugeDimensionsIsRefusedBeforeDecoding) {
    std::string jpeg = testing_io::tiny_jpeg();
    // The frame header (FFC0): length, precision, then height and width.
    const std::size_t sof = jpeg.find("\xff\xc0");
    ASSERT_NE(sof, std::string::npos);
    jpeg[sof + 5] = '\xff';
    jpeg[sof + 6] = '\xf0';
    jpeg[sof + 7] = '\xff';
    jpeg[sof + 8] = '\xf0';
    EXPECT_TRUE(decode_jpeg(jpeg).isNull());
}

}  // namespace
}  // namespace quorrel
