// Velocity, acceleration and force arrows of the moving objects, live every
// frame and at strobe moments, and the constraint analysis that assigns the
// missing force to ropes, rods and a held friction for their arrows.
#pragma once

#include <cstdint>

#include "model/model.h"
#include "render/scene.h"

namespace quorrel {

// Magnitude and direction of a vector. The angle is counter-clockwise from
// +x with y up: atan(cy / cx), plus pi when cx < 0; pi/2, 0 or 3pi/2 when cx
// is 0 (by the sign of cy). So it lies in [-pi/2, 3pi/2).
struct Polar {
    double magnitude;
    double angle;
};
Polar vector_polar(double cx, double cy);

// A full arrow on one canvas with the canvas's current pen: shaft from
// (sx, sy) of length L (pixels) in direction `angle`, and two barbs of 14
// pixels at +-`barb_angle`, their ends shifted by `barb_end` before truncation.
void draw_full_arrow(Canvas& c, int sx, int sy, double L, double angle, double barb_angle, double barb_end);

// Live vectors on Image1: mode 1 exclusive-or (pen colour = background XOR
// the vector's colour), any other mode copy.
void Draw_obj_v(Model& m, Scene& s, int mode);

// The vectors of one object at a strobe moment, into Image1 and
// scene_bitmap at (sx, sy): velocity and acceleration (entries 0 to 5) ...
void strobe_motion_vectors(Model& m, Scene& s, int i, int sx, int sy);
// ... and, for objects other than planks and inclines, the forces (6 to 16).
void strobe_force_vectors(Model& m, Scene& s, int i, int sx, int sy);

// Fills s.constraints[i] from the ropes and rods on object i and a static
// friction it is held by; a held friction's share becomes the object's
// friction vector (friction state 1).
void constraint_analysis(Model& m, Scene& s, int i);

}  // namespace quorrel
