// Test helper: an object placed in a model with its live, start and previous
// state all equal, as if the run had just been prepared.
#pragma once

#include "model/model.h"

namespace quorrel {

inline int place_object(Model& m, std::int32_t kind, double x, double y, double vx, double vy, double mass,
                        double radius) {
    const int i = object_count(m);
    MovingObject& o = m.objects[i];
    o.kind = kind;
    o.x = o.x0 = o.prev_x = x;
    o.y = o.y0 = o.prev_y = y;
    o.vx = o.vx0 = o.prev_vx = vx;
    o.vy = o.vy0 = o.prev_vy = vy;
    o.mass = o.rest_mass = mass;
    o.radius = radius;
    return i;
}

}  // namespace quorrel
