// Auxiliary points: marker, trail and label (Draw_gu_ding_dian keeps each
// point's last screen position and label width in the model), and the point
// vectors (mode 1: exclusive-or, for mouse dragging).
#pragma once

#include "model/model.h"
#include "render/scene.h"

namespace quorrel {

void Draw_gu_ding_dian(Model& m, Scene& s);
void Draw_gdd_v(const Model& m, Scene& s, int mode);

}  // namespace quorrel
