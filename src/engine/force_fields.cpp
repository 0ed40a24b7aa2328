// Force fields acting on the current moving object: fixed masses and charges,
// gravitation and Coulomb force between objects, uniform electric regions,
// magnetic regions (Lorentz force), resistance regions and the relativistic
// mass. Each adds to force_x, force_y of object `a`.
#include <cmath>

#include "engine/solvers.h"
#include "engine/tolerances.h"

namespace quorrel {
namespace {

// Nearer than this, a fixed or moving mass exerts no gravitation (no division
// by a vanishing distance).
constexpr double GRAVITY_MIN_DISTANCE = 1e-10;
// Nearer than this, two charges exert no Coulomb force; an object's own slot
// in the mutual scan drops out by it.
constexpr double COULOMB_MIN_DISTANCE = 1e-20;
// Coulomb forces are divided by the relative permittivity of the medium,
// which is always vacuum here.
constexpr double MEDIUM_PERMITTIVITY = 1.0;
// Below this speed there is no Lorentz force, and no direction to divide by.
constexpr double LORENTZ_MIN_SPEED = 1e-80;
// A magnetic region's shape code: above this in magnitude a circle, below it a
// rectangle, exactly this a record without a region.
constexpr double REGIONLESS_SHAPE = 5;
// A resultant force or speed below this has no direction for the resistance
// to act against; the direction is taken as 0.
constexpr double RESISTANCE_NO_DIRECTION = 1e-60;
// A component of the resistance is left out when its direction lies within
// this of an axis, where its sine or cosine is only a rounding residue.
constexpr double AXIS_RESIDUE_ANGLE = 1e-7;
// The axis directions of that test, to seven decimals. They are deliberately
// these truncated values and not pi, pi/2 and 3*pi/2: exact angles still fall
// within AXIS_RESIDUE_ANGLE of them, and the results depend on the cut.
constexpr double TRUNCATED_PI = 3.1415926;
constexpr double TRUNCATED_HALF_PI = 1.5707963;
constexpr double TRUNCATED_THREE_HALF_PI = 4.7123889;
// The relativistic mass factor is capped where 1 - v^2/c^2 falls to this, so
// that a speed at or beyond c keeps the state finite (factor at most 1e6).
constexpr double LIGHT_SPEED_MARGIN = 1e-12;

bool inside(double x, double y, double x1, double y1, double x2, double y2) {
    return x1 <= x && x <= x2 && y1 <= y && y <= y2;
}

// Adds `part` to a force component without letting it change sign: used when a
// resistance at rest may only cancel a push, never reverse it.
double reduce_towards_zero(double component, double part) {
    const double sum = component + part;
    if (component > 0) return sum < 0 ? 0.0 : sum;
    if (component < 0) return sum > 0 ? 0.0 : sum;
    return 0.0;
}

bool near_residue(double a, double b) {
    return std::fabs(a - b) < AXIS_RESIDUE_ANGLE;
}

// The y part of a force along phi is left out where sin(phi) is only a rounding
// residue, the x part where cos(phi) is.
bool use_y_part(double phi) {
    return !(near_residue(phi, 0.0) || near_residue(phi, TRUNCATED_PI));
}
bool use_x_part(double phi) {
    return !(near_residue(phi, TRUNCATED_HALF_PI) || near_residue(phi, TRUNCATED_THREE_HALF_PI));
}

}  // namespace

// Adds the attraction G·m·M/d² of a mass M at (x, y); nothing nearer than
// GRAVITY_MIN_DISTANCE.
static void attract(const Model& m, MovingObject& o, double x, double y, double mass) {
    const double dx = x - o.x, dy = y - o.y;
    const double d = length(dx, dy);
    if (d >= GRAVITY_MIN_DISTANCE) {
        const double f = m.settings.G * o.mass * mass / (d * d);
        o.force_x += f * dx / d;
        o.force_y += f * dy / d;
    }
}

void apply_M(Model& m, int a) {
    MovingObject& o = m.objects[a];
    for (int i = 0; i < MAX_ELEMENTS && m.M.rec[i].mass != 0.0; ++i)
        attract(m, o, m.M.rec[i].x, m.M.rec[i].y, m.M.rec[i].mass);
}

void apply_mutual_gravitation(Model& m, int a) {
    MovingObject& o = m.objects[a];
    for (int j = 0; j < MAX_OBJECTS && m.objects[j].kind != KIND_NONE; ++j)
        if (j != a) attract(m, o, m.objects[j].x, m.objects[j].y, m.objects[j].mass);
}

void apply_E(Model& m, int a) {
    MovingObject& o = m.objects[a];
    for (int i = 0; i < MAX_ELEMENTS && m.E.rec[i].charge != 0.0; ++i) {
        const FixedCharge& r = m.E.rec[i];
        const double dx = r.x - o.x, dy = r.y - o.y;
        const double d = length(dx, dy);
        if (d >= COULOMB_MIN_DISTANCE) {
            const double f = m.settings.k * o.charge * r.charge / (d * d) / MEDIUM_PERMITTIVITY;
            o.force_x -= f * dx / d;
            o.force_y -= f * dy / d;
        }
    }
}

void apply_mutual_charge(Model& m, int a, double ahead) {
    // Start-of-step positions of both objects, moved on by their start
    // velocities for `ahead` seconds, so the order of processing does not
    // matter for the Coulomb force. The object's own slot drops out by the
    // distance threshold.
    MovingObject& o = m.objects[a];
    const double ox = o.prev_x + o.prev_vx * ahead, oy = o.prev_y + o.prev_vy * ahead;
    for (int j = 0; j < MAX_OBJECTS && m.objects[j].kind != KIND_NONE; ++j) {
        const MovingObject& p = m.objects[j];
        const double dx = (p.prev_x + p.prev_vx * ahead) - ox, dy = (p.prev_y + p.prev_vy * ahead) - oy;
        const double d = length(dx, dy);
        if (d >= COULOMB_MIN_DISTANCE) {
            const double f = m.settings.k * o.charge * p.charge / (d * d) / MEDIUM_PERMITTIVITY;
            o.force_x -= f * dx / d;
            o.force_y -= f * dy / d;
        }
    }
}

void apply_EA(Model& m, int a) {
    MovingObject& o = m.objects[a];
    for (int i = 0; i < MAX_ELEMENTS && m.EA.rec[i].strength != 0.0; ++i) {
        const ElectricField& r = m.EA.rec[i];
        if (!inside(o.x, o.y, r.x1, r.y1, r.x2, r.y2)) continue;
        const double f = o.charge * r.strength;
        o.force_x += f * std::cos(r.direction);
        o.force_y += f * std::sin(r.direction);
    }
}

void apply_BA(Model& m, int a) {
    MovingObject& o = m.objects[a];
    const double s = length(o.vx, o.vy);
    if (!(s >= LORENTZ_MIN_SPEED)) return;
    double f = 0;
    for (int i = 0; i < MAX_ELEMENTS && m.BA.rec[i].induction != 0.0; ++i) {
        const MagneticField& r = m.BA.rec[i];
        const double c = r.shape;
        bool in;
        if (std::fabs(c) > REGIONLESS_SHAPE) {
            // Circle inscribed in the record's x-extent.
            const double cx = (r.x1 + r.x2) / 2, cy = (r.y1 + r.y2) / 2;
            const double radius = (r.x2 - r.x1) / 2;
            in = radius > length(o.x - cx, o.y - cy);
        } else if (std::fabs(c) < REGIONLESS_SHAPE) {
            in = inside(o.x, o.y, r.x1, r.y1, r.x2, r.y2);
        } else {
            in = false;  // +-5: a record without a region
        }
        // The sign of the code is the field direction (positive: out of the
        // plane). A code of 0 (or NaN) has no direction and no effect.
        const double dir = c > 0 ? 1.0 : c < 0 ? -1.0 : 0.0;
        if (in) f -= s * o.charge * dir * r.induction;
    }
    o.force_x -= f * o.vy / s;
    o.force_y += f * o.vx / s;
}

void apply_Z(Model& m, int a) {
    MovingObject& o = m.objects[a];
    const double s = length(o.vx, o.vy);
    const double dt = m.step.step_dt;

    auto law_value = [&](const ZRegion& r) {
        if (r.law == 1) return r.coefficient * o.mass;
        if (r.law == 2) return r.coefficient * (4.0 / 3.0) * PI * o.radius * o.radius * o.radius;
        return r.coefficient;
    };

    if (s < AT_REST_SPEED) {
        // At rest: only the first containing region counts, and only a
        // velocity-independent one (exponent 0). It can cancel the push that
        // would start the object, never reverse it.
        for (int i = 0; i < MAX_ELEMENTS && m.Z.rec[i].coefficient != 0.0; ++i) {
            const ZRegion& r = m.Z.rec[i];
            if (!inside(o.x, o.y, r.x1, r.y1, r.x2, r.y2)) continue;
            if (r.exponent != 0) return;
            const double f = -law_value(r);
            const double fabs_total = length(o.force_x, o.force_y);
            double phi = fabs_total < RESISTANCE_NO_DIRECTION ? 0.0 : safe_asin(o.force_y / fabs_total);
            if (o.force_x < 0) phi = PI - phi;
            if (use_y_part(phi)) o.force_y = reduce_towards_zero(o.force_y, f * std::sin(phi));
            if (use_x_part(phi)) o.force_x = reduce_towards_zero(o.force_x, f * std::cos(phi));
            return;
        }
        return;
    }

    double phi = safe_asin(o.vy / s);
    if (o.vx < 0) phi = PI - phi;
    const double along_x = std::cos(phi), along_y = std::sin(phi);
    for (int i = 0; i < MAX_ELEMENTS && m.Z.rec[i].coefficient != 0.0; ++i) {
        const ZRegion& r = m.Z.rec[i];
        if (!inside(o.x, o.y, r.x1, r.y1, r.x2, r.y2)) continue;
        const double f = -std::pow(s, r.exponent) * law_value(r);
        if (use_y_part(phi)) o.force_y += f * along_y;
        if (use_x_part(phi)) o.force_x += f * along_x;
        // Would the resistance reverse the motion within the step? A component
        // that is not moving cannot be reversed and does not keep the object
        // going; without that, an object moving along an axis would never come
        // to rest under a constant resistance but creep on at a tiny speed.
        const double nx = o.vx + accel(o.force_x, o.mass) * dt;
        const double ny = o.vy + accel(o.force_y, o.mass) * dt;
        const bool x_stops = o.vx == 0 || reverses(o.vx, nx);
        const bool y_stops = o.vy == 0 || reverses(o.vy, ny);
        if (x_stops && y_stops) {
            o.force_y = 0;
            o.vy = 0;
            m.step.stop_velocity = 1;
        }
    }
}

void apply_relativity(Model& m, int a) {
    MovingObject& o = m.objects[a];
    const double c = m.settings.c;
    if (!(c > 0) || !std::isfinite(c)) {  // no usable speed of light: rest mass
        o.mass = o.rest_mass;
        return;
    }
    // At or beyond the speed of light the relativistic mass does not exist; the
    // factor is capped at 1e6 so that the state stays finite.
    constexpr double limit = 1.0 - LIGHT_SPEED_MARGIN;
    double beta2 = (o.vx * o.vx + o.vy * o.vy) / (c * c);
    if (!(beta2 < limit)) beta2 = limit;
    o.mass = o.rest_mass / std::sqrt(1.0 - beta2);
}

}  // namespace quorrel
