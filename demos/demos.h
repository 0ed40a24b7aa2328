// The bundled demo experiments. Each is a text form (TOML) in demos/, with
// the pictures it names in demos/pictures/, embedded into the programs at
// build time: the tool, the demo launcher, the tests and the benchmarks load
// the same text. Adding a demo: write demos/NAME.toml and list NAME in
// demos/CMakeLists.txt.
#pragma once

#include <span>
#include <string>

#include "format/io.h"
#include "model/model.h"

namespace quorrel {

struct DemoInfo {
    const char* file_name;  // "thrown_ball.exp": written by `quorrel-tool demo DIR` as DIR/file_name
    const char* text_name;  // "thrown_ball.toml": its text, demos/text_name in the sources
};

// Every bundled demo, in the order demos/CMakeLists.txt lists them.
std::span<const DemoInfo> all_demos();
// The demo with this file name, or nullptr.
const DemoInfo* find_demo(const char* file_name);

// The demo's text as embedded (UTF-8 TOML).
std::string demo_text(const DemoInfo& demo);
// Reads the demo into `m`, as the player reads its text, with each object's
// current state set to its start (as an experiment saved before a run holds
// it). Any earlier content of `m` is replaced.
LoadResult load_demo(Model& m, const DemoInfo& demo, LoadScratch& scratch);
LoadResult load_demo(Model& m, const DemoInfo& demo);
// Each object's current state set to its start: an experiment file holds both,
// one saved before a run holds them equal, and the texts give the start only.
void current_state_at_start(Model& m);

}  // namespace quorrel
