// 保存, 另存为, 导出数据 and the question on closing, offscreen: the file
// dialog and the question are answered by the test, message boxes go to a
// recording platform.
#include "ui/edit_actions.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include "demos/demos.h"
#include "format/io.h"
#include "format/text_form.h"
#include "player/headless_platform.h"
#include "player/property_edit.h"
#include "player/save.h"
#include "support/demo_player.h"
#include "support/qt_app.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"

namespace quorrel {
namespace {

class EditActionsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensure_offscreen_widget_app(); }

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        platform.quiet = true;
        p.platform = &platform;
        actions.ask_file_name = [this](const QString& title, const QString& suggested, const QString&) {
            asked.push_back(title + QLatin1Char('|') + QFileInfo(suggested).fileName());
            return answer;
        };
    }

    std::string path(const char* name) { return dir.filePath(QString::fromUtf8(name)).toStdString(); }

    // The spring demo stored as `name`: an experiment file, or packed after some bytes.
    std::string store(const char* name, bool packed) {
        auto m = make_model();
        load_demo(*m, *find_demo("spring_oscillator.exp"));
        const std::string bytes = packed ? pack_player("not really a player", *m) : write_experiment(*m);
        EXPECT_TRUE(write_file_safely(path(name), bytes).ok);
        return path(name);
    }

    // Opens the file as the window does, with the menu items following.
    bool open(const std::string& file, bool container = false) {
        const bool ok = container ? load_container(p, file) : open_experiment(p, file);
        actions.sync();
        return ok;
    }

    void edit_mass(const char* mass) {
        ObjectFields f = object_fields(*p.model, 0);
        f.text[OT_MASS] = mass;
        ASSERT_FALSE(confirm_object_properties(p, 0, f).refused);
    }

    double mass_in(const std::string& file) {
        auto m = make_model();
        EXPECT_TRUE(read_any_file(*m, file).ok) << file;
        return m->objects[0].rest_mass;
    }

    QTemporaryDir dir;
    HeadlessPlatform platform;
    PlayerState p;
    QWidget window;
    QMenu menu;
    QAction* before = menu.addAction(QStringLiteral("退出"));
    EditActions actions{p, platform, &window, &menu, before};
    std::vector<QString> asked;
    QString answer;
};

TEST_F(EditActionsTest, SaveWritesAnExperimentFileBackWithoutAsking) {
    const std::string file = store("spring.exp", false);
    ASSERT_TRUE(open(file));
    EXPECT_EQ(menu.actions().indexOf(actions.save_action()), 3);  // undo, redo, separator, save ...
    edit_mass("3");
    EXPECT_TRUE(has_unsaved_edits(p));
    actions.save_action()->trigger();
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(mass_in(file), 3);
    auto reopened = make_model();
    ASSERT_TRUE(read_any_file(*reopened, file).ok);
    EXPECT_EQ(dump_json(*reopened), dump_json(*model_to_save(p)));  // the edited experiment, identically
    EXPECT_FALSE(has_unsaved_edits(p));
    EXPECT_EQ(p.status_text, "实验已保存到 spring.exp");
}

TEST_F(EditActionsTest, APackedPlayerAsksForANameOnceAndACancelWritesNothing) {
    const std::string player = store("spring_player", true);
    ASSERT_TRUE(open(player, true));
    edit_mass("4");
    EXPECT_FALSE(actions.save());  // the dialog cancelled
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], QStringLiteral("另存为|spring_player.exp"));
    EXPECT_TRUE(has_unsaved_edits(p));

    answer = QString::fromStdString(path("copy"));
    EXPECT_TRUE(actions.save());
    EXPECT_EQ(mass_in(path("copy.exp")), 4);  // the extension added
    EXPECT_EQ(mass_in(player), 1);            // the player is left alone
    edit_mass("5");
    EXPECT_TRUE(actions.save());  // into copy.exp now, without asking
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(mass_in(path("copy.exp")), 5);

    // A folder that does not exist: the message, and the edits stay unsaved.
    edit_mass("6");
    answer = QString::fromStdString(path("missing/x.exp"));
    EXPECT_FALSE(actions.save_as());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(has_unsaved_edits(p));
    EXPECT_EQ(mass_in(path("copy.exp")), 5);
}

TEST_F(EditActionsTest, ExportWritesTheRunsFramesAndNeedsARun) {
    ASSERT_TRUE(open(store("spring.exp", false)));
    actions.export_action()->trigger();
    EXPECT_TRUE(asked.empty());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0], "还没有可以导出的数据:请先运行实验。");

    press_run(p);
    for (int i = 0; i < 3; ++i) Timing(p);
    answer = QString::fromStdString(path("run"));
    actions.export_action()->trigger();
    EXPECT_EQ(asked.back(), QStringLiteral("导出数据|spring.csv"));
    std::string csv;
    ASSERT_TRUE(read_whole_file(path("run.csv"), csv));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 5);  // the header, the start and three frames
    EXPECT_EQ(p.status_text, "数据已导出到 run.csv");
}

TEST(EditWindowTest, ClosingWithUnsavedEditsAsksWhetherToSave) {
    test::ensure_offscreen_widget_app();
    QTemporaryDir dir;
    const std::string file = dir.filePath(QStringLiteral("spring.exp")).toStdString();
    ASSERT_TRUE(write_file_safely(file, test::demo_experiment("spring_oscillator.exp")).ok);
    PlayerState p;
    QtPlatform platform;
    MainWindow w(p, platform, ExperimentSource::ExperimentFile, file);
    w.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.loaded() || w.load_failed(); }, 5000));
    int questions = 0;
    SaveQuestion reply = SaveQuestion::Cancel;
    w.edit_actions()->ask_save_changes = [&] {
        ++questions;
        return reply;
    };
    EXPECT_TRUE(w.edit_actions()->may_close());  // nothing edited: no question
    EXPECT_EQ(questions, 0);

    ObjectFields f = object_fields(*p.model, 0);
    f.text[OT_X0] = "100";
    ASSERT_FALSE(confirm_object_properties(p, 0, f).refused);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    reply = SaveQuestion::Save;
    EXPECT_TRUE(w.close());
    EXPECT_EQ(questions, 2);
    auto saved = make_model();
    ASSERT_TRUE(read_any_file(*saved, file).ok);
    EXPECT_EQ(saved->objects[0].x0, 100);
}

}  // namespace
}  // namespace quorrel
