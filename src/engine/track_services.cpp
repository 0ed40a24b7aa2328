// Services around the engine used by the mouse handlers, the variable editor
// and the frame drawing: track placement, lookups, the arc hit test, reading
// removal and the live curves of the function graphs.
#include "engine/track_services.h"

#include <QColor>
#include <QPainter>
#include <QPen>
#include <cmath>
#include <cstring>
#include <numbers>

#include "engine/constraints.h"
#include "engine/solvers.h"
#include "model/gbk.h"

namespace quorrel {
namespace {

// Where a body dropped near one straight track goes.
void place_on_tb(const StraightTrack& t, Placement choice, double r, double& X, double& Y) {
    const LineKind kind = line_kind(t.direction);
    if (kind == LineKind::Vertical) {
        if (choice == Placement::Against) X = X >= t.x1 ? t.x1 + r : t.x1 - r;
        if (choice == Placement::Threaded) X = t.x1;
        return;
    }
    if (kind == LineKind::Horizontal) {
        if (choice == Placement::Against) Y = Y >= t.y1 ? t.y1 + r : t.y1 - r;
        if (choice == Placement::Threaded) Y = t.y1;
        return;
    }
    const double nx = t.a / t.norm, ny = t.b / t.norm;
    const double s = (t.a * X + t.b * Y + t.c) / t.norm;
    const double fx = X - s * nx, fy = Y - s * ny;  // foot of the perpendicular
    if (choice == Placement::Threaded) {
        X = fx;
        Y = fy;
    } else if (choice == Placement::Against) {
        const double D = std::fabs(s);
        if (D > 1e-12) {
            X = fx + (X - fx) * r / D;
            Y = fy + (Y - fy) * r / D;
        } else {
            X = fx + r * nx;
            Y = fy + r * ny;
        }
    }
}

void place_on_ct(const ArcTrack& t, Placement choice, double L, double alpha, double r, double& X, double& Y) {
    double to = L;
    if (choice == Placement::Threaded) to = t.radius;
    if (choice == Placement::Against) {
        if (std::fabs(L - t.radius) < 1e-12) return;
        to = L > t.radius ? t.radius + r : t.radius - r;
    }
    X = t.cx + to * std::cos(alpha);
    Y = t.cy + to * std::sin(alpha);
}

// Slot `i` of the reading list cleared as after a model reset.
void clear_reading(Model& m, int i) {
    std::memset(static_cast<void*>(&m.measurements[i]), 0, sizeof m.measurements[i]);
    m.measurements[i].show_lines = 1;
    for (Text& t : m.measurement_texts[i]) t.clear();
    std::memset(static_cast<void*>(&m.prev_measurements[i]), 0, sizeof m.prev_measurements[i]);
    for (Text& t : m.prev_measurement_texts[i]) t.clear();
}

void delete_variable(Model& m, const Text& name) {
    if (name.empty()) return;
    const int v = find_variable(m, name);
    // The time variable in slot 0 is never deleted.
    if (v <= 0) return;
    const int count = std::min<int>(m.variable_count, MAX_VARIABLES);
    if (v >= count) return;
    for (int i = v; i + 1 < count; ++i) {
        m.variables[i] = m.variables[i + 1];
        m.variable_texts[i] = m.variable_texts[i + 1];
    }
    std::memset(static_cast<void*>(&m.variables[count - 1]), 0, sizeof m.variables[count - 1]);
    for (Text& t : m.variable_texts[count - 1]) t.clear();
    m.variable_count = count - 1;
}

// Closes the gaps among the first n readings: an empty reading deletes the
// variable it names, and everything after it moves up by one place, the
// previous readings too, so that each reading still meets its own previous
// value.
void compact_first(Model& m, int n) {
    int i = 0;
    while (i < n) {
        if (m.measurements[i].type != 0) {
            ++i;
            continue;
        }
        delete_variable(m, m.measurement_texts[i][MT_VARIABLE]);
        for (int j = i; j + 1 < n; ++j) {
            m.measurements[j] = m.measurements[j + 1];
            m.measurement_texts[j] = m.measurement_texts[j + 1];
            m.prev_measurements[j] = m.prev_measurements[j + 1];
            m.prev_measurement_texts[j] = m.prev_measurement_texts[j + 1];
        }
        clear_reading(m, n - 1);
        --n;
    }
}

QColor colour_of(Colour c) {
    return QColor(qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
}

bool is_value_zero(const Text& t) {
    return t == gbk::VALUE_ZERO;
}

// A curve value: "数值0" is 0, anything else goes to the evaluator.
bool curve_value(Model& m, CurveEvaluator evaluate, const Text& expression, double& value) {
    if (is_value_zero(expression)) {
        value = 0;
        return true;
    }
    return evaluate && evaluate(m, expression, value) && std::isfinite(value);
}

}  // namespace

bool s_obj_TB_CT_position(Model& m, int a, PlacementQuestion ask, void* context) {
    if (a < 0 || a >= MAX_OBJECTS || m.objects[a].kind != KIND_BODY) return false;
    MovingObject& o = m.objects[a];
    const double r = o.radius;
    double X = o.x0, Y = o.y0;
    bool asked = false, near_any = false;
    Placement choice = Placement::Custom;
    auto decide = [&] {
        near_any = true;
        if (!asked) {
            asked = true;
            choice = ask ? ask(context) : Placement::Custom;
        }
        return choice;
    };
    for (int k = 0; k < MAX_ELEMENTS && (m.TB.rec[k].a != 0.0 || m.TB.rec[k].b != 0.0); ++k) {
        double s;
        // The candidate box is widened by the same 1.5 radii as the distance,
        // so that a body dropped just above a horizontal track is found too.
        if (!tb_near(m.TB.rec[k], X, Y, 1.5 * r, 1.5 * r, s) || !(std::fabs(s) < 1.5 * r)) continue;
        place_on_tb(m.TB.rec[k], decide(), r, X, Y);
    }
    for (int k = 0; k < MAX_ELEMENTS && m.CT.rec[k].radius != 0.0; ++k) {
        const ArcTrack& t = m.CT.rec[k];
        if (!(t.radius > 0) || !std::isfinite(t.radius)) continue;
        const double L = std::hypot(X - t.cx, Y - t.cy);
        const double alpha = vec_angle(X - t.cx, Y - t.cy);
        // Only the arc's stored range counts here, not the range raised by 2*pi.
        if (!(std::fabs(L - t.radius) < 1.5 * r) || !(t.start_angle <= alpha && alpha <= t.end_angle)) continue;
        place_on_ct(t, decide(), L, alpha, r, X, Y);
    }
    if (std::isfinite(X) && std::isfinite(Y)) {
        o.x0 = X;
        o.y0 = Y;
    }
    return near_any;
}

int find_by_kind(const Model& m, int kind, const Text& name) {
    if (kind == LOOKUP_OBJECT) return find_object(m, name);
    if (kind == LOOKUP_POINT) return find_point(m, name);
    return -1;
}

bool arc_hit(const Model& m, int k, int px, int py) {
    if (k < 0 || k >= MAX_ELEMENTS) return false;
    const ArcTrack& t = m.CT.rec[k];
    const double scale = m.settings.scale;
    if (!(scale != 0) || !std::isfinite(scale)) return false;
    const double cx = m.settings.origin_x + t.cx / scale, cy = m.settings.origin_y - t.cy / scale;
    const double dx = px - cx, dy = cy - py;  // world orientation: y up
    const double d = std::sqrt(dx * dx + dy * dy);
    if (!(d >= 1e-10) || !(std::fabs(d - t.radius / scale) <= 3)) return false;
    return on_arc(t, vec_angle(dx, dy));
}

void remove_readings(Model& m, const Text& name) {
    const int n = measurement_count(m);
    for (int i = 0; i < n; ++i)
        if (m.measurement_texts[i][MT_VARIABLE] == name) m.measurements[i].type = 0;
    compact_first(m, n);
}

void compact_readings(Model& m) {
    // The list reaches to its last used reading: a gap inside it must not
    // hide the readings after it.
    int n = MAX_MEASUREMENTS;
    while (n > 0 && m.measurements[n - 1].type == 0) --n;
    compact_first(m, n);
}

bool graph_pixel(const FunctionGraph& g, double x, double y, int& px, int& py) {
    const double fx = x / g.x_scale * 30 + g.origin_x + 0.5;
    const double fy = GRAPH_PICTURE_SIZE - g.origin_y - y / g.y_scale * 30 + 0.5;
    // Far outside the picture is as good as a little outside; keeps the
    // conversion to int defined.
    constexpr double far = 1e6;
    if (!std::isfinite(fx) || !std::isfinite(fy)) return false;
    px = static_cast<int>(std::fmax(-far, std::fmin(far, fx)));
    py = static_cast<int>(std::fmax(-far, std::fmin(far, fy)));
    return true;
}

void draw_live_curves(Model& m, CurveEvaluator evaluate) {
    const int graphs = std::min(graph_count(m), 8);
    for (int gi = 0; gi < graphs; ++gi) {
        FunctionGraph& g = m.graphs[gi];
        QImage& picture = m.graph_pictures[gi];
        if (picture.isNull()) continue;
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing, false);
        for (int c = 0; c < CURVES; ++c) {
            const Text& xe = m.graph_texts1[gi][c];
            const Text& ye = m.graph_texts2[gi][c];
            if (is_value_zero(xe) && is_value_zero(ye)) continue;
            double x, y;
            if (!curve_value(m, evaluate, xe, x) || !curve_value(m, evaluate, ye, y)) continue;
            int x0, y0, x1, y1;
            if (graph_pixel(g, g.curve_x_value[c], g.curve_y_value[c], x0, y0) && graph_pixel(g, x, y, x1, y1)) {
                p.setPen(QPen(colour_of(g.curve_colour[c]), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                p.drawLine(x0, y0, x1, y1);
            }
            g.curve_x_value[c] = x;
            g.curve_y_value[c] = y;
        }
    }
}

}  // namespace quorrel
