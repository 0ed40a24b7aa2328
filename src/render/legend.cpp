#include "render/legend.h"

#include <QString>
#include <algorithm>
#include <cmath>

#include "render/canvas.h"
#include "render/fonts.h"
#include "render/vectors.h"

namespace quorrel {
namespace {

// The vector flags of one kind and the entry of its colour (-1 velocity,
// -2 acceleration, else the force colour entry).
struct Kind {
    const char* name;
    int flag_first, flag_last;  // flags [first, last]
    int colour;
};
constexpr Kind KINDS[MAX_LEGEND_ENTRIES] = {
    {"速度", VEC_V, VEC_VY, -1},
    {"加速度", VEC_A, VEC_AY, -2},
    {"重力", VEC_GRAVITY, VEC_GRAVITY, 2},
    {"人为外力", VEC_APPLIED, VEC_APPLIED, 0},
    {"电场力", VEC_ELECTRIC, VEC_ELECTRIC, 3},
    {"洛仑兹力", VEC_LORENTZ, VEC_LORENTZ, 5},
    {"弹簧弹力", VEC_SPRING, VEC_SPRING, 7},
    {"支持力", VEC_NORMAL, VEC_NORMAL, 8},
    {"摩擦力", VEC_FRICTION, VEC_FRICTION, 9},
    {"绳子和刚杆的力", VEC_ROPE_ROD, VEC_ROPE_ROD, 10},
    {"合力", VEC_RESULTANT, VEC_RESULTANT, 1},
};

// Design sizes of the legend, in its own pixels (scaled with the view).
constexpr int FONT_PX = 14;
constexpr int ROW = 20;
constexpr int PAD = 6;
constexpr int SAMPLE = 30;  // arrow sample length
constexpr int GAP = 8;      // from the picture's corner

bool shows(const MovingObject& o, const Kind& k) {
    const bool forces = k.colour >= 0;
    if (forces && (o.kind == KIND_PLANK || o.kind == KIND_INCLINE)) return false;  // they draw no forces
    for (int f = k.flag_first; f <= k.flag_last; ++f)
        if (o.live_vector_flags[f] || o.strobe_vector_flags[f]) return true;
    return false;
}

}  // namespace

int legend_entries(const Model& m, LegendEntry (&out)[MAX_LEGEND_ENTRIES]) {
    int n = 0;
    for (const Kind& k : KINDS) {
        bool any = false;
        for (int i = 0; i < MAX_OBJECTS && m.objects[i].kind != KIND_NONE && !any; ++i) any = shows(m.objects[i], k);
        if (!any) continue;
        const Settings& st = m.settings;
        const Colour c = k.colour == -1 ? st.v_colour : k.colour == -2 ? st.a_colour : st.force_colours[k.colour];
        out[n++] = {k.name, c};
    }
    return n;
}

void draw_legend(const Model& m, Scene& s) {
    if (!s.show_legend || s.canvas.measuring || s.image1.isNull()) return;
    LegendEntry rows[MAX_LEGEND_ENTRIES];
    const int n = legend_entries(m, rows);
    if (n == 0) return;
    Canvas& c = s.canvas;
    const QFont font = scene_font("宋体", FONT_PX);
    set_font(c, font, m.settings.axes_colour);
    int text_w = 0;
    for (int i = 0; i < n; ++i) text_w = std::max(text_w, text_width(c, QString::fromUtf8(rows[i].name)));
    const int w = PAD + SAMPLE + PAD + text_w + PAD, h = PAD + n * ROW + PAD;

    // The legend's own view: as large as the scene's text, never smaller
    // than at 1:1, in the picture's top right corner.
    const double old_scale = c.scale;
    const int old_dx = c.dx, old_dy = c.dy;
    const double u = std::max(s.view.scale(), s.view.pixel_ratio);
    canvas_set_view(c, u, s.image1.width() - static_cast<int>(std::lround((w + GAP) * u)),
                    static_cast<int>(std::lround(GAP * u)));

    set_pen_mode(c, PenMode::Copy);
    set_pen_style(c, PenStyle::Solid);
    set_pen(c, m.settings.axes_colour, 1);
    set_brush(c, m.settings.background_colour);
    rectangle(c, 0, 0, w, h);
    set_brush_clear(c);
    for (int i = 0; i < n; ++i) {
        const int y = PAD + i * ROW + ROW / 2;
        set_pen(c, rows[i].colour, 2);
        draw_full_arrow(c, PAD, y, SAMPLE, 0.0, 0.35, 0.0);
        text_out(c, PAD + SAMPLE + PAD, y - text_height(c) / 2, QString::fromUtf8(rows[i].name));
    }
    set_pen_width(c, m.settings.line_width);
    canvas_set_view(c, old_scale, old_dx, old_dy);
}

}  // namespace quorrel
