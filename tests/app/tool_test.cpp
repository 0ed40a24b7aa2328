// Runs the built quorrel-tool on demo experiments written to a temporary
// folder and checks its output against what its usage text promises.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <limits>

#include "demos/demos.h"
#include "format/io.h"
#include "model/gbk.h"
#include "support/qt_app.h"
#include "support/tool_output.h"

namespace quorrel {
namespace {

using Result = test::ToolResult;

Result run_tool(const QStringList& args) {
    return test::run_program(QStringLiteral(QUORREL_TOOL), args, 60000);
}

Json::Value dump(const QString& path) {
    const Result r = run_tool({"dump", path});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    return test::json_of(r.out);
}

bool save(const QString& path, const std::string& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

std::string utf8(const Text& gbk) {
    return gbk_to_utf8(gbk);
}

// The keys of a dump that must survive packing: all but the tool bar, which
// only a container has. Loading a container also gives every block and
// incline the white transparent colour (an experiment file gives objects
// without a picture of their own black); that is checked and then left out.
Json::Value experiment_keys(Json::Value j) {
    j.removeMember("toolbar");
    for (Json::Value& o : j["objects"]) {
        const int kind = o["kind"].asInt();
        if (kind != KIND_BLOCK && kind != KIND_INCLINE) continue;
        o.removeMember("transparent_colour");
        o.removeMember("transparent");
    }
    return j;
}

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        demo_dir = dir.filePath("demos/new");  // a folder that does not exist yet
        const Result r = run_tool({"demo", demo_dir});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
    }
    QString demo(const DemoInfo& d) const { return demo_dir + "/" + d.file_name; }

    QTemporaryDir dir;
    QString demo_dir;
};

TEST_F(ToolTest, DemoWritesEveryBundledDemo) {
    ASSERT_GE(all_demos().size(), 2u);
    ASSERT_NE(find_demo("thrown_ball.exp"), nullptr);
    ASSERT_NE(find_demo("spring_oscillator.exp"), nullptr);
    for (const DemoInfo& d : all_demos()) {
        QFile f(demo(d));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << d.file_name;
        EXPECT_TRUE(f.read(9) == "kovra.y3.") << d.file_name;
    }
}

// The dump of each demo file has every documented key and gives back
// exactly the numbers and texts the demo was built with.
TEST_F(ToolTest, DumpGivesBackTheBuiltDemo) {
    const QStringList top = {"settings",    "toolbar",  "objects",     "elements",        "measurements",
                             "text_blocks", "points",   "annotations", "function_graphs", "variables",
                             "programs",    "pictures", "background",  "reserved"};
    const QStringList settings = {"steps_per_frame",
                                  "origin_x",
                                  "origin_y",
                                  "scale",
                                  "time_step",
                                  "show_axes",
                                  "show_grid",
                                  "show_fine_grid",
                                  "axes_colour",
                                  "line_width",
                                  "background_colour",
                                  "background_mode",
                                  "v_scale",
                                  "a_scale",
                                  "f_scale",
                                  "v_colour",
                                  "a_colour",
                                  "force_colours",
                                  "pause_time",
                                  "g",
                                  "G",
                                  "k",
                                  "c",
                                  "use_gravity",
                                  "use_mutual_gravitation",
                                  "use_mutual_charge",
                                  "use_relativity",
                                  "use_collisions",
                                  "selected_object"};
    const QStringList object_keys = {"slot",
                                     "kind",
                                     "name",
                                     "second_text",
                                     "width",
                                     "height",
                                     "ground_mu",
                                     "surface_mu",
                                     "angle_a",
                                     "angle_b",
                                     "host",
                                     "orientation",
                                     "stuck",
                                     "riding",
                                     "rel_x",
                                     "rel_y",
                                     "loss",
                                     "x",
                                     "y",
                                     "vx",
                                     "vy",
                                     "ax",
                                     "ay",
                                     "mass",
                                     "charge",
                                     "x0",
                                     "y0",
                                     "vx0",
                                     "vy0",
                                     "rest_mass",
                                     "fx",
                                     "fy",
                                     "radius",
                                     "trail_colour",
                                     "ball_rgb",
                                     "show_trail",
                                     "own_picture",
                                     "picture_dx",
                                     "picture_dy",
                                     "transparent_colour",
                                     "transparent",
                                     "strobe_on",
                                     "strobe_interval",
                                     "readout_flags",
                                     "strobe_vector_flags",
                                     "live_vector_flags"};

    for (const DemoInfo& d : all_demos()) {
        SCOPED_TRACE(d.file_name);
        auto m = make_model();
        load_demo(*m, d);
        const Json::Value j = dump(demo(d));

        std::vector<std::string> want;
        for (const QString& k : top) want.push_back(k.toStdString());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(j.getMemberNames(), want);
        EXPECT_TRUE(j["toolbar"].isNull());
        const Json::Value& s = j["settings"];
        for (const QString& k : settings) EXPECT_TRUE(s.isMember(k.toStdString())) << k.toStdString();
        EXPECT_EQ(s["scale"].asDouble(), m->settings.scale);
        EXPECT_EQ(s["origin_x"].asInt(), m->settings.origin_x);
        EXPECT_EQ(int(s["force_colours"].size()), FORCE_COLOURS);

        const Json::Value& objects = j["objects"];
        ASSERT_EQ(int(objects.size()), object_count(*m));
        for (int i = 0; i < int(objects.size()); ++i) {
            const Json::Value& o = objects[i];
            for (const QString& k : object_keys) EXPECT_TRUE(o.isMember(k.toStdString())) << k.toStdString();
            const MovingObject& b = m->objects[i];
            EXPECT_EQ(o["name"].asString(), utf8(m->object_texts[i].name));
            // Every real comes back bit for bit: the output keeps full precision.
            EXPECT_EQ(o["x0"].asDouble(), b.x0);
            EXPECT_EQ(o["vx0"].asDouble(), b.vx0);
            EXPECT_EQ(o["vy0"].asDouble(), b.vy0);
            EXPECT_EQ(o["radius"].asDouble(), b.radius);
            const Json::Value& rgb = o["ball_rgb"];
            EXPECT_EQ(std::vector<int>({rgb[0].asInt(), rgb[1].asInt(), rgb[2].asInt()}),
                      std::vector<int>({b.ball_r, b.ball_g, b.ball_b}));
            EXPECT_EQ(int(o["readout_flags"].size()), READOUT_COUNT);
            EXPECT_EQ(int(o["live_vector_flags"].size()), VECTOR_COUNT);
            EXPECT_EQ(o["live_vector_flags"][VEC_V].asInt(), b.live_vector_flags[VEC_V]);
        }

        const Json::Value& elements = j["elements"];
        EXPECT_EQ(int(elements.size()), ELEMENT_TABLES);
        for (int t = 0; t < ELEMENT_TABLES; ++t) {
            const Json::Value& list = elements[ELEMENT_CODES[t]];
            ASSERT_EQ(int(list.size()), element_count(*m, t)) << ELEMENT_CODES[t];
            for (int slot = 0; slot < int(list.size()); ++slot) {
                double v[11];
                get_element(*m, t, slot, v);
                const Json::Value& values = list[slot]["values"];
                ASSERT_EQ(int(values.size()), element_reals(t));
                for (int i = 0; i < int(values.size()); ++i) EXPECT_EQ(values[i].asDouble(), v[i]);
                EXPECT_EQ(list[slot]["name"].asString(), utf8(element_name(*m, t, slot)));
            }
        }

        const Json::Value& variables = j["variables"];
        ASSERT_EQ(int(variables.size()), m->variable_count);
        for (int i = 0; i < int(variables.size()); ++i) {
            EXPECT_EQ(variables[i]["name"].asString(), utf8(m->variable_texts[i][VT_NAME]));
            EXPECT_EQ(variables[i]["initial"].asString(), utf8(m->variable_texts[i][VT_VALUE]));
        }
        const Json::Value& programs = j["programs"];
        ASSERT_EQ(int(programs.size()), m->program_count);
        EXPECT_EQ(int(programs[0]["lines"].size()), m->programs[0].line_count);
        EXPECT_EQ(int(j["measurements"].size()), measurement_count(*m));
        EXPECT_EQ(int(j["annotations"].size()), annotation_count(*m));
        // Objects without their own picture get the generated ball.
        EXPECT_EQ(int(j["pictures"].size()), object_count(*m));
        EXPECT_TRUE(j["background"].isNull());
    }
}

TEST_F(ToolTest, ChineseTextsComeOutAsUtf8) {
    const Json::Value j = dump(demo(*find_demo("thrown_ball.exp")));
    EXPECT_EQ(j["objects"][0]["name"].asString(), "小球");
    EXPECT_EQ(j["variables"][0]["description"].asString(), "时间变量");
    EXPECT_EQ(j["variables"][1]["description"].asString(), "小球的高度");
    EXPECT_EQ(j["measurements"][0]["texts"][1].asString(), "高度 h=");
    EXPECT_EQ(j["annotations"][0]["text"].asString(), "斜抛运动：初速度 40 m/s，抛射角 60°");
    EXPECT_EQ(j["annotations"][0]["font_name"].asString(), "宋体");
    EXPECT_EQ(j["programs"][0]["lines"][0].asString(), "读值(运动对象,小球,vy,vy)");
}

// JSON has no NaN or infinity: they are printed as strings, and the output
// still parses.
TEST_F(ToolTest, NonFiniteRealsArePrintedAsStrings) {
    auto m = make_model();
    load_demo(*m, *find_demo("thrown_ball.exp"));
    m->objects[0].vx = std::numeric_limits<double>::quiet_NaN();
    m->objects[0].charge = std::numeric_limits<double>::infinity();
    m->settings.pause_time = -std::numeric_limits<double>::infinity();
    const QString path = dir.filePath("nan.exp");
    ASSERT_TRUE(save(path, write_experiment(*m)));
    const Json::Value j = dump(path);
    EXPECT_EQ(j["objects"][0]["vx"].asString(), "NaN");
    EXPECT_EQ(j["objects"][0]["charge"].asString(), "Infinity");
    EXPECT_EQ(j["settings"]["pause_time"].asString(), "-Infinity");
    EXPECT_EQ(j["objects"][0]["vy"].asDouble(), m->objects[0].vy);
}

TEST_F(ToolTest, InvalidFilesExitTwoWithTheMessage) {
    QFile f(demo(*find_demo("thrown_ball.exp")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const std::string whole = f.readAll().toStdString();
    ASSERT_TRUE(save(dir.filePath("empty"), ""));
    ASSERT_TRUE(save(dir.filePath("garbage"), "this is not an experiment at all"));
    ASSERT_TRUE(save(dir.filePath("short.exp"), whole.substr(0, 300)));
    ASSERT_TRUE(save(dir.filePath("cut.exp"), whole.substr(0, whole.size() - 7)));
    // A header nested 20000 tables deep: refused before any parser recurses.
    std::string deep = "[a";
    for (int i = 0; i < 20000; ++i) deep += ".a";
    ASSERT_TRUE(save(dir.filePath("deep.toml"), deep + "]\n"));
    // What is no file, or too large, is refused at once: nothing waits for a
    // FIFO's writer, reads a device for ever or reads a huge text first.
    ASSERT_EQ(mkfifo(dir.filePath("pipe.exp").toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), dir.filePath("zero.toml")));
    QFile huge(dir.filePath("huge.toml"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(100 << 20));
    ASSERT_TRUE(
        save(dir.filePath("far.toml"), "[[objects]]\nkind = 1\n[[pictures]]\nslot = 0\nfile = \"/dev/zero\"\n"));
    for (const char* name : {"missing.exp", "empty", "garbage", "short.exp", "cut.exp", "pipe.exp", "zero.toml",
                             "huge.toml", "far.toml", "deep.toml"}) {
        SCOPED_TRACE(name);
        const Result r = run_tool({"dump", dir.filePath(name)});
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(r.err.trimmed().isEmpty());
        // The reader's own message, as the player would show it.
        auto m = make_model();
        const LoadResult expected = read_any_file(*m, dir.filePath(name).toStdString());
        ASSERT_FALSE(expected.ok);
        EXPECT_EQ(r.err.trimmed().toStdString(), expected.message);
    }
    EXPECT_TRUE(run_tool({"dump", dir.filePath("deep.toml")}).err.contains("第 1 行 表和列表嵌套太深"));
    // Through the player's load too.
    EXPECT_EQ(run_tool({"run", dir.filePath("pipe.exp"), "--frames", "1"}).code, 2);
    EXPECT_EQ(run_tool({"dump"}).code, 2);
    EXPECT_EQ(run_tool({"no-such-command"}).code, 2);
}

// The same keys at every level (values may differ; an integer and a real are
// both numbers).
void expect_same_keys(const Json::Value& a, const Json::Value& b, const std::string& where) {
    ASSERT_EQ(a.isNumeric(), b.isNumeric()) << where;
    if (!a.isNumeric()) {
        ASSERT_EQ(a.type(), b.type()) << where;
    }
    if (a.isObject()) {
        ASSERT_EQ(a.getMemberNames(), b.getMemberNames()) << where;
        for (const std::string& k : a.getMemberNames()) expect_same_keys(a[k], b[k], where + "." + k);
    } else if (a.isArray()) {
        ASSERT_EQ(a.size(), b.size()) << where;
        for (Json::ArrayIndex i = 0; i < a.size(); ++i)
            expect_same_keys(a[i], b[i], where + "[" + std::to_string(i) + "]");
    }
}

// --prepared dumps the model after the player's load: the reading of the
// oscillator's position and its variable hold the start position (120),
// where the file holds 0; the keys are those of the plain dump.
TEST_F(ToolTest, PreparedDumpHoldsTheComputedReadings) {
    auto m = make_model();
    load_demo(*m, *find_demo("spring_oscillator.exp"));
    const int x = find_variable(*m, "x");
    ASSERT_GE(x, 0);
    m->variable_texts[x][VT_VALUE] = m->variable_texts[x][VT_INITIAL] = "0";
    const QString path = dir.filePath("oscillator.exp");
    ASSERT_TRUE(save(path, write_experiment(*m)));
    const Json::Value plain = dump(path);
    const Result r = run_tool({"dump", "--prepared", path});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const Json::Value prepared = test::json_of(r.out);
    expect_same_keys(plain, prepared, "dump");
    EXPECT_EQ(plain["measurements"][0]["value"].asDouble(), 0.0);
    EXPECT_EQ(prepared["measurements"][0]["value"].asDouble(), 120.0);
    const auto variable_x = [](const Json::Value& j) {
        for (const Json::Value& v : j["variables"])
            if (v["name"].asString() == "x") return v["value"].asString();
        return std::string();
    };
    EXPECT_EQ(variable_x(plain), "0");
    EXPECT_EQ(variable_x(prepared), "120");
    EXPECT_EQ(prepared["objects"][0]["x"].asDouble(), 120.0);

    EXPECT_EQ(run_tool({"dump", "--prepared"}).code, 2);
    EXPECT_EQ(run_tool({"dump", "--prepared", dir.filePath("missing.exp")}).code, 2);
}

// A packed player starts with the player's bytes, is executable, and its
// container holds the same experiment as the file it was packed from.
TEST_F(ToolTest, PackedPlayerDumpsLikeItsExperiment) {
    const QString player = dir.filePath("player");
    ASSERT_TRUE(QFile::copy("/bin/true", player));
    QFile pf(player);
    ASSERT_TRUE(pf.open(QIODevice::ReadOnly));
    const QByteArray player_bytes = pf.readAll();

    for (const DemoInfo& d : all_demos()) {
        SCOPED_TRACE(d.file_name);
        const QString out = dir.filePath(QString("packed_") + d.file_name);
        const Result r = run_tool({"pack", demo(d), "--out", out, "--player", player});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_TRUE(QFileInfo(out).isExecutable());
        QFile of(out);
        ASSERT_TRUE(of.open(QIODevice::ReadOnly));
        EXPECT_TRUE(of.readAll().startsWith(player_bytes));
        EXPECT_EQ(QProcess::execute(out, {}), 0);  // still runs as the player it copied

        Json::Value original = dump(demo(d));
        Json::Value packed = dump(out);
        const Json::Value& toolbar = packed["toolbar"];
        for (const char* k :
             {"hide_toolbar", "show_settings_button", "show_run_buttons", "show_time", "show_exit_button"})
            EXPECT_TRUE(toolbar.isMember(k)) << k;
        for (const Json::Value& o : packed["objects"]) {
            if (o["kind"].asInt() != KIND_BLOCK && o["kind"].asInt() != KIND_INCLINE) continue;
            EXPECT_EQ(o["transparent_colour"].asInt(), 0xFFFFFF);
            EXPECT_EQ(o["transparent"].asInt(), 1);
        }
        original = experiment_keys(original);
        packed = experiment_keys(packed);
        for (const std::string& key : original.getMemberNames())
            EXPECT_TRUE(original[key] == packed[key]) << key << " differs";
        EXPECT_EQ(original.getMemberNames(), packed.getMemberNames());

        // Packing a packed player again reads its container and keeps the experiment.
        const QString again = out + ".again";
        ASSERT_EQ(run_tool({"pack", out, "--out", again, "--player", player}).code, 0);
        EXPECT_TRUE(experiment_keys(dump(again)) == packed);
    }
}

TEST_F(ToolTest, PackRefusesAMissingPlayerOrOutput) {
    const QString file = demo(*find_demo("spring_oscillator.exp"));
    const QString out = dir.filePath("out");
    Result r = run_tool({"pack", file, "--out", out, "--player", dir.filePath("no-player")});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains("no-player"));
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_EQ(run_tool({"pack", file}).code, 2);
    EXPECT_EQ(run_tool({"pack", file, "--out"}).code, 2);
    r = run_tool({"pack", dir.filePath("missing.exp"), "--out", out, "--player", "/bin/true"});
    EXPECT_EQ(r.code, 2);
    EXPECT_FALSE(QFileInfo::exists(out));
}

// The player of a build with debug information is packed stripped: the copy
// is smaller than the player, still resolves its libraries, and carries the
// experiment, which was appended after stripping. Packing onto a packed
// player replaces its experiment (strip drops the old container).
TEST_F(ToolTest, PackStripsThePlayerBeforeAppending) {
    const QString player = QStringLiteral(QUORREL_PLAYER);
    const QString first = dir.filePath("spring"), second = dir.filePath("ball");
    Result r = run_tool({"pack", demo(*find_demo("spring_oscillator.exp")), "--out", first, "--player", player});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_LT(QFileInfo(first).size(), QFileInfo(player).size());
    const QString loader = QStringLiteral("/lib64/ld-linux-x86-64.so.2");
    if (QFileInfo::exists(loader)) {
        QProcess list;
        list.setStandardOutputFile(QProcess::nullDevice());
        list.start(loader, {"--list", first});
        EXPECT_TRUE(list.waitForFinished(30000) && list.exitStatus() == QProcess::NormalExit && list.exitCode() == 0);
    }

    const QString ball = demo(*find_demo("thrown_ball.exp"));
    ASSERT_EQ(run_tool({"pack", ball, "--out", second, "--player", first}).code, 0);
    EXPECT_EQ(experiment_keys(dump(second)), experiment_keys(dump(ball)));
    EXPECT_LT(QFileInfo(second).size(), QFileInfo(first).size());  // the spring's container is gone

    r = run_tool({"pack", "--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains("libjpeg62-turbo")) << r.out.toStdString();
}

TEST_F(ToolTest, IconWritesEverySize) {
    test::ensure_gui_app();
    ASSERT_EQ(run_tool({"icon", dir.filePath("hicolor")}).code, 0);
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QImage icon(dir.filePath(QString("hicolor/%1x%1/apps/quorrel.png").arg(size)));
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
    }
    EXPECT_EQ(run_tool({"icon"}).code, 2);
}

// With --pictures every demo gets its scene at the start beside it, at the
// window's design size, for the demo launcher.
TEST_F(ToolTest, DemoPicturesShowEachScene) {
    test::ensure_gui_app();
    const QString pictures = dir.filePath("pictures");
    ASSERT_EQ(run_tool({"demo", pictures, "--pictures"}).code, 0);
    for (const DemoInfo& d : all_demos()) {
        const QString name = QFileInfo(QString::fromUtf8(d.file_name)).completeBaseName();
        const QImage picture(pictures + "/" + name + ".png");
        ASSERT_EQ(picture.size(), QSize(700, 420)) << d.file_name;
        const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
        const QRgb* px = reinterpret_cast<const QRgb*>(rgb.constBits());
        EXPECT_TRUE(std::any_of(px, px + 700 * 420, [&](QRgb c) { return c != px[0]; })) << d.file_name << " is blank";
    }
    EXPECT_EQ(run_tool({"demo", pictures, "--pixels"}).code, 2);
}

// exp -> toml -> exp and exp -> json -> exp give the dump the demo had.
TEST_F(ToolTest, ConvertKeepsEveryDemo) {
    for (const DemoInfo& d : all_demos()) {
        SCOPED_TRACE(d.file_name);
        const QByteArray original = run_tool({"dump", demo(d)}).out;
        for (const char* form : {"toml", "json"}) {
            const QString text = dir.filePath(QString("demo.") + form), back = dir.filePath("back.exp");
            ASSERT_EQ(run_tool({"convert", demo(d), text}).code, 0);
            ASSERT_EQ(run_tool({"convert", text, back}).code, 0);
            EXPECT_TRUE(run_tool({"dump", back}).out == original) << form;
            EXPECT_TRUE(run_tool({"dump", text}).out == original) << form;
        }
    }
    EXPECT_EQ(run_tool({"convert", demo(all_demos()[0]), dir.filePath("x.txt")}).code, 2);
    ASSERT_TRUE(save(dir.filePath("bad.toml"), "[settings]\n\ng = \"fast\"\n"));
    const Result bad = run_tool({"convert", dir.filePath("bad.toml"), dir.filePath("x.exp")});
    EXPECT_EQ(bad.code, 2);
    EXPECT_TRUE(bad.err.contains("第 3 行 settings.g")) << bad.err.toStdString();
}

// What the experiment file cannot hold is refused and nothing is written; a
// text form keeps it.
TEST_F(ToolTest, ConvertRefusesToDropAnInitialValue) {
    const QString toml = dir.filePath("v.toml"), exp = dir.filePath("v.exp"), json = dir.filePath("v.json");
    ASSERT_TRUE(save(toml, "[[variables]]\n[[variables]]\nname = \"a\"\nvalue = \"0\"\ninitial = \"3\"\n"));
    const Result refused = run_tool({"convert", toml, exp});
    EXPECT_EQ(refused.code, 2);
    EXPECT_TRUE(refused.err.contains("「a」的值「0」与初值「3」不同")) << refused.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(exp));
    ASSERT_EQ(run_tool({"convert", toml, json}).code, 0);
    EXPECT_EQ(dump(json)["variables"][1]["initial"].asString(), "3");
}

// The CSV of a run holds the numbers of the JSON lines of the same run, to
// the last digit; a text form runs like an experiment file.
TEST_F(ToolTest, RunCsvHoldsTheNumbersOfTheJsonLines) {
    ASSERT_TRUE(save(dir.filePath("ball.toml"),
                     "[settings]\nuse_gravity = 1\n[[objects]]\nkind = 1\nname = \"球\"\ny0 = 10\n"
                     "rest_mass = 1\nradius = 0.5\n"));
    for (const QString& file :
         {demo(*find_demo("thrown_ball.exp")), demo(*find_demo("two_body_spring.exp")), dir.filePath("ball.toml")}) {
        SCOPED_TRACE(file.toStdString());
        const Result json = run_tool({"run", file, "--frames", "30", "--every", "7"});
        const Result csv = run_tool({"run", file, "--frames", "30", "--every", "7", "--csv"});
        ASSERT_EQ(csv.code, 0) << csv.err.toStdString();
        ASSERT_TRUE(csv.out.startsWith("\xEF\xBB\xBFt,"));
        const QList<QByteArray> rows = csv.out.mid(3).trimmed().split('\n');
        const QList<QByteArray> lines = json.out.trimmed().split('\n');
        ASSERT_EQ(rows.size(), lines.size() + 2);  // the header and the start at t = 0
        const QList<QByteArray> header = rows[0].trimmed().split(',');
        EXPECT_TRUE(rows[1].startsWith("0,")) << rows[1].toStdString();
        for (int i = 0; i < lines.size(); ++i) {
            const Json::Value line = test::json_of(lines[i]);
            const QList<QByteArray> cells = rows[i + 2].trimmed().split(',');
            ASSERT_EQ(cells.size(), header.size());
            EXPECT_EQ(cells[0].toDouble(), line["t"].asDouble());
            int c = 1;
            for (const Json::Value& o : line["objects"])
                for (const char* axis : {"x", "y", "vx", "vy", "ax", "ay"})
                    EXPECT_EQ(cells[c++].toDouble(), o[axis].asDouble());
            for (; c < header.size(); ++c) {
                const Json::Value& value = line["variables"][header[c].toStdString()];
                EXPECT_EQ(cells[c].toDouble(), QByteArray::fromStdString(value.asString()).toDouble());
            }
        }
    }
    // One ball under gravity falls as y = 10 - g t^2 / 2 (a few steps' error),
    // from its start at rest, at the times of whole frames (a text form's
    // frame is ten 1 ms steps).
    const Result fall = run_tool({"run", dir.filePath("ball.toml"), "--frames", "10", "--every", "3", "--csv"});
    const QList<QByteArray> rows = fall.out.trimmed().split('\n');
    QStringList times;
    for (qsizetype i = 1; i < rows.size(); ++i) times << QString::fromUtf8(rows[i].split(',')[0]);
    EXPECT_EQ(times, QStringList({"0", "0.03", "0.06", "0.09", "0.1"}));
    EXPECT_TRUE(rows[1].trimmed().startsWith("0,0,10,0,0,")) << rows[1].toStdString();
    const QList<QByteArray> last = rows.last().split(',');
    const double t = last[0].toDouble();
    EXPECT_NEAR(last[2].toDouble(), 10 - 9.8 * t * t / 2, 0.01);
}

}  // namespace
}  // namespace quorrel
