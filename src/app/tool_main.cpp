// quorrel-tool: the command-line face of the player's core.
#include <cstdio>
#include <cstring>

#include "app/tool.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const quorrel::Args&);
    const char* usage;
};

constexpr Command COMMANDS[] = {
    {"dump", quorrel::tool_dump, "dump [--prepared] FILE"},
    {"run", quorrel::tool_run, "run FILE [--frames N] [--every K] [--resume] [--csv]"},
    {"render", quorrel::tool_render, "render FILE [--frames N] [--size WxH] --out PNG"},
    {"eval", quorrel::tool_eval, "eval [--condition] TEXT [NAME=VALUE ...]"},
    {"pack", quorrel::tool_pack, "pack FILE --out OUT [--player PATH]"},
    {"demo", quorrel::tool_demo, "demo DIR [--pictures]"},
    {"icon", quorrel::tool_icon, "icon DIR"},
    {"convert", quorrel::tool_convert, "convert IN OUT"},
    {"fields", quorrel::tool_fields, "fields [--update DOC]"},
    {"check", quorrel::tool_check, "check FILE"},
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
        // A subcommand that draws creates its own offscreen application.
        if (std::strcmp(argv[1], c.name) == 0) return c.run(quorrel::Args(argv + 2, argv + argc));
    }
    usage();
    return 2;
}
