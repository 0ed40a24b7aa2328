// Static objects: the gravity sign, Z regions, fixed masses and charges,
// electric and magnetic field regions, straight and circular tracks. Drawn on
// Image1 when the scene is built (they then become part of scene_bitmap) and
// again while one of them is dragged.
#pragma once

#include "model/model.h"
#include "render/scene.h"

namespace quorrel {

void Draw_G(const Model& m, Scene& s);
void Draw_Z(const Model& m, Scene& s);
void Draw_M(const Model& m, Scene& s);
void Draw_E(const Model& m, Scene& s);
void Draw_EA(const Model& m, Scene& s);
void Draw_BA(const Model& m, Scene& s);
void Draw_TB(const Model& m, Scene& s);
void Draw_CT(const Model& m, Scene& s);

}  // namespace quorrel
