// What the mouse on the scene remembers between events: the drag in progress,
// the double-click swallowing, the last pointer position and the picture of
// everything that stays still while dragging.
#pragma once

#include <QImage>

#include "render/mapping.h"

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

struct Interaction {
    bool mouse_down = false;  // a left press in drag mode, until release or double click
    int drag_state = DRAG_NONE;
    int drag_index = -1;         // slot of the dragged element; the clicked label for a label click
    ScreenXY grab_offset{0, 0};  // pointer minus the element's handle at the press
    int click_suppress = 0;      // events still to swallow after a double click
    ScreenXY last{0, 0};         // the pointer position of the last event
    QImage drag_background;      // the scene without what the current drag moves
};

}  // namespace quorrel
