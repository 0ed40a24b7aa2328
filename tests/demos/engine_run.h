// A bundled demo's model as Run leaves it, stepped by the engine directly:
// the demo tests that need no drawing or programs use it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "demos/demos.h"
#include "engine/constraints.h"
#include "engine/engine.h"
#include "model/model.h"

namespace quorrel::test {

// Stepped by the engine one time step per call of step().
struct EngineRun {
    std::unique_ptr<Model> m = make_model();
    int frame_steps = 0;  // the demo's own steps per frame
    explicit EngineRun(const char* file) {
        const DemoInfo* d = find_demo(file);
        EXPECT_NE(d, nullptr) << file;
        if (d != nullptr) load_demo(*m, *d);
        set_presence(*m);
        set_rope_rod_lengths(*m);
        prepare_initial_state(*m);
        frame_steps = m->settings.steps_per_frame;
        m->settings.steps_per_frame = 1;
        m->running = true;
    }
    void step() { EXPECT_EQ(movin(*m), MOVIN_NORMAL); }
    const MovingObject& o(int i) const { return m->objects[i]; }
    double t() const { return m->sim_time; }
};

// The distance between the centres of two objects.
inline double object_distance(const MovingObject& a, const MovingObject& b) {
    return length(a.x - b.x, a.y - b.y);
}

}  // namespace quorrel::test
