// Arbitrary bytes as an expression, a condition and an assignment, over a
// variable table with a few names of every kind of value.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/model.h"
#include "script/evaluator.h"
#include "script/platform.h"
#include "script/script.h"

namespace {

using quorrel::SilentPlatform;

struct World {
    std::unique_ptr<quorrel::Model> m = quorrel::make_model();
    SilentPlatform platform;
    std::unique_ptr<quorrel::Script> s = quorrel::make_script(&platform);
    World() {
        const char* vars[][2] = {{"x", "-2"},     {"y", "0.5"}, {"e5", "1e5"},
                                 {"big", "1E30"}, {"w", "abc"}, {"\xcb\xd9", "3"}};
        for (auto& v : vars) {
            int i = m->variable_count++;
            m->variable_texts[i][quorrel::VT_NAME] = v[0];
        }
        reset_values();
    }
    void reset_values() {
        const char* values[] = {"-2", "0.5", "1e5", "1E30", "abc", "3"};
        for (int i = 0; i < 6; ++i) m->variable_texts[i + 1][quorrel::VT_VALUE] = values[i];
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static World w;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    float v;
    quorrel::eval_expr(*w.s, *w.m, text, v);
    quorrel::eval_condition(*w.s, *w.m, text);
    std::string line = "x=";
    line.append(text);
    quorrel::assign_bl(*w.s, *w.m, line);
    w.reset_values();
    return 0;
}
