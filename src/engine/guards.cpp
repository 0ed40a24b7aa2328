// Small numeric helpers shared by the kernel, the solvers and the readings.
#include <cmath>
#include <numbers>

#include "engine/engine.h"
#include "engine/solvers.h"

namespace quorrel {

double vec_angle(double x, double y) {
    constexpr double pi = std::numbers::pi;
    double a;
    if (std::fabs(x) >= 1e-100) {
        a = std::atan(y / x);
        if (x < 0) a += pi;
    } else if (std::fabs(y) >= 1e-100) {
        a = y > 0 ? pi / 2 : 3 * pi / 2;
    } else {
        a = 0;
    }
    if (a < 0) a += 2 * pi;
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

namespace {
bool pixel(double v, std::int32_t& out) {
    // trunc() of values within int32; NaN and infinities fail the comparison.
    if (!(v > -2147483648.0 && v < 2147483648.0)) return false;
    out = static_cast<std::int32_t>(v);
    return true;
}
}  // namespace

bool world_to_pixel(const Model& m, double x, double y, std::int32_t& px, std::int32_t& py) {
    const Settings& s = m.settings;
    if (pixel(s.origin_x + x / s.scale + 0.5, px) && pixel(s.origin_y - y / s.scale + 0.5, py)) return true;
    px = py = 0;
    return false;
}

double usable_time_step(const Model& m) {
    const double dt = m.settings.time_step;
    return std::isfinite(dt) && dt > 0 ? dt : 0.0;
}

}  // namespace quorrel
