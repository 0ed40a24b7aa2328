#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "model/gbk.h"
#include "model/units.h"
#include "render/annotations.h"
#include "render/fonts.h"
#include "render/measurements.h"
#include "render/points.h"
#include "render_support.h"

namespace quorrel {
namespace {
using namespace test;

// Bounding box of the pixels of colour c (empty when there are none).
QRect ink(Scene& s, const QImage& im, Colour c) {
    scene_end(s);
    QRect box;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            if ((im.pixel(x, y) | 0xFF000000u) == to_rgb(c)) box |= QRect(x, y, 1, 1);
    return box;
}

// A 400 x 300 scene: origin (200, 150), 10 world units per pixel.
struct InfoTest : ::testing::Test {
    std::unique_ptr<Model> model = plain_model();
    Model& m = *model;
    Scene s;
    void SetUp() override { scene_init(s, 400, 300); }

    // A measurement with lines on whose references are (kind, name) pairs.
    Measurement& measurement(int i, int type, const char* caption, std::initializer_list<std::pair<int, Text>> refs) {
        Measurement& ms = m.measurements[i];
        ms = {};
        ms.type = type;
        ms.show_lines = 1;
        ms.label_x = 20;
        ms.label_y = 20 + 30 * i;
        ms.colour = YELLOW;
        ms.value = 2.5;
        m.measurement_texts[i][MT_CAPTION] = caption;
        std::int32_t* kinds[3] = {&ms.kind1, &ms.kind2, &ms.kind3};
        int k = 0;
        for (const auto& [kind, name] : refs) {
            *kinds[k] = kind;
            m.measurement_texts[i][MT_POINT1 + k++] = name;
        }
        return ms;
    }
    Point& point(int i, const char* name, double x, double y) {
        Point& p = m.points[i];
        p = {};
        p.kind = 1;
        p.x = x;
        p.y = y;
        p.vector_scale = 1.0;
        p.colour = GREEN;
        annotation_font_spec(p.font, m.point_texts[i][PT_FONT_NAME]);
        m.point_texts[i][PT_NAME] = name;
        return p;
    }
    Text& variable(const char* name, const char* value) {
        const int i = m.variable_count++;
        m.variable_texts[i][VT_NAME] = name;
        return m.variable_texts[i][VT_VALUE] = value;
    }
    Annotation& annotation(int i, const char* text, int y) {
        Annotation& a = m.annotations[i];
        a.x = 60;
        a.y = y;
        a.in_use = 2;
        annotation_font_spec(a.font, m.annotation_font[i]);
        a.font.colour = YELLOW;
        m.annotation_text[i] = text;
        return a;
    }
};

// Labels whose font was left unset get the default annotation font; a colour
// that matches the background is changed to one that shows.
TEST(LabelFont, UnsetFontsAndInvisibleColoursBecomeReadable) {
    FontSpec set{};
    set.height = -20;
    set.colour = 0x00FF00;
    const Text face = "Arial";
    const struct {
        FontSpec stored;
        const Text* face;
        Colour background;
        int height;  // of the font drawn
        Colour colour;
        bool default_face;
    } cases[] = {
        {FontSpec{}, nullptr, 0x000000, -16, 0xFFFFFF, true},  // unset, black on black
        {FontSpec{}, nullptr, 0xFFFFFF, -16, 0x000000, true},  // unset on white: black shows
        {FontSpec{}, &face, 0x000000, -16, 0xFFFFFF, false},   // a face of its own stays
        {set, &face, 0x000000, -20, 0x00FF00, false},          // a font given is kept
        {set, &face, 0x00FF00, -20, 0x000000, false},          // green on green
    };
    const Text none;
    for (const auto& c : cases) {
        const Text& stored_face = c.face ? *c.face : none;
        const LabelFont f = label_font(c.stored, stored_face, c.background);
        EXPECT_EQ(f.spec.height, c.height);
        EXPECT_EQ(f.spec.colour, c.colour);
        EXPECT_EQ(f.face == &stored_face, !c.default_face);
        EXPECT_FALSE(f.face->empty());
    }
}

TEST_F(InfoTest, MeasurementsByType) {
    place_body(m, -1000, -500);  // pixel (100, 200)
    m.object_texts[0].name = "ball";
    point(0, "P", 1000, -500);                                        // pixel (300, 200)
    measurement(0, -1, "hidden", {{1, "ball"}, {2, "P"}});            // neither label nor line
    measurement(1, 1, "t = ", {{1, "ball"}, {2, "P"}});               // label only
    measurement(2, 2, "d = ", {{1, "ball"}, {2, "P"}});               // dotted line
    measurement(3, 2, "", {{2, "P"}, {2, "nowhere"}}).label_y = 250;  // unknown name: no line
    Draw_du_lianxian(m, s, 0);
    Draw_du_liang(m, s, 0);
    EXPECT_EQ(count_ink(s, s.image1, QRect(0, 15, 400, 25), YELLOW), 0);
    EXPECT_GT(count_ink(s, s.image1, QRect(20, 50, 60, 20), YELLOW), 10);
    EXPECT_EQ(m.measurements[1].label_height, s.fonts.measurement_label_height);
    const int dots = count_colour(s, s.image1, QRect(100, 200, 200, 1), YELLOW);
    EXPECT_GT(dots, 80);  // dotted: about half of the row's 200 pixels
    EXPECT_LT(dots, 120);
    EXPECT_EQ(count_colour(s, s.image1, QRect(0, 100, 400, 140), YELLOW), dots);  // no other line
    EXPECT_EQ(s.canvas.pen_style, PenStyle::Solid);
}

// A reading shows its unit after the number, the caption as written; the
// degree sign follows the number directly. Without a known unit, or with the
// units turned off, the number stands alone.
TEST_F(InfoTest, ReadingsShowTheirUnits) {
    place_body(m, 0, 0);
    m.object_texts[0].name = "ball";
    point(0, "P", 1000, 0);
    point(1, "Q", 1000, 1000);
    const struct {
        int type;
        std::int32_t quantity;
        bool units;
        const char* shown;
    } cases[] = {
        {1, Q_V, true, "v=2.5 m/s"}, {1, Q_A, true, "v=2.5 m/s²"}, {1, Q_V_DEG, true, "v=2.5°"},
        {2, 0, true, "v=2.5 m"},     {3, 0, true, "v=2.5°"},       {1, 0, true, "v=2.5"},
        {1, Q_V, false, "v=2.5"},    {3, 0, false, "v=2.5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        measurement(0, c.type, "v=", {{1, "ball"}, {2, "P"}, {2, "Q"}}).quantity = c.quantity;
        s.show_units = c.units;
        Draw_du_liang(m, s, 0);
        EXPECT_EQ(s.info.measurement_label[0].text, QString::fromUtf8(c.shown));
    }
    // The stored width covers the unit, so mode 1 clears all of it.
    const int bare = m.measurements[0].label_width;
    s.show_units = true;
    Draw_du_liang(m, s, 0);
    EXPECT_GT(m.measurements[0].label_width, bare);
}

TEST_F(InfoTest, ShortenedLabelClearsItsOldAreaInMode1) {
    measurement(0, 1, "a long caption = ", {});
    Draw_du_liang(m, s, 0);
    const int long_width = m.measurements[0].label_width;
    m.measurement_texts[0][MT_CAPTION] = "";
    Draw_du_liang(m, s, 1);
    EXPECT_LE(ink(s, s.image1, YELLOW).right(), 20 + m.measurements[0].label_width);
    EXPECT_LT(m.measurements[0].label_width, long_width / 2);
}

TEST_F(InfoTest, ErasableLinesAndVectorsVanishWhenDrawnTwice) {
    m.settings.background_colour = 0x203040;
    s.image1.fill(to_rgb(0x203040));
    measurement(0, 3, "", {{2, "A"}, {2, "B"}, {2, "C"}});
    point(0, "A", -500, 300).show_vector = 1;
    point(1, "B", 700, -200);
    point(2, "C", 1500, 900);
    variable("fx", "3");
    variable("fy", "-4");
    m.point_texts[0][PT_VECTOR_X] = "fx";
    m.point_texts[0][PT_VECTOR_Y] = "fy";
    const QImage before = s.image1.copy();
    for (int pass = 0; pass < 2; ++pass) {
        Draw_du_lianxian(m, s, 1);
        Draw_gdd_v(m, s, 1);
        scene_end(s);
        EXPECT_EQ(s.image1 == before, pass == 1);
    }
}

TEST_F(InfoTest, FramedAnnotationWithShadowAndSubstitution) {
    s.substitute = [](void*, Model&, const Text& in, Text& out) { out = in == "{gone}" ? "" : "v = 12345"; };
    const Annotation& a = annotation(0, "v = {v}", 60);
    annotation(1, "", 60).width = -7;  // empty stored text: skipped entirely
    const Annotation& b = annotation(2, "{gone}", 200);
    Draw_zhu_shi(m, s, 0);
    set_font(s.canvas, font_from_spec(a.font, m.annotation_font[0]), YELLOW);
    EXPECT_EQ(a.width, text_width(s.canvas, QStringLiteral("v = 12345")));
    EXPECT_EQ(m.annotations[1].width, -7);
    const int x = 60, y = 60, w = a.width, h = 16;
    EXPECT_EQ(at(s, s.image1, x - 2, y + 8), rgb(YELLOW));          // frame, left edge
    EXPECT_EQ(at(s, s.image1, x + w + 1, y + 8), rgb(YELLOW));      // frame, right edge
    EXPECT_EQ(at(s, s.image1, x + w / 2, y + h + 4), rgb(YELLOW));  // shadow, bottom
    EXPECT_EQ(at(s, s.image1, x + w + 4, y + h / 2), rgb(YELLOW));  // shadow, right
    EXPECT_EQ(at(s, s.image1, x + w + 3, y + h / 2), rgb(0));
    // An empty substituted text is still framed: a box 4 pixels wide.
    EXPECT_EQ(b.width, 0);
    EXPECT_EQ(ink(s, s.image1, YELLOW).bottom(), 200 + h + 4);
    EXPECT_EQ(count_colour(s, s.image1, QRect(x + 5, 190, 300, 40), YELLOW), 0);
    // Frames go to the backdrop only: the persistent scene stays clean.
    EXPECT_EQ(count_colour(s, s.scene_bitmap, s.scene_bitmap.rect(), YELLOW), 0);
}

TEST_F(InfoTest, TextBlockLinesAtTruncatedSpacing) {
    TextBlock& b = m.text_blocks[0];
    b.in_use = 1;
    b.x = 30;
    b.y = 40;
    annotation_font_spec(b.font, m.text_block_font[0]);  // height -16
    b.font.colour = GREEN;
    m.text_block_lines[0] = {"H", "H", "H"};
    Draw_zhu_shi_s(m, s);
    // Tops of the three ink runs: the same glyph, so their distances are
    // those of the line offsets 0, 17 and 35.
    int tops[3], n = 0;
    for (int y = 0, prev = 0; y < 300 && n < 3; ++y) {
        const int row = count_colour(s, s.image1, QRect(0, y, 400, 1), GREEN);
        if (row > 0 && prev == 0) tops[n++] = y;
        prev = row;
    }
    ASSERT_EQ(n, 3);
    EXPECT_EQ(tops[1] - tops[0], 17);
    EXPECT_EQ(tops[2] - tops[1], 18);
}

TEST_F(InfoTest, PointMarkerTrailOnlyWhileRunningAndLabel) {
    Point& p = point(0, "P", 0, 0);
    p.show_trail = 1;
    Draw_gu_ding_dian(m, s);
    EXPECT_EQ(at(s, s.image1, 200, 150), rgb(GREEN));
    EXPECT_GT(count_colour(s, s.image1, QRect(196, 146, 8, 8), 0x969696), 8);  // outline
    // Dragged while stopped: the old marker goes, no trail.
    p.x = 500;
    Draw_gu_ding_dian(m, s);
    EXPECT_EQ(at(s, s.image1, 200, 150), rgb(0));
    EXPECT_EQ(p.last_screen_x, 250);
    EXPECT_EQ(count_colour(s, s.scene_bitmap, s.scene_bitmap.rect(), GREEN), 0);
    // Running: a trail from the last screen position, persistent in scene_bitmap.
    m.running = true;
    p.x = 1500;
    m.point_texts[0][PT_LABEL] = "P";
    p.font.colour = BLUE;
    Draw_gu_ding_dian(m, s);
    EXPECT_EQ(count_colour(s, s.scene_bitmap, QRect(250, 150, 100, 1), GREEN), 100);
    EXPECT_EQ(count_colour(s, s.scene_bitmap, QRect(0, 151, 400, 149), GREEN), 0);
    const QRect label = ink(s, s.image1, BLUE);  // top-left corner at the marker's centre
    EXPECT_GE(label.left(), 350);
    EXPECT_GE(label.top(), 150);
    EXPECT_GT(p.label_width, 3);
}

TEST_F(InfoTest, PointVectorFromVariables) {
    Point& p = point(0, "P", 0, 0);
    p.show_vector = 1;
    m.point_texts[0][PT_VECTOR_X] = "vx";
    m.point_texts[0][PT_VECTOR_Y] = "vy";
    Draw_gdd_v(m, s, 0);  // neither variable exists: M = 0, no arrow
    EXPECT_EQ(count_colour(s, s.image1, s.image1.rect(), GREEN), 0);
    Text& a = variable("vx", "1");
    Text& b = variable("vy", "0");
    Draw_gdd_v(m, s, 0);  // 50 px to the right
    EXPECT_EQ(ink(s, s.image1, GREEN).right(), 250);
    s.image1.fill(0xFF000000u);
    p.polar = 1;
    a = "2";
    b = "1.5707963267948966";  // magnitude 2 straight up
    Draw_gdd_v(m, s, 0);
    EXPECT_EQ(ink(s, s.image1, GREEN).top(), 50);
    EXPECT_LE(ink(s, s.image1, GREEN).width(), 12);
}

// Text drawn with a stored font at (2, 2) on black, probed by its ink.
struct Ink {
    int count = 0, widest_row = 0, other = 0;  // other: neither the text's colour nor black
    int first_row = -1;                        // ink of the topmost inked row
    QRect box;
};
Ink text_ink(const FontSpec& spec, const Text& face, const QString& text) {
    QImage im(80, 30, QImage::Format_RGB32);
    im.fill(0xFF000000u);
    Canvas c;
    canvas_attach(c, &im);
    set_font(c, font_from_spec(spec, face), GREEN);
    set_brush_clear(c);
    text_out(c, 2, 2, text);
    canvas_end(c);
    Ink ink;
    for (int y = 0; y < im.height(); ++y) {
        int row = 0;
        for (int x = 0; x < im.width(); ++x) {
            const QRgb v = im.pixel(x, y) | 0xFF000000u;
            // Ink: at least half of the green of the text (the glyphs are smoothed).
            if (qGreen(v) >= qGreen(to_rgb(GREEN)) / 2) {
                ++row;
                ink.box |= QRect(x, y, 1, 1);
            }
            ink.other += v != to_rgb(GREEN) && v != 0xFF000000u;
        }
        if (ink.first_row < 0 && row > 0) ink.first_row = row;
        ink.count += row;
        ink.widest_row = std::max(ink.widest_row, row);
    }
    return ink;
}

TEST(InfoFonts, ChineseTextUsesTheChineseFaceWhateverTheFaceAsked) {
    FontSpec spec{};
    spec.height = -16;
    const QString zh = QString::fromUtf8("中");
    const Ink song = text_ink(spec, utf8_to_gbk("宋体"), zh), arial = text_ink(spec, "Arial", zh);
    EXPECT_GT(song.other, 0);  // smoothed edges
    EXPECT_GT(song.count, 30);
    EXPECT_GE(song.box.width(), 10);
    EXPECT_LT(song.first_row, 4);  // the top of the middle stroke, not of a missing-glyph box
    EXPECT_EQ(arial.count, song.count);
    EXPECT_EQ(arial.box.width(), song.box.width());
}

TEST(InfoFonts, StyleBitsHeightsAndStandInFaces) {
    FontSpec spec{};
    spec.height = -16;
    const QString strokes = QStringLiteral("llllllll");
    const Ink plain = text_ink(spec, "Arial", strokes);
    EXPECT_LE(plain.widest_row, 16);  // eight separate strokes
    spec.style = STYLE_BOLD;
    EXPECT_GT(text_ink(spec, "Arial", strokes).count, plain.count);
    spec.style = STYLE_UNDERLINE;
    EXPECT_GT(text_ink(spec, "Arial", strokes).widest_row, 22);
    spec.style = STYLE_STRIKE_OUT;
    EXPECT_GT(text_ink(spec, "Arial", strokes).widest_row, 22);
    spec.style = STYLE_ITALIC;
    EXPECT_NE(text_ink(spec, "Arial", strokes).box, plain.box);
    // A positive height is the whole cell: smaller glyphs than the same
    // negative (character) height.
    spec.height = 20;
    EXPECT_LT(font_from_spec(spec, "Arial").pixelSize(), 20);
    // Faces that are not installed.
    auto family = [&](const char* face) { return font_from_spec(spec, utf8_to_gbk(face)).families().value(0); };
    const QString chinese = QString::fromUtf8(CHINESE_FACE);
    EXPECT_EQ(family("华文楷体"), chinese);
    EXPECT_EQ(family("@宋体"), chinese);  // vertical variant
    EXPECT_EQ(family("Tahoma"), QStringLiteral("Liberation Sans"));
    spec.pitch = 1;
    EXPECT_EQ(family("Fixedsys"), QStringLiteral("Liberation Mono"));
    spec.charset = 134;  // GB2312
    EXPECT_EQ(family("Fixedsys"), chinese);
}

}  // namespace
}  // namespace quorrel
