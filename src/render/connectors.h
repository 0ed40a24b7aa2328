// Springs, ropes and rods, from a fixed anchor to an object (TH, SH, GAN) or
// between two objects (E_TH, E_SH, E_GAN). They end at the objects' screen
// positions and are drawn on Image1 every frame. A mode of 1 draws in
// exclusive-or (drawing twice removes the picture, for mouse dragging); any
// other mode draws normally. Every routine leaves the pen mode at copy.
#pragma once

#include "model/model.h"
#include "render/scene.h"

namespace quorrel {

void Draw_TH(const Model& m, Scene& s, int mode);
void Draw_E_TH(const Model& m, Scene& s, int mode);
void Draw_SH(const Model& m, Scene& s, int mode);
void Draw_E_SH(const Model& m, Scene& s, int mode);
void Draw_GAN(const Model& m, Scene& s, int mode);
void Draw_E_GAN(const Model& m, Scene& s, int mode);

}  // namespace quorrel
