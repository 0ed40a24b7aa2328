// Collisions between bodies (circles) and between blocks on one plank (along
// x). Momentum is exchanged along the line of centres with a restitution
// R = |(1 - loss_a)(1 - loss_b)|; the tangential velocities stay.
#include <cmath>

#include "engine/constraints.h"
#include "engine/solvers.h"

namespace quorrel {
namespace {

// Centres nearer than this have no line between them; the normal is then
// taken along the x axis.
constexpr double CENTRES_COINCIDE = 1e-24;
// Bodies that overlap while already separating are pushed apart to this factor
// times the sum of their radii: clear of each other, not left just touching.
constexpr double SEPARATION_MARGIN = 1.01;
// Blocks on one plank at (almost) the same x have no side to push each other
// to; they are left alone.
constexpr double SAME_PLACE_GAP = 1e-50;

// New normal velocities of two colliding objects; false when the masses give
// no usable weighting (then the velocities are left alone).
bool exchange(double ma, double mb, double la, double lb, double& van, double& vbn) {
    const double sum = ma + mb;
    if (!(sum > 0) || !std::isfinite(sum)) return false;
    if (!std::isfinite(la)) la = 0;
    if (!std::isfinite(lb)) lb = 0;
    const double R = std::fabs((1 - la) * (1 - lb));
    const double b = (mb * vbn + ma * van + ma * R * (van - vbn)) / sum;
    const double na = b + R * (vbn - van);
    if (!std::isfinite(b) || !std::isfinite(na)) return false;
    vbn = b;
    van = na;
    return true;
}

bool valid_body(const Model& m, int i) {
    return i >= 0 && i < MAX_OBJECTS && m.objects[i].kind == KIND_BODY;
}

}  // namespace

void body_collision(Model& m, int a, int b) {
    if (a == b || !valid_body(m, a) || !valid_body(m, b)) return;
    MovingObject& oa = m.objects[a];
    MovingObject& ob = m.objects[b];
    const double dx = ob.x - oa.x, dy = ob.y - oa.y;
    const double d = length(dx, dy);
    double n = d > CENTRES_COINCIDE ? safe_asin(dy / d) : 0.0;
    if (dx < 0) n = PI - n;
    const double c = std::cos(n), s = std::sin(n);
    const double reach = oa.radius + ob.radius;
    double van = oa.vx * c + oa.vy * s;
    double vbn = ob.vx * c + ob.vy * s;
    if (vbn > van) {
        // Already separating: only pushed apart, a little beyond touching.
        ob.x = oa.x + reach * SEPARATION_MARGIN * c;
        ob.y = oa.y + reach * SEPARATION_MARGIN * s;
        return;
    }
    const double van0 = van, vbn0 = vbn;
    if (exchange(oa.mass, ob.mass, oa.loss, ob.loss, van, vbn)) {
        oa.vx += (van - van0) * c;
        oa.vy += (van - van0) * s;
        ob.vx += (vbn - vbn0) * c;
        ob.vy += (vbn - vbn0) * s;
    }
    const double dt = m.step.step_dt;
    ob.x = oa.x + reach * c + ob.vx * dt;
    ob.y = oa.y + reach * s + ob.vy * dt;
}

void block_collisions(Model& m, int a) {
    if (a < 0 || a >= MAX_OBJECTS) return;
    MovingObject& oa = m.objects[a];
    const int h = block_host(m, a);
    if (h < 0 || m.objects[h].kind != KIND_PLANK || oa.riding == 1) return;
    const double dt = m.step.step_dt;
    for (int p = 0; p < MAX_OBJECTS && m.objects[p].kind != KIND_NONE; ++p) {
        MovingObject& op = m.objects[p];
        if (p == a || op.kind != KIND_BLOCK || op.host != oa.host) continue;
        const double half = (op.width + oa.width) / 2;
        const double gap = std::fabs(op.x - oa.x);
        if (!(gap > SAME_PLACE_GAP && gap < half)) continue;
        oa.stuck = 0;
        if (op.riding != 1) op.stuck = 0;
        const double dir = op.x >= oa.x ? 1.0 : -1.0;  // the normal from a towards p
        double van = oa.vx * dir, vpn = op.vx * dir;
        // Blocks that already move apart keep their velocities; exchanging
        // them would drive the blocks back into each other.
        if (!(vpn > van) && exchange(oa.mass, op.mass, oa.loss, op.loss, van, vpn)) {
            oa.vx = van * dir;
            op.vx = vpn * dir;
        }
        const double old_x = op.x;
        op.x = oa.x + dir * half + op.vx * dt;
        oa.prev_vx = oa.vx;
        op.prev_vx = op.vx;
        if (op.riding != 1) return;
        // A block fixed to the plank takes the plank and the plank's other
        // riders with it.
        const double shift = op.x - old_x;
        MovingObject& plank = m.objects[h];
        plank.vx = op.vx;
        plank.prev_vx = op.vx;
        plank.x = op.x - op.rel_x;
        for (int q = 0; q < MAX_OBJECTS && m.objects[q].kind != KIND_NONE; ++q) {
            MovingObject& oq = m.objects[q];
            if (q != p && oq.kind == KIND_BLOCK && oq.host == op.host && oq.riding == 1) oq.x += shift;
        }
        return;
    }
}

}  // namespace quorrel
