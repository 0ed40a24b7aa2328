// Springs: from an anchor to an object (TH) and between two objects (E_TH).
// A spring adds k * (L0 - d) along the line from its other end to the object
// and records that vector in the object's force breakdown for the arrows.
#include <cmath>

#include "engine/solvers.h"
#include "engine/tolerances.h"

namespace quorrel {
namespace {

// An extension |L0 - d| below this counts as the natural length: no force.
constexpr double SLACK_EXTENSION = 1e-24;
// Ends nearer than this have no direction between them; the force then acts
// along the x axis. An anchored spring and a spring between objects use different
// limits.
constexpr double ANCHOR_NO_DIRECTION = 1e-24;
constexpr double BETWEEN_NO_DIRECTION = 1e-18;

// Mode 1 acts only when stretched (e < 0), mode 2 only when compressed (e > 0).
bool mode_allows(double mode, double e) {
    if (mode == 1) return e < 0;
    if (mode == 2) return e > 0;
    return true;
}

// Very distant ends (a damaged or runaway position) count as coincident
// rather than overflow the squares.
double clip(double d) {
    return std::fabs(d) > FAR_COORDINATE ? 0.0 : d;
}

// Adds k*e along the direction of (dx, dy) and returns the added vector.
XY add_along(MovingObject& o, double dx, double dy, double d, double threshold, double ke) {
    double phi = d < threshold ? 0.0 : safe_asin(dy / d);
    if (dx < 0) phi = PI - phi;
    const XY f{ke * std::cos(phi), ke * std::sin(phi)};
    o.force_x += f.x;
    o.force_y += f.y;
    return f;
}

}  // namespace

void apply_TH(Model& m, int a) {
    MovingObject& o = m.objects[a];
    for (int s = 0; s < MAX_ELEMENTS && m.TH.rec[s].stiffness != 0.0; ++s) {
        const AnchorSpring& r = m.TH.rec[s];
        if (r.object != static_cast<double>(a)) continue;
        const double dx = clip(o.x - r.anchor_x), dy = clip(o.y - r.anchor_y);
        const double d = length(dx, dy);
        // An object lying within its own radius of the anchor feels nothing.
        if (!(d > o.radius)) continue;
        const double e = r.natural_length - d;
        if (std::fabs(e) < SLACK_EXTENSION || !mode_allows(r.mode, e)) continue;
        m.forces[a].th[s] = add_along(o, dx, dy, d, ANCHOR_NO_DIRECTION, r.stiffness * e);
    }
}

void apply_E_TH(Model& m, int a, double ahead) {
    MovingObject& o = m.objects[a];
    const double self = static_cast<double>(a);
    for (int s = 0; s < MAX_ELEMENTS && m.E_TH.rec[s].stiffness != 0.0; ++s) {
        const ObjectSpring& r = m.E_TH.rec[s];
        double other;
        if (r.object_a == self)
            other = r.object_b;
        else if (r.object_b == self)
            other = r.object_a;
        else
            continue;
        const int b = object_slot(m, other);
        if (b < 0 || b == a) continue;  // a spring must join two existing objects
        // Both ends are taken where they were at the start of the step, moved
        // on by their start velocities for `ahead` seconds: the two ends of a
        // spring then see the same state whichever is stepped first, and feel
        // equal and opposite forces.
        const MovingObject& p = m.objects[b];
        const double dx = clip((o.prev_x + o.prev_vx * ahead) - (p.prev_x + p.prev_vx * ahead));
        const double dy = clip((o.prev_y + o.prev_vy * ahead) - (p.prev_y + p.prev_vy * ahead));
        const double d = length(dx, dy);
        const double e = r.natural_length - d;
        if (std::fabs(e) < SLACK_EXTENSION || !mode_allows(r.mode, e)) continue;
        m.forces[a].e_th[s] = add_along(o, dx, dy, d, BETWEEN_NO_DIRECTION, r.stiffness * e);
    }
}

}  // namespace quorrel
