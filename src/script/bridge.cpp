#include "script/bridge.h"

#include <algorithm>
#include <cmath>

#include "engine/object_params.h"
#include "model/numtext.h"
#include "script/evaluator.h"
#include "script/keywords.h"

namespace quorrel {

namespace {

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
        return find_object(m, name);
    }
    if (category == kw::AUX_POINT) {
        cat = CAT_POINT;
        return find_point(m, name);
    }
    return -1;
}

// Before the first run a program sees and sets the start position and
// velocity, so that the run starts from them.
bool read_param(const Model& m, Category cat, int slot, std::string_view name, double& out) {
    const ObjectParam* p = find_object_param(name);
    if (p == nullptr) return false;
    if (cat == CAT_POINT) return point_param(m.points[slot], *p, out);
    out = object_param(m.objects[slot], *p, before_run(m));
    return true;
}

// Unknown names and the read-only accelerations change nothing.
void write_param(Model& m, Category cat, int slot, std::string_view name, double v) {
    const ObjectParam* p = find_object_param(name);
    if (p == nullptr) return;
    if (cat == CAT_POINT)
        set_point_param(m.points[slot], *p, v);
    else
        set_object_param(m.objects[slot], *p, v, before_run(m), before_run(m));
}

double reduce_to_digits(double v, int digits) {
    double r = 0;
    if (!parse_number(format_g(v, digits), r)) return v;
    return r;
}

}  // namespace

int read_obj_bl(Model& m, std::string_view args) {
    std::string_view f[4];
    if (split_fields(args, f, 4) != 3) return -1;
    int var = find_variable(m, f[3]);
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
    int var = find_variable(m, f[3]);
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
        int var = find_variable(m, ref);
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
