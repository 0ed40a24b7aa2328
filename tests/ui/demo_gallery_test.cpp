// The demo launcher's gallery, offscreen: every demo in sight on a projector
// and on smaller screens, titles large enough for the back row, one click to
// choose.
#include "ui/demo_gallery.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QTest>

#include "support/qt_app.h"

namespace quorrel {
namespace {

std::vector<GalleryEntry> entries(int n) {
    std::vector<GalleryEntry> list;
    QPixmap picture(700, 420);
    picture.fill(Qt::darkGray);
    for (int i = 0; i < n; ++i)
        list.push_back({QStringLiteral("带电粒子在匀强磁场中的圆周运动").left(2 + i % 14), picture});
    return list;
}

TEST(DemoGallery, EveryDemoFitsTheScreenWithReadableTitles) {
    struct Case {
        QSize area;
        int count, min_title_px, min_picture_width;
    };
    const Case cases[] = {
        {{1920, 1080}, 20, 27, 260},  // the projector: 5 x 4
        {{1280, 720}, 20, 18, 160},  {{1024, 768}, 20, 19, 150},
        {{1920, 1080}, 3, 27, 500},  // few demos: large pictures
        {{800, 600}, 1, 16, 500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.area.width() << "x" << c.area.height() << ", " << c.count);
        const GalleryGrid g = gallery_grid(c.area, c.count);
        EXPECT_GE(g.columns * g.rows, c.count);
        EXPECT_LT(g.columns * (g.rows - 1), c.count);  // no empty row
        EXPECT_LE(g.columns * g.cell.width(), c.area.width());
        EXPECT_LE(g.rows * g.cell.height(), c.area.height() - g.title_px);  // under the heading
        EXPECT_GE(g.title_px, c.min_title_px);
        EXPECT_GE(g.picture.width(), c.min_picture_width);
        EXPECT_NEAR(g.picture.height(), g.picture.width() * 0.6, 1.0);  // the scene's 5:3
        EXPECT_LE(g.picture.width(), g.cell.width());
        // Two title lines under the picture.
        EXPECT_LE(g.picture.height() + 2 * g.title_px, g.cell.height());
    }
}

TEST(DemoGallery, AllInSightAndOneClickChooses) {
    test::ensure_offscreen_widget_app();
    DemoGallery gallery(entries(20));
    gallery.resize(1920, 1080);
    gallery.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&gallery));
    QListWidget* list = gallery.list();
    const QRect viewport = list->viewport()->rect();
    for (int i = 0; i < list->count(); ++i)
        EXPECT_TRUE(viewport.contains(list->visualItemRect(list->item(i)))) << "demo " << i;
    EXPECT_EQ(gallery.grid().columns, 5);

    int chosen = -1;
    int calls = 0;
    gallery.on_chosen = [&](int index) {
        chosen = index;
        ++calls;
    };
    for (const int i : {0, 7, 19}) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(i)).center());
        EXPECT_EQ(chosen, i);
    }
    EXPECT_EQ(calls, 3);  // one choice a click
    list->setCurrentRow(4);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(chosen, 4);
    QTest::keyClick(&gallery, Qt::Key_Escape);
    EXPECT_FALSE(gallery.isVisible());
}

// The chosen demo's player takes the gallery's place and gives it back when
// it ends; a player that cannot start leaves the gallery where it was.
TEST(DemoGallery, ComesBackWhenThePlayerEnds) {
    test::ensure_offscreen_widget_app();
    DemoGallery gallery(entries(3));
    gallery.show_full_screen();
    ASSERT_TRUE(gallery.isVisible());

    ASSERT_TRUE(gallery.run_instead(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("sleep 0.2")}));
    EXPECT_FALSE(gallery.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(gallery.isVisible(), 10000);

    EXPECT_FALSE(gallery.run_instead(QStringLiteral("/nonexistent/quorrel"), {}));
    EXPECT_TRUE(gallery.isVisible());
}

}  // namespace
}  // namespace quorrel
