// quorrel-tool eval: the event-program evaluator on the command line.
#include <cstdio>
#include <string>

#include "app/tool.h"
#include "model/gbk.h"
#include "model/model.h"
#include "model/numtext.h"
#include "script/evaluator.h"
#include "script/interpreter.h"
#include "script/script.h"

namespace quorrel {

namespace {

// Keeps the evaluator's message box (the offending operand) for stderr.
class EvalPlatform : public Platform {
public:
    Answer message_box(const std::string& text, const std::string&, Buttons) override {
        shown = true;
        message = text;
        return Answer::Ok;
    }
    EditorExit edit_program(Model&, int, int, int) override { return EditorExit::Continue; }
    void play_sound(const std::string&) override {}
    void shell_open(const std::string&) override {}
    void beep() override {}
    void exit_process(int) override {}
    Placement ask_placement(int, int) override { return Placement::Custom; }

    bool shown = false;
    std::string message;
};

int usage() {
    std::fputs("usage: quorrel-tool eval [--condition] TEXT [NAME=VALUE ...]\n", stderr);
    return 2;
}

}  // namespace

int tool_eval(const Args& args) {
    bool condition = false;
    bool have_text = false;
    std::string text;
    auto m = make_model();
    for (const std::string& a : args) {
        if (a == "--condition") {
            condition = true;
            continue;
        }
        if (!have_text) {  // the first other argument, even "-5"
            text = a;
            have_text = true;
            continue;
        }
        size_t eq = a.find('=');
        if (eq == std::string::npos || eq == 0) {
            std::fprintf(stderr, "quorrel-tool eval: expected NAME=VALUE, got \"%s\"\n", a.c_str());
            return 2;
        }
        Text name = utf8_to_gbk(a.substr(0, eq));
        Text value = utf8_to_gbk(a.substr(eq + 1));
        int v = find_variable(*m, name);
        if (v < 0) {
            if (m->variable_count >= MAX_VARIABLES) {
                std::fputs("quorrel-tool eval: too many variables\n", stderr);
                return 2;
            }
            v = m->variable_count++;
            m->variable_texts[v][VT_NAME] = name;
        }
        m->variable_texts[v][VT_VALUE] = value;
        m->variable_texts[v][VT_INITIAL] = value;
    }
    if (!have_text) return usage();

    EvalPlatform platform;
    auto s = make_script(&platform);
    // The evaluator sees program lines with their spaces removed.
    std::string gbk = strip_spaces(utf8_to_gbk(text));
    bool ok;
    std::string out;
    if (condition) {
        int r = eval_condition(*s, *m, gbk);
        ok = r >= 0;
        out = r == 1 ? "1" : "0";
    } else {
        float v = 0;
        ok = eval_expr(*s, *m, gbk, v) == 1;
        out = number_text(static_cast<double>(v));
    }
    if (!ok) {
        std::puts("error");
        if (platform.shown) std::fprintf(stderr, "%s\n", platform.message.c_str());
        return 1;
    }
    std::puts(out.c_str());
    return 0;
}

}  // namespace quorrel
