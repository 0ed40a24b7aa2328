#include "render/measurements.h"

#include <cstdint>

#include "model/numtext.h"
#include "model/units.h"
#include "render/canvas.h"
#include "render/fonts.h"

namespace quorrel {
namespace {

using i64 = std::int64_t;

constexpr std::int32_t TYPE_HIDDEN = -1;
constexpr std::int32_t TYPE_DISTANCE = 2;
constexpr std::int32_t TYPE_ANGLE = 3;
constexpr std::int32_t REF_OBJECT = 1;
constexpr std::int32_t REF_POINT = 2;

// Pixel position of reference k (0 to 2) of a measurement: a moving object or
// a point found by name. False when the kind is unknown or no element has that
// name, so no line is drawn to it.
bool reference(const Model& m, int i, int k, ScreenXY& out) {
    const Measurement& ms = m.measurements[i];
    const std::int32_t kinds[3] = {ms.kind1, ms.kind2, ms.kind3};
    const Text& name = m.measurement_texts[i][MT_POINT1 + k];
    if (kinds[k] == REF_OBJECT) {
        const int j = find_object(m, name);
        if (j < 0) return false;
        out = to_screen(m, m.objects[j].x, m.objects[j].y);
        return true;
    }
    if (kinds[k] == REF_POINT) {
        const int j = find_point(m, name);
        if (j < 0) return false;
        out = to_screen(m, m.points[j].x, m.points[j].y);
        return true;
    }
    return false;
}

void dotted_segment(const Model& m, Canvas& c, int i, int from, int to) {
    ScreenXY a{}, b{};
    if (reference(m, i, from, a) && reference(m, i, to, b)) line(c, a.x, a.y, b.x, b.y);
}

}  // namespace

void Draw_du_liang(Model& m, Scene& s, int mode) {
    Canvas& c = s.canvas;
    set_brush_clear(c);
    const int h = s.fonts.measurement_label_height;
    Text& label = s.info.scratch;
    for (int i = 0; i < MAX_MEASUREMENTS && m.measurements[i].type != 0; ++i) {
        Measurement& ms = m.measurements[i];
        if (ms.type == TYPE_HIDDEN) continue;
        set_font(c, s.fonts.measurement, label_colour(ms.colour, m.settings.background_colour));
        label.assign(m.measurement_texts[i][MT_CAPTION]);
        label += format_g(ms.value, m.digits);
        const char* unit = s.show_units ? reading_unit(ms) : nullptr;
        const QString& text = cached_text(s.info.measurement_label[i], label, unit);
        const int w = cached_width(s.info.measurement_label[i], c);
        const i64 x = ms.label_x, y = ms.label_y;
        // Mode 1 clears the area of the previous size (the label may have
        // shrunk since), mode 0 the area of the new text.
        const i64 rw = mode == 1 ? ms.label_width : w;
        const i64 rh = mode == 1 ? ms.label_height : h;
        ms.label_width = w;
        ms.label_height = h;
        restore_box(c, s.scene_bitmap, x, y, x + rw + 1, y + rh + 1);
        text_out(c, ms.label_x, ms.label_y, text);
    }
}

void Draw_du_lianxian(const Model& m, Scene& s, int mode) {
    Canvas& c = s.canvas;
    set_pen_width(c, 1);
    set_pen_mode(c, mode == 1 ? PenMode::Xor : PenMode::Copy);
    for (int i = 0; i < MAX_MEASUREMENTS && m.measurements[i].type != 0; ++i) {
        const Measurement& ms = m.measurements[i];
        if (ms.show_lines == 0 || ms.type == TYPE_HIDDEN) continue;
        if (ms.type != TYPE_DISTANCE && ms.type != TYPE_ANGLE) continue;
        set_pen_colour(c, ms.colour);
        set_pen_style(c, PenStyle::Dot);
        dotted_segment(m, c, i, 0, 1);
        if (ms.type == TYPE_ANGLE) dotted_segment(m, c, i, 1, 2);  // the angle is at reference 2
        set_pen_style(c, PenStyle::Solid);
    }
    set_pen_mode(c, PenMode::Copy);
    set_pen_width(c, m.settings.line_width);
}

}  // namespace quorrel
