#include <gtest/gtest.h>

#include <QFontMetrics>

#include "model/gbk.h"
#include "render/annotations.h"
#include "render/fonts.h"
#include "render/measurements.h"
#include "render/points.h"
#include "render_support.h"

namespace quorrel {
namespace {
using namespace test;

constexpr Colour YELLOW = 0x00FFFF;
constexpr Colour GREEN = 0x00FF00;
constexpr Colour BLUE = 0xFF0000;

// Bounding box of the pixels of colour c (empty when there are none).
QRect ink(Scene& s, const QImage& im, Colour c) {
    scene_end(s);
    QRect box;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            if ((im.pixel(x, y) | 0xFF000000u) == to_rgb(c)) box |= QRect(x, y, 1, 1);
    return box;
}

struct InfoTest : ::testing::Test {
    std::unique_ptr<Model> model = plain_model();
    Model& m = *model;
    Scene s;
    void SetUp() override { scene_init(s, 400, 300); }

    // Origin (200, 150), 10 world units per pixel.
    Measurement& measurement(int i, int type, const char* caption) {
        Measurement& ms = m.measurements[i];
        ms.type = type;
        ms.label_x = 20;
        ms.label_y = 20 + 30 * i;
        ms.colour = YELLOW;
        ms.value = 2.5;
        m.measurement_texts[i][MT_CAPTION] = caption;
        return ms;
    }
    Point& point(int i, const char* name, double x, double y) {
        Point& p = m.points[i];
        p.kind = 1;
        p.x = x;
        p.y = y;
        p.colour = GREEN;
        p.vector_scale = 1.0;
        label3_font_spec(p.font, m.point_texts[i][PT_FONT_NAME]);
        m.point_texts[i][PT_NAME] = name;
        return p;
    }
    Text& variable(const char* name, const char* value) {
        const int i = m.variable_count++;
        m.variable_texts[i][VT_NAME] = name;
        return m.variable_texts[i][VT_VALUE] = value;
    }
    Annotation& annotation(int i, const char* text, int in_use) {
        Annotation& a = m.annotations[i];
        a.x = 60;
        a.y = 60;
        a.in_use = in_use;
        label3_font_spec(a.font, m.annotation_font[i]);
        a.font.colour = YELLOW;
        m.annotation_text[i] = text;
        return a;
    }
};

TEST_F(InfoTest, MeasurementsByType) {
    // -1 hidden; 1 label only, even with lines on; 2 dotted line between a
    // moving object and a point; 2 with a name matching nothing: no line.
    measurement(0, -1, "hidden").show_lines = 1;
    measurement(1, 1, "t = ").show_lines = 1;
    Measurement& d = measurement(2, 2, "d = ");
    d.show_lines = 1;
    d.kind1 = 1;
    d.kind2 = 2;
    m.measurement_texts[2][MT_POINT1] = "ball";
    m.measurement_texts[2][MT_POINT2] = "P";
    measurement(3, 2, "").show_lines = 1;
    m.measurements[3].kind1 = m.measurements[3].kind2 = 2;
    m.measurement_texts[3][MT_POINT1] = "P";
    m.measurement_texts[3][MT_POINT2] = "nowhere";
    m.measurements[3].label_y = 250;
    add_body(m, 0, -1000, -500);  // pixel (100, 200)
    m.object_texts[0].name = "ball";
    point(0, "P", 1000, -500);  // pixel (300, 200)

    Draw_du_lianxian(m, s, 0);
    Draw_du_liang(m, s, 0);
    EXPECT_EQ(count_colour(s, s.image1, QRect(0, 15, 400, 25), YELLOW), 0);
    EXPECT_GT(count_colour(s, s.image1, QRect(20, 50, 60, 20), YELLOW), 10);
    EXPECT_EQ(m.measurements[1].label_height, s.fonts.measurement_label_height);
    EXPECT_GT(m.measurements[1].label_width, 10);
    // Dotted: about half of the 200 pixels of the row.
    const int dots = count_colour(s, s.image1, QRect(100, 200, 200, 1), YELLOW);
    EXPECT_GT(dots, 80);
    EXPECT_LT(dots, 120);
    EXPECT_EQ(count_colour(s, s.image1, QRect(0, 100, 400, 140), YELLOW), dots);  // no other line
    EXPECT_EQ(s.canvas.pen_style, PenStyle::Solid);
}

TEST_F(InfoTest, ShortenedLabelClearsItsOldAreaInMode1) {
    measurement(0, 1, "a long caption = ");
    Draw_du_liang(m, s, 0);
    const int long_width = m.measurements[0].label_width;
    m.measurement_texts[0][MT_CAPTION] = "";
    Draw_du_liang(m, s, 1);
    const QRect box = ink(s, s.image1, YELLOW);
    EXPECT_LE(box.right(), 20 + m.measurements[0].label_width);
    EXPECT_LT(m.measurements[0].label_width, long_width / 2);
}

TEST_F(InfoTest, ErasableLinesAndVectorsVanishWhenDrawnTwice) {
    m.settings.background_colour = 0x203040;
    s.image1.fill(to_rgb(0x203040));
    Measurement& d = measurement(0, 3, "");
    d.show_lines = 1;
    d.kind1 = d.kind2 = d.kind3 = 2;
    m.measurement_texts[0][MT_POINT1] = "A";
    m.measurement_texts[0][MT_POINT2] = "B";
    m.measurement_texts[0][MT_POINT3] = "C";
    point(0, "A", -500, 300).show_vector = 1;
    point(1, "B", 700, -200);
    point(2, "C", 1500, 900);
    variable("fx", "3");
    variable("fy", "-4");
    m.point_texts[0][PT_VECTOR_X] = "fx";
    m.point_texts[0][PT_VECTOR_Y] = "fy";
    const QImage before = s.image1.copy();
    Draw_du_lianxian(m, s, 1);
    Draw_gdd_v(m, s, 1);
    scene_end(s);
    EXPECT_NE(s.image1, before);
    Draw_gdd_v(m, s, 1);
    Draw_du_lianxian(m, s, 1);
    scene_end(s);
    EXPECT_EQ(s.image1, before);
}

TEST_F(InfoTest, FramedAnnotationWithShadowAndSubstitution) {
    Annotation& a = annotation(0, "v = {v}", 2);
    annotation(1, "", 2).width = -7;  // empty stored text: skipped entirely
    Annotation& b = annotation(2, "{gone}", 2);
    b.y = 200;
    s.substitute = [](void*, Model&, const Text& in, Text& out) {
        out = in == "{gone}" ? Text() : in;
        const auto at = out.find("{v}");
        if (at != Text::npos) out.replace(at, 3, "12345");
    };
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
    // An empty substituted text is still framed: a box of width 4 at y = 200.
    EXPECT_EQ(b.width, 0);
    EXPECT_EQ(count_colour(s, s.image1, QRect(x + 5, 190, 300, 40), YELLOW), 0);
    EXPECT_GT(count_colour(s, s.image1, QRect(x - 2, 198, 7, 23), YELLOW), 20);
    // Frames go to the backdrop only: the persistent scene stays clean.
    EXPECT_EQ(count_colour(s, s.scene_bitmap, s.scene_bitmap.rect(), YELLOW), 0);
}

TEST_F(InfoTest, TextBlockLinesAtTruncatedSpacing) {
    TextBlock& b = m.text_blocks[0];
    b.in_use = 1;
    b.x = 30;
    b.y = 40;
    label3_font_spec(b.font, m.text_block_font[0]);
    b.font.colour = GREEN;
    m.text_block_lines[0] = {"H", "H", "H"};
    Draw_zhu_shi_s(m, s);
    scene_end(s);
    // Tops of the three ink runs: the same glyph, so their distances are the
    // line offsets' distances (0, 17, 35).
    int tops[3], n = 0;
    bool prev = false;
    for (int y = 0; y < 300 && n < 3; ++y) {
        const bool row = count_colour(s, s.image1, QRect(0, y, 400, 1), GREEN) > 0;
        if (row && !prev) tops[n++] = y;
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
    EXPECT_EQ(p.last_screen_x, 200);
    // Dragged while stopped: the old marker goes, no trail.
    p.x = 500;
    Draw_gu_ding_dian(m, s);
    EXPECT_EQ(at(s, s.image1, 200, 150), rgb(0));
    EXPECT_EQ(count_colour(s, s.scene_bitmap, s.scene_bitmap.rect(), GREEN), 0);
    // Running: a trail from the last screen position, persistent in scene_bitmap.
    m.running = true;
    p.x = 1500;
    m.point_texts[0][PT_LABEL] = "P";
    p.font.colour = BLUE;
    Draw_gu_ding_dian(m, s);
    EXPECT_EQ(count_colour(s, s.scene_bitmap, QRect(250, 150, 100, 1), GREEN), 100);
    EXPECT_EQ(count_colour(s, s.scene_bitmap, QRect(0, 151, 400, 149), GREEN), 0);
    const QRect label = ink(s, s.image1, BLUE);
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
    const QRect up = ink(s, s.image1, GREEN);
    EXPECT_EQ(up.top(), 50);
    EXPECT_LE(up.width(), 12);
}

// Text probes: ink only in the font colour and within the expected box.
TEST(InfoFonts, ChineseTextUsesTheChineseFaceWhateverTheFaceAsked) {
    const QString zh = QString::fromUtf8("中文");
    int counts[2];
    int widths[2];
    const char* faces[2] = {"\xcb\xce\xcc\xe5", "Arial"};  // 宋体 and a Latin face
    for (int k = 0; k < 2; ++k) {
        QImage im(60, 30, QImage::Format_RGB32);
        im.fill(0xFF000000u);
        Canvas c;
        canvas_attach(c, &im);
        FontSpec spec{};
        spec.height = -16;
        set_font(c, font_from_spec(spec, faces[k]), GREEN);
        set_brush_clear(c);
        text_out(c, 0, 0, zh);
        canvas_end(c);
        int n = 0, other = 0;
        QRect box;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 60; ++x) {
                const QRgb v = im.pixel(x, y) | 0xFF000000u;
                if (v == to_rgb(GREEN)) {
                    ++n;
                    box |= QRect(x, y, 1, 1);
                } else if (v != 0xFF000000u) {
                    ++other;
                }
            }
        EXPECT_EQ(other, 0);  // no anti-aliased edges
        counts[k] = n;
        widths[k] = box.width();
    }
    // Two 16 px ideographs: dense strokes, not hollow boxes; the same glyphs
    // for both faces.
    EXPECT_GT(counts[0], 60);
    EXPECT_EQ(counts[0], counts[1]);
    EXPECT_EQ(widths[0], widths[1]);
    EXPECT_GT(widths[0], 24);
}

TEST(InfoFonts, StyleBitsChangeTheInk) {
    auto draw = [](std::uint8_t style, int& ink, int& widest_row) {
        QImage im(80, 30, QImage::Format_RGB32);
        im.fill(0xFF000000u);
        Canvas c;
        canvas_attach(c, &im);
        FontSpec spec{};
        spec.height = -16;
        spec.style = style;
        set_font(c, font_from_spec(spec, "Arial"), GREEN);
        set_brush_clear(c);
        text_out(c, 2, 2, QStringLiteral("llllllll"));
        canvas_end(c);
        ink = widest_row = 0;
        for (int y = 0; y < 30; ++y) {
            int row = 0;
            for (int x = 0; x < 80; ++x) row += (im.pixel(x, y) | 0xFF000000u) == to_rgb(GREEN);
            ink += row;
            widest_row = std::max(widest_row, row);
        }
        return im;
    };
    int plain, plain_row, bold, bold_row, under, under_row, strike, strike_row, italic, italic_row;
    const QImage regular = draw(0, plain, plain_row);
    draw(STYLE_BOLD, bold, bold_row);
    draw(STYLE_UNDERLINE, under, under_row);
    draw(STYLE_STRIKE_OUT, strike, strike_row);
    const QImage slanted = draw(STYLE_ITALIC, italic, italic_row);
    EXPECT_GT(bold, plain);
    EXPECT_LE(plain_row, 16);  // eight separate strokes
    EXPECT_GT(under_row, 22);
    EXPECT_GT(strike_row, 22);
    EXPECT_NE(slanted, regular);
}

TEST(InfoFonts, UnknownFacesAndHeightConventions) {
    FontSpec spec{};
    spec.height = -16;
    auto family = [&](const char* face_utf8) {
        return font_from_spec(spec, utf8_to_gbk(face_utf8)).families().value(0);
    };
    const QString chinese = QString::fromUtf8(CHINESE_FACE);
    EXPECT_EQ(family("华文楷体"), chinese);  // not installed, Chinese name
    EXPECT_EQ(family("@宋体"), chinese);     // vertical variant
    EXPECT_EQ(family("Tahoma"), QStringLiteral("Liberation Sans"));
    spec.pitch = 1;
    EXPECT_EQ(family("Fixedsys"), QStringLiteral("Liberation Mono"));
    spec.charset = 134;  // GB2312: a Chinese face whatever the name
    EXPECT_EQ(family("Fixedsys"), chinese);
    // A positive height is the whole cell: the glyphs come out smaller than
    // with the same negative (character) height.
    spec.height = 20;
    const QFont cell = font_from_spec(spec, "Arial");
    EXPECT_LT(cell.pixelSize(), 20);
    EXPECT_LE(QFontMetrics(cell).height(), 21);
}

}  // namespace
}  // namespace quorrel
