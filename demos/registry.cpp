#include <cstring>
#include <vector>

#include "demos/demos.h"
#include "model/gbk.h"

namespace quorrel {

std::span<const DemoInfo> all_demos() {
    static const std::vector<DemoInfo> all = [] {
        std::vector<DemoInfo> v;
        for (auto group : {basic_demos(), mechanism_demos()}) v.insert(v.end(), group.begin(), group.end());
        return v;
    }();
    return all;
}

const DemoInfo* find_demo(const char* file_name) {
    for (const DemoInfo& d : all_demos())
        if (std::strcmp(d.file_name, file_name) == 0) return &d;
    return nullptr;
}

void demo_font(FontSpec& f, Colour colour, int points) {
    f = FontSpec{};
    f.charset = 134;  // the Chinese (GB2312) character set
    f.colour = colour;
    f.height = -(points * 4 / 3);  // pixels at 96 dpi, negative: character height without leading
    f.size = points;
}

int demo_variable(Model& m, const char* name, const char* description, const char* value) {
    if (m.variable_count < 0 || m.variable_count >= MAX_VARIABLES) return -1;
    const int slot = m.variable_count++;
    m.variables[slot] = Variable{};
    auto& t = m.variable_texts[slot];
    t[VT_NAME] = utf8_to_gbk(name);
    t[VT_DESCRIPTION] = utf8_to_gbk(description);
    t[VT_VALUE] = utf8_to_gbk(value);
    t[VT_INITIAL] = t[VT_VALUE];
    return slot;
}

bool demo_program_line(Model& m, int program, const char* line) {
    if (program < 0 || program >= MAX_PROGRAMS) return false;
    EventProgram& p = m.programs[program];
    if (p.line_count < 0 || p.line_count >= PROGRAM_LINES) return false;
    m.program_lines[program][p.line_count++] = utf8_to_gbk(line);
    if (m.program_count <= program) m.program_count = program + 1;
    return true;
}

int demo_annotation(Model& m, int x, int y, int width, Colour colour, const char* text) {
    const int slot = annotation_count(m);
    if (slot >= MAX_ANNOTATIONS) return -1;
    Annotation& a = m.annotations[slot];
    a = Annotation{};
    a.x = x;
    a.y = y;
    a.width = width;
    demo_font(a.font, colour, 12);
    a.in_use = 1;
    m.annotation_text[slot] = utf8_to_gbk(text);
    m.annotation_font[slot] = utf8_to_gbk("宋体");
    return slot;
}

}  // namespace quorrel
