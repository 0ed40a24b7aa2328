// A player holding an empty experiment on a width x height scene (the 700 x
// 420 design size unless given) shown at `view`, with no axes or grids and
// message boxes answered quietly: the start of the mouse and editing tests,
// which then place what they need.
#pragma once

#include "player/headless_platform.h"
#include "player/player.h"

namespace quorrel::test {

inline void blank_player(PlayerState& p, HeadlessPlatform& platform, int width = 700, int height = 420,
                         const View& view = {}) {
    platform.quiet = true;
    p.platform = &platform;
    resize_scene(p, width, height, width + 2, height + 35);
    scene_set_view(p.scene, view);
    Model& m = *p.model;
    init_kept_settings(m);
    reset_model(m);
    reset_variables(m);
    m.settings.show_axes = 0;
    m.settings.show_grid = 0;
    m.settings.show_fine_grid = 0;
    p.model_loaded = true;
}

}  // namespace quorrel::test
