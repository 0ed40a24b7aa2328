// Not drawn yet.
#include "render/annotations.h"

namespace quorrel {

void Draw_zhu_shi(Model&, Scene&, int) {}
void Draw_zhu_shi_s(const Model&, Scene&) {}

}  // namespace quorrel
