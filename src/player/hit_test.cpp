#include "player/hit_test.h"

#include <QFontMetrics>
#include <QString>
#include <algorithm>
#include <cmath>

#include "engine/lookups.h"
#include "model/gbk.h"
#include "model/numtext.h"
#include "render/fonts.h"
#include "render/looks.h"
#include "render/vectors.h"

namespace quorrel {
namespace {

constexpr double ARROW_CAP = 1200.0;  // the longest point vector drawn, in pixels

double dist2(int ax, int ay, int bx, int by) {
    const double dx = static_cast<double>(ax) - bx, dy = static_cast<double>(ay) - by;
    return dx * dx + dy * dy;
}

// On the segment a-b: the two distances to its ends add up to its length
// within one pixel.
bool on_segment(int x, int y, ScreenXY a, ScreenXY b) {
    const double along = std::sqrt(dist2(x, y, a.x, a.y)) + std::sqrt(dist2(x, y, b.x, b.y));
    return along - std::sqrt(dist2(a.x, a.y, b.x, b.y)) <= 1.0;
}

bool object_slot(const Model& m, double index, int& slot) {
    if (!(index > -1.0 && index < static_cast<double>(object_count(m)))) return false;
    slot = static_cast<int>(index);
    return true;
}

ScreenXY object_screen(const Model& m, int i) {
    return {m.objects[i].screen_x, m.objects[i].screen_y};
}

double variable_value(const Model& m, const Text& name) {
    const int v = find_variable(m, name);
    double value = 0.0;
    if (v < 0 || !parse_number(m.variable_texts[v][VT_VALUE], value)) return 0.0;
    return value;
}

// Sign of the turn a -> b -> p.
double turn(double ax, double ay, double bx, double by, double px, double py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

// An incline's right triangle in pixels: its base spans x0 - 2W/3 .. x0 + W/3
// at y0 - H/3 (mirrored for orientation 1), the right angle under the top.
bool in_incline(const Model& m, const MovingObject& o, int x, int y) {
    const double W = o.width, H = o.height, base = o.y0 - H / 3.0, top = o.y0 + 2.0 * H / 3.0;
    const double sign = o.orientation == 0 ? 1.0 : -1.0;
    const double low_x = o.x0 - sign * 2.0 * W / 3.0, right_x = o.x0 + sign * W / 3.0;
    const Settings& st = m.settings;
    const double ax = world_px(st, low_x), ay = world_py(st, base);
    const double bx = world_px(st, right_x), by = ay;
    const double cx = bx, cy = world_py(st, top);
    const double d1 = turn(ax, ay, bx, by, x, y), d2 = turn(bx, by, cx, cy, x, y), d3 = turn(cx, cy, ax, ay, x, y);
    const bool neg = d1 < 0 || d2 < 0 || d3<0, pos = d1> 0 || d2 > 0 || d3 > 0;
    return !(neg && pos);
}

bool in_object(const Model& m, int i, int x, int y) {
    const MovingObject& o = m.objects[i];
    if (o.kind == KIND_INCLINE) return in_incline(m, o, x, y);
    const QImage& pic = m.object_pictures[i];
    QRect r;
    Look look;
    if (default_look(m, i, look)) {
        r = look_bounds(look);
    } else if (pic.isNull()) {
        const int rr = std::max(o.screen_radius, 1);
        r = QRect(o.screen_x - rr, o.screen_y - rr, 2 * rr, 2 * rr);
    } else {
        r = QRect(trunc_px(static_cast<double>(o.screen_x) + o.picture_dx),
                  trunc_px(static_cast<double>(o.screen_y) + o.picture_dy), pic.width(), pic.height());
    }
    return r.contains(x, y);
}

// A rectangle given by two world corners, in the static objects' pixels.
bool in_region(const Model& m, double x1, double y1, double x2, double y2, int x, int y) {
    const ScreenXY a = to_screen_trunc(m, x1, y1), b = to_screen_trunc(m, x2, y2);
    return x >= std::min(a.x, b.x) && x <= std::max(a.x, b.x) && y >= std::min(a.y, b.y) && y <= std::max(a.y, b.y);
}

int annotation_text_height(const Model& m, Scene& s, int i) {
    const LabelFont lf = label_font(m.annotations[i].font, m.annotation_font[i], m.settings.background_colour);
    return QFontMetrics(cached_font(s.info.annotation_font[i], lf.spec, *lf.face)).height();
}

// The connectors from an anchor (TH, SH, GAN): on the line to the object or
// within 6 pixels of the anchor.
template <class Rec>
int anchored_hit(const Model& m, const ElementList<Rec>& list, int table, int x, int y, ScreenXY& handle) {
    const int n = element_count(m, table);
    for (int k = 0; k < n; ++k) {
        const Rec& r = list.rec[k];
        const ScreenXY a = to_screen_trunc(m, r.anchor_x, r.anchor_y);
        int slot;
        const bool near_anchor = dist2(x, y, a.x, a.y) <= 36;
        if (near_anchor || (object_slot(m, r.object, slot) && on_segment(x, y, a, object_screen(m, slot)))) {
            handle = a;
            return k;
        }
    }
    return -1;
}

// The connectors between two objects (E_TH, E_SH, E_GAN).
template <class Rec>
int linked_hit(const Model& m, const ElementList<Rec>& list, int table, int x, int y) {
    const int n = element_count(m, table);
    for (int k = 0; k < n; ++k) {
        int a, b;
        if (object_slot(m, list.rec[k].object_a, a) && object_slot(m, list.rec[k].object_b, b) &&
            on_segment(x, y, object_screen(m, a), object_screen(m, b)))
            return k;
    }
    return -1;
}

Hit hit(int state, int index, ScreenXY handle) {
    return {state, index, handle};
}

}  // namespace

bool point_vector_tip(const Model& m, int i, ScreenXY& tip) {
    const Point& p = m.points[i];
    if (p.show_vector == 0) return false;
    const double a = variable_value(m, m.point_texts[i][PT_VECTOR_X]);
    const double b = variable_value(m, m.point_texts[i][PT_VECTOR_Y]);
    Polar v{a, b};
    if (p.polar == 0) v = vector_polar(a, b);
    if (!(v.magnitude > 1e-50)) return false;
    const double L = std::min(v.magnitude / p.vector_scale * 50.0, ARROW_CAP);
    if (!std::isfinite(L) || !std::isfinite(v.angle)) return false;
    const ScreenXY at = to_screen(m, p.x, p.y);
    tip = {trunc_px(at.x + L * std::cos(v.angle) + 0.5), trunc_px(at.y - L * std::sin(v.angle) + 0.5)};
    return true;
}

QRect text_rect(const Model& m, Scene& s, int state, int index) {
    if (state == DRAG_MEASUREMENT) {
        const Measurement& r = m.measurements[index];
        return QRect(r.label_x, r.label_y, r.label_width, r.label_height);
    }
    if (state == DRAG_ANNOTATION) {
        const Annotation& a = m.annotations[index];
        return QRect(a.x, a.y, a.width, annotation_text_height(m, s, index));
    }
    if (state == DRAG_TEXT_BLOCK) {
        const TextBlock& b = m.text_blocks[index];
        const LabelFont f = label_font(b.font, m.text_block_font[index], m.settings.background_colour);
        const QFontMetrics fm(cached_font(s.info.block_font[index], f.spec, *f.face));
        const std::vector<Text>& lines = m.text_block_lines[index];
        if (lines.empty()) return {};
        int w = 0;
        for (const Text& l : lines) w = std::max(w, fm.horizontalAdvance(QString::fromStdString(gbk_to_utf8(l))));
        const double spacing = std::fabs(static_cast<double>(f.spec.height) * 1.1);
        const int h = trunc_px(spacing * static_cast<double>(lines.size() - 1)) + fm.height();
        return QRect(b.x, b.y, w, h);
    }
    return {};
}

int label_at(const Model& m, Scene& s, int x, int y) {
    const int n = annotation_count(m);
    for (int k = 0; k < n; ++k) {
        const Annotation& a = m.annotations[k];
        if (a.x < x && x < a.x + a.width && a.y < y && y < a.y + annotation_text_height(m, s, k)) return k;
    }
    return -1;
}

Hit hit_test(const Model& m, Scene& s, int x, int y) {
    const int points = point_count(m);
    for (int i = 0; i < points; ++i) {
        const ScreenXY p = to_screen(m, m.points[i].x, m.points[i].y);
        if (dist2(x, y, p.x, p.y) <= 16) return hit(DRAG_POINT, i, p);
    }
    for (int i = 0; i < points; ++i) {
        ScreenXY tip;
        if (point_vector_tip(m, i, tip) && dist2(x, y, tip.x, tip.y) <= 100) return hit(DRAG_POINT_VECTOR, i, tip);
    }
    const int objects = object_count(m);
    for (int i = 0; i < objects; ++i)
        if (in_object(m, i, x, y)) return hit(DRAG_MOVING, i, object_screen(m, i));

    const Settings& st = m.settings;
    if (std::abs(x - st.origin_x) <= 4 && std::abs(y - st.origin_y) <= 4)
        return hit(DRAG_ORIGIN, 0, {st.origin_x, st.origin_y});

    for (int k = 0; k < element_count(m, T_E); ++k) {
        const ScreenXY p = to_screen_trunc(m, m.E.rec[k].x, m.E.rec[k].y);
        if (dist2(x, y, p.x, p.y) <= 36) return hit(DRAG_E, k, p);
    }
    for (int k = 0; k < element_count(m, T_M); ++k) {
        const ScreenXY p = to_screen_trunc(m, m.M.rec[k].x, m.M.rec[k].y);
        if (dist2(x, y, p.x, p.y) <= 36) return hit(DRAG_M, k, p);
    }
    ScreenXY anchor{0, 0};
    int k;
    if ((k = anchored_hit(m, m.TH, T_TH, x, y, anchor)) >= 0) return hit(DRAG_TH, k, anchor);
    if ((k = linked_hit(m, m.E_TH, T_E_TH, x, y)) >= 0) return hit(DRAG_E_TH, k, {x, y});
    if ((k = anchored_hit(m, m.SH, T_SH, x, y, anchor)) >= 0) return hit(DRAG_SH, k, anchor);
    if ((k = linked_hit(m, m.E_SH, T_E_SH, x, y)) >= 0) return hit(DRAG_E_SH, k, {x, y});
    if ((k = anchored_hit(m, m.GAN, T_GAN, x, y, anchor)) >= 0) return hit(DRAG_GAN, k, anchor);
    if ((k = linked_hit(m, m.E_GAN, T_E_GAN, x, y)) >= 0) return hit(DRAG_E_GAN, k, {x, y});

    for (k = 0; k < element_count(m, T_TB); ++k) {
        const StraightTrack& t = m.TB.rec[k];
        const ScreenXY a = to_screen_trunc(m, t.x1, t.y1), b = to_screen_trunc(m, t.x2, t.y2);
        if (on_segment(x, y, a, b)) return hit(DRAG_TB, k, a);
    }
    for (k = 0; k < element_count(m, T_CT); ++k)
        if (arc_hit(m, k, x, y)) return hit(DRAG_CT, k, to_screen_trunc(m, m.CT.rec[k].cx, m.CT.rec[k].cy));

    for (k = 0; k < measurement_count(m); ++k) {
        if (m.measurements[k].type == MEASURE_HIDDEN) continue;  // has no label on the scene
        const QRect r = text_rect(m, s, DRAG_MEASUREMENT, k);
        if (r.contains(x, y)) return hit(DRAG_MEASUREMENT, k, {r.x(), r.y()});
    }
    for (k = 0; k < annotation_count(m); ++k) {
        if (m.annotation_text[k].empty()) continue;  // not drawn
        const QRect r = text_rect(m, s, DRAG_ANNOTATION, k);
        if (r.contains(x, y)) return hit(DRAG_ANNOTATION, k, {r.x(), r.y()});
    }
    for (k = 0; k < element_count(m, T_EA); ++k) {
        const ElectricField& f = m.EA.rec[k];
        if (in_region(m, f.x1, f.y1, f.x2, f.y2, x, y)) return hit(DRAG_EA, k, to_screen_trunc(m, f.x1, f.y1));
    }
    for (k = 0; k < element_count(m, T_Z); ++k) {
        const ZRegion& z = m.Z.rec[k];
        if (in_region(m, z.x1, z.y1, z.x2, z.y2, x, y)) return hit(DRAG_Z, k, to_screen_trunc(m, z.x1, z.y1));
    }
    for (k = 0; k < element_count(m, T_BA); ++k) {
        const MagneticField& f = m.BA.rec[k];
        if (in_region(m, f.x1, f.y1, f.x2, f.y2, x, y)) return hit(DRAG_BA, k, to_screen_trunc(m, f.x1, f.y1));
    }
    for (k = 0; k < text_block_count(m); ++k) {
        const QRect r = text_rect(m, s, DRAG_TEXT_BLOCK, k);
        if (r.contains(x, y)) return hit(DRAG_TEXT_BLOCK, k, {r.x(), r.y()});
    }
    for (k = 7; k >= 0; --k) {
        const FunctionGraph& g = m.graphs[k];
        if (g.kind != 0 && std::abs(x - g.x) < 120 && std::abs(y - g.y) < 120) return hit(DRAG_GRAPH, k, {g.x, g.y});
    }
    return {};
}

}  // namespace quorrel
