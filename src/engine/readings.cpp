// Readings (measurements) and their linked variables: jisuan_du_liang computes
// the readings and copies them into variables; write_bl_back writes variables
// that an event program changed back into objects and points.
#include <cmath>

#include "engine/engine.h"
#include "engine/solvers.h"
#include "model/numtext.h"

namespace quorrel {
namespace {

// Readings multiply by this one factor (which rounds differently from
// degrees() of vec.h, rad·180/π).
constexpr double RAD_TO_DEG = 180.0 / PI;

// A point a reading refers to: a moving object or an auxiliary point.
struct Ref {
    std::int32_t kind = 0;
    int index = -1;
    double x = 0, y = 0;
};

bool resolve(const Model& m, std::int32_t kind, const Text& name, Ref& ref) {
    ref.kind = kind;
    if (kind == REF_OBJECT) {
        ref.index = find_object(m, name);
        if (ref.index < 0) return false;
        ref.x = m.objects[ref.index].x;
        ref.y = m.objects[ref.index].y;
        return true;
    }
    if (kind == REF_POINT) {
        ref.index = find_point(m, name);
        if (ref.index < 0) return false;
        ref.x = m.points[ref.index].x;
        ref.y = m.points[ref.index].y;
        return true;
    }
    return false;
}

// One quantity of a moving object. False for an unknown code.
bool object_quantity(const MovingObject& o, std::int32_t code, double& v) {
    switch (code) {
        case Q_X:
            v = o.x;
            break;
        case Q_Y:
            v = o.y;
            break;
        case Q_R:
            v = length(o.x, o.y);
            break;
        case Q_DEG:
            v = vec_angle(o.x, o.y) * RAD_TO_DEG;
            break;
        case Q_VX:
            v = o.vx;
            break;
        case Q_VY:
            v = o.vy;
            break;
        case Q_V:
            v = length(o.vx, o.vy);
            break;
        case Q_V_DEG:
            v = vec_angle(o.vx, o.vy) * RAD_TO_DEG;
            break;
        case Q_AX:
            v = o.ax;
            break;
        case Q_AY:
            v = o.ay;
            break;
        case Q_A:
            v = length(o.ax, o.ay);
            break;
        case Q_A_DEG:
            v = vec_angle(o.ax, o.ay) * RAD_TO_DEG;
            break;
        // The applied force (人为外力), not the resultant.
        case Q_FX:
            v = o.fx;
            break;
        case Q_FY:
            v = o.fy;
            break;
        case Q_F:
            v = length(o.fx, o.fy);
            break;
        case Q_F_DEG:
            v = vec_angle(o.fx, o.fy) * RAD_TO_DEG;
            break;
        default:
            return false;
    }
    return true;
}

// The value of reading i, or false when its references do not resolve (the
// reading then keeps its last value).
bool reading_value(const Model& m, int i, double& v) {
    const Measurement& r = m.measurements[i];
    const auto& t = m.measurement_texts[i];
    Ref p1, p2, p3;
    switch (r.type) {
        case MEASURE_QUANTITY:
        case MEASURE_HIDDEN:
            if (!resolve(m, r.kind1, t[MT_POINT1], p1)) return false;
            if (p1.kind == REF_OBJECT) return object_quantity(m.objects[p1.index], r.quantity, v);
            if (r.quantity == Q_X)
                v = p1.x;
            else if (r.quantity == Q_Y)
                v = p1.y;
            else
                return false;
            return true;
        case MEASURE_DISTANCE:
            if (!resolve(m, r.kind1, t[MT_POINT1], p1) || !resolve(m, r.kind2, t[MT_POINT2], p2)) return false;
            v = length(p2.x - p1.x, p2.y - p1.y);
            return true;
        case MEASURE_ANGLE: {
            if (!resolve(m, r.kind1, t[MT_POINT1], p1) || !resolve(m, r.kind2, t[MT_POINT2], p2) ||
                !resolve(m, r.kind3, t[MT_POINT3], p3))
                return false;
            // Angle at the vertex P2 between the lines to P1 and to P3, 0..180.
            const double a1 = vec_angle(p2.x - p1.x, p2.y - p1.y);
            const double a2 = vec_angle(p2.x - p3.x, p2.y - p3.y);
            double d = a1 - a2;
            if (std::fabs(d) > PI) d = 2 * PI - std::fabs(d);
            v = std::fabs(d) * RAD_TO_DEG;
            return true;
        }
        default:
            return false;
    }
}

// Sets (x, y) to length `len` along the current direction of (x, y).
void set_length(double& x, double& y, double len) {
    const double phi = vec_angle(x, y);
    x = len * std::cos(phi);
    y = len * std::sin(phi);
}

// Turns (x, y) to `deg` degrees, keeping its length.
void set_direction(double& x, double& y, double deg) {
    const double rho = length(x, y);
    const double theta = radians(deg);
    x = rho * std::cos(theta);
    y = rho * std::sin(theta);
}

void write_object(Model& m, MovingObject& o, std::int32_t code, double v) {
    switch (code) {
        case Q_X:
            o.x = v;
            break;
        case Q_Y:
            o.y = v;
            break;
        case Q_R:
            set_length(o.x, o.y, v);
            break;
        case Q_DEG:
            set_direction(o.x, o.y, v);
            break;
        case Q_VX:
            o.vx = v;
            break;
        case Q_VY:
            o.vy = v;
            break;
        case Q_V:
            set_length(o.vx, o.vy, v);
            break;
        case Q_V_DEG:
            set_direction(o.vx, o.vy, v);
            break;
        case Q_FX:
            o.fx = v;
            break;
        case Q_FY:
            o.fy = v;
            break;
        case Q_F:
            set_length(o.fx, o.fy, v);
            break;
        case Q_F_DEG:
            set_direction(o.fx, o.fy, v);
            break;
        default:
            return;  // accelerations are read-only
    }
    // Before a run the value is also the start value, so that preparation
    // (which starts from x0 .. vy0) keeps it.
    if (m.sim_time == 0 && !m.running) {
        if (code == Q_X || code == Q_R || code == Q_DEG) o.x0 = o.x;
        if (code == Q_Y || code == Q_R || code == Q_DEG) o.y0 = o.y;
        if (code == Q_VX || code == Q_V || code == Q_V_DEG) o.vx0 = o.vx;
        if (code == Q_VY || code == Q_V || code == Q_V_DEG) o.vy0 = o.vy;
    }
}

}  // namespace

void jisuan_du_liang(Model& m) {
    m.variable_texts[0][VT_VALUE] = number_text(m.sim_time);

    const int n = measurement_count(m);
    for (int i = 0; i < n; ++i) {
        Measurement& r = m.measurements[i];
        auto& t = m.measurement_texts[i];
        double v;
        if (!reading_value(m, i, v)) continue;
        r.value = v;
        t[MT_VALUE] = format_g(v, m.digits);

        if (t[MT_VARIABLE].empty()) continue;
        const int k = find_variable(m, t[MT_VARIABLE]);
        if (k < 0) continue;
        Variable& var = m.variables[k];
        m.variable_texts[k][VT_VALUE] = t[MT_VALUE];
        if (r.type == MEASURE_QUANTITY) {
            var.var_kind = 1;
            var.reading_form = 0;
        } else if (r.type == MEASURE_DISTANCE) {
            var.var_kind = 2;
            var.reading_form = 3;
        } else if (r.type == MEASURE_ANGLE) {
            var.var_kind = 2;
            var.reading_form = 1;
        }
        var.value_kind = 0;
    }

    m.prev_measurements = m.measurements;
    m.prev_measurement_texts = m.measurement_texts;
}

void write_bl_back(Model& m) {
    const int n = measurement_count(m);
    for (int i = 0; i < n; ++i) {
        Measurement& r = m.measurements[i];
        auto& t = m.measurement_texts[i];
        if (r.type != MEASURE_QUANTITY && r.type != MEASURE_HIDDEN) continue;
        if (t[MT_VARIABLE].empty()) continue;

        const int k = find_variable(m, t[MT_VARIABLE]);
        if (k < 0) continue;
        Ref p;
        const bool found = resolve(m, r.kind1, t[MT_POINT1], p);
        t[MT_VALUE] = m.variable_texts[k][VT_VALUE];
        double v;
        // A value that is not a finite number is not written into the model.
        if (!parse_number(t[MT_VALUE], v) || !std::isfinite(v)) continue;
        r.value = v;
        if (!found) continue;

        // Only a change visible at the displayed precision is written back, so
        // the rounding of a reading never drifts into the object.
        if (format_g(v, m.digits) == format_g(m.prev_measurements[i].value, m.digits)) continue;
        if (p.kind == REF_OBJECT) {
            write_object(m, m.objects[p.index], r.quantity, v);
        } else if (r.quantity == Q_X) {
            m.points[p.index].x = v;
        } else if (r.quantity == Q_Y) {
            m.points[p.index].y = v;
        }
    }
}

}  // namespace quorrel
