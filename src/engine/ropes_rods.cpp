// Ropes (SH, E_SH) and rods (GAN, E_GAN). They are not forces: after each
// velocity update the solvers remove the velocity a rope or rod forbids, and
// after each position update they put the object back at the allowed
// distance. A rope only resists stretching; a rod keeps its length exactly.
#include <cmath>

#include "engine/constraints.h"
#include "engine/solvers.h"
#include "engine/tolerances.h"

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
// A rod is corrected whenever its length is off by more than this.
constexpr double ROD_LENGTH_EPS = 1e-12;

// Direction of (dx, dy) of length d by the asin rule of the rope and rod
// solvers: 0 unless the test passes, pi - phi to the left, in [0, 2*pi).
double link_angle(double dx, double dy, double d, bool test) {
    double phi = test && d > 0 ? safe_asin(dy / d) : 0.0;
    if (dx < 0) phi = PI - phi;
    if (phi < 0) phi += 2 * PI;
    return phi;
}

// Anchored elements test the y component, two-object elements the length.
double anchored_angle(double dx, double dy, double d) {
    return link_angle(dx, dy, d, std::fabs(dy) >= LINK_NO_DIRECTION);
}
double between_angle(double dx, double dy, double d) {
    return link_angle(dx, dy, d, d > LINK_NO_DIRECTION);
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

void anchored_position(Model& m, int a, const ElementList<AnchorLink>& list, bool rope) {
    MovingObject& o = m.objects[a];
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
        o.x = r.anchor_x + len * std::cos(g.phi);
        o.y = r.anchor_y + len * std::sin(g.phi);
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

// Geometry of a two-object rope or rod: from a towards b.
struct Between {
    double d, psi, c, s;
};

bool between(const MovingObject& oa, const MovingObject& ob, Between& g) {
    const double dx = ob.x - oa.x, dy = ob.y - oa.y;
    g.d = length(dx, dy);
    if (!std::isfinite(g.d)) return false;
    g.psi = between_angle(dx, dy, g.d);
    g.c = std::cos(g.psi);
    g.s = std::sin(g.psi);
    return true;
}

// Both radial velocity parts become their momentum-weighted average; the
// tangential parts stay.
void share_radial(MovingObject& oa, MovingObject& ob, const Between& g) {
    const double sum = oa.mass + ob.mass;
    if (!(sum > 0) || !std::isfinite(sum)) return;
    const double ra = oa.vx * g.c + oa.vy * g.s;
    const double rb = ob.vx * g.c + ob.vy * g.s;
    const double avg = (oa.mass * ra + ob.mass * rb) / sum;
    oa.vx += (avg - ra) * g.c;
    oa.vy += (avg - ra) * g.s;
    ob.vx += (avg - rb) * g.c;
    ob.vy += (avg - rb) * g.s;
}

void between_velocity(Model& m, int a, const ElementList<ObjectLink>& list, bool rope) {
    MovingObject& oa = m.objects[a];
    for (int k = 0; k < MAX_ELEMENTS && list.rec[k].state != 0.0; ++k) {
        const ObjectLink& r = list.rec[k];
        const int b = other_end(m, r, a);
        if (b < 0) continue;
        MovingObject& ob = m.objects[b];
        Between g;
        if (!between(oa, ob, g)) continue;
        if (rope) {
            if (!(g.d >= r.length)) continue;
            const double s = length(oa.vx, oa.vy);
            if (!(s > NO_DIRECTION) || !std::isfinite(s)) continue;
            if (!outward(g.psi, between_angle(oa.vx, oa.vy, s))) continue;
        }
        share_radial(oa, ob, g);
    }
}

// Moves both ends towards each other by the excess e (negative: apart), each
// by the other's share of the mass. An end held by a track is not moved.
void close_gap(Model& m, int a, int b, const Between& g, double e) {
    MovingObject& oa = m.objects[a];
    MovingObject& ob = m.objects[b];
    const double sum = oa.mass + ob.mass;
    if (!(sum > 0) || !std::isfinite(sum)) return;
    const double ea = e * ob.mass / sum, eb = e * oa.mass / sum;
    oa.x += ea * g.c;
    oa.y += ea * g.s;
    if (is_on_TB(m, b) || is_on_CT(m, b)) return;
    ob.x -= eb * g.c;
    ob.y -= eb * g.s;
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
void E_SH_velocity(Model& m, int a) {
    between_velocity(m, a, m.E_SH, true);
}
void E_GAN_velocity(Model& m, int a) {
    between_velocity(m, a, m.E_GAN, false);
}

void E_SH_position(Model& m, int a) {
    for (int k = 0; k < MAX_ELEMENTS && m.E_SH.rec[k].state >= ROPE_STATE_MIN; ++k) {
        const ObjectLink& r = m.E_SH.rec[k];
        const int b = other_end(m, r, a);
        if (b < 0 || !std::isfinite(r.length)) continue;
        Between g;
        if (!between(m.objects[a], m.objects[b], g)) continue;
        const double e = g.d - r.length;
        if (g.d > r.length && e > ROPE_STRETCH_ALLOWANCE * r.length) close_gap(m, a, b, g, e);
    }
}

void E_GAN_position(Model& m, int a) {
    for (int k = 0; k < MAX_ELEMENTS && m.E_GAN.rec[k].state != 0.0; ++k) {
        const ObjectLink& r = m.E_GAN.rec[k];
        const int b = other_end(m, r, a);
        if (b < 0 || !std::isfinite(r.length)) continue;
        Between g;
        if (!between(m.objects[a], m.objects[b], g)) continue;
        // A rod also pushes its ends apart when they came too close.
        const double e = g.d - r.length;
        if (std::fabs(e) > ROD_LENGTH_EPS) close_gap(m, a, b, g, e);
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
