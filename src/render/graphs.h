// Function graphs: each owns a 240 x 240 picture (m.graph_pictures) with its
// own grid, axes, tick labels and live curves; Draw_fun_graph places the
// pictures on Image1, centred on the graphs' positions.
#pragma once

#include "model/model.h"
#include "render/scene.h"

namespace quorrel {

void Draw_fun_graph(const Model& m, Scene& s);
// Draws graph picture `graph`'s frame: background, grid, axes and labels.
void draw_graph_frame(Model& m, Scene& s, int graph);

}  // namespace quorrel
