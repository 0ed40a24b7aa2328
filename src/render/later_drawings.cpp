// These routines draw nothing yet: their drawing comes with the static
// objects, connectors and informational layer. They exist now so run
// preparation, the frame and mouse dragging call every routine at its place.
#include "render/later_drawings.h"

namespace quorrel {

void Draw_G(const Model&, Scene&) {}
void Draw_Z(const Model&, Scene&) {}
void Draw_M(const Model&, Scene&) {}
void Draw_E(const Model&, Scene&) {}
void Draw_EA(const Model&, Scene&) {}
void Draw_BA(const Model&, Scene&) {}
void Draw_TB(const Model&, Scene&) {}
void Draw_CT(const Model&, Scene&) {}

void Draw_TH(const Model&, Scene&, int) {}
void Draw_E_TH(const Model&, Scene&, int) {}
void Draw_SH(const Model&, Scene&, int) {}
void Draw_E_SH(const Model&, Scene&, int) {}
void Draw_GAN(const Model&, Scene&, int) {}
void Draw_E_GAN(const Model&, Scene&, int) {}

void Draw_gu_ding_dian(Model&, Scene&) {}
void Draw_gdd_v(Model&, Scene&, int) {}
void Draw_du_lianxian(Model&, Scene&, int) {}
void Draw_du_liang(Model&, Scene&, int) {}
void Draw_zhu_shi(Model&, Scene&, int) {}
void Draw_zhu_shi_s(Model&, Scene&) {}
void Draw_fun_graph(Model&, Scene&) {}
void draw_graph_frame(Model&, Scene&, int) {}

}  // namespace quorrel
