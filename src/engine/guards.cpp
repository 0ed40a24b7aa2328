// Small numeric helpers shared by the kernel, the solvers and the readings.
#include <cmath>

#include "engine/engine.h"
#include "engine/solvers.h"
#include "engine/tolerances.h"

namespace quorrel {

double vec_angle(double x, double y) {
    double a;
    if (std::fabs(x) >= NO_DIRECTION) {
        a = std::atan(y / x);
        if (x < 0) a += PI;
    } else if (std::fabs(y) >= NO_DIRECTION) {
        a = y > 0 ? PI / 2 : 3 * PI / 2;
    } else {
        a = 0;
    }
    if (a < 0) a += 2 * PI;
    return a;
}

int object_slot(const Model& m, double stored_index) {
    // The comparison also rejects NaN.
    if (!(stored_index > -1.0 && stored_index < MAX_OBJECTS)) return -1;
    const int i = static_cast<int>(stored_index);
    return m.objects[i].kind != KIND_NONE ? i : -1;
}

double accel(double force, double mass) {
    if (mass == 0.0 || !std::isfinite(mass)) return 0.0;
    return force / mass;
}

double safe_asin(double v) {
    if (v > 1.0) v = 1.0;
    if (v < -1.0) v = -1.0;
    return std::asin(v);  // NaN stays NaN
}

double usable_time_step(const Model& m) {
    const double dt = m.settings.time_step;
    return std::isfinite(dt) && dt > 0 ? dt : 0.0;
}

}  // namespace quorrel
