// The window's chrome as the player sets it: the status line, the time
// readout, the caption and the tool bar. The window mirrors these after every
// operation; nothing in the experiment depends on them.
#pragma once

#include <string>

#include "model/model.h"
#include "player/toolbar_layout.h"

namespace quorrel {

// Status-line colours (0x00BBGGRR).
inline constexpr Colour STATUS_NAVY = 0x800000;
inline constexpr Colour STATUS_RED = 0x0000FF;

struct Chrome {
    std::string status_text = "提示信息";  // UTF-8
    Colour status_colour = STATUS_NAVY;
    // The status line's tool tip when it says more than the line (UTF-8);
    // "" shows the whole text of a line cut short.
    std::string status_tooltip;
    std::string time_text;
    bool time_visible = false;
    std::string caption = "编译 3.5";
    ToolbarLayout toolbar;
};

// The status line shows `text` (UTF-8) in `colour`, without a tool tip of its own.
void show_status(Chrome& c, Colour colour, std::string text);
// The window's caption for the experiment's path.
void update_caption(Chrome& c, const Model& m);

}  // namespace quorrel
