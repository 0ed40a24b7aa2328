// Objects placed directly in a model for the engine and drawing tests.
#pragma once

#include "model/model.h"

namespace quorrel::test {

// An object in the first free slot with its live, start and previous state
// all equal, as if the run had just been prepared. Returns its slot.
inline int place_object(Model& m, std::int32_t kind, double x, double y, double vx = 0, double vy = 0, double mass = 1,
                        double radius = 0) {
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

// A resting body of mass 1 at (x, y), in the first free slot.
inline MovingObject& place_body(Model& m, double x, double y) {
    return m.objects[place_object(m, KIND_BODY, x, y)];
}

}  // namespace quorrel::test
