// quorrel-tool dump [--prepared] FILE: the experiment as one JSON object,
// either as read from the file or as the player holds it after opening it.
#include <cstdio>

#include "app/headless_app.h"
#include "app/json_text.h"
#include "app/tool.h"
#include "format/io.h"
#include "format/text_form.h"
#include "player/headless_platform.h"
#include "player/launch.h"
#include "player/player.h"

namespace quorrel {
namespace {

constexpr const char* USAGE = "usage: quorrel-tool dump [--prepared] FILE\n";

int print_model(const Model& m) {
    if (!print_text(dump_json(m))) {
        std::fputs("quorrel-tool dump: cannot write the output\n", stderr);
        return 1;
    }
    return 0;
}

int dump_as_read(const std::string& path) {
    auto m = make_model();
    const LoadResult r = read_any_file(*m, path);
    if (!r.ok) {
        const std::string& text = r.message.empty() ? "cannot read the experiment" : r.message;
        std::fprintf(stderr, "%s\n", text.c_str());
        return 2;
    }
    return print_model(*m);
}

// Through the player's own load path: the reader, the load steps and the run
// preparation (start positions, readings and their variables, the clock
// program), exactly what the window shows after opening the file. A load
// failure is the player's message box, printed on stderr.
int dump_prepared(const std::string& path) {
    const auto app = make_headless_app();
    HeadlessPlatform platform;
    PlayerState p;
    p.platform = &platform;
    resize_scene(p, 700, 420, 702, 455);
    if (!load_any(p, path)) return 2;
    return print_model(*p.model);
}

}  // namespace

int tool_dump(const Args& args) {
    bool prepared = false;
    std::string path;
    for (const std::string& a : args) {
        if (a == "--prepared" && !prepared) {
            prepared = true;
        } else if (path.empty() && !a.empty() && a.rfind("--", 0) != 0) {
            path = a;
        } else {
            std::fputs(USAGE, stderr);
            return 2;
        }
    }
    if (path.empty()) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    return prepared ? dump_prepared(path) : dump_as_read(path);
}

}  // namespace quorrel
