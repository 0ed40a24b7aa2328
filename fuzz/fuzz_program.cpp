// Arbitrary bytes as the lines of the clock program (split at newlines), run
// with a small line budget. No experiment path is set, so no file is read or
// opened; the desktop and the player are silent stand-ins.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/model.h"
#include "script/bridge.h"
#include "script/interpreter.h"
#include "script/platform.h"
#include "script/script.h"

namespace {

using quorrel::SilentPlatform;

class SilentHost : public quorrel::ProgramHost {
public:
    void stop() override {}
    void run() override {}
    void prepare_after_open() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static SilentPlatform platform;
    static SilentHost host;
    static std::unique_ptr<quorrel::Model> m = quorrel::make_model();
    static std::unique_ptr<quorrel::Script> s = quorrel::make_script(&platform, &host);
    quorrel::reset_model(*m);
    // Most mutated loops never end: a small budget keeps the inputs per second
    // high while the budget's own error is still reached.
    s->line_budget = 1000;
    // A few names the programs can use: variables, a body and a point.
    const char* names[] = {"x", "n", "a"};
    for (const char* n : names) m->variable_texts[m->variable_count++][quorrel::VT_NAME] = n;
    m->objects[0].kind = quorrel::KIND_BODY;
    m->objects[0].rest_mass = 1;
    m->object_texts[0].name = "b";
    m->points[0].kind = 1;
    m->point_texts[0][quorrel::PT_NAME] = "p";

    std::string_view text(reinterpret_cast<const char*>(data), size);
    int count = 0;
    while (!text.empty() && count < quorrel::PROGRAM_LINES) {
        size_t nl = text.find('\n');
        m->program_lines[0][count++] = std::string(text.substr(0, nl));
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    }
    m->programs[0].line_count = count;
    if (quorrel::run_program(*s, *m, 0) == 0) (void)quorrel::program_error_message(*s, *m);
    for (int i = 0; i < 4 && i < count; ++i) (void)quorrel::str_bl_to_str(*m, m->program_lines[0][i]);
    return 0;
}
