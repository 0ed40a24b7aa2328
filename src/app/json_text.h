// Output of quorrel-tool: writing to stdout, and the JSON lines of
// `quorrel-tool run`, built as a document tree and printed by the model's one
// JSON writer (doc_tree.h). Texts of the model are GBK and become UTF-8
// strings.
#pragma once

#include <string_view>

#include "format/doc_tree.h"

namespace quorrel {

// A stored GBK text as a UTF-8 string (a byte that is not GBK as U+10FF00 + byte).
DocNode json_text(std::string_view gbk);

// Writes `text` to stdout and flushes it; false when stdout failed.
bool print_text(std::string_view text);
// Writes `line` as one line of JSON to stdout; false when stdout failed.
bool print_json_line(const DocNode& line);

}  // namespace quorrel
