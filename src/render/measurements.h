// Measurement labels (each keeps its last size in the model) and measuring
// lines. Mode 1 (mouse dragging): labels restore the area of their previous
// size, lines are drawn in exclusive-or.
#pragma once

#include "model/model.h"
#include "render/scene.h"

namespace quorrel {

void Draw_du_liang(Model& m, Scene& s, int mode);
void Draw_du_lianxian(const Model& m, Scene& s, int mode);

}  // namespace quorrel
