// Every bundled demo, played through the player's main loop for a few hundred
// frames, gives bit-identical numbers in every build type: a hash of the
// objects' state and of the variables' texts is compared with a recorded
// value. A changed value means the numbers of a run changed; if that was
// intended, record the new value printed by the failure.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "demos/demos.h"
#include "player/headless_platform.h"
#include "player/player.h"
#include "support/demo_player.h"
#include "support/qt_app.h"

namespace quorrel {
namespace {

struct Hash {
    std::uint64_t h = 14695981039346656037ull;  // FNV-1a
    void bytes(const void* p, std::size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        for (std::size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
    }
    void real(double v) { bytes(&v, sizeof v); }
};

std::uint64_t play(const DemoInfo& demo, int frames) {
    test::ensure_gui_app();

    HeadlessPlatform platform;
    platform.quiet = true;
    PlayerState p;
    p.platform = &platform;
    resize_scene(p, 700, 420, 702, 455);
    test::show_demo(p, demo.file_name);
    press_run(p);
    for (int f = 0; f < frames; ++f) {
        const TickOutcome r = Timing(p);
        if (r == TickOutcome::Paused || r == TickOutcome::StopMessage) press_pause(p, *p.model);  // continue
        if (r == TickOutcome::OutOfRange || r == TickOutcome::Stopped || r == TickOutcome::Halted) break;
    }
    const Model& m = *p.model;
    Hash h;
    h.real(m.sim_time);
    for (int i = 0; i < object_count(m); ++i) {
        const MovingObject& o = m.objects[i];
        for (double v : {o.x, o.y, o.vx, o.vy, o.ax, o.ay}) h.real(v);
    }
    for (int i = 0; i < m.variable_count; ++i) {
        const Text& t = m.variable_texts[i][VT_VALUE];
        h.bytes(t.data(), t.size());
    }
    return h.h;
}

TEST(DemoDeterminism, EveryDemoPlaysTheSameNumbers) {
    const std::map<std::string, std::uint64_t> recorded = {
        {"thrown_ball.exp", 18203219045723482795ull},          {"spring_oscillator.exp", 16255206127045774855ull},
        {"fields_and_charges.exp", 1528065647898936833ull},    {"rod_pendulum.exp", 1461008673301585281ull},
        {"colliding_bodies.exp", 1691580408680455617ull},      {"block_on_incline.exp", 326191936230735756ull},
        {"circular_track.exp", 14834721481667146263ull},       {"free_fall.exp", 11761214330758753414ull},
        {"two_body_spring.exp", 16346443932383832257ull},      {"rope_pendulum.exp", 6058820973711940448ull},
        {"planet_orbit.exp", 17222164288855556904ull},         {"resistance_region.exp", 9954939490029380499ull},
        {"electric_deflection.exp", 8930444990451530339ull},   {"magnetic_circles.exp", 5093490454791373973ull},
        {"block_on_plank.exp", 11441181362461484099ull},       {"bounce_counter.exp", 11338370894669288084ull},
        {"relativistic_circles.exp", 10496796117282668327ull}, {"dumbbell.exp", 8689486171943435154ull},
        {"charges_on_a_rope.exp", 17012758160439762311ull},    {"binary_stars.exp", 7364740454787597380ull},
    };
    for (const DemoInfo& d : all_demos()) {
        const std::uint64_t got = play(d, 300);
        auto it = recorded.find(d.file_name);
        ASSERT_NE(it, recorded.end()) << d.file_name << " has no recorded value: " << got << "ull";
        EXPECT_EQ(got, it->second) << d.file_name << ": " << got << "ull";
        EXPECT_EQ(got, play(d, 300)) << d.file_name << " differs between two runs in one process";
    }
}

}  // namespace
}  // namespace quorrel
