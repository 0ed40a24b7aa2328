// Objects placed directly in a model for the engine and drawing tests.
#pragma once

#include "model/model.h"

namespace quorrel::test {

// Standard gravity, the g of a reset model.
inline constexpr double EARTH_G = 9.8;

// An object in slot `slot` with its live, start and previous state all equal,
// as if the run had just been prepared.
inline MovingObject& set_object(Model& m, int slot, std::int32_t kind, double x, double y, double vx = 0, double vy = 0,
                                double mass = 1, double radius = 0) {
    MovingObject& o = m.objects[slot];
    o.kind = kind;
    o.x = o.x0 = o.prev_x = x;
    o.y = o.y0 = o.prev_y = y;
    o.vx = o.vx0 = o.prev_vx = vx;
    o.vy = o.vy0 = o.prev_vy = vy;
    o.mass = o.rest_mass = mass;
    o.radius = radius;
    return o;
}

// The same in the first free slot; returns the slot.
inline int place_object(Model& m, std::int32_t kind, double x, double y, double vx = 0, double vy = 0, double mass = 1,
                        double radius = 0) {
    const int i = object_count(m);
    set_object(m, i, kind, x, y, vx, vy, mass, radius);
    return i;
}

// A resting body of mass 1 at (x, y): in slot `slot`, or the first free one.
inline MovingObject& place_body(Model& m, double x, double y, int slot = -1) {
    return set_object(m, slot >= 0 ? slot : object_count(m), KIND_BODY, x, y);
}

}  // namespace quorrel::test
