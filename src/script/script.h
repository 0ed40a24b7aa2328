// State of the event-program machinery: the expression node table the
// evaluator reuses, the interpreter's error fields and the hooks into the
// player and the desktop. One Script belongs to one player window (or to a
// test, or to the command-line tool); it is large, so keep it on the heap.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>

#include "script/platform.h"

namespace quorrel {

struct LoadScratch;

// Limits of the evaluator. A node's text holds at most 503 bytes; the whole
// expression after variable substitution sits in node 0, so it is bounded too.
inline constexpr int EXPR_NODES = 500;
inline constexpr int EXPR_TEXT_BYTES = 503;

struct ExprNode {
    std::int32_t parent;  // the node this node is an operand of
    std::int32_t group;   // all operands of one node share a group number
    std::int32_t op;      // operator or function code applied to this operand
    std::int32_t length;  // bytes used in text
    char text[EXPR_TEXT_BYTES + 1];
};

struct ExprTable {
    std::array<ExprNode, EXPR_NODES> node;
    int count = 0;
    int group_counter = 0;
};

// The player's actions an event program can trigger. The main window
// implements them; tests record the calls.
class ProgramHost {
public:
    virtual ~ProgramHost() = default;
    // The stop action: the run ends and the snapshot is restored.
    virtual void stop() = 0;
    // The run action (重新运行).
    virtual void run() = 0;
    // After another experiment was opened (or failed to open): run
    // preparation of the loaded model, which also runs the clock program.
    virtual void prepare_after_open() = 0;
};

// Interpreter limits the language itself leaves open.
inline constexpr int MAX_LINE_BYTES = 99;             // the working buffer holds 99 bytes and a zero
inline constexpr long DEFAULT_LINE_BUDGET = 1000000;  // lines executed in one run_program call
// Wall time one run_program call may take, the programs it starts (打开) and
// the preparation they run included. The interpreter runs on the window's
// thread: a program that is only slow, not endless, must not hold the window
// much longer than this either. A normal program takes milliseconds at most.
inline constexpr std::chrono::milliseconds DEFAULT_TIME_BUDGET{500};
// Lines executed between two reads of the clock: read this rarely, the clock
// costs nothing measurable even in a loop of the cheapest lines.
inline constexpr int TIME_CHECK_LINES = 256;
inline constexpr int MAX_PROGRAM_NESTING = 4;  // 打开 runs the new clock program from inside a program

struct Script {
    ExprTable nodes;

    Platform* platform = nullptr;  // message boxes, sound, shell, beep, exit; may be null
    ProgramHost* host = nullptr;   // stop, run, preparation after 打开; may be null
    // The reader's working space for 打开 (the player's own); null: a one-off one.
    LoadScratch* load_scratch = nullptr;

    int current_program = 0;
    int run_error = 0;
    int run_error_program = 0;
    int run_error_line = 0;  // 0-based
    int pause_request = 0;

    long line_budget = DEFAULT_LINE_BUDGET;
    std::chrono::steady_clock::duration time_budget = DEFAULT_TIME_BUDGET;
    // When the outermost run_program call in progress runs out of time.
    std::chrono::steady_clock::time_point deadline{};
    int nesting = 0;  // run_program calls in progress

    // Errors are shown in the program editor (the window) or, without one (the
    // tool, batch runs), as a message box after which the run goes on.
    bool use_program_editor = false;
};

// Held while a dialog waits for the user during a program (a message of
// 打开, the editor showing an error of a program it started): the time the
// dialog is open does not count against the time budget of the call.
class UserWait {
public:
    explicit UserWait(Script& s) : s_(s), start_(std::chrono::steady_clock::now()) {}
    ~UserWait() { s_.deadline += std::chrono::steady_clock::now() - start_; }
    UserWait(const UserWait&) = delete;
    UserWait& operator=(const UserWait&) = delete;

private:
    Script& s_;
    std::chrono::steady_clock::time_point start_;
};

std::unique_ptr<Script> make_script(Platform* platform = nullptr, ProgramHost* host = nullptr);

}  // namespace quorrel
