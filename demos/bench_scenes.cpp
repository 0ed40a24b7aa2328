#include "demos/bench_scenes.h"

#include <cmath>
#include <cstring>
#include <string>

namespace quorrel {
namespace {

// Half a metre per 25 pixels: the scenes stay well inside the drawable range
// for a few seconds of simulated time.
void common_settings(Model& m) {
    m.settings.scale = 0.02;
    m.settings.origin_x = 400;
    m.settings.origin_y = 300;
    m.settings.time_step = 0.001;
    m.settings.steps_per_frame = 10;
}

int add_object(Model& m, std::int32_t kind, const char* name, double x, double y, double mass) {
    const int i = object_count(m);
    if (i >= MAX_OBJECTS) return -1;
    MovingObject& o = m.objects[i];
    o.kind = kind;
    o.x0 = x;
    o.y0 = y;
    o.rest_mass = mass;
    o.mass = mass;
    o.trail_colour = 0x0000FF;
    m.object_texts[i].name = name;
    return i;
}

int add_block_object(Model& m, std::int32_t kind, const char* name, double x, double y, double mass, double width,
                     double height) {
    const int i = add_object(m, kind, name, x, y, mass);
    if (i < 0) return -1;
    m.objects[i].width = width;
    m.objects[i].height = height;
    return i;
}

void add_link(Model& m, int table, double ax, double ay, const MovingObject& o, int index) {
    const double length = std::sqrt((o.x0 - ax) * (o.x0 - ax) + (o.y0 - ay) * (o.y0 - ay));
    const double r[6] = {ax, ay, length, 1.0, 0.0, static_cast<double>(index)};
    add_element(m, table, r);
}

void add_object_link(Model& m, int table, int a, int b) {
    const MovingObject& p = m.objects[a];
    const MovingObject& q = m.objects[b];
    const double length = std::sqrt((p.x0 - q.x0) * (p.x0 - q.x0) + (p.y0 - q.y0) * (p.y0 - q.y0));
    const double r[5] = {static_cast<double>(a), static_cast<double>(b), length, 1.0, 0.0};
    add_element(m, table, r);
}

// The pieces of each family, placed at an offset so that the everything
// scene can hold them side by side.
void fields_part(Model& m, double ox, double oy, int bodies) {
    const double fixed_mass[3] = {ox, oy, 1e11};  // G*M about 6.7: a visible orbit
    add_element(m, T_M, fixed_mass);
    const double charge[3] = {ox + 3, oy - 2, 2e-6};
    add_element(m, T_E, charge);
    const double field[6] = {ox - 4, oy - 4, ox, oy + 4, 0.5, 2000.0};
    add_element(m, T_EA, field);
    const double box_field[6] = {ox, oy - 4, ox + 4, oy + 4, 1.0, 0.5};
    add_element(m, T_BA, box_field);
    const double round_field[6] = {ox - 3, oy - 3, ox + 3, oy + 3, -6.0, 0.8};
    add_element(m, T_BA, round_field);
    for (int k = 0; k < bodies; ++k) {
        const std::string name = "f" + std::to_string(k);
        const double angle = 0.7 * k;
        const double r = 1.5 + 0.25 * k;
        const int i = add_body(m, name.c_str(), ox + r * std::cos(angle), oy + r * std::sin(angle),
                               -std::sin(angle) * 2.0, std::cos(angle) * 2.0, 0.01 + 0.002 * k, 0.1);
        if (i >= 0) m.objects[i].charge = (k % 2 == 0 ? 1e-6 : -1e-6) * (1 + k % 3);
    }
}

void springs_part(Model& m, double ox, double oy, int chain) {
    const double slow[7] = {ox - 5, oy - 5, ox + 5, oy - 1, 0.02, 1.0, 0.0};
    add_element(m, T_Z, slow);
    const double drag[7] = {ox - 5, oy - 1, ox + 5, oy + 5, 0.5, 2.0, 2.0};
    add_element(m, T_Z, drag);
    int prev = -1;
    for (int k = 0; k < chain; ++k) {
        const std::string name = "s" + std::to_string(k);
        const int i = add_body(m, name.c_str(), ox - 2 + 0.8 * k, oy + 1 - 0.3 * k, 0.3 * k, 0, 0.2, 0.1);
        if (i < 0) break;
        // Every other body hangs from an anchor, with each spring mode in turn.
        if (k % 2 == 0) {
            const double th[6] = {ox - 2 + 0.8 * k,      oy + 3, 1.5, 40.0, static_cast<double>(k % 3),
                                  static_cast<double>(i)};
            add_element(m, T_TH, th);
        }
        if (prev >= 0) {
            const double eth[5] = {static_cast<double>(prev), static_cast<double>(i), 0.8, 25.0, 0.0};
            add_element(m, T_E_TH, eth);
        }
        prev = i;
    }
}

void ropes_rods_part(Model& m, double ox, double oy) {
    const int a = add_body(m, "rope", ox + 1.5, oy - 0.5, 0, 0, 0.3, 0.1);
    if (a >= 0) add_link(m, T_SH, ox, oy, m.objects[a], a);
    const int b = add_body(m, "rod", ox - 1.5, oy - 0.5, 0, 1, 0.3, 0.1);
    if (b >= 0) add_link(m, T_GAN, ox, oy, m.objects[b], b);
    const int c = add_body(m, "rope2", ox + 1.5, oy - 2.0, 0.5, 0, 0.2, 0.1);
    if (a >= 0 && c >= 0) add_object_link(m, T_E_SH, a, c);
    const int d = add_body(m, "rod2", ox - 1.5, oy - 2.0, -0.5, 0, 0.2, 0.1);
    if (b >= 0 && d >= 0) add_object_link(m, T_E_GAN, b, d);
}

void collisions_part(Model& m, double ox, double oy, int bodies) {
    for (int k = 0; k < bodies; ++k) {
        const std::string name = "c" + std::to_string(k);
        const double dir = k % 2 == 0 ? 1.0 : -1.0;
        const int i = add_body(m, name.c_str(), ox - 3 + 0.6 * k, oy + 0.05 * (k % 3), dir * (1 + 0.1 * k), 0,
                               0.1 + 0.05 * (k % 4), 0.2);
        if (i >= 0) m.objects[i].loss = 0.1 * (k % 3);
    }
}

void blocks_part(Model& m, double ox, double oy) {
    const int plank = add_block_object(m, KIND_PLANK, "plank", ox, oy, 2.0, 4.0, 0.2);
    const int incline = add_block_object(m, KIND_INCLINE, "incline", ox + 6, oy + 0.5, 3.0, 3.0, 1.5);
    if (plank < 0 || incline < 0) return;
    m.objects[plank].ground_mu = 0.1;
    m.objects[plank].surface_mu = 0.3;
    m.objects[plank].fx = 3.0;
    m.objects[incline].ground_mu = 0.4;
    m.objects[incline].surface_mu = 0.2;
    m.objects[incline].angle_a = 30;
    m.objects[incline].angle_b = 30;
    const int b1 = add_block_object(m, KIND_BLOCK, "block1", ox - 1, oy + 0.35, 0.5, 0.5, 0.5);
    const int b2 = add_block_object(m, KIND_BLOCK, "block2", ox + 1, oy + 0.35, 0.5, 0.5, 0.5);
    const int b3 = add_block_object(m, KIND_BLOCK, "block3", ox + 6, oy + 1.2, 0.4, 0.4, 0.4);
    if (b1 < 0 || b2 < 0 || b3 < 0) return;
    m.objects[b1].host = plank;
    m.objects[b1].vx0 = 0.5;
    m.objects[b2].host = plank;
    m.objects[b2].riding = 1;
    m.objects[b2].rel_x = 1;
    m.objects[b2].rel_y = 0.35;
    m.objects[b3].host = incline;
}

void tracks_part(Model& m, double ox, double oy) {
    add_straight_track(m, ox - 5, oy - 1, ox + 5, oy - 1, 0.1, 0.2);    // floor
    add_straight_track(m, ox - 5, oy + 2, ox - 1, oy - 0.5, 0.0, 0.0);  // slope
    add_straight_track(m, ox + 5, oy - 3, ox + 5, oy + 3, 0.0, 0.0);    // wall
    const double arc[7] = {ox + 2, oy + 1, 3.3, 6.1, 1.5, 0.05, 0.1};
    add_element(m, T_CT, arc);
    add_body(m, "t_floor", ox, oy - 0.8, 1.0, 0, 0.2, 0.2);
    add_body(m, "t_slope", ox - 4, oy + 1.7, 0, 0, 0.2, 0.2);
    add_body(m, "t_arc", ox + 2 + 1.3 * std::cos(4.0), oy + 1 + 1.3 * std::sin(4.0), 0.5, -0.5, 0.2, 0.2);
}

constexpr BenchScene SCENES[] = {
    {"free_fall", build_free_fall_scene},   {"fields", build_fields_scene},         {"springs", build_springs_scene},
    {"ropes_rods", build_ropes_rods_scene}, {"collisions", build_collisions_scene}, {"blocks", build_blocks_scene},
    {"tracks", build_tracks_scene},         {"everything", build_everything_scene},
};

}  // namespace

int add_body(Model& m, const char* name, double x, double y, double vx, double vy, double mass, double radius) {
    const int i = add_object(m, KIND_BODY, name, x, y, mass);
    if (i < 0) return -1;
    m.objects[i].vx0 = vx;
    m.objects[i].vy0 = vy;
    m.objects[i].radius = radius;
    m.objects[i].show_trail = 1;
    return i;
}

int add_element(Model& m, int table, const double* reals) {
    const int slot = element_count(m, table);
    if (slot >= MAX_ELEMENTS) return -1;
    set_element(m, table, slot, reals);
    return slot;
}

int add_straight_track(Model& m, double x1, double y1, double x2, double y2, double kinetic_mu, double static_mu) {
    // The line x + B y + C = 0 through both ends; tiny differences are raised
    // to 1e-70 so that horizontal and vertical lines stay finite.
    double dx = x1 - x2, dy = y1 - y2;
    if (std::fabs(dx) < 1e-70) dx = 1e-70;
    if (std::fabs(dy) < 1e-70) dy = 1e-70;
    const double b = -dx / dy;
    const double c = b * (x1 * dy / dx - y1);
    const double r[11] = {1.0, b, c, std::sqrt(b * b + 1), std::atan(-1 / b), x1, y1, x2, y2, kinetic_mu, static_mu};
    return add_element(m, T_TB, r);
}

void build_free_fall_scene(Model& m) {
    common_settings(m);
    m.settings.use_gravity = 1;
    add_body(m, "ball", 0, 5, 0, 0, 1.0, 0.2);
    add_body(m, "thrown", -5, 0, 3, 6, 0.5, 0.15);
    const int pushed = add_body(m, "pushed", 0, -3, 0, 0, 2.0, 0.25);
    m.objects[pushed].fx = 1.5;
    m.objects[pushed].fy = 19.6;
}

void build_fields_scene(Model& m) {
    common_settings(m);
    m.settings.use_mutual_gravitation = 1;
    m.settings.use_mutual_charge = 1;
    m.settings.use_relativity = 1;
    fields_part(m, 0, 0, 8);
}

void build_springs_scene(Model& m) {
    common_settings(m);
    m.settings.use_gravity = 1;
    springs_part(m, 0, 0, 8);
}

void build_ropes_rods_scene(Model& m) {
    common_settings(m);
    m.settings.use_gravity = 1;
    ropes_rods_part(m, 0, 2);
}

void build_collisions_scene(Model& m) {
    common_settings(m);
    m.settings.use_collisions = 1;
    collisions_part(m, 0, 0, 10);
}

void build_blocks_scene(Model& m) {
    common_settings(m);
    m.settings.use_gravity = 1;
    blocks_part(m, -3, -2);
}

void build_tracks_scene(Model& m) {
    common_settings(m);
    m.settings.use_gravity = 1;
    tracks_part(m, 0, 0);
}

void build_everything_scene(Model& m) {
    common_settings(m);
    m.settings.scale = 0.05;
    Settings& s = m.settings;
    s.use_gravity = s.use_mutual_gravitation = s.use_mutual_charge = s.use_relativity = s.use_collisions = 1;
    blocks_part(m, -12, -12);     // 6 objects
    ropes_rods_part(m, 12, 10);   // 4
    tracks_part(m, 12, -10);      // 3
    fields_part(m, -12, 10, 12);  // 12
    springs_part(m, 0, 0, 10);    // 10
    collisions_part(m, 0, -18, 15);
    while (object_count(m) < MAX_OBJECTS) {
        const int k = object_count(m);
        const std::string name = "extra" + std::to_string(k);
        add_body(m, name.c_str(), -20 + 0.9 * (k % 40), 18, 0.1 * (k % 5), 0, 0.05, 0.1);
    }
}

std::span<const BenchScene> bench_scenes() {
    return SCENES;
}

const BenchScene* find_bench_scene(const char* name) {
    for (const BenchScene& s : SCENES)
        if (std::strcmp(s.name, name) == 0) return &s;
    return nullptr;
}

}  // namespace quorrel
