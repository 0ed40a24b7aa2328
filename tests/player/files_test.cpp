// The player's files: saving what is on show, reloading a changed file (by
// hand and by the watcher) and the numbers of a run as CSV.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <chrono>
#include <cmath>
#include <limits>

#include "demos/demos.h"
#include "format/doc_tree.h"
#include "format/io.h"
#include "format/text_form.h"
#include "model/gbk.h"
#include "player/file_watch.h"
#include "player/playback.h"
#include "player/player.h"
#include "player/property_edit.h"
#include "player/run_record.h"
#include "player/save.h"
#include "script/interpreter.h"
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

class PlayerFiles : public test::FilePlayerTest {
protected:
    // What the window gives its watcher: a reload into this player.
    ExperimentWatcher::Reload reload() {
        return [this](const std::string& file) { return reload_experiment(p, file); };
    }
};

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
            const WriteResult r = save_experiment(p, p, path(name));
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
            ASSERT_TRUE(save_experiment(p, p, path(name)).ok) << name;
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
    const WriteResult refused = save_experiment(p, p, path("b.exp"));
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.message.find("background_mode 为 2"), std::string::npos) << refused.message;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("b.exp"))));
    EXPECT_TRUE(save_experiment(p, p, path("b.json")).ok);
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
    ExperimentWatcher watcher(p, file, reload(), [&](bool ok) { reloads += ok ? 1 : 0; });
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

// The watcher asks for no reload while its document holds no experiment (a
// failed first load): there is no scene to replace.
TEST_F(PlayerFiles, TheWatcherLeavesADocumentWithoutAnExperimentAlone) {
    const std::string file = write("unloaded.toml", "[[objects]]\nkind = 1\nrest_mass = 1\nx0 = 0\n");
    Document d;
    int asked = 0;
    ExperimentWatcher watcher(d, file, [&](const std::string&) { return ++asked > 0; }, {});
    write("unloaded.toml", "[[objects]]\nkind = 1\nrest_mass = 1\nx0 = 5\n");
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 3 * ExperimentWatcher::SETTLE_MS) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    EXPECT_EQ(asked, 0);
}

// A text form opens at real time; an experiment file keeps its author's pace
// (a frame per refresh), shown against real time. A reload keeps the speed
// the user chose.
TEST_F(PlayerFiles, TheOpeningSpeedFollowsTheKindOfFile) {
    auto m = make_model();
    load_demo(*m, *find_demo("thrown_ball.exp"));
    struct Case {
        const char* name;
        std::string bytes;
        Speed speed;
        const char* readout;
    };
    const Case cases[] = {
        {"ball.exp", write_experiment(*m), Speed::Own, "0.6× 实时"},
        {"ball.toml", write_toml(*m), Speed::RealTime, "1× 实时"},
        {"old.exp", write_experiment(*make_model()), Speed::Own, "6× 实时"},  // 100 steps of 1 ms
    };
    for (const Case& c : cases) {
        set_speed(p.playback, p, *p.model, Speed::Quadruple);
        ASSERT_TRUE(open_experiment(p, write(c.name, c.bytes))) << c.name;
        EXPECT_EQ(p.playback.speed, c.speed) << c.name;
        EXPECT_TRUE(time_text(*p.model, p.playback).ends_with(c.readout))
            << c.name << ": " << time_text(*p.model, p.playback);
        set_speed(p.playback, p, *p.model, Speed::Half);
        ASSERT_TRUE(reload_experiment(p, path(c.name)));
        EXPECT_EQ(p.playback.speed, Speed::Half) << c.name;
    }
}

// A FIFO or a device renamed over the watched file is reported in the status
// line without being read (reading would block the window or never end); the
// last good scene stays and the next good file is loaded.
TEST_F(PlayerFiles, TheWatcherReportsAFifoOrADeviceInTheFilesPlace) {
    const std::string file = write("watched.toml", "[[objects]]\nkind = 1\nrest_mass = 1\nx0 = 3\n");
    ASSERT_TRUE(open_experiment(p, file));
    std::vector<bool> outcomes;
    ExperimentWatcher watcher(p, file, reload(), [&](bool ok) { outcomes.push_back(ok); });
    const auto wait_for = [&](std::size_t n) {
        QElapsedTimer clock;
        clock.start();
        while (outcomes.size() < n && clock.elapsed() < 2000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(5);
        }
        return outcomes.size() == n;
    };
    const std::string pipe = path("pipe"), device = path("device");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", device.c_str()), 0);
    std::size_t expected = 0;
    for (const std::string& hostile : {pipe, device}) {
        SCOPED_TRACE(hostile);
        ASSERT_EQ(std::rename(hostile.c_str(), file.c_str()), 0);
        ASSERT_TRUE(wait_for(++expected));
        EXPECT_FALSE(outcomes.back());
        EXPECT_EQ(p.status_colour, STATUS_RED);
        EXPECT_EQ(p.model->objects[0].x0, 3.0);
        EXPECT_TRUE(p.model_loaded);
    }
    write("good.toml", "[[objects]]\nkind = 1\nrest_mass = 1\nx0 = 3\n");  // the same text as before
    ASSERT_EQ(std::rename(path("good.toml").c_str(), file.c_str()), 0);
    ASSERT_TRUE(wait_for(++expected));
    EXPECT_TRUE(outcomes.back());
    EXPECT_TRUE(p.status_text.empty()) << p.status_text;
}

TEST_F(PlayerFiles, TheRunIsRecordedFrameByFrame) {
    ASSERT_TRUE(open_experiment(p, write("ball.exp", test::demo_experiment("thrown_ball.exp"))));
    EXPECT_FALSE(export_run_csv(p, path("none.csv")).ok);  // nothing run yet
    press_run(p);
    for (int i = 0; i < 5; ++i) Timing(p);
    ASSERT_EQ(p.record.rows(), 6u);  // the start and five frames
    const double* start = p.record.row(0);
    EXPECT_EQ(start[0], 0.0);
    EXPECT_EQ(start[1], p.model->objects[0].x0);
    EXPECT_EQ(start[3], p.model->objects[0].vx0);
    const double* last = p.record.row(5);
    EXPECT_EQ(last[0], 0.05);  // five frames of ten 1 ms steps, without the sum's noise
    EXPECT_NEAR(last[0], p.model->sim_time, 1e-15);
    EXPECT_EQ(last[1], p.model->objects[0].x);
    ASSERT_TRUE(export_run_csv(p, path("run.csv")).ok);
    std::string csv;
    ASSERT_TRUE(read_whole_file(path("run.csv"), csv));
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBFt,小球.x,小球.y,小球.vx,小球.vy,小球.ax,小球.ay,h,hmax,landed,vy,dt,tp\r\n0,", 0),
              0u);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 7);
    EXPECT_NE(csv.find("\r\n0.05,"), std::string::npos);
    press_run(p);  // a new run starts a new record
    EXPECT_EQ(p.record.rows(), 1u);
}

// The time of n steps is the decimal n x step, however the steps added up.
TEST_F(PlayerFiles, CsvTimesLieOnTheStep) {
    const auto sum = [](double step, int n) {
        double t = 0;
        for (int i = 0; i < n; ++i) t += step;
        return t;
    };
    struct Case {
        double t, step;
        const char* text;
    };
    const Case cases[] = {
        {sum(0.001, 20), 0.001, "0.02"},
        {sum(0.001, 100000), 0.001, "100"},
        {sum(0.1, 3), 0.1, "0.3"},  // 3 x 0.1 would print 0.30000000000000004
        {sum(0.002, 7), 0.002, "0.014"},
        {sum(1e-12, 30), 1e-12, "3e-11"},
        {sum(2.5, 3), 2.5, "7.5"},
        {sum(250, 3), 250, "750"},
        {sum(1.0 / 3, 3), 1.0 / 3, "1"},
        {0.0105, 0.001, "0.0105"},  // half a step off the grid: the time as it is
        {0.02, 0.0, "0.02"},
        {0.02, -0.001, "0.02"},
    };
    for (const Case& c : cases) EXPECT_EQ(shortest_real(time_on_step(c.t, c.step)), c.text) << c.t << " / " << c.step;
    EXPECT_TRUE(std::isnan(time_on_step(std::nan(""), 0.001)));
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

// Every column has the unit of the field it samples, and the CSV table of
// the authoring document lists the same units.
TEST_F(PlayerFiles, CsvColumnUnitsAreTheFieldUnitsTheDocumentLists) {
    auto m = make_model();
    m->object_texts[test::place_object(*m, KIND_BODY, 0, 0)].name = "NAME";
    m->variable_count = 2;
    const RunColumns c = run_columns(*m);
    ASSERT_EQ(c.units, (std::vector<std::string>{"s", "m", "m", "m/s", "m/s", "m/s²", "m/s²", ""}));
    std::string doc;
    ASSERT_TRUE(read_whole_file(QUORREL_SOURCE_DIR "/docs/authoring.md", doc));
    EXPECT_NE(doc.find("| `t` | " + c.units[0] + " |"), std::string::npos);
    for (std::size_t i = 1; i + 1 < 7; i += 2) {
        const std::string row = "| `" + c.names[i] + "`, `" + c.names[i + 1] + "` | " + c.units[i] + " |";
        EXPECT_NE(doc.find(row), std::string::npos) << row;
    }
}

// A long run keeps its whole span within the budget: every second row goes,
// and from then on every second frame.
TEST_F(PlayerFiles, ALongRunIsThinnedWithinTheBudget) {
    auto m = make_model();
    for (int i = 0; i < MAX_OBJECTS; ++i) test::place_object(*m, KIND_BODY, i, 0);
    m->settings.time_step = 1;
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
    for (std::size_t i = 0; i < r.rows(); ++i) ASSERT_EQ(r.row(i)[0], static_cast<double>(4 * i)) << i;
    EXPECT_GE(r.row(r.rows() - 1)[0] + 4, static_cast<double>(frames));
}

// An experiment whose clock program never ends opens, runs and stops within
// about the time budget per step, the error shown in the editor each time
// instead of the window waiting for ever. The runaway program runs once per
// preparation (c counts its runs), and a turn of the main loop stops running
// frames once it has taken its time.
TEST_F(PlayerFiles, AClockProgramThatNeverEndsCannotHoldThePlayer) {
    auto m = make_model();
    load_demo(*m, *find_demo("thrown_ball.exp"));
    for (const char* name : {"c", "d"}) {
        const int v = m->variable_count++;
        m->variable_texts[v][VT_NAME] = name;
        m->variable_texts[v][VT_INITIAL] = m->variable_texts[v][VT_VALUE] = "0";
    }
    const char* lines[] = {"c=c+1", "循环1:当(1<2)成立", "d=sin(c)*2+pow(c,2)/1000", "结束循环1"};
    for (int i = 0; i < 4; ++i) m->program_lines[0][i] = utf8_to_gbk(lines[i]);
    m->programs[0].line_count = 4;
    m->program_count = std::max(m->program_count, 1);
    const std::string file = write("heavy.exp", write_experiment(*m));

    p.script->line_budget = std::numeric_limits<long>::max();
    p.script->time_budget = std::chrono::milliseconds(50);
    p.script->use_program_editor = true;
    const auto count = [this] { return gbk_to_utf8(p.model->variable_texts[find_variable(*p.model, "c")][VT_VALUE]); };
    const auto start = std::chrono::steady_clock::now();

    ASSERT_TRUE(open_experiment(p, file));
    EXPECT_EQ(platform.editor_opened, 1);
    EXPECT_EQ(p.last_error.code, ERR_LINE_BUDGET);
    EXPECT_EQ(count(), "1");

    press_run(p);
    EXPECT_EQ(Timing(p), TickOutcome::Advanced);  // the first frame, the error shown again
    EXPECT_EQ(platform.editor_opened, 2);
    EXPECT_GT(p.model->sim_time, 0.0);
    // Fifteen frames are due; each takes the budget, so the turn ends after a few.
    EXPECT_EQ(play(p, MAX_TURN_SECONDS), TickOutcome::Advanced);
    EXPECT_LE(platform.editor_opened, 2 + 3);

    const int shown = platform.editor_opened;
    press_stop(p);  // the same error again (wherever the time ran out): not shown, and run once only
    EXPECT_EQ(platform.editor_opened, shown);
    EXPECT_EQ(count(), "1");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));  // generous
}

}  // namespace
}  // namespace quorrel
