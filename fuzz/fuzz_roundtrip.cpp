// Any input that loads (an experiment file, a text form, a packed player), as
// quorrel-tool convert takes it: written in each form (experiment file, TOML,
// JSON) and read back, and from there into each other form, it must give the
// same dump every time. Aborts on the first difference, naming it.
//
// What is allowed to differ, and why:
// - the tool bar: only a packed player has its options; an experiment file
//   has no place for them (convert leaves them out, with a note);
// - whatever experiment_file_loss names (a variable whose value is not its
//   initial value, a picture without own_picture, a background that its mode
//   does not carry): convert refuses to write such an experiment file, so it
//   is not written here either;
// - a text form of a model whose experiment values hold NaN or an infinity
//   (first_non_finite_value): the text forms refuse those values on reading,
//   so convert refuses to write such a text;
// - a packed player read into the experiment file: the two binary forms set
//   the transparency of blocks, inclines and generated balls each by their
//   own rule when read, so that leg is compared from the experiment file on.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "format/fields.h"
#include "format/io.h"
#include "format/text_form.h"

namespace {

using namespace quorrel;

enum Form { EXP, TOML, JSON, FORMS };
constexpr const char* FILE_NAMES[FORMS] = {"x.exp", "x.toml", "x.json"};

// The models are kept across inputs: allocating one per conversion would take
// most of the fuzzer's time.
struct Work {
    std::unique_ptr<Model> read = make_model();
    std::unique_ptr<Model> first = make_model();
    std::unique_ptr<Model> second = make_model();
    std::unique_ptr<Model> stripped = make_model();
    LoadScratch scratch;
};

bool read_form(Work& w, Model& m, std::string_view bytes, Form f) {
    if (f == EXP) return read_experiment(m, bytes, w.scratch).ok;
    return read_text_form(m, bytes, f == JSON ? TextFormat::Json : TextFormat::Toml, "/nonexistent", w.scratch).ok;
}

// The dump `m` must keep through `f`.
std::string expected_dump(Work& w, const Model& m, Form f) {
    if (f != EXP || !m.has_toolbar) return dump_json(m);
    *w.stripped = m;
    w.stripped->has_toolbar = false;
    w.stripped->toolbar = Toolbar{};
    return dump_json(*w.stripped);
}

[[noreturn]] void lost(const char* what, const std::string& want, const std::string& got) {
    std::size_t i = 0, line = 0;
    while (i < want.size() && i < got.size() && want[i] == got[i])
        if (want[i++] == '\n') line = i;
    const auto at = [line](const std::string& s) { return s.substr(line, s.find('\n', line) - line); };
    std::fprintf(stderr, "roundtrip: %s changed the dump:\n  %s\nbecame\n  %s\n", what, at(want).c_str(),
                 at(got).c_str());
    std::abort();
}

// `from` written in `f` and read into `into`; false when `f` is an experiment
// file that convert would refuse.
bool convert(Work& w, const Model& from, Model& into, Form f, const char* what) {
    if (f == EXP && !experiment_file_loss(from).empty()) return false;
    if (f != EXP && !first_non_finite_value(from).empty()) return false;
    if (!read_form(w, into, write_for_path(from, FILE_NAMES[f]), f)) {
        std::fprintf(stderr, "roundtrip: %s does not read back\n", what);
        std::abort();
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Work w;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto first_char = bytes.find_first_not_of(" \t\r\n");
    bool container = false;
    if (detect_kind(bytes) == FileKind::Experiment) {
        if (!read_experiment(*w.read, bytes, w.scratch).ok) return 0;
    } else if (first_char != std::string_view::npos && bytes[first_char] == '{') {
        if (!read_form(w, *w.read, bytes, JSON)) return 0;
    } else if (!read_form(w, *w.read, bytes, TOML)) {
        if (!read_container(*w.read, bytes, w.scratch).ok) return 0;
        container = true;
    }
    for (int a = 0; a < FORMS; ++a) {
        const Form fa = static_cast<Form>(a);
        if (!convert(w, *w.read, *w.first, fa, FILE_NAMES[a])) continue;
        if (!(container && fa == EXP)) {
            const std::string want = expected_dump(w, *w.read, fa), got = dump_json(*w.first);
            if (got != want) lost(FILE_NAMES[a], want, got);
        }
        for (int b = 0; b < FORMS; ++b) {
            const Form fb = static_cast<Form>(b);
            if (b == a || !convert(w, *w.first, *w.second, fb, FILE_NAMES[b])) continue;
            const std::string want = expected_dump(w, *w.first, fb), got = dump_json(*w.second);
            const std::string what = std::string(FILE_NAMES[a]) + " into " + FILE_NAMES[b];
            if (got != want) lost(what.c_str(), want, got);
        }
    }
    return 0;
}
