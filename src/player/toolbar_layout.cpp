#include "player/toolbar_layout.h"

#include <algorithm>
#include <cmath>

namespace quorrel {

ToolbarLayout toolbar_layout(const Toolbar& options, bool has_options) {
    ToolbarLayout t;
    if (!has_options) return t;
    if (options.hide_toolbar == 1) {
        // A hidden tool bar ignores every other option.
        t.toolbar_visible = false;
        return t;
    }
    if (options.show_settings_button == 0) {
        t.visible[BUTTON_SETTINGS] = false;
        for (int b = BUTTON_RUN; b <= BUTTON_EXIT; ++b) t.left[b] -= 28;
    }
    if (options.show_run_buttons == 0) {
        t.visible[BUTTON_RUN] = t.visible[BUTTON_STOP] = t.visible[BUTTON_PAUSE] = false;
        t.left[BUTTON_EXIT] -= 77;
    }
    if (options.show_time == 0) t.time_in_toolbar_colour = true;
    if (options.show_exit_button == 0) t.visible[BUTTON_EXIT] = false;
    return t;
}

double toolbar_scale(int width, int height) {
    const double fits =
        std::min(static_cast<double>(height) / TOOLBAR_SCALE_ROWS, static_cast<double>(width) / TOOLBAR_DESIGN_WIDTH);
    return std::max(1.0, std::floor(fits * 4.0) / 4.0);
}

ToolbarGeometry toolbar_geometry(const ToolbarLayout& t, int width, int height) {
    ToolbarGeometry g;
    g.scale = toolbar_scale(width, height);
    const auto px = [&](int design) { return static_cast<int>(std::lround(design * g.scale)); };
    g.height = px(TOOLBAR_HEIGHT);
    g.scene_top = t.toolbar_visible ? g.height : 0;
    g.button_top = px(BUTTON_TOP);
    g.button_size = px(BUTTON_SIZE);
    g.icon_size = px(ICON_SIZE);
    for (int b = 0; b < TOOL_BUTTONS; ++b) g.left[b] = px(t.left[b]);
    const int time_left = width - px(TIME_LABEL_FROM_RIGHT);
    g.time = QRect(time_left, px(TIME_LABEL_TOP), px(TIME_LABEL_WIDTH), px(TIME_LABEL_HEIGHT));
    const int status_width =
        std::max(time_left - px(STATUS_LABEL_LEFT) - px(STATUS_LABEL_GAP), px(STATUS_LABEL_MIN_WIDTH));
    g.status = QRect(px(STATUS_LABEL_LEFT), px(STATUS_LABEL_TOP), status_width, px(STATUS_LABEL_HEIGHT));
    return g;
}

}  // namespace quorrel
