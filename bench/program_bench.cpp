// run_program on loop-heavy clock programs, reported as lines per second.
#include <benchmark/benchmark.h>

#include "model/gbk.h"
#include "model/model.h"
#include "script/interpreter.h"
#include "script/script.h"

namespace {

using namespace quorrel;

int add_variable(Model& m, const char* name) {
    int v = m.variable_count++;
    m.variable_texts[v][VT_NAME] = name;
    return v;
}

void set_lines(Model& m, std::initializer_list<const char*> lines) {
    int i = 0;
    for (const char* l : lines) m.program_lines[0][i++] = utf8_to_gbk(l);
    m.programs[0].line_count = i;
}

// Counts the lines one run executes (the loop head runs once more than the body).
void run_bench(benchmark::State& state, std::initializer_list<const char*> lines, long lines_per_run) {
    auto m = make_model();
    auto s = make_script();
    int n = add_variable(*m, "n");
    add_variable(*m, "x");
    add_variable(*m, "y");
    set_lines(*m, lines);
    for (auto _ : state) {
        m->variable_texts[n][VT_VALUE] = "0";
        if (run_program(*s, *m, 0) != 1) state.SkipWithError("the program failed");
    }
    state.counters["lines_per_second"] = benchmark::Counter(
        static_cast<double>(lines_per_run) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// 1000 iterations of a loop with arithmetic and a judgement block.
void BM_LoopWithArithmetic(benchmark::State& state) {
    run_bench(state,
              {"循环1:当(n<1000)成立", "  n = n + 1", "  x = sin(n/100)*2 + pow(n,2)/1000", "  判断1:如果(x>10)则执行",
               "    y = y + 1", "  结束判断1", "结束循环1"},
              1000L * 6 + 1);
}
BENCHMARK(BM_LoopWithArithmetic)->Unit(benchmark::kMillisecond);

// A tight counting loop: the cost of statement recognition and block jumps.
void BM_CountingLoop(benchmark::State& state) {
    run_bench(state, {"循环1:当(n<10000)成立", "n=n+1", "结束循环1"}, 10000L * 3 + 1);
}
BENCHMARK(BM_CountingLoop)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
