#include "script/interpreter.h"

#include <algorithm>
#include <exception>

#include "model/gbk.h"
#include "script/bridge.h"
#include "script/evaluator.h"
#include "script/keywords.h"
#include "script/open_file.h"

namespace quorrel {

namespace {

// Compares the line, spaces skipped, with a prefix; no copy is made, so the
// label searches of long programs cost no allocation.
bool stripped_starts_with(const Text& line, std::string_view word) {
    size_t k = 0;
    for (char c : line) {
        if (k == word.size()) return true;
        if (c == ' ') continue;
        if (c != word[k]) return false;
        ++k;
    }
    return k == word.size();
}

int line_count(const Model& m, int program) {
    return std::clamp(m.programs[program].line_count, 0, PROGRAM_LINES);
}

// Outcome of one line.
struct Step {
    int next = 0;        // line to go on with
    int error = 0;       // error code, 0 = none
    int error_line = 0;  // line of the error
    bool quit = false;
};

Step error_at(int code, int line) {
    return Step{line, code, line};
}

// The argument of a built-in: the text after the keyword's "(" up to the first ")".
bool builtin_argument(std::string_view line, std::string_view keyword, std::string_view& arg) {
    std::string_view rest = line.substr(keyword.size());
    if (rest.empty() || rest[0] != '(') return false;
    size_t close = rest.find(')');
    if (close == std::string_view::npos) return false;
    arg = rest.substr(1, close - 1);
    return true;
}

// A judgement or loop head: label before ":", condition between the first "("
// after the label and the last ")".
Step block_head(Script& s, Model& m, int program, int i, std::string_view line, bool loop) {
    int head_error = loop ? ERR_LOOP_HEAD : ERR_JUDGE_HEAD;
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) return error_at(head_error, i);
    size_t open = line.find('(', colon);
    size_t close = line.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return error_at(head_error, i);
    int r = eval_condition(s, m, line.substr(open + 1, close - open - 1));
    if (r < 0) return error_at(loop ? ERR_LOOP_CONDITION : ERR_JUDGE_CONDITION, i);
    if (r == 1) return Step{i + 1};

    // The block is skipped: go on after the first following line that begins
    // with 结束 and the label. Ends are found by text, not by nesting.
    char marker[MAX_LINE_BYTES + 8];
    std::string_view label = line.substr(0, colon);
    std::copy(kw::END.begin(), kw::END.end(), marker);
    std::copy(label.begin(), label.end(), marker + kw::END.size());
    std::string_view end_marker(marker, kw::END.size() + label.size());
    int count = line_count(m, program);
    for (int j = i; j < count; ++j)
        if (stripped_starts_with(m.program_lines[program][j], end_marker)) return Step{j + 1};
    return error_at(loop ? ERR_LOOP_NO_END : ERR_JUDGE_NO_END, count);
}

// 结束循环: back to the nearest line above that begins with the loop's label,
// which evaluates its condition again; to line 0 when there is none.
Step loop_end(const Model& m, int program, int i, std::string_view line) {
    std::string_view label = line.substr(kw::END.size());
    for (int j = i; j >= 0; --j)
        if (stripped_starts_with(m.program_lines[program][j], label)) return Step{j};
    return Step{0};
}

Step execute_line(Script& s, Model& m, int program, int i, std::string_view line) {
    std::string_view arg;
    if (starts_with(line, kw::JUDGE)) return block_head(s, m, program, i, line, false);
    if (starts_with(line, kw::LOOP)) return block_head(s, m, program, i, line, true);
    if (starts_with(line, kw::END_JUDGE)) return Step{i + 1};
    if (starts_with(line, kw::END_LOOP)) return loop_end(m, program, i, line);
    if (starts_with(line, kw::COMMENT_SLASHES) || starts_with(line, kw::COMMENT)) return Step{i + 1};
    if (starts_with(line, kw::PLAY_SOUND)) {
        if (!builtin_argument(line, kw::PLAY_SOUND, arg)) return error_at(ERR_PARENTHESIS, i);
        if (m.experiment_path.empty()) return error_at(ERR_NOT_SAVED, i);
        if (s.platform) s.platform->play_sound(resolve_program_path(m, arg));
        return Step{i + 1};
    }
    if (starts_with(line, kw::OPEN)) {
        if (!builtin_argument(line, kw::OPEN, arg)) return error_at(ERR_PARENTHESIS, i);
        if (names_experiment(arg)) {
            OpenFile_By_Name(s, m, arg);
        } else if (starts_with(arg, "http:") || starts_with(arg, "https:") || starts_with(arg, "mailto:")) {
            if (s.platform) s.platform->shell_open(gbk_to_utf8(arg));
        } else if (m.experiment_path.empty()) {
            // There is no folder to resolve the name against.
            if (s.platform) {
                UserWait wait(s);
                s.platform->message_box("请先保存当前的实验。", "", Buttons::Ok);
            }
        } else if (s.platform) {
            s.platform->shell_open(resolve_program_path(m, arg));
        }
        return Step{i + 1};
    }
    if (starts_with(line, kw::BEEP)) {
        if (s.platform) s.platform->beep();
        return Step{i + 1};
    }
    if (starts_with(line, kw::PAUSE)) {
        s.pause_request = 1;  // takes effect when the caller has finished the program
        return Step{i + 1};
    }
    if (starts_with(line, kw::STOP)) {
        if (s.host) s.host->stop();
        return Step{i + 1};
    }
    if (starts_with(line, kw::RERUN)) {
        if (s.host) s.host->run();
        return Step{i + 1};
    }
    if (starts_with(line, kw::QUIT)) {
        if (s.platform) s.platform->exit_process(1);
        Step st{i + 1};
        st.quit = true;  // reached only when the platform did not end the process
        return st;
    }
    if (starts_with(line, kw::WRITE_PARAM)) {
        if (!builtin_argument(line, kw::WRITE_PARAM, arg)) return error_at(ERR_PARENTHESIS, i);
        write_obj_bl(m, arg);  // a misspelt reference changes nothing and is no error
        return Step{i + 1};
    }
    if (starts_with(line, kw::READ_PARAM)) {
        if (!builtin_argument(line, kw::READ_PARAM, arg)) return error_at(ERR_PARENTHESIS, i);
        read_obj_bl(m, arg);
        return Step{i + 1};
    }
    if (line.empty()) return Step{i + 1};
    if (!assign_bl(s, m, line)) return error_at(ERR_NOT_A_STATEMENT, i);
    return Step{i + 1};
}

int fail(Script& s, int code, int program, int line) {
    s.run_error = code;
    s.run_error_program = program;
    s.run_error_line = line;
    return 0;
}

struct NestingGuard {
    Script& s;
    explicit NestingGuard(Script& script) : s(script) { ++s.nesting; }
    ~NestingGuard() { --s.nesting; }
};

}  // namespace

std::string strip_spaces(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (char c : line)
        if (c != ' ') out += c;
    return out;
}

int run_program(Script& s, Model& m, int program) {
    s.current_program = program;
    if (program < 0 || program >= MAX_PROGRAMS) return 1;
    // Opening an experiment runs the new clock program from inside this one;
    // experiments that open each other from their clock programs would recurse
    // without end.
    if (s.nesting >= MAX_PROGRAM_NESTING) return fail(s, ERR_NESTING, program, 0);
    // A program started from a program (打开) shares the time of the call
    // that started it, so nested programs cannot multiply the wait.
    if (s.nesting == 0) s.deadline = std::chrono::steady_clock::now() + s.time_budget;
    NestingGuard guard(s);

    char buf[MAX_LINE_BYTES + 1];
    long executed = 0;
    int i = 0;
    // The line count is read again for every line: 打开 may have replaced the
    // experiment, and the program goes on with whatever model is loaded.
    while (i < line_count(m, program)) {
        if (++executed > s.line_budget) return fail(s, ERR_LINE_BUDGET, program, i);
        if (executed % TIME_CHECK_LINES == 0 && std::chrono::steady_clock::now() > s.deadline)
            return fail(s, ERR_LINE_BUDGET, program, i);
        const Text& raw = m.program_lines[program][i];
        if (raw.size() > static_cast<size_t>(MAX_LINE_BYTES)) return fail(s, ERR_LINE_TOO_LONG, program, i);
        size_t n = 0;
        for (char c : raw)
            if (c != ' ') buf[n++] = c;
        Step st;
        try {
            st = execute_line(s, m, program, i, std::string_view(buf, n));
        } catch (const std::exception&) {
            return fail(s, ERR_EXCEPTION, program, i);
        }
        s.current_program = program;
        if (st.error) return fail(s, st.error, program, st.error_line);
        if (st.quit) return 1;
        i = st.next;
    }
    return 1;
}

Text find_wav_file(const Model& m, int program, int line) {
    if (program < 0 || program >= MAX_PROGRAMS || line < 0 || line >= PROGRAM_LINES) return {};
    const Text& t = m.program_lines[program][line];
    size_t k = t.find(kw::PLAY_SOUND);
    if (k == Text::npos) return {};
    k += kw::PLAY_SOUND.size();
    if (k >= t.size() || t[k] != '(') return {};
    ++k;
    while (k < t.size() && t[k] == ' ') ++k;
    size_t e = t.find_first_of(") ", k);
    return t.substr(k, e == Text::npos ? Text::npos : e - k);
}

std::string program_error_text(int line_index) {
    return "(程序中第" + std::to_string(line_index + 1) + "行有误)";
}

namespace {

const char* error_meaning(int code) {
    switch (code) {
        case ERR_EXCEPTION:
            return "执行这一行时发生意外错误。";
        case ERR_LINE_TOO_LONG:
            return "这一行太长(最多99个字节)。";
        case ERR_LINE_BUDGET:
            return "一次执行的行数或时间超过上限,可能是死循环。";
        case ERR_NESTING:
            return "打开的实验嵌套太深。";
        case ERR_NOT_A_STATEMENT:
            return "不是语句,也不是有效的赋值。";
        case ERR_PARENTHESIS:
            return "缺少\"(\"或\")\"。";
        case ERR_JUDGE_CONDITION:
            return "判断条件无法计算。";
        case ERR_JUDGE_NO_END:
            return "找不到判断的结束行。";
        case ERR_JUDGE_HEAD:
            return "判断行缺少\":\"、\"(\"或\")\"。";
        case ERR_LOOP_CONDITION:
            return "循环条件无法计算。";
        case ERR_LOOP_NO_END:
            return "找不到循环的结束行。";
        case ERR_LOOP_HEAD:
            return "循环行缺少\":\"、\"(\"或\")\"。";
        case ERR_NOT_SAVED:
            return "请先保存,当前的实验。";
        default:
            return "";
    }
}

}  // namespace

std::string program_error_message(const Script& s, const Model& m) {
    std::string text = s.run_error_program == CLOCK_PROGRAM ? "系统时钟事件" : "动态标签点击事件";
    text += program_error_text(s.run_error_line);
    int p = s.run_error_program, l = s.run_error_line;
    if (p >= 0 && p < MAX_PROGRAMS && l >= 0 && l < line_count(m, p)) text += "\n" + gbk_to_utf8(m.program_lines[p][l]);
    text += "\n";
    text += error_meaning(s.run_error);
    return text;
}

void report_program_error(Script& s, Model& m, bool timer_loop) {
    if (timer_loop && s.run_error == ERR_NOT_SAVED) {
        if (s.platform) s.platform->message_box("请先保存,当前的实验。", "", Buttons::Ok);
        if (s.host) s.host->stop();
        return;
    }
    // No tick may run another program while the error is shown.
    bool was_running = m.running;
    m.running = false;
    EditorExit exit = EditorExit::Continue;
    if (s.platform) {
        UserWait wait(s);
        if (s.use_program_editor)
            exit = s.platform->edit_program(m, s.run_error_program, s.run_error_line, s.run_error);
        else
            s.platform->message_box(program_error_message(s, m), "", Buttons::Ok);
    }
    m.running = was_running;
    if (exit == EditorExit::Stop && s.host) s.host->stop();
}

}  // namespace quorrel
