// Placing a body that the user drops near a track onto that track, as the
// position dialog chooses.
#pragma once

#include "model/model.h"

namespace quorrel {

// The answer of the position dialog.
enum class Placement {
    Custom,    // 自定义位置: leave the body where it was dropped
    Against,   // 紧贴在轨道上: the body touches the track
    Threaded,  // 穿在轨道中间: the body's centre lies on the track
};
// Shows the position dialog and returns the choice.
using PlacementQuestion = Placement (*)(void* context);

// Moves the start position (x0, y0) of body `a` onto the tracks it was
// dropped near (within 1.5 radii). `ask` is called once, only when such a
// track exists; a null `ask` counts as Custom. Returns true when a track was
// near.
bool s_obj_TB_CT_position(Model& m, int a, PlacementQuestion ask, void* context);

}  // namespace quorrel
