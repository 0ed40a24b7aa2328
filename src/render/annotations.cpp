#include "render/annotations.h"

#include <QPoint>
#include <cmath>
#include <cstdint>

#include "model/gbk.h"
#include "render/canvas.h"
#include "render/fonts.h"

namespace quorrel {
namespace {

using i64 = std::int64_t;

constexpr std::int32_t FRAMED = 2;

// Clamps a coordinate computed in 64 bits back to the canvas's int range;
// anything this far off lies outside every picture anyway.
int px(i64 v) {
    constexpr i64 LIM = i64{1} << 24;
    return static_cast<int>(v < -LIM ? -LIM : (v > LIM ? LIM : v));
}

// The frame and drop shadow of a framed annotation, into the backdrop.
void draw_frame(Scene& s, Colour colour, i64 x, i64 y, i64 w, i64 h) {
    Canvas& c = s.backdrop_canvas;
    set_pen_mode(c, PenMode::Copy);
    set_pen_style(c, PenStyle::Solid);
    set_pen(c, colour, 1);
    set_brush_clear(c);
    rectangle(c, px(x - 2), px(y - 2), px(x + w + 2), px(y + h + 2));
    const QPoint shadow[5] = {{px(x + 1), px(y + h + 1)},
                              {px(x + 1), px(y + h + 4)},
                              {px(x + w + 4), px(y + h + 4)},
                              {px(x + w + 4), px(y + 1)},
                              {px(x + w + 1), px(y + 1)}};
    polyline(c, shadow, 5);
}

bool any_framed(const Model& m) {
    for (int i = 0; i < MAX_ANNOTATIONS && m.annotations[i].in_use != 0; ++i)
        if (m.annotations[i].in_use == FRAMED && !m.annotation_text[i].empty()) return true;
    return false;
}

}  // namespace

void Draw_zhu_shi(Model& m, Scene& s, int mode) {
    Canvas& c = s.canvas;
    set_brush_clear(c);
    // Texts are restored from the backdrop, which differs from scene_bitmap
    // only by the frames. Only the boxes the texts are restored from are
    // refreshed from scene_bitmap (not the whole picture, every frame), and
    // all of them before any frame is drawn, so a box shows the frames of the
    // lower slots exactly as a whole refreshed backdrop would.
    const bool framed = any_framed(m);
    std::int32_t widths[MAX_ANNOTATIONS];
    const auto font_of = [&](int i) {
        return label_font(m.annotations[i].font, m.annotation_font[i], m.settings.background_colour);
    };
    const auto use_font = [&](int i) {
        const LabelFont f = font_of(i);
        set_font(c, cached_font(s.info.annotation_font[i], f.spec, *f.face), f.spec.colour);
    };
    // Font, text and width of annotation i; the text's {…} are evaluated once
    // a call, framed or not.
    const auto prepare = [&](int i) {
        use_font(i);
        cached_text(s.info.annotation_text[i], substitute_text(m, s, m.annotation_text[i]));
        widths[i] = cached_width(s.info.annotation_text[i], c);
    };
    for (int i = 0; framed && i < MAX_ANNOTATIONS && m.annotations[i].in_use != 0; ++i) {
        if (m.annotation_text[i].empty()) continue;
        const Annotation& a = m.annotations[i];
        prepare(i);
        const i64 rw = mode == 1 ? a.width : widths[i], h = font_height_px(font_of(i).spec);
        restore_box(s.backdrop_canvas, s.scene_bitmap, i64{a.x} - 2, i64{a.y} - 2, a.x + rw + 5, a.y + h + 5);
    }
    const QImage& clean = framed ? s.annotation_backdrop : s.scene_bitmap;
    for (int i = 0; i < MAX_ANNOTATIONS && m.annotations[i].in_use != 0; ++i) {
        if (m.annotation_text[i].empty()) continue;
        Annotation& a = m.annotations[i];
        if (framed)
            use_font(i);
        else
            prepare(i);
        const i64 w = widths[i];
        const LabelFont f = font_of(i);
        const i64 h = font_height_px(f.spec);
        const i64 x = a.x, y = a.y;
        const i64 rw = mode == 1 ? a.width : w;
        a.width = static_cast<std::int32_t>(w);
        if (a.in_use == FRAMED) draw_frame(s, f.spec.colour, x, y, w, h);
        restore_box(c, clean, x - 2, y - 2, x + rw + 5, y + h + 5);
        text_out(c, a.x, a.y, s.info.annotation_text[i].text);
    }
}

void Draw_zhu_shi_s(const Model& m, Scene& s) {
    Canvas& c = s.canvas;
    set_brush_clear(c);
    for (int i = 0; i < MAX_TEXT_BLOCKS && m.text_blocks[i].in_use != 0; ++i) {
        const TextBlock& b = m.text_blocks[i];
        const LabelFont f = label_font(b.font, m.text_block_font[i], m.settings.background_colour);
        set_font(c, cached_font(s.info.block_font[i], f.spec, *f.face), f.spec.colour);
        const double spacing = static_cast<double>(f.spec.height) * 1.1;
        const std::vector<Text>& lines = m.text_block_lines[i];
        for (std::size_t j = 0; j < lines.size(); ++j) {
            const int top = trunc_px(std::fabs(spacing * static_cast<double>(j)) + b.y);
            text_out(c, b.x, top, QString::fromStdString(gbk_to_utf8(lines[j])));
        }
    }
}

}  // namespace quorrel
