#include "player/toolbar_layout.h"

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

}  // namespace quorrel
