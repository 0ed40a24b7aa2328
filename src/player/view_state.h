// What the scene on screen is: its pictures (Image1, the persistent
// scene_bitmap and the drawing state), whether the view follows the window,
// and the mouse on it. Drawing, resizing and the view's controls change these
// together; the experiment itself is the document's.
#pragma once

#include <QImage>

#include "player/interaction_state.h"
#include "render/scene.h"

namespace quorrel {

struct ViewState {
    // Sized by resize_scene; read through picture().
    Scene scene;
    // The view follows the window: the content is fitted to the picture at
    // every load and resize (view_control.h). Off: the view stays as set.
    bool fit_view = false;
    // The mouse on the scene (interaction.h).
    Interaction mouse;
};

// The picture the user sees (Image1), with every painting on it finished.
const QImage& picture(ViewState& v);

// Run, Stop and a reload end any mouse drag.
void end_drag(ViewState& v);

}  // namespace quorrel
