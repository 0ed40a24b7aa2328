#include "render/objects.h"

#include <gtest/gtest.h>

#include <QLineF>
#include <algorithm>
#include <cmath>

#include "format/pictures.h"
#include "render/frame.h"
#include "render/looks.h"
#include "render/points.h"
#include "render_support.h"

namespace quorrel {
namespace {
using namespace test;

constexpr Colour PIC = 0x00C8FF;

struct ObjectsTest : ::testing::Test {
    std::unique_ptr<Model> model = plain_model();
    Model& m = *model;
    Scene s;
    void SetUp() override { scene_init(s, 700, 420); }

    // A body at the world origin (pixel (200, 150)) stamped at the start of a
    // run with the one readout `flag`, in cyan.
    void strobe_with_readout(int flag) {
        MovingObject& o = place_body(m, 0.0, 0.0);
        o.strobe_on = 1;
        o.trail_colour = 0x00FFFF;
        o.readout_flags[flag] = 1;
        m.running = true;
        draw_flash(m, s);
    }
};

TEST_F(ObjectsTest, BodyPictureAtScreenPositionPlusOffset) {
    MovingObject& o = place_body(m, 100.0, -50.0);
    o.x = o.y = 999.0;  // Draw_obj puts the object back at its start
    o.picture_dx = -3;
    o.picture_dy = -2;
    m.object_pictures[0] = solid_picture(6, 4, PIC);
    Draw_obj(m, s);
    EXPECT_EQ(o.screen_x, 210);
    EXPECT_EQ(o.screen_y, 155);
    EXPECT_EQ(o.x, 100.0);
    EXPECT_EQ(o.y, -50.0);
    EXPECT_EQ(count_colour(s, s.image1, QRect(207, 153, 6, 4), PIC), 24);
    EXPECT_EQ(count_colour(s, s.image1, s.image1.rect(), PIC), 24);

    o.transparent = 1;
    o.transparent_colour = PIC;
    fill_scene_background(m, s);
    Draw_obj(m, s);
    EXPECT_EQ(count_colour(s, s.image1, s.image1.rect(), PIC), 0);
}

TEST_F(ObjectsTest, BlockSitsOnItsPlankAndStaysWithinIt) {
    MovingObject& plank = m.objects[0];
    plank.kind = KIND_PLANK;
    plank.width = 100.0;
    plank.height = 10.0;
    MovingObject& block = m.objects[1];
    block.kind = KIND_BLOCK;
    block.host = 0;
    block.width = 10.0;
    block.height = 20.0;
    block.x0 = 80.0;
    block.y0 = -300.0;
    m.object_pictures[1] = solid_picture(3, 3, PIC);
    Draw_obj(m, s);
    EXPECT_DOUBLE_EQ(block.y0, 15.0);
    EXPECT_DOUBLE_EQ(block.rel_x, 80.0);  // taken before the block is kept on the plank
    EXPECT_DOUBLE_EQ(block.x0, 49.8);
    EXPECT_DOUBLE_EQ(block.x, 49.8);
    EXPECT_EQ(block.screen_x, 205);
    EXPECT_EQ(block.screen_y, 149);
    EXPECT_EQ(count_colour(s, s.image1, QRect(205, 149, 3, 3), PIC), 9);

    // While the plank is dragged the block follows at its kept offset.
    block.rel_x = 5.0;
    plank.x0 = 10.0;
    s.drag_state = DRAG_MOVING;
    s.drag_index = 0;
    Draw_obj(m, s);
    EXPECT_DOUBLE_EQ(block.x0, 15.0);
}

TEST_F(ObjectsTest, BlockSitsOnItsInclineInBothOrientations) {
    MovingObject& incline = m.objects[0];
    incline.kind = KIND_INCLINE;
    incline.width = 90.0;
    incline.height = 30.0;
    MovingObject& block = m.objects[1];
    block.kind = KIND_BLOCK;
    block.host = 0;
    block.width = 2.0;
    block.height = 2.0;
    block.angle_a = block.angle_b = 30.0;
    const double t30 = std::tan(M_PI / 6.0), lift = 1.0 / std::cos(M_PI / 6.0);

    block.x0 = 10.0;
    Draw_obj(m, s);
    EXPECT_NEAR(block.y0, lift - 10.0 + t30 * 70.0, 1e-12);
    EXPECT_NEAR(block.rel_y, block.y0, 1e-12);

    block.orientation = 1;
    block.x0 = 10.0;
    Draw_obj(m, s);
    EXPECT_NEAR(block.y0, lift - 10.0 + t30 * 50.0, 1e-12);

    block.orientation = 0;  // beyond the top of the slope: back onto it
    block.x0 = 100.0;
    Draw_obj(m, s);
    EXPECT_NEAR(block.x0, 30.0 - 0.5 - 0.02, 1e-12);
    EXPECT_NEAR(block.y0, lift - 10.0 + t30 * 90.0 - t30 * 0.52, 1e-12);
}

TEST_F(ObjectsTest, TrailSegmentGoesIntoTheSceneBitmapOnly) {
    trail_segment(&s, 10, 10, 20, 10, 0x00FF00, 1);
    EXPECT_EQ(count_colour(s, s.scene_bitmap, QRect(10, 10, 10, 1), 0x00FF00), 10);
    EXPECT_EQ(count_colour(s, s.scene_bitmap, s.scene_bitmap.rect(), 0x00FF00), 10);
    EXPECT_EQ(count_colour(s, s.image1, s.image1.rect(), 0x00FF00), 0);
}

TEST_F(ObjectsTest, StrobeStampBlendsIntoTheSceneAndAdvances) {
    m.settings.background_colour = 0x000064;  // red 100
    build_static_scene(m, s);
    MovingObject& o = place_body(m, 0.0, 0.0);
    o.strobe_on = 1;
    o.strobe_interval = 1.0;
    o.next_strobe = 1.0;
    m.object_pictures[0] = solid_picture(5, 5, 0x0000C8);  // red 200
    m.running = true;
    m.sim_time = 0.0;
    draw_flash(m, s);  // t = 0 is always a strobe moment
    EXPECT_EQ(o.next_strobe, 1.0);
    const int red = qRed(at(s, s.scene_bitmap, 200, 150));
    EXPECT_NEAR(red, 155, 1);  // 0.45 * 100 + 0.55 * 200
    EXPECT_EQ(qRed(at(s, s.scene_bitmap, 198, 148)), red);
    EXPECT_EQ(qRed(at(s, s.scene_bitmap, 197, 150)), 100);

    o.x = 10.0;  // one pixel right
    m.sim_time = 1.0;
    draw_flash(m, s);
    EXPECT_EQ(o.next_strobe, 2.0);
    m.sim_time = 1.5;
    draw_flash(m, s);
    EXPECT_EQ(o.next_strobe, 2.0);
}

TEST_F(ObjectsTest, StrobeReadoutWithOnlyTheYFlag) {
    strobe_with_readout(READ_Y);
    // At rest the one line stands centred above the stamp at (200, 150),
    // beginning with three spaces; nothing below the stamp's top.
    for (const QImage* pic : {&s.image1, &s.scene_bitmap}) {
        EXPECT_GT(count_ink(s, *pic, QRect(140, 130, 120, 16), 0x00FFFF), 15);
        EXPECT_EQ(count_ink(s, *pic, QRect(0, 146, 700, 274), 0x00FFFF), 0);
    }
}

// With the units shown a readout's value is followed by its unit, so the
// centred line is wider than the bare number; without, it is the design's.
TEST_F(ObjectsTest, StrobeReadoutsCarryTheirUnitsWhenShown) {
    int width[2] = {};
    for (const bool units : {false, true}) {
        scene_init(s, 700, 420);
        s.show_units = units;
        strobe_with_readout(READ_T);
        int left = 700, right = -1;
        for (int x = 0; x < 700; ++x)
            if (count_ink(s, s.scene_bitmap, QRect(x, 128, 1, 18), 0x00FFFF) > 0) {
                left = std::min(left, x);
                right = x;
            }
        width[units] = right - left;
    }
    EXPECT_GT(width[0], 10);            // "T = 0"
    EXPECT_GT(width[1], width[0] + 6);  // "T = 0 s"
}

// The readout keeps clear of the stamp and of the line along the velocity
// (the trail near the stamp and the velocity arrow), on the side the path
// bends away from; at the picture's top or left edge it goes to the other side.
TEST_F(ObjectsTest, StrobeReadoutKeepsOffTheTrailAndTheArrow) {
    struct Case {
        const char* what;
        double vx, vy, ax, ay;
        int sx, sy;
        int side_y;  // -1: above the stamp, 1: below it, 0: either
    };
    const Case cases[] = {
        {"rising right under gravity", 20, 35, 0, -9.8, 300, 200, -1},
        {"falling right under gravity", 20, -35, 0, -9.8, 300, 200, -1},
        {"rising left under gravity", -20, 35, 0, -9.8, 300, 200, -1},
        {"level at the top", 20, 0, 0, -9.8, 300, 200, -1},
        {"turning up on a circle", 10, 0, 0, 5, 300, 200, 1},
        {"straight, no force", 5, 5, 0, 0, 300, 200, -1},
        {"straight up under gravity", 0, 20, 0, -9.8, 300, 200, 0},
        {"at rest", 0, 0, 0, 0, 300, 200, -1},
        {"launched at the picture's left edge", 20, 35, 0, -9.8, 10, 300, 1},
    };
    const QSize box(90, 30);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MovingObject o{};
        o.vx = c.vx;
        o.vy = c.vy;
        o.ax = c.ax;
        o.ay = c.ay;
        const QRect r(readout_corner(o, 9, c.sx, c.sy, box), box);
        EXPECT_GE(r.left(), 0);
        EXPECT_GE(r.top(), 0);
        EXPECT_FALSE(r.intersects(QRect(c.sx - 12, c.sy - 12, 25, 25)));  // the stamp and a gap
        if (c.vx != 0 || c.vy != 0) {
            const double len = std::hypot(c.vx, c.vy);
            const QLineF along(c.sx - 500 * c.vx / len, c.sy + 500 * c.vy / len, c.sx + 500 * c.vx / len,
                               c.sy - 500 * c.vy / len);
            const QRectF f(r);
            for (const QLineF& edge : {QLineF(f.topLeft(), f.topRight()), QLineF(f.topRight(), f.bottomRight()),
                                       QLineF(f.bottomRight(), f.bottomLeft()), QLineF(f.bottomLeft(), f.topLeft())})
                EXPECT_NE(along.intersects(edge, nullptr), QLineF::BoundedIntersection);
        }
        if (c.side_y < 0) {
            EXPECT_LT(r.bottom(), c.sy);
        } else if (c.side_y > 0) {
            EXPECT_GT(r.top(), c.sy);
        }
    }
}

TEST_F(ObjectsTest, PointTrailFollowsTheUnroundedPositions) {
    // A point creeping along a shallow slope, a quarter pixel a frame, seen
    // at a view scale of 4: its trail keeps to the line instead of climbing
    // the design pixels' staircase (4 view pixels a step).
    View v;
    v.zoom = 4.0;
    scene_set_view(s, v);
    m.settings.origin_x = 10;
    m.settings.origin_y = 10;
    Point& p = m.points[0];
    p.kind = 1;
    p.show_trail = 1;
    p.colour = 0x00FF00;
    Draw_gu_ding_dian(m, s);  // stopped: where the trail will start
    m.running = true;
    for (int k = 1; k <= 40; ++k) {
        p.x = k * 2.5;  // 0.25 px at the plain model's 10 m per pixel
        p.y = -k * 0.75;
        Draw_gu_ding_dian(m, s);
    }
    scene_end(s);
    double worst = 0;
    int ink = 0;
    for (int y = 0; y < s.scene_bitmap.height(); ++y)
        for (int x = 0; x < s.scene_bitmap.width(); ++x)
            if (qGreen(s.scene_bitmap.pixel(x, y)) > 128) {
                ++ink;
                // The line through (10.5, 10.5) design pixels, 0.3 down per pixel right.
                worst = std::max(worst, std::fabs((y - 42.0) - 0.3 * (x - 42.0)) / std::hypot(1.0, 0.3));
            }
    EXPECT_GT(ink, 40);
    EXPECT_LT(worst, 3.0);
}

TEST_F(ObjectsTest, SelectionRingAroundTheSelectedObject) {
    MovingObject& o = place_body(m, 0.0, 0.0);
    o.screen_radius = 10;
    place_body(m, 100.0, 0.0);
    m.settings.selected_object = 0;
    Draw_obj(m, s);
    draw_selection(m, s);
    const Colour RED = 0x0000FF;
    EXPECT_GT(count_colour(s, s.image1, QRect(188, 138, 24, 24), RED), 40);
    EXPECT_EQ(count_colour(s, s.image1, QRect(194, 144, 12, 12), RED), 0);
    EXPECT_EQ(count_colour(s, s.image1, s.image1.rect(), RED), count_colour(s, s.image1, QRect(188, 138, 24, 24), RED));
    EXPECT_NE(at(s, s.image1, 190, 150), rgb(0));

    fill_scene_background(m, s);
    m.settings.selected_object = 7;  // an empty slot
    draw_selection(m, s);
    m.settings.selected_object = 0;
    m.running = true;
    draw_selection(m, s);
    EXPECT_EQ(count_colour(s, s.image1, s.image1.rect(), RED), 0);
}

// The box of the pixels that differ from the background colour.
QRect drawn_box(Scene& s, const QImage& image, Colour bg) {
    scene_end(s);
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) | 0xFF000000u) != to_rgb(bg)) box |= QRect(x, y, 1, 1);
    return box;
}

// Objects without a picture of their own (only the generated ball a reader
// gives them) drawn as their default look, at 1:1 and at a view scale of 2.
// World: 10 units a pixel, origin at pixel (200, 150).
TEST_F(ObjectsTest, PicturelessObjectsShowFilledShapesOfTheirSize) {
    struct Case {
        const char* what;
        std::int32_t kind;
        double x, y, width, height, radius;
        int orientation, dx, dy;
        QRect box;       // design pixels covered, within a pixel
        QPoint inside;   // a design pixel inside the shape
        QPoint outside;  // a pixel of the box's corner the shape leaves empty (-1: none)
    };
    const Case cases[] = {
        {"plank", KIND_PLANK, 0, 0, 200, 40, 0, 0, 0, 0, QRect(190, 148, 20, 4), {200, 150}, {-1, -1}},
        {"block", KIND_BLOCK, 100, 0, 60, 100, 0, 0, 0, 0, QRect(207, 145, 6, 10), {210, 150}, {-1, -1}},
        {"incline rising right",
         KIND_INCLINE,
         0,
         0,
         300,
         150,
         0,
         0,
         0,
         0,
         QRect(180, 140, 30, 15),
         {205, 152},
         {182, 141}},
        {"incline rising left",
         KIND_INCLINE,
         0,
         0,
         300,
         150,
         0,
         1,
         0,
         0,
         QRect(190, 140, 30, 15),
         {195, 152},
         {217, 141}},
        {"ball centred", KIND_BODY, 0, 0, 0, 0, 50, 0, 0, 0, QRect(194, 144, 12, 12), {200, 150}, {194, 144}},
        {"ball at its offsets", KIND_BODY, 0, 0, 0, 0, 50, 0, -2, -3, QRect(198, 147, 12, 12), {204, 153}, {198, 147}},
    };
    for (const double zoom : {1.0, 2.0})
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.what << " at zoom " << zoom);
            auto fresh = plain_model();
            Model& mm = *fresh;
            Scene sc;
            scene_init(sc, 700, 420);
            scene_set_view(sc, View{zoom, 1.0, 0, 0});
            MovingObject& o = set_object(mm, 0, c.kind, c.x, c.y, 0, 0, 1, c.radius);
            o.width = c.width;
            o.height = c.height;
            o.orientation = c.orientation;
            o.picture_dx = c.dx;
            o.picture_dy = c.dy;
            o.transparent = 1;
            mm.object_pictures[0] = make_ball_picture(mm, 0);
            Draw_obj(mm, sc);
            const auto px = [&](int v) { return static_cast<int>(v * zoom); };
            const QRect want(px(c.box.x()), px(c.box.y()), px(c.box.width()), px(c.box.height()));
            const QRect got = drawn_box(sc, sc.image1, 0);
            const int slack = static_cast<int>(zoom);
            EXPECT_LE(std::abs(got.left() - want.left()), slack) << got.x() << "," << got.y();
            EXPECT_LE(std::abs(got.top() - want.top()), slack) << got.x() << "," << got.y();
            EXPECT_LE(std::abs(got.right() - want.right()), slack) << got.width() << "x" << got.height();
            EXPECT_LE(std::abs(got.bottom() - want.bottom()), slack) << got.width() << "x" << got.height();
            EXPECT_NE(at(sc, sc.image1, px(c.inside.x()), px(c.inside.y())), rgb(0));
            if (c.outside.x() >= 0) {
                EXPECT_EQ(at(sc, sc.image1, px(c.outside.x()), px(c.outside.y())), rgb(0));
            }
        }
}

// A block on an incline leans with the slope; its picture of its own, when
// it has one, is drawn as before.
TEST_F(ObjectsTest, BlockOnAnInclineLeansAndOwnPicturesStay) {
    MovingObject& inc = set_object(m, 0, KIND_INCLINE, 0, 0);
    inc.width = 600;
    inc.height = 300;
    MovingObject& b = set_object(m, 1, KIND_BLOCK, 0, 0);
    b.host = 0;
    b.width = b.height = 60;
    b.angle_a = 45;
    m.object_pictures[0] = make_ball_picture(m, 0);
    m.object_pictures[1] = make_ball_picture(m, 1);
    Look look;
    ASSERT_TRUE(default_look(m, 1, look));
    Draw_obj(m, s);
    ASSERT_TRUE(default_look(m, 1, look));
    ASSERT_EQ(look.n, 4);
    // Turned by 45°: the side from the first corner to the second rises at 45°.
    const QPointF side = look.corner[1] - look.corner[0];
    EXPECT_NEAR(side.x(), -side.y(), 1e-9);
    EXPECT_NEAR(std::hypot(side.x(), side.y()), 6.0, 1e-9);

    m.object_pictures[1] = solid_picture(4, 4, PIC);
    EXPECT_FALSE(default_look(m, 1, look));
    Draw_obj(m, s);
    EXPECT_EQ(count_colour(s, s.image1, s.image1.rect(), PIC), 16);
}

// The disc's colour: ball_rgb, or when left at black one that shows on the
// background.
TEST_F(ObjectsTest, BallColourShowsOnTheBackground) {
    const struct {
        Colour background;
        int r, g, b;
        int channel;  // the strongest channel of the colour: 0 red, 1 green, 2 blue
    } cases[] = {{0x000000, 0, 0, 0, 0}, {0xFFFFFF, 0, 0, 0, 2}, {0x000000, 0, 200, 0, 1}, {0xF0F0F0, 0, 200, 0, 1}};
    place_body(m, 0, 0);
    for (const auto& c : cases) {
        m.settings.background_colour = c.background;
        m.objects[0].ball_r = c.r;
        m.objects[0].ball_g = c.g;
        m.objects[0].ball_b = c.b;
        const Colour col = body_colour(m, 0);
        int best = 0;
        for (int k = 1; k < 3; ++k)
            if (((col >> (8 * k)) & 0xFF) > ((col >> (8 * best)) & 0xFF)) best = k;
        EXPECT_EQ(best, c.channel) << std::hex << col;
    }
}

}  // namespace
}  // namespace quorrel
