// The parts of the player's state on their own: each operation that takes a
// part works on a bare one, with no PlayerState around it, and the player
// wires its parts together once.
#include <gtest/gtest.h>

#include "player/chrome.h"
#include "player/document.h"
#include "player/player.h"
#include "player/run_state.h"
#include "player/save.h"
#include "player/view_state.h"
#include "support/qt_app.h"

namespace quorrel {
namespace {

// Pause/Continue and the status the tool reports, for every run flag.
TEST(StateParts, PauseAndStatusWorkOnABareRun) {
    struct Case {
        int idle_loop;
        bool pause_enabled, running;
        bool running_after, pause_down_after;
        const char* status_before;
    };
    const Case cases[] = {
        {1, false, false, false, false, "stopped"},  // no run to pause: nothing happens
        {1, true, true, false, true, "running"},     // pauses
        {1, true, false, true, false, "paused"},     // continues
        {0, true, true, false, true, "halted"},      // halted wins over the flags
    };
    auto m = make_model();
    for (const Case& c : cases) {
        RunState r;
        r.idle_loop = c.idle_loop;
        r.pause_enabled = c.pause_enabled;
        r.pause_down = c.pause_enabled && !c.pause_down_after;  // each press turns it
        m->running = c.running;
        EXPECT_STREQ(run_status(r, *m), c.status_before);
        press_pause(r, *m);
        EXPECT_EQ(m->running, c.running_after) << c.status_before;
        EXPECT_EQ(r.pause_down, c.pause_down_after) << c.status_before;
    }
}

TEST(StateParts, ChromeShowsStatusAndCaption) {
    Chrome c;
    show_status(c, STATUS_RED, "出错");
    EXPECT_EQ(c.status_colour, STATUS_RED);
    EXPECT_EQ(c.status_text, "出错");
    show_status(c, STATUS_NAVY, {});
    EXPECT_EQ(c.status_colour, STATUS_NAVY);
    EXPECT_TRUE(c.status_text.empty());

    const std::pair<const char*, const char*> captions[] = {
        {"/home/t/实验/ball.exp", "ball.exp"}, {"ball.exp", "ball.exp"}, {"", ""}, {"/dir/", ""}};
    auto m = make_model();
    for (const auto& [path, name] : captions) {
        m->experiment_path = path;
        update_caption(c, *m);
        EXPECT_EQ(c.caption, std::string("Quorrel   Ver 3.5 专业版      ") + name) << path;
    }
}

// The copy as read is a copy: later changes to the model do not reach it, and
// keeping again replaces it in place.
TEST(StateParts, TheDocumentKeepsItsModelAsRead) {
    Document d;
    EXPECT_FALSE(can_save_in_place(d));
    d.model->sim_time = 1.5;
    keep_as_loaded(d);
    const Model* kept = d.loaded.get();
    d.model->sim_time = 2.5;
    EXPECT_EQ(d.loaded->sim_time, 1.5);
    keep_as_loaded(d);
    EXPECT_EQ(d.loaded.get(), kept);
    EXPECT_EQ(d.loaded->sim_time, 2.5);

    d.model->experiment_path = "/t/a.exp";
    d.origin = file_origin(d.model->experiment_path);
    EXPECT_TRUE(can_save_in_place(d));
    EXPECT_EQ(file_origin("/t/a.toml"), ExperimentOrigin::TextForm);
}

TEST(StateParts, EndingADragClearsTheSceneAndTheMouse) {
    test::ensure_gui_app();
    ViewState v;
    v.scene.drag_state = v.mouse.drag_state = DRAG_MOVING;
    v.scene.drag_index = v.mouse.drag_index = 3;
    v.mouse.mouse_down = true;
    end_drag(v);
    EXPECT_EQ(v.scene.drag_state, DRAG_NONE);
    EXPECT_EQ(v.scene.drag_index, -1);
    EXPECT_EQ(v.mouse.drag_state, DRAG_NONE);
    EXPECT_FALSE(v.mouse.mouse_down);
}

// The player lends its parts to each other: the interpreter reads files into
// the document's working space and calls the player's own host.
TEST(StateParts, ThePlayerWiresItsParts) {
    PlayerState p;
    ASSERT_TRUE(p.script && p.curve_script);
    EXPECT_EQ(p.script->load_scratch, &p.load_scratch);
    EXPECT_EQ(p.program_host, &p.host);
    EXPECT_EQ(p.script->host, &p.host);
}

}  // namespace
}  // namespace quorrel
