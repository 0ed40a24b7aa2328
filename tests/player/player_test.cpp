// The run state machine of the player's core: Run, Stop, Pause/Continue, the
// snapshot rules and what one tick of the main loop does in each state.
#include "player/player.h"

#include <gtest/gtest.h>

#include "demos/demos.h"
#include "model/gbk.h"
#include "player/headless_platform.h"
#include "render/graphs.h"
#include "support/demo_player.h"
#include "support/qt_app.h"

namespace quorrel {
namespace {

class PlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensure_gui_app(); }

    void SetUp() override {
        platform.quiet = true;
        p.platform = &platform;
        resize_scene(p, 700, 420, 702, 455);
    }

    // A demo built in code, shown as after a load.
    void show_demo(const char* file_name) { test::show_demo(p, file_name); }

    // Replaces the clock-event program by the given lines (UTF-8).
    void set_clock_program(std::initializer_list<const char*> lines) {
        Model& m = *p.model;
        int n = 0;
        for (const char* l : lines) m.program_lines[0][n++] = utf8_to_gbk(l);
        m.programs[0].line_count = n;
        m.program_count = std::max(m.program_count, 1);
    }

    void ticks(int n) {
        for (int i = 0; i < n; ++i) Timing(p);
    }

    MovingObject& ball() { return p.model->objects[0]; }

    HeadlessPlatform platform;
    PlayerState p;
};

TEST_F(PlayerTest, PauseIsDisabledBeforeTheFirstRunAndAfterStop) {
    show_demo("thrown_ball.exp");
    EXPECT_STREQ(run_status(p, *p.model), "stopped");
    press_pause(p, *p.model);  // the menu item while the button is disabled
    EXPECT_FALSE(p.model->running);
    EXPECT_FALSE(p.pause_enabled);
    EXPECT_EQ(Timing(p), TickOutcome::Idle);

    press_run(p);
    EXPECT_TRUE(p.pause_enabled);
    EXPECT_FALSE(p.pause_down);
    EXPECT_TRUE(p.time_visible);
    EXPECT_STREQ(run_status(p, *p.model), "running");

    press_pause(p, *p.model);
    EXPECT_TRUE(p.pause_down);
    EXPECT_STREQ(run_status(p, *p.model), "paused");
    press_pause(p, *p.model);
    EXPECT_FALSE(p.pause_down);
    EXPECT_TRUE(p.model->running);

    press_stop(p);
    EXPECT_FALSE(p.pause_enabled);
    EXPECT_FALSE(p.time_visible);
    EXPECT_STREQ(run_status(p, *p.model), "stopped");
    press_pause(p, *p.model);
    EXPECT_FALSE(p.model->running);
}

TEST_F(PlayerTest, RunWhileRunningRestartsFromTheSnapshot) {
    show_demo("thrown_ball.exp");
    press_run(p);
    ticks(5);
    EXPECT_GT(p.model->sim_time, 0.0);
    EXPECT_NE(ball().x, ball().x0);
    // A program or a drag during the run changed the start position.
    ball().x0 = 77.0;
    press_run(p);
    EXPECT_EQ(p.model->sim_time, 0.0);
    EXPECT_EQ(ball().x0, 0.0);
    EXPECT_EQ(ball().x, 0.0);
    EXPECT_TRUE(p.model->running);
}

// Closing the settings dialog puts the objects back at their start; during a
// run (going or paused) the clock starts again with them, and a paused run
// stays paused.
TEST_F(PlayerTest, SettingsClosedDuringARunRestartsTheClockWithThePositions) {
    show_demo("thrown_ball.exp");
    for (bool paused : {false, true}) {
        press_run(p);
        ticks(5);
        if (paused) press_pause(p, *p.model);
        p.model->settings.g = 5;  // what the dialog stored
        settings_closed(p);
        EXPECT_EQ(p.model->sim_time, 0.0);
        EXPECT_EQ(ball().x, ball().x0);
        EXPECT_EQ(ball().y, ball().y0);
        EXPECT_EQ(p.model->running, !paused);
        EXPECT_STREQ(run_status(p, *p.model), paused ? "paused" : "running");
        EXPECT_EQ(p.model->settings.g, 5.0);
        if (paused) {
            // The clock at 0, with the playback speed as every frame shows it.
            EXPECT_EQ(p.time_text.rfind("  t = 0   ", 0), 0u) << p.time_text;
            press_pause(p, *p.model);
        }
        ticks(2);
        EXPECT_NEAR(p.model->sim_time, 2 * 10 * 0.001, 1e-9);
    }
}

TEST_F(PlayerTest, StopRestoresAndTheNextRunTakesAFreshSnapshot) {
    show_demo("thrown_ball.exp");
    press_run(p);
    ticks(3);
    ball().x0 = 12.0;
    press_stop(p);
    EXPECT_FALSE(p.model->snapshot.taken);
    EXPECT_EQ(ball().x0, 0.0);
    EXPECT_EQ(ball().x, 0.0);
    EXPECT_EQ(p.model->sim_time, 0.0);

    // Moved while stopped (as a drag does): the next Run starts from there,
    // and so does every Run after it.
    ball().x0 = 20.0;
    press_run(p);
    EXPECT_TRUE(p.model->snapshot.taken);
    ticks(2);
    ball().x0 = 99.0;
    press_run(p);
    EXPECT_EQ(ball().x0, 20.0);
}

TEST_F(PlayerTest, StopShowsTheFunctionGraphEmptyAtOnce) {
    show_demo("spring_oscillator.exp");
    create_graph_picture(*p.model, 0);  // as a load does
    const FunctionGraph& g = p.model->graphs[0];
    const QRect window(g.x - 120, g.y - 120, 240, 240);
    const QRgb curve = to_rgb(g.curve_colour[0]);
    auto curve_pixels = [&] {
        const QImage& im = picture(p);
        int n = 0;
        for (int y = window.top(); y <= window.bottom(); ++y)
            for (int x = window.left(); x <= window.right(); ++x) n += (im.pixel(x, y) | 0xFF000000u) == curve;
        return n;
    };
    press_run(p);
    ticks(40);
    EXPECT_GT(curve_pixels(), 50);
    press_stop(p);
    EXPECT_EQ(curve_pixels(), 0);
}

TEST_F(PlayerTest, ATickWhilePausedDoesNothingNotEvenDrawing) {
    show_demo("thrown_ball.exp");
    press_run(p);
    ticks(2);
    press_pause(p, *p.model);
    const double t = p.model->sim_time;
    const double x = ball().x;
    QImage& image1 = p.scene.image1;
    scene_end(p.scene);
    image1.setPixel(3, 3, qRgb(1, 2, 3));
    const QImage before = image1.copy();
    const std::string time_text = p.time_text;
    EXPECT_EQ(Timing(p), TickOutcome::Idle);
    EXPECT_EQ(p.model->sim_time, t);
    EXPECT_EQ(ball().x, x);
    EXPECT_EQ(picture(p), before);
    EXPECT_EQ(p.time_text, time_text);

    press_pause(p, *p.model);  // continue
    EXPECT_EQ(Timing(p), TickOutcome::Advanced);
    EXPECT_GT(p.model->sim_time, t);
}

TEST_F(PlayerTest, TheFrameIsDrawnAndTheTimeShownWithDigits) {
    show_demo("thrown_ball.exp");
    const QImage shown = picture(p).copy();
    press_run(p);
    ticks(50);  // 0.5 s of flight
    EXPECT_NE(picture(p), shown);
    EXPECT_EQ(p.time_text, "  t = 0.5   1× 实时");
    // 0.01 s per frame at 60 frames a second: 0.6 times real time.
    set_speed(p.playback, p, *p.model, Speed::Own);
    p.model->digits = 2;
    ticks(5);
    EXPECT_EQ(p.time_text, "  t = 0.55   0.6× 实时");  // 2 significant digits of 0.55
}

TEST_F(PlayerTest, PauseTimePausesAtEachMultiple) {
    show_demo("thrown_ball.exp");
    p.model->settings.pause_time = 0.2;  // twenty frames of 0.01 s
    press_run(p);
    int frames = 0;
    TickOutcome r = TickOutcome::Advanced;
    while (r == TickOutcome::Advanced && frames < 100) {
        r = Timing(p);
        ++frames;
    }
    ASSERT_EQ(r, TickOutcome::Paused);
    EXPECT_NEAR(p.model->sim_time, 0.2, 1e-9);
    EXPECT_TRUE(p.pause_down);
    EXPECT_STREQ(run_status(p, *p.model), "paused");

    press_pause(p, *p.model);
    frames = 0;
    r = TickOutcome::Advanced;
    while (r == TickOutcome::Advanced && frames < 100) {
        r = Timing(p);
        ++frames;
    }
    ASSERT_EQ(r, TickOutcome::Paused);
    EXPECT_NEAR(p.model->sim_time, 0.4, 1e-9);
}

TEST_F(PlayerTest, AnObjectOutOfRangeStopsWithTheRedStatus) {
    show_demo("thrown_ball.exp");
    ball().vx0 = 1e6;  // leaves the drawable range within the first frame
    press_run(p);
    EXPECT_EQ(Timing(p), TickOutcome::OutOfRange);
    EXPECT_EQ(p.status_colour, STATUS_RED);
    EXPECT_EQ(p.status_text, "有运动对象已经超越了显示的范围，当前实验已被停止。");
    EXPECT_STREQ(run_status(p, *p.model), "stopped");
    EXPECT_EQ(ball().x, 0.0);  // restored
}

// A platform whose message boxes post a solver stop message, so a program
// error in the clock program stands in for a solver stopping the run.
class StopPostingPlatform : public HeadlessPlatform {
public:
    Model* model = nullptr;
    Answer message_box(const std::string& text, const std::string& caption, Buttons b) override {
        HeadlessPlatform::message_box(text, caption, b);
        if (model) model->stop_message = "实验被停止了。";
        return Answer::Ok;
    }
};

TEST_F(PlayerTest, AStopMessageHaltsTheAdvanceWithTheRedStatus) {
    show_demo("thrown_ball.exp");
    StopPostingPlatform poster;
    poster.quiet = true;
    p.platform = &poster;
    press_run(p);
    ticks(2);
    set_clock_program({"这不是语句"});
    poster.model = p.model.get();
    EXPECT_EQ(Timing(p), TickOutcome::StopMessage);
    poster.model = nullptr;
    EXPECT_FALSE(p.model->running);
    EXPECT_FALSE(p.pause_down);  // the button stays up
    EXPECT_TRUE(p.pause_enabled);
    EXPECT_EQ(p.status_text, "实验被停止了。");
    EXPECT_EQ(p.status_colour, STATUS_RED);
    EXPECT_TRUE(p.model->stop_message.empty());
    const double t = p.model->sim_time;
    EXPECT_EQ(Timing(p), TickOutcome::Idle);
    EXPECT_EQ(p.model->sim_time, t);
    // Continue resumes.
    set_clock_program({});
    press_pause(p, *p.model);
    EXPECT_EQ(Timing(p), TickOutcome::Advanced);
    p.platform = &platform;
}

TEST_F(PlayerTest, ProgramStatementsPauseStopAndRestart) {
    show_demo("thrown_ball.exp");
    press_run(p);
    ticks(2);
    set_clock_program({"暂停"});
    EXPECT_EQ(Timing(p), TickOutcome::Paused);
    EXPECT_TRUE(p.pause_down);

    set_clock_program({"停止"});
    press_pause(p, *p.model);
    EXPECT_EQ(Timing(p), TickOutcome::Stopped);
    EXPECT_STREQ(run_status(p, *p.model), "stopped");
    EXPECT_EQ(ball().x, 0.0);

    set_clock_program({"判断1:如果(t>0.2)则执行", "重新运行", "结束判断1"});
    press_run(p);
    ticks(20);
    EXPECT_NEAR(p.model->sim_time, 0.2, 1e-9);
    ticks(1);  // t = 0.21: the program restarts the run
    EXPECT_TRUE(p.model->running);
    EXPECT_EQ(p.model->sim_time, 0.0);
}

TEST_F(PlayerTest, AProgramErrorIsReportedAndTheRunGoesOn) {
    show_demo("thrown_ball.exp");
    press_run(p);
    set_clock_program({"hmax=hmax", "这不是语句"});
    EXPECT_EQ(Timing(p), TickOutcome::Advanced);
    EXPECT_NE(p.last_error.code, 0);
    EXPECT_EQ(p.last_error.program, 0);
    EXPECT_EQ(p.last_error.line, 1);
    EXPECT_TRUE(p.model->running);
    EXPECT_FALSE(platform.messages.empty());
}

TEST_F(PlayerTest, StopChosenInTheProgramEditorLeavesTheRunStopped) {
    show_demo("thrown_ball.exp");
    p.script->use_program_editor = true;
    platform.editor_exit = EditorExit::Stop;
    press_run(p);
    ticks(2);
    set_clock_program({"这不是语句"});
    EXPECT_EQ(Timing(p), TickOutcome::Halted);
    EXPECT_EQ(platform.editor_opened, 1);
    EXPECT_FALSE(p.model->running);  // not resumed after the Stop
    EXPECT_EQ(p.model->sim_time, 0.0);
    EXPECT_EQ(ball().x, 0.0);  // restored

    // Leaving it otherwise lets the run go on.
    set_clock_program({});
    press_run(p);
    set_clock_program({"这不是语句"});
    platform.editor_exit = EditorExit::Continue;
    EXPECT_EQ(Timing(p), TickOutcome::Advanced);
    EXPECT_EQ(platform.editor_opened, 2);
    EXPECT_TRUE(p.model->running);
}

TEST_F(PlayerTest, ErrorHundredHaltsTheMainLoopUntilTheNextRun) {
    show_demo("thrown_ball.exp");
    press_run(p);
    p.model->experiment_path.clear();  // never saved: a sound cannot be found
    set_clock_program({"播放声音(a.wav)"});
    platform.messages.clear();
    EXPECT_EQ(Timing(p), TickOutcome::Halted);
    EXPECT_EQ(p.idle_loop, 0);
    EXPECT_FALSE(p.model->running);
    EXPECT_STREQ(run_status(p, *p.model), "halted");
    ASSERT_FALSE(platform.messages.empty());
    // One box: the Stop that follows runs the same program, and its repeated
    // error is not shown again.
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0], "请先保存,当前的实验。");
    set_clock_program({});
    press_run(p);
    EXPECT_EQ(p.idle_loop, 1);
    EXPECT_STREQ(run_status(p, *p.model), "running");
}

TEST_F(PlayerTest, ResizeRebuildsThePicturesAtTheNewSize) {
    show_demo("thrown_ball.exp");
    resize_scene(p, 400, 300, 402, 335);
    EXPECT_EQ(picture(p).size(), QSize(400, 300));
    press_run(p);
    ticks(3);
    resize_scene(p, 500, 320, 502, 355);  // while running: the frame is redrawn, the run goes on
    EXPECT_EQ(picture(p).size(), QSize(500, 320));
    EXPECT_TRUE(p.model->running);
    EXPECT_EQ(Timing(p), TickOutcome::Advanced);
}

TEST(ToolbarLayoutTest, ContainerOptionsHideAndShiftButtons) {
    Toolbar t;
    ToolbarLayout l = toolbar_layout(t, true);
    EXPECT_TRUE(l.toolbar_visible);
    EXPECT_EQ(l.left[BUTTON_EXIT], 110);

    t.show_settings_button = 0;
    l = toolbar_layout(t, true);
    EXPECT_FALSE(l.visible[BUTTON_SETTINGS]);
    EXPECT_EQ(l.left[BUTTON_RUN], 5);
    EXPECT_EQ(l.left[BUTTON_EXIT], 82);

    t.show_run_buttons = 0;
    t.show_time = 0;
    l = toolbar_layout(t, true);
    EXPECT_FALSE(l.visible[BUTTON_RUN] || l.visible[BUTTON_STOP] || l.visible[BUTTON_PAUSE]);
    EXPECT_EQ(l.left[BUTTON_EXIT], 5);
    EXPECT_TRUE(l.time_in_toolbar_colour);

    t.show_exit_button = 0;
    EXPECT_FALSE(toolbar_layout(t, true).visible[BUTTON_EXIT]);

    // A hidden tool bar ignores the rest; an experiment file has the design layout.
    t.hide_toolbar = 1;
    l = toolbar_layout(t, true);
    EXPECT_FALSE(l.toolbar_visible);
    EXPECT_EQ(l.left[BUTTON_EXIT], 110);
    EXPECT_TRUE(toolbar_layout(t, false).toolbar_visible);
}

TEST(ToolbarLayoutTest, TheBarGrowsWithTheWindowInQuarterSteps) {
    struct Case {
        int width, height;
        double scale;
    } cases[] = {
        {702, 455, 1.0},    // the design window
        {1024, 674, 1.0},   // the last row at scale 1
        {1024, 675, 1.25},  // and the first above it
        {1280, 1024, 1.75}, {1920, 1080, 2.0}, {3840, 2160, 4.0},
        {877, 1080, 1.0},  // too narrow for more: the width bounds the scale
        {1404, 2000, 2.0},  {0, 0, 1.0},       {-5, 100000, 1.0},
    };
    for (const Case& c : cases) EXPECT_EQ(toolbar_scale(c.width, c.height), c.scale) << c.width << " x " << c.height;
}

TEST(ToolbarLayoutTest, EverythingInTheBarScalesAndTheOptionsStillPlaceTheButtons) {
    // At the design size the bar is the design bar, pixel for pixel.
    ToolbarGeometry g = toolbar_geometry(ToolbarLayout{}, 702, 455);
    EXPECT_EQ(g.height, TOOLBAR_HEIGHT);
    EXPECT_EQ(g.left[BUTTON_EXIT], 110);
    EXPECT_EQ(g.status, QRect(352, 9, 110, 16));
    EXPECT_EQ(g.time, QRect(470, 6, 230, 21));

    Toolbar options;
    options.show_settings_button = 0;
    const ToolbarLayout shifted = toolbar_layout(options, true);
    g = toolbar_geometry(shifted, 1920, 1080);
    EXPECT_EQ(g.scale, 2.0);
    EXPECT_EQ(g.height, 66);
    EXPECT_EQ(g.scene_top, 66);
    EXPECT_EQ(g.button_top, 8);
    EXPECT_EQ(g.button_size, 50);
    EXPECT_EQ(g.icon_size, 40);
    EXPECT_EQ(g.left[BUTTON_RUN], 10);
    EXPECT_EQ(g.left[BUTTON_EXIT], 164);
    EXPECT_EQ(g.time, QRect(1920 - 464, 12, 460, 42));
    EXPECT_EQ(g.status, QRect(704, 18, 1920 - 464 - 704 - 16, 32));

    // Quarter steps round to whole pixels; a hidden bar leaves the scene the whole window.
    g = toolbar_geometry(shifted, 1280, 1024);
    EXPECT_EQ(g.height, 58);
    EXPECT_EQ(g.left[BUTTON_PAUSE], 98);
    options.hide_toolbar = 1;
    EXPECT_EQ(toolbar_geometry(toolbar_layout(options, true), 1920, 1080).scene_top, 0);
}

}  // namespace
}  // namespace quorrel
