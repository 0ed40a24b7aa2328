// Placeholders for the constraint solvers while they are being written: each
// leaves the object as it is. Removed as the real solvers land.
#include "engine/solvers.h"

namespace quorrel {

void SH_velocity(Model&, int) {}
void SH_position(Model&, int) {}
void GAN_velocity(Model&, int) {}
void GAN_position(Model&, int) {}
void E_SH_velocity(Model&, int) {}
void E_SH_position(Model&, int) {}
void E_GAN_velocity(Model&, int) {}
void E_GAN_position(Model&, int) {}
void body_collision(Model&, int, int) {}
void block_collisions(Model&, int) {}
void block_on_host(Model&, int) {}
void host_on_ground(Model&, int) {}
void tb_line(Model&, int) {}
void TB_contact(Model& m, int) { m.step.on_tb_track = 0; }
void TB_force(Model&, int) {}
void TB_velocity(Model&, int) {}
void TB_bounce(Model&, int) {}
void TB_position(Model&, int) {}
void CT_contact(Model& m, int) { m.step.on_ct_track = 0; }
void CT_force(Model&, int) {}
void CT_velocity(Model&, int) {}
void CT_bounce(Model&, int) {}
void CT_position(Model&, int) {}
bool is_on_TB(const Model&, int) { return false; }
bool is_on_CT(const Model&, int) { return false; }

}  // namespace quorrel
