// Annotations (each keeps its last width in the model; framed ones get a
// frame and a drop shadow) and the static multi-line text blocks.
#pragma once

#include "model/model.h"
#include "render/scene.h"

namespace quorrel {

void Draw_zhu_shi(Model& m, Scene& s, int mode);
void Draw_zhu_shi_s(const Model& m, Scene& s);

}  // namespace quorrel
