// quorrel-tool: the command-line face of the player's core.
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/tool.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const quorrel::Args&);
    const char* usage;
    // Drawing text needs a QGuiApplication (fonts); the tool never opens a
    // window, so it always uses the offscreen platform.
    bool needs_gui;
};

constexpr Command COMMANDS[] = {
    {"dump", quorrel::tool_dump, "dump FILE", false},
    {"run", quorrel::tool_run, "run FILE [--frames N] [--every K] [--resume]", true},
    {"render", quorrel::tool_render, "render FILE [--frames N] [--size WxH] --out PNG", true},
    {"eval", quorrel::tool_eval, "eval [--condition] TEXT [NAME=VALUE ...]", false},
    {"pack", quorrel::tool_pack, "pack FILE --out OUT [--player PATH]", false},
    {"demo", quorrel::tool_demo, "demo DIR", false},
};

void usage() {
    std::fputs("usage:\n", stderr);
    for (const Command& c : COMMANDS) std::fprintf(stderr, "  quorrel-tool %s\n", c.usage);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        usage();
        return 2;
    }
    for (const Command& c : COMMANDS) {
        if (std::strcmp(argv[1], c.name) != 0) continue;
        std::unique_ptr<QGuiApplication> app;
        if (c.needs_gui) {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            app = std::make_unique<QGuiApplication>(argc, argv);
        }
        return c.run(quorrel::Args(argv + 2, argv + argc));
    }
    usage();
    return 2;
}
