// The solvers the integration step calls for the current moving object `a`.
// Each is a free function over the model; the step reads its working values
// (`step_dt`, `stop_velocity`, track contact) from `m.step`.
#pragma once

#include "model/model.h"

namespace quorrel {

// Direction of a vector in [0, 2*pi).
double vec_angle(double x, double y);

// Guards shared by the solvers (guards.cpp).
// The slot an element record's stored object index names (truncated), or -1
// when it is not finite, out of the table or names an empty slot.
int object_slot(const Model& m, double stored_index);
// force / mass, or 0 for a massless object (zero or non-finite mass): such an
// object is not accelerated by forces and keeps its velocity.
double accel(double force, double mass);
// asin with its argument clamped to [-1, 1], so a rounding excess of a
// component over its vector's length cannot give NaN.
double safe_asin(double v);

// `f` reduced towards 0 by `by` (a friction that can at most stop a push)
// without changing its sign.
inline double reduce_toward_zero(double f, double by) {
    if (f > 0) return f > by ? f - by : 0.0;
    if (f < 0) return -f > by ? f + by : 0.0;
    return f;
}

// Force fields (force_fields.cpp) and springs (springs.cpp): each adds to force_x,
// force_y of `a`.
void apply_M(Model& m, int a);
void apply_mutual_gravitation(Model& m, int a);
void apply_E(Model& m, int a);
// The Coulomb force between objects and a spring between objects are
// evaluated `ahead` seconds into the step (0 in the first force evaluation,
// the time step in the second) at the start-of-step states of both ends.
void apply_mutual_charge(Model& m, int a, double ahead = 0);
void apply_EA(Model& m, int a);
void apply_BA(Model& m, int a);
void apply_Z(Model& m, int a);
void apply_relativity(Model& m, int a);
void apply_TH(Model& m, int a);
void apply_E_TH(Model& m, int a, double ahead = 0);

// Ropes, rods and collisions (ropes_rods.cpp, collisions.cpp): corrections of
// velocity and position.
void SH_velocity(Model& m, int a);
void SH_position(Model& m, int a);
void GAN_velocity(Model& m, int a);
void GAN_position(Model& m, int a);
// A link between two objects is corrected, positions and velocities, by the
// position solver of the end stepped second.
void E_SH_position(Model& m, int a);
void E_GAN_position(Model& m, int a);
void body_collision(Model& m, int a, int b);
void block_collisions(Model& m, int a);

// Blocks, planks and inclines (blocks.cpp).
void block_on_host(Model& m, int a);
void host_on_ground(Model& m, int a);

// Tracks (tracks.cpp).
void tb_line(Model& m, int index);
void TB_contact(Model& m, int a);
void TB_force(Model& m, int a);
void TB_velocity(Model& m, int a);
void TB_bounce(Model& m, int a);
void TB_position(Model& m, int a);
void CT_contact(Model& m, int a);
void CT_force(Model& m, int a);
void CT_velocity(Model& m, int a);
void CT_bounce(Model& m, int a);
void CT_position(Model& m, int a);
// Side-effect-free: is body `a` on a straight / circular track now?
bool is_on_TB(const Model& m, int a);
bool is_on_CT(const Model& m, int a);

}  // namespace quorrel
