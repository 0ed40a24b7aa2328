// The same experiment gives bit-identical numbers in every build: a hash of
// the state after a few hundred frames is compared with a recorded value.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "demos/bench_scenes.h"
#include "engine/engine.h"
#include "support/engine_run.h"

namespace quorrel {
namespace {

// FNV-1a over the bytes of x, y, vx, vy of every object.
std::uint64_t state_hash(const Model& m) {
    std::uint64_t h = 14695981039346656037ull;
    auto mix = [&](double v) {
        unsigned char b[sizeof v];
        std::memcpy(b, &v, sizeof v);
        for (unsigned char c : b) h = (h ^ c) * 1099511628211ull;
    };
    for (int i = 0; i < object_count(m); ++i) {
        const MovingObject& o = m.objects[i];
        mix(o.x);
        mix(o.y);
        mix(o.vx);
        mix(o.vy);
    }
    return h;
}

std::uint64_t run_scene(const char* name, int frames) {
    auto m = make_model();
    find_bench_scene(name)->build(*m);
    test::start_engine_run(*m);
    for (int f = 0; f < frames; ++f) {
        const int r = movin(*m);
        EXPECT_EQ(r, MOVIN_NORMAL) << name << " frame " << f;
        EXPECT_TRUE(m->stop_message.empty()) << m->stop_message;
        if (r != MOVIN_NORMAL) break;
    }
    return state_hash(*m);
}

// These scenes use only the force solvers, so the values hold whatever the
// constraint solvers do. A change here means the numbers of a run changed.
TEST(Determinism, FieldsScene) {
    EXPECT_EQ(run_scene("fields", 300), 10832878902072496443ull);
}

TEST(Determinism, SpringsScene) {
    EXPECT_EQ(run_scene("springs", 300), 8810106532539495861ull);
}

TEST(Determinism, FreeFallScene) {
    EXPECT_EQ(run_scene("free_fall", 200), 15946937464283579874ull);
}

}  // namespace
}  // namespace quorrel
