#include "render/connectors.h"

#include <QPoint>
#include <cmath>

#include "model/mapping.h"
#include "model/vec.h"
#include "render/canvas.h"

namespace quorrel {
namespace {

constexpr Colour SPRING = 0xB49696;
constexpr Colour ROPE = 0xB4A0A0;
constexpr Colour ROD = 0xAFAFAF;

constexpr int TEETH = 20;
// Half the width of a spring's zig-zag, in pixels.
constexpr double COIL = 5.0;
// Beyond this a spring's points are drawn segment by segment, so the
// canvas cuts each far-off segment itself.
constexpr int POLYLINE_LIMIT = 1 << 20;

// An object index stored as a real, cut toward zero; false for NaN, a
// value at or below -1 or too large, or a slot beyond the last moving object.
bool object_at(double index, int count, int& slot) {
    // Like the engine: anything above -1 cuts to a slot, so -0.5 is slot 0.
    if (!(index > -1.0 && index < static_cast<double>(count))) return false;
    slot = static_cast<int>(index);
    return true;
}

QPoint screen_of(const Model& m, int slot) {
    return {m.objects[slot].screen_x, m.objects[slot].screen_y};
}

// Pen for one routine: the connector's colour and width, exclusive-or in mode 1.
void connector_pen(Canvas& c, int mode, Colour colour, int width) {
    set_pen_style(c, PenStyle::Solid);
    set_pen_mode(c, mode == 1 ? PenMode::Xor : PenMode::Copy);
    set_pen(c, colour, width);
}

// Unrounded pixel position of a fixed anchor.
void anchor_pixel(const Settings& st, double x, double y, double& ax, double& ay) {
    ax = world_px(st, x);
    ay = world_py(st, y);
}

// A small slanted cross marking a fixed anchor.
void anchor_mark(Canvas& c, double ax, double ay) {
    line(c, trunc_px(ax - 4), trunc_px(ay - 4), trunc_px(ax + 5), trunc_px(ay + 5));
    line(c, trunc_px(ax + 4), trunc_px(ay - 4), trunc_px(ax - 5), trunc_px(ay + 5));
}

// A zig-zag of 20 teeth, 10 pixels wide, from near the anchor (ax, ay) to
// the object at (sx, sy); nothing joins the anchor to the first tooth.
void spring(Canvas& c, double ax, double ay, double sx, double sy) {
    const double dx = ax - sx, dy = ay - sy;
    const double d = length(dx, dy);
    double alpha;
    if (std::fabs(dy) >= 1e-50) {
        alpha = std::asin(dy / d);
        if (dx < 0) alpha = PI - alpha;
    } else {
        alpha = dx >= 0 ? 0.0 : PI;
    }
    alpha += PI / 2;
    const double nx = COIL * std::cos(alpha), ny = COIL * std::sin(alpha);

    QPoint pts[2 * TEETH];
    bool far = false;
    for (int k = 1; k <= TEETH; ++k) {
        const int qx = trunc_px(ax - dx * 0.05 * k), qy = trunc_px(ay - dy * 0.05 * k);
        pts[2 * k - 2] = QPoint(trunc_px(qx + nx), trunc_px(qy + ny));
        pts[2 * k - 1] = QPoint(trunc_px(qx - nx), trunc_px(qy - ny));
        far = far || std::abs(qx) > POLYLINE_LIMIT || std::abs(qy) > POLYLINE_LIMIT;
    }
    if (!far) {
        polyline(c, pts, 2 * TEETH);
        return;
    }
    for (int i = 1; i < 2 * TEETH; ++i) line(c, pts[i - 1].x(), pts[i - 1].y(), pts[i].x(), pts[i].y());
}

// Ropes and rods from a fixed anchor to an object.
void anchored_links(const Model& m, Scene& s, const ElementList<AnchorLink>& table) {
    if (!std::isfinite(m.settings.scale) || m.settings.scale == 0.0) return;
    Canvas& c = s.canvas;
    const int count = object_count(m);
    for (int i = 0; i < MAX_ELEMENTS && table.rec[i].state != 0.0; ++i) {
        const AnchorLink& l = table.rec[i];
        int obj;
        if (!object_at(l.object, count, obj)) continue;
        double ax, ay;
        anchor_pixel(m.settings, l.anchor_x, l.anchor_y, ax, ay);
        const QPoint p = screen_of(m, obj);
        line(c, p.x(), p.y(), trunc_px(ax), trunc_px(ay));
        anchor_mark(c, ax, ay);
    }
}

// Ropes and rods between two objects.
void object_links(const Model& m, Scene& s, const ElementList<ObjectLink>& table) {
    Canvas& c = s.canvas;
    const int count = object_count(m);
    for (int i = 0; i < MAX_ELEMENTS && table.rec[i].state != 0.0; ++i) {
        int a, b;
        if (!object_at(table.rec[i].object_a, count, a) || !object_at(table.rec[i].object_b, count, b)) continue;
        const QPoint pa = screen_of(m, a), pb = screen_of(m, b);
        line(c, pa.x(), pa.y(), pb.x(), pb.y());
    }
}

}  // namespace

void Draw_TH(const Model& m, Scene& s, int mode) {
    Canvas& c = s.canvas;
    connector_pen(c, mode, SPRING, m.settings.line_width);
    if (std::isfinite(m.settings.scale) && m.settings.scale != 0.0) {
        const int count = object_count(m);
        for (int i = 0; i < MAX_ELEMENTS && m.TH.rec[i].stiffness != 0.0; ++i) {
            const AnchorSpring& t = m.TH.rec[i];
            int obj;
            if (!object_at(t.object, count, obj)) continue;
            double ax, ay;
            anchor_pixel(m.settings, t.anchor_x, t.anchor_y, ax, ay);
            const QPoint p = screen_of(m, obj);
            spring(c, ax, ay, p.x(), p.y());
            anchor_mark(c, ax, ay);
        }
    }
    set_pen_mode(c, PenMode::Copy);
}

void Draw_E_TH(const Model& m, Scene& s, int mode) {
    Canvas& c = s.canvas;
    connector_pen(c, mode, SPRING, m.settings.line_width);
    const int count = object_count(m);
    for (int i = 0; i < MAX_ELEMENTS && m.E_TH.rec[i].stiffness != 0.0; ++i) {
        int a, b;
        if (!object_at(m.E_TH.rec[i].object_a, count, a) || !object_at(m.E_TH.rec[i].object_b, count, b)) continue;
        // The axis runs from object B toward object A.
        const QPoint pa = screen_of(m, a), pb = screen_of(m, b);
        spring(c, pb.x(), pb.y(), pa.x(), pa.y());
    }
    set_pen_mode(c, PenMode::Copy);
}

void Draw_SH(const Model& m, Scene& s, int mode) {
    connector_pen(s.canvas, mode, ROPE, m.settings.line_width);
    anchored_links(m, s, m.SH);
    set_pen_mode(s.canvas, PenMode::Copy);
}

void Draw_E_SH(const Model& m, Scene& s, int mode) {
    connector_pen(s.canvas, mode, ROPE, m.settings.line_width);
    object_links(m, s, m.E_SH);
    set_pen_mode(s.canvas, PenMode::Copy);
}

void Draw_GAN(const Model& m, Scene& s, int mode) {
    connector_pen(s.canvas, mode, ROD, 2);
    anchored_links(m, s, m.GAN);
    set_pen_mode(s.canvas, PenMode::Copy);
    set_pen_width(s.canvas, m.settings.line_width);
}

void Draw_E_GAN(const Model& m, Scene& s, int mode) {
    connector_pen(s.canvas, mode, ROD, 2);
    object_links(m, s, m.E_GAN);
    set_pen_mode(s.canvas, PenMode::Copy);
    set_pen_width(s.canvas, m.settings.line_width);
}

}  // namespace quorrel
