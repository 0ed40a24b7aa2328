// What the player does to the model around a run that no library does for it:
// the per-object run values cleared at Run, the strobe clocks restarted, and
// the clock-event program run with the player's hooks.
#pragma once

#include "model/model.h"

namespace quorrel {

struct RunState;
struct ProgramError;

// Run: the objects' stuck flags are cleared, except that a block riding a
// plank starts stuck to it at its designed offset.
void clear_run_values(Model& m);

// Run: every object's next strobe time := its strobe interval.
void reset_strobes(Model& m);

// Runs the clock-event program with the run's platform and host. Returns 0
// or the error code, with `error` holding code, program and line (cleared when
// the program ran through).
int run_clock_program(RunState& r, Model& m, ProgramError& error);
// The same for any event program (a dynamic label's click runs program k + 1).
int run_event_program(RunState& r, Model& m, int program, ProgramError& error);

}  // namespace quorrel
