// Opening an experiment file: a small one (the thrown-ball demo) and a large
// one (the 50-object scene with all 110 event programs of 500 lines), read
// from memory and from disk. "kept" reuses the model and the reader's working
// space from open to open, as a player does; "one_off" reads into a kept model
// with a working space of its own each time, as a single open or the fuzzers'
// round trip do.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryFile>
#include <memory>
#include <string>

#include "demos/bench_scenes.h"
#include "demos/demos.h"
#include "format/io.h"

namespace quorrel {
namespace {

std::string small_file() {
    auto m = make_model();
    load_demo(*m, *find_demo("thrown_ball.exp"));
    return write_experiment(*m);
}

std::string large_file() {
    auto m = make_model();
    find_bench_scene("everything")->build(*m);
    m->program_count = MAX_PROGRAMS;
    for (int p = 0; p < MAX_PROGRAMS; ++p) {
        m->programs[p].word[0] = 3;
        m->programs[p].line_count = PROGRAM_LINES;
        for (int l = 0; l < PROGRAM_LINES; ++l) m->program_lines[p][l] = "x=x+" + std::to_string(l);
    }
    return write_experiment(*m);
}

void count_bytes(benchmark::State& state, const std::string& bytes) {
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
    state.counters["file_bytes"] = static_cast<double>(bytes.size());
}

void BM_memory_kept(benchmark::State& state, std::string (*make)()) {
    const std::string bytes = make();
    auto m = make_model();
    LoadScratch scratch;
    for (auto _ : state) {
        if (!read_experiment(*m, bytes, scratch).ok) {
            state.SkipWithError("not read");
            break;
        }
        benchmark::DoNotOptimize(m->objects[0].x0);
    }
    count_bytes(state, bytes);
}

void BM_memory_one_off(benchmark::State& state, std::string (*make)()) {
    const std::string bytes = make();
    auto m = make_model();
    for (auto _ : state) {
        if (!read_experiment(*m, bytes).ok) {
            state.SkipWithError("not read");
            break;
        }
        benchmark::DoNotOptimize(m->objects[0].x0);
    }
    count_bytes(state, bytes);
}

void BM_disk_kept(benchmark::State& state, std::string (*make)()) {
    const std::string bytes = make();
    QTemporaryFile file(QDir::tempPath() + "/open_bench_XXXXXX.exp");
    if (!file.open() || file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
        state.SkipWithError("cannot write the file");
        return;
    }
    file.close();
    const std::string path = file.fileName().toStdString();
    auto m = make_model();
    LoadScratch scratch;
    for (auto _ : state) {
        if (!read_experiment_file(*m, path, scratch).ok) {
            state.SkipWithError("not read");
            break;
        }
        benchmark::DoNotOptimize(m->objects[0].x0);
    }
    count_bytes(state, bytes);
}

BENCHMARK_CAPTURE(BM_memory_kept, small, small_file);
BENCHMARK_CAPTURE(BM_memory_one_off, small, small_file);
BENCHMARK_CAPTURE(BM_disk_kept, small, small_file);
BENCHMARK_CAPTURE(BM_memory_kept, large, large_file);
BENCHMARK_CAPTURE(BM_memory_one_off, large, large_file);
BENCHMARK_CAPTURE(BM_disk_kept, large, large_file);

}  // namespace
}  // namespace quorrel

BENCHMARK_MAIN();
