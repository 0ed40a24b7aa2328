// Drawing routines of the static objects, the connectors and the
// informational layer (measurements, annotations, text blocks, points and
// function graphs). Each draws on the scene's Image1 canvas unless said.
// A `mode` of 1 draws erasably (exclusive-or) for mouse dragging; any other
// value draws normally.
#pragma once

#include "model/model.h"
#include "render/scene.h"

namespace quorrel {

// Static objects, drawn when the scene is built and while one is dragged.
void Draw_G(const Model& m, Scene& s);
void Draw_Z(const Model& m, Scene& s);
void Draw_M(const Model& m, Scene& s);
void Draw_E(const Model& m, Scene& s);
void Draw_EA(const Model& m, Scene& s);
void Draw_BA(const Model& m, Scene& s);
void Draw_TB(const Model& m, Scene& s);
void Draw_CT(const Model& m, Scene& s);

// Springs, ropes and rods, ending at the objects' screen positions.
void Draw_TH(const Model& m, Scene& s, int mode);
void Draw_E_TH(const Model& m, Scene& s, int mode);
void Draw_SH(const Model& m, Scene& s, int mode);
void Draw_E_SH(const Model& m, Scene& s, int mode);
void Draw_GAN(const Model& m, Scene& s, int mode);
void Draw_E_GAN(const Model& m, Scene& s, int mode);

// Points (keep their last screen position in the model) and their vectors.
void Draw_gu_ding_dian(Model& m, Scene& s);
void Draw_gdd_v(Model& m, Scene& s, int mode);
// Measuring lines and measurement labels (labels keep their size in the model).
void Draw_du_lianxian(Model& m, Scene& s, int mode);
void Draw_du_liang(Model& m, Scene& s, int mode);
// Annotations (keep their width in the model) and text blocks.
void Draw_zhu_shi(Model& m, Scene& s, int mode);
void Draw_zhu_shi_s(Model& m, Scene& s);
// Function graphs: placing the graph pictures on Image1, and drawing one
// graph picture's grid, axes and labels (in m.graph_pictures[graph]).
void Draw_fun_graph(Model& m, Scene& s);
void draw_graph_frame(Model& m, Scene& s, int graph);

}  // namespace quorrel
