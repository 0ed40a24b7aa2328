#include "render/vectors.h"

#include <cmath>

#include "render/canvas.h"

namespace quorrel {
namespace {

// Arrow families: barb angle (radians), barb end term, length cap (pixels).
struct Family {
    double beta;
    double h;
    double cap;
};
constexpr Family STROBE_MOTION{0.22, 0.0, 1600.0};
constexpr Family LIVE_MOTION{0.27, 0.5, 1200.0};
constexpr Family FORCE{0.27, 0.5, 1200.0};
constexpr double BARB = 14.0;
// An arrow of magnitude equal to its scale setting is this many pixels long.
constexpr double PIXELS_PER_SCALE = 50.0;

// Vectors at or below these magnitudes get no arrow: motion arrows at strobe
// moments and live, single forces, and the per-element force slots.
constexpr double STROBE_MOTION_MIN = 1e-80;
constexpr double LIVE_MOTION_MIN = 1e-50;
constexpr double FORCE_MIN = 1e-20;
constexpr double SLOT_FORCE_MIN = 1e-10;
// A component arrow shorter than this (pixels) gets no barbs: its sign is
// rounding noise.
constexpr double COMPONENT_MIN_PX = 1e-10;
// A rope or rod whose anchor is level with the object within this has its
// direction along the x axis (no division by the distance).
constexpr double LEVEL_EPS = 1e-20;
// Two constraint directions whose determinant is below this are parallel: the
// first takes the whole force.
constexpr double PARALLEL_DET = 1e-12;

// Force colour entries, in the stored order of the vector settings.
enum {
    FC_APPLIED,
    FC_RESULTANT,
    FC_GRAVITY,
    FC_ELECTRIC,
    FC_RESERVED4,
    FC_LORENTZ,
    FC_RESERVED6,
    FC_SPRING,
    FC_NORMAL,
    FC_FRICTION,
    FC_ROPE_ROD
};

// The canvases one pass draws on (Image1, and scene_bitmap at strobe moments).
struct Pass {
    Canvas* canvas[2];
    int count;
    bool erasable;  // exclusive-or with background XOR colour
    Colour background;
    int line_width;
};

void pass_pen(Pass& p, Colour colour) {
    for (int k = 0; k < p.count; ++k) {
        Canvas& c = *p.canvas[k];
        set_pen_style(c, PenStyle::Solid);
        set_pen_mode(c, p.erasable ? PenMode::Xor : PenMode::Copy);
        set_pen(c, p.erasable ? (p.background ^ colour) : colour, p.line_width);
    }
}

void pass_end_group(Pass& p) {
    for (int k = 0; k < p.count; ++k) set_pen_mode(*p.canvas[k], PenMode::Copy);
}

void pass_line(Pass& p, int x0, int y0, int x1, int y1) {
    for (int k = 0; k < p.count; ++k) line(*p.canvas[k], x0, y0, x1, y1);
}

// Pixel length of a vector of magnitude M at `scale`, capped. A NaN stays
// NaN and fails every later test, so nothing is drawn for it.
double arrow_length(double M, double scale, double cap) {
    const double L = M / scale * PIXELS_PER_SCALE;
    return L > cap ? cap : L;
}

void full_arrow(Pass& p, int sx, int sy, double L, double th, const Family& f) {
    const double tx = sx + L * std::cos(th), ty = sy - L * std::sin(th);
    pass_line(p, sx, sy, trunc_px(tx + 0.5), trunc_px(ty + 0.5));
    const int bx = trunc_px(tx), by = trunc_px(ty);
    for (const double phi : {th + f.beta, th - f.beta}) {
        pass_line(p, bx, by, trunc_px(tx - BARB * std::cos(phi) + f.h), trunc_px(ty + BARB * std::sin(phi) + f.h));
    }
}

void x_arrow(Pass& p, int sx, int sy, double L, double th) {
    const double lx = L * std::cos(th);
    pass_line(p, sx, sy, trunc_px(sx + lx + 0.5), sy);
    const int bx = trunc_px(sx + lx);
    int ex;
    if (lx > COMPONENT_MIN_PX)
        ex = trunc_px(sx + lx - BARB);
    else if (lx < -COMPONENT_MIN_PX)
        ex = trunc_px(sx + lx + BARB);
    else
        return;
    pass_line(p, bx, sy, ex, sy - 4);
    pass_line(p, bx, sy, ex, sy + 4);
}

void y_arrow(Pass& p, int sx, int sy, double L, double th) {
    const double ly = L * std::sin(th);
    const int by = trunc_px(sy - ly);
    pass_line(p, sx, sy, sx, by);
    int ey;
    if (ly > COMPONENT_MIN_PX)
        ey = trunc_px(sy - ly + BARB);
    else if (ly < -COMPONENT_MIN_PX)
        ey = trunc_px(sy - ly - BARB);
    else
        return;
    pass_line(p, sx, by, sx - 4, ey);
    pass_line(p, sx, by, sx + 4, ey);
}

// Velocity (base VEC_V) or acceleration (base VEC_A): full arrow and components.
void motion_group(Pass& p, const std::uint8_t* flags, int base, double cx, double cy, double scale, Colour colour,
                  bool strobe, int sx, int sy) {
    if (!flags[base] && !flags[base + 1] && !flags[base + 2]) return;
    const Polar v = vector_polar(cx, cy);
    const Family& f = strobe ? STROBE_MOTION : LIVE_MOTION;
    const bool shown = strobe ? (v.magnitude > STROBE_MOTION_MIN && sx >= -9 && sx < 1600 && sy >= -9 && sy < 1200)
                              : v.magnitude > LIVE_MOTION_MIN;
    if (!shown) return;
    const double L = arrow_length(v.magnitude, scale, f.cap);
    pass_pen(p, colour);
    if (flags[base]) full_arrow(p, sx, sy, L, v.angle, f);
    if (flags[base + 1]) x_arrow(p, sx, sy, L, v.angle);
    if (flags[base + 2]) y_arrow(p, sx, sy, L, v.angle);
    pass_end_group(p);
}

void force_arrow(Pass& p, const Model& m, int sx, int sy, const Polar& v) {
    full_arrow(p, sx, sy, arrow_length(v.magnitude, m.settings.f_scale, FORCE.cap), v.angle, FORCE);
}

// One force arrow drawn when its magnitude passes `min_magnitude` (strictly
// or not) in its own pen group.
void single_force(Pass& p, const Model& m, int sx, int sy, const XY& f, Colour colour, double min_magnitude,
                  bool inclusive) {
    const Polar v = vector_polar(f.x, f.y);
    if (!(inclusive ? v.magnitude >= min_magnitude : v.magnitude > min_magnitude)) return;
    pass_pen(p, colour);
    force_arrow(p, m, sx, sy, v);
    pass_end_group(p);
}

// Arrows of a group of slots, each drawn when its magnitude is at least
// SLOT_FORCE_MIN.
void slot_forces(Pass& p, const Model& m, int sx, int sy, const XY* group, int n, Colour colour) {
    pass_pen(p, colour);
    for (int k = 0; k < n; ++k) {
        const Polar v = vector_polar(group[k].x, group[k].y);
        if (v.magnitude >= SLOT_FORCE_MIN) force_arrow(p, m, sx, sy, v);
    }
    pass_end_group(p);
}

// An arrow drawn only when it is longer than one pixel.
void long_force(Pass& p, const Model& m, int sx, int sy, double fx, double fy) {
    const Polar v = vector_polar(fx, fy);
    const double L = arrow_length(v.magnitude, m.settings.f_scale, FORCE.cap);
    if (L > 1.0) full_arrow(p, sx, sy, L, v.angle, FORCE);
}

// The force arrows of object i in their fixed order. An enabled electric or
// Lorentz arrow without that force ends the object's pass there.
void force_vectors(Model& m, Scene& s, int i, Pass& p, const std::uint8_t* flags, int sx, int sy) {
    const Settings& st = m.settings;
    const MovingObject& o = m.objects[i];
    const Colour* colour = st.force_colours;
    if (flags[VEC_GRAVITY]) {
        const XY g{0.0, st.use_gravity ? -st.g * o.mass : 0.0};
        single_force(p, m, sx, sy, g, colour[FC_GRAVITY], FORCE_MIN, false);
    }
    if (flags[VEC_APPLIED]) single_force(p, m, sx, sy, XY{o.fx, o.fy}, colour[FC_APPLIED], FORCE_MIN, false);
    const ForceBreakdown& fb = m.forces[i];
    if (flags[VEC_ELECTRIC]) {
        if (!(vector_polar(fb.electric.x, fb.electric.y).magnitude >= FORCE_MIN)) return;
        single_force(p, m, sx, sy, fb.electric, colour[FC_ELECTRIC], FORCE_MIN, true);
    }
    if (flags[VEC_LORENTZ]) {
        if (!(vector_polar(fb.lorentz.x, fb.lorentz.y).magnitude >= FORCE_MIN)) return;
        single_force(p, m, sx, sy, fb.lorentz, colour[FC_LORENTZ], FORCE_MIN, true);
    }
    if (flags[VEC_SPRING]) {
        slot_forces(p, m, sx, sy, fb.th, MAX_ELEMENTS, colour[FC_SPRING]);
        slot_forces(p, m, sx, sy, fb.e_th, MAX_ELEMENTS, colour[FC_SPRING]);
    }
    if (flags[VEC_NORMAL]) {
        slot_forces(p, m, sx, sy, fb.tb, MAX_ELEMENTS, colour[FC_NORMAL]);
        slot_forces(p, m, sx, sy, fb.ct, MAX_ELEMENTS, colour[FC_NORMAL]);
        slot_forces(p, m, sx, sy, fb.unused, MAX_ELEMENTS, colour[FC_NORMAL]);
        slot_forces(p, m, sx, sy, fb.host_normal, MAX_OBJECTS, colour[FC_NORMAL]);
    }
    if (!flags[VEC_FRICTION] && !flags[VEC_ROPE_ROD] && !flags[VEC_RESULTANT]) return;
    constraint_analysis(m, s, i);
    if (flags[VEC_FRICTION] && fb.friction_state != 0)
        single_force(p, m, sx, sy, fb.friction, colour[FC_FRICTION], FORCE_MIN, false);
    const ConstraintDraw& cd = s.constraints[i];
    if (flags[VEC_ROPE_ROD]) {
        pass_pen(p, colour[FC_ROPE_ROD]);
        for (const ConstraintSlot& slot : cd.slot)
            if (slot.used) long_force(p, m, sx, sy, slot.fx, slot.fy);
        pass_end_group(p);
    }
    if (flags[VEC_RESULTANT]) {
        double rx = fb.total.x + fb.friction.x, ry = fb.total.y + fb.friction.y;
        for (const ConstraintSlot& slot : cd.slot) {
            if (!slot.used) continue;
            rx += slot.fx;
            ry += slot.fy;
        }
        pass_pen(p, colour[FC_RESULTANT]);
        long_force(p, m, sx, sy, rx, ry);
        pass_end_group(p);
    }
}

bool any_flag(const std::uint8_t* flags, int from, int to) {
    for (int k = from; k < to; ++k)
        if (flags[k]) return true;
    return false;
}

bool has_forces(const MovingObject& o) {
    return o.kind != KIND_PLANK && o.kind != KIND_INCLINE;
}

Pass strobe_pass(const Model& m, Scene& s) {
    return Pass{{&s.canvas, &s.scene_canvas}, 2, false, m.settings.background_colour, m.settings.line_width};
}

// An object index stored as a real, cut toward zero; -1 when it names no slot.
int object_index(double v) {
    if (!(v > -1.0 && v < static_cast<double>(MAX_OBJECTS))) return -1;
    return static_cast<int>(v);
}

// Direction from the anchor (ax, ay) toward the point (px, py) in [0, 2pi).
double anchor_direction(double ax, double ay, double px, double py) {
    const double dx = px - ax, dy = py - ay;
    if (std::fabs(dy) < LEVEL_EPS) return dx < 0.0 ? PI : 0.0;
    const double d = length(dx, dy);
    double r = dy / d;
    if (r > 1.0) r = 1.0;
    if (r < -1.0) r = -1.0;
    double phi = std::asin(r);
    if (dx < 0.0) phi = PI - phi;
    if (phi < 0.0) phi += 2.0 * PI;
    return phi;
}

// Collects the directions of the ropes or rods of `table` on object i.
void collect_links(const Model& m, const ElementList<AnchorLink>& links, int table, int i, double px, double py,
                   bool rope, const bool* excluded, ConstraintDraw& cd, int& n) {
    const int count = element_count(m, table);
    for (int k = 0; k < count && n < 2; ++k) {
        const AnchorLink& l = links.rec[k];
        if (object_index(l.object) != i || excluded[k]) continue;
        ConstraintSlot& slot = cd.slot[n++];
        slot.used = true;
        slot.is_rope = rope;
        slot.friction = false;
        slot.element = k;
        slot.angle = anchor_direction(l.anchor_x, l.anchor_y, px, py);
    }
}

}  // namespace

void draw_full_arrow(Canvas& c, int sx, int sy, double L, double angle, double barb_angle, double barb_end) {
    Pass p{{&c, nullptr}, 1, false, 0, 1};
    full_arrow(p, sx, sy, L, angle, Family{barb_angle, barb_end, 0.0});
}

Polar vector_polar(double cx, double cy) {
    Polar v{length(cx, cy), 0.0};
    if (cx != 0.0) {
        v.angle = std::atan(cy / cx);
        if (cx < 0.0) v.angle += PI;
    } else if (cy > 0.0) {
        v.angle = PI / 2.0;
    } else if (cy < 0.0) {
        v.angle = 3.0 * PI / 2.0;
    }
    return v;
}

void constraint_analysis(Model& m, Scene& s, int i) {
    ConstraintDraw& cd = s.constraints[i];
    ForceBreakdown& fb = m.forces[i];
    const MovingObject& o = m.objects[i];
    double px, py;
    object_position(m, i, px, py);
    // The force the constraints must supply.
    const double Fx = m.running ? o.mass * o.ax - fb.total.x : -fb.total.x;
    const double Fy = m.running ? o.mass * o.ay - fb.total.y : -fb.total.y;

    bool slack[MAX_ELEMENTS] = {};  // ropes found slack; rods never are
    // Each restart drops one more rope, so the loop ends within 21 rounds.
    for (int round = 0; round <= MAX_ELEMENTS; ++round) {
        cd = ConstraintDraw{};
        int n = 0;
        collect_links(m, m.SH, T_SH, i, px, py, true, slack, cd, n);
        const bool no_rods[MAX_ELEMENTS] = {};
        collect_links(m, m.GAN, T_GAN, i, px, py, false, no_rods, cd, n);
        if (fb.friction_state == 2 && n < 2) {
            ConstraintSlot& slot = cd.slot[n++];
            slot.used = true;
            slot.friction = true;
            slot.element = -1;
            slot.angle = fb.friction_angle;
        }
        if (n == 0) return;

        double a[2] = {0.0, 0.0};
        const double c1 = std::cos(cd.slot[0].angle), s1 = std::sin(cd.slot[0].angle);
        if (n == 1) {
            a[0] = Fx * c1 + Fy * s1;  // |F| cos(phi1 - angle of F)
        } else {
            const double c2 = std::cos(cd.slot[1].angle), s2 = std::sin(cd.slot[1].angle);
            const double det = c1 * s2 - c2 * s1;
            if (std::fabs(det) < PARALLEL_DET) {
                // Parallel directions: the first one takes the whole projection.
                a[0] = Fx * c1 + Fy * s1;
            } else {
                a[0] = (Fx * s2 - c2 * Fy) / det;
                a[1] = (c1 * Fy - s1 * Fx) / det;
            }
        }
        for (int k = 0; k < n; ++k) {
            cd.slot[k].fx = a[k] * std::cos(cd.slot[k].angle);
            cd.slot[k].fy = a[k] * std::sin(cd.slot[k].angle);
        }
        // A rope whose force points along its direction from the anchor would
        // have to push: it is slack, and the analysis runs again without it.
        int dropped = -1;
        for (int k = 0; k < n && dropped < 0; ++k)
            if (cd.slot[k].is_rope && a[k] > 0.0) dropped = cd.slot[k].element;
        if (dropped < 0) break;
        slack[dropped] = true;
    }
    for (ConstraintSlot& slot : cd.slot) {
        if (!slot.used || !slot.friction) continue;
        fb.friction = XY{slot.fx, slot.fy};
        fb.friction_state = 1;
        slot.used = false;
    }
}

void Draw_obj_v(Model& m, Scene& s, int mode) {
    const Settings& st = m.settings;
    Pass p{{&s.canvas, nullptr}, 1, mode == 1, st.background_colour, st.line_width};
    for (int i = 0; i < MAX_OBJECTS && m.objects[i].kind != KIND_NONE; ++i) {
        const MovingObject& o = m.objects[i];
        const std::uint8_t* flags = o.live_vector_flags;
        if (!any_flag(flags, 0, VECTOR_COUNT)) continue;
        double x, y;
        object_position(m, i, x, y);
        const ScreenXY sp = to_screen(m, x, y);
        motion_group(p, flags, VEC_V, o.vx, o.vy, st.v_scale, st.v_colour, false, sp.x, sp.y);
        motion_group(p, flags, VEC_A, o.ax, o.ay, st.a_scale, st.a_colour, false, sp.x, sp.y);
        if (has_forces(o) && any_flag(flags, VEC_APPLIED, VECTOR_COUNT)) force_vectors(m, s, i, p, flags, sp.x, sp.y);
    }
}

void strobe_motion_vectors(Model& m, Scene& s, int i, int sx, int sy) {
    const Settings& st = m.settings;
    const MovingObject& o = m.objects[i];
    Pass p = strobe_pass(m, s);
    motion_group(p, o.strobe_vector_flags, VEC_V, o.vx, o.vy, st.v_scale, st.v_colour, true, sx, sy);
    motion_group(p, o.strobe_vector_flags, VEC_A, o.ax, o.ay, st.a_scale, st.a_colour, true, sx, sy);
}

void strobe_force_vectors(Model& m, Scene& s, int i, int sx, int sy) {
    const MovingObject& o = m.objects[i];
    if (!has_forces(o) || !any_flag(o.strobe_vector_flags, VEC_APPLIED, VECTOR_COUNT)) return;
    Pass p = strobe_pass(m, s);
    force_vectors(m, s, i, p, o.strobe_vector_flags, sx, sy);
}

}  // namespace quorrel
