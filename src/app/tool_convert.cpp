// quorrel-tool convert IN OUT: an experiment from one form into another, each
// told by its file name: .exp (the experiment file), .toml, .json; IN may also
// be a packed player.
#include <cstdio>
#include <string>

#include "app/tool.h"
#include "format/fields.h"
#include "format/io.h"
#include "format/safe_write.h"
#include "format/text_form.h"

namespace quorrel {
namespace {

constexpr const char* USAGE =
    "usage: quorrel-tool convert IN OUT\n"
    "\n"
    "Converts the experiment IN into OUT. The forms are told by the file names:\n"
    ".exp an experiment file, .toml or .json a text form; IN may also be a\n"
    "packed player. Nothing is lost: converting back gives the same dump.\n"
    "An experiment file has no tool bar options (a packed player's): they are\n"
    "left out, with a note. What else it cannot hold (a variable whose value is\n"
    "not its initial value, for one: docs/authoring.md lists them) is refused,\n"
    "naming it: nothing is written and the exit status is 2.\n";

bool ends_with_exp(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".exp";
}

}  // namespace

int tool_convert(const Args& args) {
    if (args.size() != 2 || args[0].rfind("--", 0) == 0 || args[1].rfind("--", 0) == 0) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    const std::string& in = args[0];
    const std::string& out = args[1];
    if (text_format_of(out) == TextFormat::None && !ends_with_exp(out)) {
        std::fprintf(stderr, "quorrel-tool convert: %s: the name must end in .exp, .toml or .json\n", out.c_str());
        return 2;
    }
    auto m = make_model();
    const LoadResult r = read_any_file(*m, in);
    if (!r.ok) {
        std::fprintf(stderr, "%s\n", r.message.empty() ? "cannot read the experiment" : r.message.c_str());
        return 2;
    }
    if (ends_with_exp(out)) {
        const std::string loss = experiment_file_loss(*m);
        if (!loss.empty()) {
            std::fprintf(stderr, "quorrel-tool convert: %s: %s\n", out.c_str(), loss.c_str());
            return 2;
        }
        if (m->has_toolbar)
            std::fprintf(stderr, "quorrel-tool convert: %s: 实验文件没有工具栏选项,已略去。\n", out.c_str());
    } else if (const std::string field = first_non_finite_value(*m); !field.empty()) {
        std::fprintf(stderr, "quorrel-tool convert: %s: %s\n", out.c_str(), text_form_refusal(field).c_str());
        return 2;
    }
    const WriteResult w = write_file_safely(out, write_for_path(*m, out));
    if (!w.ok) {
        std::fprintf(stderr, "%s\n", w.message.c_str());
        return 1;
    }
    return 0;
}

}  // namespace quorrel
