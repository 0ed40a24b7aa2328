// Placement of the tool-bar buttons as a container's options ask for it.
// Kept apart from the widgets so the tool and the tests can check it.
#pragma once

#include "model/model.h"

namespace quorrel {

enum ToolButton { BUTTON_SETTINGS, BUTTON_RUN, BUTTON_STOP, BUTTON_PAUSE, BUTTON_EXIT, TOOL_BUTTONS };

// Design-time left edges of the buttons, in pixels.
inline constexpr int BUTTON_LEFT[TOOL_BUTTONS] = {5, 33, 58, 84, 110};
inline constexpr int TOOLBAR_HEIGHT = 33;
// The time readout holds the time and the playback speed against real time.
inline constexpr int TIME_LABEL_WIDTH = 230;
inline constexpr int TIME_LABEL_FROM_RIGHT = 232;  // its left edge, from the window's right edge
inline constexpr int STATUS_LABEL_LEFT = 352;

struct ToolbarLayout {
    bool toolbar_visible = true;
    bool visible[TOOL_BUTTONS] = {true, true, true, true, true};
    int left[TOOL_BUTTONS] = {5, 33, 58, 84, 110};
    bool time_in_toolbar_colour = false;  // the readout is painted invisible

    bool operator==(const ToolbarLayout&) const = default;
};

// The layout for the options of a container; an experiment file (no options)
// gets the design layout.
ToolbarLayout toolbar_layout(const Toolbar& options, bool has_options);

}  // namespace quorrel
