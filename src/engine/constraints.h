// Helpers of the constraint solvers (ropes, rods, collisions, blocks and
// tracks) that the rest of the program needs besides the solver entry points
// of solvers.h: the rope and rod lengths set at Run, the stop messages of the
// blocks, and the track geometry shared by the solvers and the track services.
#pragma once

#include "model/model.h"

namespace quorrel {

// ---- Ropes and rods ----

// What Run does before a run starts: every rope and rod takes as its length
// the distance of its ends at the start positions (x0, y0), and its state word
// becomes 1.0. Each table is scanned up to its first record whose state word
// is zero. A record naming a missing object keeps its length.
void set_rope_rod_lengths(Model& m);

// ---- Blocks, planks and inclines ----

// The stop messages of block_on_host and host_on_ground (UTF-8).
inline constexpr const char* MSG_BLOCK_OFF_PLANK = "木块已经超出了平板的范围，实验被停止了。";
inline constexpr const char* MSG_BLOCK_LIFTS_OFF_PLANK = "木块的受力使木块脱离了平板，实验被停止了。";
inline constexpr const char* MSG_BLOCK_OFF_INCLINE = "木块已经超出了斜面的范围，实验被停止了。";
inline constexpr const char* MSG_BLOCK_LIFTS_OFF_INCLINE = "木块的受力使木块可能在瞬间脱离了斜面，实验被停止了。";
inline constexpr const char* MSG_PLANK_LIFTS_OFF_GROUND = "平板的受力使平板脱离了地面，实验被停止了。";
inline constexpr const char* MSG_INCLINE_LIFTS_OFF_GROUND = "斜面的受力使斜面脱离了地面，实验被停止了。";

// The plank or incline block `a` rests on, or -1 when `a` is not a block or
// its host index names no plank or incline.
int block_host(const Model& m, int a);

// How the reaction of each block reaches its incline. Every block on an
// incline keeps its own reaction, so that several blocks on one incline each
// push it exactly once:
//  - normal force: m.forces[block].host_normal[host] (the force on the block;
//    the incline receives its negative), its magnitude in host_support[host];
//  - friction: m.step.support_friction[block], the friction's reaction as a
//    signed amount along the slope's upward direction (0 when no kinetic
//    friction acted in the block's last evaluation).
// m.step.support_normal[host] holds the normal force of the last block
// evaluated on that host, which the kernel's tail for stuck blocks reads.

// ---- Tracks ----

// A TB direction angle is treated as horizontal or vertical when it lies
// within AXIS_ANGLE_EPS (tolerances.h) of a multiple of pi, respectively of
// pi/2 + a multiple of pi.
enum class LineKind { General, Horizontal, Vertical };
LineKind line_kind(double direction);

// The contact test of a straight track at (x, y) for radius r: true when the
// point is a candidate (within the track's extent widened by r) and its
// signed distance s from the line lies within `reach` (allowing a tiny
// relative excess for rounding, so a body kept exactly one radius away stays
// in contact). Zero-length tracks and records with an unusable line are never
// touched.
bool tb_near(const StraightTrack& t, double x, double y, double r, double reach, double& s);

// Whether direction `alpha` (in [0, 2*pi)) lies on the arc: start <= alpha <=
// end, or the same range raised by 2*pi (arcs that cross direction 0 are
// stored with a negative start).
bool on_arc(const ArcTrack& t, double alpha);

// The contact test of an arc at (x, y) for radius r: |R - d| <= r (with the
// same allowance for rounding) and the
// direction from the centre on the arc. Gives the distance d and direction.
// Arcs with a radius that is not positive and finite are never touched.
bool ct_touches(const ArcTrack& t, double x, double y, double r, double& d, double& alpha);

// The distance from the arc centre measured by the last CT contact test of
// body `a`, at which the second CT position solver keeps the body.
double& ct_contact_distance(Model& m, int a);

}  // namespace quorrel
