// Not drawn yet.
#include "render/measurements.h"

namespace quorrel {

void Draw_du_lianxian(const Model&, Scene&, int) {}
void Draw_du_liang(Model&, Scene&, int) {}

}  // namespace quorrel
