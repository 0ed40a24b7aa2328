#include "format/fields.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "model/visit_table.h"

namespace quorrel {
namespace {

using T = FieldType;

constexpr Field field(const char* name, T type, std::size_t offset, const char* unit, const char* meaning,
                      int count = 1, std::uint8_t flags = 0) {
    return Field{name,    type, static_cast<std::uint16_t>(count), static_cast<std::uint16_t>(offset), unit,
                 meaning, flags};
}
// Fields by their flags (fields.h): recomputed by the player; also kept apart
// as internal; reserved words, kept as read.
constexpr Field runtime(const char* name, T type, std::size_t offset, const char* unit, const char* meaning,
                        int count = 1) {
    return field(name, type, offset, unit, meaning, count, FIELD_RUNTIME);
}
constexpr Field internal_runtime(const char* name, T type, std::size_t offset, const char* unit, const char* meaning,
                                 int count = 1) {
    return field(name, type, offset, unit, meaning, count, FIELD_INTERNAL | FIELD_RUNTIME);
}
constexpr Field reserved(const char* name, T type, std::size_t offset, int count = 1) {
    return field(name, type, offset, "", "reserved", count, FIELD_INTERNAL);
}

// A field the property dialogs show: its label and the values they accept.
constexpr Field shown(Field f, const char* label, FieldRange range = {}) {
    f.label = label;
    f.range = range;
    return f;
}
constexpr double NO_LIMIT = std::numeric_limits<double>::infinity();
constexpr FieldRange above_zero(const char* refusal) {
    return {0, NO_LIMIT, true, false, refusal};
}
constexpr FieldRange at_least_zero(const char* refusal) {
    return {0, NO_LIMIT, false, false, refusal};
}
constexpr FieldRange zero_to_one(const char* refusal) {
    return {0, 1, false, false, refusal};
}
constexpr FieldRange not_zero(const char* refusal) {
    return {-NO_LIMIT, NO_LIMIT, false, true, refusal};
}

#define AT(S, member) offsetof(S, member)

constexpr Field SETTINGS[] = {
    field("steps_per_frame", T::Int, AT(Settings, steps_per_frame), "",
          "integration steps per displayed frame (每脉扫描次数)"),
    field("time_step", T::Real, AT(Settings, time_step), "s", "integration time step (实验最小扫描时间)"),
    field("pause_time", T::Real, AT(Settings, pause_time), "s",
          "the run pauses whenever the time reaches a multiple of it; 0 = never (暂停时刻)"),
    field("origin_x", T::Int, AT(Settings, origin_x), "px", "picture column of the world origin"),
    field("origin_y", T::Int, AT(Settings, origin_y), "px", "picture row of the world origin"),
    field("scale", T::Real, AT(Settings, scale), "m/px", "world units per pixel"),
    field("g", T::Real, AT(Settings, g), "m/s²", "gravity acceleration (重力加速度)"),
    field("G", T::Real, AT(Settings, G), "N·m²/kg²", "gravitational constant (万有引力恒量)"),
    field("k", T::Real, AT(Settings, k), "N·m²/C²", "electrostatic constant (静电力恒量)"),
    field("c", T::Real, AT(Settings, c), "m/s", "speed of light (真空光速)"),
    field("use_gravity", T::Byte, AT(Settings, use_gravity), "", "1: gravity acts (考虑重力作用)"),
    field("use_mutual_gravitation", T::Byte, AT(Settings, use_mutual_gravitation), "",
          "1: moving objects attract each other (考虑运动对象间万有引力)"),
    field("use_mutual_charge", T::Byte, AT(Settings, use_mutual_charge), "",
          "1: charged moving objects act on each other (考虑运动对象间电荷吸引)"),
    field("use_relativity", T::Byte, AT(Settings, use_relativity), "", "1: relativistic mass (考虑相对论)"),
    field("use_collisions", T::Byte, AT(Settings, use_collisions), "",
          "1: moving objects collide (考虑运动对象间的碰撞)"),
    field("selected_object", T::Int, AT(Settings, selected_object), "",
          "slot of the object drawn with a red frame; -1 = none"),
    field("show_axes", T::Byte, AT(Settings, show_axes), "", "1: draw the coordinate axes"),
    field("show_grid", T::Byte, AT(Settings, show_grid), "", "1: draw the grid"),
    field("show_fine_grid", T::Byte, AT(Settings, show_fine_grid), "", "1: draw the fine grid"),
    field("axes_colour", T::Colour, AT(Settings, axes_colour), "", "colour of the axes and the grid"),
    field("line_width", T::Int, AT(Settings, line_width), "px", "pen width; 2 = bold lines"),
    field("background_colour", T::Colour, AT(Settings, background_colour), "", "scene background"),
    field("background_mode", T::Byte, AT(Settings, background_mode), "",
          "background picture: 0 none, 1 top left, 2 centred, 3 stretched"),
    field("v_scale", T::Real, AT(Settings, v_scale), "", "length scale of velocity arrows"),
    field("a_scale", T::Real, AT(Settings, a_scale), "", "length scale of acceleration arrows"),
    field("f_scale", T::Real, AT(Settings, f_scale), "", "length scale of force arrows"),
    field("v_colour", T::Colour, AT(Settings, v_colour), "", "colour of velocity arrows"),
    field("a_colour", T::Colour, AT(Settings, a_colour), "", "colour of acceleration arrows"),
    field("force_colours", T::Colour, AT(Settings, force_colours), "",
          "colours of the eleven force arrows, in the order of the vector display settings", FORCE_COLOURS),
};

constexpr Field TOOLBAR[] = {
    field("hide_toolbar", T::Int, AT(Toolbar, hide_toolbar), "", "1: no tool bar at all"),
    field("show_settings_button", T::Int, AT(Toolbar, show_settings_button), "", "0: hide the settings button"),
    field("show_run_buttons", T::Int, AT(Toolbar, show_run_buttons), "", "0: hide run, stop and pause"),
    field("show_time", T::Int, AT(Toolbar, show_time), "", "0: hide the time readout"),
    field("show_exit_button", T::Int, AT(Toolbar, show_exit_button), "", "0: hide the exit button"),
    reserved("reserved14", T::Int, AT(Toolbar, reserved14)),
    reserved("reserved22", T::Int, AT(Toolbar, reserved22)),
    reserved("reserved26", T::Int, AT(Toolbar, reserved26)),
};

constexpr Field OBJECTS[] = {
    field("kind", T::Int, AT(MovingObject, kind), "",
          "1 body (运动对象), 2 block (木块), 3 plank (平板), 4 incline (斜面)"),
    shown(field("name", T::Text, 0, "", "name by which programs and measurements find the object"), "名称"),
    field("second_text", T::Text, 1, "", "second text of the object"),
    shown(field("x0", T::Real, AT(MovingObject, x0), "m", "start position x"), "起始位置 x"),
    shown(field("y0", T::Real, AT(MovingObject, y0), "m", "start position y"), "起始位置 y"),
    shown(field("vx0", T::Real, AT(MovingObject, vx0), "m/s", "start velocity x"), "起始速度 vx"),
    shown(field("vy0", T::Real, AT(MovingObject, vy0), "m/s", "start velocity y"), "起始速度 vy"),
    shown(field("rest_mass", T::Real, AT(MovingObject, rest_mass), "kg", "mass; every object needs one"), "质量",
          above_zero("质量必须大于零。")),
    shown(field("charge", T::Real, AT(MovingObject, charge), "C", "electric charge"), "电荷量"),
    shown(field("radius", T::Real, AT(MovingObject, radius), "m", "radius of a body"), "半径",
          at_least_zero("半径必须大于或等于零。")),
    shown(field("fx", T::Real, AT(MovingObject, fx), "N", "applied external force x (人为外力)"), "人为外力 Fx"),
    shown(field("fy", T::Real, AT(MovingObject, fy), "N", "applied external force y"), "人为外力 Fy"),
    shown(field("loss", T::Real, AT(MovingObject, loss), "",
                "0..1: share of the normal speed lost in a collision or bounce"),
          "碰撞损失系数", zero_to_one("碰撞损失系数必须在0到1之间。")),
    field("width", T::Real, AT(MovingObject, width), "m", "width of a block or plank, base of an incline"),
    field("height", T::Real, AT(MovingObject, height), "m", "height of a block, plank or incline"),
    field("ground_mu", T::Real, AT(MovingObject, ground_mu), "",
          "friction coefficient of a plank or incline on the ground"),
    field("surface_mu", T::Real, AT(MovingObject, surface_mu), "", "friction coefficient of its upper surface"),
    field("angle_a", T::Real, AT(MovingObject, angle_a), "°", "incline angle when orientation is 0"),
    field("angle_b", T::Real, AT(MovingObject, angle_b), "°", "incline angle when orientation is 1"),
    field("orientation", T::Int, AT(MovingObject, orientation), "", "0 or 1: which way an incline faces"),
    field("host", T::Int, AT(MovingObject, host), "", "slot of the plank or incline a block rests on"),
    field("riding", T::Int, AT(MovingObject, riding), "", "1: the block is fixed to its host at rel_x, rel_y"),
    runtime("rel_x", T::Real, AT(MovingObject, rel_x), "m", "place of a riding block relative to its host, x"),
    runtime("rel_y", T::Real, AT(MovingObject, rel_y), "m", "place of a riding block relative to its host, y"),
    runtime("stuck", T::Int, AT(MovingObject, stuck), "", "1: the block moves with its host (set at Run)"),
    runtime("x", T::Real, AT(MovingObject, x), "m", "current position x (x0 when the scene is prepared)"),
    runtime("y", T::Real, AT(MovingObject, y), "m", "current position y"),
    runtime("vx", T::Real, AT(MovingObject, vx), "m/s", "current velocity x"),
    runtime("vy", T::Real, AT(MovingObject, vy), "m/s", "current velocity y"),
    runtime("ax", T::Real, AT(MovingObject, ax), "m/s²", "current acceleration x"),
    runtime("ay", T::Real, AT(MovingObject, ay), "m/s²", "current acceleration y"),
    runtime("mass", T::Real, AT(MovingObject, mass), "kg", "current mass (rest_mass when the scene is prepared)"),
    field("trail_colour", T::Colour, AT(MovingObject, trail_colour), "", "colour of the trail and the readouts"),
    field("show_trail", T::Int, AT(MovingObject, show_trail), "", "1: draw the trail"),
    field("ball_rgb", T::Int, AT(MovingObject, ball_r), "", "red, green, blue (0-255) of the generated ball picture",
          3),
    field("own_picture", T::Int, AT(MovingObject, own_picture), "",
          "1: the object has a picture of its own (see pictures)"),
    field("picture_dx", T::Int, AT(MovingObject, picture_dx), "px", "picture's left edge from the object's place"),
    field("picture_dy", T::Int, AT(MovingObject, picture_dy), "px", "picture's top edge from the object's place"),
    field("transparent_colour", T::Colour, AT(MovingObject, transparent_colour), "",
          "key colour of the picture; read as black for the generated ball (see transparent)"),
    field("transparent", T::Int, AT(MovingObject, transparent), "",
          "1: the key colour is transparent. An object shown as the generated ball (no picture of its own, "
          "and no object without a rest_mass before it) is always read with 1, on black"),
    field("strobe_on", T::Byte, AT(MovingObject, strobe_on), "", "1: stamp the object at strobe moments"),
    shown(field("strobe_interval", T::Real, AT(MovingObject, strobe_interval), "s", "time between strobe stamps"),
          "频闪间隔", above_zero("频闪间隔必须大于零。")),
    field("readout_flags", T::Byte, AT(MovingObject, readout_flags), "",
          "readouts at strobe moments: t, x, y, |v|, vx, vy, v angle, |a|, ax, ay, a angle", READOUT_COUNT),
    field("strobe_vector_flags", T::Byte, AT(MovingObject, strobe_vector_flags), "",
          "arrows at strobe moments: v, vx, vy, a, ax, ay, applied, resultant, gravity, electric, -, Lorentz, -, "
          "spring, normal, friction, rope/rod",
          VECTOR_COUNT),
    field("live_vector_flags", T::Byte, AT(MovingObject, live_vector_flags), "",
          "the same seventeen arrows, drawn live", VECTOR_COUNT),
    reserved("reserved4", T::Int, AT(MovingObject, reserved4)),
    reserved("reserved40", T::Real, AT(MovingObject, reserved40), 2),
    reserved("reserved84", T::Int, AT(MovingObject, reserved84), 2),
    reserved("reserved112", T::Real, AT(MovingObject, reserved112), 2),
    reserved("reserved136", T::Real, AT(MovingObject, reserved136), 2),
    internal_runtime("force_x", T::Real, AT(MovingObject, force_x), "N", "resultant force of the last step"),
    internal_runtime("force_y", T::Real, AT(MovingObject, force_y), "N", "resultant force of the last step"),
    internal_runtime("prev_x", T::Real, AT(MovingObject, prev_x), "m", "position after the previous step"),
    internal_runtime("prev_y", T::Real, AT(MovingObject, prev_y), "m", "position after the previous step"),
    internal_runtime("prev_vx", T::Real, AT(MovingObject, prev_vx), "m/s", "velocity after the previous step"),
    internal_runtime("prev_vy", T::Real, AT(MovingObject, prev_vy), "m/s", "velocity after the previous step"),
    internal_runtime("step_ax", T::Real, AT(MovingObject, step_ax), "m/s²", "acceleration over the last step"),
    internal_runtime("step_ay", T::Real, AT(MovingObject, step_ay), "m/s²", "acceleration over the last step"),
    reserved("reserved344", T::Int, AT(MovingObject, reserved344)),
    internal_runtime("screen_x", T::Int, AT(MovingObject, screen_x), "px", "picture position, recomputed"),
    internal_runtime("screen_y", T::Int, AT(MovingObject, screen_y), "px", "picture position, recomputed"),
    internal_runtime("screen_radius", T::Int, AT(MovingObject, screen_radius), "px", "radius in pixels, recomputed"),
    reserved("reserved380", T::Int, AT(MovingObject, reserved380)),
    reserved("reserved396", T::Int, AT(MovingObject, reserved396), 2),
    reserved("pad413", T::Byte, AT(MovingObject, pad413), 3),
    internal_runtime("next_strobe", T::Real, AT(MovingObject, next_strobe), "s", "time of the next stamp, set at Run"),
    reserved("pad477", T::Byte, AT(MovingObject, pad477), 3),
};

constexpr Field FONT[] = {
    field("charset", T::Byte, AT(FontSpec, charset), "", "character set (134 = GB2312)"),
    field("colour", T::Colour, AT(FontSpec, colour), "", "text colour"),
    field("height", T::Int, AT(FontSpec, height), "", "character height (negative: in pixels, without leading)"),
    field("pitch", T::Byte, AT(FontSpec, pitch), "", "pitch and family"),
    field("size", T::Int, AT(FontSpec, size), "pt", "size in points"),
    field("style", T::Byte, AT(FontSpec, style), "", "bits: 1 bold, 2 italic, 4 underline, 8 strike-out"),
    reserved("pad1", T::Byte, AT(FontSpec, pad1), 3),
    reserved("pad13", T::Byte, AT(FontSpec, pad13), 3),
    reserved("pad21", T::Byte, AT(FontSpec, pad21), 3),
};

constexpr Field MEASUREMENTS[] = {
    field("type", T::Int, AT(Measurement, type), "",
          "1 a quantity of one point, 2 a distance, 3 an angle, -1 computed but not drawn"),
    field("quantity", T::Int, AT(Measurement, quantity), "", "which quantity a type 1 measurement reads"),
    field("kind1", T::Int, AT(Measurement, kind1), "", "first referenced point: 1 a moving object, 2 a point"),
    field("kind2", T::Int, AT(Measurement, kind2), "", "second referenced point, same codes"),
    field("kind3", T::Int, AT(Measurement, kind3), "", "third referenced point, same codes"),
    field("texts", T::Text, 0, "",
          "linked variable name, caption before the value, value text, names of up to three referenced points",
          MEASUREMENT_TEXTS),
    field("x", T::Int, AT(Measurement, label_x), "px", "label position x"),
    field("y", T::Int, AT(Measurement, label_y), "px", "label position y"),
    field("colour", T::Colour, AT(Measurement, colour), "", "label colour"),
    field("lines", T::Int, AT(Measurement, show_lines), "", "1: draw the measuring lines"),
    runtime("value", T::Real, AT(Measurement, value), "", "last value read"),
    internal_runtime("label_width", T::Int, AT(Measurement, label_width), "px", "size of the drawn label"),
    internal_runtime("label_height", T::Int, AT(Measurement, label_height), "px", "size of the drawn label"),
    reserved("reserved28", T::Int, AT(Measurement, reserved28)),
    reserved("reserved52", T::Int, AT(Measurement, reserved52)),
    reserved("reserved60", T::Int, AT(Measurement, reserved60)),
};

constexpr Field TEXT_BLOCKS[] = {
    field("in_use", T::Int, AT(TextBlock, in_use), "", "non-zero for every text block"),
    field("x", T::Int, AT(TextBlock, x), "px", "position x"),
    field("y", T::Int, AT(TextBlock, y), "px", "position y"),
    field("font", T::Font, AT(TextBlock, font), "", "font (see fonts)"),
    field("font_name", T::Text, 0, "", "font face name"),
    field("lines", T::Lines, 0, "", "the lines of text", 0),
    reserved("reserved12", T::Int, AT(TextBlock, reserved12), 2),
};

constexpr Field POINTS[] = {
    field("kind", T::Int, AT(Point, kind), "", "non-zero for every point"),
    field("x", T::Real, AT(Point, x), "m", "position x"),
    field("y", T::Real, AT(Point, y), "m", "position y"),
    field("texts", T::Text, 0, "", "name, vector x expression, vector y expression, label, font name", POINT_TEXTS),
    field("vector_scale", T::Real, AT(Point, vector_scale), "", "length scale of the point's vector"),
    field("colour", T::Colour, AT(Point, colour), "", "colour"),
    field("polar", T::Int, AT(Point, polar), "", "1: the vector is given as length and angle"),
    field("show_vector", T::Int, AT(Point, show_vector), "", "1: draw the vector"),
    field("show_trail", T::Int, AT(Point, show_trail), "", "1: draw the trail"),
    field("font", T::Font, AT(Point, font), "", "label font (see fonts)"),
    reserved("reserved4", T::Int, AT(Point, reserved4)),
    internal_runtime("last_screen_x", T::Int, AT(Point, last_screen_x), "px", "last drawn place"),
    internal_runtime("last_screen_y", T::Int, AT(Point, last_screen_y), "px", "last drawn place"),
    internal_runtime("label_width", T::Int, AT(Point, label_width), "px", "size of the drawn label"),
};

constexpr Field ANNOTATIONS[] = {
    field("in_use", T::Int, AT(Annotation, in_use), "", "1 plain, 2 framed"),
    field("text", T::Text, 0, "", "the text; {name} shows a variable's value"),
    field("x", T::Int, AT(Annotation, x), "px", "position x"),
    field("y", T::Int, AT(Annotation, y), "px", "position y"),
    runtime("width", T::Int, AT(Annotation, width), "px", "width, taken from the drawn text"),
    field("font", T::Font, AT(Annotation, font), "", "font (see fonts)"),
    field("font_name", T::Text, 1, "", "font face name"),
    reserved("reserved12", T::Int, AT(Annotation, reserved12)),
};

constexpr Field GRAPHS[] = {
    field("kind", T::Int, AT(FunctionGraph, kind), "", "non-zero for every graph"),
    field("x", T::Int, AT(FunctionGraph, x), "px", "position x"),
    field("y", T::Int, AT(FunctionGraph, y), "px", "position y"),
    field("x_scale", T::Real, AT(FunctionGraph, x_scale), "", "x scale inside the graph"),
    field("y_scale", T::Real, AT(FunctionGraph, y_scale), "", "y scale inside the graph"),
    field("origin_x", T::Real, AT(FunctionGraph, origin_x), "px", "origin inside the 240 x 240 graph, x"),
    field("origin_y", T::Real, AT(FunctionGraph, origin_y), "px", "origin inside the 240 x 240 graph, y"),
    field("background", T::Colour, AT(FunctionGraph, background), "", "background colour"),
    field("colour", T::Colour, AT(FunctionGraph, colour), "", "frame colour"),
    field("transparent", T::Int, AT(FunctionGraph, transparent), "", "1: no background"),
    field("curve_colours", T::Colour, AT(FunctionGraph, curve_colour), "", "colours of the five curves", CURVES),
    field("texts1", T::Text, 0, "", "x expressions of the five curves (数值0 = unused)", CURVES),
    field("texts2", T::Text, CURVES, "", "y variables of the five curves (数值0 = unused)", CURVES),
    reserved("reserved12", T::Int, AT(FunctionGraph, reserved12)),
    reserved("curve_word80", T::Int, AT(FunctionGraph, curve_word80), CURVES),
    reserved("reserved100", T::Int, AT(FunctionGraph, reserved100)),
    internal_runtime("curve_x_value", T::Real, AT(FunctionGraph, curve_x_value), "", "cached x values", CURVES),
    reserved("curve_real144", T::Real, AT(FunctionGraph, curve_real144), CURVES),
    reserved("curve_word184", T::Int, AT(FunctionGraph, curve_word184), CURVES),
    reserved("reserved204", T::Int, AT(FunctionGraph, reserved204)),
    internal_runtime("curve_y_value", T::Real, AT(FunctionGraph, curve_y_value), "", "cached y values", CURVES),
    reserved("curve_real248", T::Real, AT(FunctionGraph, curve_real248), CURVES),
};

constexpr Field VARIABLES[] = {
    field("name", T::Text, VT_NAME, "", "name used in programs, annotations and measurements"),
    field("description", T::Text, VT_DESCRIPTION, "", "description shown by the variable editor"),
    field("value", T::Text, VT_VALUE, "", "value, a number as text"),
    field("initial", T::Text, VT_INITIAL, "", "value at Run; omitted: the same as value"),
    runtime("var_kind", T::Int, AT(Variable, var_kind), "", "0 ordinary; 1 or 2 when a reading drives it (变量类型)"),
    field("value_kind", T::Int, AT(Variable, value_kind), "", "值类型"),
    runtime("reading_form", T::Int, AT(Variable, reading_form), "", "set by the readings: 0, 1 or 3"),
    reserved("reserved0", T::Int, AT(Variable, reserved0)),
    reserved("reserved16", T::Int, AT(Variable, reserved16), 9),
};

constexpr Field PROGRAMS[] = {
    field("lines", T::Lines, AT(EventProgram, line_count), "", "the program's lines (at most 500)"),
    field("words", T::Int, AT(EventProgram, word), "", "the interpreter's words", 3, FIELD_INTERNAL),
    field("lines_after", T::LinesAfter, 0, "", "lines stored after the program's end", 0, FIELD_INTERNAL),
};

constexpr Field RESERVED[] = {
    reserved("word1", T::Int, AT(FileExtras, word1)),
    reserved("word8", T::Int, AT(FileExtras, word8)),
    reserved("block", T::Byte, AT(FileExtras, block), 50),
    reserved("element_words", T::Int, AT(FileExtras, element_words), ELEMENT_TABLES),
    reserved("graph_window", T::Real, AT(FileExtras, graph_window), 6),
    reserved("graph_flags", T::Byte, AT(FileExtras, graph_flags), 2),
    reserved("graph_title", T::Text, 0),
};

constexpr Field ELEMENT_NAME = field("name", T::Text, 0, "", "name of the element");

#define REAL(S, member, unit, meaning) field(#member, T::Real, AT(S, member), unit, meaning)
#define SHOWN(S, member, unit, meaning, ...) shown(REAL(S, member, unit, meaning), __VA_ARGS__)
// Groups of fields that several element kinds share, with the same meaning.
#define REGION(S)                                                                                   \
    SHOWN(S, x1, "m", "region left", "左边界 x1"), SHOWN(S, y1, "m", "region bottom", "下边界 y1"), \
        SHOWN(S, x2, "m", "region right", "右边界 x2"), SHOWN(S, y2, "m", "region top", "上边界 y2")
#define SPRING(S)                                                                                             \
    SHOWN(S, natural_length, "m", "natural length", "弹簧原长", at_least_zero("弹簧原长必须大于或等于零。")), \
        SHOWN(S, stiffness, "N/m", "stiffness (non-zero)", "劲度系数", above_zero("劲度系数必须大于零。")),   \
        REAL(S, mode, "", "0 both ways, 1 only stretched, 2 only compressed")
#define FRICTION(S) \
    REAL(S, kinetic_mu, "", "kinetic friction coefficient"), REAL(S, static_mu, "", "static friction coefficient")
#define LINK_STATE(S)                                                                               \
    runtime("length", T::Real, AT(S, length), "m", "length (set at Run from the start positions)"), \
        runtime("state", T::Real, AT(S, state), "", "non-zero for every record (1.0, set at Run)"), \
        reserved("reserved", T::Real, AT(S, reserved))

constexpr Field Z_FIELDS[] = {
    REGION(ZRegion),
    SHOWN(ZRegion, coefficient, "", "resistance coefficient w (non-zero)", "阻力系数",
          above_zero("阻力系数必须大于零。")),
    SHOWN(ZRegion, exponent, "", "n in F = |v|ⁿ·w", "速度的指数 n"),
    REAL(ZRegion, law, "", "0: w = coefficient, 1: coefficient·m, 2: coefficient·volume"),
    ELEMENT_NAME,
};
constexpr Field M_FIELDS[] = {
    SHOWN(FixedMass, x, "m", "position x", "x"),
    SHOWN(FixedMass, y, "m", "position y", "y"),
    SHOWN(FixedMass, mass, "kg", "mass (non-zero)", "质量", above_zero("质量必须大于零。")),
    ELEMENT_NAME,
};
constexpr Field E_FIELDS[] = {
    SHOWN(FixedCharge, x, "m", "position x", "x"),
    SHOWN(FixedCharge, y, "m", "position y", "y"),
    SHOWN(FixedCharge, charge, "C", "charge (non-zero)", "电荷量", not_zero("电荷量不能为零。")),
    ELEMENT_NAME,
};
constexpr Field EA_FIELDS[] = {
    REGION(ElectricField),
    SHOWN(ElectricField, direction, "rad", "direction of the field", "方向"),
    SHOWN(ElectricField, strength, "N/C", "field strength (non-zero)", "电场强度", not_zero("电场强度不能为零。")),
    ELEMENT_NAME,
};
constexpr Field BA_FIELDS[] = {
    REGION(MagneticField),
    REAL(MagneticField, shape, "", "> 5 circle, < 5 rectangle, 5 no region; positive: out of the plane"),
    SHOWN(MagneticField, induction, "T", "induction (non-zero)", "磁感应强度 (向外为正)",
          not_zero("磁感应强度不能为零。")),
    ELEMENT_NAME,
};
constexpr Field TH_FIELDS[] = {
    REAL(AnchorSpring, anchor_x, "m", "anchor x"),
    REAL(AnchorSpring, anchor_y, "m", "anchor y"),
    SPRING(AnchorSpring),
    REAL(AnchorSpring, object, "", "slot of the object"),
    ELEMENT_NAME,
};
constexpr Field E_TH_FIELDS[] = {
    REAL(ObjectSpring, object_a, "", "slot of one object"),
    REAL(ObjectSpring, object_b, "", "slot of the other object"),
    SPRING(ObjectSpring),
    ELEMENT_NAME,
};
constexpr Field TB_FIELDS[] = {
    REAL(StraightTrack, a, "", "line A·x + B·y + C = 0: A (A or B non-zero)"),
    REAL(StraightTrack, b, "", "B"),
    REAL(StraightTrack, c, "m", "C"),
    REAL(StraightTrack, norm, "", "√(A² + B²)"),
    REAL(StraightTrack, direction, "rad", "direction of the line"),
    REAL(StraightTrack, x1, "m", "first end x"),
    REAL(StraightTrack, y1, "m", "first end y"),
    REAL(StraightTrack, x2, "m", "second end x"),
    REAL(StraightTrack, y2, "m", "second end y"),
    FRICTION(StraightTrack),
    ELEMENT_NAME,
};
constexpr Field CT_FIELDS[] = {
    REAL(ArcTrack, cx, "m", "centre x"),
    REAL(ArcTrack, cy, "m", "centre y"),
    REAL(ArcTrack, start_angle, "rad", "start angle, counter-clockwise"),
    REAL(ArcTrack, end_angle, "rad", "end angle"),
    REAL(ArcTrack, radius, "m", "radius (non-zero)"),
    FRICTION(ArcTrack),
    ELEMENT_NAME,
};
constexpr Field ANCHOR_LINK_FIELDS[] = {
    REAL(AnchorLink, anchor_x, "m", "anchor x"),
    REAL(AnchorLink, anchor_y, "m", "anchor y"),
    LINK_STATE(AnchorLink),
    REAL(AnchorLink, object, "", "slot of the object"),
    ELEMENT_NAME,
};
constexpr Field OBJECT_LINK_FIELDS[] = {
    REAL(ObjectLink, object_a, "", "slot of one object"),
    REAL(ObjectLink, object_b, "", "slot of the other object"),
    LINK_STATE(ObjectLink),
    ELEMENT_NAME,
};

#undef LINK_STATE
#undef FRICTION
#undef SPRING
#undef REGION
#undef SHOWN
#undef REAL
#undef AT

constexpr std::span<const Field> ELEMENT_FIELDS[ELEMENT_TABLES] = {
    Z_FIELDS,  M_FIELDS,  E_FIELDS,           EA_FIELDS,          BA_FIELDS,          TH_FIELDS,         E_TH_FIELDS,
    TB_FIELDS, CT_FIELDS, ANCHOR_LINK_FIELDS, OBJECT_LINK_FIELDS, ANCHOR_LINK_FIELDS, OBJECT_LINK_FIELDS};
constexpr const char* ELEMENT_TITLES[ELEMENT_TABLES] = {"Z: resistance regions",
                                                        "M: fixed masses",
                                                        "E: fixed charges",
                                                        "EA: uniform electric fields",
                                                        "BA: magnetic fields",
                                                        "TH: springs to an anchor",
                                                        "E_TH: springs between objects",
                                                        "TB: straight tracks",
                                                        "CT: circular arc tracks",
                                                        "SH: ropes to an anchor",
                                                        "E_SH: ropes between objects",
                                                        "GAN: rods to an anchor",
                                                        "E_GAN: rods between objects"};

constexpr Section section_of(SectionId id, const char* key, const char* title, std::span<const Field> fields,
                             SectionShape shape, int capacity, std::size_t stored, const char* ends, int texts) {
    return Section{id, -1, key, title, fields, shape, capacity, stored, ends, texts};
}

constexpr std::array<Section, 11 + ELEMENT_TABLES> make_sections() {
    std::array<Section, 11 + ELEMENT_TABLES> s{};
    int n = 0;
    s[n++] = section_of(SectionId::Settings, "settings", "Settings", SETTINGS, SectionShape::Single, 1, 0, "", 0);
    s[n++] = section_of(SectionId::Toolbar, "toolbar", "Tool bar (a packed player's options)", TOOLBAR,
                        SectionShape::Single, 1, 0, "", 0);
    s[n++] = section_of(SectionId::Objects, "objects", "Moving objects", OBJECTS, SectionShape::List, MAX_OBJECTS,
                        sizeof(MovingObject), "kind", 2);
    for (int t = 0; t < ELEMENT_TABLES; ++t) {
        s[n] = section_of(SectionId::Element, ELEMENT_CODES[t], ELEMENT_TITLES[t], ELEMENT_FIELDS[t],
                          SectionShape::List, MAX_ELEMENTS, 8 * static_cast<std::size_t>(ELEMENT_REALS[t]),
                          ELEMENT_FIELDS[t][static_cast<std::size_t>(ELEMENT_PRESENCE[t])].name, 1);
        s[n++].table = t;
    }
    s[n++] = section_of(SectionId::Measurements, "measurements", "Measurements", MEASUREMENTS, SectionShape::List,
                        MAX_MEASUREMENTS, sizeof(Measurement), "type", MEASUREMENT_TEXTS);
    s[n++] = section_of(SectionId::TextBlocks, "text_blocks", "Text blocks", TEXT_BLOCKS, SectionShape::List,
                        MAX_TEXT_BLOCKS, sizeof(TextBlock), "in_use", 1);
    s[n++] = section_of(SectionId::Points, "points", "Points", POINTS, SectionShape::List, MAX_POINTS, POINT_STORED,
                        "kind", POINT_TEXTS);
    s[n++] = section_of(SectionId::Annotations, "annotations", "Annotations", ANNOTATIONS, SectionShape::List,
                        MAX_ANNOTATIONS, sizeof(Annotation), "in_use", 2);
    s[n++] = section_of(SectionId::Graphs, "function_graphs", "Function graphs", GRAPHS, SectionShape::List, MAX_GRAPHS,
                        sizeof(FunctionGraph), "kind", 2 * CURVES);
    s[n++] = section_of(SectionId::Variables, "variables", "Variables", VARIABLES, SectionShape::Counted, MAX_VARIABLES,
                        sizeof(Variable), "", VARIABLE_TEXTS);
    s[n++] = section_of(SectionId::Programs, "programs", "Event programs", PROGRAMS, SectionShape::Indexed,
                        MAX_PROGRAMS, sizeof(EventProgram), "", 0);
    s[n++] = section_of(SectionId::Reserved, "reserved", "Reserved data", RESERVED, SectionShape::Single, 1, 0, "", 1);
    return s;
}

constexpr auto SECTION_TABLE = make_sections();

template <class R>
std::byte* bytes_of(R& r) {
    return reinterpret_cast<std::byte*>(&r);
}

std::byte* element_bytes(Model& m, int table, int slot) {
    return visit_table(m, table, [slot](auto& list) { return bytes_of(list.rec[slot]); });
}

}  // namespace

const std::span<const Section> SECTIONS = SECTION_TABLE;
const std::span<const Field> FONT_FIELDS = FONT;

std::size_t field_bytes(const Field& f) {
    switch (f.type) {
        case T::Int:
        case T::Colour:
            return 4u * f.count;
        case T::Byte:
            return f.count;
        case T::Real:
            return 8u * f.count;
        case T::Font:
            return FONT_STORED;
        case T::Lines:
            return 4u * f.count;
        case T::Text:
        case T::LinesAfter:
            return 0;
    }
    return 0;
}

const Field* find_field(std::span<const Field> fields, std::string_view name) {
    for (const Field& f : fields)
        if (name == f.name) return &f;
    return nullptr;
}

FileExtras file_extras(const Model& m) {
    FileExtras x{};
    x.word1 = m.reserved_word1;
    x.word8 = m.reserved_word8;
    std::memcpy(x.block, m.reserved_block.data(), sizeof x.block);
    for (int t = 0; t < ELEMENT_TABLES; ++t) x.element_words[t] = element_reserved(m, t);
    const GraphWindow& g = m.graph_window;
    const double window[6] = {g.r0, g.r1, g.r2, g.r3, g.r4, g.r5};
    std::memcpy(x.graph_window, window, sizeof window);
    x.graph_flags[0] = g.f0;
    x.graph_flags[1] = g.f1;
    return x;
}

void set_file_extras(Model& m, const FileExtras& x) {
    m.reserved_word1 = x.word1;
    m.reserved_word8 = x.word8;
    std::memcpy(m.reserved_block.data(), x.block, sizeof x.block);
    for (int t = 0; t < ELEMENT_TABLES; ++t) element_reserved(m, t) = x.element_words[t];
    const double* w = x.graph_window;
    m.graph_window = GraphWindow{w[0], w[1], x.graph_flags[0], w[2], w[3], x.graph_flags[1], w[4], w[5]};
}

RecordRef record_ref(Model& m, const Section& s, int slot, FileExtras* extras) {
    RecordRef r;
    switch (s.id) {
        case SectionId::Settings:
            r.bytes = bytes_of(m.settings);
            break;
        case SectionId::Toolbar:
            r.bytes = bytes_of(m.toolbar);
            break;
        case SectionId::Objects:
            r.bytes = bytes_of(m.objects[slot]);
            r.texts[0] = &m.object_texts[slot].name;
            r.texts[1] = &m.object_texts[slot].second;
            break;
        case SectionId::Element:
            r.bytes = element_bytes(m, s.table, slot);
            r.texts[0] = &element_name(m, s.table, slot);
            break;
        case SectionId::Measurements:
            r.bytes = bytes_of(m.measurements[slot]);
            for (int i = 0; i < MEASUREMENT_TEXTS; ++i) r.texts[i] = &m.measurement_texts[slot][i];
            break;
        case SectionId::TextBlocks:
            r.bytes = bytes_of(m.text_blocks[slot]);
            r.texts[0] = &m.text_block_font[slot];
            break;
        case SectionId::Points:
            r.bytes = bytes_of(m.points[slot]);
            for (int i = 0; i < POINT_TEXTS; ++i) r.texts[i] = &m.point_texts[slot][i];
            break;
        case SectionId::Annotations:
            r.bytes = bytes_of(m.annotations[slot]);
            r.texts[0] = &m.annotation_text[slot];
            r.texts[1] = &m.annotation_font[slot];
            break;
        case SectionId::Graphs:
            r.bytes = bytes_of(m.graphs[slot]);
            for (int i = 0; i < CURVES; ++i) {
                r.texts[i] = &m.graph_texts1[slot][i];
                r.texts[CURVES + i] = &m.graph_texts2[slot][i];
            }
            break;
        case SectionId::Variables:
            r.bytes = bytes_of(m.variables[slot]);
            for (int i = 0; i < VARIABLE_TEXTS; ++i) r.texts[i] = &m.variable_texts[slot][i];
            break;
        case SectionId::Programs:
            r.bytes = bytes_of(m.programs[slot]);
            break;
        case SectionId::Reserved:
            r.bytes = extras ? bytes_of(*extras) : nullptr;
            r.texts[0] = &m.graph_title;
            break;
    }
    return r;
}

int section_count(const Model& m, const Section& s) {
    switch (s.id) {
        case SectionId::Settings:
        case SectionId::Reserved:
            return 1;
        case SectionId::Toolbar:
            return m.has_toolbar ? 1 : 0;
        case SectionId::Objects:
            return object_count(m);
        case SectionId::Element:
            return element_count(m, s.table);
        case SectionId::Measurements:
            return measurement_count(m);
        case SectionId::TextBlocks:
            return text_block_count(m);
        case SectionId::Points:
            return point_count(m);
        case SectionId::Annotations:
            return annotation_count(m);
        case SectionId::Graphs:
            return graph_count(m);
        case SectionId::Variables:
            return std::clamp(m.variable_count, 0, MAX_VARIABLES);
        case SectionId::Programs:
            return std::clamp(m.program_count, 0, MAX_PROGRAMS);
    }
    return 0;
}

int line_count(const Model& m, const Section& s, int slot, bool after) {
    if (s.id == SectionId::TextBlocks) return after ? 0 : static_cast<int>(m.text_block_lines[slot].size());
    if (s.id != SectionId::Programs) return 0;
    // The stored count of a program is never trusted beyond its 500 lines.
    const int count = std::clamp(m.programs[slot].line_count, 0, PROGRAM_LINES);
    if (!after) return count;
    const auto& program = m.program_lines[static_cast<std::size_t>(slot)];
    int end = PROGRAM_LINES;
    while (end > count && program[static_cast<std::size_t>(end - 1)].empty()) --end;
    return end - count;
}

const Text& line_at(const Model& m, const Section& s, int slot, int line, bool after) {
    if (s.id == SectionId::TextBlocks) return m.text_block_lines[slot][static_cast<std::size_t>(line)];
    if (after) line += std::clamp(m.programs[slot].line_count, 0, PROGRAM_LINES);
    return m.program_lines[static_cast<std::size_t>(slot)][static_cast<std::size_t>(line)];
}

bool set_lines(Model& m, const Section& s, int slot, std::vector<Text>& lines, bool after) {
    if (s.id == SectionId::TextBlocks && !after) {
        m.text_block_lines[slot] = std::move(lines);
        return true;
    }
    if (s.id != SectionId::Programs) return false;
    const std::size_t first =
        after ? static_cast<std::size_t>(std::clamp(m.programs[slot].line_count, 0, PROGRAM_LINES)) : 0;
    if (first + lines.size() > static_cast<std::size_t>(PROGRAM_LINES)) return false;
    if (lines.empty()) return true;  // leaves the program's texts unallocated
    auto& program = m.program_lines[static_cast<std::size_t>(slot)];
    for (std::size_t i = 0; i < lines.size(); ++i) program[first + i] = std::move(lines[i]);
    if (!after) m.programs[slot].line_count = static_cast<std::int32_t>(lines.size());
    return true;
}

void copy_runtime_fields(Model& to, const Model& from, const Model& to_derived, const Model& from_derived) {
    // record_ref only takes addresses.
    Model& source = const_cast<Model&>(from);
    Model& derived = const_cast<Model&>(to_derived);
    Model& derived_before = const_cast<Model&>(from_derived);
    for (const Section& s : SECTIONS) {
        if (s.shape == SectionShape::Single) continue;
        const int n = std::min(section_count(to, s), section_count(from, s));
        for (int slot = 0; slot < n; ++slot) {
            const RecordRef a = record_ref(to, s, slot), b = record_ref(source, s, slot);
            const RecordRef now = record_ref(derived, s, slot), before = record_ref(derived_before, s, slot);
            for (const Field& f : s.fields) {
                if (!(f.flags & FIELD_RUNTIME) || f.type == FieldType::Text) continue;
                const std::size_t size = field_bytes(f);
                const bool edited = std::memcmp(now.bytes + f.offset, before.bytes + f.offset, size) != 0;
                std::memcpy(a.bytes + f.offset, (edited ? now.bytes : b.bytes) + f.offset, size);
            }
            // A measurement's value text is its last reading, as drawn.
            if (s.id == SectionId::Measurements) {
                const bool edited = *now.texts[MT_VALUE] != *before.texts[MT_VALUE];
                *a.texts[MT_VALUE] = edited ? *now.texts[MT_VALUE] : *b.texts[MT_VALUE];
            }
        }
    }
}

bool must_be_finite(const Field& f) {
    return f.type == FieldType::Real && !(f.flags & (FIELD_INTERNAL | FIELD_RUNTIME));
}

std::string first_non_finite_value(const Model& m) {
    // record_ref only locates the record; nothing is written through it.
    Model& any = const_cast<Model&>(m);
    for (const Section& s : SECTIONS) {
        if (s.id == SectionId::Reserved) continue;
        const bool single = s.shape == SectionShape::Single;
        for (int slot = 0, n = single ? 1 : section_count(m, s); slot < n; ++slot)
            for (const Field& f : s.fields) {
                if (!must_be_finite(f)) continue;
                const std::byte* at = record_ref(any, s, slot).bytes + f.offset;
                for (int i = 0; i < f.count; ++i, at += sizeof(double)) {
                    double d;
                    std::memcpy(&d, at, sizeof d);
                    if (std::isfinite(d)) continue;
                    std::string path = s.id == SectionId::Element ? "elements." : "";
                    path += s.key;
                    if (!single) path += "[" + std::to_string(slot) + "]";
                    return path + "." + f.name;
                }
            }
    }
    return {};
}

std::string text_form_refusal(const std::string& field) {
    return field + " 是 NaN 或无穷大:文本格式只接受有限的数,写出的文本读不回来。请先改正这个值。";
}

void copy_runtime_fields(Model& to, const Model& from) {
    copy_runtime_fields(to, from, from, from);
}

void text_form_defaults(Model& m) {
    m.settings.steps_per_frame = TEXT_FORM_STEPS_PER_FRAME;
}

const Model& reset_reference() {
    static const std::unique_ptr<Model> model = [] {
        std::unique_ptr<Model> m = make_model();
        text_form_defaults(*m);
        return m;
    }();
    return *model;
}

}  // namespace quorrel
