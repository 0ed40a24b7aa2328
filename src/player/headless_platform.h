// The desktop services without a desktop, for the command-line tool and the
// tests: message boxes go to stderr and are answered OK, the program editor
// reports the failing line and is left without stopping, sounds and opening files are
// only noted, and exit is recorded instead of ending the process.
#pragma once

#include <string>
#include <vector>

#include "script/platform.h"

namespace quorrel {

class HeadlessPlatform : public Platform {
public:
    Answer message_box(const std::string& text, const std::string& caption, Buttons buttons) override;
    EditorExit edit_program(Model& m, int program, int line, int error_code) override;
    void play_sound(const std::string& path) override;
    void shell_open(const std::string& target) override;
    void beep() override;
    void exit_process(int status) override;
    // Answers `placement` and notes that the question was asked.
    Placement ask_placement(int x, int y) override;

    bool quiet = false;  // nothing is printed (tests)
    EditorExit editor_exit = EditorExit::Continue;
    std::vector<std::string> messages;  // every message-box text, in order
    int editor_opened = 0;
    int exit_status = -1;  // -1 while no exit was asked for
    Placement placement = Placement::Custom;
    int placement_asked = 0;
};

}  // namespace quorrel
