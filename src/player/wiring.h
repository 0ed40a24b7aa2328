// The call sites through which the player reaches the engine, the drawing and
// the event programs. Each function here is one step the main window's
// operations take, in the words of the main loop; the bodies forward to the
// library that does the work. Keeping the calls in one file lets the core's
// control flow (player.cpp) be read and tested on its own.
#pragma once

#include "player/player.h"

namespace quorrel::wiring {

// ---- Run preparation ----
// Presence flags of the thirteen element tables.
void set_presence_flags(Model& m);
// Every object's initial state for a run (incline rule included) and its screen position.
void init_objects(Model& m);
// Initial forces and accelerations for display (kernel in evaluation mode).
void evaluate_forces(Model& m);
// Positions and velocities back to their start values after the evaluation.
void reset_objects_for_display(Model& m);
// screen_x, screen_y of every object from its current position.
void update_screen_positions(Model& m);
// Run: engine's per-object run values cleared; riding blocks stuck to their plank.
void clear_run_values(Model& m);
// Run: rope and rod lengths from the start positions.
void set_link_lengths(Model& m);
// Run: every object's next strobe time := its strobe interval.
void reset_strobes(Model& m);

// ---- One frame ----
// `steps_per_frame` integration steps with trails into the scene picture.
// 0 = normal, 2 = an object left the drawable range, 3 = the pause time was reached.
int movin(PlayerState& p);
void jisuan_du_liang(Model& m);
void write_bl_back(Model& m);
// Runs the clock-event program; returns 0 or the error code with program and line.
int run_clock_program(PlayerState& p, ProgramError& error);

// ---- Drawing ----
// The routine that draws a trail segment into the scene (context: the Scene).
using TrailSegmentFn = void (*)(void* ctx, int x0, int y0, int x1, int y1, Colour colour, int width);
TrailSegmentFn trail_function();
// Background colour and picture, axes and grids, static texts and objects;
// then the picture is kept as the persistent scene.
void build_static_scene(PlayerState& p);
// The dynamic layer over the scene before a run (graphs to live vectors).
void draw_dynamic_scene(PlayerState& p);
// One frame of a run: strobe stamps, the scene copied, graphs, connectors,
// points and readings, object pictures and live vectors.
void draw_frame(PlayerState& p);
// The highlight ring of the selected object.
void draw_selection(PlayerState& p);
// Redraws the scene while running (after a resize).
void deal_going_pic(PlayerState& p);
// Draws function graph `slot` into its 240 x 240 bitmap.
void draw_graph_picture(PlayerState& p, int slot);
// Re-evaluates the bounds of the five curves of graph `slot`.
void refresh_graph_bounds(PlayerState& p, int slot);

}  // namespace quorrel::wiring
