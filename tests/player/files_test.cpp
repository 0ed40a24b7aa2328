// The player's files: saving what is on show, reloading a changed file (by
// hand and by the watcher) and the numbers of a run as CSV.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "demos/demos.h"
#include "model/gbk.h"
#include "model/io.h"
#include "model/text_form.h"
#include "player/file_watch.h"
#include "player/player.h"
#include "player/property_edit.h"
#include "player/run_record.h"
#include "player/save.h"
#include "support/demo_player.h"
#include "support/file_player.h"
#include "support/objects.h"

namespace quorrel {
namespace {

std::string dump_of(const std::string& path) {
    auto m = make_model();
    const LoadResult r = read_any_file(*m, path);
    EXPECT_TRUE(r.ok) << path << ": " << r.message;
    return dump_json(*m);
}

// "equal", or the first line where two dumps differ (with the key above it).
std::string dump_difference(const std::string& a, const std::string& b) {
    std::size_t i = 0, line_start = 0, prev_start = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) {
        if (a[i] == '\n') {
            prev_start = line_start;
            line_start = i + 1;
        }
        ++i;
    }
    if (i == a.size() && i == b.size()) return "equal";
    const auto line = [](const std::string& s, std::size_t from) { return s.substr(from, s.find('\n', from) - from); };
    return line(a, prev_start) + " / " + line(a, line_start) + " vs " + line(b, line_start);
}

using PlayerFiles = test::FilePlayerTest;

// Whatever the player did with the scene (prepared it, ran it, paused it),
// saving gives back the experiment it opened, in either form.
TEST_F(PlayerFiles, ASavedExperimentReopensIdentically) {
    for (const DemoInfo& d : all_demos()) {
        SCOPED_TRACE(d.file_name);
        const std::string original = write(d.file_name, test::demo_experiment(d.file_name));
        ASSERT_TRUE(open_experiment(p, original));
        EXPECT_TRUE(can_save_in_place(p));
        press_run(p);
        for (int i = 0; i < 40; ++i) Timing(p);
        for (const char* name : {"saved.exp", "saved.toml"}) {
            const WriteResult r = save_experiment(p, path(name));
            ASSERT_TRUE(r.ok) << r.message;
            EXPECT_EQ(dump_difference(dump_of(path(name)), dump_of(original)), "equal") << name;
        }
        EXPECT_EQ(p.model->experiment_path, path("saved.toml"));
        EXPECT_FALSE(can_save_in_place(p));  // a text form asks for a name
    }
}

// Saving keeps the values the player recomputes as they were read, unless an
// edit changed what they derive from: then they follow the edit.
TEST_F(PlayerFiles, ASaveNeverKeepsAStaleDerivedValue) {
    struct Case {
        int field;
        const char* text;
        double mass, x;  // as saved
    };
    // A new radius leaves the generated ball as drawn before: no picture of the object's own to lose.
    const Case cases[] = {
        {OT_CHARGE, "1e-6", 1.5, 9}, {OT_MASS, "2", 2, 9}, {OT_X0, "5", 1.5, 5}, {OT_RADIUS, "30", 1.5, 9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string file = write("read.toml", "[[objects]]\nkind = 1\nrest_mass = 1\nmass = 1.5\nx = 9\n");
        ASSERT_TRUE(open_experiment(p, file));
        ObjectFields f = object_fields(*p.model, 0);
        f.text[c.field] = c.text;
        ASSERT_FALSE(confirm_object_properties(p, 0, f).refused);
        for (const char* name : {"saved.exp", "saved.toml"}) {
            ASSERT_TRUE(save_experiment(p, path(name)).ok) << name;
            auto back = make_model();
            ASSERT_TRUE(read_any_file(*back, path(name)).ok) << name;
            EXPECT_EQ(back->objects[0].mass, c.mass) << name;
            EXPECT_EQ(back->objects[0].x, c.x) << name;
        }
    }
}

// What the experiment file cannot hold (here a background mode without its
// picture) is refused there, leaving no file; a text form keeps it.
TEST_F(PlayerFiles, SavingRefusesWhatTheExperimentFileCannotHold) {
    ASSERT_TRUE(open_experiment(p, write("b.toml", "[settings]\nbackground_mode = 2\n")));
    const WriteResult refused = save_experiment(p, path("b.exp"));
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.message.find("background_mode 为 2"), std::string::npos) << refused.message;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("b.exp"))));
    EXPECT_TRUE(save_experiment(p, path("b.json")).ok);
}

TEST_F(PlayerFiles, AReloadKeepsTheLastGoodSceneOnAnError) {
    const std::string file = write("ball.toml", "[[objects]]\nkind = 1\nrest_mass = 1\nx0 = 3\n");
    ASSERT_TRUE(open_experiment(p, file));
    press_run(p);
    Timing(p);
    write("ball.toml", "[[objects]]\nkind = 1\nrest_mass = \"one\"\n");
    EXPECT_FALSE(reload_experiment(p, file));
    EXPECT_EQ(p.status_colour, STATUS_RED);
    EXPECT_NE(p.status_text.find("第 3 行 objects[0].rest_mass"), std::string::npos) << p.status_text;
    EXPECT_TRUE(p.model->running);  // the scene on show goes on
    EXPECT_EQ(p.model->objects[0].x0, 3.0);
    write("ball.toml", "[[objects]]\nkind = 1\nrest_mass = 1\nx0 = 5\n");
    EXPECT_TRUE(reload_experiment(p, file));
    EXPECT_FALSE(p.model->running);
    EXPECT_EQ(p.model->objects[0].x0, 5.0);
    EXPECT_EQ(p.status_colour, STATUS_NAVY);
    EXPECT_TRUE(platform.messages.empty());  // never a message box
}

// Editors save in place or by renaming a new file over the old one: both are
// picked up, well within a second.
TEST_F(PlayerFiles, TheWatcherReloadsAChangedFileWithinASecond) {
    const std::string file = write("watched.toml", "[[objects]]\nkind = 1\nrest_mass = 1\nx0 = 0\n");
    ASSERT_TRUE(open_experiment(p, file));
    int reloads = 0;
    ExperimentWatcher watcher(p, file, [&](bool ok) { reloads += ok ? 1 : 0; });
    for (int round = 1; round <= 2; ++round) {
        const std::string text = "[[objects]]\nkind = 1\nrest_mass = 1\nx0 = " + std::to_string(round) + "\n";
        if (round == 1) {
            write("watched.toml", text);
        } else {
            write("watched.toml.new", text);
            ASSERT_EQ(std::rename(path("watched.toml.new").c_str(), file.c_str()), 0);
        }
        QElapsedTimer clock;
        clock.start();
        while (reloads < round && clock.elapsed() < 1000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(5);
        }
        EXPECT_EQ(reloads, round) << "round " << round;
        EXPECT_EQ(p.model->objects[0].x0, round);
    }
}

TEST_F(PlayerFiles, TheRunIsRecordedFrameByFrame) {
    ASSERT_TRUE(open_experiment(p, write("ball.exp", test::demo_experiment("thrown_ball.exp"))));
    EXPECT_FALSE(export_run_csv(p, path("none.csv")).ok);  // nothing run yet
    press_run(p);
    for (int i = 0; i < 5; ++i) Timing(p);
    ASSERT_EQ(p.record.rows(), 5u);
    const double* last = p.record.row(4);
    EXPECT_EQ(last[0], p.model->sim_time);
    EXPECT_EQ(last[1], p.model->objects[0].x);
    ASSERT_TRUE(export_run_csv(p, path("run.csv")).ok);
    std::string csv;
    ASSERT_TRUE(read_whole_file(path("run.csv"), csv));
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBFt,小球.x,小球.y,小球.vx,小球.vy,小球.ax,小球.ay,h,hmax,landed\r\n", 0), 0u);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 6);
    press_run(p);  // a new run starts a new record
    EXPECT_EQ(p.record.rows(), 0u);
}

// Column names: an object without a name gets its slot, a repeated name its
// slot too, and a name with a comma or a quote is quoted.
TEST_F(PlayerFiles, CsvColumnsNameEveryObject) {
    auto m = make_model();
    for (const char* name : {"", "球", "球", "a,\"b\""}) {
        const int slot = test::place_object(*m, KIND_BODY, 0, 0);
        m->object_texts[slot].name = utf8_to_gbk(name);
    }
    const std::string header = csv_header(run_columns(*m), false);
    EXPECT_EQ(header.substr(0, header.find(",#0.y")), "t,#0.x");
    EXPECT_NE(header.find(",球.ay,球#2.x,"), std::string::npos) << header;
    EXPECT_NE(header.find(",\"a,\"\"b\"\".x\","), std::string::npos) << header;
}

// A long run keeps its whole span within the budget: every second row goes,
// and from then on every second frame.
TEST_F(PlayerFiles, ALongRunIsThinnedWithinTheBudget) {
    auto m = make_model();
    for (int i = 0; i < MAX_OBJECTS; ++i) test::place_object(*m, KIND_BODY, i, 0);
    RunRecord r;
    r.start(*m);
    const std::size_t cap = r.capacity();
    ASSERT_LE(cap * r.width() * sizeof(double), RunRecord::BUDGET_BYTES);
    const std::size_t frames = 3 * cap;
    for (std::size_t f = 1; f <= frames; ++f) {
        m->sim_time = static_cast<double>(f);
        r.record(*m);
    }
    EXPECT_EQ(r.stride(), 4u);
    EXPECT_LE(r.rows(), cap);
    for (std::size_t i = 0; i < r.rows(); ++i) ASSERT_EQ(r.row(i)[0], static_cast<double>(1 + 4 * i)) << i;
    EXPECT_GE(r.row(r.rows() - 1)[0] + 4, static_cast<double>(frames));
}

}  // namespace
}  // namespace quorrel
