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
std::span<const DemoInfo> motion_demos();     // motion_demos.cpp
std::span<const DemoInfo> field_demos();      // field_demos.cpp
std::span<const DemoInfo> linked_demos();     // linked_demos.cpp

}  // namespace quorrel
