#include "app/json_text.h"

#include <cstdio>

#include "model/gbk.h"

namespace quorrel {

DocNode json_text(std::string_view gbk) {
    return DocNode::of(gbk_to_utf8_lossless(gbk));
}

bool print_text(std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
}

bool print_json_line(const DocNode& line) {
    return print_text(to_json(line, JsonLayout::Line));
}

}  // namespace quorrel
