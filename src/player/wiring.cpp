// Call sites of the engine, the drawing and the event programs.
//
// Pieces marked "stand-in" do the least the player needs until the library
// that owns the step is linked here; each is replaced by a single forwarding
// call when it is.
#include "player/wiring.h"

#include <QPainter>
#include <cmath>

namespace quorrel::wiring {
namespace {

QColor qcolour(Colour c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

std::int32_t screen_coord(double v) {
    if (!(v == v)) return 0;
    if (v > 1e9) return 1000000000;
    if (v < -1e9) return -1000000000;
    return static_cast<std::int32_t>(std::trunc(v));
}

}  // namespace

// ---- Run preparation ----

void set_presence_flags(Model& m) {
    for (int t = 0; t < ELEMENT_TABLES; ++t) m.present[t] = element_present(m, t, 0) ? 1 : 0;
}

void init_objects(Model& m) {
    // Stand-in for the engine's preparation of the initial state.
    const Settings& s = m.settings;
    const int n = object_count(m);
    for (int i = 0; i < n; ++i) {
        MovingObject& o = m.objects[i];
        o.mass = o.rest_mass;
        o.x = o.prev_x = o.x0;
        o.y = o.prev_y = o.y0;
        o.vx = o.vx0;
        o.vy = o.vy0;
        o.ax = o.ay = 0;
        o.prev_vx = o.vx;
        o.prev_vy = o.vy;
        o.step_ax = o.step_ay = 0;
        o.screen_x = screen_coord(s.origin_x + o.x0 / s.scale + 0.5);
        o.screen_y = screen_coord(s.origin_y - o.y0 / s.scale + 0.5);
        o.screen_radius = std::max(screen_coord(o.radius / s.scale + 0.5), 3);
    }
}

void evaluate_forces(Model&) {
    // Stand-in: the engine's evaluation mode of the integration step.
}

void reset_objects_for_display(Model& m) {
    const Settings& s = m.settings;
    const int n = object_count(m);
    for (int i = 0; i < n; ++i) {
        MovingObject& o = m.objects[i];
        o.mass = o.rest_mass;
        o.x = o.prev_x = o.x0;
        o.y = o.prev_y = o.y0;
        o.vx = o.vx0;
        o.vy = o.vy0;
        o.screen_x = screen_coord(s.origin_x + o.x0 / s.scale + 0.5);
        o.screen_y = screen_coord(s.origin_y - o.y0 / s.scale + 0.5);
    }
}

void clear_run_values(Model& m) {
    const int n = object_count(m);
    for (int i = 0; i < n; ++i) {
        MovingObject& o = m.objects[i];
        o.stuck = 0;
        if (o.kind == KIND_BLOCK && o.host >= 0 && o.host < MAX_OBJECTS && m.objects[o.host].kind == KIND_PLANK &&
            o.riding == 1) {
            const MovingObject& h = m.objects[o.host];
            o.stuck = 1;
            o.rel_x = o.x0 - h.x0;
            o.rel_y = o.y0 - h.y0;
        }
    }
}

void set_link_lengths(Model&) {
    // Stand-in: rope and rod lengths from the start positions (engine constraints).
}

void reset_strobes(Model& m) {
    for (MovingObject& o : m.objects) o.next_strobe = o.strobe_interval;
}

// ---- One frame ----

int movin(PlayerState& p) {
    // Stand-in for the step driver: advances the clock only.
    Model& m = *p.model;
    const int steps = std::max(m.settings.steps_per_frame, 0);
    for (int i = 0; i < steps; ++i) m.sim_time += m.settings.time_step;
    return 0;
}

void jisuan_du_liang(Model&) {}
void write_bl_back(Model&) {}

int run_clock_program(PlayerState&, ProgramError& error) {
    error = {};
    return 0;
}

// ---- Drawing ----

void build_static_scene(PlayerState& p) {
    // Stand-in: the background colour only.
    p.image1.fill(qcolour(p.model->settings.background_colour));
    p.scene_bitmap = p.image1.copy();
}

namespace {
void draw_objects(PlayerState& p) {
    QPainter painter(&p.image1);
    const Model& m = *p.model;
    const int n = object_count(m);
    for (int i = 0; i < n; ++i) {
        const MovingObject& o = m.objects[i];
        const QImage& pic = m.object_pictures[i];
        if (pic.isNull()) continue;
        painter.drawImage(o.screen_x - pic.width() / 2 + o.picture_dx, o.screen_y - pic.height() / 2 + o.picture_dy,
                          pic);
    }
}
}  // namespace

void draw_dynamic_scene(PlayerState& p) {
    draw_objects(p);
}

void draw_frame(PlayerState& p) {
    p.image1 = p.scene_bitmap.copy();
    Model& m = *p.model;
    const Settings& s = m.settings;
    const int n = object_count(m);
    for (int i = 0; i < n; ++i) {
        MovingObject& o = m.objects[i];
        o.screen_x = screen_coord(s.origin_x + o.x / s.scale + 0.5);
        o.screen_y = screen_coord(s.origin_y - o.y / s.scale + 0.5);
    }
    draw_objects(p);
}

void draw_selection(PlayerState&) {}

void deal_going_pic(PlayerState& p) {
    build_static_scene(p);
    draw_frame(p);
}

void draw_graph_picture(PlayerState& p, int slot) {
    QImage& g = p.model->graph_pictures[slot];
    if (!g.isNull()) g.fill(qcolour(p.model->graphs[slot].background));
}

void refresh_graph_bounds(PlayerState&, int) {}

}  // namespace quorrel::wiring
