// The documentation of the text forms' tables and fields, made from the
// field tables themselves (quorrel-tool fields writes it into
// docs/authoring.md).
#pragma once

#include <string>

namespace quorrel {

// One section per table: its TOML key, its capacity and end rule, and a
// Markdown table of its fields with type, unit, reset value and meaning.
std::string fields_markdown();

// The lines that enclose the generated tables in the documentation.
inline constexpr const char* FIELDS_BEGIN =
    "<!-- The tables below are written by `quorrel-tool fields --update docs/authoring.md`. -->";
inline constexpr const char* FIELDS_END = "<!-- End of the written tables. -->";

}  // namespace quorrel
