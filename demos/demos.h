// The bundled demo experiments. Each is built in code into a reset model, so
// the tests, the benchmarks and `quorrel-tool demo` share one definition.
//
// Adding a demo: write a builder `void build_xxx(Model&)` in the group file it
// belongs to and list it in that group's table with its file name.
#pragma once

#include <span>

#include "model/model.h"

namespace quorrel {

struct DemoInfo {
    const char* file_name;    // written by `quorrel-tool demo DIR` as DIR/file_name
    void (*build)(Model& m);  // fills a model that was just reset
};

// Every bundled demo, in a fixed order.
std::span<const DemoInfo> all_demos();
// The demo with this file name, or nullptr.
const DemoInfo* find_demo(const char* file_name);

// Groups of demos, each defined in its own file.
std::span<const DemoInfo> basic_demos();      // basic_demos.cpp
std::span<const DemoInfo> mechanism_demos();  // mechanism_demos.cpp

// Small builders shared by the demo groups. Texts are given as UTF-8 and
// stored as GBK.
void demo_font(FontSpec& f, Colour colour, int points);
// Appends a variable (value and initial value both `value`); returns its slot, or -1 when the table is full.
int demo_variable(Model& m, const char* name, const char* description, const char* value);
// Appends a line to event program `program` (0 = the clock event); false when full.
bool demo_program_line(Model& m, int program, const char* line);
// Appends an annotation with the default font; returns its slot, or -1 when full.
int demo_annotation(Model& m, int x, int y, int width, Colour colour, const char* text);

}  // namespace quorrel
