// Run preparation: presence flags and the initial state of the moving objects.
#include <cmath>

#include "engine/engine.h"
#include "engine/solvers.h"

namespace quorrel {
namespace {

// Bodies are drawn with at least this radius in pixels, so that a small or
// far-zoomed body stays visible.
constexpr std::int32_t MIN_SCREEN_RADIUS = 3;

double finite_or_zero(double v) {
    return std::isfinite(v) ? v : 0.0;
}

}  // namespace

void set_presence(Model& m) {
    for (int t = 0; t < ELEMENT_TABLES; ++t) m.present[t] = element_present(m, t, 0) ? 1 : 0;
}

void prepare_initial_state(Model& m) {
    const int n = object_count(m);
    for (int i = 0; i < n; ++i) {
        MovingObject& o = m.objects[i];
        o.mass = finite_or_zero(o.rest_mass);
        o.x = o.prev_x = finite_or_zero(o.x0);
        o.y = o.prev_y = finite_or_zero(o.y0);

        const int h = o.kind == KIND_BLOCK ? object_slot(m, o.host) : -1;
        if (h >= 0 && m.objects[h].kind == KIND_INCLINE) {
            // The designed horizontal speed of a block is relative to its
            // incline and follows the slope.
            const MovingObject& host = m.objects[h];
            const double slope = std::tan(radians(host.orientation == 0 ? host.angle_a : host.angle_b));
            o.vy = finite_or_zero(host.orientation == 0 ? slope * o.vx0 : -slope * o.vx0);
            o.vx = finite_or_zero(host.vx0 + o.vx0);
        } else {
            o.vx = finite_or_zero(o.vx0);
            o.vy = finite_or_zero(o.vy0);
        }
        o.ax = o.ay = 0;
        o.prev_vx = o.vx;
        o.prev_vy = o.vy;
        o.step_ax = o.step_ay = 0;

        set_screen_position(m, o, o.x0, o.y0);
        // The radius is a length in pixels: the origin does not enter.
        const double rp = o.radius / m.settings.scale + 0.5;
        const std::int32_t r = rp > -2147483648.0 && rp < 2147483648.0 ? static_cast<std::int32_t>(rp) : 0;
        o.screen_radius = r < MIN_SCREEN_RADIUS ? MIN_SCREEN_RADIUS : r;
    }
}

void reset_for_display(Model& m) {
    const int n = object_count(m);
    for (int i = 0; i < n; ++i) {
        MovingObject& o = m.objects[i];
        o.mass = finite_or_zero(o.rest_mass);
        o.x = o.prev_x = finite_or_zero(o.x0);
        o.y = o.prev_y = finite_or_zero(o.y0);
        o.vx = finite_or_zero(o.vx0);
        o.vy = finite_or_zero(o.vy0);
        set_screen_position(m, o, o.x0, o.y0);
    }
}

}  // namespace quorrel
