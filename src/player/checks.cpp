#include "player/checks.h"

#include <cmath>
#include <numbers>

#include "engine/solvers.h"
#include "model/gbk.h"
#include "model/mapping.h"
#include "model/numtext.h"
#include "player/view_control.h"

namespace quorrel {
namespace {

struct Checker {
    const Model& m;
    const std::vector<RecordLine>& lines;
    std::vector<Finding> found;

    void add(std::string_view section, int slot, std::string text) {
        found.push_back({record_line(lines, section, slot), std::move(text)});
    }
};

// A stored name as messages show it: 「name」, or nothing for an empty one.
std::string quoted(const Text& name) {
    return name.empty() ? std::string() : "「" + gbk_to_utf8(name) + "」";
}

const char* object_kind_name(std::int32_t kind) {
    switch (kind) {
        case KIND_BODY:
            return "运动对象";
        case KIND_BLOCK:
            return "木块";
        case KIND_PLANK:
            return "平板";
        case KIND_INCLINE:
            return "斜面";
    }
    return "对象";
}

std::string object_label(const Model& m, int i) {
    return std::string(object_kind_name(m.objects[i].kind)) + " " + std::to_string(i) + quoted(m.object_texts[i].name);
}

constexpr const char* ELEMENT_NAMES[ELEMENT_TABLES] = {"阻力区", "固定质量", "固定电荷", "电场", "磁场", "弹簧", "弹簧",
                                                       "直轨道", "圆轨道",   "绳",       "绳",   "杆",   "杆"};

std::string element_label(const Model& m, int table, int slot) {
    return std::string(ELEMENT_NAMES[table]) + " " + ELEMENT_CODES[table] + " " + std::to_string(slot) +
           quoted(element_name(m, table, slot));
}

// Two lengths are the same when they differ by less than this share of the
// larger (positions computed in double arithmetic touch "exactly").
constexpr double SAME_LENGTH = 1e-6;

bool less_than(double d, double limit) {
    return d < limit - SAME_LENGTH * std::max(std::fabs(limit), 1e-3);
}

void massless_bodies(Checker& c) {
    if (!c.m.settings.use_gravity) return;
    for (int i = 0; i < object_count(c.m); ++i)
        if (c.m.objects[i].kind == KIND_BODY && c.m.objects[i].rest_mass == 0)
            c.add("objects", i, object_label(c.m, i) + "：没有质量(rest_mass 为 0)，开启了重力它也悬在空中不动。");
}

// The object ends of springs, ropes and rods.
void missing_link_objects(Checker& c) {
    struct End {
        int table;
        int real;  // index of the stored object number
        const char* which;
    };
    static constexpr End ENDS[] = {
        {T_TH, 5, ""},       {T_SH, 5, ""},       {T_GAN, 5, ""},       {T_E_TH, 0, "A 端"},  {T_E_TH, 1, "B 端"},
        {T_E_SH, 0, "A 端"}, {T_E_SH, 1, "B 端"}, {T_E_GAN, 0, "A 端"}, {T_E_GAN, 1, "B 端"},
    };
    double r[11];
    for (const End& e : ENDS) {
        for (int k = 0; k < element_count(c.m, e.table); ++k) {
            get_element(c.m, e.table, k, r);
            const int i = object_slot(c.m, r[e.real]);
            if (i >= 0 && i < object_count(c.m)) continue;
            c.add(ELEMENT_CODES[e.table], k,
                  element_label(c.m, e.table, k) + "：" + e.which + "连接的运动对象 " + number_text(r[e.real]) +
                      " 不存在。");
        }
    }
}

// The object and point names a reading refers to: one for a quantity, two
// for a distance, three for an angle.
void missing_reading_names(Checker& c) {
    for (int k = 0; k < measurement_count(c.m); ++k) {
        const Measurement& r = c.m.measurements[k];
        const auto& t = c.m.measurement_texts[k];
        const int names = r.type == MEASURE_DISTANCE ? 2 : r.type == MEASURE_ANGLE ? 3 : 1;
        const std::int32_t kinds[3] = {r.kind1, r.kind2, r.kind3};
        for (int j = 0; j < names; ++j) {
            const Text& name = t[MT_POINT1 + j];
            const bool object = kinds[j] == REF_OBJECT;
            if (object ? find_object(c.m, name) >= 0 : kinds[j] == REF_POINT && find_point(c.m, name) >= 0) continue;
            const char* what = object ? "运动对象" : kinds[j] == REF_POINT ? "点" : "对象";
            c.add("measurements", k,
                  "测量 " + std::to_string(k) + quoted(t[MT_VARIABLE]) + "：第 " + std::to_string(j + 1) + " 个名字" +
                      (name.empty() ? std::string("是空的") : quoted(name)) + "不是任何" + what + "，读数一直不变。");
        }
    }
}

// A graph's y curves are drawn from the variables their texts name.
void missing_graph_variables(Checker& c) {
    for (int g = 0; g < graph_count(c.m); ++g)
        for (int k = 0; k < CURVES; ++k) {
            const Text& name = c.m.graph_texts2[g][k];
            if (name.empty() || name == gbk::VALUE_ZERO || find_variable(c.m, name) >= 0) continue;
            c.add("function_graphs", g,
                  "函数图 " + std::to_string(g) + "：曲线 " + std::to_string(k + 1) + " 的 y 变量" + quoted(name) +
                      "不存在。");
        }
}

// What keeps a text from being seen: no height and no size, or the
// background's colour.
const char* unseen_font(const Model& m, const FontSpec& f) {
    if (f.height == 0 && f.size == 0) return "字体没有高度和字号，文字看不见。";
    if (f.colour == m.settings.background_colour) return "文字颜色与背景颜色相同，看不见。";
    return nullptr;
}

void invisible_texts(Checker& c) {
    for (int k = 0; k < annotation_count(c.m); ++k)
        if (const char* why = unseen_font(c.m, c.m.annotations[k].font))
            c.add("annotations", k, "标注 " + std::to_string(k) + "：" + why);
    for (int k = 0; k < text_block_count(c.m); ++k)
        if (const char* why = unseen_font(c.m, c.m.text_blocks[k].font))
            c.add("text_blocks", k, "文本框 " + std::to_string(k) + "：" + why);
}

// A body drawn as the generated ball whose brightest part, its highlight,
// has the background's colour: the ball is shaded from 48 above its colour
// (at most 255) down to 48, so only its dim rim shows.
void invisible_bodies(Checker& c) {
    const auto lit = [](std::int32_t v) { return std::clamp(v + 48, 0, 255); };
    for (int i = 0; i < object_count(c.m); ++i) {
        const MovingObject& o = c.m.objects[i];
        if (o.kind != KIND_BODY || o.own_picture != 0) continue;
        const Colour highlight = lit(o.ball_r) | lit(o.ball_g) << 8 | lit(o.ball_b) << 16;
        if (highlight == c.m.settings.background_colour)
            c.add("objects", i, object_label(c.m, i) + "：颜色与背景颜色相同，几乎看不见。");
    }
}

double distance_to_segment(XY p, XY a, XY b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// The distance from p to arc k, or -1 when p lies outside the arc's angles.
double distance_to_arc(const ArcTrack& t, XY p) {
    const double dx = p.x - t.cx, dy = p.y - t.cy;
    const double full = 2 * std::numbers::pi;
    double a = std::atan2(dy, dx) - t.start_angle;
    a -= full * std::floor(a / full);
    double span = t.end_angle - t.start_angle;
    if (span < full) span -= full * std::floor(span / full);
    if (a > span) return -1;
    return std::fabs(std::hypot(dx, dy) - t.radius);
}

// A body overlaps a track when its centre lies closer than its radius, but
// neither touches it (resting on it) nor lies on it (threaded on it).
bool overlaps_track(double d, double radius) {
    return d >= 0 && less_than(d, radius) && d > SAME_LENGTH * std::max(radius, 1e-3);
}

void overlaps_at_start(Checker& c) {
    const int n = object_count(c.m);
    for (int i = 0; i < n; ++i) {
        const MovingObject& a = c.m.objects[i];
        if (a.kind != KIND_BODY) continue;
        const XY p{a.x0, a.y0};
        // Without collisions bodies pass through each other: two started in
        // one place (side by side experiments) are meant so.
        for (int j = i + 1; c.m.settings.use_collisions && j < n; ++j) {
            const MovingObject& b = c.m.objects[j];
            if (b.kind == KIND_BODY && less_than(std::hypot(b.x0 - a.x0, b.y0 - a.y0), a.radius + b.radius))
                c.add("objects", j, object_label(c.m, j) + "：开始时与" + object_label(c.m, i) + "重叠。");
        }
        for (int k = 0; k < element_count(c.m, T_TB); ++k) {
            const StraightTrack& t = c.m.TB.rec[k];
            if (overlaps_track(distance_to_segment(p, {t.x1, t.y1}, {t.x2, t.y2}), a.radius))
                c.add("objects", i,
                      object_label(c.m, i) + "：开始时与" + element_label(c.m, T_TB, k) + "重叠(没有正好贴在轨道上)。");
        }
        for (int k = 0; k < element_count(c.m, T_CT); ++k)
            if (overlaps_track(distance_to_arc(c.m.CT.rec[k], p), a.radius))
                c.add("objects", i,
                      object_label(c.m, i) + "：开始时与" + element_label(c.m, T_CT, k) + "重叠(没有正好贴在轨道上)。");
    }
}

// The ground a host stands on, from `left` to `right`, and how far the
// bottom of block `o` stands off its top: for a plank its upper side, for an
// incline its slope (the triangle's centroid is the incline's position;
// orientation 0 rises to the right).
struct HostTop {
    double left, right;
    double gap;
};

HostTop host_top(const MovingObject& o, const MovingObject& h) {
    const double half = o.height / 2;
    if (h.kind == KIND_PLANK)
        return {h.x0 - h.width / 2, h.x0 + h.width / 2, std::fabs((o.y0 - half) - (h.y0 + h.height / 2))};
    const double theta = (h.orientation == 0 ? h.angle_a : h.angle_b) * std::numbers::pi / 180;
    const double ground = h.y0 - h.height / 3;
    const double s = std::sin(theta), co = std::cos(theta), tn = std::tan(theta);
    if (h.orientation == 0) {
        const double left = h.x0 - 2 * h.width / 3;
        const XY contact{o.x0 + half * s, o.y0 - half * co};
        return {left, left + h.width, std::fabs(contact.y - (ground + (contact.x - left) * tn))};
    }
    const double right = h.x0 + 2 * h.width / 3;
    const XY contact{o.x0 - half * s, o.y0 - half * co};
    return {right - h.width, right, std::fabs(contact.y - (ground + (right - contact.x) * tn))};
}

void blocks_off_host(Checker& c) {
    for (int i = 0; i < object_count(c.m); ++i) {
        const MovingObject& o = c.m.objects[i];
        if (o.kind != KIND_BLOCK) continue;
        const int h = object_slot(c.m, o.host);
        if (h < 0 || (c.m.objects[h].kind != KIND_PLANK && c.m.objects[h].kind != KIND_INCLINE)) {
            c.add("objects", i, object_label(c.m, i) + "：host " + std::to_string(o.host) + " 不是平板或斜面。");
            continue;
        }
        const HostTop top = host_top(o, c.m.objects[h]);
        const bool across = o.x0 < top.left - o.width / 2 || o.x0 > top.right + o.width / 2;
        // A thousandth of the block's height, at least a millimetre.
        if (across || top.gap > std::max(1e-3, o.height * 1e-3))
            c.add("objects", i, object_label(c.m, i) + "：开始时不在" + object_label(c.m, h) + "上。");
    }
}

// Objects whose start position lies outside the picture of the design size.
void out_of_view(Checker& c) {
    const Settings& s = c.m.settings;
    for (int i = 0; i < object_count(c.m); ++i) {
        const double px = world_px(s, c.m.objects[i].x0), py = world_py(s, c.m.objects[i].y0);
        if (px >= 0 && px <= DESIGN_WIDTH && py >= 0 && py <= DESIGN_HEIGHT) continue;
        c.add("objects", i,
              object_label(c.m, i) + "：开始时在画面之外(像素位置 " + std::to_string(std::lround(px)) + ", " +
                  std::to_string(std::lround(py)) + "，画面为 " + std::to_string(DESIGN_WIDTH) + " × " +
                  std::to_string(DESIGN_HEIGHT) + ")。");
    }
}

using Check = void (*)(Checker&);
constexpr Check CHECKS[] = {massless_bodies,         missing_link_objects, missing_reading_names,
                            missing_graph_variables, invisible_texts,      invisible_bodies,
                            overlaps_at_start,       blocks_off_host,      out_of_view};

}  // namespace

std::vector<Finding> check_experiment(const Model& m, const std::vector<RecordLine>& lines) {
    Checker c{m, lines, {}};
    for (const Check check : CHECKS) check(c);
    return std::move(c.found);
}

std::string finding_line(const Finding& f) {
    return f.line > 0 ? "第 " + std::to_string(f.line) + " 行 " + f.text : f.text;
}

std::string findings_status(const std::vector<Finding>& findings) {
    if (findings.empty()) return {};
    return std::to_string(findings.size()) + " 条提示：" + finding_line(findings.front());
}

std::string findings_tooltip(const std::vector<Finding>& findings) {
    std::string text;
    for (const Finding& f : findings) text += (text.empty() ? "" : "\n") + finding_line(f);
    return text;
}

}  // namespace quorrel
