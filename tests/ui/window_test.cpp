// The main window on a real display: a packed demo is loaded at the first
// activation, and Run, Pause and Stop are pressed through the tool bar.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>

#include "demos/demos.h"
#include "format/io.h"
#include "player/view_control.h"
#include "render/bounds.h"
#include "support/qt_app.h"
#include "ui/about_box.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"
#include "ui/scene_view.h"
#include "ui/settings_dialog.h"
#include "ui/text_scale.h"

namespace quorrel {
namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::ensure_widget_app()) GTEST_SKIP() << "no display";
        ASSERT_TRUE(dir.isValid());
        path = pack(Toolbar{}, "thrown_ball_player");
    }

    // The thrown-ball demo packed with these tool-bar options. Any bytes
    // stand in for the player executable in front of the container.
    std::string pack(const Toolbar& options, const char* name) {
        auto m = make_model();
        load_demo(*m, *find_demo("thrown_ball.exp"));
        m->toolbar = options;
        m->has_toolbar = true;
        const std::string packed = pack_player("not really a player", *m);
        const std::string file = dir.filePath(QString::fromLatin1(name)).toStdString();
        QFile f(QString::fromStdString(file));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(packed.data(), static_cast<qint64>(packed.size()));
        return file;
    }

    QTemporaryDir dir;
    std::string path;
};

TEST_F(WindowTest, RunPauseAndStopThroughTheToolBar) {
    PlayerState p;
    QtPlatform platform;
    MainWindow w(p, platform, ExperimentSource::ContainerFile, path);
    w.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.loaded() || w.load_failed(); }, 5000));
    ASSERT_TRUE(w.loaded());
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(w.button(BUTTON_RUN)->toolTip().startsWith(QStringLiteral("运行实验")));
    EXPECT_FALSE(w.button(BUTTON_PAUSE)->isEnabled());
    EXPECT_TRUE(w.button(BUTTON_SETTINGS)->isEnabled());
    EXPECT_FALSE(w.time_label()->isVisible());
    EXPECT_EQ(w.scene_view()->y(), toolbar_geometry(p.toolbar, w.width(), w.height()).scene_top);
    EXPECT_EQ(w.scene_view()->size(), picture(p).size());
    const QImage shown = w.scene_view()->grab().toImage();

    QTest::mouseClick(w.button(BUTTON_RUN), Qt::LeftButton);
    EXPECT_TRUE(p.model->running);
    EXPECT_TRUE(w.button(BUTTON_PAUSE)->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.model->sim_time > 0.3; }, 5000));
    EXPECT_TRUE(w.time_label()->isVisible());
    EXPECT_TRUE(w.time_label()->text().startsWith(QStringLiteral("  t = ")));
    EXPECT_NE(w.scene_view()->grab().toImage(), shown);

    QTest::mouseClick(w.button(BUTTON_PAUSE), Qt::LeftButton);
    EXPECT_FALSE(p.model->running);
    EXPECT_TRUE(w.button(BUTTON_PAUSE)->isChecked());
    const double t = p.model->sim_time;
    QTest::qWait(100);
    EXPECT_EQ(p.model->sim_time, t);

    QTest::mouseClick(w.button(BUTTON_PAUSE), Qt::LeftButton);
    EXPECT_TRUE(p.model->running);
    EXPECT_FALSE(w.button(BUTTON_PAUSE)->isChecked());
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.model->sim_time > t; }, 5000));

    QTest::mouseClick(w.button(BUTTON_STOP), Qt::LeftButton);
    EXPECT_FALSE(p.model->running);
    EXPECT_FALSE(w.button(BUTTON_PAUSE)->isEnabled());
    EXPECT_FALSE(w.button(BUTTON_PAUSE)->isChecked());
    EXPECT_FALSE(w.time_label()->isVisible());
    EXPECT_EQ(p.model->sim_time, 0.0);
    QTest::qWait(50);
    EXPECT_EQ(w.scene_view()->grab().toImage(), shown);
}

// A user's session: the demo opens, its ball is dragged to a new start, the
// settings dialog is opened and cancelled, and a run starts from the new place.
TEST_F(WindowTest, DragTheBallCancelTheSettingsAndRun) {
    PlayerState p;
    QtPlatform platform;
    MainWindow w(p, platform, ExperimentSource::ContainerFile, path);
    w.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.loaded(); }, 5000));
    SceneView* view = w.scene_view();
    const MovingObject& ball = p.model->objects[0];
    const QPoint from(ball.screen_x, ball.screen_y), to = from + QPoint(100, -60);
    const double x0 = ball.x0, y0 = ball.y0;

    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(view, from + QPoint(50, -30));
    QTest::mouseMove(view, to);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, to);
    const double scale = p.model->settings.scale;
    EXPECT_NEAR(ball.x0 - x0, 100 * scale, 2 * scale);
    EXPECT_NEAR(ball.y0 - y0, 60 * scale, 2 * scale);
    EXPECT_EQ(QPoint(ball.screen_x, ball.screen_y), to);
    const QImage dragged = view->grab().toImage();

    bool seen = false;
    QTimer::singleShot(200, [&] {
        QWidget* box = QApplication::activeModalWidget();
        seen = box && box->windowTitle() == QStringLiteral("实验设置");
        if (box) static_cast<QDialog*>(box)->reject();
    });
    QTest::mouseClick(w.button(BUTTON_SETTINGS), Qt::LeftButton);
    EXPECT_TRUE(seen);
    EXPECT_NEAR(ball.x0 - x0, 100 * scale, 2 * scale);  // a cancelled dialog keeps the new start
    EXPECT_EQ(view->grab().toImage(), dragged);

    QTest::mouseClick(w.button(BUTTON_RUN), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.model->sim_time > 0.3; }, 5000));
    // The run starts from the dragged place: the ball has moved on from it,
    // and the picture is no longer the one before the run.
    EXPECT_GT(ball.x, ball.x0);
    EXPECT_NE(view->grab().toImage(), dragged);
    QTest::mouseClick(w.button(BUTTON_STOP), Qt::LeftButton);
    EXPECT_EQ(QPoint(ball.screen_x, ball.screen_y), to);
}

// The classroom's way: the demo opens fitted to the screen, the ball is
// dragged where the picture shows it, and the keys run, pause, step, stop,
// change the speed and the view.
TEST_F(WindowTest, AFittedViewTheMouseAndTheKeys) {
    PlayerState p;
    QtPlatform platform;
    MainWindow w(p, platform, ExperimentSource::ContainerFile, path);
    w.set_zoom_on_open(0);
    w.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.loaded(); }, 5000));
    const View fitted = p.scene.view;
    EXPECT_GT(fitted.zoom, 1.5);  // a 700 x 420 design on a large screen

    SceneView* view = w.scene_view();
    const MovingObject& ball = p.model->objects[0];
    const double x0 = ball.x0, scale = p.model->settings.scale;
    const QPoint from = view->widget_point(ball.screen_x + 0.5, ball.screen_y + 0.5).toPoint();
    const QPoint to = view->widget_point(ball.screen_x + 100.5, ball.screen_y - 59.5).toPoint();
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(view, (from + to) / 2);
    QTest::mouseMove(view, to);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_NEAR(ball.x0 - x0, 100 * scale, 2 * scale);
    EXPECT_EQ(p.scene.view, fitted);

    QTest::keyClick(&w, Qt::Key_Space);
    EXPECT_STREQ(run_status(p, *p.model), "running");
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.model->sim_time > 0.2; }, 5000));
    QTest::keyClick(&w, Qt::Key_Space);
    EXPECT_STREQ(run_status(p, *p.model), "paused");
    const double t = p.model->sim_time, frame = p.model->settings.steps_per_frame * p.model->settings.time_step;
    QTest::keyClick(&w, Qt::Key_Right);
    EXPECT_NEAR(p.model->sim_time, t + frame, 1e-9);
    EXPECT_STREQ(run_status(p, *p.model), "paused");
    // A packed player keeps its own pace (a 10 ms frame per refresh), shown
    // against real time; ] goes to the next multiple of real time, \ back to it.
    EXPECT_TRUE(w.speed_action(Speed::Own)->isChecked());
    EXPECT_EQ(w.speed_action(Speed::Own)->text(), QStringLiteral("实验原速（0.6× 实时）"));
    EXPECT_TRUE(w.time_label()->text().endsWith(QStringLiteral("0.6× 实时")));
    struct Press {
        Qt::Key key;
        Speed speed;
        const char* readout;
    };
    const Press presses[] = {{Qt::Key_BracketRight, Speed::RealTime, "1× 实时"},
                             {Qt::Key_BracketRight, Speed::Double, "2× 实时"},
                             {Qt::Key_Backslash, Speed::RealTime, "1× 实时"},
                             {Qt::Key_BracketLeft, Speed::Half, "0.5× 实时"}};
    for (const Press& k : presses) {
        QTest::keyClick(&w, k.key);
        EXPECT_EQ(p.playback.speed, k.speed) << k.readout;
        EXPECT_TRUE(w.speed_action(k.speed)->isChecked()) << k.readout;
        EXPECT_TRUE(w.time_label()->text().endsWith(QString::fromUtf8(k.readout))) << k.readout;
    }
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_STREQ(run_status(p, *p.model), "stopped");

    QTest::keyClick(&w, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(p.scene.view.zoom, 1.0);
    QTest::keyClick(&w, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_NEAR(p.scene.view.zoom, ZOOM_STEP, 1e-12);
    QTest::keyClick(&w, Qt::Key_0, Qt::ControlModifier);  // fitted again, to the moved ball too
    EXPECT_EQ(p.scene.view,
              fitted_view(content_bounds(*p.model, p.scene), view->width(), view->height(), view->devicePixelRatioF()));
    QTest::keyClick(&w, Qt::Key_F11);
    EXPECT_TRUE(w.windowState() & Qt::WindowFullScreen);
    QTest::keyClick(&w, Qt::Key_F11);
    EXPECT_FALSE(w.windowState() & Qt::WindowFullScreen);

    // The menu shows the keys.
    EXPECT_EQ(w.menu_action(1)->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(w.menu_action(3)->shortcut(), QKeySequence(Qt::Key_Space));
    EXPECT_EQ(w.speed_action(Speed::RealTime)->shortcut(), QKeySequence(Qt::Key_Backslash));
    EXPECT_FALSE(w.legend_action()->isChecked());
}

// A body at 1 m/s in a text form without speed settings, in the real window:
// it goes as far as the wall clock says. The window's main loop is timed by
// the clock, so a slow machine may fall behind (frames dropped after a stall)
// but never runs ahead.
TEST_F(WindowTest, ATextFormPlaysAtTheWallClocksPace) {
    const std::string file = dir.filePath(QStringLiteral("glide.toml")).toStdString();
    QFile f(QString::fromStdString(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[[objects]]\nkind = 1\nrest_mass = 1\nradius = 1\nvx0 = 1\n");
    f.close();
    PlayerState p;
    QtPlatform platform;
    MainWindow w(p, platform, ExperimentSource::ExperimentFile, file);
    w.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.loaded(); }, 5000));
    EXPECT_TRUE(w.speed_action(Speed::RealTime)->isChecked());
    const MovingObject& body = p.model->objects[0];
    QTest::keyClick(&w, Qt::Key_F5);
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(1500);
    const double gone = body.x - body.x0, wall = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
    EXPECT_LE(gone, wall * 1.03 + 0.05) << gone << " m in " << wall << " s";
    EXPECT_GE(gone, wall * 0.6) << gone << " m in " << wall << " s";
    EXPECT_TRUE(w.time_label()->text().endsWith(QStringLiteral("1× 实时")));
}

TEST_F(WindowTest, MenuHasEveryItemAndTheAboutBoxOpensAndCloses) {
    PlayerState p;
    QtPlatform platform;
    MainWindow w(p, platform, ExperimentSource::ContainerFile, path);
    w.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.loaded(); }, 5000));
    const char* items[] = {"实验设置", "运行", "停止", "暂停\\继续", "退出", "关于 Quorrel"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(w.menu_action(i)->text(), QString::fromUtf8(items[i]));
    // The units after the readings are on until the menu turns them off.
    EXPECT_TRUE(w.units_action()->isChecked());
    w.units_action()->trigger();
    EXPECT_FALSE(p.scene.show_units);
    EXPECT_FALSE(w.units_action()->isChecked());
    EXPECT_TRUE(w.menu_action(0)->isEnabled());
    EXPECT_FALSE(w.menu_action(3)->isEnabled());

    // The menu's Run starts the run; ticks wait while a modal box is open.
    w.menu_action(1)->trigger();
    EXPECT_TRUE(w.menu_action(3)->isEnabled());
    bool checked = false;
    double t_open = 0, t_close = -1;
    QTimer::singleShot(200, [&] {
        QWidget* box = QApplication::activeModalWidget();
        checked = box && box->windowTitle() == QStringLiteral("Quorrel播放器");
        t_open = p.model->sim_time;
        QTest::qWait(150);
        t_close = p.model->sim_time;
        if (box) static_cast<QDialog*>(box)->accept();
    });
    w.show_about();
    EXPECT_TRUE(checked);
    EXPECT_EQ(t_open, t_close);
}

// The tool bar at the design size and on a classroom projector: the bar,
// its buttons, icons and texts grow together and the scene takes the rest.
TEST_F(WindowTest, TheToolBarScalesWithTheWindow) {
    PlayerState p;
    QtPlatform platform;
    MainWindow w(p, platform, ExperimentSource::ContainerFile, path);
    w.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.loaded(); }, 5000));
    w.run();
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.model->sim_time > 0.1; }, 5000));
    w.pause_continue();
    // The widest readout in use: a long time at a slow speed.
    const QString widest = QStringLiteral("  t = 123.456   0.25× 实时");
    QWidget* bar = w.button(BUTTON_RUN)->parentWidget();

    int design_font = 0;
    for (const QSize size : {QSize(702, 455), QSize(1920, 1080)}) {
        SCOPED_TRACE(size.width());
        w.resize(size);
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.size() == size; }, 2000));
        const double u = toolbar_scale(size.width(), size.height());
        const int height = static_cast<int>(std::lround(TOOLBAR_HEIGHT * u));
        EXPECT_EQ(bar->geometry(), QRect(0, 0, size.width(), height));
        EXPECT_EQ(w.scene_view()->geometry(), QRect(0, height, size.width(), size.height() - height));
        EXPECT_EQ(picture(p).size(), w.scene_view()->size());
        for (int b = 0; b < TOOL_BUTTONS; ++b) {
            const QToolButton* btn = w.button(static_cast<ToolButton>(b));
            EXPECT_EQ(btn->x(), std::lround(BUTTON_LEFT[b] * u));
            EXPECT_EQ(btn->height(), std::lround(BUTTON_SIZE * u));
            EXPECT_EQ(btn->iconSize(), QSize(1, 1) * std::lround(ICON_SIZE * u));
        }
        QLabel* time = w.time_label();
        EXPECT_TRUE(time->isVisible());
        EXPECT_EQ(time->x(), size.width() - std::lround(TIME_LABEL_FROM_RIGHT * u));
        EXPECT_LT(time->geometry().right(), size.width());
        EXPECT_LE(time->fontMetrics().horizontalAdvance(widest), time->width());
        EXPECT_LE(time->fontMetrics().height(), time->height());
        EXPECT_LE(w.status_label()->fontMetrics().height(), w.status_label()->height());
        const int font = QFontInfo(time->font()).pixelSize();
        if (u == 1.0)
            design_font = font;
        else
            EXPECT_NEAR(font, design_font * u, 1.0);

        // The menu, the dialogs and the message boxes read at least as large
        // as the bar's text; at the design size they keep the platform's font.
        const int bar_text = QFontInfo(w.status_label()->font()).pixelSize();
        QCoreApplication::processEvents();  // the font change reaches the widgets through events
        if (u == 1.0) {
            EXPECT_EQ(QApplication::font(), unscaled_font());
        }
        for (const QWidget* grown : {static_cast<QWidget*>(w.popup_menu()), static_cast<QWidget*>(w.settings_dialog())})
            EXPECT_GE(QFontInfo(grown->font()).pixelSize(), bar_text);
        int box_text = 0;
        QSize about;
        QTimer::singleShot(100, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box) return;
            box_text = QFontInfo(box->font()).pixelSize();
            static_cast<QDialog*>(box)->accept();
            QTimer::singleShot(100, [&] {
                if (QWidget* a = QApplication::activeModalWidget())
                    about = a->size(), static_cast<QDialog*>(a)->accept();
            });
            w.show_about();
        });
        platform.message_box("实验文本有错误", "", Buttons::Ok);
        EXPECT_GE(box_text, bar_text);
        EXPECT_EQ(about, QSize(336, 72) * u);
    }
}

// A status message longer than its room ends in an ellipsis and shows whole
// as the tool tip; one that fits is shown as it is, without a tool tip.
TEST_F(WindowTest, ALongStatusMessageIsCutAndWholeInItsToolTip) {
    PlayerState p;
    QtPlatform platform;
    MainWindow w(p, platform, ExperimentSource::ContainerFile, path);
    w.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.loaded(); }, 5000));
    QLabel* status = w.status_label();
    const std::string long_text = "第 12 行 settings.steps_per_frame：应为数字，这里是文字。" + std::string(200, 'x');
    for (const std::string& text : {long_text, std::string("已保存")}) {
        p.status_text = text;
        w.refresh();
        const QString full = QString::fromStdString(text);
        const bool cut = status->text() != full;
        EXPECT_EQ(cut, text == long_text);
        EXPECT_LE(status->fontMetrics().horizontalAdvance(status->text()), status->width());
        EXPECT_EQ(status->toolTip(), cut ? full : QString());
        EXPECT_EQ(status->text().endsWith(QChar(0x2026)), cut);
    }
}

TEST_F(WindowTest, TheContainersToolbarOptionsArePutInPlace) {
    Toolbar options;
    options.show_settings_button = 0;
    options.show_exit_button = 0;
    {
        PlayerState p;
        QtPlatform platform;
        MainWindow w(p, platform, ExperimentSource::ContainerFile, pack(options, "no_settings"));
        w.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.loaded(); }, 5000));
        EXPECT_FALSE(w.button(BUTTON_SETTINGS)->isVisible());
        EXPECT_FALSE(w.button(BUTTON_EXIT)->isVisible());
        // The options place the buttons in design pixels; the window's scale enlarges them.
        const double u = toolbar_scale(w.width(), w.height());
        EXPECT_EQ(w.button(BUTTON_RUN)->x(), std::lround(5 * u));
        EXPECT_EQ(w.button(BUTTON_PAUSE)->x(), std::lround(56 * u));
    }
    options.hide_toolbar = 1;
    PlayerState p;
    QtPlatform platform;
    MainWindow w(p, platform, ExperimentSource::ContainerFile, pack(options, "no_toolbar"));
    w.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.loaded(); }, 5000));
    EXPECT_FALSE(w.button(BUTTON_RUN)->isVisible());
    EXPECT_EQ(w.scene_view()->geometry(), w.rect());  // the scene takes the whole window
    EXPECT_EQ(picture(p).size(), w.size());
}

}  // namespace
}  // namespace quorrel
