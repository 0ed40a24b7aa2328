// The scene picture driven by real mouse events on the offscreen platform:
// dragging a body moves its start position.
#include "ui/scene_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QRadioButton>
#include <QTest>

#include "player/headless_platform.h"
#include "support/objects.h"
#include "ui/position_dialog.h"

namespace quorrel {
namespace {

int argc = 1;
char name[] = "scene_view_test";
char* argv[] = {name, nullptr};

TEST(SceneViewTest, DraggingABodyWithTheMouseMovesItsStart) {
    if (QCoreApplication::instance() == nullptr) new QApplication(argc, argv);
    PlayerState p;
    HeadlessPlatform platform;
    platform.quiet = true;
    p.platform = &platform;
    resize_scene(p, 400, 300, 400, 333);
    init_kept_settings(*p.model);
    reset_model(*p.model);
    reset_variables(*p.model);
    const XY at = to_world(*p.model, 100, 100);
    const int i = test::place_object(*p.model, KIND_BODY, at.x, at.y, 0, 0, 1, 30);
    p.model->object_pictures[i] = QImage(20, 20, QImage::Format_RGB32);
    p.model->object_pictures[i].fill(Qt::red);
    p.model->objects[i].picture_dx = p.model->objects[i].picture_dy = -10;
    p.model_loaded = true;
    prepar_obj(p);

    SceneView view(p, nullptr);
    view.resize(400, 300);
    view.show();
    int changes = 0;
    view.changed = [&] { ++changes; };
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(&view, QPoint(150, 120));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(150, 120));

    const XY moved = to_world(*p.model, 150, 120);
    EXPECT_DOUBLE_EQ(p.model->objects[i].x0, moved.x);
    EXPECT_DOUBLE_EQ(p.model->objects[i].y0, moved.y);
    EXPECT_EQ(picture(p).pixel(150, 120) | 0xFF000000, 0xFFFF0000);
    EXPECT_GE(changes, 2);
}

TEST(SceneViewTest, ThePositionDialogOpensWithTheCustomChoiceEveryTime) {
    if (QCoreApplication::instance() == nullptr) new QApplication(argc, argv);
    PositionDialog d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("位置设定"));
    d.show();
    d.radio(2)->setChecked(true);
    EXPECT_EQ(d.choice(), Placement::Threaded);
    d.hide();
    d.show();
    EXPECT_EQ(d.choice(), Placement::Custom);
    EXPECT_TRUE(d.radio(0)->isChecked());
}

}  // namespace
}  // namespace quorrel
