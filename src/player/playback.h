// Playback speed: how many frames the main loop runs per second of the
// clock. A frame is always the same unit (its integration steps, readings,
// clock program and drawing), whatever the speed, so a run's results do not
// depend on it; only the pace on the screen does.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "model/model.h"

namespace quorrel {

struct Chrome;
struct PlayerState;
enum class TickOutcome;

// ¼×, ½×, 1×, 2×, 4× real time (1×: one simulated second per second of the
// clock), and the experiment's own pace: one frame per refresh of the
// display, as the experiment's author timed it with its steps per frame and
// time step.
enum class Speed : std::uint8_t { Quarter, Half, RealTime, Double, Quadruple, Own };
inline constexpr int SPEEDS = 6;

// Frames per second at the experiment's own pace: one per refresh of the display.
inline constexpr double NORMAL_FRAME_RATE = 60.0;
// At most this many frames run in one turn of the main loop; a machine that
// cannot keep up plays slower instead of falling further behind.
inline constexpr int MAX_FRAMES_PER_TURN = 16;
// A turn accounts for at most this much time of the clock (after a modal
// dialog the run does not rush to catch up).
inline constexpr double MAX_TURN_SECONDS = 0.25;
// A turn runs no further frame once it has taken this much time: frames with
// a heavy clock program then play slower instead of holding the window (the
// results stay the same, only the pace changes).
inline constexpr std::chrono::milliseconds MAX_TURN_WORK{100};

struct Playback {
    Speed speed = Speed::RealTime;
    double owed = 0.0;  // frames the clock has asked for and not yet run (a fraction)
};

// The speed's name in the menu: "¼× 实时", "½× 实时", "实时", "2× 实时",
// "4× 实时", "实验原速".
const char* speed_name(Speed s);
// Frames per second the speed asks for: the experiment's own pace is
// NORMAL_FRAME_RATE; a multiple k of real time is k / (steps_per_frame *
// time_step), within one frame a minute and MAX_FRAMES_PER_TURN per refresh
// (an experiment without a valid frame time plays k times its own pace).
double frame_rate(Speed s, const Model& m);
// Simulated seconds per second of the clock at that speed.
double speed_against_real_time(Speed s, const Model& m);
// The readout's speed: "0.83× 实时" (two significant digits).
std::string real_time_text(Speed s, const Model& m);
// The next speed up or down: the multiple of real time (¼× … 4×) with the
// nearest frame rate beyond the current one; the same speed at the end of the list.
Speed faster(Speed s, const Model& m);
Speed slower(Speed s, const Model& m);

// The clock has advanced by `seconds`: the whole frames now due.
int frames_due(Playback& pb, const Model& m, double seconds);

// The speed for the next frames (and the time readout, when it shows).
void set_speed(Playback& pb, Chrome& c, const Model& m, Speed s);
// One turn of the main loop after `seconds` of the clock: the frames due at
// the speed, each a full tick (Timing), stopping early when one ends the
// advance or the turn has taken MAX_TURN_WORK (the frames left are dropped).
// Returns the last tick's outcome (Idle when none ran).
TickOutcome play(PlayerState& p, double seconds);
// One frame forward while paused, then paused again (from a stopped
// experiment: a Run, one frame, paused). Nothing while running or halted.
TickOutcome step_frame(PlayerState& p);

}  // namespace quorrel
