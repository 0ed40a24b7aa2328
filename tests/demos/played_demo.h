// A bundled demo in a headless player at the design size, as after loading
// it: the demo tests that play it through the player's main loop, or look at
// its scene, use it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "demos/demos.h"
#include "model/gbk.h"
#include "player/headless_platform.h"
#include "player/player.h"
#include "support/demo_player.h"
#include "support/qt_app.h"

namespace quorrel::test {

struct PlayedDemo {
    HeadlessPlatform platform;
    PlayerState p;

    // Loaded and prepared; with `start` the run is started too.
    explicit PlayedDemo(const char* file_name, bool start = true) {
        ensure_gui_app();
        platform.quiet = true;
        p.platform = &platform;
        resize_scene(p, 700, 420, 702, 455);
        if (find_demo(file_name) == nullptr) {
            ADD_FAILURE() << "no demo " << file_name;
            return;
        }
        show_demo(p, file_name);
        if (start) press_run(p);
    }
    // One frame; false once the run has ended.
    bool frame() { return Timing(p) == TickOutcome::Advanced; }
    void frames(int n) {
        for (int i = 0; i < n; ++i) ASSERT_TRUE(frame()) << "the run ended at frame " << i;
    }
    // Up to `most` frames, fewer when the run ends (its program pauses it).
    void play(int most) {
        for (int i = 0; i < most && frame(); ++i) {
        }
    }
    Model& m() { return *p.model; }
    const MovingObject& o(int i) { return p.model->objects[i]; }
    // The value text of the variable of that name, "?" when there is none.
    std::string variable(const char* name) {
        const Text gbk_name = utf8_to_gbk(name);
        for (int i = 0; i < p.model->variable_count; ++i)
            if (p.model->variable_texts[i][VT_NAME] == gbk_name) return p.model->variable_texts[i][VT_VALUE];
        return "?";
    }
};

}  // namespace quorrel::test
