// Building blocks for demo experiments: objects with the pictures an authoring
// program would give them. The model's scale must be set before a picture is
// made, since pictures are in pixels.
#pragma once

#include <initializer_list>

#include "model/model.h"

namespace quorrel {

// The colours the demos draw with (0x00BBGGRR).
namespace demo_colour {
inline constexpr Colour WHITE = 0xFFFFFF;
inline constexpr Colour YELLOW = 0x00FFFF;
inline constexpr Colour CYAN = 0xFFFF00;
inline constexpr Colour GREEN = 0x00FF00;
inline constexpr Colour GREY = 0xC0C0C0;
inline constexpr Colour ORANGE = 0x0080FF;
inline constexpr Colour PINK = 0xC080FF;
}  // namespace demo_colour

// The view and time step most demos share: origin at pixel (origin_x,
// origin_y), `scale` world units per pixel, 1 ms steps, axes without grids on
// black, no pause time, g = 9.8.
void demo_settings(Model& m, int origin_x, int origin_y, double scale, int steps_per_frame);

// An object at rest at (x, y); `name` is UTF-8 and stored as GBK.
MovingObject& demo_object(Model& m, int slot, std::int32_t kind, const char* name, double x, double y, double mass);
// A free body whose generated shaded ball (colour r, g, b) is centred on its position.
MovingObject& demo_ball(Model& m, int slot, const char* name, double x, double y, double radius, double mass, int r,
                        int g, int b);
void demo_velocity(MovingObject& o, double vx, double vy);
void demo_trail(MovingObject& o, Colour colour);

// Gives the ball in `slot` its charge and a picture that shows the sign: the
// generated ball with a white "+" or "−" on it.
void demo_charge(Model& m, int slot, double charge);

// Own pictures, drawn on white (the transparent colour) and placed so that the
// object's position is where the drawing routines expect it: the centre of a
// block or plank, the centroid of an incline's section.
void demo_incline_picture(Model& m, int slot, Colour fill);
void demo_box_picture(Model& m, int slot, Colour fill, double tilt_degrees);

// Texts, variables and programs; texts are given as UTF-8 and stored as GBK.
void demo_font(FontSpec& f, Colour colour, int points);
// Appends a variable (value and initial value both `value`); returns its slot, or -1 when the table is full.
int demo_variable(Model& m, const char* name, const char* description, const char* value);
// Appends a line to event program `program` (0 = the clock event); false when full.
bool demo_program_line(Model& m, int program, const char* line);
// Appends an annotation with the default font; returns its slot, or -1 when full.
int demo_annotation(Model& m, int x, int y, int width, Colour colour, const char* text);

// A reference of a reading: a moving object or a point, by its UTF-8 name.
struct DemoRef {
    std::int32_t kind;  // REF_OBJECT or REF_POINT
    const char* name;
};
// Appends a reading shown at pixel (x, y) and copied into `variable`: one
// quantity of one object or point (type 1), the distance of two (type 2) or
// the angle at the second of three (type 3). Returns its slot, or -1.
int demo_reading(Model& m, std::int32_t type, std::int32_t quantity, std::initializer_list<DemoRef> refs,
                 const char* caption, const char* variable, int x, int y, Colour colour);

// Appends an opaque function graph centred at pixel (x, y): `x_scale` and
// `y_scale` world units per 30 pixels, its origin (origin_x, origin_y) pixels
// from the picture's bottom-left corner. Returns its slot, or -1 when full.
int demo_graph(Model& m, int x, int y, double x_scale, double y_scale, double origin_x, double origin_y,
               Colour background, Colour axes);
// Appends a point at world (x, y) with a label (UTF-8); returns its slot, or -1 when full.
int demo_point(Model& m, const char* name, double x, double y, Colour colour, const char* label);
// Appends a static text block with its top-left corner at pixel (x, y).
int demo_text_block(Model& m, int x, int y, Colour colour, std::initializer_list<const char*> lines);

// Curve `curve` of a graph: the expressions of its two axes (UTF-8) and its colour.
void demo_curve(Model& m, int graph, int curve, const char* x_expression, const char* y_expression, Colour colour);

}  // namespace quorrel
