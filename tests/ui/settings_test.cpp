// The settings and vector display dialogs offscreen: controls filled from the
// model, a refused OK keeps the dialog open with the focus on the offending
// field, and an accepted OK stores and closes. Message boxes go to a recording
// platform, so nothing blocks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "demos/demos.h"
#include "format/io.h"
#include "model/gbk.h"
#include "player/headless_platform.h"
#include "support/qt_app.h"
#include "ui/colour_swatch.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"
#include "ui/settings_dialog.h"
#include "ui/vector_dialog.h"

namespace quorrel {
namespace {

class SettingsDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensure_offscreen_widget_app(); }

    void SetUp() override {
        platform.quiet = true;
        Settings& s = m->settings;
        s.time_step = 0.001;
        s.steps_per_frame = 100;
        s.g = 9.8;
        s.G = 6.672e-11;
        s.k = 9e9;
        s.c = 3e8;
        s.use_gravity = 1;
        s.axes_colour = 0x00FF00;
        s.v_scale = s.a_scale = s.f_scale = 1;
        s.force_colours[7] = 0x111;
        m->digits = 4;
    }

    std::unique_ptr<Model> m = make_model();
    HeadlessPlatform platform;
};

TEST_F(SettingsDialogTest, RefusedOkKeepsTheDialogOpenWithTheFocusOnTheField) {
    SettingsDialog d(*m, platform);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("实验设置"));
    EXPECT_TRUE(d.check_box(SF_USE_GRAVITY)->isChecked());
    EXPECT_EQ(d.axes_swatch()->colour(), 0x00FF00);
    EXPECT_EQ(d.edit(ST_TIME_STEP)->text(), QStringLiteral("0.001"));

    d.edit(ST_G)->setText(QStringLiteral("5"));
    d.edit(ST_STEPS)->setText(QStringLiteral("1"));
    QTest::mouseClick(d.ok_button(), Qt::LeftButton);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0], "每脉扫描次数必须大于1。");
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.focusWidget(), d.edit(ST_STEPS));
    EXPECT_EQ(m->settings.g, 5);

    // The help buttons show their texts in plain boxes.
    QTest::mouseClick(d.help_button(2), Qt::LeftButton);
    EXPECT_EQ(platform.messages.back().rfind("如果把它设置成一个非零的值", 0), 0u);

    d.edit(ST_STEPS)->setText(QStringLiteral("50"));
    d.check_box(SF_USE_GRAVITY)->setChecked(false);
    QTest::mouseClick(d.ok_button(), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(m->settings.steps_per_frame, 50);
    EXPECT_EQ(m->settings.use_gravity, 0);
}

TEST_F(SettingsDialogTest, ShowingTheDialogAgainReloadsEveryControl) {
    SettingsDialog d(*m, platform);
    d.edit(ST_C)->setText(QStringLiteral("1"));
    d.check_box(SF_SHOW_GRID)->setChecked(true);
    QTest::mouseClick(d.defaults_button(), Qt::LeftButton);
    EXPECT_EQ(d.edit(ST_C)->text(), QStringLiteral("3E8"));
    EXPECT_TRUE(d.check_box(SF_SHOW_GRID)->isChecked());
    d.show();  // as each opening does
    EXPECT_FALSE(d.check_box(SF_SHOW_GRID)->isChecked());
}

TEST_F(SettingsDialogTest, VectorDialogRefusesAZeroScaleWithTheFocusOnIt) {
    VectorDialog d(*m, platform);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_EQ(d.force_swatch(4), nullptr);
    EXPECT_EQ(d.force_swatch(6), nullptr);
    d.scale_edit(0)->setText(QStringLiteral("2"));
    d.scale_edit(2)->setText(QStringLiteral("0"));
    QTest::mouseClick(d.ok_button(), Qt::LeftButton);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0], "矢量的比例必须是大于零的实数。");
    EXPECT_EQ(d.focusWidget(), d.scale_edit(2));
    EXPECT_EQ(m->settings.v_scale, 2);
    EXPECT_EQ(m->settings.f_scale, 1);

    // Cancel drops a force colour that was only chosen in the dialog.
    d.force_swatch(7)->set_colour(0x0000FF);
    QTest::mouseClick(d.cancel_button(), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(m->settings.force_colours[7], 0x111);
    d.show();
    EXPECT_EQ(d.force_swatch(7)->colour(), 0x111);
}

// The main window offscreen, with a container whose tool bar is hidden.
class SettingsWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensure_offscreen_widget_app(); }

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        auto m = make_model();
        load_demo(*m, *find_demo("thrown_ball.exp"));
        m->toolbar.hide_toolbar = 1;
        m->has_toolbar = true;
        container = write("hidden_toolbar_player", pack_player("not really a player", *m));
        load_demo(*m, *find_demo("spring_oscillator.exp"));
        write("spring_oscillator.exp", write_experiment(*m));
    }

    std::string write(const char* name, const std::string& bytes) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path.toStdString();
    }

    QTemporaryDir dir;
    std::string container;
    PlayerState p;
    QtPlatform platform;
};

TEST_F(SettingsWindowTest, AnExperimentOpenedByAProgramBringsTheToolBarBack) {
    MainWindow w(p, platform, ExperimentSource::ContainerFile, container);
    w.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.loaded() || w.load_failed(); }, 5000));
    ASSERT_TRUE(w.loaded());
    EXPECT_FALSE(w.button(BUTTON_RUN)->isVisible());
    EXPECT_EQ(w.scene_view()->y(), 0);

    Model& m = *p.model;
    m.program_lines[0][0] = utf8_to_gbk("判断1:如果(t>0.1)则执行");
    m.program_lines[0][1] = utf8_to_gbk("打开(spring_oscillator.exp)");
    m.program_lines[0][2] = utf8_to_gbk("结束判断1");
    m.programs[0].line_count = 3;
    w.run();
    for (int i = 0; i < 15 && p.model->object_texts[0].name != utf8_to_gbk("振子"); ++i) w.tick();
    ASSERT_EQ(p.model->object_texts[0].name, utf8_to_gbk("振子"));
    EXPECT_TRUE(w.button(BUTTON_RUN)->isVisible());
    EXPECT_TRUE(w.button(BUTTON_SETTINGS)->isEnabled());
    const int top = toolbar_geometry(p.toolbar, w.width(), w.height()).scene_top;
    EXPECT_GE(top, TOOLBAR_HEIGHT);
    EXPECT_EQ(w.scene_view()->y(), top);
    EXPECT_EQ(picture(p).height(), w.height() - top);
}

TEST_F(SettingsWindowTest, ClosingTheSettingsWithOkRedrawsTheSceneFromTheModel) {
    MainWindow w(p, platform, ExperimentSource::ContainerFile, container);
    w.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.loaded(); }, 5000));
    const QImage before = picture(p).copy();
    const std::uint8_t axes = p.model->settings.show_axes;
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* d = dynamic_cast<SettingsDialog*>(QApplication::activeModalWidget());
        opened = d != nullptr;
        if (!d) return;
        d->check_box(SF_SHOW_AXES)->toggle();
        d->ok_button()->click();
    });
    w.menu_action(0)->trigger();
    ASSERT_TRUE(opened);
    EXPECT_NE(p.model->settings.show_axes, axes);
    EXPECT_NE(picture(p), before);
}

}  // namespace
}  // namespace quorrel
