#include "player/playback.h"

#include <algorithm>
#include <cmath>

#include "model/numtext.h"
#include "player/player.h"

namespace quorrel {
namespace {

// The multiples of real time, slowest first.
constexpr Speed PRESETS[] = {Speed::Quarter, Speed::Half, Speed::RealTime, Speed::Double, Speed::Quadruple};
constexpr double MAX_FRAME_RATE = NORMAL_FRAME_RATE * MAX_FRAMES_PER_TURN;
// Below this a real-time frame rate is taken as one frame a minute.
constexpr double MIN_FRAME_RATE = 1.0 / 60.0;

double frame_seconds(const Model& m) {
    return static_cast<double>(m.settings.steps_per_frame) * m.settings.time_step;
}

double real_time_factor(Speed s) {
    switch (s) {
        case Speed::Quarter:
            return 0.25;
        case Speed::Half:
            return 0.5;
        case Speed::RealTime:
        case Speed::Own:
            return 1.0;
        case Speed::Double:
            return 2.0;
        case Speed::Quadruple:
            return 4.0;
    }
    return 1.0;
}

}  // namespace

const char* speed_name(Speed s) {
    switch (s) {
        case Speed::Quarter:
            return "¼× 实时";
        case Speed::Half:
            return "½× 实时";
        case Speed::RealTime:
            return "实时";
        case Speed::Double:
            return "2× 实时";
        case Speed::Quadruple:
            return "4× 实时";
        case Speed::Own:
            return "实验原速";
    }
    return "实时";
}

double frame_rate(Speed s, const Model& m) {
    if (s == Speed::Own) return NORMAL_FRAME_RATE;
    const double factor = real_time_factor(s);
    const double per_frame = frame_seconds(m);
    if (!(per_frame > 0.0) || !std::isfinite(per_frame)) return NORMAL_FRAME_RATE * factor;
    return std::clamp(factor / per_frame, MIN_FRAME_RATE, MAX_FRAME_RATE);
}

double speed_against_real_time(Speed s, const Model& m) {
    return frame_rate(s, m) * frame_seconds(m);
}

std::string real_time_text(Speed s, const Model& m) {
    const double r = speed_against_real_time(s, m);
    if (!std::isfinite(r) || r <= 0.0) return "";
    return format_g(r, 2) + "× 实时";
}

Speed faster(Speed s, const Model& m) {
    const double now = frame_rate(s, m);
    for (Speed preset : PRESETS)
        if (frame_rate(preset, m) > now * 1.001) return preset;
    return s;
}

Speed slower(Speed s, const Model& m) {
    const double now = frame_rate(s, m);
    for (auto it = std::rbegin(PRESETS); it != std::rend(PRESETS); ++it)
        if (frame_rate(*it, m) < now * 0.999) return *it;
    return s;
}

int frames_due(Playback& pb, const Model& m, double seconds) {
    if (!(seconds > 0.0)) return 0;
    pb.owed += std::min(seconds, MAX_TURN_SECONDS) * frame_rate(pb.speed, m);
    const double whole = std::floor(pb.owed);
    pb.owed -= whole;  // beyond MAX_FRAMES_PER_TURN, what cannot be run now is dropped, not owed
    return static_cast<int>(std::min(whole, static_cast<double>(MAX_FRAMES_PER_TURN)));
}

void set_speed(Playback& pb, Chrome& c, const Model& m, Speed s) {
    pb.speed = s;
    pb.owed = 0.0;
    if (c.time_visible) c.time_text = time_text(m, pb);
}

TickOutcome play(PlayerState& p, double seconds) {
    if (!p.model->running || p.idle_loop != 1) {
        p.playback.owed = 0.0;
        return TickOutcome::Idle;
    }
    const int n = frames_due(p.playback, *p.model, seconds);
    const auto start = std::chrono::steady_clock::now();
    TickOutcome last = TickOutcome::Idle;
    for (int i = 0; i < n; ++i) {
        last = Timing(p);
        if (last != TickOutcome::Advanced || std::chrono::steady_clock::now() - start > MAX_TURN_WORK) {
            p.playback.owed = 0.0;
            break;
        }
    }
    return last;
}

TickOutcome step_frame(PlayerState& p) {
    if (!p.model_loaded || p.idle_loop != 1 || p.model->running) return TickOutcome::Idle;
    if (!p.pause_enabled) press_run(p);  // stopped: the run starts paused
    Model& m = *p.model;
    m.running = true;
    const TickOutcome r = Timing(p);
    // Still advancing: paused again after this one frame.
    if (m.running && p.pause_enabled) {
        m.running = false;
        p.pause_down = true;
    }
    return r;
}

}  // namespace quorrel
