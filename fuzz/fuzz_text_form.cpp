// Arbitrary text as a text form (JSON when it starts with "{", else TOML).
// Besides not crashing, whatever the reader accepts must come back through
// both text forms as the same experiment file.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/io.h"
#include "model/text_form.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static auto model = quorrel::make_model();
    static auto again = quorrel::make_model();
    static quorrel::LoadScratch scratch;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto first = text.find_first_not_of(" \t\r\n");
    const auto format =
        first != std::string_view::npos && text[first] == '{' ? quorrel::TextFormat::Json : quorrel::TextFormat::Toml;
    // Picture files are looked up in a folder that does not exist.
    if (!quorrel::read_text_form(*model, text, format, "/nonexistent", scratch).ok) return 0;
    const std::string exp = quorrel::write_experiment(*model);
    for (const std::string& back : {quorrel::write_toml(*model), quorrel::write_json(*model)}) {
        const auto f = back[0] == '{' ? quorrel::TextFormat::Json : quorrel::TextFormat::Toml;
        if (!quorrel::read_text_form(*again, back, f, "", scratch).ok || quorrel::write_experiment(*again) != exp)
            std::abort();
    }
    return 0;
}
