// A model run by the engine alone, as Run starts it but without the player:
// the engine tests and the demo tests that need no drawing or programs.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "demos/demos.h"
#include "engine/constraints.h"
#include "engine/engine.h"
#include "model/model.h"

namespace quorrel::test {

// What Run does to the model before the first frame: the presence flags, the
// rope and rod lengths and the start state; then the run is on.
inline void start_engine_run(Model& m) {
    set_presence(m);
    set_rope_rod_lengths(m);
    prepare_initial_state(m);
    m.running = true;
}

// A bundled demo as Run leaves it, stepped by the engine one time step per
// call of step().
struct EngineRun {
    std::unique_ptr<Model> m = make_model();
    int frame_steps = 0;  // the demo's own steps per frame
    explicit EngineRun(const char* file) {
        const DemoInfo* d = find_demo(file);
        EXPECT_NE(d, nullptr) << file;
        if (d != nullptr) load_demo(*m, *d);
        start_engine_run(*m);
        frame_steps = m->settings.steps_per_frame;
        m->settings.steps_per_frame = 1;
    }
    void step() { EXPECT_EQ(movin(*m), MOVIN_NORMAL); }
    const MovingObject& o(int i) const { return m->objects[i]; }
    double t() const { return m->sim_time; }
};

}  // namespace quorrel::test
