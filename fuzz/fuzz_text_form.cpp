// Arbitrary text as both text forms, TOML and JSON, whatever it starts with;
// then a text grown from it: its first line repeated (deep nesting when that
// line opens a table or a list: "[a.", "{\"a\":", "x = [") before the rest,
// larger than any seed. Besides not crashing, whatever the reader accepts
// must come back through both text forms as the same experiment file.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "format/io.h"
#include "format/text_form.h"

namespace {

void read_and_check(std::string_view text, quorrel::TextFormat format) {
    static auto model = quorrel::make_model();
    static auto again = quorrel::make_model();
    static quorrel::LoadScratch scratch;
    // Picture files are looked up in a folder that does not exist.
    if (!quorrel::read_text_form(*model, text, format, "/nonexistent", scratch).ok) return;
    const std::string exp = quorrel::write_experiment(*model);
    for (const std::string& back : {quorrel::write_toml(*model), quorrel::write_json(*model)}) {
        const auto f = back[0] == '{' ? quorrel::TextFormat::Json : quorrel::TextFormat::Toml;
        if (!quorrel::read_text_form(*again, back, f, "", scratch).ok || quorrel::write_experiment(*again) != exp)
            std::abort();
    }
}

void read_both(std::string_view text) {
    read_and_check(text, quorrel::TextFormat::Toml);
    read_and_check(text, quorrel::TextFormat::Json);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    read_both(text);
    const std::size_t line_end = std::min(text.find('\n'), text.size());
    const std::string_view head = text.substr(0, line_end), rest = text.substr(line_end);
    if (head.empty() || head.size() > 64) return 0;
    std::string grown;
    grown.reserve(20 * 1024 + rest.size());
    while (grown.size() + head.size() <= 20 * 1024) grown += head;
    grown += rest;
    read_both(grown);
    return 0;
}
