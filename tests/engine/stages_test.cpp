// The named stages of the integration step: each table runs in the order the
// design note lists, and where a stage ends its sequence early the later
// stages really are left out.
#include "engine/stages.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "demos/bench_scenes.h"
#include "engine/engine.h"
#include "support/engine_run.h"
#include "support/objects.h"

namespace quorrel {
namespace {

std::vector<std::string_view> names(std::span<const StageInfo> stages, bool only_skipped = false) {
    std::vector<std::string_view> out;
    for (const StageInfo& s : stages)
        if (!only_skipped || s.skipped_when_stuck) out.push_back(s.name);
    return out;
}

TEST(StageTables, RunInTheDocumentedOrder) {
    const struct {
        const char* table;
        std::span<const StageInfo> stages;
        std::vector<std::string_view> documented;
    } rows[] = {
        {"object step",
         object_step_stages(),
         {"start_state", "first_forces", "predicted_velocity", "velocity_constraints", "stuck_to_host",
          "keep_level_predicted", "predicted_position", "predicted_position_constraints", "corrector_state",
          "second_forces", "averaged_velocity", "collisions", "keep_level", "position", "position_constraints",
          "reported_acceleration", "finite_state", "screen_position"}},
        {"force sequence",
         force_stages(),
         {"applied_force", "gravity", "base_total", "M", "mutual_gravitation", "E", "EA", "mutual_charge", "BA", "E_TH",
          "TH", "Z", "field_total", "CT", "TB", "relativity"}},
        {"block on plank",
         plank_stages(),
         {"within_plank", "pressed_onto_plank", "normal", "riding", "friction_entry", "static_friction",
          "sliding_friction"}},
        {"block on incline",
         incline_stages(),
         {"slope", "within_incline", "normal", "pressed_onto_incline", "support", "resting", "sliding_friction"}},
    };
    for (const auto& row : rows) EXPECT_EQ(names(row.stages), row.documented) << row.table;

    // A block stuck to its host skips exactly the corrector, from the level
    // of the predicted step to the averaged velocity.
    const std::vector<std::string_view> corrector{
        "keep_level_predicted", "predicted_position", "predicted_position_constraints",
        "corrector_state",      "second_forces",      "averaged_velocity"};
    EXPECT_EQ(names(object_step_stages(), true), corrector);
    EXPECT_EQ(names(force_stages(), true), std::vector<std::string_view>{});
}

// Planks and inclines meet only the applied force and gravity: the sequence
// ends before the fields, whatever the object's charge.
TEST(StageTables, HostsLeaveTheForceSequenceBeforeTheFields) {
    const double field[6] = {-50, -50, 50, 50, 0, 5};  // 5 N/C along +x
    for (const std::int32_t kind : {KIND_BODY, KIND_PLANK, KIND_INCLINE}) {
        auto m = make_model();
        m->settings.scale = 0.02;
        add_element(*m, T_EA, field);
        MovingObject& o = test::set_object(*m, 0, kind, 0, 0);
        o.charge = 2;
        o.fx = 1;
        test::start_engine_run(*m);
        m->running = false;
        kernel(*m);
        EXPECT_EQ(m->forces[0].total.x, kind == KIND_BODY ? 11.0 : 1.0) << kind;
        EXPECT_EQ(m->forces[0].electric.x, kind == KIND_BODY ? 10.0 : 0.0) << kind;
    }
}

// A stuck block on an accelerating plank takes the plank's motion in the
// tail, not from a corrector of its own; a free body next to it is stepped
// whole (its second evaluation sees the same force, so vy is exact).
TEST(StageTables, AStuckBlockSkipsTheCorrectorAndFollowsItsPlank) {
    auto m = make_model();
    m->settings.scale = 0.02;
    m->settings.use_gravity = 1;
    m->settings.steps_per_frame = 1;
    MovingObject& plank = test::set_object(*m, 0, KIND_PLANK, 0, 0, 0, 0, 10);
    plank.width = 10;
    plank.height = 0.5;
    plank.surface_mu = 0.5;
    plank.fx = 30;
    MovingObject& block = test::set_object(*m, 1, KIND_BLOCK, 0, 0.5, 0, 0, 1);
    block.width = block.height = 0.5;
    block.host = 0;
    test::set_object(*m, 2, KIND_BODY, 2, 2);
    test::start_engine_run(*m);
    for (int k = 0; k < 3; ++k) ASSERT_EQ(movin(*m), MOVIN_NORMAL);
    EXPECT_EQ(m->objects[1].stuck, 1);
    EXPECT_EQ(m->objects[1].vx, m->objects[0].vx);
    EXPECT_GT(m->objects[1].vx, 0.0);
    EXPECT_EQ(m->objects[1].vy, 0.0);
    EXPECT_NEAR(m->objects[2].vy, -test::EARTH_G * 0.003, 1e-12);
}

}  // namespace
}  // namespace quorrel
