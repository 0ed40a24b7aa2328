// A bundled demo shown in a player's core as after a load, or stored as a file
// (header-only: the tests that use it link the player and the demos).
#pragma once

#include <string>

#include "demos/demos.h"
#include "format/io.h"
#include "player/player.h"

namespace quorrel::test {

// The demo built in code, as the bytes of an experiment file.
inline std::string demo_experiment(const char* file_name) {
    auto m = make_model();
    load_demo(*m, *find_demo(file_name));
    return write_experiment(*m);
}

// The demo built in code into the player's model, its scene prepared.
inline void show_demo(PlayerState& p, const char* file_name) {
    init_kept_settings(*p.model);
    reset_model(*p.model);
    load_demo(*p.model, *find_demo(file_name));
    p.model->experiment_path = std::string("/tmp/") + file_name;
    p.model_loaded = true;
    prepar_obj(p);
}

}  // namespace quorrel::test
