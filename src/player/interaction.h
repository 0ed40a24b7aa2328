// The mouse on the scene: dragging elements to new places before a run, the
// click on a dynamic label that runs its program, and the right button's
// pop-up menu. The handlers take picture pixels and tell the window what to
// do; everything else happens on the PlayerState.
#pragma once

#include "player/player.h"

namespace quorrel {

enum class MouseButton { Left, Right, Middle };
enum class CursorShape { Keep, Cross, Hand };

// What the window does after a handler.
struct MouseResult {
    CursorShape cursor = CursorShape::Keep;
    // Open the pop-up menu at (x, y); once it has closed, call release_after_menu.
    bool open_menu = false;
    int x = 0, y = 0;
    // Open the properties of this element (a drag state code and its slot):
    // a double click on a moving object, a field or a region before a run.
    int properties = DRAG_NONE;
    int properties_index = -1;
};

// True while elements can be dragged: an experiment is loaded, it is not
// running and its time is exactly 0.
bool drag_mode(const Document& d);

MouseResult Image1MouseDown(PlayerState& p, MouseButton button, int x, int y);
// A move only drags what the press picked up (or tells the cursor): it
// prepares nothing and touches neither the chrome nor the run's flags.
MouseResult Image1MouseMove(Document& d, RunState& run, ViewState& vs, int x, int y);
MouseResult Image1MouseUp(PlayerState& p, MouseButton button, int x, int y);
// The rest of a release whose pop-up menu has been shown: the label click
// of a running experiment still runs its program.
void release_after_menu(PlayerState& p, MouseButton button, int x, int y);
// A double click at the position of the preceding press. The platform's two
// events that follow it are swallowed. On a dynamic label its program runs;
// before a run, on a moving object, a field or a region, the window is asked
// to open its properties.
MouseResult Image1DblClick(PlayerState& p);

// Redraws the scene while dragging: the objects' start state and forces,
// the clock program, then the moving layer over the drag background.
void justing_draw(RunState& run, Model& m, ViewState& vs);

}  // namespace quorrel
