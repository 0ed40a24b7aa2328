// Lookups, the arc hit test and the removal of readings bound to a variable.
#include "engine/lookups.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/constraints.h"
#include "engine/solvers.h"
#include "model/mapping.h"

namespace quorrel {
namespace {

// A pointer this close to an arc's centre has no direction to test.
constexpr double AT_CENTRE_PX = 1e-10;
// How far from an arc, in pixels, the pointer still hits it.
constexpr double ARC_HIT_PX = 3;

// Slot `i` of the reading list cleared as after a model reset.
void clear_reading(Model& m, int i) {
    std::memset(static_cast<void*>(&m.measurements[i]), 0, sizeof m.measurements[i]);
    m.measurements[i].show_lines = 1;
    for (Text& t : m.measurement_texts[i]) t.clear();
    std::memset(static_cast<void*>(&m.prev_measurements[i]), 0, sizeof m.prev_measurements[i]);
    for (Text& t : m.prev_measurement_texts[i]) t.clear();
}

void delete_variable(Model& m, const Text& name) {
    if (name.empty()) return;
    const int v = find_variable(m, name);
    // The time variable in slot 0 is never deleted.
    if (v <= 0) return;
    const int count = std::min<int>(m.variable_count, MAX_VARIABLES);
    if (v >= count) return;
    for (int i = v; i + 1 < count; ++i) {
        m.variables[i] = m.variables[i + 1];
        m.variable_texts[i] = m.variable_texts[i + 1];
    }
    std::memset(static_cast<void*>(&m.variables[count - 1]), 0, sizeof m.variables[count - 1]);
    for (Text& t : m.variable_texts[count - 1]) t.clear();
    m.variable_count = count - 1;
}

// Closes the gaps among the first n readings: an empty reading deletes the
// variable it names, and everything after it moves up by one place, the
// previous readings too, so that each reading still meets its own previous
// value.
void compact_first(Model& m, int n) {
    int i = 0;
    while (i < n) {
        if (m.measurements[i].type != 0) {
            ++i;
            continue;
        }
        delete_variable(m, m.measurement_texts[i][MT_VARIABLE]);
        for (int j = i; j + 1 < n; ++j) {
            m.measurements[j] = m.measurements[j + 1];
            m.measurement_texts[j] = m.measurement_texts[j + 1];
            m.prev_measurements[j] = m.prev_measurements[j + 1];
            m.prev_measurement_texts[j] = m.prev_measurement_texts[j + 1];
        }
        clear_reading(m, n - 1);
        --n;
    }
}

}  // namespace

int find_by_kind(const Model& m, int kind, const Text& name) {
    if (kind == LOOKUP_OBJECT) return find_object(m, name);
    if (kind == LOOKUP_POINT) return find_point(m, name);
    return -1;
}

bool arc_hit(const Model& m, int k, int px, int py) {
    if (k < 0 || k >= MAX_ELEMENTS) return false;
    const ArcTrack& t = m.CT.rec[k];
    const double scale = m.settings.scale;
    if (!(scale != 0) || !std::isfinite(scale)) return false;
    const double cx = world_px(m.settings, t.cx), cy = world_py(m.settings, t.cy);
    const double dx = px - cx, dy = cy - py;  // world orientation: y up
    const double d = length(dx, dy);
    if (!(d >= AT_CENTRE_PX) || !(std::fabs(d - t.radius / scale) <= ARC_HIT_PX)) return false;
    return on_arc(t, vec_angle(dx, dy));
}

void remove_readings(Model& m, const Text& name) {
    const int n = measurement_count(m);
    for (int i = 0; i < n; ++i)
        if (m.measurement_texts[i][MT_VARIABLE] == name) m.measurements[i].type = 0;
    compact_first(m, n);
}

void compact_readings(Model& m) {
    // The list reaches to its last used reading: a gap inside it must not
    // hide the readings after it.
    int n = MAX_MEASUREMENTS;
    while (n > 0 && m.measurements[n - 1].type == 0) --n;
    compact_first(m, n);
}

}  // namespace quorrel
