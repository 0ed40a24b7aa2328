// The integration step: a predictor-corrector (Heun) step per moving object,
// with the constraint solvers correcting velocities and positions between the
// two force evaluations. Objects are stepped one after another, so later
// objects see the advanced state of earlier ones.
//
// This is the innermost loop of every run: no allocation, no text, no name
// lookups; every solver is skipped unless its table is present or its option
// is set.
#include <cmath>

#include "engine/engine.h"
#include "engine/solvers.h"

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

// One force evaluation of object i: applied force, gravity, the field and
// spring solvers and the track force solvers. `first` records the electric and
// Lorentz entries of the breakdown, which the second evaluation keeps.
void force_sequence(Model& m, int i, bool first) {
    MovingObject& o = m.objects[i];
    ForceBreakdown& fb = m.forces[i];
    const Settings& s = m.settings;

    o.mass = o.rest_mass;
    o.force_x = 0;
    o.force_y = 0;
    o.force_x += o.fx;
    o.force_y += o.fy;
    if (s.use_gravity) o.force_y -= o.mass * s.g;
    fb.total = {o.force_x, o.force_y};
    if (o.kind != KIND_BODY && o.kind != KIND_BLOCK) return;

    if (has(m, T_M)) apply_M(m, i);
    if (s.use_mutual_gravitation) apply_mutual_gravitation(m, i);

    double bx = o.force_x, by = o.force_y;
    if (has(m, T_E)) apply_E(m, i);
    if (has(m, T_EA)) apply_EA(m, i);
    // Forces between objects look one step ahead in the second evaluation (in
    // evaluation mode it is made at the initial state).
    const double ahead = first || !m.running ? 0.0 : m.step.step_dt;
    if (s.use_mutual_charge) apply_mutual_charge(m, i, ahead);
    if (first) fb.electric = {o.force_x - bx, o.force_y - by};

    bx = o.force_x;
    by = o.force_y;
    if (has(m, T_BA)) apply_BA(m, i);
    if (first) fb.lorentz = {o.force_x - bx, o.force_y - by};

    if (has(m, T_E_TH)) apply_E_TH(m, i, ahead);
    if (has(m, T_TH)) apply_TH(m, i);
    if (has(m, T_Z)) apply_Z(m, i);
    fb.total = {o.force_x, o.force_y};

    if (has(m, T_CT)) {
        CT_contact(m, i);
        CT_force(m, i);
    }
    if (has(m, T_TB)) {
        TB_contact(m, i);
        TB_force(m, i);
    }
    if (s.use_relativity) apply_relativity(m, i);
}

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

void step_object(Model& m, int i, double dt) {
    MovingObject& o = m.objects[i];
    StepScratch& st = m.step;
    const bool body = o.kind == KIND_BODY;
    const bool host = o.kind == KIND_PLANK || o.kind == KIND_INCLINE;
    const std::int32_t hk = host_kind(m, o);

    st.stop_velocity = 0;
    st.on_tb_track = 0;
    st.on_ct_track = 0;
    bool halted = false;
    const double sx = o.x, sy = o.y, svx = o.vx, svy = o.vy;

    // Predictor.
    force_sequence(m, i, true);
    host_solvers(m, i);
    const double a1x = accel(o.force_x, o.mass), a1y = accel(o.force_y, o.mass);
    o.ax = a1x;
    o.ay = a1y;
    o.vx += a1x * dt;
    o.vy += a1y * dt;
    if (st.stop_velocity == 1) {
        o.vx = o.vy = 0;
        halted = true;
    }
    if (body) {
        if (has(m, T_SH)) SH_velocity(m, i);
        if (has(m, T_GAN)) GAN_velocity(m, i);
        track_velocity(m, i);
    }

    // A stuck block moves with its host: it skips the corrector and is placed
    // by the tail of the step.
    const bool skip_corrector = hk != KIND_NONE && o.stuck == 1;
    if (!skip_corrector) {
        if (host || hk == KIND_PLANK) o.vy = 0;
        advance_position(o, dt, on_track(m));
        if (body) {
            if (has(m, T_SH)) SH_position(m, i);
            if (has(m, T_GAN)) GAN_position(m, i);
            if (has(m, T_TB)) TB_bounce(m, i);
            if (has(m, T_CT)) {
                CT_bounce(m, i);
                CT_position(m, i);
            }
        }

        // Corrector, at the predicted state (at the initial state in
        // evaluation mode).
        o.mass = o.rest_mass;
        if (!m.running) {
            o.x = o.x0;
            o.y = o.y0;
            o.vx = o.vx0;
            o.vy = o.vy0;
        }
        force_sequence(m, i, false);
        host_solvers(m, i);
        const double a2x = accel(o.force_x, o.mass), a2y = accel(o.force_y, o.mass);

        o.x = sx;
        o.y = sy;
        o.vx = svx;
        o.vy = svy;
        o.ax = (a1x + a2x) * 0.5;
        o.ay = (a1y + a2y) * 0.5;
        o.vx += o.ax * dt;
        o.vy += o.ay * dt;
        if (st.stop_velocity == 1 || halted) o.vx = o.vy = 0;
        // Ropes and rods correct this velocity with the position, at the end
        // of the step: removing its radial part here, at the start-of-step
        // geometry, would give the tangential pull of gravity of the start
        // for the whole step and feed energy into every swing.
    }

    if (body || o.kind == KIND_BLOCK) {
        if (m.settings.use_collisions) {
            block_collisions(m, i);
            if (body) body_collisions(m, i);
        }
        if (body) track_velocity(m, i);
    }
    if (host || hk == KIND_PLANK) o.vy = 0;
    advance_position(o, dt, on_track(m) || st.stop_velocity == 1 || halted);
    if (body) {
        if (has(m, T_SH)) SH_position(m, i);
        if (has(m, T_GAN)) GAN_position(m, i);
        if (has(m, T_E_SH)) E_SH_position(m, i);
        if (has(m, T_E_GAN)) E_GAN_position(m, i);
        if (has(m, T_TB)) {
            TB_bounce(m, i);
            TB_position(m, i);
        }
        if (has(m, T_CT)) {
            CT_bounce(m, i);
            CT_position(m, i);
        }
    }

    o.ax = (o.vx - svx) / dt;
    o.ay = (o.vy - svy) / dt;

    // A state that is no longer finite (a damaged value, an overflow) is not
    // carried on: the object keeps its start-of-step state and the run stops.
    if (!(std::isfinite(o.x) && std::isfinite(o.y) && std::isfinite(o.vx) && std::isfinite(o.vy))) {
        o.x = sx;
        o.y = sy;
        o.vx = svx;
        o.vy = svy;
        o.ax = o.ay = 0;
        if (m.running) post_stop(m, NON_FINITE_MESSAGE);
    } else if (!std::isfinite(o.ax) || !std::isfinite(o.ay)) {
        o.ax = o.ay = 0;
    }

    if (m.running) set_screen_position(m, o, o.x, o.y);
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
    StepScratch& st = m.step;
    st.step_dt = dt;

    const int n = object_count(m);
    const BreakdownExtent extent{element_count(m, T_TH), element_count(m, T_E_TH), element_count(m, T_TB),
                                 element_count(m, T_CT), n};
    for (int i = 0; i < n; ++i) clear_breakdown(m.forces[i], extent, m.objects[i].kind == KIND_BLOCK);
    for (int i = 0; i < MAX_OBJECTS; ++i) {
        st.support_normal[i] = 0;
        st.support_friction[i] = 0;
        st.block_vertical_load[i] = 0;
    }

    // Processing order: free objects and loose blocks, then blocks riding on a
    // plank, then planks and inclines (which take their blocks' reactions).
    int order[MAX_OBJECTS];
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

    for (int k = 0; k < count; ++k) step_object(m, order[k], dt);

    if (m.running) stuck_block_tail(m, dt);
}

}  // namespace quorrel
