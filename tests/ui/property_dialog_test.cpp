// The property dialogs offscreen: a refused OK keeps the dialog open with the
// focus on the field, Cancel stores nothing, the speed and direction follow
// the components; in the main window a double click on a body opens its
// dialog and Ctrl+Z undoes a drag.
#include "ui/property_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "demos/demos.h"
#include "format/safe_write.h"
#include "player/headless_platform.h"
#include "player/view_control.h"
#include "support/blank_player.h"
#include "support/demo_player.h"
#include "support/objects.h"
#include "support/qt_app.h"
#include "ui/edit_actions.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"

namespace quorrel {
namespace {

class PropertyDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensure_offscreen_widget_app(); }

    void SetUp() override {
        test::blank_player(p, platform);
        test::place_object(*p.model, KIND_BODY, 1, 2, 3, 4, 2, 0.5);
        p.model->E.rec[0] = {0, 0, 1e-6};
        prepar_obj(p);
    }

    HeadlessPlatform platform;
    PlayerState p;
};

TEST_F(PropertyDialogTest, RefusedOkKeepsTheDialogOpenAndCancelStoresNothing) {
    ObjectDialog d(p, platform, 0);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_EQ(d.edit(OT_SPEED)->text(), QStringLiteral("5"));

    // Typing the direction turns the components with it.
    d.edit(OT_ANGLE)->clear();
    QTest::keyClicks(d.edit(OT_ANGLE), QStringLiteral("90"));
    EXPECT_EQ(d.edit(OT_VX0)->text(), QStringLiteral("0"));
    EXPECT_EQ(d.edit(OT_VY0)->text(), QStringLiteral("5"));

    d.edit(OT_LOSS)->setText(QStringLiteral("2"));
    QTest::mouseClick(d.ok_button(), Qt::LeftButton);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0], "碰撞损失系数必须在0到1之间。");
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.focusWidget(), d.edit(OT_LOSS));
    EXPECT_EQ(p.model->objects[0].vx0, 3);

    QTest::mouseClick(d.cancel_button(), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(p.model->objects[0].vx0, 3);
    EXPECT_FALSE(has_unsaved_edits(p));
}

TEST_F(PropertyDialogTest, ElementDialogStoresTheStrengthOnOk) {
    ElementDialog d(p, platform, T_E, 0);
    d.show();
    ASSERT_EQ(d.rows(), 3);
    EXPECT_EQ(d.choice_box(), nullptr);
    d.edit(2)->setText(QStringLiteral("0"));
    QTest::mouseClick(d.ok_button(), Qt::LeftButton);
    EXPECT_EQ(d.focusWidget(), d.edit(2));
    d.edit(2)->setText(QStringLiteral("-2e-6"));
    QTest::mouseClick(d.ok_button(), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(p.model->E.rec[0].charge, -2e-6);
    EXPECT_TRUE(has_unsaved_edits(p));
}

// The spring demo in the main window, its ball found through the view.
TEST(PropertyWindowTest, DoubleClickOpensTheBallsDialogAndCtrlZUndoesADrag) {
    test::ensure_offscreen_widget_app();
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("spring.exp")).toStdString();
    ASSERT_TRUE(write_file_safely(path, test::demo_experiment("spring_oscillator.exp")).ok);

    PlayerState p;
    QtPlatform platform;
    MainWindow w(p, platform, ExperimentSource::ExperimentFile, path);
    w.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.loaded() || w.load_failed(); }, 5000));
    ASSERT_TRUE(w.loaded());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const View& view = p.scene.view;
    const MovingObject& o = p.model->objects[0];
    const QPoint ball = screen_point(view, o.screen_x + 0.5, o.screen_y + 0.5).toPoint();
    // 25 design pixels to the right: 10 m, give or take the pixel the pointer lands in.
    const QPoint drag(qRound(25 * view.zoom), 0);
    const double pixel = p.model->settings.scale;

    QString title;
    QTimer::singleShot(0, [&] {
        if (QWidget* d = QApplication::activeModalWidget()) {
            title = d->windowTitle();
            static_cast<QDialog*>(d)->reject();
        }
    });
    // As the platform delivers a double click: press, release, the double
    // click standing for the second press, release.
    QTest::mouseClick(w.scene_view(), Qt::LeftButton, {}, ball);
    QTest::mouseDClick(w.scene_view(), Qt::LeftButton, {}, ball);
    QTest::mouseRelease(w.scene_view(), Qt::LeftButton, {}, ball);
    EXPECT_EQ(title, QStringLiteral("运动对象属性"));
    EXPECT_EQ(p.model->objects[0].x0, 120);  // the double click moved nothing
    EXPECT_FALSE(w.edit_actions()->undo_action()->isEnabled());

    QTest::mousePress(w.scene_view(), Qt::LeftButton, {}, ball);
    QTest::mouseMove(w.scene_view(), ball + drag);
    QTest::mouseRelease(w.scene_view(), Qt::LeftButton, {}, ball + drag);
    EXPECT_NEAR(p.model->objects[0].x0, 130, pixel);
    EXPECT_TRUE(w.edit_actions()->undo_action()->isEnabled());
    w.edit_actions()->undo_action()->trigger();
    EXPECT_EQ(p.model->objects[0].x0, 120);
    EXPECT_TRUE(w.edit_actions()->redo_action()->isEnabled());
}

}  // namespace
}  // namespace quorrel
