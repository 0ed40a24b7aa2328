// Call sites of the engine and the event programs. The drawing's call sites
// are in wiring_render.cpp: the engine's and the drawing's headers each
// declare a TrailSink and cannot be included together.
#include "player/wiring.h"

#include "engine/constraints.h"
#include "engine/engine.h"
#include "script/interpreter.h"

namespace quorrel::wiring {

// ---- Run preparation ----

void set_presence_flags(Model& m) {
    set_presence(m);
}

void init_objects(Model& m) {
    prepare_initial_state(m);
}

void evaluate_forces(Model& m) {
    // With m.running clear the step only evaluates forces and accelerations.
    kernel(m);
}

void reset_objects_for_display(Model& m) {
    reset_for_display(m);
}

void update_screen_positions(Model& m) {
    quorrel::update_screen_positions(m);
}

void clear_run_values(Model& m) {
    const int n = object_count(m);
    for (int i = 0; i < n; ++i) {
        MovingObject& o = m.objects[i];
        o.stuck = 0;
        // A block riding a plank starts stuck to it, at its designed offset.
        if (o.kind == KIND_BLOCK && o.riding == 1 && o.host >= 0 && o.host < MAX_OBJECTS &&
            m.objects[o.host].kind == KIND_PLANK) {
            const MovingObject& h = m.objects[o.host];
            o.stuck = 1;
            o.rel_x = o.x0 - h.x0;
            o.rel_y = o.y0 - h.y0;
        }
    }
}

void set_link_lengths(Model& m) {
    set_rope_rod_lengths(m);
}

void reset_strobes(Model& m) {
    for (MovingObject& o : m.objects) o.next_strobe = o.strobe_interval;
}

// ---- One frame ----

int movin(PlayerState& p) {
    TrailSink sink;
    sink.context = &p.scene;
    sink.segment = trail_function();
    return quorrel::movin(*p.model, sink);
}

void jisuan_du_liang(Model& m) {
    quorrel::jisuan_du_liang(m);
}
void write_bl_back(Model& m) {
    quorrel::write_bl_back(m);
}

int run_clock_program(PlayerState& p, ProgramError& error) {
    Script& s = *p.script;
    s.platform = p.platform;
    s.host = &p.host;
    error = {};
    if (run_program(s, *p.model, CLOCK_PROGRAM) != 0) return 0;
    error.code = s.run_error != 0 ? s.run_error : ERR_EXCEPTION;
    error.program = s.run_error_program;
    error.line = s.run_error_line;
    return error.code;
}

}  // namespace quorrel::wiring
