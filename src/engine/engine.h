// The simulation engine's entry points: run preparation, the integration step,
// the per-frame step driver and the readings. Everything works on the Model
// passed in; nothing here draws or runs event programs itself, so the player
// (which owns the pictures and the interpreter) orchestrates `prepar_obj`.
//
// Order of a preparation (`prepar_obj` of the player):
//   1. caption, background fill, background picture, static scene, then copy
//      Image1 into scene_bitmap                            (player / render)
//   2. the start state (`evaluate_start_state` of the player, which every
//      drag step runs too):
//      set_presence(m); prepare_initial_state(m);
//      if m.running: stop here (the main loop takes over);
//      jisuan_du_liang(m), clock-event program, write_bl_back(m);
//      kernel(m) (m.running is false: evaluation mode); reset_for_display(m);
//      jisuan_du_liang(m), clock-event program, write_bl_back(m);
//      update_screen_positions(m)
//   3. dynamic scene                                       (player / render)
//   4. jisuan_du_liang(m); clock-event program; write_bl_back(m)
//   5. selection ring                                      (player / render)
//
// A frame of a run (`Timing` of the player): movin(m, sink), then
// jisuan_du_liang(m), the clock-event program, write_bl_back(m), drawing, and
// finally the check of movin's result and of m.stop_message.
#pragma once

#include <cstdint>

#include "engine/object_params.h"
#include "engine/trail.h"
#include "model/mapping.h"
#include "model/model.h"

namespace quorrel {

// ---- Run preparation ----

// Presence flags: a table takes part in the physics when its first record is
// in use (for TB, when either of its first two reals is non-zero).
void set_presence(Model& m);

// Initial state of every moving object: mass, position, velocity (a block on
// an incline follows the slope), cleared accelerations, previous-step values
// and screen position and radius. Non-finite start values from a damaged file
// start as 0 so that a run never begins from NaN.
void prepare_initial_state(Model& m);

// After the evaluation-mode kernel: puts every object back at its start
// position and velocity (without the incline adjustment) and recomputes the
// screen position from it. Accelerations and the force breakdown stay.
void reset_for_display(Model& m);

// ---- Integration step ----

// Advances every moving object by one time step (m.running set) or, with
// m.running clear, evaluates the forces and accelerations of the current
// state for display (the caller resets the positions afterwards).
void kernel(Model& m);

// ---- Step driver ----

enum : int { MOVIN_NORMAL = 0, MOVIN_OUT_OF_RANGE = 2, MOVIN_PAUSE = 3 };

// Stop messages of the engine's own guards (posted into m.stop_message).
inline constexpr const char* BAD_TIME_STEP_MESSAGE = "实验最小扫描时间必须是正数，实验被停止了。";
inline constexpr const char* NON_FINITE_MESSAGE = "运动对象的运动状态出现了无效的数值，实验被停止了。";

// One displayed frame: steps_per_frame calls of kernel with the trail and
// previous-step bookkeeping. Returns MOVIN_NORMAL, MOVIN_OUT_OF_RANGE or
// MOVIN_PAUSE. A frame also ends early, with MOVIN_NORMAL, as soon as a solver
// posts m.stop_message, so the state of the stopping step stays on screen.
int movin(Model& m, const TrailSink& sink = {});

// Upper bound of steps per frame, so that a damaged setting cannot freeze
// the window inside one frame.
inline constexpr std::int32_t MAX_STEPS_PER_FRAME = 100000;

// The step every step-driven computation uses: time_step, or 0 when it is
// zero, negative or not finite (then the run cannot advance).
double usable_time_step(const Model& m);

// ---- Readings ----

// The quantity codes of a reading are those of the parameter table
// (engine/object_params.h).

// Computes the readings, copies them into linked variables and sim_time into
// variable 0, then keeps a copy of all readings as the previous readings.
void jisuan_du_liang(Model& m);

// Writes variables that an event program changed back into the objects and
// points of the readings they are linked to.
void write_bl_back(Model& m);

}  // namespace quorrel
