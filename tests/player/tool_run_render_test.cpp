// `quorrel-tool run` and `render` on the bundled demos: one JSON line per
// tick with the run's state, and a PNG of the requested size.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "demos/demos.h"
#include "format/io.h"
#include "support/qt_app.h"
#include "support/tool_output.h"

namespace quorrel {
namespace {

using Result = test::ToolResult;

class ToolTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        test::ensure_gui_app();
        dir = new QTemporaryDir;
        ASSERT_TRUE(dir->isValid());
        ASSERT_EQ(tool({"demo", dir->path()}).code, 0);
    }
    static void TearDownTestSuite() {
        delete dir;
        dir = nullptr;
    }

    static Result tool(const QStringList& args) { return test::run_program(QStringLiteral(QUORREL_TOOL), args); }
    static QString demo(const char* name) { return dir->filePath(QString::fromLatin1(name)); }

    static QTemporaryDir* dir;
};
QTemporaryDir* ToolTest::dir = nullptr;

TEST_F(ToolTest, RunPrintsOneLinePerTick) {
    const Result r = tool({"run", demo("thrown_ball.exp"), "--frames", "3"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    // Scripts compare the lines as text: keys sorted, no spaces, whole reals
    // as integers, the rest with the shortest text.
    EXPECT_TRUE(
        r.out.startsWith("{\"error\":null,\"frame\":1,\"message\":\"\",\"objects\":[{\"ax\":0,"
                         "\"ay\":-9.799999999998477,\"fx\":0,\"fy\":0,\"kind\":1,\"mass\":1,"))
        << r.out.left(120).toStdString();
    const auto v = test::json_lines(r.out);
    ASSERT_EQ(v.size(), 3u);
    double last_t = 0;
    for (int i = 0; i < 3; ++i) {
        const Json::Value& l = v[i];
        EXPECT_EQ(l["frame"].asInt(), i + 1);
        EXPECT_GT(l["t"].asDouble(), last_t);
        last_t = l["t"].asDouble();
        EXPECT_EQ(l["status"].asString(), "running");
        EXPECT_EQ(l["message"].asString(), "");
        EXPECT_TRUE(l["error"].isNull());
        const Json::Value& objects = l["objects"];
        ASSERT_EQ(objects.size(), 1u);
        const Json::Value& ball = objects[0];
        EXPECT_EQ(ball["slot"].asInt(), 0);
        EXPECT_EQ(ball["name"].asString(), "小球");
        for (const char* key : {"kind", "x", "y", "vx", "vy", "ax", "ay", "mass", "fx", "fy"})
            EXPECT_TRUE(ball.isMember(key)) << key;
        EXPECT_GT(ball["y"].asDouble(), 0.0);  // thrown upward
        EXPECT_TRUE(l["variables"].isMember("t"));
    }
    // Three frames of 10 steps of 1 ms.
    EXPECT_EQ(last_t, 0.03);
    EXPECT_NEAR(std::stod(v[2]["variables"]["t"].asString()), last_t, 1e-9);
}

TEST_F(ToolTest, EveryPrintsEveryKthAndTheLastLine) {
    const Result r = tool({"run", demo("thrown_ball.exp"), "--frames", "7", "--every", "3"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const auto v = test::json_lines(r.out);
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0]["frame"].asInt(), 3);
    EXPECT_EQ(v[1]["frame"].asInt(), 6);
    EXPECT_EQ(v[2]["frame"].asInt(), 7);
}

TEST_F(ToolTest, ABallLeavingTheRangeEndsTheRunWithTheStopLine) {
    // The demo pauses when the ball lands; resumed, the ball keeps falling and
    // is beyond the range after about 21 s.
    const Result r = tool({"run", demo("thrown_ball.exp"), "--frames", "100000", "--every", "100000", "--resume"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const auto v = test::json_lines(r.out);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0]["status"].asString(), "stopped");
    EXPECT_EQ(v[0]["message"].asString(), "有运动对象已经超越了显示的范围，当前实验已被停止。");
    EXPECT_LT(v[0]["frame"].asInt(), 100000);
}

TEST_F(ToolTest, RunRejectsBadOptionsAndFiles) {
    EXPECT_EQ(tool({"run"}).code, 2);
    EXPECT_EQ(tool({"run", demo("thrown_ball.exp"), "--frames", "-1"}).code, 2);
    EXPECT_EQ(tool({"run", demo("thrown_ball.exp"), "--every", "0"}).code, 2);
    const Result r = tool({"run", dir->filePath("missing.exp")});
    EXPECT_EQ(r.code, 2);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_TRUE(r.out.isEmpty());
}

TEST_F(ToolTest, APauseEndsTheOutputUnlessResumed) {
    auto m = make_model();
    load_demo(*m, *find_demo("thrown_ball.exp"));
    m->settings.pause_time = 0.02;  // every second frame
    const QString path = dir->filePath("pausing.exp");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const std::string bytes = write_experiment(*m);
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    Result r = tool({"run", path, "--frames", "5"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    auto v = test::json_lines(r.out);
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0]["status"].asString(), "running");
    EXPECT_EQ(v[1]["status"].asString(), "paused");

    r = tool({"run", path, "--frames", "5", "--resume"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    v = test::json_lines(r.out);
    ASSERT_EQ(v.size(), 5u);
    const char* expected[] = {"running", "paused", "running", "paused", "running"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(v[i]["status"].asString(), expected[i]) << i;
    EXPECT_EQ(v[4]["t"].asDouble(), 0.05);
}

TEST_F(ToolTest, RenderWritesAPictureOfTheRequestedSize) {
    const QString before = dir->filePath("before.png");
    const QString after = dir->filePath("after.png");
    Result r = tool({"render", demo("thrown_ball.exp"), "--size", "320x200", "--out", before});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    r = tool({"render", demo("thrown_ball.exp"), "--frames", "100", "--size", "320x200", "--out", after});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QImage a(before), b(after);
    EXPECT_EQ(a.size(), QSize(320, 200));
    EXPECT_EQ(b.size(), QSize(320, 200));
    EXPECT_NE(a, b);  // the ball flew and left its trail

    r = tool({"render", demo("thrown_ball.exp"), "--out", before});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(before).size(), QSize(700, 420));

    EXPECT_EQ(tool({"render", demo("thrown_ball.exp"), "--size", "0x5", "--out", before}).code, 2);
    EXPECT_EQ(tool({"render", demo("thrown_ball.exp")}).code, 2);
}

TEST_F(ToolTest, RenderTakesTheViewScale) {
    const QString one = dir->filePath("one.png"), two = dir->filePath("two.png"), fit = dir->filePath("fit.png");
    for (const auto& [zoom, out] : {std::pair{"1", one}, std::pair{"2", two}, std::pair{"fit", fit}}) {
        const Result r = tool({"render", demo("thrown_ball.exp"), "--size", "1400x840", "--zoom", zoom, "--out", out});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
    }
    // The gravity sign's shaft, design column 30 from row 40 to 80: twice as
    // far from the corner and twice as wide at 2.
    const QImage a(one), b(two), c(fit);
    const QRgb grey = 0xFFC8C8C8u;
    EXPECT_EQ(a.pixel(30, 60), grey);
    EXPECT_NE(a.pixel(31, 60), grey);
    EXPECT_EQ(b.pixel(60, 120), grey);
    EXPECT_EQ(b.pixel(61, 150), grey);
    EXPECT_NE(b.pixel(30, 60), grey);
    EXPECT_NE(c, a);
    EXPECT_EQ(tool({"render", demo("thrown_ball.exp"), "--zoom", "0", "--out", one}).code, 2);
}

// `check`: 0 and nothing printed for a demo, 1 and one hint per line with
// its line for a text form, 2 for a file that cannot be read.
TEST_F(ToolTest, CheckExitsByWhatItFinds) {
    const Result clean = tool({"check", demo("thrown_ball.exp")});
    EXPECT_EQ(clean.code, 0) << clean.out.toStdString() << clean.err.toStdString();
    EXPECT_TRUE(clean.out.isEmpty());

    const QString text = dir->filePath("hanging.toml");
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[settings]\nuse_gravity = true\n\n[[objects]]\nkind = 1\nradius = 10\nball_rgb = [9, 9, 9]\n");
    f.close();
    const Result hints = tool({"check", text});
    EXPECT_EQ(hints.code, 1);
    EXPECT_EQ(hints.out.toStdString(), "第 4 行 运动对象 0：没有质量(rest_mass 为 0)，开启了重力它也悬在空中不动。\n");

    EXPECT_EQ(tool({"check", dir->filePath("missing.toml")}).code, 2);
    EXPECT_EQ(tool({"check"}).code, 2);
}

}  // namespace
}  // namespace quorrel
