// Readings (measurements) and their linked variables: jisuan_du_liang computes
// the readings and copies them into variables; write_bl_back writes variables
// that an event program changed back into objects and points.
#include <cmath>

#include "engine/engine.h"
#include "engine/solvers.h"
#include "model/numtext.h"

namespace quorrel {
namespace {

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

// The value of reading i, or false when its references do not resolve (the
// reading then keeps its last value).
bool reading_value(const Model& m, int i, double& v) {
    const Measurement& r = m.measurements[i];
    const auto& t = m.measurement_texts[i];
    Ref p1, p2, p3;
    switch (r.type) {
        case MEASURE_QUANTITY:
        case MEASURE_HIDDEN: {
            const ObjectParam* q = object_param_by_code(r.quantity);
            if (q == nullptr || !resolve(m, r.kind1, t[MT_POINT1], p1)) return false;
            // A reading shows the live state, before a run too.
            if (p1.kind == REF_OBJECT) return v = object_param(m.objects[p1.index], *q, false), true;
            return point_param(m.points[p1.index], *q, v);
        }
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
        const ObjectParam* q = object_param_by_code(r.quantity);
        if (q == nullptr) continue;
        // The change is made to the live values; before a run it is also the
        // start value, so that preparation (which starts from x0 … vy0) keeps it.
        if (p.kind == REF_OBJECT)
            set_object_param(m.objects[p.index], *q, v, false, before_run(m));
        else
            set_point_param(m.points[p.index], *q, v);
    }
}

}  // namespace quorrel
