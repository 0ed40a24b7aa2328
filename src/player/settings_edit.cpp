#include "player/settings_edit.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "model/numtext.h"

namespace quorrel {
namespace {

constexpr const char* HINT_CAPTION = "提示";
constexpr const char* NOT_A_REAL = "  不是一个有效的实数!";
constexpr const char* NOT_AN_INTEGER = "  不是一个有效的整数!";
constexpr const char* DIGITS_RANGE = "数据输出的有效位数必须大于零且小于十。";
constexpr const char* TIME_STEP_RANGE = "实验最小扫描时间必须大于零。";
constexpr const char* STEPS_RANGE = "每脉扫描次数必须大于1。";
constexpr const char* PAUSE_RANGE = "暂停时刻必须大于或等于零，等于零时不考虑暂停。";
constexpr const char* SCALE_RANGE = "矢量的比例必须是大于零的实数。";

constexpr double DEFAULT_GRAVITATION = 6.672e-11;
constexpr double DEFAULT_K = 9e9;
constexpr double DEFAULT_C = 3e8;

// The force colours that have a swatch in the vector dialog.
constexpr bool FORCE_EDITABLE[FORCE_COLOURS] = {true, true, true, true, false, true, false, true, true, true, true};

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool read_integer(const std::string& text, std::int32_t& out) {
    std::string_view s = trimmed(text);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    std::int32_t v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return false;
    out = v;
    return true;
}

EditRefusal not_an_integer(int field, const std::string& text) {
    return refuse(field, text + NOT_AN_INTEGER, true);
}

}  // namespace

// An overflow to infinity is not a usable value and counts as invalid, as
// any other text that is not a number.
bool read_real(const std::string& text, double& out) {
    double v = 0;
    if (!parse_number(trimmed(text), v) || !std::isfinite(v)) return false;
    out = v;
    return true;
}

EditRefusal refuse(int field, std::string message, bool hint_box) {
    EditRefusal r;
    r.refused = true;
    r.field = field;
    r.message = std::move(message);
    if (hint_box) {
        r.caption = HINT_CAPTION;
        r.ok_cancel = true;
    }
    return r;
}

EditRefusal not_a_real(int field, const std::string& text) {
    return refuse(field, text + NOT_A_REAL, true);
}

std::string shortest_text(double value) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

SettingsFields settings_fields(const Model& m) {
    const Settings& s = m.settings;
    SettingsFields f;
    f.flag[SF_SHOW_AXES] = s.show_axes == 1;
    f.flag[SF_USE_GRAVITY] = s.use_gravity == 1;
    f.flag[SF_USE_RELATIVITY] = s.use_relativity == 1;
    f.flag[SF_USE_MUTUAL_GRAVITATION] = s.use_mutual_gravitation == 1;
    f.flag[SF_USE_MUTUAL_CHARGE] = s.use_mutual_charge == 1;
    f.flag[SF_USE_COLLISIONS] = s.use_collisions == 1;
    f.flag[SF_BOLD_LINES] = s.line_width >= 2;
    f.flag[SF_SHOW_GRID] = s.show_grid == 1;
    f.flag[SF_SHOW_FINE_GRID] = s.show_fine_grid == 1;
    f.axes_colour = s.axes_colour;
    f.text[ST_TIME_STEP] = shortest_text(s.time_step);
    f.text[ST_STEPS] = std::to_string(s.steps_per_frame);
    f.text[ST_PAUSE] = shortest_text(s.pause_time);
    f.text[ST_G] = format_general(s.g, 4);
    f.text[ST_GRAVITATION] = format_general(s.G, 4);
    f.text[ST_K] = format_general(s.k, 4);
    f.text[ST_C] = format_general(s.c, 4);
    f.text[ST_DIGITS] = std::to_string(m.digits);
    return f;
}

void default_constants(SettingsFields& f) {
    f.text[ST_G] = "9.8";
    f.text[ST_GRAVITATION] = format_general(DEFAULT_GRAVITATION, 4);
    f.text[ST_K] = format_general(DEFAULT_K, 4);
    f.text[ST_C] = format_general(DEFAULT_C, 4);
}

EditRefusal apply_settings(Model& m, const SettingsFields& f) {
    Settings& s = m.settings;
    // The constants, each stored as soon as it converts.
    double* const constants[] = {&s.g, &s.G, &s.k, &s.c};
    for (int i = 0; i < 4; ++i) {
        const int field = ST_G + i;
        if (!read_real(f.text[field], *constants[i])) return not_a_real(field, f.text[field]);
    }
    std::int32_t digits = 0;
    if (!read_integer(f.text[ST_DIGITS], digits)) return not_an_integer(ST_DIGITS, f.text[ST_DIGITS]);
    if (digits < 1 || digits > 9) return refuse(ST_DIGITS, DIGITS_RANGE, false);
    m.digits = digits;

    // The timing goes through copies: the model keeps its values until all are valid.
    double time_step = 0, pause = 0;
    std::int32_t steps = 0;
    if (!read_real(f.text[ST_TIME_STEP], time_step)) return not_a_real(ST_TIME_STEP, f.text[ST_TIME_STEP]);
    if (!read_integer(f.text[ST_STEPS], steps)) return not_an_integer(ST_STEPS, f.text[ST_STEPS]);
    if (!read_real(f.text[ST_PAUSE], pause)) return not_a_real(ST_PAUSE, f.text[ST_PAUSE]);
    if (!(time_step > 0)) return refuse(ST_TIME_STEP, TIME_STEP_RANGE, true);
    if (steps <= 1) return refuse(ST_STEPS, STEPS_RANGE, true);
    if (pause < 0) return refuse(ST_PAUSE, PAUSE_RANGE, true);

    s.show_axes = f.flag[SF_SHOW_AXES];
    s.use_gravity = f.flag[SF_USE_GRAVITY];
    s.use_relativity = f.flag[SF_USE_RELATIVITY];
    s.use_mutual_gravitation = f.flag[SF_USE_MUTUAL_GRAVITATION];
    s.use_mutual_charge = f.flag[SF_USE_MUTUAL_CHARGE];
    s.use_collisions = f.flag[SF_USE_COLLISIONS];
    s.show_grid = f.flag[SF_SHOW_GRID];
    s.show_fine_grid = f.flag[SF_SHOW_FINE_GRID];
    s.line_width = f.flag[SF_BOLD_LINES] ? 2 : 1;
    s.axes_colour = f.axes_colour;
    s.time_step = time_step;
    s.steps_per_frame = steps;
    s.pause_time = pause;
    return {};
}

VectorFields vector_fields(const Model& m) {
    const Settings& s = m.settings;
    VectorFields f;
    f.scale[0] = shortest_text(s.v_scale);
    f.scale[1] = shortest_text(s.a_scale);
    f.scale[2] = shortest_text(s.f_scale);
    for (int i = 0; i < FORCE_COLOURS; ++i) f.force_colours[i] = s.force_colours[i];
    return f;
}

EditRefusal apply_vector_settings(Model& m, const VectorFields& f) {
    Settings& s = m.settings;
    double* const scales[VECTOR_SCALES] = {&s.v_scale, &s.a_scale, &s.f_scale};
    for (int i = 0; i < VECTOR_SCALES; ++i) {
        double v = 0;
        if (!read_real(f.scale[i], v)) return not_a_real(i, f.scale[i]);
        if (!(v > 0)) return refuse(i, SCALE_RANGE, false);
        *scales[i] = v;
    }
    for (int i = 0; i < FORCE_COLOURS; ++i)
        if (FORCE_EDITABLE[i]) s.force_colours[i] = f.force_colours[i];
    return {};
}

}  // namespace quorrel
