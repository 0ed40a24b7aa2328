// The integration step on each reference experiment and each bundled demo. Reported per object-step:
// the counter "per_object_step" is the number of objects, flagged as an
// iteration-invariant rate and inverted, so Google Benchmark shows seconds per
// object-step (read "12.3n" as 12.3 ns). items_per_second counts object-steps.
#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <string>

#include "demos/bench_scenes.h"
#include "demos/demos.h"
#include "engine/engine.h"

namespace quorrel {
namespace {

// Long runs of some scenes drift far from their start (orbits decaying, bodies
// leaving the scene), which would change what is measured; the objects are
// put back at their prepared state every so many steps, outside the timing.
constexpr int RESTART_EVERY = 5000;

// The step on a model filled by `fill`: a reference scene or a bundled demo.
void BM_kernel(benchmark::State& state, const std::function<void(Model&)>& fill) {
    auto m = make_model();
    fill(*m);
    set_presence(*m);
    prepare_initial_state(*m);
    m->running = true;
    const auto start = m->objects;
    const int objects = object_count(*m);

    int steps = 0;
    for (auto _ : state) {
        kernel(*m);
        benchmark::DoNotOptimize(m->objects[0].x);
        if (++steps == RESTART_EVERY) {
            state.PauseTiming();
            m->objects = start;
            m->stop_message.clear();
            steps = 0;
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations() * objects);
    state.counters["per_object_step"] =
        benchmark::Counter(objects, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

const bool registered = [] {
    for (const BenchScene& s : bench_scenes())
        benchmark::RegisterBenchmark((std::string("kernel/") + s.name).c_str(), BM_kernel, s.build);
    for (const DemoInfo& d : all_demos())
        benchmark::RegisterBenchmark((std::string("kernel/demo/") + d.file_name).c_str(), BM_kernel,
                                     [&d](Model& m) { load_demo(m, d); });
    return true;
}();

}  // namespace
}  // namespace quorrel

BENCHMARK_MAIN();
