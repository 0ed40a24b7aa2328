// Tracks: straight segments (TB) and circular arcs (CT) that guide bodies.
// The support force across a track is computed for display and for friction
// only; the hold itself comes from removing the velocity across the track and
// correcting the position. A body meeting another track bounces off it, or
// lands on it when its rebound would not carry it away; an arc lets go a body
// lying on it where it would have to pull it.
#include <algorithm>
#include <cmath>

#include "engine/constraints.h"
#include "engine/solvers.h"
#include "engine/tolerances.h"

namespace quorrel {
namespace {

// The position solvers keep a resting body exactly one radius from its track;
// rounding must not make it lose contact, so contact allows this relative
// excess of the reach.
constexpr double CONTACT_SLACK = 1e-9;
// A body whose centre is more than this fraction of its radius away from an
// axis-parallel track, and that moves or is pushed away from it, is let go; so
// is a body that far from an arc when the arc would have to pull it. One closer
// is threaded on the track.
constexpr double CLEAR_FRACTION = 0.99;
// A body whose start-of-step distance from its straight track is below this
// fraction of its radius is threaded on the line and kept exactly on it.
constexpr double THREADED_FRACTION = 0.0001;
// A velocity within this angle (radians) of an arc's tangent, or of its
// reverse, is turned onto the tangent with its whole speed kept; a larger
// deviation keeps only the tangential component.
constexpr double TANGENT_SNAP_ANGLE = 0.0018;
// The second arc position solver leaves a coordinate alone when its cosine or
// sine factor is below this (the body lies on that axis of the centre).
constexpr double AXIS_FACTOR_EPS = 1e-12;
// A body meeting a track with its speed across the track at most this fraction
// of its speed along it (1.1°) grazes the track: it lands on it instead of
// bouncing. A body carried along an arc onto a track that continues it meets
// the track this way: its velocity lags the arc's turn by a step or two
// (0.003 in the arc demo), which is not an impact.
constexpr double GRAZING_SLOPE = 0.02;

// Angle `a` lies within TANGENT_SNAP_ANGLE of `b` (exclusive).
bool near_tangent(double a, double b) {
    return std::fabs(a - b) < TANGENT_SNAP_ANGLE;
}

double with_slack(double reach) {
    return reach * (1 + CONTACT_SLACK);
}

// Angle in [0, 2*pi).
double wrap(double a) {
    a = std::fmod(a, 2 * PI);
    if (a < 0) a += 2 * PI;
    return a;
}

bool tb_present(const StraightTrack& t) {
    return t.a != 0.0 || t.b != 0.0;
}
bool ct_present(const ArcTrack& t) {
    return t.radius != 0.0;
}

// The track the body is on, or null.
const StraightTrack* current_tb(const Model& m) {
    const int k = m.step.tb_track_index;
    if (!m.step.on_tb_track || k < 0 || k >= MAX_ELEMENTS) return nullptr;
    return &m.TB.rec[k];
}
const ArcTrack* current_ct(const Model& m) {
    const int k = m.step.ct_track_index;
    if (!m.step.on_ct_track || k < 0 || k >= MAX_ELEMENTS) return nullptr;
    return &m.CT.rec[k];
}

// A body clear of an axis-parallel line at `line` (x = x1 or y = y1) and
// pushed or moving away from it: the track lets go.
bool clear_of(double pos, double line, double r, double away) {
    return (pos - CLEAR_FRACTION * r > line && away > 0) || (pos + CLEAR_FRACTION * r < line && away < 0);
}

// Friction along direction (c, s) of magnitude fk against the motion, the
// same on the force and on the breakdown entry.
void tangential_friction(MovingObject& o, ForceBreakdown& fb, double c, double s, double fk, double angle) {
    fb.friction = {-sliding_sign(o.vx) * std::fabs(c * fk), -sliding_sign(o.vy) * std::fabs(s * fk)};
    fb.friction_angle = angle;
    fb.friction_state = 1;
}

// Friction of a body on a track along the unit tangent (c, s): kinetic
// friction while it slides (stopping it when that would reverse its motion
// within the step), static friction up to max(fk, fs) at rest.
void slide_or_hold(Model& m, int a, double c, double s, double fk, double fs, double angle, double fx0, double fy0) {
    MovingObject& o = m.objects[a];
    ForceBreakdown& fb = m.forces[a];
    tangential_friction(o, fb, c, s, fk, angle);
    const double u = c * o.vx + s * o.vy;
    if (std::fabs(u) >= SLIDING_EPS) {
        o.force_x += fb.friction.x;
        o.force_y += fb.friction.y;
        const double du = accel(c * o.force_x + s * o.force_y, o.mass) * m.step.step_dt;
        if (reverses(u, u + du)) {
            const double g = c * fx0 + s * fy0;
            o.force_x = fx0 - g * c;
            o.force_y = fy0 - g * s;
            o.vx = o.vy = 0;
            m.step.stop_velocity = 1;
            fb.friction_state = 2;
        }
    } else {
        fb.friction_state = 2;
        const double g = c * o.force_x + s * o.force_y;
        const double held = g - reduce_toward_zero(g, std::max(fk, fs));
        o.force_x -= held * c;
        o.force_y -= held * s;
    }
}

// Friction along one axis of a horizontal or vertical track: `f` and `v` are
// the force and velocity components along the track.
void axis_friction(Model& m, ForceBreakdown& fb, double mass, double& f, double& v, double fk, double fs) {
    if (std::fabs(v) >= SLIDING_EPS) {
        f += v > 0 ? -fk : fk;
        if (reverses(v, v + accel(f, mass) * m.step.step_dt)) {
            f = 0;
            v = 0;
            m.step.stop_velocity = 1;
            fb.friction_state = 2;
        }
    } else {
        fb.friction_state = 2;
        f = reduce_toward_zero(f, std::max(fk, fs));
    }
}

// Foot of the perpendicular from (x, y) on the track's line, and the signed
// distance of (x, y) from it along the unit normal (nx, ny).
struct Foot {
    double fx, fy, s, nx, ny;
};
Foot foot(const StraightTrack& t, double x, double y) {
    Foot f;
    f.nx = t.a / t.norm;
    f.ny = t.b / t.norm;
    f.s = (t.a * x + t.b * y + t.c) / t.norm;
    f.fx = x - f.s * f.nx;
    f.fy = y - f.s * f.ny;
    return f;
}

// The side of a track a body is on, as +1 or -1 along the line's normal:
// the side of its start-of-step position, else of its current one, from
// their signed offsets from the line (`before`, `now`).
double side_of(double before, double now) {
    if (before != 0) return before > 0 ? 1.0 : -1.0;
    return now >= 0 ? 1.0 : -1.0;
}

// A body arriving at a track with the outward rebound speed `out` against a
// pull `pull` towards the track (both along the outward normal) lands when,
// a step later, the rebound would not point away from the track any more.
// A body that grazes the track (`across` and `along`: its speed across and
// along it) lands whatever its rebound.
bool lands(double out, double pull, double dt, double across, double along) {
    return !(out > pull * dt) || std::fabs(across) <= GRAZING_SLOPE * std::fabs(along);
}

// The side of an arc a body is on, as -1 inside its circle or +1 outside: the
// side of its start-of-step position, else of its current distance `now`.
double arc_side(const ArcTrack& t, const MovingObject& o, double now) {
    return side_of(length(o.prev_x - t.cx, o.prev_y - t.cy) - t.radius, now - t.radius);
}

// A body of radius r at distance `d` from an arc's centre lies on the arc from
// one side when its centre is more than CLEAR_FRACTION·r from it: -1 inside
// the circle, +1 outside. 0: the arc runs through the body, which is threaded
// on it.
double lying_side(const ArcTrack& t, double d, double r) {
    const double off = d - t.radius;
    return off > CLEAR_FRACTION * r ? 1.0 : off < -CLEAR_FRACTION * r ? -1.0 : 0.0;
}

// The distance from the centre at which an arc keeps a body it touched at `d`:
// a body lying on it exactly one radius from it, on its side, so that neither
// rounding nor the push of a collision carries it off its circle; a threaded
// body where it is.
double arc_held_distance(const ArcTrack& t, double d, double r) {
    const double side = lying_side(t, d, r);
    return side == 0 ? d : t.radius + side * r;
}

// The distance from its straight track at which the second position solver
// keeps a body: its start-of-step distance `e`, but at most one radius, so a
// body that arrived from beyond the contact band is put at the band's edge.
double held_distance(double e, double r) {
    return e > with_slack(r) ? r : e;
}
// The same for an axis-parallel line at `line`: the start-of-step coordinate,
// or the band's edge on its side.
double held_coordinate(double before, double line, double r) {
    const double e = std::fabs(before - line);
    if (!(e > with_slack(r))) return before;
    return before > line ? line + r : line - r;
}

}  // namespace

LineKind line_kind(double direction) {
    if (near_axis(direction, 0) || near_axis(direction, PI) || near_axis(direction, -PI) ||
        near_axis(direction, 2 * PI))
        return LineKind::Horizontal;
    if (near_axis(direction, PI / 2) || near_axis(direction, 3 * PI / 2) || near_axis(direction, -PI / 2))
        return LineKind::Vertical;
    return LineKind::General;
}

bool tb_near(const StraightTrack& t, double x, double y, double r, double reach, double& s) {
    if (!(t.norm > 0) || !std::isfinite(t.norm) || !std::isfinite(t.a) || !std::isfinite(t.b) || !std::isfinite(t.c))
        return false;
    if (t.x1 == t.x2 && t.y1 == t.y2) return false;  // a track of no length holds nothing
    const double xlo = std::min(t.x1, t.x2), xhi = std::max(t.x1, t.x2);
    const double ylo = std::min(t.y1, t.y2), yhi = std::max(t.y1, t.y2);
    const bool beside = (x >= xlo && x <= xhi) || (y >= ylo && y <= yhi);
    if (!beside || !(y >= ylo - r && y <= yhi + r && x >= xlo - r && x <= xhi + r)) return false;
    s = (t.a * x + t.b * y + t.c) / t.norm;
    return std::fabs(s) <= with_slack(reach);
}

bool on_arc(const ArcTrack& t, double alpha) {
    return (t.start_angle <= alpha && alpha <= t.end_angle) ||
           (t.start_angle + 2 * PI <= alpha && alpha <= t.end_angle + 2 * PI);
}

bool ct_touches(const ArcTrack& t, double x, double y, double r, double& d, double& alpha) {
    if (!(t.radius > 0) || !std::isfinite(t.radius)) return false;
    const double dx = x - t.cx, dy = y - t.cy;
    d = length(dx, dy);
    if (!(std::fabs(t.radius - d) <= with_slack(r))) return false;
    alpha = vec_angle(dx, dy);
    return on_arc(t, alpha);
}

double& ct_contact_distance(Model& m, int a) {
    return m.step.ct_contact_distance[a];
}

void tb_line(Model& m, int index) {
    if (index < 0 || index >= MAX_ELEMENTS) return;
    derive_track_line(m.TB.rec[index]);
}

// ---- Contact tests ----

void TB_contact(Model& m, int a) {
    m.step.on_tb_track = 0;
    const MovingObject& o = m.objects[a];
    for (int k = 0; k < MAX_ELEMENTS && tb_present(m.TB.rec[k]); ++k) {
        double s;
        if (tb_near(m.TB.rec[k], o.x, o.y, o.radius, o.radius, s)) {
            m.step.on_tb_track = 1;
            m.step.tb_track_index = k;
            return;
        }
    }
}

void CT_contact(Model& m, int a) {
    m.step.on_ct_track = 0;
    const MovingObject& o = m.objects[a];
    for (int k = 0; k < MAX_ELEMENTS && ct_present(m.CT.rec[k]); ++k) {
        double d, alpha;
        if (ct_touches(m.CT.rec[k], o.x, o.y, o.radius, d, alpha)) {
            m.step.on_ct_track = 1;
            m.step.ct_track_index = k;
            if (o.kind == KIND_BODY) ct_contact_distance(m, a) = d;  // only bodies are put back on arcs
            return;
        }
    }
}

bool is_on_TB(const Model& m, int a) {
    if (a < 0 || a >= MAX_OBJECTS || !m.present[T_TB]) return false;
    const MovingObject& o = m.objects[a];
    if (o.kind != KIND_BODY) return false;  // tracks guide bodies only
    for (int k = 0; k < MAX_ELEMENTS && tb_present(m.TB.rec[k]); ++k) {
        double s;
        if (tb_near(m.TB.rec[k], o.x, o.y, o.radius, o.radius, s)) return true;
    }
    return false;
}

bool is_on_CT(const Model& m, int a) {
    if (a < 0 || a >= MAX_OBJECTS || !m.present[T_CT]) return false;
    const MovingObject& o = m.objects[a];
    if (o.kind != KIND_BODY) return false;
    for (int k = 0; k < MAX_ELEMENTS && ct_present(m.CT.rec[k]); ++k) {
        double d, alpha;
        if (ct_touches(m.CT.rec[k], o.x, o.y, o.radius, d, alpha)) return true;
    }
    return false;
}

// ---- Straight tracks ----

void TB_force(Model& m, int a) {
    const StraightTrack* t = current_tb(m);
    if (!t) return;
    const int k = m.step.tb_track_index;
    MovingObject& o = m.objects[a];
    ForceBreakdown& fb = m.forces[a];
    const double fx0 = o.force_x, fy0 = o.force_y;
    switch (line_kind(t->direction)) {
        case LineKind::General: {
            const double c = std::cos(t->direction), s = std::sin(t->direction);
            // L: the entry force across the line; the support cancels it.
            const double L = c * fy0 - s * fx0;
            const XY support{s * L, -c * L};
            fb.tb[k] = support;
            fb.total.x += support.x;
            fb.total.y += support.y;
            slide_or_hold(m, a, c, s, std::fabs(L * t->kinetic_mu), std::fabs(L * t->static_mu), t->direction, fx0,
                          fy0);
            break;
        }
        case LineKind::Vertical: {
            if (clear_of(o.x, t->x1, o.radius, fx0)) return;
            fb.tb[k] = {-fx0, 0.0};
            fb.total.x -= fx0;
            const double fk = std::fabs(fx0 * t->kinetic_mu), fs = std::fabs(fx0 * t->static_mu);
            fb.friction = {0.0, -sliding_sign(o.vy) * fk};
            fb.friction_angle = PI / 2;
            fb.friction_state = 1;
            axis_friction(m, fb, o.mass, o.force_y, o.vy, fk, fs);
            break;
        }
        case LineKind::Horizontal: {
            if (clear_of(o.y, t->y1, o.radius, fy0)) return;
            fb.tb[k] = {0.0, -fy0};
            fb.total.y -= fy0;
            const double fk = std::fabs(fy0 * t->kinetic_mu), fs = std::fabs(fy0 * t->static_mu);
            fb.friction = {-sliding_sign(o.vx) * fk, 0.0};
            fb.friction_angle = 0;
            fb.friction_state = 1;
            axis_friction(m, fb, o.mass, o.force_x, o.vx, fk, fs);
            break;
        }
    }
}

void TB_velocity(Model& m, int a) {
    const StraightTrack* t = current_tb(m);
    if (!t) return;
    MovingObject& o = m.objects[a];
    switch (line_kind(t->direction)) {
        case LineKind::General: {
            const double c = std::cos(t->direction), s = std::sin(t->direction);
            const double along = c * o.vx + s * o.vy;
            o.vx = along * c;
            o.vy = along * s;
            break;
        }
        case LineKind::Vertical:
            if (!clear_of(o.x, t->x1, o.radius, o.vx)) o.vx = 0;
            break;
        case LineKind::Horizontal:
            if (!clear_of(o.y, t->y1, o.radius, o.vy)) o.vy = 0;
            break;
    }
}

void TB_bounce(Model& m, int a) {
    MovingObject& o = m.objects[a];
    const double dt = m.step.step_dt;
    const double keep = 1 - (std::isfinite(o.loss) ? o.loss : 0.0);
    const int current = m.step.on_tb_track ? m.step.tb_track_index : -1;
    for (int k = 0; k < MAX_ELEMENTS && tb_present(m.TB.rec[k]); ++k) {
        const StraightTrack& t = m.TB.rec[k];
        double s;
        if (k == current || !tb_near(t, o.x, o.y, o.radius, o.radius, s)) continue;
        // Only a body moving towards the line bounces; one already moving
        // away from it is left to leave. A body whose rebound could not carry
        // it out of the contact band within a step lands: it is held at one
        // radius on the side it came from, with no velocity across the line.
        switch (line_kind(t.direction)) {
            case LineKind::General: {
                const Foot f = foot(t, o.x, o.y);
                const double vn = o.vx * f.nx + o.vy * f.ny;
                if (f.s * vn > 0) continue;
                const double pn = o.prev_vx * f.nx + o.prev_vy * f.ny;
                const double side = side_of(t.a * o.prev_x + t.b * o.prev_y + t.c, f.s);
                if (lands(-keep * pn * side, -(o.ax * f.nx + o.ay * f.ny) * side, dt, pn,
                          o.prev_vy * f.nx - o.prev_vx * f.ny)) {
                    o.x = f.fx + side * o.radius * f.nx;
                    o.y = f.fy + side * o.radius * f.ny;
                    o.vx -= vn * f.nx;
                    o.vy -= vn * f.ny;
                    continue;
                }
                o.x -= vn * f.nx * dt;
                o.y -= vn * f.ny * dt;
                o.vx = o.prev_vx - (1 + keep) * pn * f.nx;
                o.vy = o.prev_vy - (1 + keep) * pn * f.ny;
                break;
            }
            case LineKind::Vertical: {
                if ((o.x - t.x1) * o.vx > 0) continue;
                const double side = side_of(o.prev_x - t.x1, o.x - t.x1);
                if (lands(-keep * o.prev_vx * side, -o.ax * side, dt, o.prev_vx, o.prev_vy)) {
                    o.x = t.x1 + side * o.radius;
                    o.vx = 0;
                    continue;
                }
                o.x -= o.vx * dt;
                o.vx = -keep * o.prev_vx;
                break;
            }
            case LineKind::Horizontal: {
                if ((o.y - t.y1) * o.vy > 0) continue;
                const double side = side_of(o.prev_y - t.y1, o.y - t.y1);
                if (lands(-keep * o.prev_vy * side, -o.ay * side, dt, o.prev_vy, o.prev_vx)) {
                    o.y = t.y1 + side * o.radius;
                    o.vy = 0;
                    continue;
                }
                o.y -= o.vy * dt;
                o.vy = -keep * o.prev_vy;
                break;
            }
        }
    }
}

void TB_position(Model& m, int a) {
    const StraightTrack* t = current_tb(m);
    if (!t) return;
    MovingObject& o = m.objects[a];
    switch (line_kind(t->direction)) {
        case LineKind::General: {
            TB_velocity(m, a);
            const Foot f = foot(*t, o.x, o.y);
            const double e = held_distance(std::fabs((t->a * o.prev_x + t->b * o.prev_y + t->c) / t->norm), o.radius);
            if (!std::isfinite(f.fx) || !std::isfinite(f.fy) || !std::isfinite(e)) return;
            if (e < THREADED_FRACTION * o.radius) {
                // Threaded on the line.
                o.x = f.fx;
                o.y = f.fy;
            } else {
                // Kept at the start-of-step distance on the side it is on now
                // (on the line itself: the side it came from).
                double side = f.s > 0 ? 1.0 : f.s < 0 ? -1.0 : 0.0;
                if (side == 0) side = (t->a * o.prev_x + t->b * o.prev_y + t->c) >= 0 ? 1.0 : -1.0;
                o.x = f.fx + e * side * f.nx;
                o.y = f.fy + e * side * f.ny;
            }
            break;
        }
        case LineKind::Vertical:
            if (!clear_of(o.x, t->x1, o.radius, o.vx)) o.x = held_coordinate(o.prev_x, t->x1, o.radius);
            break;
        case LineKind::Horizontal:
            if (!clear_of(o.y, t->y1, o.radius, o.vy)) o.y = held_coordinate(o.prev_y, t->y1, o.radius);
            break;
    }
}

// ---- Circular tracks ----

void CT_force(Model& m, int a) {
    const ArcTrack* t = current_ct(m);
    if (!t || !(t->radius > 0)) return;
    const int k = m.step.ct_track_index;
    MovingObject& o = m.objects[a];
    ForceBreakdown& fb = m.forces[a];
    const double fx0 = o.force_x, fy0 = o.force_y;
    const double dx = o.x - t->cx, dy = o.y - t->cy;
    const double w = vec_angle(dx, dy);
    const double nx = std::cos(w), ny = std::sin(w);  // outward
    const double tx = -ny, ty = nx;                   // tangent, counter-clockwise
    const double V = tx * o.vx + ty * o.vy;
    // The support includes the centripetal force needed to follow the circle
    // the body's centre runs on.
    const double l = length(dx, dy);
    const double Z = -(fx0 * nx + fy0 * ny) - o.mass * V * V / l;
    if (!std::isfinite(Z)) return;
    // The arc can only push a body lying on it away from itself (towards the
    // centre from inside, outwards from outside): where the support would have
    // to pull, the body flies off and nothing holds it this step.
    if (o.kind == KIND_BODY && lying_side(*t, l, o.radius) * Z < 0) {
        m.step.on_ct_track = 0;
        return;
    }
    fb.ct[k] = {Z * nx, Z * ny};
    fb.total.x += Z * nx;
    fb.total.y += Z * ny;
    slide_or_hold(m, a, tx, ty, std::fabs(Z * t->kinetic_mu), std::fabs(Z * t->static_mu), wrap(w + PI / 2), fx0, fy0);
}

void CT_velocity(Model& m, int a) {
    const ArcTrack* t = current_ct(m);
    if (!t) return;
    MovingObject& o = m.objects[a];
    const double w = vec_angle(o.x - t->cx, o.y - t->cy);
    const double tau = wrap(w + PI / 2);
    if (near_axis(tau, 0) || near_axis(tau, PI) || near_axis(tau, 2 * PI)) {
        o.vy = 0;
        return;
    }
    if (near_axis(tau, PI / 2) || near_axis(tau, 3 * PI / 2)) {
        o.vx = 0;
        return;
    }
    const double speed = length(o.vx, o.vy);
    const double delta = std::fabs(vec_angle(o.vx, o.vy) - tau);
    if (near_tangent(delta, 0) || near_tangent(delta, 2 * PI)) {
        o.vx = speed * std::cos(tau);
        o.vy = speed * std::sin(tau);
    } else if (near_tangent(delta, PI)) {
        o.vx = speed * std::cos(tau + PI);
        o.vy = speed * std::sin(tau + PI);
    } else {
        const double tx = std::cos(tau), ty = std::sin(tau);
        const double along = tx * o.vx + ty * o.vy;
        o.vx = along * tx;
        o.vy = along * ty;
    }
}

void CT_bounce(Model& m, int a) {
    MovingObject& o = m.objects[a];
    const double dt = m.step.step_dt;
    const double keep = 1 - (std::isfinite(o.loss) ? o.loss : 0.0);
    const int current = m.step.on_ct_track ? m.step.ct_track_index : -1;
    for (int k = 0; k < MAX_ELEMENTS && ct_present(m.CT.rec[k]); ++k) {
        const ArcTrack& t = m.CT.rec[k];
        double l, alpha;
        if (k == current || !ct_touches(t, o.x, o.y, o.radius, l, alpha)) continue;
        // Only a body moving towards the arc bounces. One whose rebound could
        // not carry it out of the contact band within a step, against its pull
        // towards the arc (the centrifugal drift included), lands: it is held
        // one radius from the arc on the side it came from, with no velocity
        // across it.
        const double nx = std::cos(alpha), ny = std::sin(alpha);
        const double outward = o.vx * nx + o.vy * ny;
        if ((l < t.radius && outward < 0) || (l > t.radius && outward > 0)) continue;
        const double side = arc_side(t, o, l);
        const double along = o.vy * nx - o.vx * ny;
        const double pull = -side * (o.ax * nx + o.ay * ny + (l > 0 ? along * along / l : 0.0));
        const double pn = o.prev_vx * nx + o.prev_vy * ny;
        if (lands(-keep * pn * side, pull, dt, pn, o.prev_vy * nx - o.prev_vx * ny)) {
            const double held = t.radius + side * o.radius;
            o.x = t.cx + held * nx;
            o.y = t.cy + held * ny;
            o.vx -= outward * nx;
            o.vy -= outward * ny;
            continue;
        }
        const double tau = wrap(alpha + PI / 2), nu = tau + PI / 2;
        if (near_axis(tau, 0) || near_axis(tau, PI) || near_axis(tau, 2 * PI)) {
            o.y -= o.vy * dt;
            o.vy = -keep * o.prev_vy;
        } else if (near_axis(tau, PI / 2) || near_axis(tau, 3 * PI / 2)) {
            o.x -= o.vx * dt;
            o.vx = -keep * o.prev_vx;
        } else {
            const double cn = std::cos(nu), sn = std::sin(nu), ct = std::cos(tau), st = std::sin(tau);
            const double vn = cn * o.vx + sn * o.vy;
            o.x -= vn * dt * cn;
            o.y -= vn * dt * sn;
            const double pt = ct * o.prev_vx + st * o.prev_vy, pn = cn * o.prev_vx + sn * o.prev_vy;
            o.vx = pt * ct - keep * pn * cn;
            o.vy = pt * st - keep * pn * sn;
        }
    }
}

void CT_position(Model& m, int a) {
    const ArcTrack* t = current_ct(m);
    if (!t) return;
    MovingObject& o = m.objects[a];
    const double dx = o.x - t->cx, dy = o.y - t->cy;
    // Held whatever its distance now: the step moved it along the tangent,
    // which carries it outwards by the square of that move over the radius.
    const double d = arc_held_distance(*t, ct_contact_distance(m, a), o.radius);
    if (!std::isfinite(d)) return;
    const double w = vec_angle(dx, dy);
    const double c = std::cos(w), s = std::sin(w);
    if (std::fabs(c) >= AXIS_FACTOR_EPS) o.x = t->cx + c * d;
    if (std::fabs(s) >= AXIS_FACTOR_EPS) o.y = t->cy + s * d;
}

}  // namespace quorrel
