// Not drawn yet.
#include "render/graphs.h"

namespace quorrel {

void Draw_fun_graph(const Model&, Scene&) {}
void draw_graph_frame(Model&, Scene&, int) {}

}  // namespace quorrel
