// The per-frame step driver: steps_per_frame integration steps with the
// trails, the previous-step bookkeeping, the range stop and the automatic pause.
#include <algorithm>
#include <cmath>

#include "engine/engine.h"

namespace quorrel {
namespace {

// The automatic pause is due when sim_time lies within this fraction of a step
// of the pause time: the sum of many steps never hits it exactly.
constexpr double PAUSE_WINDOW = 0.001;
// An object drawn farther than this many pixels from the picture's origin (in
// x or in y) has left the drawable range and stops the run.
constexpr double DRAWABLE_RANGE_PX = 6400;

}  // namespace

int movin(Model& m, const TrailSink& sink) {
    const double dt = usable_time_step(m);
    if (dt == 0) {
        if (m.stop_message.empty()) m.stop_message = BAD_TIME_STEP_MESSAGE;
        return MOVIN_NORMAL;
    }
    m.step.step_dt = dt;
    const std::int32_t steps = std::clamp(m.settings.steps_per_frame, 0, MAX_STEPS_PER_FRAME);
    const Settings& s = m.settings;
    const bool had_message = !m.stop_message.empty();

    std::int32_t old_x[MAX_OBJECTS], old_y[MAX_OBJECTS];
    double old_px[MAX_OBJECTS], old_py[MAX_OBJECTS];
    for (std::int32_t step = 0; step < steps; ++step) {
        m.sim_time += dt;
        const bool pause = std::fabs(m.sim_time - m.next_pause) < dt * PAUSE_WINDOW && m.next_pause > 0;

        const int n = object_count(m);
        for (int i = 0; i < n; ++i) {
            const MovingObject& o = m.objects[i];
            old_x[i] = o.screen_x;
            old_y[i] = o.screen_y;
            // Only a trail drawn with fractions needs the unrounded start.
            if (o.show_trail != 0 && sink.precise != nullptr) {
                old_px[i] = world_px(s, o.x) + 0.5;
                old_py[i] = world_py(s, o.y) + 0.5;
            }
        }
        kernel(m);

        for (int i = 0; i < n; ++i) {
            const MovingObject& o = m.objects[i];
            // Written so that a non-finite position also counts as out of range.
            const double px = world_px(s, o.x) + 0.5;
            const double py = world_py(s, o.y) + 0.5;
            if (o.show_trail != 0 && sink.precise != nullptr)
                sink.precise(sink.context, old_px[i], old_py[i], px, py, o.trail_colour, s.line_width);
            else if (o.show_trail != 0 && sink.segment != nullptr)
                sink.segment(sink.context, old_x[i], old_y[i], o.screen_x, o.screen_y, o.trail_colour, s.line_width);
            if (!(std::fabs(px) <= DRAWABLE_RANGE_PX && std::fabs(py) <= DRAWABLE_RANGE_PX)) return MOVIN_OUT_OF_RANGE;
        }

        for (int i = 0; i < n; ++i) {
            MovingObject& o = m.objects[i];
            o.step_ax = (o.vx - o.prev_vx) / dt;
            o.step_ay = (o.vy - o.prev_vy) / dt;
            o.prev_vx = o.vx;
            o.prev_vy = o.vy;
            o.prev_x = o.x;
            o.prev_y = o.y;
        }

        if (pause) {
            m.next_pause += m.settings.pause_time;
            return MOVIN_PAUSE;
        }
        // A solver stopped the run: end the frame on the state of this step.
        if (!had_message && !m.stop_message.empty()) return MOVIN_NORMAL;
    }
    return MOVIN_NORMAL;
}

}  // namespace quorrel
