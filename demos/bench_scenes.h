// Reference experiments built in code: one per family of mechanisms and one
// with 50 objects and every mechanism. The engine's tests and benchmarks run
// them; each builder fills a model that was just reset (make_model()).
//
// The fields and springs scenes use only force solvers (no ropes, rods,
// collisions, blocks or tracks), so their numbers do not depend on the
// constraint solvers; the determinism test relies on that.
#pragma once

#include <span>

#include "model/model.h"

namespace quorrel {

struct BenchScene {
    const char* name;
    void (*build)(Model& m);
};

void build_free_fall_scene(Model& m);   // gravity and applied forces only
void build_fields_scene(Model& m);      // M, E, EA, BA, mutual gravitation and charge, relativity
void build_springs_scene(Model& m);     // TH, E_TH springs and Z resistance regions under gravity
void build_ropes_rods_scene(Model& m);  // SH, GAN, E_SH, E_GAN under gravity
void build_collisions_scene(Model& m);  // bodies colliding, use_collisions
void build_blocks_scene(Model& m);      // blocks on a plank and on an incline
void build_tracks_scene(Model& m);      // bodies on straight and circular tracks
void build_everything_scene(Model& m);  // 50 objects, every table and option

// Every scene above, in that order.
std::span<const BenchScene> bench_scenes();
// The scene with this name, or nullptr.
const BenchScene* find_bench_scene(const char* name);

// Pieces for building further experiments in code. Each returns the slot it
// filled, or -1 when the table is full.
int add_body(Model& m, const char* name, double x, double y, double vx, double vy, double mass, double radius);
int add_element(Model& m, int table, const double* reals);  // reals in stored order
// A TB record through two end points, with its line coefficients.
int add_straight_track(Model& m, double x1, double y1, double x2, double y2, double kinetic_mu, double static_mu);

}  // namespace quorrel
