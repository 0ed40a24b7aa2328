#include "player/run_control.h"

#include "player/run_state.h"
#include "script/interpreter.h"

namespace quorrel {

void clear_run_values(Model& m) {
    const int n = object_count(m);
    for (int i = 0; i < n; ++i) {
        MovingObject& o = m.objects[i];
        o.stuck = 0;
        if (o.kind == KIND_BLOCK && o.riding == 1 && o.host >= 0 && o.host < MAX_OBJECTS &&
            m.objects[o.host].kind == KIND_PLANK) {
            const MovingObject& h = m.objects[o.host];
            o.stuck = 1;
            o.rel_x = o.x0 - h.x0;
            o.rel_y = o.y0 - h.y0;
        }
    }
}

void reset_strobes(Model& m) {
    for (MovingObject& o : m.objects) o.next_strobe = o.strobe_interval;
}

int run_clock_program(RunState& r, Model& m, ProgramError& error) {
    return run_event_program(r, m, CLOCK_PROGRAM, error);
}

int run_event_program(RunState& r, Model& m, int program, ProgramError& error) {
    Script& s = *r.script;
    s.platform = r.platform;
    s.host = r.program_host;
    error = {};
    if (run_program(s, m, program) != 0) return 0;
    error.code = s.run_error != 0 ? s.run_error : ERR_EXCEPTION;
    error.program = s.run_error_program;
    error.line = s.run_error_line;
    return error.code;
}

}  // namespace quorrel
