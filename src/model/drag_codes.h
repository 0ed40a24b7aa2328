// What a press of the mouse on the scene picked up. The interaction records
// it; the drawing leaves the dragged family out of the still background and
// redraws it on top while it moves.
#pragma once

namespace quorrel {

// Drag state codes: what a press picked up.
enum : int {
    DRAG_NONE = 0,
    DRAG_ORIGIN = -1,
    DRAG_MOVING = 1,
    DRAG_E = 2,
    DRAG_EA = 3,
    DRAG_BA = 5,
    DRAG_M = 6,
    DRAG_Z = 7,
    DRAG_TH = 12,
    DRAG_E_TH = 13,
    DRAG_TB = 14,
    DRAG_CT = 15,
    DRAG_SH = 16,
    DRAG_E_SH = 17,
    DRAG_GAN = 18,
    DRAG_E_GAN = 19,
    DRAG_POINT = 51,
    DRAG_POINT_VECTOR = 52,
    DRAG_ANNOTATION = 62,
    DRAG_MEASUREMENT = 101,
    DRAG_GRAPH = 300,
    DRAG_TEXT_BLOCK = 1000,
};

}  // namespace quorrel
