#include "script/interpreter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <stdexcept>
#include <thread>

#include "fakes.h"

namespace quorrel {
namespace {

using testing::FakeHost;
using testing::FakePlatform;
using testing::set_program;
using testing::set_var;
using testing::var;

class Interpreter : public ::testing::Test {
protected:
    void SetUp() override {
        m = make_model();
        host.model = m.get();
        s = make_script(&platform, &host);
        m->experiment_path = "/exp/folder/current.exp";
    }
    int run(const std::vector<std::string>& lines, int program = 0) {
        set_program(*m, program, lines);
        return run_program(*s, *m, program);
    }
    // Expects the program to fail with `code` at `line`.
    void expect_error(const std::vector<std::string>& lines, int code, int line) {
        s->run_error = 0;
        EXPECT_EQ(run(lines), 0) << lines.front();
        EXPECT_EQ(s->run_error, code) << lines.front();
        EXPECT_EQ(s->run_error_line, line) << lines.front();
        EXPECT_EQ(s->run_error_program, 0);
    }

    FakePlatform platform;
    FakeHost host;
    std::unique_ptr<Model> m;
    std::unique_ptr<Script> s;
};

TEST_F(Interpreter, EmptyProgramSucceeds) {
    EXPECT_EQ(run({}), 1);
    EXPECT_EQ(run_program(*s, *m, 109), 1);
    EXPECT_EQ(run_program(*s, *m, 110), 1);  // beyond the table: nothing to run
}

TEST_F(Interpreter, JudgementRunsOrSkipsItsBlock) {
    const std::vector<std::string> prog = {"判断1:如果(x>3)则执行", "y=1", "结束判断1", "z=1"};
    set_var(*m, "y", "0");
    set_var(*m, "z", "0");
    set_var(*m, "x", "5");
    EXPECT_EQ(run(prog), 1);
    EXPECT_EQ(var(*m, "y"), "1");
    EXPECT_EQ(var(*m, "z"), "1");
    set_var(*m, "y", "0");
    set_var(*m, "z", "0");
    set_var(*m, "x", "2");
    EXPECT_EQ(run(prog), 1);
    EXPECT_EQ(var(*m, "y"), "0");
    EXPECT_EQ(var(*m, "z"), "1");
    // Indented end lines are found: spaces do not count.
    EXPECT_EQ(run({"判断2:如果(x>3)则执行", "  y=2", "  结束 判断2", "z=2"}), 1);
    EXPECT_EQ(var(*m, "y"), "0");
    EXPECT_EQ(var(*m, "z"), "2");
}

TEST_F(Interpreter, LoopRepeatsUntilFalse) {
    set_var(*m, "n", "0");
    set_var(*m, "k", "10");
    EXPECT_EQ(run({"循环1:当(n<3)成立", "n=n+1", "k=k-1", "结束循环1", "k=k*2"}), 1);
    EXPECT_EQ(var(*m, "n"), "3");
    EXPECT_EQ(var(*m, "k"), "14");
    // Nested loops with distinct labels.
    set_var(*m, "i", "0");
    set_var(*m, "sum", "0");
    EXPECT_EQ(
        run({"循环1:当(i<3)成立", "j=0", "循环2:当(j<2)成立", "sum=sum+1", "j=j+1", "结束循环2", "i=i+1", "结束循环1"}),
        0);  // j is no variable: the assignment j=0 fails
    EXPECT_EQ(s->run_error, ERR_NOT_A_STATEMENT);
    EXPECT_EQ(s->run_error_line, 1);
    set_var(*m, "j", "0");
    EXPECT_EQ(
        run({"循环1:当(i<3)成立", "j=0", "循环2:当(j<2)成立", "sum=sum+1", "j=j+1", "结束循环2", "i=i+1", "结束循环1"}),
        1);
    EXPECT_EQ(var(*m, "sum"), "6");
}

TEST_F(Interpreter, StatementsAreRecognisedAfterRemovingSpaces) {
    set_var(*m, "x", "0");
    EXPECT_EQ(run({"x = 1 + 2", "", "// x=5", "注释 x=6", "   "}), 1);
    EXPECT_EQ(var(*m, "x"), "3");
    EXPECT_EQ(run({"播放声音(my sound.wav)"}), 1);
    ASSERT_EQ(platform.sounds.size(), 1u);
    EXPECT_EQ(platform.sounds[0], "/exp/folder/mysound.wav");
    // A variable whose name begins with a keyword cannot be assigned.
    set_var(*m, "停止x", "0");
    EXPECT_EQ(run({"停止x=5"}), 1);
    EXPECT_EQ(host.stops, 1);
    EXPECT_EQ(var(*m, "停止x"), "0");
}

TEST_F(Interpreter, BuiltInsReachThePlayerAndTheDesktop) {
    set_var(*m, "after", "0");
    EXPECT_EQ(run({"停止", "after=1", "重新运行", "简单发声", "暂停"}), 1);
    EXPECT_EQ(host.stops, 1);
    EXPECT_EQ(host.runs, 1);
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_EQ(s->pause_request, 1);
    EXPECT_EQ(var(*m, "after"), "1");  // the program goes on after 停止

    EXPECT_EQ(run({"打开(notes.txt)", "打开(http://example.org/a)", "打开(mailto:a@b.c)", "打开(https://example.org)",
                   "打开(sub\\说明.txt)", "打开(/abs/file.pdf)"}),
              1);
    EXPECT_EQ(platform.opened,
              (std::vector<std::string>{"/exp/folder/notes.txt", "http://example.org/a", "mailto:a@b.c",
                                        "https://example.org", "/exp/folder/sub/说明.txt", "/abs/file.pdf"}));

    set_var(*m, "after", "0");
    EXPECT_EQ(run({"退出", "after=1"}), 1);
    EXPECT_EQ(platform.exit_status, 1);
    EXPECT_EQ(var(*m, "after"), "0");
}

TEST_F(Interpreter, OpeningWithoutAPathAsksToSaveFirst) {
    m->experiment_path.clear();
    EXPECT_EQ(run({"打开(notes.txt)", "打开(other.exp)"}), 1);
    EXPECT_TRUE(platform.opened.empty());
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1], "请先保存当前的实验。");
    EXPECT_EQ(host.stops, 0);
    EXPECT_EQ(host.prepares, 0);
}

TEST_F(Interpreter, ErrorCodesAndLines) {
    set_var(*m, "x", "1");
    expect_error({"x=1", "nonsense"}, ERR_NOT_A_STATEMENT, 1);
    expect_error({"判断1:如果(q>1)则执行", "结束判断1"}, ERR_JUDGE_CONDITION, 0);
    expect_error({"x=1", "判断1:如果(x>3)则执行", "x=2"}, ERR_JUDGE_NO_END, 3);  // one past the last line
    expect_error({"判断1如果(x>3)则执行", "结束判断1"}, ERR_JUDGE_HEAD, 0);
    expect_error({"判断1:如果x>3则执行", "结束判断1"}, ERR_JUDGE_HEAD, 0);
    expect_error({"循环1:当(q<3)成立", "结束循环1"}, ERR_LOOP_CONDITION, 0);
    expect_error({"循环1:当(x>3)成立", "x=2"}, ERR_LOOP_NO_END, 2);
    expect_error({"x=1", "循环1:当(x<3成立"}, ERR_LOOP_HEAD, 1);
    expect_error({"播放声音 a.wav"}, ERR_PARENTHESIS, 0);
    expect_error({"x=1", "赋值(运动对象,ball,x,1"}, ERR_PARENTHESIS, 1);
    expect_error({"x=1", "x=" + std::string(98, '1')}, ERR_LINE_TOO_LONG, 1);
    EXPECT_EQ(run({"x = " + std::string(95, '1')}), 0);  // 99 bytes fit, but the number does not
    EXPECT_EQ(s->run_error, ERR_NOT_A_STATEMENT);
    m->experiment_path.clear();
    expect_error({"x=1", "x=2", "播放声音(a.wav)"}, ERR_NOT_SAVED, 2);
    EXPECT_EQ(program_error_text(0), "(程序中第1行有误)");
    EXPECT_EQ(program_error_text(s->run_error_line), "(程序中第3行有误)");
}

TEST_F(Interpreter, RunawayLoopsEndWithAnError) {
    set_var(*m, "x", "0");
    s->line_budget = 1000;
    expect_error({"循环1:当(1<2)成立", "x=1", "结束循环1"}, ERR_LINE_BUDGET, 1000 % 3);
    // A loop end without its head restarts the program at line 0 every time.
    set_var(*m, "x", "0");
    expect_error({"x=x+1", "结束循环9"}, ERR_LINE_BUDGET, 0);
    EXPECT_EQ(var(*m, "x"), "500");
    s->line_budget = DEFAULT_LINE_BUDGET;
    EXPECT_EQ(run({"循环1:当(1>2)成立", "结束循环1"}), 1);
}

// Programs that would run for minutes end within about the time budget with
// the runaway error, wherever the time runs out: a plain loop, nested loops,
// a label's program restarted by a loop end without its head.
TEST_F(Interpreter, SlowProgramsEndWithTheRunawayErrorOnceTheirTimeIsUp) {
    using namespace std::chrono;
    s->line_budget = std::numeric_limits<long>::max();  // only the clock can end them
    s->time_budget = milliseconds(50);
    struct Case {
        int program;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {0, {"循环1:当(1<2)成立", "x=sin(x)*2+pow(x,2)/1000", "结束循环1"}},
        {0, {"循环1:当(1<2)成立", "y=0", "循环2:当(y<100)成立", "y=y+1", "结束循环2", "结束循环1"}},
        {7, {"x=x+1", "结束循环9"}},
    };
    set_var(*m, "x", "0");
    set_var(*m, "y", "0");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines[1]);
        const auto start = steady_clock::now();
        EXPECT_EQ(run(c.lines, c.program), 0);
        const auto took = steady_clock::now() - start;
        EXPECT_EQ(s->run_error, ERR_LINE_BUDGET);
        EXPECT_EQ(s->run_error_program, c.program);
        EXPECT_LT(s->run_error_line, static_cast<int>(c.lines.size()));
        EXPECT_GE(took, s->time_budget);
        EXPECT_LT(took, seconds(20));  // generous: without the budget it never ends
    }
    EXPECT_NE(program_error_message(*s, *m).find("可能是死循环"), std::string::npos);
}

// A message box a program opened waits for the user; the time it is open is
// not the program's.
class SlowUserPlatform : public FakePlatform {
public:
    Answer message_box(const std::string& text, const std::string& caption, Buttons b) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(120));
        return FakePlatform::message_box(text, caption, b);
    }
};

TEST_F(Interpreter, TimeInADialogDoesNotCountAgainstTheBudget) {
    SlowUserPlatform slow;
    s->platform = &slow;
    s->time_budget = std::chrono::milliseconds(50);
    m->experiment_path.clear();  // 打开 of a relative name asks to save first
    set_var(*m, "n", "0");
    EXPECT_EQ(run({"打开(notes.txt)", "循环1:当(n<300)成立", "n=n+1", "结束循环1"}), 1) << s->run_error;
    EXPECT_EQ(slow.messages.size(), 1u);
    EXPECT_EQ(var(*m, "n"), "300");
}

class ThrowingHost : public FakeHost {
public:
    void stop() override { throw std::runtime_error("broken"); }
};

TEST_F(Interpreter, AnExceptionIsErrorOneAtItsLine) {
    ThrowingHost throwing;
    s->host = &throwing;
    set_var(*m, "x", "0");
    expect_error({"x=1", "停止", "x=2"}, ERR_EXCEPTION, 1);
}

// A host whose run action runs the clock program again, as preparation does.
class ReenteringHost : public FakeHost {
public:
    void run() override {
        ++runs;
        results.push_back(run_program(*s, *model, 0));
    }
    Script* s = nullptr;
    std::vector<int> results;
};

TEST_F(Interpreter, ProgramsStartedFromProgramsNestBoundedly) {
    ReenteringHost reentering;
    reentering.model = m.get();
    reentering.s = s.get();
    s->host = &reentering;
    set_var(*m, "x", "0");
    EXPECT_EQ(run({"x=x+1", "重新运行"}), 1);
    EXPECT_EQ(var(*m, "x"), std::to_string(MAX_PROGRAM_NESTING));
    ASSERT_FALSE(reentering.results.empty());
    EXPECT_EQ(reentering.results.front(), 0);  // the innermost call refused to start
    EXPECT_EQ(s->run_error, ERR_NESTING);
    EXPECT_EQ(s->nesting, 0);
}

TEST_F(Interpreter, ErrorsAreReportedAsTheCallersDo) {
    set_var(*m, "x", "0");
    m->running = true;
    EXPECT_EQ(run({"x=1", "oops"}, 5), 0);
    EXPECT_EQ(s->run_error_program, 5);
    report_program_error(*s, *m, false);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_NE(platform.messages[0].find("动态标签点击事件(程序中第2行有误)"), std::string::npos);
    EXPECT_NE(platform.messages[0].find("oops"), std::string::npos);
    EXPECT_TRUE(m->running);  // the run goes on as after OK
    EXPECT_EQ(host.stops, 0);

    // With the editor: its stop button stops the experiment.
    s->use_program_editor = true;
    platform.editor_exit = EditorExit::Stop;
    report_program_error(*s, *m, false);
    ASSERT_EQ(platform.edits.size(), 1u);
    EXPECT_EQ(platform.edits[0].program, 5);
    EXPECT_EQ(platform.edits[0].line, 1);
    EXPECT_EQ(platform.edits[0].code, ERR_NOT_A_STATEMENT);
    EXPECT_EQ(host.stops, 1);

    // The main loop treats a sound without a saved experiment apart.
    m->experiment_path.clear();
    EXPECT_EQ(run({"播放声音(a.wav)"}), 0);
    report_program_error(*s, *m, true);
    EXPECT_EQ(platform.messages.back(), "请先保存,当前的实验。");
    EXPECT_EQ(host.stops, 2);
    EXPECT_EQ(platform.edits.size(), 1u);
}

TEST_F(Interpreter, FindsTheSoundFileOfALine) {
    set_program(*m, 3, {"x=1", "播放声音( ding.wav)", "播放声音(a b.wav)"});
    EXPECT_EQ(find_wav_file(*m, 3, 0), "");
    EXPECT_EQ(find_wav_file(*m, 3, 1), "ding.wav");
    EXPECT_EQ(find_wav_file(*m, 3, 2), "a");
}

}  // namespace
}  // namespace quorrel
