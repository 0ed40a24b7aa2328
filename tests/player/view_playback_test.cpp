// Viewing and pacing change nothing of an experiment: the fitted view, zooming
// and resizing during a run (the trails are carried over, the run goes on as
// it would have), and the playback speed (a frame is the same at every speed).
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <string>
#include <vector>

#include "demos/demo_titles.h"
#include "demos/demos.h"
#include "format/safe_write.h"
#include "player/headless_platform.h"
#include "player/launch.h"
#include "player/playback.h"
#include "player/player.h"
#include "player/view_control.h"
#include "render/bounds.h"
#include "support/demo_player.h"
#include "support/file_player.h"
#include "support/qt_app.h"

namespace quorrel {
namespace {

// A bundled demo in a player whose picture is width x height.
struct DemoPlayer {
    HeadlessPlatform platform;
    PlayerState p;

    DemoPlayer(const char* demo, int width = 700, int height = 420, bool fit = false) {
        test::ensure_gui_app();
        platform.quiet = true;
        p.platform = &platform;
        p.fit_view = fit;
        resize_scene(p, width, height, width + 2, height + 35);
        test::show_demo(p, demo);
        if (fit) view_fit(p, p);
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) Timing(p);
    }
};

// Everything a run computes: time, object states and variable texts.
std::vector<std::string> state(const Model& m) {
    std::vector<std::string> s{std::to_string(m.sim_time)};
    for (int i = 0; i < object_count(m); ++i) {
        const MovingObject& o = m.objects[i];
        for (double v : {o.x, o.y, o.vx, o.vy, o.ax, o.ay, o.x0, o.y0}) s.push_back(std::to_string(v));
    }
    for (int i = 0; i < m.variable_count; ++i) s.push_back(m.variable_texts[i][VT_VALUE]);
    return s;
}

int count_rgb(const QImage& im, QRgb c) {
    int n = 0;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x) n += (im.pixel(x, y) | 0xFF000000u) == c;
    return n;
}

TEST(ViewControl, FittedViewCentresTheContentWithAMarginAndMapsBothWays) {
    struct Case {
        QRect content;
        int w, h;
        double ratio, zoom;
    };
    const Case cases[] = {
        // 700 x 420 design with a 21 px margin on 1920 x 1047: height decides.
        {QRect(0, 0, 700, 420), 1920, 1047, 1.0, 1047.0 / 462},
        {QRect(-100, 50, 200, 100), 800, 800, 2.0, 800.0 / 216},  // at least 8 px margin, 2 px per unit
        {QRect(), 700, 420, 1.0, 420.0 / 462},                    // nothing: the design picture
        {QRect(0, 0, 2, 2), 1920, 1080, 1.0, MAX_ZOOM},           // a speck is not magnified beyond the limit
    };
    for (const Case& c : cases) {
        const View v = fitted_view(c.content, c.w, c.h, c.ratio);
        EXPECT_NEAR(v.zoom, c.zoom, 1e-9);
        EXPECT_EQ(v.pixel_ratio, c.ratio);
        const QRect box = c.content.isEmpty() ? QRect(0, 0, DESIGN_WIDTH, DESIGN_HEIGHT) : c.content;
        const QPointF a = screen_point(v, box.left(), box.top()),
                      b = screen_point(v, box.right() + 1, box.bottom() + 1);
        EXPECT_NEAR(a.x() + b.x(), c.w, 1.0);  // centred
        EXPECT_NEAR(a.y() + b.y(), c.h, 1.0);
        for (const QPoint d : {box.topLeft(), box.center(), QPoint(-7, 3)}) {
            const QPointF at = screen_point(v, d.x() + 0.5, d.y() + 0.5);
            const ScreenXY back = design_point(v, at.x(), at.y());
            EXPECT_EQ(back.x, d.x());
            EXPECT_EQ(back.y, d.y());
        }
    }
}

TEST(ViewControl, EveryDemoFillsMostOfAFullHdWindowWhenFitted) {
    for (const DemoInfo& d : all_demos()) {
        DemoPlayer dp(d.file_name, 1920, 1047, true);
        const QRect box = content_bounds(*dp.p.model, dp.p.scene);
        const View& v = dp.p.scene.view;
        const double w = box.width() * v.zoom, h = box.height() * v.zoom;
        EXPECT_TRUE(w >= 0.8 * 1920 || h >= 0.8 * 1047) << d.file_name << " " << w << " x " << h;
        EXPECT_EQ(dp.p.scene.image1.size(), QSize(1920, 1047));
    }
}

TEST(ViewControl, AFittedLoadIsDrawnOnceForTheFittedView) {
    test::ensure_gui_app();
    QTemporaryDir dir;
    for (const char* demo : {"spring_oscillator.exp", "fields_and_charges.exp", "block_on_plank.exp"}) {
        const std::string file = dir.filePath(QString::fromLatin1(demo)).toStdString();
        ASSERT_TRUE(write_file_safely(file, test::demo_experiment(demo)).ok);

        HeadlessPlatform platform;
        PlayerState fitted, shown;
        for (PlayerState* p : {&fitted, &shown}) {
            p->platform = &platform;
            resize_scene(*p, 1280, 989, 1282, 1024);
        }
        fitted.fit_view = true;
        ASSERT_TRUE(open_experiment(fitted, file));
        ASSERT_TRUE(open_experiment(fitted, file));  // a second load is fitted the same way
        ASSERT_TRUE(open_experiment(shown, file));
        view_fit(shown, shown);
        // Label texts measured before the preparation's last clock program may
        // differ by a pixel from those measured after it.
        EXPECT_NEAR(fitted.scene.view.zoom, shown.scene.view.zoom, 0.01 * shown.scene.view.zoom) << demo;
        const QImage once = picture(fitted).copy();
        redraw_scene(fitted, fitted);
        EXPECT_EQ(picture(fitted), once) << demo;
    }
}

TEST(ViewControl, ZoomingPanningAndResizingDuringARunChangeNothingOfTheRunAndKeepTheTrails) {
    DemoPlayer a("magnetic_circles.exp"), b("magnetic_circles.exp");
    press_run(a.p);
    press_run(b.p);
    a.frames(40);
    b.frames(40);
    const std::vector<std::string> before = state(*b.p.model);
    const QRgb trail = to_rgb(b.p.model->objects[0].trail_colour);
    const int trail_pixels = count_rgb(picture(b.p), trail);
    ASSERT_GT(trail_pixels, 50);

    const MovingObject& o = b.p.model->objects[0];
    view_zoom(b.p, b.p, 2.0, o.screen_x, o.screen_y);
    EXPECT_EQ(state(*b.p.model), before);
    // About twice as long, and as wide at this scale.
    EXPECT_GT(count_rgb(picture(b.p), trail), trail_pixels);
    view_pan(b.p, b.p, -60, 25);
    resize_scene(b.p, 900, 500, 902, 535);
    press_pause(b.p, *b.p.model);
    resize_scene(b.p, 800, 450, 802, 485, 2.0);  // paused: the run stays where it is
    press_pause(b.p, *b.p.model);
    EXPECT_EQ(state(*b.p.model), before);

    a.frames(40);
    b.frames(40);
    EXPECT_EQ(state(*b.p.model), state(*a.p.model));
    EXPECT_GT(count_rgb(picture(b.p), trail), trail_pixels);
}

TEST(ViewControl, RestoringOnlyTheChangedBoxesGivesTheSameFrames) {
    // Every demo, fitted, its legend shown: a frame restores only the boxes
    // drawn on since the last one, which must give what a whole restore gives.
    for (const DemoInfo& d : all_demos()) {
        DemoPlayer boxes(d.file_name, 1000, 640, true), whole(d.file_name, 1000, 640, true);
        for (DemoPlayer* dp : {&boxes, &whole}) {
            dp->p.scene.show_legend = true;
            press_run(dp->p);
        }
        for (int f = 0; f < 60; ++f) {
            whole.p.scene.dirty.mark_all();
            const TickOutcome a = Timing(boxes.p), b = Timing(whole.p);
            ASSERT_EQ(a, b) << d.file_name;
            ASSERT_EQ(picture(boxes.p), picture(whole.p)) << d.file_name << " frame " << f;
            if (a != TickOutcome::Advanced) break;
        }
    }
}

TEST(Playback, EveryFrameIsTheSameAtAQuarterAndAtFourTimesTheSpeed) {
    DemoPlayer slow("spring_oscillator.exp", 700, 420), fast("spring_oscillator.exp", 700, 420);
    set_speed(slow.p.playback, slow.p, *slow.p.model, Speed::Quarter);
    set_speed(fast.p.playback, fast.p, *fast.p.model, Speed::Quadruple);
    press_run(slow.p);
    press_run(fast.p);
    const double frame = slow.p.model->settings.steps_per_frame * slow.p.model->settings.time_step;
    // The slow run's picture and state after each of its frames.
    std::vector<QImage> pictures{QImage()};
    std::vector<std::vector<std::string>> states{{}};
    while (pictures.size() <= 48) {
        if (play(slow.p, 1.0 / 60) == TickOutcome::Advanced) {
            pictures.push_back(picture(slow.p).copy());
            states.push_back(state(*slow.p.model));
        }
    }
    // The fast one runs several frames a turn; each turn's end matches.
    for (std::size_t f = 0; f <= 40;) {
        ASSERT_EQ(play(fast.p, 1.0 / 60), TickOutcome::Advanced);
        const std::size_t now = static_cast<std::size_t>(std::lround(fast.p.model->sim_time / frame));
        ASSERT_GT(now, f + 1) << "more than one frame a turn at 4x";
        f = now;
        EXPECT_EQ(state(*fast.p.model), states[f]) << f;
        EXPECT_EQ(picture(fast.p), pictures[f]) << f;
    }
    EXPECT_NE(slow.p.time_text.find("0.25× 实时"), std::string::npos) << slow.p.time_text;
    EXPECT_NE(fast.p.time_text.find("4× 实时"), std::string::npos) << fast.p.time_text;
}

TEST(Playback, FramesDueFollowTheSpeedAndTheStepsGoThroughThePresets) {
    auto m = make_model();
    m->settings.steps_per_frame = 10;
    m->settings.time_step = 0.002;  // 0.02 s a frame: real time is 50 frames a second
    struct Case {
        Speed speed;
        double seconds;
        int turns, frames;  // frames due over that many turns
    };
    const Case cases[] = {
        {Speed::Own, 1.0 / 60, 60, 60},  // a frame per refresh, 1.2x real time
        {Speed::RealTime, 1.0 / 60, 60, 50},
        {Speed::Quarter, 1.0 / 60, 60, 12},
        {Speed::Quadruple, 1.0 / 60, 60, 200},
        {Speed::RealTime, 0.02, 50, 50},
        {Speed::Quadruple, 2.0, 1, MAX_FRAMES_PER_TURN},  // a long stall is not caught up
    };
    for (const Case& c : cases) {
        Playback pb{c.speed, 0.0};
        int n = 0;
        for (int t = 0; t < c.turns; ++t) n += frames_due(pb, *m, c.seconds);
        EXPECT_NEAR(n, c.frames, 1) << speed_name(c.speed);
    }
    EXPECT_DOUBLE_EQ(speed_against_real_time(Speed::RealTime, *m), 1.0);
    EXPECT_DOUBLE_EQ(speed_against_real_time(Speed::Double, *m), 2.0);
    EXPECT_DOUBLE_EQ(speed_against_real_time(Speed::Own, *m), 1.2);
    EXPECT_EQ(real_time_text(Speed::Own, *m), "1.2× 实时");
    EXPECT_EQ(faster(Speed::RealTime, *m), Speed::Double);
    EXPECT_EQ(faster(Speed::Quadruple, *m), Speed::Quadruple);
    EXPECT_EQ(slower(Speed::Quarter, *m), Speed::Quarter);
    EXPECT_EQ(slower(Speed::Own, *m), Speed::RealTime);  // 1.2x lies between 1x and 2x
    EXPECT_EQ(faster(Speed::Own, *m), Speed::Double);

    // A frame of 1 ms asks for more than a turn may run: 4x is held at the
    // most a turn runs, and faster stops where the rate stops growing.
    m->settings.steps_per_frame = 1;
    m->settings.time_step = 0.001;
    EXPECT_DOUBLE_EQ(frame_rate(Speed::Quadruple, *m), NORMAL_FRAME_RATE * MAX_FRAMES_PER_TURN);
    EXPECT_EQ(faster(Speed::Double, *m), Speed::Double);
    // Without a usable frame time the multiples apply to the experiment's own pace.
    m->settings.time_step = 0;
    EXPECT_DOUBLE_EQ(frame_rate(Speed::Half, *m), NORMAL_FRAME_RATE / 2);
    EXPECT_EQ(real_time_text(Speed::Half, *m), "");
}

// A demo opens at real time (it is a text form, and the launcher asks for
// real time): its frame is short enough for a frame at least every 1/50 s,
// unless its title says it is slow or fast motion.
TEST(Playback, EveryDemoPlaysAtRealTimeOrItsTitleSaysOtherwise) {
    for (const DemoInfo& d : all_demos()) {
        const std::string title = demo_title(d);
        if (title.find("慢动作") != std::string::npos || title.find("快动作") != std::string::npos) continue;
        auto m = make_model();
        ASSERT_TRUE(load_demo(*m, d).ok) << d.file_name;
        EXPECT_DOUBLE_EQ(speed_against_real_time(Speed::RealTime, *m), 1.0) << d.file_name;
        EXPECT_GE(frame_rate(Speed::RealTime, *m), 50.0) << d.file_name << " (" << title << ")";
    }
}

// A body at 1 m/s in a text form without speed settings, played by a clock
// that ticks at the display's refresh: after two seconds of the clock it has
// gone two metres (real time), whatever the refresh rate.
using TextFormPlayback = test::FilePlayerTest;

TEST_F(TextFormPlayback, ATextFormWithoutSpeedSettingsPlaysAtRealTime) {
    const std::string file = write("glide.toml", "[[objects]]\nkind = 1\nrest_mass = 1\nradius = 1\nvx0 = 1\n");
    for (double refresh : {60.0, 75.0, 144.0}) {
        set_speed(p.playback, p, *p.model, Speed::Own);
        ASSERT_TRUE(load_any(p, file));
        EXPECT_EQ(p.playback.speed, Speed::RealTime);
        const double frame = p.model->settings.steps_per_frame * p.model->settings.time_step;
        EXPECT_LE(frame, 1.0 / 60 + 1e-12) << "a real-time frame longer than a refresh";
        press_run(p);
        for (int turn = 0; turn < 2 * refresh; ++turn) play(p, 1.0 / refresh);
        EXPECT_NEAR(p.model->objects[0].x - p.model->objects[0].x0, 2.0, frame + 1e-9) << refresh;
        EXPECT_NE(p.time_text.find("1× 实时"), std::string::npos) << p.time_text;
    }
}

TEST(Playback, TheRightArrowAdvancesOneWholeFrameAndPausesAgain) {
    DemoPlayer a("thrown_ball.exp"), b("thrown_ball.exp");
    EXPECT_EQ(step_frame(a.p), TickOutcome::Advanced);  // stopped: run, one frame, paused
    EXPECT_STREQ(run_status(a.p, *a.p.model), "paused");
    press_run(b.p);
    b.frames(1);
    EXPECT_EQ(state(*a.p.model), state(*b.p.model));
    for (int i = 0; i < 3; ++i) step_frame(a.p);
    b.frames(3);
    EXPECT_EQ(state(*a.p.model), state(*b.p.model));
    EXPECT_EQ(picture(a.p), picture(b.p));
    EXPECT_TRUE(a.p.pause_down);
    press_pause(a.p, *a.p.model);  // running: the arrow does nothing
    const std::vector<std::string> running = state(*a.p.model);
    EXPECT_EQ(step_frame(a.p), TickOutcome::Idle);
    EXPECT_EQ(state(*a.p.model), running);
}

}  // namespace
}  // namespace quorrel
