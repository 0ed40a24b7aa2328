// Blocks (kind 2) on planks (kind 3) and inclines (kind 4); planks and
// inclines on the ground. block_on_host adds the normal force and friction
// between a block and its host and decides whether the block slides or sticks;
// for the host itself it adds the reactions of its blocks. host_on_ground adds
// the ground friction. Impossible situations post a stop message and return.
#include <cmath>

#include "engine/constraints.h"
#include "engine/solvers.h"
#include "engine/stages.h"
#include "engine/tolerances.h"

namespace quorrel {
namespace {

// A block may overhang its plank by this fraction of its own width.
constexpr double OVERHANG_FRACTION = 0.2;
// A block not sliding over its plank whose push gives it less acceleration
// than this just sticks: there is nothing for static friction to hold.
constexpr double REST_ACCEL = 1e-10;
// A block on an incline moving slower than this along the slope counts as
// resting on it (the incline's own at-rest test).
constexpr double INCLINE_REST_SPEED = 1e-12;
// After kinetic friction is added, a sliding block sticks when this fraction
// of its net force would already stop its motion relative to the host within
// the step: near the stop it is held instead of jittering around zero.
constexpr double STICK_FORCE_FRACTION = 0.8;

void stop(Model& m, const char* message) {
    m.stop_message = message;
}

// A velocity that goes from one side of the host's velocity to the other:
// `v` is compared with the host's velocity at the start of the step, `v_new`
// with its velocity at the end.
bool crosses(double v, double v_new, double host_start, double host_end) {
    return (v > host_start && v_new < host_end) || (v < host_start && v_new > host_end);
}

// Slope angle of an incline in radians, by its orientation.
double slope_of(const MovingObject& host) {
    return radians(host.orientation == 0 ? host.angle_a : host.angle_b);
}

// Upward direction along an incline's slope.
XY up_slope(const MovingObject& host, double theta) {
    return host.orientation == 0 ? XY{std::cos(theta), std::sin(theta)} : XY{-std::cos(theta), std::sin(theta)};
}

// ---- A block on a plank ----

// A block's contact with its plank, evaluated stage by stage: the working
// values the stages share. A stage that settles the block ends the sequence.
struct PlankContact {
    Model& m;
    MovingObject& o;
    const MovingObject& host;
    ForceBreakdown& fb;
    int h;
    double fx0, fy0;      // the block's force at entry
    double fmax = 0;      // the most friction the plank's surface gives
    double rel = 0;       // the block's velocity relative to the plank
    double host_a = 0;    // the plank's acceleration in this step
    double host_end = 0;  // and its velocity at the end of the step
};

// The block may overhang by a fifth of its own width.
bool within_plank(PlankContact& c) {
    const double reach = c.host.width / 2 + OVERHANG_FRACTION * c.o.width;
    if (c.o.x >= c.host.x - reach && c.o.x <= c.host.x + reach) return true;
    stop(c.m, MSG_BLOCK_OFF_PLANK);
    return false;
}

bool pressed_onto_plank(PlankContact& c) {
    if (!(c.fy0 > 0)) return true;
    stop(c.m, MSG_BLOCK_LIFTS_OFF_PLANK);
    return false;
}

bool plank_normal(PlankContact& c) {
    const double N = -c.fy0;
    c.fb.host_normal[c.h] = {0.0, N};
    c.fb.host_support[c.h] = N;
    c.fb.total.y += N;
    c.fmax = std::fabs(c.fy0 * c.host.surface_mu);
    return true;
}

bool riding(PlankContact& c) {
    if (c.o.riding != 1) return true;
    c.o.stuck = 1;
    return false;
}

// The plank is stepped after its blocks: its acceleration of the last step
// stands for this one, and its velocity at the end of the step for the one
// the block's new velocity must be compared with.
bool plank_friction_entry(PlankContact& c) {
    c.rel = c.o.vx - c.host.vx;
    c.fb.friction = {c.rel > 0 ? -c.fmax : c.rel < 0 ? c.fmax : 0.0, 0.0};
    c.fb.friction_angle = 0;
    c.fb.friction_state = 1;
    c.host_a = std::isfinite(c.host.ax) ? c.host.ax : 0.0;
    c.host_end = c.host.vx + c.host_a * c.m.step.step_dt;
    return true;
}

// Moving with an accelerating plank needs the friction m * a_h - F; the block
// stays with it as far as static friction reaches, and slides with kinetic
// friction towards the plank's motion beyond.
void carried_by_plank(PlankContact& c) {
    MovingObject& o = c.o;
    const double need = o.mass * c.host_a - o.force_x;
    if (std::fabs(need) <= c.fmax) {
        o.stuck = 1;
        c.fb.friction.x = need;
        c.fb.friction_state = 2;
    } else {
        const double kinetic = need > 0 ? c.fmax : -c.fmax;
        o.force_x += kinetic;
        c.fb.friction.x = kinetic;
        o.stuck = 0;
    }
}

// No relative sliding: held by static friction as far as it reaches.
bool static_on_plank(PlankContact& c) {
    if (!(std::fabs(c.rel) < SLIDING_EPS)) return true;
    if (c.host_a != 0) {
        carried_by_plank(c);
        return false;
    }
    MovingObject& o = c.o;
    if (std::fabs(accel(o.force_x, o.rest_mass)) < REST_ACCEL) {
        o.stuck = 1;
        c.fb.friction = {0.0, 0.0};
        return false;
    }
    if (!c.m.running) o.stuck = 1;
    const double fmax = c.fmax;
    if (o.force_x > 0) {
        if (o.force_x - fmax <= 0) {
            c.fb.friction.x = -o.force_x;
            o.force_x = 0;
        } else {
            o.force_x -= fmax;
            c.fb.friction.x = -fmax;
        }
    } else {
        if (o.force_x + fmax >= 0) {
            c.fb.friction.x = -o.force_x;
            o.force_x = 0;
        } else {
            o.force_x += fmax;
            c.fb.friction.x = fmax;
        }
    }
    return false;
}

// Sliding. When the other forces alone reverse the relative motion within
// the step, friction is not applied; when friction would stop the sliding
// within the step, the block sticks.
bool sliding_on_plank(PlankContact& c) {
    MovingObject& o = c.o;
    const double dt = c.m.step.step_dt;
    if (crosses(o.vx, o.vx + accel(o.force_x, o.mass) * dt, c.host.vx, c.host_end)) {
        c.fb.friction_state = 2;
        return false;
    }
    const double kinetic = c.rel > 0 ? -c.fmax : c.fmax;
    o.force_x += kinetic;
    c.fb.friction.x = kinetic;
    if (crosses(o.vx, o.vx + accel(STICK_FORCE_FRACTION * o.force_x, o.mass) * dt, c.host.vx, c.host_end)) {
        o.force_x = c.fx0;
        o.stuck = 1;
        c.fb.friction_state = 2;
    } else {
        o.stuck = 0;
    }
    return false;
}

constexpr Stage<PlankContact> PLANK_STAGES[] = {
    {"within_plank", within_plank},
    {"pressed_onto_plank", pressed_onto_plank},
    {"normal", plank_normal},
    {"riding", riding},
    {"friction_entry", plank_friction_entry},
    {"static_friction", static_on_plank},
    {"sliding_friction", sliding_on_plank},
};

void block_on_plank(Model& m, int a, int h) {
    MovingObject& o = m.objects[a];
    PlankContact c{m, o, m.objects[h], m.forces[a], h, o.force_x, o.force_y};
    walk_stages<PLANK_STAGES>(c);
}

// ---- A block on an incline ----

// A block's contact with its incline, stage by stage, like a plank's.
struct InclineContact {
    Model& m;
    MovingObject& o;
    const MovingObject& host;
    ForceBreakdown& fb;
    int a, h;
    double fx0, fy0;  // the block's force at entry
    bool mirrored;    // the incline rises to the left (it uses angle_b)
    double theta = 0, sn = 0, cs = 0, tn = 0;
    double N = 0;     // the normal force from the slope
    XY normal{};      // and its vector
    double fmax = 0;  // the most friction the slope gives
};

// A vertical "slope" carries nothing.
bool slope(InclineContact& c) {
    c.theta = slope_of(c.host);
    c.sn = std::sin(c.theta);
    c.cs = std::cos(c.theta);
    c.tn = std::tan(c.theta);
    return std::isfinite(c.tn);
}

// The point of the block's base on the slope must lie over the incline's base.
bool within_incline(InclineContact& c) {
    const MovingObject& o = c.o;
    const MovingObject& host = c.host;
    const double xr = c.mirrored ? o.x - o.height / 2 * c.sn : o.x + o.height / 2 * c.sn;
    const double lo = c.mirrored ? host.x - host.width / 3 : host.x - 2 * host.width / 3;
    const double hi = c.mirrored ? host.x + 2 * host.width / 3 : host.x + host.width / 3;
    if (xr >= lo && xr <= hi) return true;
    stop(c.m, MSG_BLOCK_OFF_INCLINE);
    return false;
}

// The vertical force is corrected for the incline's own acceleration.
bool incline_normal(InclineContact& c) {
    const double ah = std::isfinite(c.host.step_ax) ? c.host.step_ax : 0.0;
    const double fy_rel = c.mirrored ? c.fy0 - c.o.mass * ah * c.tn : c.fy0 + c.o.mass * ah * c.tn;
    c.N = c.mirrored ? -c.fx0 * c.sn - fy_rel * c.cs : c.fx0 * c.sn - fy_rel * c.cs;
    if (!std::isfinite(c.N)) return false;
    c.normal = c.mirrored ? XY{c.N * c.sn, c.N * c.cs} : XY{-c.N * c.sn, c.N * c.cs};
    c.fb.host_normal[c.h] = c.normal;
    c.fb.host_support[c.h] = c.N;
    c.fb.total.x += c.normal.x;
    c.fb.total.y += c.normal.y;
    c.m.step.support_friction[c.a] = 0;
    return true;
}

// A slope pulling the block (a negative normal force) loses it: the normal
// force is taken back out of the breakdown and the run stops.
bool pressed_onto_incline(InclineContact& c) {
    if (!(c.N < 0)) return true;
    c.fb.total.x -= c.normal.x;
    c.fb.total.y -= c.normal.y;
    c.fb.host_normal[c.h] = {0.0, 0.0};
    c.fb.host_support[c.h] = 0;
    stop(c.m, MSG_BLOCK_LIFTS_OFF_INCLINE);
    return false;
}

bool incline_support(InclineContact& c) {
    MovingObject& o = c.o;
    c.m.step.support_normal[c.h] = c.N;
    o.force_x += c.normal.x;
    o.force_y += c.normal.y;
    c.m.step.block_vertical_load[c.a] = o.force_y;
    c.fb.friction_angle = c.mirrored ? PI - c.theta : c.theta;
    c.fmax = std::fabs(c.N * c.host.surface_mu);
    return true;
}

// vy is the speed along the slope (positive upwards).
bool resting_on_incline(InclineContact& c) {
    MovingObject& o = c.o;
    if (!(std::fabs(o.vy) < INCLINE_REST_SPEED && std::fabs(o.force_y) <= c.fmax * c.sn)) return true;
    o.stuck = 1;
    o.force_x = o.force_y = 0;
    c.fb.friction_state = 2;
    return false;
}

// Friction acts against the motion along the slope; a block that is just
// starting to slide is opposed in the direction it is pushed. As on a plank,
// it is not applied when the other forces alone reverse the motion, and the
// block sticks when friction would stop it within the step.
bool sliding_on_incline(InclineContact& c) {
    MovingObject& o = c.o;
    const double dt = c.m.step.step_dt;
    if (crosses(o.vy, o.vy + accel(o.force_y, o.mass) * dt, 0.0, 0.0)) {
        c.fb.friction_state = 2;
        return false;
    }
    double against = 0;
    if (o.vy < 0 || (o.vy == 0 && o.force_y < 0)) against = 1;
    if (o.vy > 0 || (o.vy == 0 && o.force_y > 0)) against = -1;
    const XY dir = up_slope(c.host, c.theta);
    const XY friction{against * c.fmax * dir.x, against * c.fmax * dir.y};
    o.force_x += friction.x;
    o.force_y += friction.y;
    c.fb.friction = friction;
    c.fb.friction_state = 1;
    c.m.step.support_friction[c.a] = -against * c.fmax;
    if (crosses(o.vy, o.vy + accel(STICK_FORCE_FRACTION * o.force_y, o.mass) * dt, 0.0, 0.0)) {
        o.force_x = c.fx0;
        o.force_y = c.fy0;
        o.stuck = 1;
        c.fb.friction_state = 2;
        c.m.step.support_friction[c.a] = 0;
    } else {
        o.stuck = 0;
    }
    return false;
}

constexpr Stage<InclineContact> INCLINE_STAGES[] = {
    {"slope", slope},
    {"within_incline", within_incline},
    {"normal", incline_normal},
    {"pressed_onto_incline", pressed_onto_incline},
    {"support", incline_support},
    {"resting", resting_on_incline},
    {"sliding_friction", sliding_on_incline},
};

void block_on_incline(Model& m, int a, int h) {
    MovingObject& o = m.objects[a];
    const MovingObject& host = m.objects[h];
    InclineContact c{m, o, host, m.forces[a], a, h, o.force_x, o.force_y, host.orientation != 0};
    walk_stages<INCLINE_STAGES>(c);
}

// The plank carries the friction reactions of its sliding blocks and the
// mass and horizontal force of the blocks that stick to it.
void plank_reactions(Model& m, int a) {
    MovingObject& plank = m.objects[a];
    for (int b = 0; b < MAX_OBJECTS && m.objects[b].kind != KIND_NONE; ++b) {
        const MovingObject& o = m.objects[b];
        if (o.kind != KIND_BLOCK || block_host(m, b) != a) continue;
        if (o.stuck != 1) {
            if (o.force_y > 0) {
                m.running = false;
                return stop(m, MSG_BLOCK_LIFTS_OFF_PLANK);
            }
            const double rel = o.vx - plank.vx;
            const double f = std::fabs(o.force_y * plank.surface_mu);
            if (rel > SLIDING_EPS) plank.force_x += f;
            if (rel < -SLIDING_EPS) plank.force_x -= f;
        } else {
            plank.mass += o.mass;
            plank.force_x += o.force_x;
        }
    }
}

// Every sliding block pushes its incline with the reaction of its own normal
// force and friction, once.
void incline_reactions(Model& m, int a) {
    MovingObject& incline = m.objects[a];
    const XY dir = up_slope(incline, slope_of(incline));
    for (int b = 0; b < MAX_OBJECTS && m.objects[b].kind != KIND_NONE; ++b) {
        const MovingObject& o = m.objects[b];
        if (o.kind != KIND_BLOCK || o.stuck == 1 || block_host(m, b) != a) continue;
        const XY normal = m.forces[b].host_normal[a];
        const double phi = m.step.support_friction[b];
        const double rx = -normal.x + phi * dir.x, ry = -normal.y + phi * dir.y;
        if (!std::isfinite(rx) || !std::isfinite(ry)) continue;
        incline.force_x += rx;
        incline.force_y += ry;
    }
}

}  // namespace

std::span<const StageInfo> plank_stages() {
    return STAGE_INFOS<PLANK_STAGES>;
}

std::span<const StageInfo> incline_stages() {
    return STAGE_INFOS<INCLINE_STAGES>;
}

int block_host(const Model& m, int a) {
    if (a < 0 || a >= MAX_OBJECTS || m.objects[a].kind != KIND_BLOCK) return -1;
    const int h = m.objects[a].host;
    if (h < 0 || h >= MAX_OBJECTS || h == a) return -1;
    const std::int32_t k = m.objects[h].kind;
    return k == KIND_PLANK || k == KIND_INCLINE ? h : -1;
}

void block_on_host(Model& m, int a) {
    if (a < 0 || a >= MAX_OBJECTS) return;
    switch (m.objects[a].kind) {
        case KIND_BLOCK: {
            const int h = block_host(m, a);
            if (h < 0) return;
            if (m.objects[h].kind == KIND_PLANK)
                block_on_plank(m, a, h);
            else
                block_on_incline(m, a, h);
            break;
        }
        case KIND_PLANK:
            plank_reactions(m, a);
            break;
        case KIND_INCLINE:
            incline_reactions(m, a);
            break;
        default:
            break;
    }
}

void host_on_ground(Model& m, int a) {
    if (a < 0 || a >= MAX_OBJECTS) return;
    MovingObject& o = m.objects[a];
    if (o.kind != KIND_PLANK && o.kind != KIND_INCLINE) return;
    // The load on the ground. An incline's blocks already pass their weight
    // on through the reactions in its force; a plank's blocks press on it
    // directly.
    double load = o.force_y;
    if (o.kind == KIND_PLANK) {
        for (int b = 0; b < MAX_OBJECTS && m.objects[b].kind != KIND_NONE; ++b)
            if (m.objects[b].kind == KIND_BLOCK && block_host(m, b) == a) load += m.objects[b].force_y;
    }
    if (load > 0) return stop(m, o.kind == KIND_PLANK ? MSG_PLANK_LIFTS_OFF_GROUND : MSG_INCLINE_LIFTS_OFF_GROUND);
    const double f = std::fabs(load * o.ground_mu);
    if (!std::isfinite(f)) return;
    if (std::fabs(o.vx) >= AT_REST_SPEED) {
        o.force_x += o.vx > 0 ? -f : f;
        // Ground friction that would reverse the motion within the step stops it.
        if (reverses(o.vx, o.vx + accel(o.force_x, o.mass) * m.step.step_dt)) {
            o.force_x = 0;
            o.vx = 0;
            m.step.stop_velocity = 1;
        }
    } else {
        o.force_x = reduce_toward_zero(o.force_x, f);
    }
}

}  // namespace quorrel
