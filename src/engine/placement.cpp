// Track placement of a dropped body: straight tracks first, then arcs, each
// in table order, the position dialog asked once when any track is near.
#include "engine/placement.h"

#include <cmath>

#include "engine/constraints.h"
#include "engine/solvers.h"

namespace quorrel {
namespace {

// A dropped body closer than this to a track's line (or an arc's radius) lies
// on it: there is no side to push it to, so it goes along the normal (or, on
// an arc, stays where it is).
constexpr double ON_TRACK = 1e-12;

// Where a body dropped near one straight track goes.
void place_on_tb(const StraightTrack& t, Placement choice, double r, double& X, double& Y) {
    const LineKind kind = line_kind(t.direction);
    if (kind == LineKind::Vertical) {
        if (choice == Placement::Against) X = X >= t.x1 ? t.x1 + r : t.x1 - r;
        if (choice == Placement::Threaded) X = t.x1;
        return;
    }
    if (kind == LineKind::Horizontal) {
        if (choice == Placement::Against) Y = Y >= t.y1 ? t.y1 + r : t.y1 - r;
        if (choice == Placement::Threaded) Y = t.y1;
        return;
    }
    const double nx = t.a / t.norm, ny = t.b / t.norm;
    const double s = (t.a * X + t.b * Y + t.c) / t.norm;
    const double fx = X - s * nx, fy = Y - s * ny;  // foot of the perpendicular
    if (choice == Placement::Threaded) {
        X = fx;
        Y = fy;
    } else if (choice == Placement::Against) {
        const double D = std::fabs(s);
        if (D > ON_TRACK) {
            X = fx + (X - fx) * r / D;
            Y = fy + (Y - fy) * r / D;
        } else {
            X = fx + r * nx;
            Y = fy + r * ny;
        }
    }
}

void place_on_ct(const ArcTrack& t, Placement choice, double L, double alpha, double r, double& X, double& Y) {
    double to = L;
    if (choice == Placement::Threaded) to = t.radius;
    if (choice == Placement::Against) {
        if (std::fabs(L - t.radius) < ON_TRACK) return;
        to = L > t.radius ? t.radius + r : t.radius - r;
    }
    X = t.cx + to * std::cos(alpha);
    Y = t.cy + to * std::sin(alpha);
}

}  // namespace

bool s_obj_TB_CT_position(Model& m, int a, PlacementQuestion ask, void* context) {
    if (a < 0 || a >= MAX_OBJECTS || m.objects[a].kind != KIND_BODY) return false;
    MovingObject& o = m.objects[a];
    const double r = o.radius;
    double X = o.x0, Y = o.y0;
    bool asked = false, near_any = false;
    Placement choice = Placement::Custom;
    auto decide = [&] {
        near_any = true;
        if (!asked) {
            asked = true;
            choice = ask ? ask(context) : Placement::Custom;
        }
        return choice;
    };
    for (int k = 0; k < MAX_ELEMENTS && (m.TB.rec[k].a != 0.0 || m.TB.rec[k].b != 0.0); ++k) {
        double s;
        // The candidate box is widened by the same 1.5 radii as the distance,
        // so that a body dropped just above a horizontal track is found too.
        if (!tb_near(m.TB.rec[k], X, Y, 1.5 * r, 1.5 * r, s) || !(std::fabs(s) < 1.5 * r)) continue;
        place_on_tb(m.TB.rec[k], decide(), r, X, Y);
    }
    for (int k = 0; k < MAX_ELEMENTS && m.CT.rec[k].radius != 0.0; ++k) {
        const ArcTrack& t = m.CT.rec[k];
        if (!(t.radius > 0) || !std::isfinite(t.radius)) continue;
        const double L = std::hypot(X - t.cx, Y - t.cy);
        const double alpha = vec_angle(X - t.cx, Y - t.cy);
        // Only the arc's stored range counts here, not the range raised by 2*pi.
        if (!(std::fabs(L - t.radius) < 1.5 * r) || !(t.start_angle <= alpha && alpha <= t.end_angle)) continue;
        place_on_ct(t, decide(), L, alpha, r, X, Y);
    }
    if (std::isfinite(X) && std::isfinite(Y)) {
        o.x0 = X;
        o.y0 = Y;
    }
    return near_any;
}

}  // namespace quorrel
