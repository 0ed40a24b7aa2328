// Placement of the tool-bar buttons as a container's options ask for it, and
// the bar's pixel geometry for a window size: on a large window (a classroom
// projector) the whole bar grows by one scale so it can be read from the back.
// Kept apart from the widgets so the tool and the tests can check it.
#pragma once

#include <QRect>

#include "model/model.h"

namespace quorrel {

enum ToolButton { BUTTON_SETTINGS, BUTTON_RUN, BUTTON_STOP, BUTTON_PAUSE, BUTTON_EXIT, TOOL_BUTTONS };

// The design layout, in pixels at scale 1 (the design window of 702 x 455).
inline constexpr int BUTTON_LEFT[TOOL_BUTTONS] = {5, 33, 58, 84, 110};
inline constexpr int BUTTON_TOP = 4;
inline constexpr int BUTTON_SIZE = 25;
inline constexpr int ICON_SIZE = 20;
inline constexpr int TOOLBAR_HEIGHT = 33;
// The time readout holds the time and the playback speed against real time.
inline constexpr int TIME_LABEL_WIDTH = 230;
inline constexpr int TIME_LABEL_HEIGHT = 21;
inline constexpr int TIME_LABEL_TOP = 6;
inline constexpr int TIME_LABEL_FROM_RIGHT = 232;  // its left edge, from the window's right edge
inline constexpr int STATUS_LABEL_LEFT = 352;
inline constexpr int STATUS_LABEL_TOP = 9;
inline constexpr int STATUS_LABEL_HEIGHT = 16;
inline constexpr int STATUS_LABEL_GAP = 8;  // between the status text and the time readout
inline constexpr int STATUS_LABEL_MIN_WIDTH = 50;
// The columns the design bar spans, and the rows per unit of scale.
inline constexpr int TOOLBAR_DESIGN_WIDTH = 702;
inline constexpr int TOOLBAR_SCALE_ROWS = 540;

struct ToolbarLayout {
    bool toolbar_visible = true;
    bool visible[TOOL_BUTTONS] = {true, true, true, true, true};
    int left[TOOL_BUTTONS] = {5, 33, 58, 84, 110};  // design pixels
    bool time_in_toolbar_colour = false;            // the readout is painted invisible

    bool operator==(const ToolbarLayout&) const = default;
};

// The layout for the options of a container; an experiment file (no options)
// gets the design layout.
ToolbarLayout toolbar_layout(const Toolbar& options, bool has_options);

// The tool bar's scale in a window of width x height pixels. It grows with
// the height, a quarter at a time, so the bar keeps about a sixteenth of the
// window (33 of 540 rows): 2 on a 1080-row projector. The design bar needs
// 702 columns at scale 1, so the width bounds the scale as well and the
// status text keeps its design room. Never below 1: up to 674 rows (and on
// any window narrower than 878 columns) the bar is the design bar, pixel for
// pixel. Quarter steps keep the bar still while a window is dragged a little
// and give a few sizes of fonts and icons rather than one per pixel.
double toolbar_scale(int width, int height);

// Where everything of the bar goes in a window of width x height pixels.
struct ToolbarGeometry {
    double scale = 1.0;
    int height = TOOLBAR_HEIGHT;     // of the bar itself
    int scene_top = TOOLBAR_HEIGHT;  // the scene starts here: 0 without a tool bar
    int button_top = BUTTON_TOP;
    int button_size = BUTTON_SIZE;
    int icon_size = ICON_SIZE;
    int left[TOOL_BUTTONS] = {};
    QRect status;  // the status text
    QRect time;    // the time readout
};
ToolbarGeometry toolbar_geometry(const ToolbarLayout& t, int width, int height);

}  // namespace quorrel
