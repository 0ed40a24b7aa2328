// The numeric guards that more than one engine file uses, each with the reason
// it exists. Tolerances that only one solver needs sit at the top of that
// solver's file. The values are part of the simulation's results: changing one
// changes the numbers of every run that reaches it.
#pragma once

#include <cmath>

namespace quorrel {

// A vector component or speed at or below this has no usable direction: the
// direction routines give the axis or 0 instead of dividing by it.
inline constexpr double NO_DIRECTION = 1e-100;

// "Would the motion reverse within this step?" is asked as v * v_next < -this:
// a product that is only a rounding residue of zero (a speed already 0 or
// underflowing) does not count as a reversal.
inline constexpr double REVERSAL_EPS = 1e-100;

// A relative speed of a body along its track, or of a block over its plank,
// below this counts as no sliding: static friction holds it instead of
// kinetic friction acting against a direction that is only rounding noise.
inline constexpr double SLIDING_EPS = 1e-10;

// Below this speed an object counts as at rest for resistance regions and
// ground friction, which then only cancel a push instead of opposing motion.
inline constexpr double AT_REST_SPEED = 1e-20;

// A direction angle this close to a multiple of pi/2 is treated as exactly
// horizontal or vertical, so axis-parallel tracks use their one-coordinate
// rules instead of the general ones with a sine or cosine of almost 0.
inline constexpr double AXIS_ANGLE_EPS = 1e-20;

// A coordinate difference beyond this (a runaway or damaged position) makes the
// two ends of a spring or rope count as coincident instead of overflowing the
// squares of the distance.
inline constexpr double FAR_COORDINATE = 1e70;

// True when v and v_next point in opposite directions beyond rounding.
inline bool reverses(double v, double v_next) {
    return v * v_next < -REVERSAL_EPS;
}

// -1, 0 or 1 by the direction of a sliding speed; within SLIDING_EPS of zero
// it is 0.
inline double sliding_sign(double v) {
    return v > SLIDING_EPS ? 1.0 : v < -SLIDING_EPS ? -1.0 : 0.0;
}

// Angle `a` lies within AXIS_ANGLE_EPS of `axis` (inclusive).
inline bool near_axis(double a, double axis) {
    return std::fabs(a - axis) <= AXIS_ANGLE_EPS;
}

}  // namespace quorrel
