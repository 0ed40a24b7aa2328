// What the mouse on the scene remembers between events: the drag in progress,
// the double-click swallowing, the last pointer position and the picture of
// everything that stays still while dragging.
#pragma once

#include <QImage>

#include "model/drag_codes.h"
#include "model/mapping.h"

namespace quorrel {

struct Interaction {
    bool mouse_down = false;  // a left press in drag mode, until release or double click
    int drag_state = DRAG_NONE;
    int drag_index = -1;         // slot of the dragged element; the clicked label for a label click
    ScreenXY grab_offset{0, 0};  // pointer minus the element's handle at the press
    int click_suppress = 0;      // events still to swallow after a double click
    ScreenXY last{0, 0};         // the pointer position of the last event
    ScreenXY pressed_at{0, 0};   // where the drag began
    bool moved = false;          // the pointer left pressed_at during the drag
    QImage drag_background;      // the scene without what the current drag moves
};

}  // namespace quorrel
