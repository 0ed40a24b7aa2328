// Loading experiments into the player: a packed player, an experiment file,
// a damaged file, and the 打开 statement replacing the experiment mid-run.
#include "player/launch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>

#include "demos/demos.h"
#include "format/io.h"
#include "model/gbk.h"
#include "player/player.h"
#include "support/file_player.h"

namespace quorrel {
namespace {

class LaunchTest : public test::FilePlayerTest {
protected:
    std::string demo_file(const char* demo, bool packed) {
        auto m = make_model();
        load_demo(*m, *find_demo(demo));
        const std::string name = std::string(demo) + (packed ? ".player" : "");
        return write(name.c_str(), packed ? pack_player("\x7f"
                                                        "ELF stand-in",
                                                        *m)
                                          : write_experiment(*m));
    }
};

TEST_F(LaunchTest, TellsPackedPlayersFromExperimentFilesAndOthers) {
    const std::string packed = demo_file("thrown_ball.exp", true);
    const std::string exp = demo_file("thrown_ball.exp", false);
    EXPECT_TRUE(carries_container(packed));
    EXPECT_FALSE(is_experiment_file(packed));
    EXPECT_TRUE(is_experiment_file(exp));
    EXPECT_FALSE(carries_container(exp));
    EXPECT_FALSE(carries_container(write("plain", "just some bytes, no trailer")));
    EXPECT_FALSE(carries_container(write("short", "ab")));
    // A trailer pointing past the end of the file.
    EXPECT_FALSE(carries_container(write("wild", std::string("ssmw3.5.50\xff\xff\xff\x7f", 14))));
    EXPECT_FALSE(carries_container(path("missing")));
}

TEST_F(LaunchTest, APackedPlayerLoadsWithItsToolbarOptionsAndShowsTheScene) {
    EXPECT_TRUE(first_activation(p, demo_file("thrown_ball.exp", true)));
    EXPECT_TRUE(p.model_loaded);
    EXPECT_EQ(object_count(*p.model), 1);
    EXPECT_EQ(p.caption.rfind("Quorrel   Ver 3.5 专业版      ", 0), 0u);
    EXPECT_TRUE(p.toolbar.toolbar_visible);
    // A later activation does not load again.
    p.model->objects[0].x0 = 5;
    EXPECT_TRUE(first_activation(p, "/nonexistent"));
    EXPECT_EQ(p.model->objects[0].x0, 5);
}

TEST_F(LaunchTest, ADamagedFileIsRefusedWithItsMessageAndNothingLoaded) {
    EXPECT_FALSE(load_any(p, write("bad.player", "no container here at all")));
    EXPECT_FALSE(p.model_loaded);
    EXPECT_EQ(platform.messages.size(), 1u);

    // An experiment already shown stays when another cannot be read.
    ASSERT_TRUE(load_any(p, demo_file("spring_oscillator.exp", false)));
    std::string truncated = write_experiment(*p.model);
    truncated.resize(truncated.size() / 2);
    EXPECT_FALSE(open_experiment(p, write("half.exp", truncated)));
    EXPECT_TRUE(p.model_loaded);
    EXPECT_EQ(p.model->object_texts[0].name, utf8_to_gbk("振子"));
}

TEST_F(LaunchTest, AMissingFileIsReportedAsOneThatCannotBeOpened) {
    const std::string missing = path("absent.exp");
    EXPECT_FALSE(can_read(missing));
    EXPECT_FALSE(load_any(p, missing));
    EXPECT_FALSE(p.model_loaded);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0], "不能打开这个文件,请检查这个文件是否存在.\n" + missing);
    EXPECT_FALSE(can_read(dir.path().toStdString()));  // a folder is no file either
}

// A FIFO (which would wait for a writer) or a device (which never ends) is
// refused at once like a missing file, and the experiment on show stays.
TEST_F(LaunchTest, AFifoOrADeviceIsRefusedAtOnceAndTheSceneStays) {
    ASSERT_TRUE(load_any(p, demo_file("spring_oscillator.exp", false)));
    const std::string pipe = path("pipe.exp"), zero = path("zero.toml");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", zero.c_str()), 0);
    for (const std::string& file : {pipe, zero, std::string("/dev/zero")}) {
        SCOPED_TRACE(file);
        EXPECT_FALSE(can_read(file));
        EXPECT_FALSE(carries_container(file));
        EXPECT_FALSE(is_experiment_file(file));
        platform.messages.clear();
        EXPECT_FALSE(load_any(p, file));
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0], cannot_open_message(file));
        EXPECT_FALSE(open_experiment(p, file));
        EXPECT_TRUE(p.model_loaded);
        EXPECT_EQ(p.model->object_texts[0].name, utf8_to_gbk("振子"));
    }
}

TEST_F(LaunchTest, TheOpenStatementReplacesTheExperimentAndPreparesIt) {
    demo_file("spring_oscillator.exp", false);
    ASSERT_TRUE(load_any(p, demo_file("thrown_ball.exp", false)));
    Model& m = *p.model;
    m.program_lines[0][0] = utf8_to_gbk("判断1:如果(t>0.1)则执行");
    m.program_lines[0][1] = utf8_to_gbk("打开(spring_oscillator.exp)");
    m.program_lines[0][2] = utf8_to_gbk("结束判断1");
    m.programs[0].line_count = 3;
    press_run(p);
    for (int i = 0; i < 11 && p.model->running; ++i) Timing(p);
    // The opened experiment is shown stopped, ready for Run.
    EXPECT_EQ(p.model->object_texts[0].name, utf8_to_gbk("振子"));
    EXPECT_FALSE(p.model->running);
    EXPECT_FALSE(p.pause_enabled);
    EXPECT_EQ(p.model->sim_time, 0.0);
    EXPECT_EQ(p.model->experiment_path, path("spring_oscillator.exp"));
    press_run(p);
    EXPECT_EQ(Timing(p), TickOutcome::Advanced);
    EXPECT_NE(p.model->objects[0].x, p.model->objects[0].x0);
}

TEST_F(LaunchTest, FunctionGraphsGetTheirPictureAndPlotTheirCurvesDuringARun) {
    auto m = make_model();
    load_demo(*m, *find_demo("thrown_ball.exp"));
    FunctionGraph& g = m->graphs[0];
    g.kind = 1;
    g.curve_colour[0] = 0x0000FF;
    for (int c = 0; c < CURVES; ++c) {
        m->graph_texts1[0][c] = gbk::VALUE_ZERO;
        m->graph_texts2[0][c] = gbk::VALUE_ZERO;
    }
    m->graph_texts1[0][0] = "t";
    m->graph_texts2[0][0] = "h";
    ASSERT_TRUE(load_any(p, write("graph.exp", write_experiment(*m))));
    const QImage& graph = p.model->graph_pictures[0];
    ASSERT_EQ(graph.size(), QSize(GRAPH_PICTURE_SIZE, GRAPH_PICTURE_SIZE));
    EXPECT_TRUE(p.model->graph_pictures[1].isNull());

    press_run(p);
    EXPECT_EQ(p.model->graphs[0].curve_x_value[0], 0.0);  // the bounds follow t = 0 at Run
    const QImage before = graph.copy();
    for (int i = 0; i < 50; ++i) Timing(p);
    EXPECT_NE(graph, before);
    EXPECT_NEAR(p.model->graphs[0].curve_x_value[0], 0.5, 1e-6);
}

// Two players in one process share nothing: each loads its experiment
// through its own reader scratch, and ticking them in turn gives bit for bit
// what each gives when played alone, live curves included.
TEST_F(LaunchTest, TwoPlayersInOneProcessTickIndependently) {
    auto m = make_model();
    load_demo(*m, *find_demo("thrown_ball.exp"));
    m->graphs[0].kind = 1;
    for (int c = 0; c < CURVES; ++c) m->graph_texts1[0][c] = m->graph_texts2[0][c] = gbk::VALUE_ZERO;
    m->graph_texts1[0][0] = "t*2";  // an expression: evaluated by the player's curve script
    m->graph_texts2[0][0] = "h";
    const std::string ball = write("ball.exp", write_experiment(*m));
    const std::string spring = demo_file("spring_oscillator.exp", false);

    auto start = [&](PlayerState& q, const std::string& path) {
        q.platform = &platform;
        resize_scene(q, 700, 420, 702, 455);
        ASSERT_TRUE(load_any(q, path));
        press_run(q);
    };
    PlayerState a, b, alone_a, alone_b;
    start(a, ball);
    start(b, spring);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(Timing(a), TickOutcome::Advanced);
        EXPECT_EQ(Timing(b), TickOutcome::Advanced);
    }
    start(alone_a, ball);
    for (int i = 0; i < 20; ++i) Timing(alone_a);
    start(alone_b, spring);
    for (int i = 0; i < 20; ++i) Timing(alone_b);

    EXPECT_NE(a.model->objects[0].x, b.model->objects[0].x);
    for (auto [q, alone] : {std::pair{&a, &alone_a}, std::pair{&b, &alone_b}}) {
        EXPECT_EQ(q->model->sim_time, alone->model->sim_time);
        for (int i = 0; i < object_count(*q->model); ++i) {
            EXPECT_EQ(q->model->objects[i].x, alone->model->objects[i].x);
            EXPECT_EQ(q->model->objects[i].y, alone->model->objects[i].y);
        }
        EXPECT_EQ(picture(*q), picture(*alone));
        EXPECT_EQ(q->model->graph_pictures[0], alone->model->graph_pictures[0]);
    }
    EXPECT_NEAR(a.model->graphs[0].curve_x_value[0], 2 * a.model->sim_time, 1e-5);
}

}  // namespace
}  // namespace quorrel

namespace quorrel {
namespace {

// The demos an installation put beside the player open at real time; the
// same file elsewhere, or another file beside them, is no installed demo.
TEST(PlayerArgs, InstalledDemosAreTheFilesInTheSharedDemoFolder) {
    const QString root = QString::fromStdString(::testing::TempDir()) + QStringLiteral("/quorrel_install");
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/bin")));
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/share/quorrel/demos/pictures")));
    const std::string bin = (root + QStringLiteral("/bin")).toStdString();
    const std::string demos = (root + QStringLiteral("/share/quorrel/demos/")).toStdString();
    EXPECT_TRUE(is_installed_demo(bin, demos + "thrown_ball.exp"));
    EXPECT_TRUE(is_installed_demo(bin + "/", demos + "../demos/free_fall.toml"));
    EXPECT_FALSE(is_installed_demo(bin, demos + "pictures/ball.bmp"));
    EXPECT_FALSE(is_installed_demo(bin, (root + QStringLiteral("/thrown_ball.exp")).toStdString()));
    EXPECT_FALSE(is_installed_demo((root + QStringLiteral("/nowhere")).toStdString(), demos + "thrown_ball.exp"));
}

TEST(PlayerArgs, OptionsFileAndMistakes) {
    PlayerArgs a = parse_player_args({"--exit-after-first-frame", "x.exp"});
    EXPECT_TRUE(a.exit_after_first_frame);
    EXPECT_FALSE(a.help);
    EXPECT_FALSE(a.real_time);
    EXPECT_TRUE(parse_player_args({"--real-time", "x.exp"}).real_time);
    EXPECT_EQ(a.file, "x.exp");
    EXPECT_TRUE(a.error.empty());

    // Options may follow the file; "--" lets a file start with a dash.
    a = parse_player_args({"x.exp", "--help"});
    EXPECT_TRUE(a.help);
    EXPECT_EQ(a.file, "x.exp");
    a = parse_player_args({"--", "-odd.exp"});
    EXPECT_EQ(a.file, "-odd.exp");
    EXPECT_TRUE(a.error.empty());

    EXPECT_FALSE(parse_player_args({"--exit-after-first-frames"}).error.empty());
    EXPECT_FALSE(parse_player_args({"a.exp", "b.exp"}).error.empty());
    EXPECT_TRUE(parse_player_args({}).file.empty());
    EXPECT_NE(player_usage("quorrel").find("--exit-after-first-frame"), std::string::npos);
}

TEST(PlayerArgs, ZoomFitsByDefaultOrTakesAScale) {
    EXPECT_EQ(parse_player_args({"x.exp"}).zoom, 0.0);
    struct Case {
        std::vector<std::string> args;
        double zoom;
        bool ok;
    };
    const Case cases[] = {{{"--zoom", "1", "x.exp"}, 1.0, true},   {{"--zoom=2.5", "x.exp"}, 2.5, true},
                          {{"x.exp", "--zoom", "fit"}, 0.0, true}, {{"--zoom", "0", "x.exp"}, 0.0, false},
                          {{"--zoom", "big"}, 0.0, false},         {{"x.exp", "--zoom"}, 0.0, false}};
    for (const Case& c : cases) {
        const PlayerArgs a = parse_player_args(c.args);
        EXPECT_EQ(a.error.empty(), c.ok) << c.args[0] << " " << c.args[1];
        if (c.ok) {
            EXPECT_EQ(a.zoom, c.zoom);
            EXPECT_EQ(a.file, "x.exp");
        }
    }
    const std::string usage = player_usage("quorrel");
    EXPECT_NE(usage.find("--zoom fit"), std::string::npos);
    EXPECT_NE(usage.find("--zoom 1"), std::string::npos);
}

}  // namespace
}  // namespace quorrel
