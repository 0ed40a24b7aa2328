// Not drawn yet.
#include "render/points.h"

namespace quorrel {

void Draw_gu_ding_dian(Model&, Scene&) {}
void Draw_gdd_v(const Model&, Scene&, int) {}

}  // namespace quorrel
