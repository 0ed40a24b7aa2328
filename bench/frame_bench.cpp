// One frame of the player at 1920 x 1080 (what the main loop's tick does while
// running: the steps, the readings, the clock program, the write-back and the
// drawing) on each bundled demo, beside a plain copy of a 1920 x 1080 picture,
// the floor that every frame pays once (scene_bitmap to Image1). `frame/`
// shows the design at 1:1, `frame_fit/` fitted to the picture (about 2.5
// times for a 700 x 420 design), as the classroom window opens it.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <memory>
#include <string>

#include "app/headless_app.h"
#include "demos/demos.h"
#include "format/io.h"
#include "player/headless_platform.h"
#include "player/player.h"
#include "render/canvas.h"

namespace quorrel {
namespace {

constexpr int WIDTH = 1920;
constexpr int HEIGHT = 1080;
// Runs are restarted (outside the timing) after this many frames, so the
// scene measured stays the demo's and not what is left after a long run.
constexpr int RESTART_EVERY = 200;

std::unique_ptr<HeadlessApp> app;

void BM_copy(benchmark::State& state) {
    QImage src(WIDTH, HEIGHT, QImage::Format_RGB32), dst(WIDTH, HEIGHT, QImage::Format_RGB32);
    src.fill(0xFF336699u);
    dst.fill(0xFF000000u);
    Canvas c;
    canvas_attach(c, &dst);
    for (auto _ : state) {
        copy_rect(c, dst.rect(), src, src.rect());
        benchmark::DoNotOptimize(dst.constBits());
    }
    canvas_end(c);
}

void restart(PlayerState& p) {
    press_stop(p);
    press_run(p);
}

void BM_frame(benchmark::State& state, const DemoInfo* demo, bool fit) {
    auto m = make_model();
    load_demo(*m, *demo);
    // The player loads from a file: the demo is written next to the benchmark.
    QTemporaryFile file(QDir::currentPath() + "/frame_bench_XXXXXX.exp");
    const std::string bytes = write_experiment(*m);
    if (!file.open() || file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
        state.SkipWithError("cannot write the demo");
        return;
    }
    file.close();

    HeadlessPlatform platform;
    PlayerState p;
    p.platform = &platform;
    p.fit_view = fit;
    resize_scene(p, WIDTH, HEIGHT, WIDTH + 2, HEIGHT + 35);
    if (!open_experiment(p, file.fileName().toStdString())) {
        state.SkipWithError("cannot load the demo");
        return;
    }
    press_run(p);
    state.counters["zoom"] = p.scene.view.zoom;
    int frames = 0;
    for (auto _ : state) {
        const TickOutcome r = Timing(p);
        benchmark::DoNotOptimize(p.model->sim_time);
        if (++frames == RESTART_EVERY || r != TickOutcome::Advanced) {
            state.PauseTiming();
            restart(p);
            frames = 0;
            state.ResumeTiming();
        }
    }
}

const bool registered = [] {
    benchmark::RegisterBenchmark("copy/1920x1080", BM_copy);
    for (const bool fit : {false, true})
        for (const DemoInfo& d : all_demos())
            benchmark::RegisterBenchmark((std::string(fit ? "frame_fit/" : "frame/") + d.file_name).c_str(), BM_frame,
                                         &d, fit);
    return true;
}();

}  // namespace
}  // namespace quorrel

int main(int argc, char** argv) {
    quorrel::app = quorrel::make_headless_app();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    quorrel::app.reset();
    return 0;
}
