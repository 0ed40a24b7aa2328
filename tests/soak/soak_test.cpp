// Every bundled demo played for thousands of frames through the player's main
// loop, headless, as a user leaves it running: after an automatic pause or a
// stop message the run is continued, after the demo stopped itself (out of
// range, the stop statement, a program error, a stop message that comes again
// at once) it is run again. Every number of the objects, points and variables
// must stay finite all the way, and the process's resident memory must not
// grow once every demo has been played.
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "demos/demos.h"
#include "model/numtext.h"
#include "player/headless_platform.h"
#include "player/player.h"
#include "support/demo_player.h"
#include "support/qt_app.h"

namespace quorrel {
namespace {

// Every demo is played twice before memory is measured: the allocator settles
// only once each demo's large blocks (pictures, scene) have been freed and
// allocated again.
constexpr int WARM_UP_FRAMES = 500;
constexpr int SOAK_FRAMES = 8000;  // per demo, between the two measurements
// Allocator noise (64 KiB seen). One small block leaked per frame (32 bytes
// and more) comes to more over the thousands of frames of the demos.
constexpr long MEMORY_SLACK_BYTES = 512 << 10;

// Resident memory once the allocator has handed back what it keeps free: a
// run's frame record is freed with its player, but the allocator would
// otherwise keep the pages for the next player and look like growth.
long resident_bytes() {
    malloc_trim(0);
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

template <class... Reals>
bool all_finite(Reals... v) {
    return (std::isfinite(v) && ...);
}

// The first number of the model that is not finite, named; empty when none is.
// A variable that started as a number must still hold a finite number's text.
std::string first_non_finite(const Model& m) {
    char where[64];
    if (!std::isfinite(m.sim_time)) return "sim_time";
    for (int i = 0; i < object_count(m); ++i) {
        const MovingObject& o = m.objects[i];
        const ForceBreakdown& f = m.forces[i];
        if (all_finite(o.x, o.y, o.vx, o.vy, o.ax, o.ay, o.force_x, o.force_y, o.mass, o.rel_x, o.rel_y) &&
            all_finite(o.prev_x, o.prev_y, o.prev_vx, o.prev_vy, o.step_ax, o.step_ay, f.total.x, f.total.y))
            continue;
        std::snprintf(where, sizeof where, "a number of object %d", i);
        return where;
    }
    for (int i = 0; i < point_count(m); ++i) {
        if (all_finite(m.points[i].x, m.points[i].y)) continue;
        std::snprintf(where, sizeof where, "point %d", i);
        return where;
    }
    for (int i = 0; i < m.variable_count; ++i) {
        double initial, value;
        if (!parse_number(m.variable_texts[i][VT_INITIAL], initial)) continue;
        if (parse_number(m.variable_texts[i][VT_VALUE], value) && std::isfinite(value)) continue;
        return "variable " + m.variable_texts[i][VT_NAME] + " = " + m.variable_texts[i][VT_VALUE];
    }
    return {};
}

struct Tally {
    long frames = 0, continued = 0, restarted = 0;
};

// Loads `demo` into a fresh player, presses Run and plays `frames` ticks.
void soak(const DemoInfo& demo, int frames, Tally& tally) {
    HeadlessPlatform platform;
    platform.quiet = true;
    auto p = std::make_unique<PlayerState>();
    p->platform = &platform;
    resize_scene(*p, 700, 420, 702, 455);
    test::show_demo(*p, demo.file_name);
    press_run(*p);
    bool stop_message_before = false;
    for (int f = 0; f < frames; ++f) {
        const TickOutcome r = Timing(*p);
        // A stop message right after continuing from one would come every
        // frame: the demo has reached its end, so it is run again instead.
        const bool repeated = r == TickOutcome::StopMessage && stop_message_before;
        stop_message_before = r == TickOutcome::StopMessage;
        if ((r == TickOutcome::Paused || r == TickOutcome::StopMessage) && !repeated) {
            press_pause(*p, *p->model);
            ++tally.continued;
        } else if (r != TickOutcome::Advanced) {
            press_run(*p);
            ++tally.restarted;
        }
        // The stand-in desktop keeps every message; a real one shows and forgets it.
        platform.messages.clear();
        const std::string bad = first_non_finite(*p->model);
        ASSERT_TRUE(bad.empty()) << demo.file_name << ", frame " << f << ": " << bad << " is not finite";
    }
    tally.frames += frames;
}

TEST(Soak, EveryDemoStaysFiniteAndMemoryStaysFlat) {
    test::ensure_gui_app();
    ASSERT_FALSE(all_demos().empty());
    Tally warm, tally;
    for (int pass = 0; pass < 2; ++pass)
        for (const DemoInfo& d : all_demos()) ASSERT_NO_FATAL_FAILURE(soak(d, WARM_UP_FRAMES, warm));
    const long before = resident_bytes();
    ASSERT_GT(before, 0) << "no resident set size in /proc/self/statm";
    for (const DemoInfo& d : all_demos()) ASSERT_NO_FATAL_FAILURE(soak(d, SOAK_FRAMES, tally));
    const long after = resident_bytes();
    std::printf("%ld frames of %zu demos (%ld continued, %ld run again); resident %ld KiB, then %ld KiB\n",
                tally.frames, all_demos().size(), tally.continued, tally.restarted, before >> 10, after >> 10);
    EXPECT_LE(after - before, MEMORY_SLACK_BYTES) << "resident memory grew from " << before << " to " << after;
}

}  // namespace
}  // namespace quorrel
