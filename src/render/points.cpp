#include "render/points.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "model/numtext.h"
#include "render/canvas.h"
#include "render/fonts.h"
#include "render/vectors.h"

namespace quorrel {
namespace {

using i64 = std::int64_t;

constexpr Colour MARKER_OUTLINE = 0x969696;
constexpr double ARROW_CAP = 1200.0;
constexpr double BARB_ANGLE = 0.22;

// The number a variable named `name` holds; 0 when there is no such variable
// or its value is not a number.
double variable_number(const Model& m, const Text& name) {
    const int v = find_variable(m, name);
    double value = 0.0;
    if (v < 0 || !parse_number(m.variable_texts[v][VT_VALUE], value)) return 0.0;
    return value;
}

void point_label(Model& m, Scene& s, int i, int ox, int oy, ScreenXY at) {
    const Text& stored = m.point_texts[i][PT_LABEL];
    if (stored.empty()) return;
    Point& p = m.points[i];
    Canvas& c = s.canvas;
    set_brush_clear(c);
    const LabelFont f = label_font(p.font, m.point_texts[i][PT_FONT_NAME], m.settings.background_colour);
    set_font(c, cached_font(s.info.point_font[i], f.spec, *f.face), f.spec.colour);
    const QString& text = cached_text(s.info.point_label[i], substitute_text(m, s, stored));
    if (text.isEmpty()) return;
    const int w = cached_width(s.info.point_label[i], c);
    // The label sat at the old marker position with its old width.
    restore_box(c, s.scene_bitmap, ox, oy, i64{ox} + p.label_width + 4, oy + font_height_px(f.spec) + 2);
    p.label_width = w;
    text_out(c, at.x, at.y, text);
}

}  // namespace

void Draw_gu_ding_dian(Model& m, Scene& s) {
    Canvas& c = s.canvas;
    for (int i = 0; i < MAX_POINTS && m.points[i].kind != 0; ++i) {
        Point& p = m.points[i];
        const ScreenXY at = to_screen(m, p.x, p.y);
        const int ox = p.last_screen_x, oy = p.last_screen_y;
        p.last_screen_x = at.x;
        p.last_screen_y = at.y;
        restore_box(c, s.scene_bitmap, i64{ox} - 5, i64{oy} - 5, i64{ox} + 6, i64{oy} + 6);

        set_pen_mode(c, PenMode::Copy);
        set_pen_style(c, PenStyle::Solid);
        set_pen(c, MARKER_OUTLINE, 1);
        set_brush(c, p.colour);
        ellipse(c, at.x - 4, at.y - 4, at.x + 4, at.y + 4);
        set_brush_clear(c);

        // The trail accumulates in scene_bitmap like an object's trail, as
        // segments between the unrounded positions (pixel p covers [p, p + 1)),
        // so that it stays smooth at any view scale; a point dragged while
        // stopped leaves none.
        const double px = world_px(m.settings, p.x) + 0.5, py = world_py(m.settings, p.y) + 0.5;
        if (p.show_trail == 1 && m.running) {
            double fx = s.point_trail_x[i], fy = s.point_trail_y[i];
            // A start outside the marker's last pixel (a new run, a point
            // moved since) is that pixel's centre.
            if (trunc_px(fx) != ox || trunc_px(fy) != oy) {
                fx = ox + 0.5;
                fy = oy + 0.5;
            }
            for (Canvas* t : {&s.scene_canvas, &c}) {
                set_pen_mode(*t, PenMode::Copy);
                set_pen_style(*t, PenStyle::Solid);
                set_pen(*t, p.colour, m.settings.line_width);
                line_f(*t, fx, fy, px, py);
            }
        }
        s.point_trail_x[i] = px;
        s.point_trail_y[i] = py;
        point_label(m, s, i, ox, oy, at);
    }
}

void Draw_gdd_v(const Model& m, Scene& s, int mode) {
    Canvas& c = s.canvas;
    const bool erasable = mode == 1;
    set_pen_mode(c, erasable ? PenMode::Xor : PenMode::Copy);
    set_pen_style(c, PenStyle::Solid);
    set_pen_width(c, m.settings.line_width);
    for (int i = 0; i < MAX_POINTS && m.points[i].kind != 0; ++i) {
        const Point& p = m.points[i];
        if (p.show_vector == 0) continue;
        const ScreenXY at = to_screen(m, p.x, p.y);
        set_pen_colour(c, erasable ? (p.colour ^ m.settings.background_colour) : p.colour);
        const double a = variable_number(m, m.point_texts[i][PT_VECTOR_X]);
        const double b = variable_number(m, m.point_texts[i][PT_VECTOR_Y]);
        Polar v{a, b};
        if (p.polar == 0) v = vector_polar(a, b);
        if (!(v.magnitude > 1e-50)) continue;
        const double L = std::min(v.magnitude / p.vector_scale * 50.0, ARROW_CAP);
        if (!std::isfinite(L) || !std::isfinite(v.angle)) continue;  // a damaged scale or angle draws nothing
        draw_full_arrow(c, at.x, at.y, L, v.angle, BARB_ANGLE, 0.0);
    }
    set_pen_mode(c, PenMode::Copy);
}

}  // namespace quorrel
