// The scene drawn through a view transform: exclusive-or drawing still
// restores the picture at every scale, lines along an axis are whole-pixel
// bands, the coordinate system reaches the picture's edges, pictures and text
// scale with the view, the content's box, and what a run accumulated carried
// into a picture drawn for another view.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QPoint>
#include <algorithm>
#include <string>

#include "render/bounds.h"
#include "render/canvas.h"
#include "render/frame.h"
#include "render/graphs.h"
#include "render/legend.h"
#include "render/objects.h"
#include "render_support.h"

namespace quorrel {
namespace {
using namespace test;

constexpr Colour PEN = 0x3080F0;

struct ViewCase {
    double scale;
    int dx, dy;
};
const ViewCase VIEWS[] = {{1.0, 0, 0}, {1.0, 7, -5}, {0.6, 3, 2}, {1.5, 0, 0}, {2.7, -13, 9}, {4.0, 2, 1}};

// A picture with a pattern, so that an exclusive-or mistake cannot hide.
QImage patterned(int w, int h) {
    QImage im(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) im.setPixel(x, y, 0xFF000000u | static_cast<QRgb>((x * 37 + y * 91) & 0xFFFFFF));
    return im;
}

TEST(ViewCanvas, ExclusiveOrDrawingTwiceRestoresThePictureAtEveryScale) {
    using Draw = void (*)(Canvas&);
    const Draw figures[] = {
        [](Canvas& c) { line(c, 5, 7, 63, 41); },
        [](Canvas& c) { line(c, 60, 3, 60, 44); },
        [](Canvas& c) { line(c, 70, 30, 4, 30); },
        [](Canvas& c) {
            set_pen_width(c, 3);
            line(c, 10, 40, 50, 12);
        },
        [](Canvas& c) {
            set_pen_style(c, PenStyle::Dot);
            line(c, 2, 20, 70, 22);
        },
        [](Canvas& c) { rectangle(c, 8, 6, 30, 28); },
        [](Canvas& c) { rectangle(c, 40, 10, 41, 30); },  // one pixel thin
        [](Canvas& c) { ellipse(c, 20, 10, 44, 34); },
        [](Canvas& c) { arc(c, 10, 10, 50, 40, 50, 25, 10, 25); },
        [](Canvas& c) {
            const QPoint pts[] = {{3, 3}, {30, 20}, {12, 40}, {60, 8}};
            polyline(c, pts, 4);
        },
        [](Canvas& c) {
            set_brush(c, PEN);
            fill_rect(c, 15, 15, 35, 25);
        },
    };
    for (const ViewCase& v : VIEWS) {
        for (std::size_t f = 0; f < std::size(figures); ++f) {
            QImage im = patterned(300, 200);
            const QImage before = im.copy();
            Canvas c;
            canvas_attach(c, &im);
            canvas_set_view(c, v.scale, v.dx, v.dy);
            set_pen_mode(c, PenMode::Xor);
            for (int pass = 0; pass < 2; ++pass) {
                set_pen(c, PEN, 1);
                set_pen_style(c, PenStyle::Solid);
                set_brush_clear(c);
                figures[f](c);
                canvas_end(c);
                if (pass == 0) {
                    EXPECT_NE(im, before) << "scale " << v.scale << " figure " << f;
                }
            }
            EXPECT_EQ(im, before) << "scale " << v.scale << " figure " << f;
        }
    }
}

// Widths of the runs of colour c along row y (or column x).
std::vector<int> runs(const QImage& im, int at, bool along_row, Colour c) {
    std::vector<int> r;
    const int n = along_row ? im.width() : im.height();
    int len = 0;
    for (int i = 0; i <= n; ++i) {
        const bool on = i < n && (im.pixel(along_row ? i : at, along_row ? at : i) | 0xFF000000u) == to_rgb(c);
        if (on) {
            ++len;
        } else if (len > 0) {
            r.push_back(len);
            len = 0;
        }
    }
    return r;
}

TEST(ViewCanvas, ACopyWithinAnAreaLeavesOutTheHoles) {
    const QImage src = patterned(60, 40);
    QImage dst(60, 40, QImage::Format_RGB32);
    dst.fill(0xFF000000u);
    Canvas c;
    canvas_attach(c, &dst);
    const QRect holes[] = {QRect(10, 5, 20, 10), QRect(25, 8, 10, 20), QRect(50, 30, 30, 30)};
    copy_whole_except(c, src, QRect(0, 0, 55, 40), holes, 3);
    canvas_end(c);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            const bool hole = x >= 55 || std::any_of(std::begin(holes), std::end(holes),
                                                     [&](const QRect& h) { return h.contains(x, y); });
            ASSERT_EQ(dst.pixel(x, y), hole ? 0xFF000000u : src.pixel(x, y)) << x << "," << y;
        }
}

// Every primitive once, in the pen mode given, over a patterned picture; the
// picture, the boxes noted dirty, the box measured and the pixels read back
// summed up in one digest.
std::string every_primitive(const ViewCase& v, PenMode mode) {
    QImage im = patterned(240, 160);
    const QImage other = patterned(240, 160).mirrored();
    QImage pic(12, 9, QImage::Format_RGB32);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x) pic.setPixel(x, y, x < 4 ? 0xFFFFFFFFu : 0xFF000000u | (x * 20 << 8 | y * 25));
    Canvas c;
    DirtyBoxes dirty;
    dirty.clear();
    canvas_attach(c, &im);
    canvas_set_view(c, 2.0, 1, 1);  // replaced whole by the view under test
    canvas_set_view(c, v.scale, v.dx, v.dy);
    ScaledPicture cache;
    const auto draw = [&] {
        set_pen_mode(c, mode);
        set_pen(c, PEN, 1);
        set_pen_style(c, PenStyle::Solid);
        set_brush(c, 0x40C020);
        line(c, 3, 4, 61, 37);
        line(c, 70, 5, 70, 50);
        line(c, 90, 30, 10, 30);
        line_f(c, 5.3, 60.7, 80.2, 44.9);
        set_pen_style(c, PenStyle::Dot);
        line(c, 2, 70, 90, 73);
        line(c, 100, 3, 100, 60);
        set_pen_style(c, PenStyle::Solid);
        const QPoint zig[] = {{110, 5}, {150, 30}, {120, 55}, {170, 12}};
        polyline(c, zig, 4);
        rectangle(c, 8, 80, 40, 110);
        rectangle(c, 50, 80, 51, 110);
        fill_rect(c, 60, 80, 80, 95);
        ellipse(c, 90, 80, 130, 115);
        arc(c, 140, 70, 190, 110, 190, 90, 140, 90);
        set_pixel(c, 200, 10, 0x0000FF);
        set_pen(c, 0x2020E0, 3);
        line(c, 150, 120, 200, 100);
        line(c, 210, 20, 210, 80);
        const QPoint wide[] = {{10, 120}, {40, 150}, {70, 125}};
        polyline(c, wide, 3);
        rectangle(c, 80, 120, 110, 150);
        ellipse(c, 115, 120, 145, 150);
        arc(c, 150, 125, 190, 155, 150, 140, 190, 140);
        line_f(c, 160.5, 130.25, 230.75, 158.5);
        set_pen_mode(c, PenMode::Copy);
        set_font(c, scene_font("Arial", 13), 0x00FFFF);
        text_out(c, 180, 60, QStringLiteral("H8 速度"));
        set_brush_clear(c);
        text_out(c, 180, 75, QStringLiteral("x=1.5"));
        copy_rect(c, QRect(200, 100, 12, 9), pic, pic.rect());
        copy_rect(c, QRect(215, 100, 20, 14), pic, pic.rect());
        restore_rect(c, QRect(5, 140, 30, 15), other);
        draw_picture(c, 40, 135, pic);
        draw_transparent(c, 55, 135, pic, 0xFFFFFF, &cache);
        draw_transparent(c, 70, 135, pic, 0xFFFFFF, &cache);
        blend_picture(c, 85, 135, pic, 0xFFFFFF, 0.55, nullptr);
        draw_view_picture(c, 100, 135, pic, 0xFFFFFF);
        stretch_picture(c, QRect(215, 120, 20, 30), pic);
    };
    canvas_start_measuring(c);
    draw();
    const QRect measured = canvas_stop_measuring(c);
    c.dirty = &dirty;
    draw();
    QCryptographicHash h(QCryptographicHash::Sha1);
    for (int i = 0; i < dirty.n; ++i)
        for (int k : {dirty.box[i].x(), dirty.box[i].y(), dirty.box[i].width(), dirty.box[i].height()})
            h.addData(QByteArray::number(k));
    for (int k : {measured.x(), measured.y(), measured.width(), measured.height()}) h.addData(QByteArray::number(k));
    for (int k = 0; k < 40; ++k) h.addData(QByteArray::number(get_pixel(c, k * 6, k * 4)));
    canvas_end(c);
    h.addData(QByteArrayView(im.constBits(), im.sizeInBytes()));
    return h.result().toHex().left(16).toStdString();
}

// The pictures every primitive has always drawn, at 1:1 and through views.
TEST(ViewCanvas, EveryPrimitiveDrawsTheSamePicturesAtEveryView) {
    struct Case {
        ViewCase view;
        PenMode mode;
        const char* digest;
    };
    const Case cases[] = {
        {VIEWS[0], PenMode::Copy, "219887c4c6300e83"}, {VIEWS[0], PenMode::Xor, "d3b21cc6063bd279"},
        {VIEWS[1], PenMode::Copy, "930aa77277c47a03"}, {VIEWS[1], PenMode::Xor, "2eaa3ad4e0f30ab8"},
        {VIEWS[2], PenMode::Copy, "0ab824b8915e3717"}, {VIEWS[2], PenMode::Xor, "38ea4bc7c4c393ed"},
        {VIEWS[3], PenMode::Copy, "4cc85522b23d748c"}, {VIEWS[3], PenMode::Xor, "d67b8d7bf2ce3d70"},
        {VIEWS[4], PenMode::Copy, "1e0fb7cb9089ee84"}, {VIEWS[4], PenMode::Xor, "d5268cf0fb6f93ae"},
    };
    for (const Case& k : cases)
        EXPECT_EQ(every_primitive(k.view, k.mode), k.digest) << "scale " << k.view.scale << " at " << k.view.dx << ","
                                                             << k.view.dy << " xor " << (k.mode == PenMode::Xor);
}

TEST(ViewFrame, GridLinesAreEqualWholePixelBandsAcrossTheWholePicture) {
    auto m = plain_model();
    m->settings.show_grid = 1;
    m->settings.axes_colour = 0x00FF00;
    m->settings.origin_x = 37;
    m->settings.origin_y = 15;
    const Colour grid = 0x00AA00;  // two thirds of the axes colour
    for (const ViewCase& v : {ViewCase{1.0, 0, 0}, ViewCase{2.7, -40, 25}, ViewCase{1.7, 0, 0}}) {
        Scene s;
        scene_init(s, 1900, 1000);
        scene_set_view(s, View{v.scale, 1.0, v.dx, v.dy});
        fill_scene_background(*m, s);
        Draw_Cross(*m, s, 0);
        scene_end(s);
        const int band = std::max(1, static_cast<int>(std::lround(v.scale)));
        // Vertical lines seen along a row, horizontal ones along a column;
        // all of one width, every 100 design pixels, up to the far edges.
        for (const bool along_row : {true, false}) {
            const std::vector<int> r = runs(s.image1, along_row ? 997 : 1897, along_row, grid);
            const int expected = static_cast<int>((along_row ? 1900 : 1000) / (100 * v.scale));
            EXPECT_GE(static_cast<int>(r.size()), expected) << v.scale;
            for (int w : r) EXPECT_EQ(w, band) << v.scale;
        }
    }
}

TEST(ViewFrame, AxesReachThePictureEdgesBeyondTwelveHundredPixels) {
    auto m = plain_model();
    m->settings.show_axes = 1;
    m->settings.axes_colour = 0x00FF00;
    Scene s;
    scene_init(s, 1920, 1300);
    s.window_width = 1922;
    s.window_height = 1335;
    fill_scene_background(*m, s);
    Draw_Cross(*m, s, 0);
    EXPECT_EQ(at(s, s.image1, 1919, m->settings.origin_y), rgb(0x00FF00));
    EXPECT_EQ(at(s, s.image1, m->settings.origin_x, 1299), rgb(0x00FF00));
    // Labels run on to the right edge too.
    EXPECT_GT(count_ink(s, s.image1, QRect(1790, m->settings.origin_y + 3, 60, 16), 0x00FF00), 5);
}

TEST(ViewCanvas, PicturesAndTextScaleWithTheViewTheirKeyColourLeftOut) {
    QImage pic(10, 8, QImage::Format_RGB32);
    pic.fill(to_rgb(PEN));
    pic.setPixel(0, 0, 0xFFFFFFFFu);  // the key colour: white
    QImage im(200, 100, QImage::Format_RGB32);
    im.fill(0xFF000000u);
    Canvas c;
    canvas_attach(c, &im);
    canvas_set_view(c, 3.0, 5, 4);
    ScaledPicture cache;
    draw_transparent(c, 10, 10, pic, 0xFFFFFF, &cache);
    canvas_end(c);
    // 30 x 24 picture pixels from (35, 34); the key's corner stays black.
    EXPECT_EQ(im.pixel(35 + 15, 34 + 12), to_rgb(PEN));
    EXPECT_EQ(im.pixel(35 + 29, 34 + 23), to_rgb(PEN));
    EXPECT_EQ(im.pixel(35 + 30, 34 + 12), 0xFF000000u);
    EXPECT_EQ(im.pixel(35, 34), 0xFF000000u);
    EXPECT_EQ(cache.image.size(), QSize(30, 24));

    // Text keeps its design width and is drawn three times as large.
    Scene s;
    scene_init(s, 400, 200);
    scene_set_view(s, View{3.0, 1.0, 0, 0});
    set_font(s.canvas, s.fonts.measurement, 0x00FFFF);
    set_brush_clear(s.canvas);
    const int w = text_width(s.canvas, QStringLiteral("88888"));
    text_out(s.canvas, 2, 2, QStringLiteral("88888"));
    EXPECT_GT(count_ink(s, s.image1, QRect(6 + 3 * w - 12, 6, 12, 3 * 13), 0x00FFFF), 10);
    EXPECT_EQ(count_ink(s, s.image1, QRect(6 + 3 * w + 4, 0, 40, 60), 0x00FFFF), 0);
}

TEST(ViewBounds, ContentBoxCoversWhatIsDrawnAndNothingIsDrawnWhileMeasuring) {
    auto m = plain_model();
    Scene s;
    scene_init(s, 700, 420);
    m->settings.use_gravity = 0;
    EXPECT_TRUE(content_bounds(*m, s).isEmpty());

    MovingObject& o = place_body(*m, 0, 0);  // at the origin, pixel (200, 150)
    o.screen_x = 200;
    o.screen_y = 150;
    o.picture_dx = o.picture_dy = -10;
    m->object_pictures[0] = solid_picture(20, 20, PEN);
    FunctionGraph& g = m->graphs[0];
    g.kind = 1;
    g.x = 500;
    g.y = 300;
    create_graph_picture(*m, 0);
    build_static_scene(*m, s);
    const QImage before = s.image1.copy();
    const QRect box = content_bounds(*m, s);
    EXPECT_EQ(box, QRect(QPoint(190, 140), QPoint(619, 419)));
    scene_end(s);
    EXPECT_EQ(s.image1, before);
}

// An arc track counts with its own points, not with the rest of its circle:
// the lower quarter of a circle of 100 px about pixel (200, 150).
TEST(ViewBounds, AnArcTrackCountsWithItsOwnPoints) {
    auto m = plain_model();
    Scene s;
    scene_init(s, 700, 420);
    m->settings.use_gravity = 0;
    m->settings.scale = 0.1;
    m->CT.rec[0] = {0, 0, 225 * DEG, 315 * DEG, 10, 0, 0};
    const QRect box = content_bounds(*m, s);
    EXPECT_NEAR(box.left(), 200 - 71, 3);
    EXPECT_NEAR(box.right(), 200 + 71, 3);
    EXPECT_NEAR(box.top(), 150 + 71, 3);
    EXPECT_NEAR(box.bottom(), 150 + 100, 3);
}

TEST(ViewBounds, AccumulatedPixelsAreCarriedToTheirPlaceInTheNewView) {
    QImage clean(100, 100, QImage::Format_RGB32), drawn;
    clean.fill(0xFF000000u);
    drawn = clean.copy();
    drawn.setPixel(10, 20, to_rgb(PEN));  // a trail pixel at design (10, 20)
    QImage target(300, 300, QImage::Format_RGB32);
    target.fill(0xFF112233u);
    carry_over(target, 2.0, 5, 0, drawn, clean, 1.0, 0, 0);
    int carried = 0, kept = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x) {
            carried += target.pixel(x, y) == to_rgb(PEN);
            kept += target.pixel(x, y) == 0xFF112233u;
        }
    EXPECT_EQ(carried, 4);  // one design pixel is 2 x 2 picture pixels
    EXPECT_EQ(target.pixel(25, 40), to_rgb(PEN));
    EXPECT_EQ(kept, 300 * 300 - 4);  // what was not accumulated stays as drawn
}

TEST(ViewLegend, NamesTheColourOfEachVectorShownInAFixedOrder) {
    auto m = plain_model();
    LegendEntry rows[MAX_LEGEND_ENTRIES];
    EXPECT_EQ(legend_entries(*m, rows), 0);
    MovingObject& a = place_body(*m, 0, 0);
    a.live_vector_flags[VEC_VX] = 1;
    a.strobe_vector_flags[VEC_GRAVITY] = 1;
    MovingObject& plank = set_object(*m, 1, KIND_PLANK, 0, 0);
    plank.live_vector_flags[VEC_FRICTION] = 1;  // planks draw no forces
    m->settings.v_colour = 0x123456;
    m->settings.force_colours[2] = 0x654321;
    ASSERT_EQ(legend_entries(*m, rows), 2);
    EXPECT_STREQ(rows[0].name, "速度");
    EXPECT_EQ(rows[0].colour, 0x123456);
    EXPECT_STREQ(rows[1].name, "重力");
    EXPECT_EQ(rows[1].colour, 0x654321);

    Scene s;
    scene_init(s, 700, 420);
    fill_scene_background(*m, s);
    const QImage plain = s.image1.copy();
    draw_legend(*m, s);  // off by default
    scene_end(s);
    EXPECT_EQ(s.image1, plain);
    s.show_legend = true;
    draw_legend(*m, s);
    EXPECT_GT(count_colour(s, s.image1, QRect(500, 0, 200, 80), 0x654321), 20);
    EXPECT_EQ(count_not(s, s.image1, QRect(0, 0, 450, 420), 0), 0);  // in the top right corner
}

}  // namespace
}  // namespace quorrel
