// Test doubles of the desktop and the player for the event-program tests.
#pragma once

#include <string>
#include <vector>

#include "model/gbk.h"
#include "model/model.h"
#include "script/platform.h"
#include "script/script.h"

namespace quorrel::testing {

class FakePlatform : public Platform {
public:
    Answer message_box(const std::string& text, const std::string& caption, Buttons) override {
        messages.push_back(text);
        captions.push_back(caption);
        return Answer::Ok;
    }
    EditorExit edit_program(Model&, int program, int line, int code) override {
        edits.push_back({program, line, code});
        return editor_exit;
    }
    void play_sound(const std::string& path) override { sounds.push_back(path); }
    void shell_open(const std::string& target) override { opened.push_back(target); }
    void beep() override { ++beeps; }
    void exit_process(int status) override { exit_status = status; }
    Placement ask_placement(int, int) override { return Placement::Custom; }

    struct Edit {
        int program, line, code;
    };
    std::vector<std::string> messages, captions, sounds, opened;
    std::vector<Edit> edits;
    EditorExit editor_exit = EditorExit::Continue;
    int beeps = 0;
    int exit_status = -1;
};

class FakeHost : public ProgramHost {
public:
    void stop() override {
        ++stops;
        if (model) model->running = false;
    }
    void run() override { ++runs; }
    void prepare_after_open() override { ++prepares; }
    Model* model = nullptr;
    int stops = 0, runs = 0, prepares = 0;
};

// Sets (or adds) a variable; names and values are given in UTF-8.
inline int set_var(Model& m, const std::string& name, const std::string& value) {
    Text n = utf8_to_gbk(name);
    int v = find_variable(m, n);
    if (v < 0) {
        v = m.variable_count++;
        m.variable_texts[v][VT_NAME] = n;
    }
    m.variable_texts[v][VT_VALUE] = utf8_to_gbk(value);
    return v;
}

inline std::string var(const Model& m, const std::string& name) {
    int v = find_variable(m, utf8_to_gbk(name));
    return v < 0 ? "<missing>" : gbk_to_utf8(m.variable_texts[v][VT_VALUE]);
}

// Replaces program `p` with the given UTF-8 lines.
inline void set_program(Model& m, int p, const std::vector<std::string>& lines) {
    m.programs[p].line_count = static_cast<int>(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) m.program_lines[p][i] = utf8_to_gbk(lines[i]);
}

}  // namespace quorrel::testing
