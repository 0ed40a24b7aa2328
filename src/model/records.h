// Stored records of the experiment model.
//
// Every record here is laid out exactly as its stored bytes: the experiment
// file and the container copy the leading bytes of a record verbatim, so the
// offsets are fixed by static_asserts and the reserved words are kept as
// members (they round-trip through a load and a save untouched). Texts are not
// part of the stored bytes; they sit in parallel tables of the model.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace quorrel {

// Colours are Windows colour values 0x00BBGGRR (red in the low byte).
using Colour = std::int32_t;

struct FontSpec {
    std::uint8_t charset;
    std::uint8_t pad1[3];
    Colour colour;
    std::int32_t height;
    std::uint8_t pitch;
    std::uint8_t pad13[3];
    std::int32_t size;
    std::uint8_t style;  // bit 0 bold, bit 1 italic, bit 2 underline, bit 3 strike-out
    std::uint8_t pad21[3];
};
static_assert(sizeof(FontSpec) == 24);

// Moving object kinds.
enum : std::int32_t { KIND_NONE = 0, KIND_BODY = 1, KIND_BLOCK = 2, KIND_PLANK = 3, KIND_INCLINE = 4 };

// Readout flags (shown at strobe moments).
enum {
    READ_T,
    READ_X,
    READ_Y,
    READ_V,
    READ_VX,
    READ_VY,
    READ_V_ANGLE,
    READ_A,
    READ_AX,
    READ_AY,
    READ_A_ANGLE,
    READOUT_COUNT
};

// Vector flags, for both the strobe and the live display.
enum {
    VEC_V,
    VEC_VX,
    VEC_VY,
    VEC_A,
    VEC_AX,
    VEC_AY,
    VEC_APPLIED,
    VEC_RESULTANT,
    VEC_GRAVITY,
    VEC_ELECTRIC,
    VEC_RESERVED10,
    VEC_LORENTZ,
    VEC_RESERVED12,
    VEC_SPRING,
    VEC_NORMAL,
    VEC_FRICTION,
    VEC_ROPE_ROD,
    VECTOR_COUNT
};

// A moving object; SI units throughout (m, s, kg, N, C). Every object feels
// its applied force (fx, fy) and, with gravity on, −m·g along y; bodies and
// blocks also feel the fields, springs and resistance of the element tables.
// Relativistic mass: mass = rest_mass / √(1 − v²/c²).
//  - body (kind 1): a disc of `radius`; collisions exchange momentum along the
//    line of centres with restitution |(1 − loss_a)(1 − loss_b)|, and a track
//    it bounces off keeps (1 − loss) of its normal speed.
//  - block (kind 2) on a plank or incline `host`: normal force N from the host
//    (plank: N = −F_y; incline: N = ±F_x·sin θ − F_y·cos θ by orientation, F_y
//    corrected for the incline's acceleration), kinetic friction |N|·μ against the
//    relative motion, static friction up to |N|·μ (μ = the host's surface_mu).
//  - plank (kind 3) and incline (kind 4): stand on the ground, never move
//    vertically; ground friction |load|·ground_mu against vx, load = its own
//    force_y plus what its blocks press on it. An incline is a triangle of
//    base `width` and slope angle_a (orientation 0) or angle_b (orientation 1).
struct MovingObject {
    std::int32_t kind;
    std::int32_t reserved4;
    double width;       // m: a block's or plank's width, an incline's base
    double height;      // m
    double ground_mu;   // friction coefficient with the ground (plank, incline)
    double surface_mu;  // friction coefficient of the upper surface (plank, incline)
    double reserved40[2];
    double angle_a;  // degrees, used when orientation is 0
    double angle_b;  // degrees, used when orientation is 1
    std::int32_t host;
    std::int32_t orientation;
    std::int32_t stuck;
    std::int32_t reserved84[2];
    std::int32_t riding;
    double rel_x, rel_y;  // m, a riding block's place relative to its plank
    double reserved112[2];
    double loss;  // 0..1: share of the normal speed lost in a collision or bounce
    double reserved136[2];
    double x, y;              // m
    double vx, vy;            // m/s
    double ax, ay;            // m/s²
    double force_x, force_y;  // N, resultant of the current force evaluation
    double mass;              // kg, current (relativistic) mass
    double charge;            // C
    double x0, y0;
    double vx0, vy0;
    double rest_mass;  // kg
    double fx, fy;     // N, applied external force
    double radius;     // m
    double prev_x, prev_y;
    double prev_vx, prev_vy;
    double step_ax, step_ay;
    std::int32_t reserved344;
    std::int32_t screen_x, screen_y;
    std::int32_t screen_radius;
    Colour trail_colour;
    std::int32_t ball_r, ball_g, ball_b;
    std::int32_t show_trail;
    std::int32_t reserved380;
    std::int32_t own_picture;
    std::int32_t picture_dx, picture_dy;
    std::int32_t reserved396[2];
    Colour transparent_colour;
    std::int32_t transparent;
    std::uint8_t strobe_on;
    std::uint8_t pad413[3];
    double strobe_interval;
    double next_strobe;
    std::uint8_t readout_flags[READOUT_COUNT];
    std::uint8_t strobe_vector_flags[VECTOR_COUNT];
    std::uint8_t live_vector_flags[VECTOR_COUNT];
    std::uint8_t pad477[3];
};
static_assert(sizeof(MovingObject) == 480);
static_assert(offsetof(MovingObject, angle_a) == 56 && offsetof(MovingObject, host) == 72);
static_assert(offsetof(MovingObject, riding) == 92 && offsetof(MovingObject, loss) == 128);
static_assert(offsetof(MovingObject, x) == 152 && offsetof(MovingObject, mass) == 216);
static_assert(offsetof(MovingObject, rest_mass) == 264 && offsetof(MovingObject, step_ay) == 336);
static_assert(offsetof(MovingObject, screen_x) == 348 && offsetof(MovingObject, trail_colour) == 360);
static_assert(offsetof(MovingObject, show_trail) == 376 && offsetof(MovingObject, own_picture) == 384);
static_assert(offsetof(MovingObject, transparent_colour) == 404 && offsetof(MovingObject, strobe_on) == 412);
static_assert(offsetof(MovingObject, strobe_interval) == 416 && offsetof(MovingObject, readout_flags) == 432);
static_assert(offsetof(MovingObject, strobe_vector_flags) == 443 && offsetof(MovingObject, live_vector_flags) == 460);

// Measurement types and reference kinds.
enum : std::int32_t { MEASURE_HIDDEN = -1, MEASURE_QUANTITY = 1, MEASURE_DISTANCE = 2, MEASURE_ANGLE = 3 };
enum : std::int32_t { REF_OBJECT = 1, REF_POINT = 2 };

struct Measurement {
    std::int32_t type;
    std::int32_t show_lines;
    std::int32_t label_x, label_y;
    Colour colour;
    std::int32_t label_width, label_height;
    std::int32_t reserved28;
    double value;
    std::int32_t kind1;
    std::int32_t quantity;
    std::int32_t kind2;
    std::int32_t reserved52;
    std::int32_t kind3;
    std::int32_t reserved60;
};
static_assert(sizeof(Measurement) == 64 && offsetof(Measurement, kind3) == 56);
enum { MT_VARIABLE, MT_CAPTION, MT_VALUE, MT_POINT1, MT_POINT2, MT_POINT3, MEASUREMENT_TEXTS };

struct TextBlock {
    std::int32_t in_use;
    std::int32_t x, y;
    std::int32_t reserved12[2];
    FontSpec font;
};
static_assert(sizeof(TextBlock) == 44 && offsetof(TextBlock, font) == 20);

// The stored part of a Point is 84 bytes; the struct is padded to 88 in memory.
struct Point {
    std::int32_t kind;
    std::int32_t reserved4;
    double x, y;
    std::int32_t last_screen_x, last_screen_y;
    double vector_scale;
    Colour colour;
    std::int32_t polar;
    std::int32_t show_vector;
    std::int32_t show_trail;
    std::int32_t label_width;
    FontSpec font;
};
inline constexpr std::size_t POINT_STORED = 84;
static_assert(offsetof(Point, vector_scale) == 32 && offsetof(Point, colour) == 40);
static_assert(offsetof(Point, label_width) == 56 && offsetof(Point, font) == 60);
static_assert(offsetof(Point, font) + sizeof(FontSpec) == POINT_STORED);
enum { PT_NAME, PT_VECTOR_X, PT_VECTOR_Y, PT_LABEL, PT_FONT_NAME, POINT_TEXTS };

struct Annotation {
    std::int32_t x, y;
    std::int32_t width;
    std::int32_t reserved12;
    FontSpec font;
    std::int32_t in_use;  // 0 ends the table, 2 means framed
};
static_assert(sizeof(Annotation) == 44 && offsetof(Annotation, in_use) == 40);

inline constexpr int CURVES = 5;
struct FunctionGraph {
    std::int32_t kind;
    std::int32_t x, y;
    std::int32_t reserved12;
    double x_scale, y_scale;
    double origin_x, origin_y;
    Colour background;
    Colour colour;
    std::int32_t transparent;
    Colour curve_colour[CURVES];
    std::int32_t curve_word80[CURVES];
    std::int32_t reserved100;
    double curve_x_value[CURVES];  // cached value of the x expression
    double curve_real144[CURVES];
    std::int32_t curve_word184[CURVES];
    std::int32_t reserved204;
    double curve_y_value[CURVES];  // cached value of the y expression
    double curve_real248[CURVES];
};
static_assert(sizeof(FunctionGraph) == 288);
static_assert(offsetof(FunctionGraph, transparent) == 56 && offsetof(FunctionGraph, curve_colour) == 60);
static_assert(offsetof(FunctionGraph, curve_word80) == 80 && offsetof(FunctionGraph, curve_x_value) == 104);
static_assert(offsetof(FunctionGraph, curve_real144) == 144 && offsetof(FunctionGraph, curve_word184) == 184);
static_assert(offsetof(FunctionGraph, curve_y_value) == 208 && offsetof(FunctionGraph, curve_real248) == 248);

struct Variable {
    std::int32_t reserved0;
    std::int32_t var_kind;
    std::int32_t value_kind;
    std::int32_t reading_form;
    std::int32_t reserved16[9];
};
static_assert(sizeof(Variable) == 52);
enum { VT_NAME, VT_DESCRIPTION, VT_VALUE, VT_INITIAL, VARIABLE_TEXTS };

struct EventProgram {
    std::int32_t line_count;
    std::int32_t word[3];  // interpreter's words 1 to 3
};
static_assert(sizeof(EventProgram) == 16);

// ---- Element tables: each record is a fixed number of reals. ----

// Regions are rectangles x1 <= x <= x2, y1 <= y <= y2 (m), bounds inclusive.
// Object indices are stored as reals (the slot number).

// Z, resistance region: F = −|v|ⁿ·w against the velocity, with w =
// coefficient (law 0), coefficient·m (law 1) or coefficient·(4/3)·π·r³
// (law 2); N for |v| in m/s. At rest only an exponent-0 region acts, and it
// only cancels the push up to w, never reverses it.
struct ZRegion {
    double x1, y1, x2, y2;
    double coefficient;
    double exponent;  // n
    double law;       // 0, 1 or 2
};
// M, fixed attracting mass: F = G·m·M/d² towards (x, y); G in N·m²/kg²
// (default 6.672e-11), M in kg, d in m. The same law acts between moving
// objects when mutual gravitation is on.
struct FixedMass {
    double x, y, mass;
};
// E, fixed point charge: F = k·q·Q/d² along the line, like charges repel; k in
// N·m²/C² (default 9e9), Q in C, d in m. The same law acts between moving
// objects when mutual charge is on (from their start-of-step positions).
struct FixedCharge {
    double x, y, charge;
};
// EA, uniform electric field region: F = q·E along `direction`; E in N/C.
struct ElectricField {
    double x1, y1, x2, y2;
    double direction;  // radians
    double strength;   // N/C
};
// BA, magnetic field region: Lorentz force F = q·v×B, B in T, out of the
// plane for a positive shape code. |shape| > 5: the circle inscribed in the
// x-extent; < 5: the rectangle; = 5: no region.
struct MagneticField {
    double x1, y1, x2, y2;
    double shape;
    double induction;  // T
};
// TH, spring from an anchor to an object: F = k·(L0 − d) along the axis from
// the anchor to the object (pushes when compressed, pulls when stretched); N,
// with k in N/m and L0, d in m. Mode 1 acts only stretched, mode 2 only
// compressed; nothing while the object lies within its radius of the anchor.
struct AnchorSpring {
    double anchor_x, anchor_y;
    double natural_length;  // L0, m
    double stiffness;       // k, N/m
    double mode;
    double object;
};
// E_TH, spring between objects A and B: F = k·(L0 − d) along the axis from the
// other end, on each end when that end is stepped; units and modes as TH.
struct ObjectSpring {
    double object_a, object_b;
    double natural_length;  // L0, m
    double stiffness;       // k, N/m
    double mode;
};
// TB, straight track A·x + B·y + C = 0 between (x1, y1) and (x2, y2), m.
// Holds a touching body: the velocity across the line is removed and the
// position corrected. Support N = the resultant's component across the line
// (shown, not added); friction |N|·kinetic_mu against sliding, at rest static
// friction up to |N|·max(kinetic_mu, static_mu). A body meeting another track
// bounces, keeping (1 − loss) of its normal speed.
struct StraightTrack {
    double a, b, c;
    double norm;       // √(A² + B²)
    double direction;  // radians
    double x1, y1, x2, y2;
    double kinetic_mu;
    double static_mu;
};
// CT, circular arc track of radius R (m) about (cx, cy): as TB, with support
// Z = −F·n − m·V²/R (n outward, V the tangential speed, so it includes the
// centripetal force) and friction |Z|·μ along the tangent.
struct ArcTrack {
    double cx, cy;
    double start_angle, end_angle;  // radians, counter-clockwise
    double radius;
    double kinetic_mu, static_mu;
};
// SH (rope) and GAN (rod) from an anchor, length L in m. Not forces but
// constraints: a taut rope (d >= L) removes the object's outward radial
// velocity and puts it back at L; a rod keeps d = L exactly, its velocity
// always tangential.
struct AnchorLink {
    double anchor_x, anchor_y;
    double length;
    double state;
    double reserved;
    double object;
};
// E_SH (rope) and E_GAN (rod) between two objects, length L in m: a taut rope
// whose end moves outward gives both ends the momentum-weighted average radial
// velocity, Σm·v_r / Σm, and pulls a stretch of more than 0.1 % back, each end
// moving by the other's share of the mass (an end held by a track stays); a
// rod does both always, pushing as well as pulling.
struct ObjectLink {
    double object_a, object_b;
    double length;
    double state;
    double reserved;
};

// Element table codes, in stored order.
enum ElementTable : int {
    T_Z,
    T_M,
    T_E,
    T_EA,
    T_BA,
    T_TH,
    T_E_TH,
    T_TB,
    T_CT,
    T_SH,
    T_E_SH,
    T_GAN,
    T_E_GAN,
    ELEMENT_TABLES
};

inline constexpr int ELEMENT_REALS[ELEMENT_TABLES] = {7, 3, 3, 6, 6, 6, 5, 11, 7, 6, 5, 6, 5};
// Index of the real that marks a slot as present.
inline constexpr int ELEMENT_PRESENCE[ELEMENT_TABLES] = {4, 2, 2, 5, 5, 3, 3, 0, 4, 3, 3, 3, 3};
inline constexpr const char* ELEMENT_CODES[ELEMENT_TABLES] = {"Z",  "M",  "E",  "EA",   "BA",  "TH",   "E_TH",
                                                              "TB", "CT", "SH", "E_SH", "GAN", "E_GAN"};

static_assert(sizeof(ZRegion) == 7 * 8 && sizeof(FixedMass) == 3 * 8 && sizeof(ElectricField) == 6 * 8);
static_assert(sizeof(AnchorSpring) == 6 * 8 && sizeof(ObjectSpring) == 5 * 8 && sizeof(StraightTrack) == 11 * 8);
static_assert(sizeof(ArcTrack) == 7 * 8 && sizeof(AnchorLink) == 6 * 8 && sizeof(ObjectLink) == 5 * 8);

// End-point differences of a straight track below this are raised to it, so
// that the line's coefficients stay finite for horizontal and vertical tracks.
constexpr double MIN_END_DIFFERENCE = 1e-70;

// Derives a straight track's line (a, b, c, norm, direction) from its ends,
// as the stored tracks hold it: A is 1, so a level track has a huge B
// (1/MIN_END_DIFFERENCE times its length) and a direction just off 0, a
// vertical one a tiny B and a direction of ±π/2. Ends that are not finite
// leave the record as it is.
inline void derive_track_line(StraightTrack& t) {
    double dx = t.x1 - t.x2, dy = t.y1 - t.y2;
    if (!std::isfinite(dx) || !std::isfinite(dy)) return;
    if (std::fabs(dx) < MIN_END_DIFFERENCE) dx = MIN_END_DIFFERENCE;
    if (std::fabs(dy) < MIN_END_DIFFERENCE) dy = MIN_END_DIFFERENCE;
    t.a = 1;
    t.b = -dx / dy;
    t.c = t.b * (t.x1 * dy / dx - t.y1);
    t.norm = std::hypot(t.b, 1.0);  // hypot: no overflow for nearly horizontal lines
    t.direction = std::atan(-1 / t.b);
}

}  // namespace quorrel
