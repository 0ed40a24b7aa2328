// `quorrel-tool run` and `render` on the bundled demos: one JSON line per
// tick with the run's state, and a PNG of the requested size.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "demos/demos.h"
#include "model/io.h"
#include "support/qt_app.h"

namespace quorrel {
namespace {

struct Result {
    int code = -1;
    QByteArray out, err;
};

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

    static Result tool(const QStringList& args) {
        QProcess p;
        p.start(QStringLiteral(QUORREL_TOOL), args);
        Result r;
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) return r;
        r.code = p.exitCode();
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }
    static QString demo(const char* name) { return dir->filePath(QString::fromLatin1(name)); }

    static std::vector<QJsonObject> lines(const QByteArray& out) {
        std::vector<QJsonObject> v;
        for (const QByteArray& l : out.split('\n')) {
            if (l.isEmpty()) continue;
            QJsonParseError e{};
            const QJsonDocument d = QJsonDocument::fromJson(l, &e);
            EXPECT_EQ(e.error, QJsonParseError::NoError) << l.toStdString();
            v.push_back(d.object());
        }
        return v;
    }

    static QTemporaryDir* dir;
};
QTemporaryDir* ToolTest::dir = nullptr;

TEST_F(ToolTest, RunPrintsOneLinePerTick) {
    const Result r = tool({"run", demo("thrown_ball.exp"), "--frames", "3"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const auto v = lines(r.out);
    ASSERT_EQ(v.size(), 3u);
    double last_t = 0;
    for (int i = 0; i < 3; ++i) {
        const QJsonObject& l = v[i];
        EXPECT_EQ(l["frame"].toInt(), i + 1);
        EXPECT_GT(l["t"].toDouble(), last_t);
        last_t = l["t"].toDouble();
        EXPECT_EQ(l["status"].toString(), "running");
        EXPECT_EQ(l["message"].toString(), "");
        EXPECT_TRUE(l["error"].isNull());
        const QJsonArray objects = l["objects"].toArray();
        ASSERT_EQ(objects.size(), 1);
        const QJsonObject ball = objects[0].toObject();
        EXPECT_EQ(ball["slot"].toInt(), 0);
        EXPECT_EQ(ball["name"].toString(), QStringLiteral("小球"));
        for (const char* key : {"kind", "x", "y", "vx", "vy", "ax", "ay", "mass", "fx", "fy"})
            EXPECT_TRUE(ball.contains(QLatin1String(key))) << key;
        EXPECT_GT(ball["y"].toDouble(), 0.0);  // thrown upward
        EXPECT_TRUE(l["variables"].toObject().contains("t"));
    }
    // Three frames of 10 steps of 1 ms.
    EXPECT_EQ(last_t, 0.03);
    EXPECT_NEAR(v[2]["variables"].toObject()["t"].toString().toDouble(), last_t, 1e-9);
}

TEST_F(ToolTest, EveryPrintsEveryKthAndTheLastLine) {
    const Result r = tool({"run", demo("thrown_ball.exp"), "--frames", "7", "--every", "3"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const auto v = lines(r.out);
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0]["frame"].toInt(), 3);
    EXPECT_EQ(v[1]["frame"].toInt(), 6);
    EXPECT_EQ(v[2]["frame"].toInt(), 7);
}

TEST_F(ToolTest, ABallLeavingTheRangeEndsTheRunWithTheStopLine) {
    // The demo pauses when the ball lands; resumed, the ball keeps falling and
    // is beyond the range after about 21 s.
    const Result r = tool({"run", demo("thrown_ball.exp"), "--frames", "100000", "--every", "100000", "--resume"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const auto v = lines(r.out);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0]["status"].toString(), "stopped");
    EXPECT_EQ(v[0]["message"].toString(), QStringLiteral("有运动对象已经超越了显示的范围，当前实验已被停止。"));
    EXPECT_LT(v[0]["frame"].toInt(), 100000);
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
    auto v = lines(r.out);
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0]["status"].toString(), "running");
    EXPECT_EQ(v[1]["status"].toString(), "paused");

    r = tool({"run", path, "--frames", "5", "--resume"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    v = lines(r.out);
    ASSERT_EQ(v.size(), 5u);
    const char* expected[] = {"running", "paused", "running", "paused", "running"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(v[i]["status"].toString(), QLatin1String(expected[i])) << i;
    EXPECT_EQ(v[4]["t"].toDouble(), 0.05);
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

}  // namespace
}  // namespace quorrel
