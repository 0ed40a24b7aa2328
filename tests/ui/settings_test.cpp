// The settings and vector display dialogs offscreen: controls filled from the
// model, a refused OK keeps the dialog open with the focus on the offending
// field, and an accepted OK stores and closes. Message boxes go to a recording
// platform, so nothing blocks.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "player/headless_platform.h"
#include "support/qt_app.h"
#include "ui/colour_swatch.h"
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

}  // namespace
}  // namespace quorrel
