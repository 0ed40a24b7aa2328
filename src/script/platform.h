// The services the player takes from the desktop: message boxes, the program
// editor, sound, opening files and addresses, the beep and process exit. The
// window implements them with Qt; tests and the command-line tool replace them.
#pragma once

#include <string>

#include "engine/placement.h"

namespace quorrel {

struct Model;

enum class Buttons { Ok, OkCancel };
enum class Answer { Ok, Cancel };
// How the user left the program editor: Stop when its stop button asked to
// stop the experiment (OK and Cancel both let it go on).
enum class EditorExit { Continue, Stop };

class Platform {
public:
    virtual ~Platform() = default;
    // A modal message box. Texts are UTF-8; an empty caption is a plain box.
    virtual Answer message_box(const std::string& text, const std::string& caption, Buttons buttons) = 0;
    // Opens the program editor on `program` at `line` after an event-program
    // error, modally; the user may change the program and the variables.
    virtual EditorExit edit_program(Model& m, int program, int line, int error_code) = 0;
    // Plays a WAVE file asynchronously (path in the local encoding).
    virtual void play_sound(const std::string& path) = 0;
    // Opens a file or an address with the desktop's opener.
    virtual void shell_open(const std::string& target) = 0;
    virtual void beep() = 0;
    // Ends the process with `status`.
    virtual void exit_process(int status) = 0;
    // Asks how a body dropped near a track is placed on it; the question
    // opens at (x, y + 10) in scene pixels.
    virtual Placement ask_placement(int x, int y) = 0;
};

// Does nothing and answers OK: for callers that run programs with no desktop
// (the fuzzers, batch runs).
class SilentPlatform : public Platform {
public:
    Answer message_box(const std::string&, const std::string&, Buttons) override { return Answer::Ok; }
    EditorExit edit_program(Model&, int, int, int) override { return EditorExit::Continue; }
    void play_sound(const std::string&) override {}
    void shell_open(const std::string&) override {}
    void beep() override {}
    void exit_process(int) override {}
    Placement ask_placement(int, int) override { return Placement::Custom; }
};

}  // namespace quorrel
