// Ropes (SH, E_SH) and rods (GAN, E_GAN). They are not forces: after each
// velocity update the solvers remove the velocity a rope or rod forbids, and
// after each position update they put the object back at the allowed
// distance. A rope only resists stretching; a rod keeps its length exactly.
//
// The position correction is the impulse the link gives over the step: the
// object is moved along the link's direction at the start of the step, its
// velocity changes by that move per time step, and then the velocity the link
// forbids is removed along its direction at the end of the step. Corrected
// this way, a link does no work: a pendulum keeps its energy and a spinning
// pair its spin. A link between two objects is corrected once per step, when
// the second of its ends has been stepped, so both ends see the same state.
#include <algorithm>
#include <cmath>

#include "engine/constraints.h"
#include "engine/solvers.h"
#include "engine/tolerances.h"
#include "model/mapping.h"

namespace quorrel {
namespace {

// A link vector whose y component (anchored links) or length (links between
// objects) is below this has no direction; it is taken along the x axis.
constexpr double LINK_NO_DIRECTION = 1e-50;
// The rod's velocity solver lets its ends drift further apart than the other
// solvers before it counts them as coincident.
constexpr double ROD_FAR_COORDINATE = 1e100;
// A rope pulled back is put this factor beyond its length, so that it still
// counts as taut in the next step and keeps removing the outward velocity.
constexpr double ROPE_OVERSHOOT = 1.00001;
// A rope between objects is corrected only when stretched by more than this
// fraction of its length (0.1 %).
constexpr double ROPE_STRETCH_ALLOWANCE = 0.001;
// The position scan of ropes between objects ends at the first record whose
// state word is below this (the other scans end at a state of 0).
constexpr double ROPE_STATE_MIN = 0.1;
// A link turns by far less than this within a step (cos 60°); a start
// direction farther from the present one does not belong to this step.
constexpr double START_DIRECTION_MIN_COS = 0.5;

// Direction of (dx, dy) of length d by the asin rule of the anchored rope and
// rod solvers: 0 when the y component has no direction, pi - phi to the left,
// in [0, 2*pi).
double anchored_angle(double dx, double dy, double d) {
    double phi = std::fabs(dy) >= LINK_NO_DIRECTION && d > 0 ? safe_asin(dy / d) : 0.0;
    if (dx < 0) phi = PI - phi;
    if (phi < 0) phi += 2 * PI;
    return phi;
}

// A velocity of direction beta is outward when it makes an angle of at least
// pi/2 with the direction psi from the object towards the rope's other end.
bool outward(double psi, double beta) {
    const double h = PI / 2;
    return std::fabs(psi - beta) >= h && std::fabs(psi + 2 * PI - beta) >= h && std::fabs(psi - 2 * PI - beta) >= h;
}

bool finite(double a, double b, double c) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c);
}

// Geometry of an anchored rope or rod: from the anchor to the object.
struct Anchored {
    double dx, dy, d, phi;
};

bool anchored(const MovingObject& o, const AnchorLink& r, double far, Anchored& g) {
    if (!finite(r.anchor_x, r.anchor_y, r.length)) return false;
    g.dx = o.x - r.anchor_x;
    g.dy = o.y - r.anchor_y;
    // Very distant ends count as coincident rather than overflow the squares.
    if (std::fabs(g.dx) > far) g.dx = 0;
    if (std::fabs(g.dy) > far) g.dy = 0;
    g.d = length(g.dx, g.dy);
    if (!std::isfinite(g.d)) return false;
    g.phi = anchored_angle(g.dx, g.dy, g.d);
    return true;
}

// Keeps only the part of the velocity along the tangent tau.
void keep_tangential(MovingObject& o, double s, double tau) {
    const double beta = anchored_angle(o.vx, o.vy, s);
    const double along = s * std::cos(beta - tau);
    o.vx = along * std::cos(tau);
    o.vy = along * std::sin(tau);
}

void anchored_velocity(Model& m, int a, const ElementList<AnchorLink>& list, bool rope) {
    MovingObject& o = m.objects[a];
    for (int k = 0; k < MAX_ELEMENTS && list.rec[k].state != 0.0; ++k) {
        const AnchorLink& r = list.rec[k];
        if (r.object != static_cast<double>(a)) continue;
        Anchored g;
        if (!anchored(o, r, rope ? FAR_COORDINATE : ROD_FAR_COORDINATE, g)) continue;
        const double s = length(o.vx, o.vy);
        if (!(s > NO_DIRECTION) || !std::isfinite(s)) continue;
        if (rope) {
            // A slack rope, or a taut one the object moves back along, does nothing.
            if (!(g.d > o.radius && g.d >= r.length)) continue;
            if (!outward(g.phi + PI, anchored_angle(o.vx, o.vy, s))) continue;
        }
        keep_tangential(o, s, g.phi + PI / 2);
    }
}

// The shift c along the unit vector u that brings p to the length `target`
// (|p + c*u| = target), the one nearest to zero; NaN when the line through p
// along u misses that circle. Written to keep a small c exact.
double along_to_length(XY p, XY u, double target) {
    const double b = dot(p, u), d = length(p);
    const double gap = (target - d) * (target + d);
    const double root = std::sqrt(b * b + gap);
    if (!std::isfinite(root)) return NAN;
    const double q = b >= 0 ? b + root : b - root;
    return q == 0 ? 0.0 : gap / q;
}

// The part `cv` of a correction `c` that the velocity follows: at most c and
// never against it, so that start positions that do not match (an object
// moved by an event program between two steps) cannot kick the velocity.
double motion_part(double cv, double c) {
    if (c > 0) return std::clamp(cv, 0.0, c);
    if (c < 0) return std::clamp(cv, c, 0.0);
    return 0.0;
}

// The unit vector of v, or `fallback` when v has no usable direction.
XY unit_or(XY v, XY fallback) {
    const double d = length(v);
    return d > LINK_NO_DIRECTION && std::isfinite(d) ? v * (1 / d) : fallback;
}

// The direction along which a link is corrected: its direction at the start
// of the step, unless that lies far from its direction now (the start
// positions do not match: an object moved by an event program).
XY correction_direction(XY start, XY now) {
    const XY u0 = unit_or(start, now);
    return dot(u0, now) >= START_DIRECTION_MIN_COS ? u0 : now;
}

// Removes from v its part along the unit vector u.
XY without(XY v, XY u) {
    return v - u * dot(v, u);
}

void anchored_position(Model& m, int a, const ElementList<AnchorLink>& list, bool rope) {
    MovingObject& o = m.objects[a];
    const double dt = m.step.step_dt;
    for (int k = 0; k < MAX_ELEMENTS && list.rec[k].state != 0.0; ++k) {
        const AnchorLink& r = list.rec[k];
        if (r.object != static_cast<double>(a)) continue;
        Anchored g;
        if (!anchored(o, r, FAR_COORDINATE, g)) continue;
        double len = r.length;
        if (rope) {
            if (!(g.d > o.radius && g.d > r.length)) continue;
            // Just outside the length, so that the rope still counts as taut.
            len *= ROPE_OVERSHOOT;
        }
        const XY anchor{r.anchor_x, r.anchor_y};
        const XY p{o.x - anchor.x, o.y - anchor.y};
        const XY along{std::cos(g.phi), std::sin(g.phi)};
        const XY start{o.prev_x - anchor.x, o.prev_y - anchor.y};
        const XY u0 = correction_direction(start, along);
        // The velocity follows only the part of the move that this step's
        // motion made: a rod keeps its start-of-step length, a rope does not
        // let the object further out than that length or its own.
        const double d0 = length(start);
        const double keep = rope ? std::max(d0, len) : d0;
        const double c = along_to_length(p, u0, len), cv = motion_part(along_to_length(p, u0, keep), c);
        if (std::isfinite(c) && std::isfinite(cv) && dt > 0) {
            o.x += c * u0.x;
            o.y += c * u0.y;
            o.vx += cv / dt * u0.x;
            o.vy += cv / dt * u0.y;
        } else {
            o.x = anchor.x + len * along.x;
            o.y = anchor.y + len * along.y;
        }
        // At the end of the step the link allows only motion across it (a
        // rope also motion back towards the anchor).
        const XY u1 = unit_or({o.x - anchor.x, o.y - anchor.y}, along);
        const XY v{o.vx, o.vy};
        if (!rope || dot(v, u1) > 0) {
            const XY t = without(v, u1);
            o.vx = t.x;
            o.vy = t.y;
        }
    }
}

// The other end of a two-object record that names `a`, or -1.
int other_end(const Model& m, const ObjectLink& r, int a) {
    const double self = static_cast<double>(a);
    int b = -1;
    if (r.object_a == self)
        b = object_slot(m, r.object_b);
    else if (r.object_b == self)
        b = object_slot(m, r.object_a);
    return b == a ? -1 : b;
}

// Whether the link between body `a` and the object `b` is corrected in a's
// step: when b has been stepped already (bodies are stepped in slot order),
// or when b is no body and never corrects its links itself.
bool corrects_here(const Model& m, int a, int b) {
    return m.objects[b].kind != KIND_BODY || b < a;
}

// Both radial velocity parts along the unit vector u become their momentum
// average; the tangential parts stay.
void share_radial(MovingObject& oa, MovingObject& ob, XY u) {
    const double sum = oa.mass + ob.mass;
    if (!(sum > 0) || !std::isfinite(sum)) return;
    const double ra = oa.vx * u.x + oa.vy * u.y;
    const double rb = ob.vx * u.x + ob.vy * u.y;
    const double avg = (oa.mass * ra + ob.mass * rb) / sum;
    oa.vx += (avg - ra) * u.x;
    oa.vy += (avg - ra) * u.y;
    ob.vx += (avg - rb) * u.x;
    ob.vy += (avg - rb) * u.y;
}

// Corrects the link between a (stepped now) and b (stepped before it) to the
// length `len`, the velocities only for the part of the move this step's
// motion made (up to the length `keep`). Each end moves by the other's share
// of the mass, so the momentum stays; with `track_holds` an end held by a
// track is not moved. Returns the direction from a to b at the end of the step.
XY close_link(Model& m, int a, int b, double len, double keep, bool track_holds) {
    MovingObject& oa = m.objects[a];
    MovingObject& ob = m.objects[b];
    const XY p{ob.x - oa.x, ob.y - oa.y};
    const XY now = unit_or(p, {1, 0});
    const double sum = oa.mass + ob.mass;
    const double dt = m.step.step_dt;
    if (!(sum > 0) || !std::isfinite(sum) || !(dt > 0)) return now;
    const XY u0 = correction_direction({ob.prev_x - oa.prev_x, ob.prev_y - oa.prev_y}, now);
    double c = along_to_length(p, u0, len), cv = motion_part(along_to_length(p, u0, keep), c);
    XY u = u0;
    if (!std::isfinite(c) || !std::isfinite(cv)) {
        // No point along the start direction: close the gap along the link.
        u = now;
        c = len - length(p);
        cv = 0;
    }
    const double wa = ob.mass / sum, wb = oa.mass / sum;
    auto held = [&](int i) { return track_holds && (is_on_TB(m, i) || is_on_CT(m, i)); };
    if (!held(a)) {
        oa.x -= c * wa * u.x;
        oa.y -= c * wa * u.y;
        oa.vx -= cv / dt * wa * u.x;
        oa.vy -= cv / dt * wa * u.y;
    }
    if (!held(b)) {
        ob.x += c * wb * u.x;
        ob.y += c * wb * u.y;
        ob.vx += cv / dt * wb * u.x;
        ob.vy += cv / dt * wb * u.y;
    }
    return unit_or({ob.x - oa.x, ob.y - oa.y}, now);
}

// b finished its step before the link moved it: its reported acceleration
// and its screen position follow the correction.
void after_correction(Model& m, int b, XY v_before) {
    MovingObject& ob = m.objects[b];
    const double dt = m.step.step_dt;
    ob.ax += (ob.vx - v_before.x) / dt;
    ob.ay += (ob.vy - v_before.y) / dt;
    if (m.running) set_screen_position(m, ob, ob.x, ob.y);
}

}  // namespace

void SH_velocity(Model& m, int a) {
    anchored_velocity(m, a, m.SH, true);
}
void GAN_velocity(Model& m, int a) {
    anchored_velocity(m, a, m.GAN, false);
}
void SH_position(Model& m, int a) {
    anchored_position(m, a, m.SH, true);
}
void GAN_position(Model& m, int a) {
    anchored_position(m, a, m.GAN, false);
}

void E_SH_position(Model& m, int a) {
    for (int k = 0; k < MAX_ELEMENTS && m.E_SH.rec[k].state >= ROPE_STATE_MIN; ++k) {
        const ObjectLink& r = m.E_SH.rec[k];
        const int b = other_end(m, r, a);
        if (b < 0 || !std::isfinite(r.length) || !corrects_here(m, a, b)) continue;
        MovingObject& oa = m.objects[a];
        MovingObject& ob = m.objects[b];
        const double d = length(ob.x - oa.x, ob.y - oa.y);
        const double d0 = length(ob.prev_x - oa.prev_x, ob.prev_y - oa.prev_y);
        if (!std::isfinite(d) || !std::isfinite(d0)) continue;
        const XY vb{ob.vx, ob.vy};
        // A rope stretched a little (up to the allowance) by something else
        // than the rope keeps that length; one stretched more is pulled back.
        const double limit = r.length * (1 + ROPE_STRETCH_ALLOWANCE);
        const double len = d0 > r.length && d0 <= limit ? d0 : r.length;
        XY u = unit_or({ob.x - oa.x, ob.y - oa.y}, {1, 0});
        bool taut = d >= r.length;
        if (d > len) {
            u = close_link(m, a, b, len, std::max(d0, r.length), true);
            taut = true;
        }
        // A taut rope lets its ends come closer, never separate.
        if (taut && (ob.vx - oa.vx) * u.x + (ob.vy - oa.vy) * u.y > 0) share_radial(oa, ob, u);
        after_correction(m, b, vb);
    }
}

void E_GAN_position(Model& m, int a) {
    for (int k = 0; k < MAX_ELEMENTS && m.E_GAN.rec[k].state != 0.0; ++k) {
        const ObjectLink& r = m.E_GAN.rec[k];
        const int b = other_end(m, r, a);
        if (b < 0 || !std::isfinite(r.length) || !corrects_here(m, a, b)) continue;
        MovingObject& oa = m.objects[a];
        MovingObject& ob = m.objects[b];
        const double d0 = length(ob.prev_x - oa.prev_x, ob.prev_y - oa.prev_y);
        if (!std::isfinite(d0)) continue;
        const XY vb{ob.vx, ob.vy};
        // A rod also pushes its ends apart when they came too close.
        const XY u = close_link(m, a, b, r.length, d0, false);
        share_radial(oa, ob, u);
        after_correction(m, b, vb);
    }
}

void set_rope_rod_lengths(Model& m) {
    auto start_distance = [](const MovingObject& p, const MovingObject& q) {
        return std::hypot(p.x0 - q.x0, p.y0 - q.y0);
    };
    for (ElementList<AnchorLink>* list : {&m.SH, &m.GAN}) {
        for (int k = 0; k < MAX_ELEMENTS && list->rec[k].state != 0.0; ++k) {
            AnchorLink& r = list->rec[k];
            const int i = object_slot(m, r.object);
            if (i >= 0) {
                const double len = std::hypot(m.objects[i].x0 - r.anchor_x, m.objects[i].y0 - r.anchor_y);
                if (std::isfinite(len)) r.length = len;
            }
            r.state = 1.0;
        }
    }
    for (ElementList<ObjectLink>* list : {&m.E_SH, &m.E_GAN}) {
        for (int k = 0; k < MAX_ELEMENTS && list->rec[k].state != 0.0; ++k) {
            ObjectLink& r = list->rec[k];
            const int i = object_slot(m, r.object_a), j = object_slot(m, r.object_b);
            if (i >= 0 && j >= 0) {
                const double len = start_distance(m.objects[i], m.objects[j]);
                if (std::isfinite(len)) r.length = len;
            }
            r.state = 1.0;
        }
    }
}

}  // namespace quorrel
