// quorrel-tool check FILE: what a teacher would not see in the experiment,
// one hint per line (with its line in a text form). Exit status 0 without
// hints, 1 with hints, 2 when the file cannot be read.
#include <cstdio>

#include "app/json_text.h"
#include "app/tool.h"
#include "format/io.h"
#include "player/checks.h"

namespace quorrel {

int tool_check(const Args& args) {
    if (args.size() != 1 || args[0].empty() || args[0].rfind("--", 0) == 0) {
        std::fputs("usage: quorrel-tool check FILE\n", stderr);
        return 2;
    }
    auto m = make_model();
    LoadScratch scratch;
    const LoadResult r = read_any_file(*m, args[0], scratch);
    if (!r.ok) {
        std::fprintf(stderr, "%s\n", r.message.empty() ? "cannot read the experiment" : r.message.c_str());
        return 2;
    }
    const std::vector<Finding> findings = check_experiment(*m, scratch.record_lines);
    std::string text;
    for (const Finding& f : findings) text += finding_line(f) + "\n";
    if (!print_text(text)) {
        std::fputs("quorrel-tool check: cannot write the output\n", stderr);
        return 2;
    }
    return findings.empty() ? 0 : 1;
}

}  // namespace quorrel
