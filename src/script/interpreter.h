// The event-program interpreter: one program of the experiment, run from its
// first line to its end in one call, reporting the first error by a code and
// a line index.
#pragma once

#include <string>
#include <string_view>

#include "model/model.h"
#include "script/script.h"

namespace quorrel {

// Error codes of run_program (Script::run_error).
enum ProgramErrorCode : int {
    ERR_EXCEPTION = 1,        // an unexpected fault while executing a line
    ERR_LINE_TOO_LONG = 2,    // a line longer than 99 bytes
    ERR_LINE_BUDGET = 3,      // too many lines or too much time in one call (a runaway loop)
    ERR_NESTING = 4,          // programs started from programs (打开) nest too deeply
    ERR_NOT_A_STATEMENT = 5,  // no statement and no valid assignment
    ERR_PARENTHESIS = 6,      // a built-in without "(" right after its keyword or without ")"
    ERR_JUDGE_CONDITION = 30,
    ERR_JUDGE_NO_END = 31,
    ERR_JUDGE_HEAD = 32,  // a judgement head without ":", "(" or ")"
    ERR_LOOP_CONDITION = 40,
    ERR_LOOP_NO_END = 41,
    ERR_LOOP_HEAD = 42,   // a loop head without ":", "(" or ")"
    ERR_NOT_SAVED = 100,  // 播放声音 while the experiment has no path
};

// Program 0 is the clock event; programs 1 to 100 the clicks on annotations 0 to 99.
inline constexpr int CLOCK_PROGRAM = 0;

// Runs program `program`. 1 when execution ran past the last line; 0 on error
// with s.run_error, s.run_error_program and s.run_error_line set.
int run_program(Script& s, Model& m, int program);

// The line without its space bytes.
std::string strip_spaces(std::string_view line);

// The sound file named on line `line` of `program` when it holds 播放声音, else "".
Text find_wav_file(const Model& m, int program, int line);

// "(程序中第N行有误)" for the 0-based line index (UTF-8).
std::string program_error_text(int line_index);
// The whole text shown for the last error: the event, the line text and the
// meaning of the code (UTF-8).
std::string program_error_message(const Script& s, const Model& m);
// What every caller does after run_program returned 0. From the main loop
// (`timer_loop`), error 100 shows "请先保存,当前的实验。" and stops. Otherwise
// the main loop is suspended while the error is shown; when the program
// editor is closed with its stop button the experiment stops.
void report_program_error(Script& s, Model& m, bool timer_loop);

}  // namespace quorrel
