#include "player/headless_platform.h"

#include <cstdio>

namespace quorrel {

Answer HeadlessPlatform::message_box(const std::string& text, const std::string& caption, Buttons) {
    messages.push_back(text);
    if (!quiet) {
        if (caption.empty())
            std::fprintf(stderr, "%s\n", text.c_str());
        else
            std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
    return Answer::Ok;
}

EditorExit HeadlessPlatform::edit_program(Model&, int program, int line, int error_code) {
    ++editor_opened;
    if (!quiet) std::fprintf(stderr, "event program %d: error %d (程序中第%d行有误)\n", program, error_code, line + 1);
    return editor_exit;
}

void HeadlessPlatform::play_sound(const std::string& path) {
    if (!quiet) std::fprintf(stderr, "sound: %s\n", path.c_str());
}

void HeadlessPlatform::shell_open(const std::string& target) {
    if (!quiet) std::fprintf(stderr, "open: %s\n", target.c_str());
}

void HeadlessPlatform::beep() {}

void HeadlessPlatform::exit_process(int status) {
    exit_status = status;
}

Placement HeadlessPlatform::ask_placement(int, int) {
    ++placement_asked;
    return placement;
}

}  // namespace quorrel
