#include "script/bridge.h"

#include <algorithm>
#include <cmath>

#include "model/numtext.h"
#include "script/evaluator.h"
#include "script/keywords.h"

namespace quorrel {

namespace {

// A vector component at or below this has no direction: the angle is taken
// from the other component, or is 0 for a vector of neither.
constexpr double NO_DIRECTION = 1e-100;

// Splits at ASCII and full-width commas, walking GBK characters so that the
// halves of two neighbouring Chinese characters never pass for a comma.
// Returns the number of separators; fills at most `max_fields` fields.
int split_fields(std::string_view t, std::string_view* fields, int max_fields) {
    int seps = 0;
    size_t start = 0;
    for (size_t i = 0; i < t.size();) {
        size_t len = kw::char_length(t, i);
        size_t sep_len = 0;
        if (len == 2 && t.compare(i, 2, kw::FULL_WIDTH_COMMA) == 0)
            sep_len = 2;
        else if (t[i] == ',')
            sep_len = 1;
        if (sep_len) {
            if (seps < max_fields - 1) fields[seps] = t.substr(start, i - start);
            ++seps;
            start = i + sep_len;
        }
        i += len;
    }
    if (seps < max_fields) fields[seps] = t.substr(start);
    return seps;
}

enum Category { CAT_NONE, CAT_OBJECT, CAT_POINT };

// Finds the object; returns its slot or -1.
int find_target(const Model& m, std::string_view category, std::string_view name, Category& cat) {
    cat = CAT_NONE;
    if (category == kw::MOVING_OBJECT) {
        cat = CAT_OBJECT;
        for (int i = 0; i < MAX_OBJECTS && m.objects[i].kind != 0; ++i)
            if (m.object_texts[i].name == name) return i;
    } else if (category == kw::AUX_POINT) {
        cat = CAT_POINT;
        for (int i = 0; i < MAX_POINTS && m.points[i].kind != 0; ++i)
            if (m.point_texts[i][PT_NAME] == name) return i;
    }
    return -1;
}

// Before the first run (time exactly 0 and not running) a program sees and
// sets the start position and velocity, so that the run starts from them.
bool idle_at_start(const Model& m) {
    return m.sim_time == 0 && !m.running;
}

bool read_param(const Model& m, Category cat, int slot, std::string_view p, double& out) {
    if (cat == CAT_POINT) {
        const Point& pt = m.points[slot];
        if (p == "x") return out = pt.x, true;
        if (p == "y") return out = pt.y, true;
        return false;
    }
    const MovingObject& o = m.objects[slot];
    bool idle = idle_at_start(m);
    double x = idle ? o.x0 : o.x, y = idle ? o.y0 : o.y;
    double vx = idle ? o.vx0 : o.vx, vy = idle ? o.vy0 : o.vy;
    if (p == "x") return out = x, true;
    if (p == "y") return out = y, true;
    if (p == "r") return out = length(x, y), true;
    if (p == "deg") return out = polar_angle_deg(x, y), true;
    if (p == "vx") return out = vx, true;
    if (p == "vy") return out = vy, true;
    if (p == "|v|") return out = length(vx, vy), true;
    if (p == "v_deg") return out = polar_angle_deg(vx, vy), true;
    if (p == "ax") return out = o.ax, true;
    if (p == "ay") return out = o.ay, true;
    if (p == "|a|") return out = length(o.ax, o.ay), true;
    if (p == "a_deg") return out = polar_angle_deg(o.ax, o.ay), true;
    if (p == "fx") return out = o.fx, true;
    if (p == "fy") return out = o.fy, true;
    if (p == "|f|") return out = length(o.fx, o.fy), true;
    if (p == "f_deg") return out = polar_angle_deg(o.fx, o.fy), true;
    return false;
}

// Sets a vector by length (keeping its direction) or by direction in degrees
// (keeping its length).
void set_length(double& x, double& y, double length) {
    double a = radians(polar_angle_deg(x, y));
    x = length * std::cos(a);
    y = length * std::sin(a);
}
void set_direction(double& x, double& y, double deg) {
    double l = length(x, y);
    x = l * std::cos(radians(deg));
    y = l * std::sin(radians(deg));
}

void write_param(Model& m, Category cat, int slot, std::string_view p, double v) {
    if (cat == CAT_POINT) {
        if (p == "x") m.points[slot].x = v;
        if (p == "y") m.points[slot].y = v;
        return;
    }
    MovingObject& o = m.objects[slot];
    bool idle = idle_at_start(m);
    bool position = p == "x" || p == "y" || p == "r" || p == "deg";
    bool velocity = p == "vx" || p == "vy" || p == "|v|" || p == "v_deg";
    if (position) {
        double x = idle ? o.x0 : o.x, y = idle ? o.y0 : o.y;
        if (p == "x") x = v;
        if (p == "y") y = v;
        if (p == "r") set_length(x, y, v);
        if (p == "deg") set_direction(x, y, v);
        o.x = x, o.y = y;
        if (idle) o.x0 = x, o.y0 = y;
    } else if (velocity) {
        double vx = idle ? o.vx0 : o.vx, vy = idle ? o.vy0 : o.vy;
        if (p == "vx") vx = v;
        if (p == "vy") vy = v;
        if (p == "|v|") set_length(vx, vy, v);
        if (p == "v_deg") set_direction(vx, vy, v);
        o.vx = vx, o.vy = vy;
        if (idle) o.vx0 = vx, o.vy0 = vy;
    } else if (p == "fx") {
        o.fx = v;
    } else if (p == "fy") {
        o.fy = v;
    } else if (p == "|f|") {
        set_length(o.fx, o.fy, v);
    } else if (p == "f_deg") {
        set_direction(o.fx, o.fy, v);
    }
    // ax, ay, |a|, a_deg are read only; unknown names change nothing.
}

double reduce_to_digits(double v, int digits) {
    double r = 0;
    if (!parse_number(format_g(v, digits), r)) return v;
    return r;
}

}  // namespace

double polar_angle_deg(double x, double y) {
    double a;
    if (std::fabs(x) >= NO_DIRECTION) {
        a = std::atan(y / x);
        if (x < 0) a += PI;
    } else if (std::fabs(y) >= NO_DIRECTION) {
        a = y > 0 ? PI / 2 : 3 * PI / 2;
    } else {
        a = 0;
    }
    if (a < 0) a += 2 * PI;
    return degrees(a);
}

int read_obj_bl(Model& m, std::string_view args) {
    std::string_view f[4];
    if (split_fields(args, f, 4) != 3) return -1;
    int var = find_bl(m, f[3]);
    if (var < 0) return -1;
    Category cat;
    int slot = find_target(m, f[0], f[1], cat);
    if (slot < 0) return -1;
    double v;
    if (!read_param(m, cat, slot, f[2], v)) return -1;
    m.variable_texts[var][VT_VALUE] = number_text(v);
    return 0;
}

int write_obj_bl(Model& m, std::string_view args) {
    std::string_view f[4];
    if (split_fields(args, f, 4) != 3) return -1;
    double v;
    int var = find_bl(m, f[3]);
    if (!parse_number(var >= 0 ? std::string_view(m.variable_texts[var][VT_VALUE]) : f[3], v)) return -1;
    // A non-finite value would poison the integration; refuse it like any
    // other value that is not a number.
    if (!std::isfinite(v)) return -1;
    Category cat;
    int slot = find_target(m, f[0], f[1], cat);
    if (slot < 0) return -1;
    write_param(m, cat, slot, f[2], v);
    return 0;
}

double text_obj_bl(const Model& m, std::string_view args) {
    std::string_view f[3];
    if (split_fields(args, f, 3) != 2) return 0;
    Category cat;
    int slot = find_target(m, f[0], f[1], cat);
    double v;
    if (slot < 0 || !read_param(m, cat, slot, f[2], v)) return 0;
    return reduce_to_digits(v, m.digits);
}

std::string str_bl_to_str(const Model& m, std::string_view text) {
    std::string work(text);
    // The expansion may not grow the text beyond the working size; a longer
    // stored text is kept whole, its references expanded only while it does not grow.
    const size_t limit = std::max(static_cast<size_t>(MAX_EXPANDED_TEXT), work.size());
    for (int n = 0; n < MAX_TEXT_REFERENCES; ++n) {
        size_t open = work.find('{');
        if (open == std::string::npos) break;
        size_t close = work.find('}', open + 1);
        if (close == std::string::npos) break;
        std::string_view ref(work.data() + open + 1, close - open - 1);
        double v = 0;
        int var = find_bl(m, ref);
        if (var >= 0) {
            if (!parse_number(m.variable_texts[var][VT_VALUE], v)) v = 0;
        } else {
            v = text_obj_bl(m, ref);
        }
        std::string value = format_g(v, m.digits);
        if (work.size() - (close + 1 - open) + value.size() > limit) break;
        work.replace(open, close + 1 - open, value);
    }
    return work;
}

}  // namespace quorrel
