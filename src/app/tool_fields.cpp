// quorrel-tool fields [--update DOC]: the tables and fields of the text forms
// as Markdown, made from the code's own field tables; --update writes them
// into DOC between its two marker lines.
#include <cstdio>
#include <string>

#include "app/json_text.h"
#include "app/tool.h"
#include "format/fields_doc.h"
#include "format/io.h"
#include "format/safe_write.h"

namespace quorrel {
namespace {

constexpr const char* USAGE = "usage: quorrel-tool fields [--update DOC]\n";

}  // namespace

int tool_fields(const Args& args) {
    const std::string tables = fields_markdown();
    if (args.empty()) {
        return print_text(tables) ? 0 : 1;
    }
    if (args.size() != 2 || args[0] != "--update") {
        std::fputs(USAGE, stderr);
        return 2;
    }
    std::string doc;
    if (!read_whole_file(args[1], doc)) {
        std::fprintf(stderr, "quorrel-tool fields: cannot read %s\n", args[1].c_str());
        return 1;
    }
    const auto begin = doc.find(FIELDS_BEGIN);
    const auto end = doc.find(FIELDS_END);
    if (begin == std::string::npos || end == std::string::npos || end < begin) {
        std::fprintf(stderr, "quorrel-tool fields: %s has no marker lines\n%s\n%s\n", args[1].c_str(), FIELDS_BEGIN,
                     FIELDS_END);
        return 1;
    }
    const std::size_t from = begin + std::string(FIELDS_BEGIN).size();
    doc.replace(from, end - from, "\n" + tables + "\n");
    const WriteResult w = write_file_safely(args[1], doc);
    if (!w.ok) std::fprintf(stderr, "%s\n", w.message.c_str());
    return w.ok ? 0 : 1;
}

}  // namespace quorrel
