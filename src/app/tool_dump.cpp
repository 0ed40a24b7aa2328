// quorrel-tool dump FILE: the loaded experiment as one JSON object.
#include <cstdio>

#include "app/json_model.h"
#include "app/json_text.h"
#include "app/tool.h"
#include "model/io.h"

namespace quorrel {

int tool_dump(const Args& args) {
    if (args.size() != 1 || args[0].empty()) {
        std::fputs("usage: quorrel-tool dump FILE\n", stderr);
        return 2;
    }
    const std::string& path = args[0];
    auto m = make_model();
    const LoadResult r = read_any_file(*m, path);
    if (!r.ok) {
        const std::string& text = r.message.empty() ? "cannot read the experiment" : r.message;
        std::fprintf(stderr, "%s\n", text.c_str());
        return 2;
    }
    if (!print_json(model_to_json(*m), true)) {
        std::fputs("quorrel-tool dump: cannot write the output\n", stderr);
        return 1;
    }
    return 0;
}

}  // namespace quorrel
