// The integration step: a predictor-corrector (Heun) step per moving object,
// with the constraint solvers correcting velocities and positions between the
// two force evaluations. Objects are stepped one after another, so later
// objects see the advanced state of earlier ones. The step of an object and
// the force sequence of each evaluation are tables of named stages
// (stages.h), run in table order.
//
// This is the innermost loop of every run: no allocation, no text, no name
// lookups; every solver is skipped unless its table is present or its option
// is set.
#include <cmath>

#include "engine/engine.h"
#include "engine/solvers.h"
#include "engine/stages.h"

namespace quorrel {
namespace {

// Used when the evaluation-mode kernel meets an unusable time step: the
// displayed accelerations are force / mass whatever the step.
constexpr double EVALUATION_FALLBACK_DT = 0.001;

bool has(const Model& m, int table) {
    return m.present[table] != 0;
}

// Kind of the host a block stands on: KIND_PLANK, KIND_INCLINE, or KIND_NONE
// when the object is not a block or its host index names neither.
std::int32_t host_kind(const Model& m, const MovingObject& o) {
    if (o.kind != KIND_BLOCK) return KIND_NONE;
    const int h = object_slot(m, o.host);
    if (h < 0) return KIND_NONE;
    const std::int32_t k = m.objects[h].kind;
    return k == KIND_PLANK || k == KIND_INCLINE ? k : KIND_NONE;
}

// A solver's earlier message wins: it names the first thing that went wrong.
void post_stop(Model& m, const char* text) {
    if (m.stop_message.empty()) m.stop_message = text;
}

// Clears the entries of the force breakdown that a step recomputes. The
// friction pair and its angle keep their last values until a solver writes them.
// Only slots a solver can have written are cleared (the per-element slots up
// to the end of their table, the per-host slots of blocks), which keeps the
// clearing from dominating small experiments; the rest stay zero from the
// model's reset and are never drawn.
struct BreakdownExtent {
    int th, e_th, tb, ct, objects;
};

void clear_breakdown(ForceBreakdown& fb, const BreakdownExtent& e, bool block) {
    fb.total = {0, 0};
    fb.electric = {0, 0};
    fb.lorentz = {0, 0};
    for (int s = 0; s < e.th; ++s) fb.th[s] = {0, 0};
    for (int s = 0; s < e.e_th; ++s) fb.e_th[s] = {0, 0};
    for (int s = 0; s < e.tb; ++s) fb.tb[s] = {0, 0};
    for (int s = 0; s < e.ct; ++s) fb.ct[s] = {0, 0};
    if (block) {
        for (int h = 0; h < e.objects; ++h) {
            fb.host_support[h] = 0;
            fb.host_normal[h] = {0, 0};
        }
    }
    fb.friction_state = 0;
}

// ---- The force sequence of one evaluation ----

// One force evaluation of object i: applied force, gravity, the field and
// spring solvers and the track force solvers. The first evaluation records
// the electric and Lorentz entries of the breakdown, which the second keeps.
struct ForceEval {
    Model& m;
    int i;
    bool first;
    MovingObject& o;
    ForceBreakdown& fb;
    double ahead = 0;       // how far into the step forces between objects look
    double bx = 0, by = 0;  // the force before the electric or magnetic stages
};

QUORREL_STAGE bool applied_force(ForceEval& e) {
    MovingObject& o = e.o;
    o.mass = o.rest_mass;
    o.force_x = 0;
    o.force_y = 0;
    o.force_x += o.fx;
    o.force_y += o.fy;
    return true;
}

QUORREL_STAGE bool gravity(ForceEval& e) {
    if (e.m.settings.use_gravity) e.o.force_y -= e.o.mass * e.m.settings.g;
    return true;
}

// Only bodies and blocks meet fields, springs and tracks.
QUORREL_STAGE bool base_total(ForceEval& e) {
    e.fb.total = {e.o.force_x, e.o.force_y};
    return e.o.kind == KIND_BODY || e.o.kind == KIND_BLOCK;
}

QUORREL_STAGE bool point_masses(ForceEval& e) {
    if (has(e.m, T_M)) apply_M(e.m, e.i);
    return true;
}

QUORREL_STAGE bool mutual_gravitation(ForceEval& e) {
    if (e.m.settings.use_mutual_gravitation) apply_mutual_gravitation(e.m, e.i);
    return true;
}

QUORREL_STAGE bool point_charges(ForceEval& e) {
    e.bx = e.o.force_x;
    e.by = e.o.force_y;
    if (has(e.m, T_E)) apply_E(e.m, e.i);
    return true;
}

QUORREL_STAGE bool electric_fields(ForceEval& e) {
    if (has(e.m, T_EA)) apply_EA(e.m, e.i);
    return true;
}

// Closes the electric entry: point charges, fields and charges between objects.
QUORREL_STAGE bool mutual_charge(ForceEval& e) {
    // Forces between objects (here and in the springs between objects) look
    // one step ahead in the second evaluation; in evaluation mode it is made
    // at the initial state.
    e.ahead = e.first || !e.m.running ? 0.0 : e.m.step.step_dt;
    if (e.m.settings.use_mutual_charge) apply_mutual_charge(e.m, e.i, e.ahead);
    if (e.first) e.fb.electric = {e.o.force_x - e.bx, e.o.force_y - e.by};
    return true;
}

QUORREL_STAGE bool magnetic_fields(ForceEval& e) {
    e.bx = e.o.force_x;
    e.by = e.o.force_y;
    if (has(e.m, T_BA)) apply_BA(e.m, e.i);
    if (e.first) e.fb.lorentz = {e.o.force_x - e.bx, e.o.force_y - e.by};
    return true;
}

QUORREL_STAGE bool object_springs(ForceEval& e) {
    if (has(e.m, T_E_TH)) apply_E_TH(e.m, e.i, e.ahead);
    return true;
}

QUORREL_STAGE bool anchor_springs(ForceEval& e) {
    if (has(e.m, T_TH)) apply_TH(e.m, e.i);
    return true;
}

QUORREL_STAGE bool resistance(ForceEval& e) {
    if (has(e.m, T_Z)) apply_Z(e.m, e.i);
    return true;
}

QUORREL_STAGE bool field_total(ForceEval& e) {
    e.fb.total = {e.o.force_x, e.o.force_y};
    return true;
}

QUORREL_STAGE bool circular_tracks(ForceEval& e) {
    if (has(e.m, T_CT)) {
        CT_contact(e.m, e.i);
        CT_force(e.m, e.i);
    }
    return true;
}

QUORREL_STAGE bool straight_tracks(ForceEval& e) {
    if (has(e.m, T_TB)) {
        TB_contact(e.m, e.i);
        TB_force(e.m, e.i);
    }
    return true;
}

QUORREL_STAGE bool relativity(ForceEval& e) {
    if (e.m.settings.use_relativity) apply_relativity(e.m, e.i);
    return true;
}

constexpr Stage<ForceEval> FORCE_STAGES[] = {
    {"applied_force", applied_force},
    {"gravity", gravity},
    {"base_total", base_total},
    {"M", point_masses},
    {"mutual_gravitation", mutual_gravitation},
    {"E", point_charges},
    {"EA", electric_fields},
    {"mutual_charge", mutual_charge},
    {"BA", magnetic_fields},
    {"E_TH", object_springs},
    {"TH", anchor_springs},
    {"Z", resistance},
    {"field_total", field_total},
    {"CT", circular_tracks},
    {"TB", straight_tracks},
    {"relativity", relativity},
};

// Kept out of line: inlined into both evaluations of the object step, it
// makes the step too large to keep its own values in registers.
[[gnu::noinline]] void force_sequence(Model& m, int i, bool first) {
    ForceEval e{m, i, first, m.objects[i], m.forces[i]};
    walk_stages<FORCE_STAGES>(e);
}

// Blocks, planks and inclines meet their hosts and the ground after all other
// forces of an evaluation.
void host_solvers(Model& m, int i) {
    const std::int32_t k = m.objects[i].kind;
    if (k == KIND_BLOCK || k == KIND_PLANK || k == KIND_INCLINE) {
        block_on_host(m, i);
        host_on_ground(m, i);
    }
}

bool on_track(const Model& m) {
    return (m.step.on_ct_track == 1 && has(m, T_CT)) || (m.step.on_tb_track == 1 && has(m, T_TB));
}

// Explicit rule on a track (and for a stopped object), trapezoid rule otherwise.
void advance_position(MovingObject& o, double dt, bool explicit_rule) {
    if (explicit_rule) {
        o.x += o.vx * dt;
        o.y += o.vy * dt;
    } else {
        o.x += (o.prev_vx + o.vx) * dt * 0.5;
        o.y += (o.prev_vy + o.vy) * dt * 0.5;
    }
}

void track_velocity(Model& m, int i) {
    if (has(m, T_CT)) CT_velocity(m, i);
    if (has(m, T_TB)) TB_velocity(m, i);
}

void body_collisions(Model& m, int i) {
    const MovingObject& a = m.objects[i];
    for (int j = 0; j < MAX_OBJECTS && m.objects[j].kind != KIND_NONE; ++j) {
        if (j == i || m.objects[j].kind != KIND_BODY) continue;
        const MovingObject& b = m.objects[j];
        const double reach = a.radius + b.radius;
        const double dx = b.x - a.x, dy = b.y - a.y;
        if (std::fabs(dx) <= reach && std::fabs(dy) <= reach && reach * reach >= dx * dx + dy * dy)
            body_collision(m, i, j);
    }
}

// ---- The step of one object ----

// A predictor-corrector step of object i: the working values its stages share.
struct ObjectStep {
    Model& m;
    int i;
    double dt;
    MovingObject& o;
    bool body;               // a free body: ropes, rods and tracks act on it
    bool level;              // a plank, an incline or a block on a plank: no vertical motion
    std::int32_t host_kind;  // KIND_PLANK or KIND_INCLINE for a block on one, else KIND_NONE
    bool halted = false;     // stopped by a solver in the predictor
    bool skip_corrector = false;
    double sx = 0, sy = 0, svx = 0, svy = 0;  // the state at the start of the step
    double a1x = 0, a1y = 0;                  // the predictor's acceleration
};

QUORREL_STAGE bool start_state(ObjectStep& s) {
    StepScratch& st = s.m.step;
    st.stop_velocity = 0;
    st.on_tb_track = 0;
    st.on_ct_track = 0;
    s.sx = s.o.x;
    s.sy = s.o.y;
    s.svx = s.o.vx;
    s.svy = s.o.vy;
    return true;
}

QUORREL_STAGE bool first_forces(ObjectStep& s) {
    force_sequence(s.m, s.i, true);
    host_solvers(s.m, s.i);
    return true;
}

QUORREL_STAGE bool predicted_velocity(ObjectStep& s) {
    MovingObject& o = s.o;
    s.a1x = accel(o.force_x, o.mass);
    s.a1y = accel(o.force_y, o.mass);
    o.ax = s.a1x;
    o.ay = s.a1y;
    o.vx += s.a1x * s.dt;
    o.vy += s.a1y * s.dt;
    if (s.m.step.stop_velocity == 1) {
        o.vx = o.vy = 0;
        s.halted = true;
    }
    return true;
}

QUORREL_STAGE bool velocity_constraints(ObjectStep& s) {
    if (!s.body) return true;
    if (has(s.m, T_SH)) SH_velocity(s.m, s.i);
    if (has(s.m, T_GAN)) GAN_velocity(s.m, s.i);
    track_velocity(s.m, s.i);
    return true;
}

// A stuck block moves with its host: it skips the corrector and is placed by
// the tail of the step.
QUORREL_STAGE bool stuck_to_host(ObjectStep& s) {
    s.skip_corrector = s.host_kind != KIND_NONE && s.o.stuck == 1;
    return true;
}

QUORREL_STAGE bool keep_level_predicted(ObjectStep& s) {
    if (s.level) s.o.vy = 0;
    return true;
}

QUORREL_STAGE bool predicted_position(ObjectStep& s) {
    advance_position(s.o, s.dt, on_track(s.m));
    return true;
}

// The ropes and rods from anchors, then the arcs, keep a body's position.
void anchor_link_positions(Model& m, int i) {
    if (has(m, T_SH)) SH_position(m, i);
    if (has(m, T_GAN)) GAN_position(m, i);
}

void arc_positions(Model& m, int i) {
    if (has(m, T_CT)) {
        CT_bounce(m, i);
        CT_position(m, i);
    }
}

QUORREL_STAGE bool predicted_position_constraints(ObjectStep& s) {
    if (!s.body) return true;
    anchor_link_positions(s.m, s.i);
    if (has(s.m, T_TB)) TB_bounce(s.m, s.i);
    arc_positions(s.m, s.i);
    return true;
}

// The corrector evaluates at the predicted state (at the initial state in
// evaluation mode).
QUORREL_STAGE bool corrector_state(ObjectStep& s) {
    MovingObject& o = s.o;
    o.mass = o.rest_mass;
    if (!s.m.running) {
        o.x = o.x0;
        o.y = o.y0;
        o.vx = o.vx0;
        o.vy = o.vy0;
    }
    return true;
}

QUORREL_STAGE bool second_forces(ObjectStep& s) {
    force_sequence(s.m, s.i, false);
    host_solvers(s.m, s.i);
    return true;
}

// Ropes and rods correct this velocity with the position, at the end of the
// step: removing its radial part here, at the start-of-step geometry, would
// give the tangential pull of gravity of the start for the whole step and
// feed energy into every swing.
QUORREL_STAGE bool averaged_velocity(ObjectStep& s) {
    MovingObject& o = s.o;
    const double a2x = accel(o.force_x, o.mass), a2y = accel(o.force_y, o.mass);
    o.x = s.sx;
    o.y = s.sy;
    o.vx = s.svx;
    o.vy = s.svy;
    o.ax = (s.a1x + a2x) * 0.5;
    o.ay = (s.a1y + a2y) * 0.5;
    o.vx += o.ax * s.dt;
    o.vy += o.ay * s.dt;
    if (s.m.step.stop_velocity == 1 || s.halted) o.vx = o.vy = 0;
    return true;
}

QUORREL_STAGE bool collisions(ObjectStep& s) {
    if (!s.body && s.o.kind != KIND_BLOCK) return true;
    if (s.m.settings.use_collisions) {
        block_collisions(s.m, s.i);
        if (s.body) body_collisions(s.m, s.i);
    }
    if (s.body) track_velocity(s.m, s.i);
    return true;
}

QUORREL_STAGE bool keep_level(ObjectStep& s) {
    if (s.level) s.o.vy = 0;
    return true;
}

QUORREL_STAGE bool position(ObjectStep& s) {
    advance_position(s.o, s.dt, on_track(s.m) || s.m.step.stop_velocity == 1 || s.halted);
    return true;
}

QUORREL_STAGE bool position_constraints(ObjectStep& s) {
    if (!s.body) return true;
    Model& m = s.m;
    anchor_link_positions(m, s.i);
    if (has(m, T_E_SH)) E_SH_position(m, s.i);
    if (has(m, T_E_GAN)) E_GAN_position(m, s.i);
    if (has(m, T_TB)) {
        TB_bounce(m, s.i);
        TB_position(m, s.i);
    }
    arc_positions(m, s.i);
    return true;
}

QUORREL_STAGE bool reported_acceleration(ObjectStep& s) {
    s.o.ax = (s.o.vx - s.svx) / s.dt;
    s.o.ay = (s.o.vy - s.svy) / s.dt;
    return true;
}

// A state that is no longer finite (a damaged value, an overflow) is not
// carried on: the object keeps its start-of-step state and the run stops.
QUORREL_STAGE bool finite_state(ObjectStep& s) {
    MovingObject& o = s.o;
    if (!(std::isfinite(o.x) && std::isfinite(o.y) && std::isfinite(o.vx) && std::isfinite(o.vy))) {
        o.x = s.sx;
        o.y = s.sy;
        o.vx = s.svx;
        o.vy = s.svy;
        o.ax = o.ay = 0;
        if (s.m.running) post_stop(s.m, NON_FINITE_MESSAGE);
    } else if (!std::isfinite(o.ax) || !std::isfinite(o.ay)) {
        o.ax = o.ay = 0;
    }
    return true;
}

QUORREL_STAGE bool screen_position(ObjectStep& s) {
    if (s.m.running) set_screen_position(s.m, s.o, s.o.x, s.o.y);
    return true;
}

constexpr bool CORRECTOR = true;

constexpr Stage<ObjectStep> OBJECT_STEP_STAGES[] = {
    {"start_state", start_state},
    {"first_forces", first_forces},
    {"predicted_velocity", predicted_velocity},
    {"velocity_constraints", velocity_constraints},
    {"stuck_to_host", stuck_to_host},
    {"keep_level_predicted", keep_level_predicted, CORRECTOR},
    {"predicted_position", predicted_position, CORRECTOR},
    {"predicted_position_constraints", predicted_position_constraints, CORRECTOR},
    {"corrector_state", corrector_state, CORRECTOR},
    {"second_forces", second_forces, CORRECTOR},
    {"averaged_velocity", averaged_velocity, CORRECTOR},
    {"collisions", collisions},
    {"keep_level", keep_level},
    {"position", position},
    {"position_constraints", position_constraints},
    {"reported_acceleration", reported_acceleration},
    {"finite_state", finite_state},
    {"screen_position", screen_position},
};

void step_object(Model& m, int i, double dt) {
    MovingObject& o = m.objects[i];
    const std::int32_t hk = host_kind(m, o);
    const bool level = o.kind == KIND_PLANK || o.kind == KIND_INCLINE || hk == KIND_PLANK;
    ObjectStep s{m, i, dt, o, o.kind == KIND_BODY, level, hk};
    walk_stages<OBJECT_STEP_STAGES>(s);
}

// Stuck blocks follow their host: they copy its motion, and static friction
// decides whether they stay stuck.
void stuck_block_tail(Model& m, double dt) {
    for (int i = 0; i < MAX_OBJECTS && m.objects[i].kind != KIND_NONE; ++i) {
        MovingObject& o = m.objects[i];
        if (o.kind != KIND_BLOCK || o.stuck != 1) continue;
        const int h = object_slot(m, o.host);
        if (h < 0) continue;
        const MovingObject& host = m.objects[h];
        if (host.kind != KIND_PLANK && host.kind != KIND_INCLINE) continue;

        o.ax = host.ax;
        o.ay = host.ay;
        o.vx = host.vx;
        o.vy = host.vy;
        o.prev_vx = host.prev_vx;
        o.prev_vy = host.prev_vy;
        o.x = o.prev_x + (o.prev_vx + o.vx) * dt * 0.5;
        o.y = o.prev_y + (o.prev_vy + o.vy) * dt * 0.5;

        if (host.kind == KIND_PLANK) {
            if (o.riding == 1) {
                o.x = host.x + o.rel_x;
                o.y = host.y + o.rel_y;
            }
            set_screen_position(m, o, o.x, o.y);
            if (o.riding == 1) continue;
            const double need = o.ax * o.mass;
            const double avail = std::fabs(o.force_y * host.surface_mu);
            const bool stays = need > 0 ? o.force_x + avail >= need : o.force_x - avail <= need;
            if (stays)
                m.forces[i].friction_state = 2;
            else
                o.stuck = 0;
        } else {
            set_screen_position(m, o, o.x, o.y);
            const double theta = radians(host.orientation == 0 ? host.angle_a : host.angle_b);
            // Each block holds by its own normal force: with several blocks on one
            // incline the shared per-host value is only the last block's.
            const double hold = std::fabs(m.forces[i].host_support[h] * host.surface_mu * std::sin(theta));
            if (std::fabs(m.step.block_vertical_load[i]) > hold)
                o.stuck = 0;
            else
                m.forces[i].friction_state = 2;
        }
    }
}

// Processing order: free objects and loose blocks, then blocks riding on a
// plank, then planks and inclines (which take their blocks' reactions).
int processing_order(const Model& m, int n, int (&order)[MAX_OBJECTS]) {
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const MovingObject& o = m.objects[i];
        if (o.kind != KIND_PLANK && o.kind != KIND_INCLINE && !(o.kind == KIND_BLOCK && o.riding == 1))
            order[count++] = i;
    }
    for (int i = 0; i < n; ++i)
        if (m.objects[i].kind == KIND_BLOCK && m.objects[i].riding == 1) order[count++] = i;
    for (int i = 0; i < n; ++i)
        if (m.objects[i].kind == KIND_PLANK || m.objects[i].kind == KIND_INCLINE) order[count++] = i;
    return count;
}

// The values a step recomputes: the force breakdown of the n objects and the
// reactions blocks pass to their hosts.
void clear_step_values(Model& m, int n) {
    const BreakdownExtent extent{element_count(m, T_TH), element_count(m, T_E_TH), element_count(m, T_TB),
                                 element_count(m, T_CT), n};
    for (int i = 0; i < n; ++i) clear_breakdown(m.forces[i], extent, m.objects[i].kind == KIND_BLOCK);
    StepScratch& st = m.step;
    for (int i = 0; i < MAX_OBJECTS; ++i) {
        st.support_normal[i] = 0;
        st.support_friction[i] = 0;
        st.block_vertical_load[i] = 0;
    }
}

}  // namespace

void kernel(Model& m) {
    double dt = usable_time_step(m);
    if (dt == 0) {
        if (m.running) {
            post_stop(m, BAD_TIME_STEP_MESSAGE);
            return;
        }
        dt = EVALUATION_FALLBACK_DT;
    }
    m.step.step_dt = dt;

    const int n = object_count(m);
    clear_step_values(m, n);
    int order[MAX_OBJECTS];
    const int count = processing_order(m, n, order);
    for (int k = 0; k < count; ++k) step_object(m, order[k], dt);

    if (m.running) stuck_block_tail(m, dt);
}

std::span<const StageInfo> object_step_stages() {
    return STAGE_INFOS<OBJECT_STEP_STAGES>;
}

std::span<const StageInfo> force_stages() {
    return STAGE_INFOS<FORCE_STAGES>;
}

}  // namespace quorrel
