#include "player/property_edit.h"

#include <cmath>

#include "engine/solvers.h"
#include "model/drag_codes.h"
#include "model/gbk.h"
#include "model/numtext.h"

namespace quorrel {
namespace {

// An untouched text keeps the exact value behind its rounded digits.
constexpr int SHOWN_DIGITS = 12;

constexpr const char* ENTER_NAME = "请输入名称";
constexpr const char* NAME_TAKEN = "已经有此名称的运动对象,请用另外一个名称";
constexpr const char* NAME_TOO_LONG = "名称太长,请改短一些";
constexpr const char* MASS_RANGE = "质量必须大于零。";
constexpr const char* RADIUS_RANGE = "半径必须大于或等于零。";
constexpr const char* LOSS_RANGE = "碰撞损失系数必须在0到1之间。";
constexpr const char* SPEED_RANGE = "速率必须大于或等于零。";
constexpr const char* LIGHT_SPEED = "考虑相对论时，速率必须小于真空光速。";
constexpr const char* STROBE_RANGE = "频闪间隔必须大于零。";
constexpr const char* NATURAL_LENGTH_RANGE = "弹簧原长必须大于或等于零。";
constexpr const char* STIFFNESS_RANGE = "劲度系数必须大于零。";
constexpr const char* COEFFICIENT_RANGE = "阻力系数必须大于零。";
constexpr const char* CHARGE_ZERO = "电荷量不能为零。";
constexpr const char* FIELD_ZERO = "电场强度不能为零。";
constexpr const char* INDUCTION_ZERO = "磁感应强度不能为零。";
constexpr const char* RIGHT_OF_LEFT = "区域的右边界必须大于左边界。";
constexpr const char* TOP_ABOVE_BOTTOM = "区域的上边界必须大于下边界。";

// A BA shape code of this magnitude or more is drawn as a circle; the codes a
// changed shape gets.
constexpr double ROUND_SHAPE = 5;
constexpr double RECTANGLE_CODE = 1;
constexpr double CIRCLE_CODE = 10;

// Reads field `k` unless its text is the one shown, in which case `value`
// keeps the exact value behind it. Sets `changed` when the text was edited.
bool read_changed(const std::string& text, const std::string& was, int field, double& value, bool& changed,
                  EditRefusal& r) {
    changed = text != was;
    if (!changed) return true;
    if (read_real(text, value)) return true;
    r = not_a_real(field, text);
    return false;
}

// A 0/1 flag stored only when it was switched, so other non-zero words survive.
template <class T>
void store_flag(T& field, bool on) {
    if ((field != 0) != on) field = on ? 1 : 0;
}

// ---- The connectors of an object. ----

struct ConnectorKind {
    int table;
    bool spring;
    bool two_objects;
    const char* what;
};
const ConnectorKind CONNECTOR_KINDS[] = {{T_TH, true, false, "弹簧"}, {T_E_TH, true, true, "弹簧"},
                                         {T_SH, false, false, "绳"},  {T_E_SH, false, true, "绳"},
                                         {T_GAN, false, false, "杆"}, {T_E_GAN, false, true, "杆"}};

std::string object_label(const Model& m, int i) {
    const Text& name = m.object_texts[i].name;
    return name.empty() ? "第" + std::to_string(i + 1) + "个运动对象" : gbk_to_utf8(name);
}

std::vector<ConnectorFields> connectors_of(const Model& m, int slot) {
    std::vector<ConnectorFields> rows;
    const MovingObject& o = m.objects[slot];
    for (const ConnectorKind& k : CONNECTOR_KINDS) {
        const int n = element_count(m, k.table);
        for (int e = 0; e < n; ++e) {
            double r[11];
            get_element(m, k.table, e, r);
            // Anchored: (anchor x, anchor y, length, ..., object at 5);
            // between objects: (a, b, length, ...).
            const int a = object_slot(m, k.two_objects ? r[0] : r[5]);
            const int b = k.two_objects ? object_slot(m, r[1]) : -1;
            if (a != slot && b != slot) continue;
            ConnectorFields c;
            c.table = k.table;
            c.slot = e;
            c.editable = k.spring;
            const int other = a == slot ? b : a;
            c.caption = k.two_objects
                            ? std::string(k.what) + "（连接“" + (other >= 0 ? object_label(m, other) : "?") + "”）"
                            : std::string(k.what) + "（固定端）";
            if (k.spring) {
                c.length = property_text(r[2]);
                c.stiffness = property_text(r[3]);
            } else if (k.two_objects) {
                c.length = other >= 0
                               ? property_text(std::hypot(o.x0 - m.objects[other].x0, o.y0 - m.objects[other].y0))
                               : property_text(r[2]);
            } else {
                c.length = property_text(std::hypot(o.x0 - r[0], o.y0 - r[1]));
            }
            rows.push_back(std::move(c));
        }
    }
    return rows;
}

// A new name for object `slot`, in GBK; false with the refusal when it cannot be used.
bool check_name(const Model& m, int slot, const std::string& utf8, Text& name, EditRefusal& r) {
    std::string bad;
    if (utf8.empty()) {
        r = refuse(OT_NAME, ENTER_NAME, true);
    } else if (!utf8_to_gbk_exact(utf8, name, bad)) {
        r = refuse(OT_NAME, "字符“" + bad + "”无法保存,请改用其他字符", true);
    } else if (name.size() > static_cast<std::size_t>(MAX_TEXT_BYTES)) {
        r = refuse(OT_NAME, NAME_TOO_LONG, true);
    } else {
        const int same = find_object(m, name);
        if (same < 0 || same == slot) return true;
        r = refuse(OT_NAME, NAME_TAKEN, true);
    }
    return false;
}

// Measurements find their objects by name: those that named this object by
// its old name name it by the new one.
void rename_references(Model& m, int slot, const Text& old_name, const Text& name) {
    if (old_name.empty() || find_object(m, old_name) != slot) return;
    const int n = measurement_count(m);
    for (int k = 0; k < n; ++k) {
        const Measurement& d = m.measurements[k];
        const std::int32_t kinds[3] = {d.kind1, d.kind2, d.kind3};
        for (int j = 0; j < 3; ++j) {
            Text& ref = m.measurement_texts[k][MT_POINT1 + j];
            if (kinds[j] == REF_OBJECT && ref == old_name) ref = name;
        }
    }
}

// The object's values once every field has been read.
struct ObjectValues {
    double x0, y0, vx0, vy0, mass, charge, radius, loss, fx, fy, strobe;
};

bool read_velocity(const Model& m, const MovingObject& o, const ObjectFields& f, const ObjectFields& was,
                   ObjectValues& v, EditRefusal& r) {
    bool changed = false;
    if (f.polar_velocity && (f.text[OT_SPEED] != was.text[OT_SPEED] || f.text[OT_ANGLE] != was.text[OT_ANGLE])) {
        double speed = length(o.vx0, o.vy0), angle = degrees(vec_angle(o.vx0, o.vy0));
        bool speed_changed = false;
        if (!read_changed(f.text[OT_SPEED], was.text[OT_SPEED], OT_SPEED, speed, speed_changed, r)) return false;
        if (!read_changed(f.text[OT_ANGLE], was.text[OT_ANGLE], OT_ANGLE, angle, changed, r)) return false;
        if (speed < 0) {
            r = refuse(OT_SPEED, SPEED_RANGE, true);
            return false;
        }
        const XY c = velocity_components(speed, angle);
        v.vx0 = c.x;
        v.vy0 = c.y;
        changed = true;
    } else {
        bool vy_changed = false;
        if (!read_changed(f.text[OT_VX0], was.text[OT_VX0], OT_VX0, v.vx0, changed, r)) return false;
        if (!read_changed(f.text[OT_VY0], was.text[OT_VY0], OT_VY0, v.vy0, vy_changed, r)) return false;
        changed = changed || vy_changed;
    }
    // The relativistic mass has no value at or beyond the speed of light.
    if (changed && m.settings.use_relativity && !(length(v.vx0, v.vy0) < m.settings.c)) {
        r = refuse(f.polar_velocity ? OT_SPEED : OT_VX0, LIGHT_SPEED, true);
        return false;
    }
    return true;
}

// Reads a real field and checks its range when it was edited.
struct RangeCheck {
    int field;
    double* value;
    bool (*ok)(double);
    const char* message;
};

bool positive(double v) {
    return v > 0;
}
bool not_negative(double v) {
    return v >= 0;
}
bool any(double) {
    return true;
}
bool non_zero(double v) {
    return v != 0;
}
bool unit_interval(double v) {
    return v >= 0 && v <= 1;
}

bool read_checked(const std::string& text, const std::string& was, const RangeCheck& c, bool& changed, EditRefusal& r) {
    if (!read_changed(text, was, c.field, *c.value, changed, r)) return false;
    if (changed && !c.ok(*c.value)) {
        r = refuse(c.field, c.message, true);
        return false;
    }
    return true;
}

bool read_checked(const std::string* text, const std::string* was, const RangeCheck& c, EditRefusal& r) {
    bool changed = false;
    return read_checked(text[c.field], was[c.field], c, changed, r);
}

// A spring row's new natural length and stiffness, where they were edited.
struct SpringEdit {
    bool length_changed = false, stiffness_changed = false;
    double length = 0, stiffness = 0;
};

bool read_connectors(const ObjectFields& f, const ObjectFields& was, std::vector<SpringEdit>& springs, EditRefusal& r) {
    // The rows are those the model has now: a row of the dialog that does
    // not match them (the model changed under it) stores nothing.
    springs.assign(was.connectors.size(), SpringEdit{});
    for (std::size_t i = 0; i < was.connectors.size() && i < f.connectors.size(); ++i) {
        const ConnectorFields& c = f.connectors[i];
        const ConnectorFields& w = was.connectors[i];
        if (!w.editable || c.table != w.table || c.slot != w.slot) continue;
        const int row = static_cast<int>(i);
        SpringEdit& e = springs[i];
        const RangeCheck length{connector_field(row, false), &e.length, not_negative, NATURAL_LENGTH_RANGE};
        const RangeCheck stiffness{connector_field(row, true), &e.stiffness, positive, STIFFNESS_RANGE};
        if (!read_checked(c.length, w.length, length, e.length_changed, r) ||
            !read_checked(c.stiffness, w.stiffness, stiffness, e.stiffness_changed, r))
            return false;
    }
    return true;
}

}  // namespace

std::string property_text(double value) {
    return format_general(value, SHOWN_DIGITS);
}

void velocity_polar_texts(double vx, double vy, std::string& speed, std::string& angle) {
    speed = property_text(length(vx, vy));
    angle = property_text(degrees(vec_angle(vx, vy)));
}

XY velocity_components(double speed, double angle_degrees) {
    double a = std::fmod(angle_degrees, 360.0);
    if (a < 0) a += 360.0;
    if (a == 0) return {speed, 0};
    if (a == 90) return {0, speed};
    if (a == 180) return {-speed, 0};
    if (a == 270) return {0, -speed};
    const double rad = radians(a);
    return {speed * std::cos(rad), speed * std::sin(rad)};
}

ObjectFields object_fields(const Model& m, int slot) {
    const MovingObject& o = m.objects[slot];
    ObjectFields f;
    f.text[OT_NAME] = gbk_to_utf8(m.object_texts[slot].name);
    const double values[] = {o.x0, o.y0, o.vx0, o.vy0};
    for (int k = 0; k < 4; ++k) f.text[OT_X0 + k] = property_text(values[k]);
    velocity_polar_texts(o.vx0, o.vy0, f.text[OT_SPEED], f.text[OT_ANGLE]);
    f.text[OT_MASS] = property_text(o.rest_mass);
    f.text[OT_CHARGE] = property_text(o.charge);
    f.text[OT_RADIUS] = property_text(o.radius);
    f.text[OT_LOSS] = property_text(o.loss);
    f.text[OT_FX] = property_text(o.fx);
    f.text[OT_FY] = property_text(o.fy);
    f.text[OT_STROBE_INTERVAL] = property_text(o.strobe_interval);
    f.show_trail = o.show_trail != 0;
    f.trail_colour = o.trail_colour;
    f.strobe_on = o.strobe_on != 0;
    for (int k = 0; k < READOUT_COUNT; ++k) f.readout[k] = o.readout_flags[k] != 0;
    for (int k = 0; k < VECTOR_COUNT; ++k) {
        f.strobe_vector[k] = o.strobe_vector_flags[k] != 0;
        f.live_vector[k] = o.live_vector_flags[k] != 0;
    }
    f.connectors = connectors_of(m, slot);
    return f;
}

EditRefusal apply_object_properties(Model& m, int slot, const ObjectFields& f) {
    MovingObject& o = m.objects[slot];
    const ObjectFields was = object_fields(m, slot);
    EditRefusal r;

    Text name = m.object_texts[slot].name;
    const bool renamed = f.text[OT_NAME] != was.text[OT_NAME];
    if (renamed && !check_name(m, slot, f.text[OT_NAME], name, r)) return r;

    ObjectValues v{o.x0, o.y0, o.vx0, o.vy0, o.rest_mass, o.charge, o.radius, o.loss, o.fx, o.fy, o.strobe_interval};
    if (!read_checked(f.text, was.text, {OT_X0, &v.x0, any, ""}, r)) return r;
    if (!read_checked(f.text, was.text, {OT_Y0, &v.y0, any, ""}, r)) return r;
    if (!read_velocity(m, o, f, was, v, r)) return r;
    const RangeCheck checks[] = {{OT_MASS, &v.mass, positive, MASS_RANGE},
                                 {OT_CHARGE, &v.charge, any, ""},
                                 {OT_RADIUS, &v.radius, not_negative, RADIUS_RANGE},
                                 {OT_LOSS, &v.loss, unit_interval, LOSS_RANGE},
                                 {OT_FX, &v.fx, any, ""},
                                 {OT_FY, &v.fy, any, ""},
                                 {OT_STROBE_INTERVAL, &v.strobe, positive, STROBE_RANGE}};
    for (const RangeCheck& c : checks)
        if (!read_checked(f.text, was.text, c, r)) return r;
    std::vector<SpringEdit> springs;
    if (!read_connectors(f, was, springs, r)) return r;

    // Everything is valid: store.
    if (renamed) {
        rename_references(m, slot, m.object_texts[slot].name, name);
        m.object_texts[slot].name = name;
    }
    o.x0 = v.x0;
    o.y0 = v.y0;
    o.vx0 = v.vx0;
    o.vy0 = v.vy0;
    if (o.rest_mass != v.mass) o.rest_mass = o.mass = v.mass;
    o.charge = v.charge;
    o.radius = v.radius;
    o.loss = v.loss;
    o.fx = v.fx;
    o.fy = v.fy;
    o.strobe_interval = v.strobe;
    store_flag(o.show_trail, f.show_trail);
    o.trail_colour = f.trail_colour;
    store_flag(o.strobe_on, f.strobe_on);
    for (int k = 0; k < READOUT_COUNT; ++k) store_flag(o.readout_flags[k], f.readout[k]);
    for (int k = 0; k < VECTOR_COUNT; ++k) {
        store_flag(o.strobe_vector_flags[k], f.strobe_vector[k]);
        store_flag(o.live_vector_flags[k], f.live_vector[k]);
    }
    for (std::size_t i = 0; i < springs.size(); ++i) {
        const ConnectorFields& c = was.connectors[i];
        double reals[11];
        get_element(m, c.table, c.slot, reals);
        // A spring's natural length and stiffness are its reals 2 and 3.
        if (springs[i].length_changed) reals[2] = springs[i].length;
        if (springs[i].stiffness_changed) reals[3] = springs[i].stiffness;
        set_element(m, c.table, c.slot, reals);
    }
    return {};
}

// ---- Fields and regions. ----

namespace {

const char* const X = "x";
const char* const Y = "y";
const char* const METRE = "米";

const ElementForm REGION_Z = {"阻力区域",
                              6,
                              {"左边界 x1", "下边界 y1", "右边界 x2", "上边界 y2", "阻力系数", "速度的指数 n"},
                              {METRE, METRE, METRE, METRE, "", ""},
                              "阻力规律",
                              3,
                              {"f = k·vⁿ", "f = k·m·vⁿ", "f = k·(4/3)πr³·vⁿ"}};
const ElementForm MASS_M = {"固定质点", 3, {X, Y, "质量"}, {METRE, METRE, "千克"}, nullptr, 0, {}};
const ElementForm CHARGE_E = {"固定点电荷", 3, {X, Y, "电荷量"}, {METRE, METRE, "库仑"}, nullptr, 0, {}};
const ElementForm FIELD_EA = {"匀强电场",
                              6,
                              {"左边界 x1", "下边界 y1", "右边界 x2", "上边界 y2", "方向", "电场强度"},
                              {METRE, METRE, METRE, METRE, "度", "牛/库仑"},
                              nullptr,
                              0,
                              {}};
const ElementForm FIELD_BA = {"匀强磁场",
                              5,
                              {"左边界 x1", "下边界 y1", "右边界 x2", "上边界 y2", "磁感应强度 (向外为正)"},
                              {METRE, METRE, METRE, METRE, "特斯拉"},
                              "区域形状",
                              2,
                              {"矩形", "圆形"}};
const ElementForm NO_FORM = {"", 0, {}, {}, nullptr, 0, {}};

// The row of a region's strength, and the check it gets.
struct Strength {
    int row;
    bool (*ok)(double);
    const char* message;
};
Strength strength_of(int table) {
    switch (table) {
        case T_Z:
            return {4, positive, COEFFICIENT_RANGE};
        case T_M:
            return {2, positive, MASS_RANGE};
        case T_E:
            return {2, non_zero, CHARGE_ZERO};
        case T_EA:
            return {5, non_zero, FIELD_ZERO};
        default:
            return {4, non_zero, INDUCTION_ZERO};
    }
}

bool is_region(int table) {
    return table == T_Z || table == T_EA || table == T_BA;
}

// A magnetic region shows the field it makes: the sign of its shape code
// turns the induction's direction.
double shape_sign(double shape) {
    return shape < 0 ? -1.0 : 1.0;
}

// The element's values in the rows' order.
void element_values(const Model& m, int table, int slot, double* v, int& choice) {
    double r[11];
    get_element(m, table, slot, r);
    for (int k = 0; k < ELEMENT_FIELD_TEXTS; ++k) v[k] = k < element_reals(table) ? r[k] : 0;
    choice = -1;
    if (table == T_Z) {
        const double law = r[6];
        if (law == 0 || law == 1 || law == 2) choice = static_cast<int>(law);
    } else if (table == T_EA) {
        v[4] = degrees(r[4]);
    } else if (table == T_BA) {
        v[4] = r[5] * shape_sign(r[4]);
        choice = std::fabs(r[4]) >= ROUND_SHAPE ? 1 : 0;
    }
}

}  // namespace

bool has_element_properties(int table) {
    return table == T_Z || table == T_M || table == T_E || table == T_EA || table == T_BA;
}

int element_table_of(int drag_state) {
    switch (drag_state) {
        case DRAG_Z:
            return T_Z;
        case DRAG_M:
            return T_M;
        case DRAG_E:
            return T_E;
        case DRAG_EA:
            return T_EA;
        case DRAG_BA:
            return T_BA;
        default:
            return -1;
    }
}

bool has_properties(int drag_state) {
    return drag_state == DRAG_MOVING || element_table_of(drag_state) >= 0;
}

const ElementForm& element_form(int table) {
    switch (table) {
        case T_Z:
            return REGION_Z;
        case T_M:
            return MASS_M;
        case T_E:
            return CHARGE_E;
        case T_EA:
            return FIELD_EA;
        case T_BA:
            return FIELD_BA;
        default:
            return NO_FORM;
    }
}

ElementFields element_fields(const Model& m, int table, int slot) {
    ElementFields f;
    double v[ELEMENT_FIELD_TEXTS];
    element_values(m, table, slot, v, f.choice);
    for (int k = 0; k < element_form(table).rows; ++k) f.text[k] = property_text(v[k]);
    return f;
}

EditRefusal apply_element_properties(Model& m, int table, int slot, const ElementFields& f) {
    if (!has_element_properties(table)) return {};
    const ElementForm& form = element_form(table);
    const ElementFields was = element_fields(m, table, slot);
    double v[ELEMENT_FIELD_TEXTS];
    int choice = -1;
    element_values(m, table, slot, v, choice);
    const Strength strength = strength_of(table);
    EditRefusal r;
    bool changed[ELEMENT_FIELD_TEXTS] = {};
    for (int k = 0; k < form.rows; ++k) {
        const RangeCheck c{k, &v[k], k == strength.row ? strength.ok : any, strength.message};
        if (!read_checked(f.text[k], was.text[k], c, changed[k], r)) return r;
    }
    if (is_region(table) && (changed[0] || changed[1] || changed[2] || changed[3])) {
        if (!(v[2] > v[0])) return refuse(2, RIGHT_OF_LEFT, true);
        if (!(v[3] > v[1])) return refuse(3, TOP_ABOVE_BOTTOM, true);
    }

    double rec[11];
    get_element(m, table, slot, rec);
    // The rows are the record's reals in order, but for an electric field's
    // direction (shown in degrees) and a magnetic region's induction (below).
    for (int k = 0; k < form.rows; ++k)
        if (changed[k] && !(table == T_BA && k == 4)) rec[k] = table == T_EA && k == 4 ? radians(v[k]) : v[k];
    if (table == T_Z && f.choice != choice && f.choice >= 0 && f.choice < 3) rec[6] = f.choice;
    if (table == T_BA) {
        // The row stands for the induction as the field makes it; the record
        // keeps the sign of its shape code and takes the induction to match.
        double shape = rec[4];
        if (f.choice != choice && (f.choice == 0 || f.choice == 1))
            shape = shape_sign(shape) * (f.choice == 1 ? CIRCLE_CODE : RECTANGLE_CODE);
        if (shape == 0 && changed[4]) shape = RECTANGLE_CODE;
        rec[4] = shape;
        if (changed[4]) rec[5] = v[4] * shape_sign(shape);
    }
    set_element(m, table, slot, rec);
    return {};
}

// ---- On the player. ----

namespace {

template <class Fields, class Read, class Apply>
EditRefusal confirm(PlayerState& p, Read read, Apply apply) {
    Model& m = *p.model;
    const Fields before = read(m);
    p.edits.begin(m);
    const EditRefusal r = apply(m);
    if (r.refused || read(m) == before) {
        p.edits.cancel();
        return r;
    }
    p.edits.commit();
    prepar_obj(p);
    return r;
}

}  // namespace

EditRefusal confirm_object_properties(PlayerState& p, int slot, const ObjectFields& f) {
    return confirm<ObjectFields>(
        p, [slot](const Model& m) { return object_fields(m, slot); },
        [&](Model& m) { return apply_object_properties(m, slot, f); });
}

EditRefusal confirm_element_properties(PlayerState& p, int table, int slot, const ElementFields& f) {
    return confirm<ElementFields>(
        p, [table, slot](const Model& m) { return element_fields(m, table, slot); },
        [&](Model& m) { return apply_element_properties(m, table, slot, f); });
}

}  // namespace quorrel
