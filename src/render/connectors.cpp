// Not drawn yet.
#include "render/connectors.h"

namespace quorrel {

void Draw_TH(const Model&, Scene&, int) {}
void Draw_E_TH(const Model&, Scene&, int) {}
void Draw_SH(const Model&, Scene&, int) {}
void Draw_E_SH(const Model&, Scene&, int) {}
void Draw_GAN(const Model&, Scene&, int) {}
void Draw_E_GAN(const Model&, Scene&, int) {}

}  // namespace quorrel
