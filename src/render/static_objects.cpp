// Not drawn yet.
#include "render/static_objects.h"

namespace quorrel {

void Draw_G(const Model&, Scene&) {}
void Draw_Z(const Model&, Scene&) {}
void Draw_M(const Model&, Scene&) {}
void Draw_E(const Model&, Scene&) {}
void Draw_EA(const Model&, Scene&) {}
void Draw_BA(const Model&, Scene&) {}
void Draw_TB(const Model&, Scene&) {}
void Draw_CT(const Model&, Scene&) {}

}  // namespace quorrel
