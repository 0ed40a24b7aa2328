// The player executable's command line, run as a user (or a script) runs it.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "demos/demos.h"
#include "format/io.h"

namespace quorrel {
namespace {

struct PlayerRun {
    int code = -1;
    QString out;
};

PlayerRun run_player(const QStringList& args, const char* program = QUORREL_PLAYER) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(program, args);
    PlayerRun r;
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    return r;
}

TEST(PlayerExe, HelpAndExitAfterTheFirstFrame) {
    const PlayerRun help = run_player({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains("--exit-after-first-frame"));
    EXPECT_EQ(run_player({"--no-such-option"}).code, 2);

    // The demo with a function graph: the first frame is painted, then the player quits by itself.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto m = make_model();
    load_demo(*m, *find_demo("spring_oscillator.exp"));
    QFile f(dir.filePath("demo.exp"));
    const std::string bytes = write_experiment(*m);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes.data(), qint64(bytes.size())), qint64(bytes.size()));
    f.close();
    EXPECT_EQ(run_player({"--exit-after-first-frame", f.fileName()}).code, 0);
}

// The demo launcher answers on the command line without opening a window.
TEST(PlayerExe, DemoLauncherHelpAndList) {
    const PlayerRun help = run_player({"--help"}, QUORREL_DEMO);
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains("--list"));
    const PlayerRun list = run_player({"--list"}, QUORREL_DEMO);
    EXPECT_EQ(list.code, 0);
    EXPECT_EQ(list.out.count('\n'), static_cast<qsizetype>(all_demos().size()));
    EXPECT_EQ(run_player({"--lists"}, QUORREL_DEMO).code, 2);
}

// A text form opens like an experiment file; --watch needs a file to watch.
TEST(PlayerExe, OpensATextFormAndWatchesIt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile f(dir.filePath("ball.toml"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[settings]\nuse_gravity = 1\n[[objects]]\nkind = 1\ny0 = 10\nrest_mass = 1\nradius = 0.5\n");
    f.close();
    EXPECT_EQ(run_player({"--exit-after-first-frame", "--watch", f.fileName()}).code, 0);
    EXPECT_EQ(run_player({"--watch"}).code, 2);
    EXPECT_TRUE(run_player({"--help"}).out.contains("--watch"));
}

}  // namespace
}  // namespace quorrel
