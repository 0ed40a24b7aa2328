// What `quorrel-tool eval` prints and returns, run as a process.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <filesystem>

namespace {

struct Result {
    int code;
    std::string out, err;
};

// The tool of the same build tree, found from this test's own path.
QString tool_path() {
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return QString::fromStdString((self.parent_path() / "../../src/app/quorrel-tool").lexically_normal().string());
}

Result eval(const QStringList& args) {
    QProcess p;
    p.start(tool_path(), QStringList{"eval"} + args);
    p.waitForFinished(10000);
    return {p.exitCode(), p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

class ToolEval : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo(tool_path()).isExecutable()) GTEST_SKIP() << "quorrel-tool is not built";
    }
};

TEST_F(ToolEval, PrintsTheStoredValueText) {
    Result r = eval({"0.1"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "0.100000001490116\n");
    r = eval({"-5"});  // an expression, not an option
    EXPECT_EQ(r.out, "-5\n");
    r = eval({"3 * x", "x=-2"});
    EXPECT_EQ(r.out, "-6\n");
    r = eval({"速度*2", "速度=4"});  // names and values arrive as UTF-8
    EXPECT_EQ(r.out, "8\n");
}

TEST_F(ToolEval, ConditionsPrintOneOrZero) {
    EXPECT_EQ(eval({"--condition", "a>1或b>2和c>3", "a=2", "b=0", "c=0"}).out, "0\n");
    EXPECT_EQ(eval({"1!=1.005", "--condition"}).out, "1\n");
}

TEST_F(ToolEval, FailuresPrintErrorAndTheMessageBox) {
    Result r = eval({"2*(3)"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "error\n");
    EXPECT_EQ(r.err, "(3)\n");
    r = eval({"sqrt(0)"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "error\n");
    EXPECT_EQ(r.err, "");
    r = eval({"--condition", "a==1", "a=1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "error\n");
}

}  // namespace
